#include "PrintPreviews.h"

#include <algorithm>

#include "CommaText.h"
#include "PersonColumns.h"
#include "Posts.h"
#include "QtEditors.h"
#include "QtPaperControls.h"
#include "Tables.h"

namespace kaede {

// ---- The simple views ----------------------------------------------------------------------

std::unique_ptr<TBaseControl> MakePostControl() { return std::make_unique<TPost>(); }

void SetPostBook(TBaseControl& control, TPersonList* book) {
  if (auto* post = dynamic_cast<TPost*>(&control)) post->SetPersons(book);
}

std::unique_ptr<TBaseControl> MakeTableControl() { return std::make_unique<TTable>(); }

void SetTableBook(TBaseControl& control, TPersonList* book) {
  auto* table = dynamic_cast<TTable*>(&control);
  if (!table) return;
  TTableView& view = table->View();
  // the cells of the visible entries, by the columns of the style
  view.OnCellText = [book, &view](int32_t column, int32_t row, int32_t& align, std::string& text) {
    const TStrings& columns = view.ColumnNames();
    if (!book || row < 0 || row >= book->Count() || column < 0 || column >= static_cast<int32_t>(columns.size())) return;
    text = PersonTableCellText(*book->Persons(row), columns[static_cast<size_t>(column)], align);
  };
  view.Invalidate();
}

void SetTableRows(TBaseControl& control, int rows) {
  if (auto* table = dynamic_cast<TTable*>(&control)) table->View().SetRowCount(rows);
}

// ---- The previews as widgets ---------------------------------------------------------------

namespace {

// The postcard control: a card for every visible entry, the sender of the style, and the
// layout guides while the style settings panel is open. It is an editor's window, so that the
// free text of a card whose style edits text takes keys, the input method and the clipboard
// (the text is read-only otherwise).
class TPostPreview : public IPostPreview {
public:
  explicit TPostPreview(QWidget* parent) : FWidget(new TQtEditor(std::make_unique<TPost>(), parent)) {}
  QWidget* Widget() override { return FWidget; }
  TBaseControl& Control() override { return FWidget->Control(); }
  TPost& Post() const { return static_cast<TPost&>(FWidget->Control()); }
  void SetList(TPersonList* book) override { Post().SetPersons(book); }
  void ShowEntry(int position) override { Post().SelectPerson(position); }
  void SetSender(const TPerson* sender) override { Post().SetSender(sender); }
  void SetFrameVisible(bool visible) override { Post().SetShowGuides(visible); }
  bool HasSelection() const override { return Core().HasSelection(); }
  void Cut() override { Core().Cut(); }
  void Copy() override { Core().Copy(); }
  void Paste() override { Core().Paste(); }
  void SelectAll() override { Core().SelectAll(); }

private:
  TEditorCore& Core() const { return FWidget->EditorView().Core(); }
  TQtEditor* FWidget;
};

// The table control of the table print, its cells from the visible entries.
class TTablePreview : public ITablePreview {
public:
  explicit TTablePreview(QWidget* parent) : FWidget(new TQtPaperControl(MakeTableControl(), parent)) {}
  QWidget* Widget() override { return FWidget; }
  TBaseControl& Control() override { return FWidget->Control(); }
  void SetList(TPersonList* book) override { SetTableBook(Control(), book); }
  void SetRowCount(int rows) override { SetTableRows(Control(), rows); }

private:
  TQtPaperControl* FWidget;
};

TPostPreviewFactory& PostFactory() {
  static TPostPreviewFactory f;
  return f;
}
TTablePreviewFactory& TableFactory() {
  static TTablePreviewFactory f;
  return f;
}

}  // namespace

void SetPostPreviewFactory(TPostPreviewFactory factory) { PostFactory() = std::move(factory); }
void SetTablePreviewFactory(TTablePreviewFactory factory) { TableFactory() = std::move(factory); }

std::unique_ptr<IPostPreview> MakePostPreview(QWidget* parent) {
  if (PostFactory()) return PostFactory()(parent);
  return std::make_unique<TPostPreview>(parent);
}

std::unique_ptr<ITablePreview> MakeTablePreview(QWidget* parent) {
  if (TableFactory()) return TableFactory()(parent);
  return std::make_unique<TTablePreview>(parent);
}

}  // namespace kaede
