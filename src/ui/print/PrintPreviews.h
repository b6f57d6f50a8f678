#pragma once
// The two previews of the print area as it uses them: the postcard control (one card per
// visible entry, or the free text) and the table control (the visible entries as a ruled
// table). The print area reaches each through a small interface; a factory can give it
// other controls (tests do).
#include <QWidget>
#include <functional>
#include <memory>

#include "BaseControls.h"
#include "PersonLists.h"

namespace kaede {

class IPostPreview {
public:
  virtual ~IPostPreview() = default;
  virtual QWidget* Widget() = 0;
  // The host control: its style (assigned into, never handed over) and its view.
  virtual TBaseControl& Control() = 0;
  // The book whose visible entries the cards show, in their order.
  virtual void SetList(TPersonList* book) = 0;
  // The card of the entry at this visible position comes into view (-1: none selected).
  virtual void ShowEntry(int position) = 0;
  // The sender printed on the cards (none: no sender).
  virtual void SetSender(const TPerson* sender) = 0;
  // The style settings panel is shown beside the preview.
  virtual void SetFrameVisible(bool /*visible*/) {}
  // The free text of a card whose style edits text (the Editor switch): the commands of the
  // preview's edit popup. Without a text editor nothing is selected and they do nothing.
  virtual bool HasSelection() const { return false; }
  virtual void Cut() {}
  virtual void Copy() {}
  virtual void Paste() {}
  virtual void SelectAll() {}
};

class ITablePreview {
public:
  virtual ~ITablePreview() = default;
  virtual QWidget* Widget() = 0;
  virtual TBaseControl& Control() = 0;
  // The book whose visible entries are the rows.
  virtual void SetList(TPersonList* book) = 0;
  // The number of rows: the visible count.
  virtual void SetRowCount(int rows) = 0;
};

using TPostPreviewFactory = std::function<std::unique_ptr<IPostPreview>(QWidget* parent)>;
using TTablePreviewFactory = std::function<std::unique_ptr<ITablePreview>(QWidget* parent)>;
// The controls the print area makes (none: back to the previews of this file).
void SetPostPreviewFactory(TPostPreviewFactory factory);
void SetTablePreviewFactory(TTablePreviewFactory factory);
std::unique_ptr<IPostPreview> MakePostPreview(QWidget* parent);
std::unique_ptr<ITablePreview> MakeTablePreview(QWidget* parent);

// The controls behind the previews, also without a window (tests print with them): the table
// print's and the postcard print's own controls, their entries from a book.
std::unique_ptr<TBaseControl> MakeTableControl();
void SetTableBook(TBaseControl& control, TPersonList* book);
void SetTableRows(TBaseControl& control, int rows);
std::unique_ptr<TBaseControl> MakePostControl();
void SetPostBook(TBaseControl& control, TPersonList* book);

}  // namespace kaede
