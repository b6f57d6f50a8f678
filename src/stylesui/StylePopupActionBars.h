#pragma once
// The style menu of the style selector: open the style settings, add a copy, delete, rename,
// move, read from and write to a single-style file, and reset a list to its predefined
// styles. TStylePopupMenu is the menu's behaviour without a window; TStylePopupActionBar is
// the pop-up menu that shows it.
#include <QMenu>
#include <array>
#include <functional>
#include <string>

#include "BaseStyles.h"

namespace kaede {

// The questions the style screens ask the user. The window layer answers them with its
// dialogs; tests answer them with scripted fakes.
class IStyleDialogs {
public:
  virtual ~IStyleDialogs() = default;
  // The one-line input box; true for OK.
  virtual bool InputText(const std::string& caption, const std::string& prompt, std::string& value) = 0;
  // Yes / No.
  virtual bool Confirm(const std::string& text) = 0;
  virtual void ShowInfo(const std::string& text) = 0;
  // The open and save dialogs with a default extension (".kps") and a filter in the stored
  // form "text|pattern"; file names are CP932. For saving, file holds the proposed name.
  virtual bool OpenFileName(const std::string& defaultExt, const std::string& filter, std::string& file) = 0;
  virtual bool SaveFileName(const std::string& defaultExt, const std::string& filter, std::string& file) = 0;
};

class TStylePopupMenu {
public:
  enum TEntry { peCust, peAdd, peDelete, peRename, pePrev, peNext, peFirst, peLast, peOpen, peSave, peReset, peCount };
  // Captions in menu order; a separator follows peCust, peRename, peLast and peSave.
  static std::string Caption(TEntry entry);
  static bool SeparatorAfter(TEntry entry);

  explicit TStylePopupMenu(IStyleDialogs& dialogs) : FDialogs(dialogs) {}

  // The style of the selected button, and the list positions of the styles on the buttons
  // just before and after it in its category (-1 when there is none).
  TBaseStyle* Current = nullptr;
  int PrevPos = -1;
  int NextPos = -1;
  // Moves only between neighbours of a category (the selector always sets it).
  bool CategoryMode = false;

  std::function<void()> OnBeforeChange;
  std::function<void()> OnAfterChange;
  std::function<void()> OnStyleCust;

  // The list of the current style and its position there (none / -1 without one).
  TBaseStyleList* List() const;
  int Position() const;

  bool Enabled(TEntry entry) const;
  // Carries out an entry (nothing when it is not enabled). A change runs between
  // OnBeforeChange and OnAfterChange; a declined question or a cancelled dialog changes
  // nothing and calls neither.
  void Run(TEntry entry);

private:
  template <class F>
  void Change(F f);
  IStyleDialogs& FDialogs;
};

// The pop-up menu of the selector's buttons: the entries of a TStylePopupMenu, enabled as it
// says when the menu opens.
class TStylePopupActionBar : public QMenu {
  Q_OBJECT
public:
  TStylePopupActionBar(TStylePopupMenu& menu, QWidget* parent = nullptr);
  TStylePopupMenu& Menu() { return FMenu; }
  QAction* Action(TStylePopupMenu::TEntry entry) const { return FActions[entry]; }
  // Enables the entries for the present style (also done whenever the menu opens).
  void UpdateEntries();

private:
  TStylePopupMenu& FMenu;
  std::array<QAction*, TStylePopupMenu::peCount> FActions{};
};

}  // namespace kaede
