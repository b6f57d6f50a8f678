#include "HistoryLists.h"

#include <algorithm>

namespace kaede {

void THistoryItem::AssignFields(const TDataItem* source) {
  TDataItem::AssignFields(source);
  if (auto s = dynamic_cast<const THistoryItem*>(source)) FText = s->FText;
}

void THistoryItem::ReadText(const std::string& text) {
  if (text == FText) return;
  if (TDataList* list = Owner(); list && !text.empty()) {
    std::vector<TDataItem*> doomed;
    for (int i = 0; i < list->AllCount(); ++i) {
      TDataItem* other = list->AllItems(i);
      if (other != this && other->Matches(text)) doomed.push_back(other);
    }
    for (TDataItem* d : doomed) d->Free();
  }
  FText = text;
}

bool THistoryItem::IsListed() const {
  auto* list = dynamic_cast<THistoryList*>(Owner());
  if (!list) return false;
  return std::find(list->ReferenceTexts.begin(), list->ReferenceTexts.end(), FText) != list->ReferenceTexts.end();
}

void THistoryList::Assign(const TDataList* other) {
  if (auto h = dynamic_cast<const THistoryList*>(other)) {
    MaxCount = h->MaxCount;
    return;
  }
  TDataList::Assign(other);
}

}  // namespace kaede
