#pragma once
// The gradient tab strip of the main window, whose tabs that do not fit are reached through
// an overflow button and a pop-up selector.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QKeyEvent;

namespace kaede {

class TSelecter;

// The strip's geometry and selection without drawing: text widths come from a measuring
// function, so that tests run without fonts.
class TCoolTabSetModel {
public:
  using TMeasure = std::function<int(const std::string& sjis)>;
  std::function<void(int newIndex)> OnTabChanging;
  std::function<void()> OnTabChanged;
  // Raise the change events on the next SetTabIndex even when the index does not change.
  bool ForceExecuteChangeEvent = false;

  explicit TCoolTabSetModel(TMeasure measure) : FMeasure(std::move(measure)) {}

  void SetTabs(const std::vector<std::string>& tabs);
  const std::vector<std::string>& Tabs() const { return FTabs; }
  int TabIndex() const { return FTabIndex; }
  // Selects a tab (0 <= value < count); the events run when the index changes or the force
  // flag is set, which every call clears.
  void SetTabIndex(int value);
  void SetWidth(int width);
  int Width() const { return FWidth; }

  int TextWidth(int index) const { return FTextWidths[static_cast<size_t>(index)]; }
  // The right end of tab i by the strip's measure: tab 0 takes its text + 11, each further
  // tab 5 + text + 4.
  int RightEnd(int index) const;
  // The first tab whose right end reaches x (the tab count when none does).
  int TabAt(int x) const;
  // The tabs from this index on do not fit.
  int VisibleCount() const;
  bool OverflowShown() const { return VisibleCount() < static_cast<int>(FTabs.size()); }
  // The overflow button's cross: dark while the selected tab is visible, orange otherwise.
  int32_t OverflowCrossColor() const;
  // Left x of a visible tab as drawn: the sum of (text + 9) over the tabs before it.
  int DrawLeft(int index) const;
  // The visible tab under x as drawn (slanted edges included), or -1.
  int HitTest(int x) const;
  std::vector<std::string> HiddenTabs() const;
  // The tab a key selects: Left and Right the neighbours, Home the first, End the last; -1
  // when the key selects nothing (no such tab, or the one already selected).
  int KeyTarget(int qtKey) const;

private:
  void Measure();
  TMeasure FMeasure;
  std::vector<std::string> FTabs;
  std::vector<int> FTextWidths;
  int FTabIndex = -1;
  int FWidth = 185;
};

class TCoolTabSet : public QWidget {
  Q_OBJECT
public:
  explicit TCoolTabSet(QWidget* parent = nullptr);
  ~TCoolTabSet() override;

  TCoolTabSetModel& Model() { return FModel; }
  void SetTabs(const std::vector<std::string>& tabs);
  int TabIndex() const { return FModel.TabIndex(); }
  void SetTabIndex(int value) { FModel.SetTabIndex(value); }

  bool IsTopPosition = false;
  bool Gradation = true;
  int32_t SelectedFontColor = 0x000000;
  int32_t UnSelectedFontColor = 0xFFFFFF;
  int32_t SelectedStartColor = 0xFFFFFF;
  int32_t SelectedEndColor = 0xC0C0C0;
  int32_t UnSelectedStartColor = 0xC0C0C0;
  int32_t UnSelectedEndColor = 0x808080;
  int Space = 0;

  // Chooses a hidden tab through the selector (what a click on the overflow button offers).
  void ShowOverflowSelector();
  TSelecter* Selector() { return FSelector.get(); }
  QRect OverflowButtonRect() const;
  // Where the focus mark of a visible tab is drawn (empty for a hidden tab).
  QRect FocusMarkRect(int index) const;
  // The keys the strip takes before the window's shortcuts while it has the focus.
  static bool ClaimsKey(const QKeyEvent* e);

protected:
  bool event(QEvent*) override;
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void focusInEvent(QFocusEvent*) override;
  void focusOutEvent(QFocusEvent*) override;

private:
  void PaintTab(class QPainter& p, int index, bool selected);
  void Changed();
  TCoolTabSetModel FModel;
  std::unique_ptr<TSelecter> FSelector;
};

}  // namespace kaede
