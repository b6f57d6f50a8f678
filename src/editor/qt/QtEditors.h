#pragma once
// The editor control's window: the paper control widget with the editor's own caret (it blinks
// at the platform's cursor-flash time; there is no system caret), typed characters, the input
// method (preedit shown at the caret, the commit inserted once, the cursor rectangle and the
// surrounding text reported), the system clipboard with CP932 at its edge, and the opening of
// web and mail addresses (http, https and mailto only).
#include <QTimer>
#include <memory>

#include "Editors.h"
#include "QtPaperControls.h"

namespace kaede {

// The system clipboard, converting between CP932 and Unicode at this edge.
class TQtClipboard : public IClipboard {
public:
  bool SetText(const std::string& sjis) override;
  bool GetText(std::string& sjis, bool& hasText) override;
};

// Opens an address with the desktop's handler when it is http, https or mailto; false else.
bool OpenAddress(const std::string& url);

class TQtEditor : public TQtPaperControl {
public:
  explicit TQtEditor(std::unique_ptr<TEditor> editor = nullptr, QWidget* parent = nullptr);
  ~TQtEditor() override;

  TEditor& Editor() const { return static_cast<TEditor&>(Control()); }
  TEditorView& EditorView() const { return Editor().EditorView(); }
  bool Blinking() const { return FBlink.isActive(); }

  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

private:
  void UpdateInputState();
  void CaretPlaced();

  QTimer FBlink;
  TQtClipboard FClipboard;
};

}  // namespace kaede
