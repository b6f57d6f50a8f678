#pragma once
// The host control of the table print: a TBaseControl with a TTableView on a TTableStyle.
#include "BaseControls.h"
#include "TableViews.h"

namespace kaede {

class TTable : public TBaseControl {
public:
  TTable();
  TTableView& View() const { return static_cast<TTableView&>(TBaseControl::View()); }
  TTableStyle& Style() const { return static_cast<TTableStyle&>(TBaseControl::Style()); }
};

}  // namespace kaede
