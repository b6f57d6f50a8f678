#pragma once
// The settings record of an application: loaded when created, saved when freed, with the
// command line and the notification-area icon mode.
#include <functional>

#include "AppHost.h"
#include "BaseOptions.h"

namespace kaede {

class TAppOption : public TBaseOption {
public:
  using TParamsEvent = std::function<void(const TStrings& files)>;
  using TNotifyEvent = std::function<void()>;

  // The command-line arguments that are not switches, in order.
  TStrings ParamFiles;
  // The folder of the program file, ending with a path delimiter.
  std::string ProgramFolder;
  // The application key of the settings store (empty: the program's internal name).
  std::string AppKey;

  TNotifyEvent OnTrayClick;
  TNotifyEvent OnQuit;
  TNotifyEvent OnTrayPopup;
  TParamsEvent OnParams;

  bool TrayMode() const { return FTrayMode; }
  void SetTrayMode(bool value);

  void CreateFields() override;
  // Creation loads the settings; freeing saves them.
  void Initialize() override;
  void DestroyFields() override;

  virtual void AfterLoad() {}
  virtual void BeforeSwitches() {}
  // One switch: "/Q" quits, "/Z" turns the tray mode on. Subclasses handle their letters
  // after calling this.
  virtual void HandleSwitch(char letter, const std::string& value);
  // 0: show or hide the main window (or OnTrayClick); 1: front and icon menu at the point.
  virtual void TrayAction(int kind, const TPoint& at);
  virtual void LoadOptions();
  virtual void SaveOptions();

  // Handles the arguments (without the program name): "/X..." of at least two characters
  // whose second character is a single byte is switch X with the rest as value; everything
  // else is a file argument.
  void ParseCommandLine(const TStrings& args);
  // The same with the program's own arguments (see SetProgramArguments).
  void ParseCommandLine() { ParseCommandLine(ProgramArguments()); }

  // The program's command-line arguments (CP932, without the program name), set once by the
  // program's entry before the settings are created.
  static void SetProgramArguments(const TStrings& args);
  static const TStrings& ProgramArguments();
  // Whether the arguments hold switch `letter` (upper case), and its value.
  static bool FindSwitch(const TStrings& args, char letter, std::string* value = nullptr);

private:
  bool FTrayMode = false;
};

}  // namespace kaede
