#pragma once
// The widgets of the value editors: TValueFrame shows the one control an item asks for,
// TViewInfoFrame edits a view element with a live sample, TLayoutFrame a layout rectangle.
// Their behaviour is TValueEditor's and TViewInfoEditor's; the widgets show it and pass the
// user's changes on.
#include <QWidget>
#include <functional>
#include <vector>

#include "ValueEditors.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace kaede {

// Where the sample of an element is drawn; the host may draw it itself (Drawed := true).
using TPaintSampleEvent = std::function<void(QPainter& painter, const QRect& rect, std::string& drawStr, bool& drawed)>;

class TViewInfoFrame : public QWidget {
  Q_OBJECT
public:
  TViewInfoFrame(TViewInfoEditor& editor, QWidget* parent = nullptr);
  ~TViewInfoFrame() override;

  TViewInfoEditor& Editor() { return FEditor; }
  TPaintSampleEvent OnPaintSample;
  // Asks for a colour (the colour dialog by default; tests answer it).
  std::function<bool(TColor& color)> ChooseColor;

  // Shows the editor's element in the controls.
  void Refresh();

  QComboBox* StatusList() const { return FStatus; }
  QComboBox* FontList() const { return FFont; }
  QCheckBox* Bold() const { return FBold; }
  QCheckBox* Italic() const { return FItalic; }
  QSpinBox* FontSize() const { return FSize; }
  QComboBox* DecorateList() const { return FDecorate; }
  QDoubleSpinBox* LineWidth() const { return FLineWidth; }
  QPushButton* ColorButton(int index) const { return FColors[index]; }
  QWidget* Panel() const { return FPanel; }
  QWidget* Sample() const { return FSample; }
  QMenu* ColorMenu() const { return FColorMenu; }
  // Paints the sample as the element draws (also used by tests on an image).
  void PaintSample(QPainter& p, const QRect& r, bool enabled);

private:
  void FillFonts();
  void OpenColorMenu(int index, const QPoint& at);
  static QIcon ColorGlyph(TColor color);

  TViewInfoEditor& FEditor;
  QLabel* FStatusLabel;
  QComboBox* FStatus;
  QWidget* FPanel;
  QLabel* FFontLabel;
  QComboBox* FFont;
  QCheckBox* FBold;
  QCheckBox* FItalic;
  QLabel* FSizeLabel;
  QSpinBox* FSize;
  QLabel* FDecorateLabel;
  QComboBox* FDecorate;
  QLabel* FWidthLabel;
  QDoubleSpinBox* FLineWidth;
  QLabel* FWidthUnit;
  QPushButton* FColors[3];
  QWidget* FSample;
  QMenu* FColorMenu;
  QMenu* FFontMenu;
  int FFontMode = -1;
  bool FFilling = false;
};

class TLayoutFrame : public QWidget {
  Q_OBJECT
public:
  explicit TLayoutFrame(QWidget* parent = nullptr);
  double Increment() const { return FIncrement; }
  void SetIncrement(double step);
  // Offers the width and height, or the place alone (what has a size of its own).
  void SetSizeShown(bool shown);
  // Shows a rectangle without reporting a change (nothing when it is the present one).
  void ShowRect(const TMmRect& r);
  TMmRect Rect() const { return FRect; }
  std::function<void()> OnChanging;
  std::function<void()> OnChange;
  QDoubleSpinBox* Number(int i) const { return FNumbers[i]; }

private:
  TMmRect FRect;
  double FIncrement = 1.0;
  bool FLoading = false;
  QDoubleSpinBox* FNumbers[4];
  std::vector<QWidget*> FSizeRows;  // the labels, numbers and units of width and height
};

class TValueFrame : public QWidget {
  Q_OBJECT
public:
  // The editor must outlive the frame.
  TValueFrame(TValueEditor& editor, QWidget* parent = nullptr);
  ~TValueFrame() override;

  TValueEditor& Editor() { return FEditor; }
  TViewInfoFrame* ElementFrame() const { return FElement; }
  TLayoutFrame* LayoutEditor() const { return FLayout; }
  QLabel* ItemLabel() const { return FItemLabel; }
  QLabel* UnitLabel() const { return FUnit; }
  QCheckBox* CheckBox() const { return FCheck; }
  QDoubleSpinBox* NumberEdit() const { return FNumber; }
  QLineEdit* TextEdit() const { return FText; }
  QListWidget* List() const { return FList; }
  QPlainTextEdit* Memo() const { return FMemo; }
  QGroupBox* RadioGroup() const { return FRadio; }
  QListWidget* CheckList() const { return FCheckList; }

private:
  void SetupControls();
  void ShowValue();

  TValueEditor& FEditor;
  QLabel* FItemLabel;
  QLabel* FUnit;
  QCheckBox* FCheck;
  QDoubleSpinBox* FNumber;
  QLineEdit* FText;
  QListWidget* FList;
  QPlainTextEdit* FMemo;
  QGroupBox* FRadio;
  QGridLayout* FRadioLayout;
  QListWidget* FCheckList;
  TLayoutFrame* FLayout;
  TViewInfoFrame* FElement;
  bool FLoading = false;
};

}  // namespace kaede
