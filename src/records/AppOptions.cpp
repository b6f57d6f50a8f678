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

bool EndsWithBookExtension(const std::string& a) {
  if (a.size() < 4) return false;
  std::string tail = a.substr(a.size() - 4);
  for (char& c : tail)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return tail == ".kad";
}
}  // namespace

void TAppOption::SetProgramArguments(const TStrings& args) { Arguments() = args; }
const TStrings& TAppOption::ProgramArguments() { return Arguments(); }

void TAppOption::SplitArguments(const TStrings& args, std::vector<TSwitch>& switches, TStrings& files) const {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool isSwitch = false;
    char letter = 0;
    std::string value;
    if (a.size() >= 2 && (a[0] == '/' || a[0] == '-') && !IsLeadByte(a[1]) && !EndsWithBookExtension(a) &&
        !FileExists(a) && !DirectoryExists(a)) {
      letter = a[1];
      if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 32);
      std::string rest = a.substr(2);
      if (IsSwitchLetter(letter)) {
        if (a[0] == '-') {
          isSwitch = rest.empty();
          if (isSwitch && SwitchTakesValue(letter) && i + 1 < args.size()) value = args[++i];
        } else if (!SwitchTakesValue(letter)) {
          isSwitch = rest.empty();
        } else {
          isSwitch = rest.empty() || rest[0] == '/' || rest.find('/') == std::string::npos;
          value = rest;
        }
      }
    }
    if (isSwitch) switches.push_back(TSwitch{letter, value});
    else files.push_back(a);
  }
}

bool TAppOption::FindSwitch(const TStrings& args, char letter, std::string* value) const {
  std::vector<TSwitch> switches;
  TStrings files;
  SplitArguments(args, switches, files);
  for (const TSwitch& s : switches) {
    if (s.Letter != letter) continue;
    if (value) *value = s.Value;
    return true;
  }
  return false;
}

void TAppOption::ParseCommandLine(const TStrings& args) {
  if (args.empty()) return;
  BeforeSwitches();
  ParamFiles.clear();
  std::vector<TSwitch> switches;
  TStrings files;
  SplitArguments(args, switches, files);
  // switches and file arguments keep their order among themselves
  for (const TSwitch& s : switches) HandleSwitch(s.Letter, s.Value);
  ParamFiles = files;
  if (!AppHost().Terminated() && OnParams) OnParams(ParamFiles);
}

}  // namespace kaede
