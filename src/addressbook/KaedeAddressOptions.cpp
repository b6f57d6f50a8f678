#include "KaedeAddressOptions.h"

#include "AppPaths.h"
#include "Cp932.h"
#include "Files.h"
#include "Strs.h"

namespace kaede {

namespace {
const char kSection[] = "Option";

std::string DefaultStartFile() { return SJ("住所録.kad"); }
}  // namespace

std::string FormStateToText(const TFormState& s) {
  return std::to_string(s.Left) + "|" + std::to_string(s.Top) + "|" + std::to_string(s.Width) + "|" +
         std::to_string(s.Height) + "|" + std::to_string(s.State);
}

TFormState TextToFormState(const std::string& text, const TFormState& current) {
  TFormState r = current;
  TStrings parts = SplitStr(text, "|");
  int* fields[5] = {&r.Left, &r.Top, &r.Width, &r.Height, &r.State};
  for (size_t i = 0; i < 5 && i < parts.size(); ++i) {
    try {
      size_t used = 0;
      int v = std::stoi(parts[i], &used);
      if (used == parts[i].size()) *fields[i] = v;
    } catch (const std::exception&) {
      // not a number: the present value stays
    }
  }
  return r;
}

TKaedeAddressOption::TKaedeAddressOption()
    : FSenderList(std::make_unique<TPersonList>()), FFindHistoryList(std::make_unique<THistoryList>()) {
  FSenderList->AutoSort = false;
  FSenderList->RecordUndo = false;
  FStartFile = DefaultStartFile();
}

TKaedeAddressOption::~TKaedeAddressOption() = default;

std::string TKaedeAddressOption::DefaultDataPath() {
  std::string docs = MyDocumentsFolder();
  if (docs.empty()) docs = UserDataFolder();
  return IncludeTrailingDelimiter(IncludeTrailingDelimiter(docs) + "KaedeAddress");
}

void TKaedeAddressOption::SetDataPath(const std::string& folder) {
  SetField(FDataPath, folder.empty() ? std::string() : IncludeTrailingDelimiter(folder));
}

void TKaedeAddressOption::Clear() {
  FPostVisible = false;
  FPersonListWidth = kDefaultPersonListWidth;
  FPersonFrameWidth = kDefaultPersonFrameWidth;
  FSelectStyleKind = 0;
  FSelectStyleNo = 0;
  FDataPath.clear();
  FFormState.clear();
  FStartFile = DefaultStartFile();
  if (FSenderList) FSenderList->Clear();
  if (FFindHistoryList) FFindHistoryList->Clear();
  for (const TOptionCompanion& c : FCompanions)
    if (c.Clear) c.Clear();
}

void TKaedeAddressOption::ReadSection(TSettingsStore& s, const std::string& sec) {
  FPostVisible = s.ReadBool(sec, "PostVisible", false);
  FPersonListWidth = s.ReadInteger(sec, "PersonListWidth", kDefaultPersonListWidth);
  FPersonFrameWidth = s.ReadInteger(sec, "PersonFrameWidth", kDefaultPersonFrameWidth);
  FSelectStyleKind = s.ReadInteger(sec, "SelectStyleKind", 0);
  FSelectStyleNo = s.ReadInteger(sec, "SelectStyleNo", 0);
  FDataPath = s.ReadString(sec, "DataPath", std::string());
  FDataPath = FDataPath.empty() ? DefaultDataPath() : IncludeTrailingDelimiter(FDataPath);
  FFormState = s.ReadString(sec, "FormState", std::string());
  FStartFile = s.ReadString(sec, "StartFile", DefaultStartFile());
  // A damaged list value must not stop the program from starting: what cannot be read is
  // reported and left empty.
  auto readList = [&](TDataList& list, const char* key) {
    try {
      list.SetCommaText(s.ReadString(sec, key, std::string()));
    } catch (const Exception& e) {
      list.Clear();
      AppHost().ShowError(std::string(key) + ": " + e.what());
    }
  };
  readList(*FSenderList, "SenderPersons");
  readList(*FFindHistoryList, "FindHistory");
}

void TKaedeAddressOption::WriteSection(TSettingsStore& s, const std::string& sec) {
  if (FPostVisible) s.WriteBool(sec, "PostVisible", true);
  if (FPersonListWidth != kDefaultPersonListWidth) s.WriteInteger(sec, "PersonListWidth", FPersonListWidth);
  if (FPersonFrameWidth != kDefaultPersonFrameWidth) s.WriteInteger(sec, "PersonFrameWidth", FPersonFrameWidth);
  if (FSelectStyleKind != 0) s.WriteInteger(sec, "SelectStyleKind", FSelectStyleKind);
  if (FSelectStyleNo != 0) s.WriteInteger(sec, "SelectStyleNo", FSelectStyleNo);
  if (!FDataPath.empty()) s.WriteString(sec, "DataPath", FDataPath);
  if (!FFormState.empty()) s.WriteString(sec, "FormState", FFormState);
  if (FStartFile != DefaultStartFile()) s.WriteString(sec, "StartFile", FStartFile);
  if (FSenderList->Count() > 0) s.WriteString(sec, "SenderPersons", FSenderList->GetCommaText());
  if (FFindHistoryList->Count() > 0) s.WriteString(sec, "FindHistory", FFindHistoryList->GetCommaText());
}

void TKaedeAddressOption::LoadOptions() {
  auto store = TSettingsStore::OpenRegistry(AppKey);
  LoadFromStore(*store, kSection);
  for (const TOptionCompanion& c : FCompanions)
    if (c.Read) c.Read(*store);
  if (FDataPath.empty()) {
    // The first start: the data folder is asked for, and the program ends without one. A
    // folder given on the command line (/D) answers the question; the switch itself is
    // handled with the others once the window exists.
    // A start that quits at once (/Q) asks nothing: it takes the default folder.
    std::string folder;
    if (FindSwitch(ProgramArguments(), 'D', &folder)) SetDataPath(folder.empty() ? ProgramFolder : folder);
    else if (FindSwitch(ProgramArguments(), 'Q')) SetDataPath(DefaultDataPath());
    else if (!ChooseDataPath(SJ("住所録.kad"))) AppHost().Terminate();
  }
}

void TKaedeAddressOption::SaveOptions() {
  try {
    auto store = TSettingsStore::OpenRegistry(AppKey);
    SaveToStore(*store, kSection);
    for (const TOptionCompanion& c : FCompanions)
      if (c.Write) c.Write(*store);
    store->Save();
  } catch (const Exception& e) {
    AppHost().ShowError(e.what());
  }
}

bool TKaedeAddressOption::ChooseDataPath(const std::string& fileNames) {
  if (!FChooser) {
    FChooser = AppHost().CreateDataPathChooser();
    if (!FChooser) return false;
    FChooser->SetWord(SJ("住所録"));
  }
  // the dialog offers the folder in use (at the first start there is none yet)
  FChooser->SetFolder(FDataPath);
  if (!FChooser->Execute(fileNames)) return false;
  SetDataPath(FChooser->Folder());
  AppHost().ShowInfo(SJ("変更したフォルダは次回起動時から反映されます"));
  return true;
}

void TKaedeAddressOption::HandleSwitch(char letter, const std::string& value) {
  TAppOption::HandleSwitch(letter, value);
  switch (letter) {
    case 'D':
      SetDataPath(value.empty() ? ProgramFolder : value);
      break;
    case 'N':
      StartName = value;
      break;
    case 'S':
      StartStyle = value;
      break;
    default:
      break;
  }
}

}  // namespace kaede
