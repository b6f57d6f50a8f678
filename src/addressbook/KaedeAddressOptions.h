#pragma once
// The settings of the address book program: data folder, the book opened at start, the window
// layout, the sender entries of the postcard print and the search history. One object lives
// for the whole run; creating it loads the settings (asking for the data folder at the first
// start), freeing it saves them.
#include <functional>
#include <memory>
#include <vector>

#include "AppOptions.h"
#include "HistoryLists.h"
#include "PersonLists.h"

namespace kaede {

// The window placement stored under "FormState": left|top|width|height|state, where state is
// 0 normal, 1 minimised, 2 maximised (the bounds are then 40|40|600|400).
struct TFormState {
  int Left = 40, Top = 40, Width = 600, Height = 400, State = 0;
};
std::string FormStateToText(const TFormState& s);
// Numbers that are missing or not numbers keep the values of `current`.
TFormState TextToFormState(const std::string& text, const TFormState& current);

// Settings stored in the same store by other parts of the program (the print style lists):
// cleared, loaded and saved together with the options.
struct TOptionCompanion {
  std::function<void()> Clear;
  std::function<void(TSettingsStore&)> Read;
  std::function<void(TSettingsStore&)> Write;
};

class TKaedeAddressOption : public TAppOption {
public:
  static constexpr int kDefaultPersonListWidth = 150;
  static constexpr int kDefaultPersonFrameWidth = 287;

  TKaedeAddressOption();
  ~TKaedeAddressOption() override;

  // ---- Stored values ----
  bool PostVisible() const { return FPostVisible; }
  int PersonListWidth() const { return FPersonListWidth; }
  int PersonFrameWidth() const { return FPersonFrameWidth; }
  int SelectStyleKind() const { return FSelectStyleKind; }
  int SelectStyleNo() const { return FSelectStyleNo; }
  // The data folder of the books, ending with "/".
  const std::string& DataPath() const { return FDataPath; }
  const std::string& FormState() const { return FFormState; }
  // File name (with extension, without folder) of the book opened at start.
  const std::string& StartFile() const { return FStartFile; }
  void SetPostVisible(bool v) { SetField(FPostVisible, v); }
  void SetPersonListWidth(int v) { SetField(FPersonListWidth, v); }
  void SetPersonFrameWidth(int v) { SetField(FPersonFrameWidth, v); }
  void SetSelectStyleKind(int v) { SetField(FSelectStyleKind, v); }
  void SetSelectStyleNo(int v) { SetField(FSelectStyleNo, v); }
  void SetFormState(const std::string& v) { SetField(FFormState, v); }
  void SetStartFile(const std::string& v) { SetField(FStartFile, v); }
  void SetDataPath(const std::string& folder);

  TPersonList& SenderList() { return *FSenderList; }
  THistoryList& FindHistoryList() { return *FFindHistoryList; }
  // From the command line: /N (select the first entry whose name holds it), /S (postcard style).
  std::string StartName;
  std::string StartStyle;

  // The data folder used when none is set: the documents folder + "/KaedeAddress/".
  static std::string DefaultDataPath();

  // Asks for the data folder through the data-folder dialog; fileNames is the comma text of
  // the files the folder must hold. True for OK.
  bool ChooseDataPath(const std::string& fileNames);

  void AddCompanion(TOptionCompanion companion) { FCompanions.push_back(std::move(companion)); }

  void Clear() override;
  void ReadSection(TSettingsStore& store, const std::string& section) override;
  void WriteSection(TSettingsStore& store, const std::string& section) override;
  void LoadOptions() override;
  void SaveOptions() override;
  void HandleSwitch(char letter, const std::string& value) override;
  // D (data folder), N (entry name) and S (style), each with a value.
  bool IsSwitchLetter(char letter) const override {
    return letter == 'D' || letter == 'N' || letter == 'S' || TAppOption::IsSwitchLetter(letter);
  }

private:
  bool FPostVisible = false;
  int FPersonListWidth = kDefaultPersonListWidth;
  int FPersonFrameWidth = kDefaultPersonFrameWidth;
  int FSelectStyleKind = 0;
  int FSelectStyleNo = 0;
  std::string FDataPath;
  std::string FFormState;
  std::string FStartFile;
  std::unique_ptr<TPersonList> FSenderList;
  std::unique_ptr<THistoryList> FFindHistoryList;
  std::unique_ptr<TDataPathChooser> FChooser;
  std::vector<TOptionCompanion> FCompanions;
};

}  // namespace kaede
