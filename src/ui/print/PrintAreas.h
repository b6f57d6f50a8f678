#pragma once
// The print area of the main window: the postcard or table preview beside the list, the
// style buttons that choose the style, the style settings panels on demand, zoom, and
// printing of the visible entries through the print dialog. It owns the two style lists of
// the settings and keeps them (and the chosen style) with the program's settings.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "KaedeAddressOptions.h"
#include "PostStyles.h"
#include "PrintPreviews.h"
#include "StylePopupActionBars.h"
#include "TableStyles.h"

class QMenu;
class QPrinter;
class QScrollArea;
class QStackedWidget;

namespace kaede {

class TStyleCategoryButtons;
class TTableStyleFrame;
class TPostStyleFrame;
class TBaseStyleFrame;

// What the print dialog offers and what its numbers mean.
struct TPrintRange {
  bool Nothing = false;  // there is nothing to print: no dialog, a message instead
  bool Sheets = false;   // the numbers are sheets (cards), else pages (table)
  int32_t Min = 1, Max = 1;  // the numbers offered
  int32_t From = 1, To = 1;  // the range preset
  bool AllChosen = false;    // "all" chosen (table), else the number range
  bool operator==(const TPrintRange&) const = default;
};

// A table: pages 1 ... the page count, all of them chosen.
TPrintRange TablePrintRange(int32_t pageCount);
// Cards: the sheets there are. One card a sheet with an entry selected: that entry's sheet
// alone; the free-text card: its first sheet; otherwise all sheets. No visible entry (and no
// free text): nothing.
TPrintRange PostcardPrintRange(const TPostStyle& style, int32_t sheetCount, int32_t visibleCount, int32_t selected);

// Where the dialog sends the print, and the range chosen there.
struct TPrintChoice {
  int32_t From = 0, To = 0;  // 0: the whole range offered
  // A page set with gaps ("1,3"): these ranges only, in place of From and To.
  std::vector<std::pair<int32_t, int32_t>> Ranges;
  bool ToFile = false;
  std::string FileName;     // CP932, for a print to a file (PDF)
  std::string PrinterName;  // CP932, a print queue; the dialog opens on it
  TPrintJobOptions Job;     // copies, collation, sides, colour, source, borderless
  double PaperWidthMm = 0, PaperHeightMm = 0;  // the style's paper: the dialog opens on it
};

// Points the process's printer at the choice (a PDF file, or the named queue, read afresh:
// a queue that is gone is an error, never another queue; no name is the system's default)
// and prints the chosen numbers as pages or sheets with the choice's job options. When the
// queue's medium would cut off some of the content, confirmClip decides whether the job
// goes (none: it goes); a job stopped there raises EPrintStopped with nothing sent. The
// number of sheets printed.
int32_t PrintChosenRange(TBaseView& view, const std::string& title, const TPrintRange& range, const TPrintChoice& choice,
                         const std::function<bool(const TClipLoss&)>& confirmClip = nullptr);

// The platform's print dialog: opens on the choice's queue and paper, offers the range, and
// on OK fills the choice from what the dialog says. False when cancelled.
bool ExecPrintDialog(QWidget* parent, const TPrintRange& range, TPrintChoice& choice);
// Prepares a printer object as the dialog opens on it (queue, paper of the choice's size,
// portrait, the range preset), and reads back what was chosen on it: queue or file, page
// set, copies, collation, sides, colour, borderless paper and the queue's own options.
void PresetDialogPrinter(QPrinter& printer, const TPrintRange& range, const TPrintChoice& choice);
void ReadDialogChoice(QPrinter& printer, bool pageRange, TPrintChoice& choice);

class TPrintArea : public QWidget, public IStyleDialogs {
  Q_OBJECT
public:
  TPrintArea(TKaedeAddressOption& options, QWidget* parent = nullptr);
  ~TPrintArea() override;

  TPostStyleList& PostStyles() { return FPostStyles; }
  TTableStyleList& TableStyles() { return FTableStyles; }

  // ---- What the window tells ----
  // The book (its visible entries in order), the selected position, the visible count.
  void SetBook(TPersonList* book, TPersonList* senders);
  void Refresh(int selected);

