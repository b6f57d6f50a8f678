#pragma once
// The postcard view: one page per entry of an address book (a postcard, an envelope, a label)
// laid out by TPostLayout on the pages of the paper view, with the sender of the print; shown
// page by page on screen and printed through the paper view's print loop. In free-text mode
// (the style's Editor switch) the card is one page whose text area is the editor's, limited
// to what one page holds.
#include <cstdint>
#include <memory>
#include <vector>

#include "EditorViews.h"
#include "PostLayouts.h"

namespace kaede {

class TPersonList;

// Where views without a dictionary of their own find the towns of addresses: a program that
// already holds the dictionary of the usual folders (the window's entry pane) hands it over so
// that it is read into memory once. Null: the views read their own copy on first use.
void SetUsualPostDictionary(TPostalData& (*dictionary)());

class TPostView : public TEditorView {
public:
  // The view uses `style` (the host control's) without owning it; without one it owns a
  // postcard style of its own.
  explicit TPostView(TPostStyle* style = nullptr);
  ~TPostView() override;

  TPostStyle& PostStyle() const { return *static_cast<TPostStyle*>(Style()); }

  // ---- Entries ----
  // The book shown (not owned): a page for every entry it shows. Lays the view out again.
  void SetPersons(const TPersonList* list);
  // A selection of entries instead of a book (the command line prints one).
  void SetPersons(std::vector<const TPerson*> persons);
  const TPersonList* Persons() const { return FPersons; }
  int32_t PersonCount() const;
  // The entry of a page; none beyond the entries. In free-text mode the page shows the
  // current entry.
  const TPerson* PagePerson(int32_t page) const;
  int32_t CurrentPerson() const { return FCurrentPerson; }
  // Keeps the index and, outside free-text mode, scrolls to the sheet that holds its page.
  void SelectPerson(int32_t index);

  // ---- Sender and guides ----
  // A private copy of the person (none: no sender).
  void SetSender(const TPerson* person);
  const TPerson* Sender() const { return FHasSender ? FSender : nullptr; }
  bool ShowGuides() const { return FShowGuides; }
  void SetShowGuides(bool on);

  // ---- Pictures ----
  // Where the stamp, header and footer pictures are looked up (the program's card pictures).
  std::string PictureFolder = PostPictureFolder();
  const TPostPictures& Pictures() const { return FPictures; }
  // The colour outside an envelope's flap.
  TColor WorkspaceColor = 0xABABAB;
  // Proofs on paper: the guides are printed too; the cards are printed as the screen shows
  // them (card colour, pre-printed frames and title, pictures, fold).
  bool PrintGuides = false;
  bool PrintAsShown = false;

  // ---- Barcode ----
  // Where the barcode finds the towns of addresses (not owned); none: the dictionary of the
  // usual folders, read when a barcode is first drawn.
  TPostalData* Dictionary = nullptr;
  // The entries (from 0) of the last print that went without their barcode, and why.
  const std::vector<TBarcodeMissing>& BarcodeMisses() const { return FBarcodeMisses; }

  // ---- Printer test sheet ----
  // The view shows one page, the printer test sheet of its style, with this note, instead
  // of the cards.
  bool Calibration = false;
  TCalibrationNote CalibrationNote;

  // After every layout on screen (a resize, a zoom, a new style) the view comes back to the
  // sheet of the current entry, outside free-text mode.
  void SetOffset(TPoint p) override;

  // Outside free-text mode Ctrl+Home and Ctrl+End go to the first and the last page and the
  // arrows scroll; in free-text mode the editor's keys apply.
  int32_t KeyToCommand(int32_t key, TShiftState shift) override;

  // ---- Editor ----
  // Outside free-text mode the text cannot be edited.
  bool FileReadOnly() const override;
  // In free-text mode an insertion that makes the text longer than one page is taken back at
  // once with the message below; the text and the caret stay as they were.
  void TextChanged(int32_t firstRow, int32_t lastRow) override;
  static std::string FullMessage();

protected:
  // Printing uses the style with the card's colours turned white (paper is white); the
  // screen style comes back afterwards, also when printing fails. A page of a printed sheet
  // outside the range stays blank: entries 5-5 on a sheet of labels print entry 5 in its place.
  void PrintStarting() override;
  void PrintFinished() override;
  void Arrange(const TRect& rect) override;
  // A new layout on screen (a resize: the extent is taken right after it, then the offset)
  // brings the current entry's sheet back.
  TPoint GetExtent() override;
  void ApplyStyle() override;
  // The card's background (paper, flap, frames, title, pictures, fold) over the whole page.
  void DrawPageFrame(int32_t page, const TRect& pageRect, const TRect& clip, const TRect& contentRect) override;
  // The free-text area: the editor's text in free-text mode; otherwise filled with the
  // name's back colour on screen and not printed.
  void DrawPageContent(int32_t page, const TRect& contentRect, const TRect& clip) override;
  // The entry's data above everything else.
  void DrawPageAfter(int32_t page, const TRect& pageRect, const TRect& clip, const TRect& contentRect) override;

private:
  bool Drawn(int32_t page) const;
  // The offset that shows the sheet of the current entry (p on the other axis).
  TPoint CurrentOffset(TPoint p) const;
  void DrawCard(int32_t page, const TRect& pageRect, const TRect& clip, bool background);
  TPostPaint PaintOf(int32_t page, const TRect& pageRect) const;

  const TPersonList* FPersons = nullptr;
  std::vector<const TPerson*> FSelection;
  bool FUseSelection = false;
  int32_t FCurrentPerson = 0;
  TPerson* FSender = nullptr;
  TPostStyle* FScreenStyle = nullptr;  // the style as the screen shows it, while printing
  bool FHasSender = false;
  bool FShowGuides = false;
  bool FFollowCurrent = false;  // the next offset after a layout shows the current entry
  std::string FAccepted;        // the free text as it last fitted its page
  bool FRevising = false;       // an insertion is being taken back
  TPostPictures FPictures;
  std::vector<TBarcodeMissing> FBarcodeMisses;
};

}  // namespace kaede
