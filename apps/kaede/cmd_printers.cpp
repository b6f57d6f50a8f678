// kaede printers: the print queues of the print system as they are now, one a line (the
// default marked with "*"), each followed by its media: the medium's own name, its size in
// millimetres as fed and its Japanese caption, and "borderless" for the media printed
// without margins. These names are what `lp -o media=NAME` takes.
#include "Commands.h"
#include "CupsQueues.h"

namespace kaede::cli {
namespace {

int Run(const TArgs& args) {
  TArgReader r(args);
  if (!r.Positionals().empty()) throw UsageError("kaede printers");
  const std::vector<TCupsQueue> queues = CupsQueues();
  if (queues.empty()) PrintLine("no print queues");
  for (const TCupsQueue& q : queues) {
    PrintLine(Utf8ToSjis(q.Name, TConvMode::Replace) + (q.IsDefault ? " *" : ""));
    try {
      for (const TCupsMedium& m : CupsQueueMedia(q.Name))
        PrintLine("  " + m.Name + "\t" + CupsMediumCaption(m) + (m.Borderless() ? "\tborderless" : ""));
    } catch (const Exception& e) {
      PrintLine(std::string("  ") + e.what());
    }
  }
  return 0;
}

TCommandRegistrar reg({"printers", "printers", "list the print queues with their media", Run});

}  // namespace
}  // namespace kaede::cli