  // ---- Commands ----
  // Makes the buttons and the postcard control the first time; shows the chosen style.
  void Prepare();
  bool Prepared() const { return FButtons != nullptr; }
  // The area is open (shown in the window, or to be shown with it).
  bool Opened() const { return !isHidden(); }
  bool PostVisible() const;
  bool TableVisible() const;
  // Shows a style of either list.
  void ShowStyle(TBaseStyle* style);
  TBaseStyle* SelectedStyle() const;
  // Selects a postcard style by name; false when there is none of that name.
  bool SelectPostStyle(const std::string& name);
  // Selects the button of a category and position, as stored in the settings.
  void SelectButton(int category, int item);
  int SelectedCategory() const;
  int SelectedItem() const;
  // 0 whole page, -1 page width, -2 page height, or a percentage.
  void Zoom(int32_t ratio);
  // Shows or hides the style settings panel of the visible preview.
  void ToggleStyleFrame();
  bool StyleFrameVisible() const;
  // The edit popup of the card preview: cut, copy, paste and select all act on the card's
  // free text while the card's style edits text; cut and copy need a selection, paste text
  // on the clipboard. Below them the style entries (add, delete, reset the list, the style
  // settings) run the style buttons' menu on the selected style. Enables the entries.
  void UpdateEditPopup();
  QMenu* EditPopup() const { return FEditPopup; }
  // An entry of the window's own (the printer test sheet) at the end of the edit popup; it
  // keeps the state its owner gives it.
  void AddEditPopupAction(QAction* action);
  // The print range of the visible preview.
  TPrintRange CurrentPrintRange() const;
  // Prints through the print dialog (RunPrintDialog).
  void Print();
  // The width the area needs beside the window's panes for a list pane of this height.
  int NeededWidth(int listHeight) const;
  // Writes the style lists into the settings' store.
  void SaveStyles();

  // The print dialog: false when cancelled. By default the platform's print dialog.
  std::function<bool(const TPrintRange& range, TPrintChoice& choice)> RunPrintDialog;
  // The area's state changed (actions are enabled again).
  std::function<void()> OnStateChanged;
  // Cards of entries were printed: the visible entries first to last (from 0), one card each.
  std::function<void(const std::vector<std::pair<int, int>>& entries)> OnCardsPrinted;  // first and last of each run

  // The widgets, for tests and screenshots.
  TStyleCategoryButtons* Buttons() const { return FButtons; }
  IPostPreview* PostPreview() const { return FPost.get(); }
  ITablePreview* TablePreview() const { return FTable.get(); }
  TPostStyleFrame* PostFrame() const { return FPostFrame; }
  TTableStyleFrame* TableFrame() const { return FTableFrame; }

  // ---- IStyleDialogs ----
  bool InputText(const std::string& caption, const std::string& prompt, std::string& value) override;
  bool Confirm(const std::string& text) override;
  void ShowInfo(const std::string& text) override;
  bool OpenFileName(const std::string& defaultExt, const std::string& filter, std::string& file) override;
  bool SaveFileName(const std::string& defaultExt, const std::string& filter, std::string& file) override;

private:
  void EnsureTable();
  void ConnectFrame(TBaseStyleFrame* frame, bool post);
  TBaseView* VisibleView() const;
  const TPerson* SenderOf(const TPostStyle& style) const;
  void StateChanged();

  TKaedeAddressOption& FOptions;
  TPostStyleList FPostStyles;
  TTableStyleList FTableStyles;
  TPersonList* FBook = nullptr;
  TPersonList* FSenders = nullptr;
  int FSelected = -1;
  int FCount = -1;
  QStackedWidget* FStack;
  std::unique_ptr<IPostPreview> FPost;
  std::unique_ptr<ITablePreview> FTable;
  TStyleCategoryButtons* FButtons = nullptr;
  QScrollArea* FButtonScroll = nullptr;
  TPostStyleFrame* FPostFrame = nullptr;
  TTableStyleFrame* FTableFrame = nullptr;
  QMenu* FEditPopup = nullptr;
  std::vector<QAction*> FPopupExtras;
};

}  // namespace kaede
