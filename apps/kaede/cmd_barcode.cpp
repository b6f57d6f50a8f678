// kaede barcode CODE ADDRESS [--dict DIR]: the customer barcode of an address as its 23
// symbols on one line and the address number on the next; exit status 1 when none can be
// made (no postal code, or one the dictionary does not know).
#include "Commands.h"
#include "CustomerBarcodes.h"
#include "PostalDatas.h"

namespace kaede::cli {
namespace {

int Run(const TArgs& args) {
  TArgReader r(args);
  std::string dir;
  r.Option("--dict", dir);
  TArgs rest = r.Positionals();
  if (rest.size() != 2) throw UsageError("kaede barcode CODE ADDRESS [--dict DIR]");
  auto data = OpenDictionary(dir);
  TCustomerBarcode code;
  const TBarcodeFailure why =
      MakeCustomerBarcode(*data, ArgToSjis(rest[0], "郵便番号"), ArgToSjis(rest[1], "住所"), code);
  if (why != TBarcodeFailure::None) {
    PrintError(SJ("バーコードを作れません: ") + BarcodeFailureText(why) + SJ("（郵便番号") + Quoted(rest[0]) + SJ("）"));
    return 1;
  }
  PrintLine(code.SymbolText());
  PrintLine(code.AddressNumber);
  return 0;
}

TCommandRegistrar reg({"barcode", "barcode CODE ADDRESS [--dict DIR]",
                       "print the customer barcode's symbols and address number of an address", Run});

}  // namespace
}  // namespace kaede::cli
