#pragma once
// Views without widgets, for driving the screens' logic in tests.
#include <string>

#include "DataListFrames.h"

namespace kaede::test {

class TFakeListView : public IDataListView {
public:
  int rows = 0, selected = -1, setRowCountCalls = 0;
  bool findShown = false;
  std::string findText;
  void SetRowCount(int count) override {
    rows = count;
    ++setRowCountCalls;
    if (selected >= rows) selected = -1;
  }
  int RowCount() const override { return rows; }
  int SelectedRow() const override { return selected; }
  void SelectRow(int row) override { selected = row >= 0 && row < rows ? row : -1; }
  void ShowFindPanel(bool show) override { findShown = show; }
  bool FindPanelShown() const override { return findShown; }
  std::string FindText() const override { return findText; }
};

}  // namespace kaede::test
