#include "EditListInfos.h"

namespace kaede {

void TEditListInfo::Clear() {
  Caret = TPoint{1, 0};
  Scroll = TPoint{0, 0};
  Marks.clear();
  if (FLines) FLines->Clear();
  if (FHistory) FHistory->Clear();
}

TEditListInfoList::TEditListInfoList() : FStyle(TDataItem::Make<TEditorStyle>()) {}

TEditListInfoList::~TEditListInfoList() {
  // the documents go first: they were configured from the style
  Clear();
  FStyle->Free();
}

TEditListInfo* TEditListInfoList::CurrentInfo() const {
  return FCurrent >= 0 && FCurrent < Count() ? Info(FCurrent) : nullptr;
}

void TEditListInfoList::SetCurrent(int index) {
  if (index < -1 || index >= Count() || index == FCurrent) return;
  if (OnCurrentChanging) OnCurrentChanging(CurrentInfo());
  FCurrent = index;
  if (OnCurrentChanged) OnCurrentChanged(CurrentInfo());
}

void TEditListInfoList::Configure(TEditList& lines) const {
  lines.AssignStyle(*FStyle);
  lines.Metrics = FMetrics;
  lines.FontHeight = FFontHeight;
  lines.LineWidth = FLineWidth;
  lines.Columns = FColumns;
  lines.Spacing = FSpacing;
  lines.IgnoreCase = FIgnoreCase;
}

void TEditListInfoList::ItemAdded(TDataItem* item) {
  if (auto* info = dynamic_cast<TEditListInfo*>(item)) Configure(info->Lines());
}

void TEditListInfoList::AssignStyle(const TEditorStyle& style) {
  FStyle->Assign(&style);
  for (int i = 0; i < Count(); ++i) Info(i)->Lines().AssignStyle(*FStyle);
}

void TEditListInfoList::SetGeometry(const TTextMetrics* metrics, int32_t fontHeight, int32_t lineWidth,
                                    int32_t columns, int32_t spacing) {
  FMetrics = metrics;
  FFontHeight = fontHeight;
  FLineWidth = lineWidth;
  FColumns = columns;
  FSpacing = spacing;
  for (int i = 0; i < Count(); ++i) Configure(Info(i)->Lines());
}

void TEditListInfoList::SetIgnoreCase(bool value) {
  FIgnoreCase = value;
  for (int i = 0; i < Count(); ++i) Info(i)->Lines().IgnoreCase = value;
}

}  // namespace kaede
