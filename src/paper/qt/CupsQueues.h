#pragma once
// The print queues of the CUPS server the process talks to (CUPS_SERVER, the user's or the
// system's): the list as it is now, each queue's media with their sizes, margins and names,
// and submitting a finished PDF document to a queue with the job's options.
#include <string>
#include <utility>
#include <vector>

#include "SheetPrinters.h"

namespace kaede {

struct TCupsMedium {
  std::string Name;  // the queue's own name (PWG, e.g. jpn_hagaki_100x148mm)
  int32_t Width = 0, Length = 0;  // hundredths of a millimetre, as fed
  int32_t Left = 0, Bottom = 0, Right = 0, Top = 0;  // margins, hundredths of a millimetre
  bool Borderless() const { return Left == 0 && Bottom == 0 && Right == 0 && Top == 0; }
};

struct TCupsQueue {
  std::string Name;  // UTF-8
  bool IsDefault = false;
  std::string Info;  // description, UTF-8
};

// The queues now (an empty list when the server cannot be reached).
std::vector<TCupsQueue> CupsQueues();
// The media a queue offers, bordered and borderless; raises (with the server's reason)
// when the queue cannot be asked.
std::vector<TCupsMedium> CupsQueueMedia(const std::string& queue);
// The medium of that size (millimetres, within half a millimetre, either way round); the
// borderless one when asked for and offered. Null when the queue has no such size.
const TCupsMedium* MatchCupsMedium(const std::vector<TCupsMedium>& media, double widthMm, double heightMm,
                                   bool borderless);
// A caption for a medium, in Japanese where the size has a Japanese name, with its size in
// millimetres (CP932).
std::string CupsMediumCaption(const TCupsMedium& medium);

// The options a job sends (name, value): the medium by name (or a custom size of the
// paper's millimetres), copies, collation, sides, colour, source, no scaling, portrait feed,
// then the printer's own options. media: the matched medium, or null.
std::vector<std::pair<std::string, std::string>> CupsJobOptions(const TCupsMedium* media, double widthMm,
                                                                double heightMm, const TPrintJobOptions& job);
// Sends a PDF file to a queue; the job's number. Raises with a Japanese sentence naming the
// queue first and the server's reason after it.
int SubmitCupsJob(const std::string& queue, const std::string& title, const std::string& pdfFile,
                  const std::vector<std::pair<std::string, std::string>>& options);

}  // namespace kaede
