#include "Tables.h"

namespace kaede {

TTable::TTable()
    : TBaseControl([](TBaseStyle* style) { return new TTableView(static_cast<TTableStyle*>(style)); },
                   [] { return new TTableStyle(); }) {}

}  // namespace kaede
