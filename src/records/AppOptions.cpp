#include "AppOptions.h"

#include "AppPaths.h"
#include "Files.h"
#include "Strs.h"

namespace kaede {

void TAppOption::CreateFields() {
  TBaseOption::CreateFields();
  ProgramFolder = kaede::ProgramFolder();
}

void TAppOption::Initialize() {
  LoadOptions();
  AfterLoad();
}

void TAppOption::DestroyFields() {
  SaveOptions();
  if (FTrayMode) AppHost().HideTrayIcon();
}

void TAppOption::LoadOptions() { LoadFromRegistry(AppKey, std::string()); }

void TAppOption::SaveOptions() {
  try {
    SaveToRegistry(AppKey, std::string());
  } catch (const Exception& e) {
    // The program is ending: the settings are lost, but the user learns why.
    AppHost().ShowError(e.what());
  }
}

void TAppOption::SetTrayMode(bool value) {
  if (value == FTrayMode) return;
  Changing(-1);
  FTrayMode = value;
  if (value) {
    AppHost().ShowTrayIcon(CutStr(ProgramFile(), 63, false));
  } else {
    AppHost().HideTrayIcon();
  }
  Changed(-1);
}

void TAppOption::HandleSwitch(char letter, const std::string& /*value*/) {
  switch (letter) {
    case 'Q':
      if (OnQuit) {
        OnQuit();
      } else {
        AppHost().ShowMainWindow();
        AppHost().ProcessMessages();
        AppHost().Terminate();
      }
      break;
    case 'Z':
      SetTrayMode(true);
      break;
    default:
      break;
  }
}

void TAppOption::TrayAction(int kind, const TPoint& at) {
  if (kind == 0) {
    if (OnTrayClick) OnTrayClick();
    else AppHost().ToggleMainWindow();
  } else if (kind == 1) {
    AppHost().BringToFront();
    if (OnTrayPopup) OnTrayPopup();
    AppHost().PopupTrayMenu(at);
  }
}

namespace {
TStrings& Arguments() {
  static TStrings args;
  return args;
}

// The switch letter (upper case) of an argument, or 0 when it is a file argument.
char SwitchLetter(const std::string& a) {
  if (a.size() < 2 || a[0] != '/' || IsLeadByte(a[1])) return 0;
  char letter = a[1];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 32);
  return letter;
}
}  // namespace

void TAppOption::SetProgramArguments(const TStrings& args) { Arguments() = args; }
const TStrings& TAppOption::ProgramArguments() { return Arguments(); }

bool TAppOption::FindSwitch(const TStrings& args, char letter, std::string* value) {
  for (const std::string& a : args) {
    if (SwitchLetter(a) == letter) {
      if (value) *value = a.substr(2);
      return true;
    }
  }
  return false;
}

void TAppOption::ParseCommandLine(const TStrings& args) {
  if (args.empty()) return;
  BeforeSwitches();
  ParamFiles.clear();
  for (const std::string& a : args) {
    if (char letter = SwitchLetter(a)) HandleSwitch(letter, a.substr(2));
    else ParamFiles.push_back(a);
  }
  if (!AppHost().Terminated() && OnParams) OnParams(ParamFiles);
}

}  // namespace kaede
