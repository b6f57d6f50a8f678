#include "QtEditors.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QStyleHints>
#include <QTextCharFormat>
#include <QUrl>

#include "QtCanvas.h"
#include "QtText.h"
#include "Strs.h"

namespace kaede {

bool TQtClipboard::SetText(const std::string& sjis) {
  QClipboard* c = QGuiApplication::clipboard();
  if (!c) return false;
  c->setText(ToQ(sjis));
  return true;
}

bool TQtClipboard::GetText(std::string& sjis, bool& hasText) {
  QClipboard* c = QGuiApplication::clipboard();
  if (!c) return false;
  const QMimeData* data = c->mimeData();
  hasText = data && data->hasText();
  sjis = hasText ? FromQ(c->text()) : std::string();
  return true;
}

bool OpenAddress(const std::string& url) {
  if (!OpenableUrl(url)) return false;
  const QUrl u(ToQ(url), QUrl::TolerantMode);
  const QString scheme = u.scheme().toLower();
  if (!u.isValid() || (scheme != u"http" && scheme != u"https" && scheme != u"mailto")) return false;
  return QDesktopServices::openUrl(u);
}

TQtEditor::TQtEditor(std::unique_ptr<TEditor> editor, QWidget* parent)
    : TQtPaperControl(editor ? std::move(editor) : std::make_unique<TEditor>(), parent) {
  TEditorView& v = EditorView();
  v.Core().SetClipboard(&FClipboard);
  v.OnOpenUrl = [](const std::string& url) { OpenAddress(url); };
  v.OnError = [this](const std::string& message) {
    QMessageBox::warning(this, QGuiApplication::applicationDisplayName(), ToQ(message));
  };
  v.OnCommitComposition = [] { QGuiApplication::inputMethod()->commit(); };
  Editor().OnWindowUpdate = [this] { CaretPlaced(); };
  Editor().OnWindowStyle = [this] { UpdateInputState(); };
  const int flash = QGuiApplication::styleHints()->cursorFlashTime();
  FBlink.setInterval(flash > 0 ? flash / 2 : 0);
  connect(&FBlink, &QTimer::timeout, this, [this] { EditorView().SetCaretPhase(!EditorView().CaretPhase()); });
  UpdateInputState();
}

TQtEditor::~TQtEditor() {
  FBlink.stop();
  Editor().OnWindowUpdate = nullptr;
  Editor().OnWindowStyle = nullptr;
  EditorView().Core().SetClipboard(nullptr);
  EditorView().OnOpenUrl = nullptr;
  EditorView().OnError = nullptr;
  EditorView().OnCommitComposition = nullptr;
}

void TQtEditor::UpdateInputState() {
  const bool editable = !EditorView().Core().ReadOnly();
  setAttribute(Qt::WA_InputMethodEnabled, editable);
  // a request to keep the input method off is passed on as a hint for Latin input
  Qt::InputMethodHints hints = Qt::ImhMultiLine;
  if (Editor().EditorStyle().Editor().ImeControl == TEditor::imClose) hints |= Qt::ImhPreferLatin;
  setInputMethodHints(hints);
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
}

void TQtEditor::CaretPlaced() {
  // the candidate window follows the caret; the caret shows at once after a move
  if (FBlink.isActive()) FBlink.start();
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImQueryInput);
}

bool TQtEditor::event(QEvent* e) {
  if (e->type() == QEvent::ShortcutOverride) {
    // a typed character goes into the text, whatever shortcut it might also be
    auto* k = static_cast<QKeyEvent*>(e);
    if (!EditorView().Core().ReadOnly() && !k->text().isEmpty() && k->text().at(0).isPrint() &&
        !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      e->accept();
      return true;
    }
  }
  return TQtPaperControl::event(e);
}

void TQtEditor::keyPressEvent(QKeyEvent* e) {
  // a key that reaches the text ends a composition the input method left standing
  const int k = e->key();
  if (k != Qt::Key_Shift && k != Qt::Key_Control && k != Qt::Key_Alt && k != Qt::Key_Meta) EditorView().SetPreedit(std::string());
  const int32_t key = QtKeyToKeyCode(e->key());
  if (key != 0 && Control().KeyDown(key, QtShiftState(e->modifiers()), e->isAutoRepeat())) {
    e->accept();
    return;
  }
  // typed characters (not with Ctrl or Alt, which are commands or the menu's)
  const QString text = e->text();
  if (!text.isEmpty() && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    TEditorCore& core = EditorView().Core();
    const std::string s = FromQ(text);
    if (s.size() == 1) core.KeyChar(s[0]);
    else core.TypeText(s);
    e->accept();
    return;
  }
  QWidget::keyPressEvent(e);
}

