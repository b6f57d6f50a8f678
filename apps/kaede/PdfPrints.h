#pragma once
// What the printing commands share: numbers and ranges of their options, the toolkit without a
// display, and a PDF file that appears only when it is complete.
#include <QGuiApplication>
#include <cstdint>
#include <memory>
#include <string>

namespace kaede {
class TBaseStyle;
class TBaseStyleList;
class TPostStyle;
}  // namespace kaede

namespace kaede::cli {

// Digits only (and not too many for an int).
bool IsNumber(const std::string& s);
// "A-B", "A-", "-B" or "A" with numbers from 1 (0: not given); raises naming the option and
// what it counts ("--pages", "page") otherwise.
void ParseRange(const std::string& text, const char* option, const char* unit, int32_t& from, int32_t& to);

// The style of the address book's settings (its list read into `list`) at a place given as a
// number from 0, or of a name; none when there is no such style.
TBaseStyle* ListedStyle(TBaseStyleList& list, const std::string& arg);

class TArgReader;
// Takes --offset X,Y (millimetres, -10 ... 10) for the jobs of the command: what it prints
// moves by it; without the option a PDF file is not moved. Raises for a bad offset.
void TakeOffsetOption(TArgReader& r);

// A postcard style into `style`: a .kps file, a place in the list, or a name of the list;
// raises naming what was asked for when there is none.
void ChoosePostStyle(const std::string& arg, TPostStyle& style);

// An application object of the toolkit without a display (none when one exists), with the
// drawing surfaces installed; it lives while the command runs.
std::unique_ptr<QGuiApplication> StartQt();

// A PDF file that appears only when it is complete: the PDF printer (installed by
// InstallPrinter, once the toolkit runs) writes to a file beside OUT, and Finish renames it
// to OUT. Until then, and whatever fails, OUT is untouched and the partial file is removed;
// the printer goes with the object.
class TPdfOutput {
public:
  // out: the file asked for (UTF-8, as given). Raises when its folder cannot be written.
  explicit TPdfOutput(const std::string& out);
  // The PDF printer, writing the partial file, as the process's printer.
  void InstallPrinter();
  ~TPdfOutput();
  TPdfOutput(const TPdfOutput&) = delete;
  TPdfOutput& operator=(const TPdfOutput&) = delete;
  // The file asked for, CP932.
  const std::string& File() const { return FFile; }
  // Renames the complete file to OUT; raises when it cannot.
  void Finish();

private:
  std::string FFile, FPart;
  bool FDone = false;
};

// --printer QUEUE [--copies N]: the print queue (read from the print system now) as the
// process's printer, the job's copies with it. Raises naming the queues there are when there
// is no such queue. The printer goes with the object.
class TQueueOutput {
public:
  TQueueOutput(const std::string& queue, const std::string& copies);
  ~TQueueOutput();
  TQueueOutput(const TQueueOutput&) = delete;
  TQueueOutput& operator=(const TQueueOutput&) = delete;
  // Installs the queue (once the toolkit runs).
  void InstallPrinter();
  const std::string& Queue() const { return FQueue; }
  int32_t Copies() const { return FCopies; }

private:
  std::string FQueue;  // CP932
  int32_t FCopies = 1;
};

}  // namespace kaede::cli
