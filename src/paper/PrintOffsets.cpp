#include "PrintOffsets.h"

#include <algorithm>
#include <cmath>

#include "BaseOptions.h"
#include "SheetPrinters.h"
#include "Strs.h"

namespace kaede {

namespace {

std::optional<TPrintOffset>& Override() {
  static std::optional<TPrintOffset> o;
  return o;
}

double ClampMm(double v) {
  if (!std::isfinite(v)) return 0;
  v = std::nearbyint(std::clamp(v, -kMaxPrintOffset, kMaxPrintOffset) * 10) / 10;
  return v == 0 ? 0 : v;  // no "-0"
}

// The settings of the address book, where the offsets are kept.
const char* const kAppKey = "KaedeAddress";
// The name of the PDF writer among the printers.
const char* const kPdfName = "PDF";

}  // namespace

TPrintOffset ClampPrintOffset(TPrintOffset o) { return {ClampMm(o.X), ClampMm(o.Y)}; }

namespace {
// Two numbers "X,Y", not clamped.
bool ParseNumbers(const std::string& text, TPrintOffset& o) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos) return false;
  try {
    TPrintOffset r{StrToFloatStrict(DeleteSpaces(text.substr(0, comma))),
                   StrToFloatStrict(DeleteSpaces(text.substr(comma + 1)))};
    if (!std::isfinite(r.X) || !std::isfinite(r.Y)) return false;
    o = r;
    return true;
  } catch (const std::exception&) {
    return false;
  }
}
}  // namespace

bool ParsePrintOffset(const std::string& text, TPrintOffset& o) {
  TPrintOffset r;
  if (!ParseNumbers(text, r) || std::fabs(r.X) > kMaxPrintOffset || std::fabs(r.Y) > kMaxPrintOffset) return false;
  o = ClampPrintOffset(r);
  return true;
}

std::string PrintOffsetText(const TPrintOffset& o) { return FloatToGeneral3(o.X) + "," + FloatToGeneral3(o.Y); }

TPrintOffset ReadPrintOffset(const TSettingsStore& store, const std::string& printer) {
  TPrintOffset o;
  if (printer.empty()) return o;
  const std::string text = store.ReadString(kPrintOffsetSection, printer, std::string());
  // a value edited by hand is brought into range rather than dropped
  if (text.size() > 64 || !ParseNumbers(text, o)) return {};
  return ClampPrintOffset(o);
}

void WritePrintOffset(TSettingsStore& store, const std::string& printer, TPrintOffset o) {
  if (printer.empty()) return;
  o = ClampPrintOffset(o);
  if (o == TPrintOffset{}) store.DeleteKey(kPrintOffsetSection, printer);
  else store.WriteString(kPrintOffsetSection, printer, PrintOffsetText(o));
}

void SetPrintOffsetOverride(std::optional<TPrintOffset> o) {
  if (o) o = ClampPrintOffset(*o);
  Override() = o;
}

std::string CurrentPrinterName(TSheetPrinter& printer) {
  if (!printer.HasPrinter() || !printer.Backend()) return std::string();
  const int index = printer.Backend()->PrinterIndex();
  const auto list = printer.Backend()->Printers();
  return index >= 0 && index < static_cast<int>(list.size()) ? list[static_cast<size_t>(index)].Name : std::string();
}

TPrintOffset JobPrintOffset(TSheetPrinter& printer) {
  if (Override()) return *Override();
  const std::string name = CurrentPrinterName(printer);
  if (name.empty() || name == kPdfName) return {};
  auto store = TSettingsStore::OpenRegistry(kAppKey);
  return ReadPrintOffset(*store, name);
}

}  // namespace kaede
