#include "Editors.h"

namespace kaede {

TEditor::TEditor(TViewFactory viewFactory, TStyleFactory styleFactory)
    : TBaseControl(viewFactory ? std::move(viewFactory)
                               : [](TBaseStyle* s) -> TBaseView* { return new TEditorView(static_cast<TEditorStyle*>(s)); },
                   styleFactory ? std::move(styleFactory) : [] { return static_cast<TBaseStyle*>(new TEditorStyle()); }) {
  TEditorView& v = EditorView();
  // the control's double click comes after the view's own (word, line or address)
  v.OnDblClick = [this, control = v.OnDblClick] {
    EditorView().HandleDoubleClick();
    if (control) control();
  };
  v.OnCaretMove = [this] {
    if (OnJump) OnJump();
    Notify();
  };
  v.OnChange = [this] {
    if (OnChange) OnChange();
    Notify();
  };
  v.Lines().OnModifiedChange = [this] {
    if (OnModified) OnModified();
  };
  WantTabs = WantsTab();
}

bool TEditor::WantsTab() const {
  // Tab inserts a tab into text that can change; a text that cannot lets Tab move the focus on
  return EditorStyle().ViewInfo(TEditorStyle::viTab)->IsEnabled() && !Core().ReadOnly();
}

TEditor::~TEditor() {
  EditorView().OnCaretMove = nullptr;
  EditorView().OnChange = nullptr;
  EditorView().Lines().OnModifiedChange = nullptr;
}

void TEditor::SetReadOnly(bool value) { EditorStyle().SetEditor(&TEditorValues::ReadOnly, value); }

void TEditor::StyleChanged() {
  TBaseControl::StyleChanged();
  WantTabs = WantsTab();
  if (OnWindowStyle) OnWindowStyle();
  Notify();
}

void TEditor::Notify() {
  if (OnWindowUpdate) OnWindowUpdate();
  if (OnWorkingInfo) OnWorkingInfo(WorkingInfo());
}

int32_t TEditor::FocusGained() {
  EditorView().SetFocused(true);
  const int32_t request = EditorStyle().Editor().ImeControl;
  if (request == imOpen || request == imClose) return request;
  return FImeWasOpen ? imOpen : imLeave;
}

void TEditor::FocusWent(bool imeOpen) {
  FImeWasOpen = imeOpen;
  EditorView().SetFocused(false);
}

}  // namespace kaede
