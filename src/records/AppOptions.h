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
  // The switch letters the program knows (upper case), and whether a letter takes a value.
  // Subclasses add their own letters to the inherited ones.
  virtual bool IsSwitchLetter(char letter) const { return letter == 'Q' || letter == 'Z'; }
  virtual bool SwitchTakesValue(char letter) const { return letter != 'Q' && letter != 'Z'; }
  // 0: show or hide the main window (or OnTrayClick); 1: front and icon menu at the point.
  virtual void TrayAction(int kind, const TPoint& at);
  virtual void LoadOptions();
  virtual void SaveOptions();

  // Handles the arguments (without the program name), which are switches or file arguments.
  // Absolute paths start with "/" like the switches, so an argument is a switch only when it
  // cannot be a path the user means:
  // - an argument that names an existing file or folder, or ends with ".kad" (a book), is a
  //   file argument;
  // - "/X" alone is switch X (with an empty value);
  // - "/Xvalue" is switch X with that value only for a letter that takes a value, and only
  //   when the value holds no "/" or starts with one ("/Dfolder", "/D/home/me/books");
  //   "/data/books/a.kad" is a path, not switch D with "ata/books/a.kad";
  // - "-X" is switch X, and for a letter that takes a value the next argument is its value
  //   ("-D /home/me/books");
  // - a letter the program does not know makes no switch.
  void ParseCommandLine(const TStrings& args);
  // The same with the program's own arguments (see SetProgramArguments).
  void ParseCommandLine() { ParseCommandLine(ProgramArguments()); }

  // The program's command-line arguments (CP932, without the program name), set once by the
  // program's entry before the settings are created.
  static void SetProgramArguments(const TStrings& args);
  static const TStrings& ProgramArguments();
  // Whether the arguments hold switch `letter` (upper case), and its value.
  bool FindSwitch(const TStrings& args, char letter, std::string* value = nullptr) const;

  struct TSwitch {
    char Letter;
    std::string Value;
  };
  // The arguments sorted into switches and file arguments by the rules of ParseCommandLine.
  void SplitArguments(const TStrings& args, std::vector<TSwitch>& switches, TStrings& files) const;

private:
  bool FTrayMode = false;
};

}  // namespace kaede
