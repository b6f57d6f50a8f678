#include "ImeReadings.h"

#include <QEvent>
#include <QInputMethodEvent>
#include <QLineEdit>

#include "QtText.h"
#include "Strs.h"

namespace kaede {

bool IsKanaText(const std::string& text) {
  if (text.empty()) return false;
  static const std::string kMarks[] = {SJ("ー"), SJ("゛"), SJ("゜"), SJ("ヽ"), SJ("ヾ"), SJ("ゝ"), SJ("ゞ")};
  for (size_t i = 0; i < text.size();) {
    size_t len = CharLenAt(text, i);
    std::string_view ch(text.data() + i, len);
    int kind = CharKind(ch);
    bool mark = false;
    for (const std::string& m : kMarks) mark = mark || ch == m;
    if (!mark && kind != ckHiragana && kind != ckFullKatakana && kind != ckHalfKatakana) return false;
    i += len;
  }
  return true;
}

std::string ToReading(const std::string& kana) { return ConvertStr(ConvertStr(kana, cvZenkaku), cvHiragana); }

void TReadingTracker::Preedit(const std::string& text) {
  if (IsKanaText(text)) FLastKana = text;
}

void TReadingTracker::Commit(const std::string& text) {
  if (text.empty()) return;
  FReading = FLastKana.empty() ? std::string() : ToReading(FLastKana);
  FLastKana.clear();
  FFresh = true;
}

std::string TReadingTracker::TakeReading() {
  if (!FFresh) return std::string();
  FFresh = false;
  return FReading;
}

void TReadingTracker::Reset() {
  FLastKana.clear();
  FReading.clear();
  FFresh = false;
}

bool TReadingFollower::NameChanged(const std::string& name, const std::string& reading, const std::string& yomiText,
                                   const std::string& placeholder, std::string& yomi) {
  if (name.empty()) {
    // a name typed again after clearing the field gets its reading again
    FLastReading.clear();
    yomi.clear();
    return !yomiText.empty();
  }
  if (reading.empty() || reading == FLastReading) return false;
  FLastReading = reading;
  yomi = (!placeholder.empty() && yomiText == placeholder ? std::string() : yomiText) + reading;
  return true;
}

TImeReadingFilter::TImeReadingFilter(QLineEdit* edit, QObject* parent) : QObject(parent) {
  edit->installEventFilter(this);
}

bool TImeReadingFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::InputMethod) {
    auto* e = static_cast<QInputMethodEvent*>(event);
    // A commit may come with the start of the next composition: the reading of the commit is
    // the composition that came before it.
    if (!e->commitString().isEmpty()) FTracker.Commit(FromQ(e->commitString()));
    FTracker.Preedit(FromQ(e->preeditString()));
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace kaede