void TQtEditor::inputMethodEvent(QInputMethodEvent* e) {
  TEditorView& v = EditorView();
  if (v.Core().ReadOnly()) {
    v.SetPreedit(std::string());
    e->accept();
    return;
  }
  // the composition so far leaves the text first: what follows acts on the document alone
  v.SetPreedit(std::string());
  // text around the caret that the input method takes back (reconversion, corrections):
  // its range is counted in UTF-16 units from the caret in the caret's line
  if (e->replacementLength() > 0) {
    TEditorCore& core = v.Core();
    const TEditList& lines = core.Lines();
    const TPoint at = lines.ToLogical(core.Caret());
    const QString line = ToQ(lines[at.Y]);
    const qsizetype caret = ToQ(lines[at.Y].substr(0, static_cast<size_t>(at.X - 1))).size();
    const qsizetype from = std::clamp<qsizetype>(caret + e->replacementStart(), 0, line.size());
    const qsizetype to = std::clamp<qsizetype>(from + e->replacementLength(), from, line.size());
    auto byteAt = [&](qsizetype units) { return static_cast<int32_t>(FromQ(line.left(units)).size()) + 1; };
    core.Select(lines.ToDisplay(byteAt(from), at.Y), lines.ToDisplay(byteAt(to), at.Y));
    if (e->commitString().isEmpty()) core.DeleteSelection();
  }
  // the result goes in once, as typed text; nothing that follows is swallowed
  if (!e->commitString().isEmpty()) v.Core().TypeText(FromQ(e->commitString()));
  // the new composition with its segments (the focused phrase has a background or a colour
  // of its own) and its cursor; offsets are UTF-16 units of the preedit, turned into bytes
  const QString preedit = e->preeditString();
  auto bytes = [&preedit](int units) {
    return static_cast<int32_t>(FromQ(preedit.left(std::clamp(units, 0, static_cast<int>(preedit.size())))).size());
  };
  std::vector<TEditorView::TPreeditSegment> segments;
  int32_t cursor = -1;
  for (const QInputMethodEvent::Attribute& a : e->attributes()) {
    if (a.type == QInputMethodEvent::Cursor && a.length != 0) cursor = bytes(a.start);
    if (a.type != QInputMethodEvent::TextFormat) continue;
    const QTextCharFormat f = qvariant_cast<QTextFormat>(a.value).toCharFormat();
    const bool focused = f.background().style() != Qt::NoBrush || f.foreground().style() != Qt::NoBrush;
    const int32_t from = bytes(a.start);
    segments.push_back({from, bytes(a.start + a.length) - from, focused});
  }
  v.SetPreedit(FromQ(preedit), segments, cursor);
  QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
  e->accept();
}

QVariant TQtEditor::inputMethodQuery(Qt::InputMethodQuery query) const {
  TEditorView& v = EditorView();
  const TEditorCore& core = v.Core();
  const TEditList& lines = core.Lines();
  const TPoint at = lines.ToLogical(core.Caret());
  const std::string line = v.CommittedLine(at.Y);  // without the composition standing in it
  auto utf16Pos = [&](int32_t byte) {
    return static_cast<int>(ToQ(line.substr(0, static_cast<size_t>(std::clamp<int32_t>(byte - 1, 0, static_cast<int32_t>(line.size()))))).size());
  };
  switch (query) {
    case Qt::ImEnabled: return !core.ReadOnly();
    case Qt::ImHints: return static_cast<int>(inputMethodHints());
    case Qt::ImCursorRectangle: {
      TRect r = v.InputRect();
      if (IsEmptyRect(r)) r = TRect{0, 0, 1, 1};
      const QPoint o = ViewWidget()->geometry().topLeft();
      return QRect(r.Left + o.x(), r.Top + o.y(), r.Right - r.Left, r.Bottom - r.Top);
    }
    case Qt::ImFont: {
      const TViewInfo* normal = v.EditorStyle().ViewInfo(TEditorStyle::viNormal);
      return QtMetrics(normal->Font().Name, normal->Font().Style).FontAt(v.Geometry().FontHeight);
    }
    case Qt::ImSurroundingText: return ToQ(line);
    case Qt::ImCursorPosition: return utf16Pos(at.X);
    case Qt::ImAnchorPosition: {
      if (!core.HasSelection() || core.Selection().Box) return utf16Pos(at.X);
      const TPoint anchor = lines.ToLogical(core.Selection().Anchor);
      return anchor.Y == at.Y ? utf16Pos(anchor.X) : utf16Pos(at.X);
    }
    case Qt::ImCurrentSelection: {
      if (!core.HasSelection()) return QString();
      const T2Caret s = core.SelectionRange();
      return ToQ(lines.GetRangeText(s.Start, s.End, core.Selection().Box));
    }
    case Qt::ImTextBeforeCursor: return ToQ(line.substr(0, static_cast<size_t>(std::clamp<int32_t>(at.X - 1, 0, static_cast<int32_t>(line.size())))));
    case Qt::ImTextAfterCursor:
      return ToQ(line.substr(static_cast<size_t>(std::clamp<int32_t>(at.X - 1, 0, static_cast<int32_t>(line.size())))));
    default: return TQtPaperControl::inputMethodQuery(query);
  }
}

void TQtEditor::focusInEvent(QFocusEvent* e) {
  Editor().FocusGained();
  UpdateInputState();
  if (FBlink.interval() > 0) FBlink.start();
  TQtPaperControl::focusInEvent(e);
}

void TQtEditor::focusOutEvent(QFocusEvent* e) {
  FBlink.stop();
  EditorView().SetPreedit(std::string());
  Editor().FocusWent(false);
  TQtPaperControl::focusOutEvent(e);
}

}  // namespace kaede
