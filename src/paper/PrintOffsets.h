#pragma once
// Print offsets: how far a printer's output must move so that what is printed lands where
// the style puts it (printers feed cards 0.5-2 mm off). One horizontal and one vertical
// offset in millimetres per printer, kept in the address book's settings; applied to every
// job on that printer, never to the screen or to PDF files unless a job asks for one.
#include <optional>
#include <string>

namespace kaede {

class TSettingsStore;
class TSheetPrinter;

struct TPrintOffset {
  double X = 0, Y = 0;  // millimetres, to the right and down
  bool operator==(const TPrintOffset&) const = default;
};

inline constexpr double kMaxPrintOffset = 10.0;
// Within -10 ... 10 mm in steps of 0.1 mm; what is not a number is 0.
TPrintOffset ClampPrintOffset(TPrintOffset o);
// "X,Y" (millimetres, as typed); false when it is not two numbers within -10 ... 10. The
// result is rounded to 0.1 mm.
bool ParsePrintOffset(const std::string& text, TPrintOffset& o);
std::string PrintOffsetText(const TPrintOffset& o);

// The section of the settings that holds one "X,Y" value per printer name.
inline constexpr const char* kPrintOffsetSection = "PrintOffsets";
// The stored offset of a printer, clamped (0, 0 when none is stored or it is not two numbers).
TPrintOffset ReadPrintOffset(const TSettingsStore& store, const std::string& printer);
// Stores the offset (removes the key for 0, 0).
void WritePrintOffset(TSettingsStore& store, const std::string& printer, TPrintOffset o);

// The offset of the jobs that follow: one given for them (the command line's --offset), or
// none to use what the settings keep for the printer.
void SetPrintOffsetOverride(std::optional<TPrintOffset> o);
// The offset a job on the printer takes: the override, otherwise the stored one for its
// current printer; 0, 0 for the PDF writer.
TPrintOffset JobPrintOffset(TSheetPrinter& printer);
// The name of the printer's current printer (empty without one).
std::string CurrentPrinterName(TSheetPrinter& printer);

}  // namespace kaede
