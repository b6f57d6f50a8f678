#pragma once
// History lists: a short list of texts without duplicates (the search history).
#include "DataLists.h"

namespace kaede {

class THistoryItem : public TDataItem {
public:
  const std::string& Text() const { return FText; }
  std::string GetText() const override { return FText; }
  void AssignFields(const TDataItem* source) override;
  void Clear() override { FText.clear(); }
  // Setting a text removes every other entry that contains it, so that the list never holds
  // a text twice and a longer text gives way to a shorter one it contains.
  void ReadText(const std::string& text) override;
  virtual bool IsListed() const;

private:
  std::string FText;
};

class THistoryList : public TDataList {
public:
  int32_t MaxCount = 20;
  // Texts that entries can be tested against (IsListed).
  TStrings ReferenceTexts;

  TDataItem* NewInstance() const override { return new THistoryItem(); }
  THistoryItem* At(int i) const { return ItemAs<THistoryItem>(i); }
  // From another history list only MaxCount is taken; any other list is copied item by item.
  void Assign(const TDataList* other) override;
};

}  // namespace kaede
