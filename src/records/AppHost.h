#pragma once
// What records of the application need from the running program: message boxes, the
// data-folder dialog, the main window, the notification-area icon and termination. The
// window layer installs its implementation with SetAppHost; without one, a headless host
// answers (no windows; messages go to standard error; dialogs are cancelled).
#include <memory>
#include <string>

#include "KaedeTypes.h"

namespace kaede {

// The dialog that asks for the data folder.
class TDataPathChooser {
public:
  virtual ~TDataPathChooser() = default;
  // Replaces the word "データ" in the dialog's texts (with "住所録": "住所録の保存場所").
  virtual void SetWord(const std::string& word) = 0;
  // Shows the dialog; fileNames is the comma text of the files the folder must hold. True
  // for OK.
  virtual bool Execute(const std::string& fileNames) = 0;
  virtual std::string Folder() const = 0;
  // The folder the dialog offers when it opens (the data folder in use).
  virtual void SetFolder(const std::string& /*folder*/) {}
};

class IAppHost {
public:
  virtual ~IAppHost() = default;

  virtual void ShowInfo(const std::string& text);
  virtual void ShowError(const std::string& text);
  virtual bool Confirm(const std::string& text);
  virtual std::unique_ptr<TDataPathChooser> CreateDataPathChooser();

  virtual void ShowMainWindow() {}
  // Shows the main window when hidden, hides it when shown (the tray icon's action).
  virtual void ToggleMainWindow() {}
  virtual void BringToFront() {}
  // Lets pending window messages run.
  virtual void ProcessMessages() {}
  virtual void ShowTrayIcon(const std::string& /*tooltip*/) {}
  virtual void HideTrayIcon() {}
  // Pops up the icon menu ("起動(&E)", "終了(&Z)") at a screen position.
  virtual void PopupTrayMenu(const TPoint& /*at*/) {}

  virtual void Terminate() { FTerminated = true; }
  virtual bool Terminated() const { return FTerminated; }

private:
  bool FTerminated = false;
};

// The host in use (the headless one until the window layer installs its own). The caller
// keeps ownership of the host it installs; passing null restores the headless host.
IAppHost& AppHost();
void SetAppHost(IAppHost* host);

}  // namespace kaede
