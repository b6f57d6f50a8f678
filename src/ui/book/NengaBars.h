#pragma once
// The New Year card controls beside the filter tabs: the list of the card year (未送付,
// 受取のみ ...), which narrows whatever tab is chosen, the card year itself, and 受取入力.
#include <QWidget>
#include <functional>
#include <string>

class QComboBox;
class QSpinBox;
class QPushButton;
class QLabel;

namespace kaede {

class TNengaBar : public QWidget {
  Q_OBJECT
public:
  explicit TNengaBar(QWidget* parent = nullptr);
  // TNengaFilter of the chosen list, and the card year.
  int Filter() const;
  int CardYear() const;
  void SetFilter(int filter);
  void SetCardYear(int year);
  // The counts of the card year, shown after the controls.
  void SetSummary(const std::string& text);
  std::string Summary() const;
  // The list or the year changed.
  std::function<void()> OnChanged;
  std::function<void()> OnReceive;

  QComboBox* FilterBox() const { return FFilter; }
  QSpinBox* YearBox() const { return FYear; }
  QPushButton* ReceiveButton() const { return FReceive; }

private:
  QComboBox* FFilter;
  QSpinBox* FYear;
  QPushButton* FReceive;
  QLabel* FSummary;
};

}  // namespace kaede
