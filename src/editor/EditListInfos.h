#pragma once
// The documents of an editor view: each one a line store with its caret, scroll position and
// marked lines, and the list that holds them, knows the current one and gives every new
// document the view's style and geometry.
#include <functional>
#include <memory>

#include "DataLists.h"
#include "EditLists.h"
#include "EditorUndos.h"

namespace kaede {

class TEditListInfo : public TDataItem {
public:
  TEditList& Lines() { return *FLines; }
  const TEditList& Lines() const { return *FLines; }
  // The document's history of edits.
  TEditorUndo& History() { return *FHistory; }

  TPoint Caret{1, 0};   // display position
  TPoint Scroll{0, 0};  // scroll position of the view
  TPoints Marks;        // positions of marked lines

  std::string GetText() const override { return FLines->GetText(); }
  void CreateFields() override {
    FLines = std::make_unique<TEditList>();
    FHistory = std::make_unique<TEditorUndo>();
  }
  void DestroyFields() override {
    FHistory.reset();
    FLines.reset();
  }
  // An empty text, the caret at the start, nothing scrolled or marked, no history.
  void Clear() override;

private:
  std::unique_ptr<TEditList> FLines;
  std::unique_ptr<TEditorUndo> FHistory;
};

class TEditListInfoList : public TDataList {
public:
  TEditListInfoList();
  ~TEditListInfoList() override;

  TDataItem* NewInstance() const override { return new TEditListInfo(); }
  TEditListInfo* Info(int index) const { return ItemAs<TEditListInfo>(index); }

  // The current document, or none.
  int Current() const { return FCurrent; }
  TEditListInfo* CurrentInfo() const;
  // The view hears of the change before (to keep the old document's caret, scroll position
  // and marks) and after it (to take those of the new one).
  void SetCurrent(int index);
  std::function<void(TEditListInfo* old)> OnCurrentChanging;
  std::function<void(TEditListInfo* current)> OnCurrentChanged;

  // What every document gets, now and when it is added.
  void AssignStyle(const TEditorStyle& style);
  void SetGeometry(const TTextMetrics* metrics, int32_t fontHeight, int32_t lineWidth, int32_t columns,
                   int32_t spacing);
  void SetIgnoreCase(bool value);
  const TEditorStyle& Style() const { return *FStyle; }

  void ItemAdded(TDataItem* item) override;

private:
  void Configure(TEditList& lines) const;

  int FCurrent = -1;
  TEditorStyle* FStyle;
  const TTextMetrics* FMetrics = nullptr;
  int32_t FFontHeight = 0, FLineWidth = 0, FColumns = 0, FSpacing = 0;
  bool FIgnoreCase = false;
};

}  // namespace kaede
