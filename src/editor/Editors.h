#pragma once
// The editor control: the host control of an editor view. It owns the editor style and the
// view, turns keys into the view's editing commands (through the paper view's command path,
// with its key repeat), keeps the control's Tab key in step with the style, switches the text
// to read-only, and republishes the view's notifications with the status text.
//
// Plain C++ like TBaseControl; the Qt widget (src/editor/qt) adds the caret's blink, the input
// method and the clipboard. The postcard control is an editor control with the postcard's
// view and style classes.
#include <functional>
#include <string>

#include "BaseControls.h"
#include "EditorViews.h"

namespace kaede {

class TEditor : public TBaseControl {
public:
  // The view and style classes (an editor view on an editor style when none are given).
  explicit TEditor(TViewFactory viewFactory = nullptr, TStyleFactory styleFactory = nullptr);
  ~TEditor() override;

  TEditorView& EditorView() const { return static_cast<TEditorView&>(View()); }
  TEditorStyle& EditorStyle() const { return static_cast<TEditorStyle&>(Style()); }
  TEditorCore& Core() const { return EditorView().Core(); }

  // The text cannot be changed and no caret is shown.
  bool ReadOnly() const { return EditorStyle().Editor().ReadOnly; }
  void SetReadOnly(bool value);

  // " 1頁  2行  3桁": where the caret is.
  std::string WorkingInfo() const { return Core().WorkingInfo(); }

  // ---- Focus and the input method --------------------------------------------------------
  // What the input method should do when the control takes the focus: 0 nothing, 1 on, 2 off.
  enum TImeRequest { imLeave = 0, imOpen = 1, imClose = 2 };
  // The focus came: the request of the style, or the state the input method had when the
  // focus went (when it was open then).
  int32_t FocusGained();
  // The focus went: remember whether the input method was open.
  void FocusWent(bool imeOpen);
  // Characters of an input-method result that the platform sends again as key presses and
  // that must be swallowed. Qt delivers a result once, as a commit, so nothing is swallowed:
  // counting on a repeat that never comes would eat the user's next keys.
  int32_t PendingResults() const { return 0; }

  // ---- Events ----------------------------------------------------------------------------
  std::function<void()> OnChange, OnJump, OnModified;
  std::function<void(const std::string& info)> OnWorkingInfo;
  // For the window: the caret moved or the text changed (the input method's window follows),
  // and the style changed (read-only, input-method hints).
  std::function<void()> OnWindowUpdate, OnWindowStyle;

protected:
  void StyleChanged() override;

private:
  void Notify();
  bool WantsTab() const;
  bool FImeWasOpen = false;
};

}  // namespace kaede
