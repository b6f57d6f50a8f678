// kaede print calibration -o OUT.pdf: the printer test sheet (プリンタ位置合わせ) of a postcard
// style on plain paper of its size: the postal-code boxes, the style's text rectangles,
// millimetre rulers and the offset it was printed with, to be held against a real card.
//   --style NAME|NUMBER|FILE.kps  as kaede print postcards takes it (the official postcard
//                                 without)
//   --offset X,Y                  print it moved X mm right and Y mm down (-10 ... 10)
#include <memory>

#include "Commands.h"
#include "PdfPrints.h"
#include "PostPrints.h"
#include "PrintOffsets.h"

namespace kaede::cli {
namespace {

int Run(const TArgs& args) {
  TArgReader r(args);
  std::string styleArg, out;
  const bool hasStyle = r.Option("--style", styleArg);
  TakeOffsetOption(r);
  const bool hasOut = r.Option("-o", out) || r.Option("--output", out);
  if (!r.Positionals().empty() || !hasOut || out.empty())
    throw UsageError("kaede print calibration [--style NAME|NUMBER|FILE.kps] [--offset X,Y] -o OUT.pdf");
  std::unique_ptr<QGuiApplication> app;  // goes after the printer
  TPdfOutput output(out);
  TPostStyle* style = TDataItem::Make<TPostStyle>();
  std::unique_ptr<TPostStyle, void (*)(TPostStyle*)> styleGuard(style, [](TPostStyle* s) { s->Free(); });
  if (hasStyle) ChoosePostStyle(styleArg, *style);
  app = StartQt();
  output.InstallPrinter();
  const TCalibrationNote note = PrintCalibrationSheet(*style, SJ("プリンタ位置合わせ"));
  output.Finish();
  PrintLine(SJ("プリンタ位置合わせ (") + style->Name() + ", offset " + PrintOffsetText({note.OffsetX, note.OffsetY}) +
            " mm) written to " + output.File());
  return 0;
}

TCommandRegistrar reg({"print calibration", "print calibration [--style S] [--offset X,Y] -o OUT.pdf",
                       "the printer test sheet of a postcard style as PDF", Run});

}  // namespace
}  // namespace kaede::cli
