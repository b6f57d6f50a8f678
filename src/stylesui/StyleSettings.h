#pragma once
// The behaviour of the style settings panel without its widgets: a private copy of a style
// edited item by item. The items are grouped by category in a tree; selecting one sets up
// the value editor with its description and value; every user change is applied to the copy
// at once, makes it a user style and is reported, so that the host copies the result into
// its view and its style list. Predefined styles, undo of all edits since the style was
// handed over, and conversion to a print-friendly style complete it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BaseStyles.h"
#include "StyleItems.h"
#include "StylePopupActionBars.h"
#include "ValueEditors.h"

namespace kaede {

class TStyleSettings {
public:
  TStyleSettings(TStyleFrameKind kind, IStyleDialogs& dialogs);
  ~TStyleSettings();
  TStyleSettings(const TStyleSettings&) = delete;
  TStyleSettings& operator=(const TStyleSettings&) = delete;

  TStyleFrameKind Kind() const { return FKind; }
  int ItemCount() const { return static_cast<int>(FItems.size()); }
  const TStyleItem& Item(int no) const { return FItems.at(static_cast<size_t>(no)); }

  // Called before and after the panel changes the edited style.
  std::function<void()> OnEditChanging;
  std::function<void()> OnEditChange;
  // The widgets follow: the shown item or the tool bar's state changed.
  std::function<void()> OnRefresh;
  // Reports a failure (by default through the application's error box).
  std::function<void(const std::string& message)> OnError;

  // ---- Host ----
  // Copies s into the edited style and the backup (nothing for none).
  void SetStyle(const TBaseStyle* s);
  TBaseStyle& Style() { return *FEdit; }
  const TBaseStyle& Backup() const { return *FBackup; }
  // The comma text of the column names of 項目選択 (table panel).
  void SetColumnNames(const std::string& names);
  const TStrings& ColumnNames() const { return FColumnNames; }
  // The names of the predefined styles offered by the tool bar, as comma text.
  std::string DefaultNames() const;

  // ---- Tree ----
  struct TCategoryNode {
    std::string Caption;
    std::vector<int> Items;  // item numbers, sorted by their names
  };
  // Categories in text order, each with its items in text order; hidden items are left out.
  std::vector<TCategoryNode> Tree() const;

  // ---- Selection and values ----
  // Selects an item (or, for -1, a category: the value editor is disabled).
  void SelectItem(int no);
  int CurrentItem() const { return FCurrent; }
  // The description of an item as the value editor gets it: the unit of a length that is a
  // millimetre on paper and a pixel on screen follows the paper; 用紙サイズ lists the
  // printer's papers.
  RValueInfo Description(int no);
  // Shows the current item's value again.
  void ShowCurrent();
  TValueEditor& Value() { return FValue; }
  int LastApplied() const { return FLastApplied; }
  // The item's value could not be shown (no printer): its edits are ignored until another
  // item is selected.
  bool ItemFailed() const { return FFailed; }

  // ---- Tool bar ----
  // Makes the edited style predefined style `index` of DefaultNames.
  void ChooseDefault(int index);
  // After a confirmation: the style as it was handed over.
  void Restore();
  // After a confirmation: a style made printable; enabled while its paper is not shown.
  void MakePrintable();
  bool PrintStyleEnabled() const { return !FEdit->PaperVisible(); }
  // Every element takes a colour (from the element editor's colour menu).
  void UnifyColor(int index, TColor color);

private:
  void Apply();
  void ShowItem(int no);
  void ApplyDivide(int no);
  void Report(const std::exception& e);
  template <class F>
  void Edit(F f);
  void Refresh();

  TStyleFrameKind FKind;
  IStyleDialogs& FDialogs;
  std::vector<TStyleItem> FItems;
  TBaseStyle* FEdit;
  TBaseStyle* FBackup;
  int FCurrent = -1;
  bool FLoading = false;
  bool FFailed = false;
  int FLastApplied = -1;
  const int FPrinterItem;
  // The printers of the item プリンタ by their place in its list: "" the system's default,
  // then the queues, then the style's own queue when it is gone.
  TStrings FPrinterChoices;
  bool FPapersFetched = false;
  TStrings FPaperNames;
  std::string FPaperError;  // a failure reading the list, said when the paper is shown
  TStrings FColumnNames;
  TValueEditor FValue;
};

}  // namespace kaede
