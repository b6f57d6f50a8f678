#pragma once
// The New Year card marks of the entry in the editing pane: a grid of the years it has (the
// card year and the year before always among them, newest first) by the five marks, each a
// tick the user sets or clears. A year field adds a row for any other year. The pane's 備考
// does not show the marks line; this grid is where the marks are seen and changed.
#include <QWidget>
#include <cstdint>
#include <functional>

#include "NengaMarks.h"

class QTableWidget;
class QSpinBox;
class QLabel;

namespace kaede {

class TNengaMarksEdit : public QWidget {
  Q_OBJECT
public:
  explicit TNengaMarksEdit(QWidget* parent = nullptr);

  // Shows an entry's marks with the card year; none: the grid is empty and disabled.
  void ShowMarks(const TNengaMarks* marks, int cardYear);
  // The user ticked (on) or cleared a mark of a year.
  std::function<void(int year, uint8_t mark, bool on)> OnToggle;

  // The counts of the card year over the book, shown beside the caption.
  void SetSummary(const std::string& text);
  QTableWidget* Grid() const { return FGrid; }
  // The cell of a year and mark (row, column), -1 when that year has no row.
  int RowOfYear(int year) const;
  static int ColumnOfMark(uint8_t mark);

private:
  void Fill();
  QTableWidget* FGrid;
  QSpinBox* FYear;
  QLabel* FCaption;
  QLabel* FSummary;  // the card year's counts, on a line of their own so that none is cut off
  TNengaMarks FMarks;
  std::vector<int> FExtraYears;  // years the user added a row for
  int FCardYear = 0;
  bool FEnabled = false;
  bool FFilling = false;
};

}  // namespace kaede
