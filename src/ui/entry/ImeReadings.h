#pragma once
// The reading of a name as the user typed it through the input method.
//
// Qt hands over no reading of a finished composition, only the composition text (preedit)
// while it is being typed and the committed text at the end. A Japanese input method shows
// the kana as typed before the user converts them, so the last preedit that is all kana is
// the reading of what is committed next. TReadingTracker keeps it; TReadingFollower appends
// the readings of a name field's compositions to its reading field.
#include <QObject>
#include <string>

class QLineEdit;

namespace kaede {

// True when the text is not empty and every character is hiragana, katakana (full or half
// width), the prolonged sound mark or a voicing mark.
bool IsKanaText(const std::string& text);
// A reading as the book stores it: full width, then hiragana.
std::string ToReading(const std::string& kana);

class TReadingTracker {
public:
  // The composition text changed (empty: the composition was cleared or finished).
  void Preedit(const std::string& text);
  // Text was committed. Its reading is the last all-kana composition text since the previous
  // commit; a commit without one (direct input, a pasted candidate) has no reading.
  void Commit(const std::string& text);
  // The reading of the latest commit, once: a later call before the next commit gives "".
  std::string TakeReading();
  // Forgets everything (a new entry, a new showing of a dialog).
  void Reset();

private:
  std::string FLastKana;
  std::string FReading;
  bool FFresh = false;
};

// What a name field's change does to its reading field.
class TReadingFollower {
public:
  // The name changed to name; reading is what the input method gave for it (may be empty).
  // Returns true with the new reading-field text in yomi when the field must change: an empty
  // name empties it; a reading that differs from the last one taken is appended. A field that
  // shows only the placeholder for an empty reading is replaced, not appended to.
  bool NameChanged(const std::string& name, const std::string& reading, const std::string& yomiText,
                   const std::string& placeholder, std::string& yomi);
  const std::string& LastReading() const { return FLastReading; }
  void Reset() { FLastReading.clear(); }

private:
  std::string FLastReading;
};

// Watches a line edit's input-method events and feeds a tracker. The events reach the filter
// before the edit handles them, so the reading of a commit is known when the edit reports the
// changed text.
class TImeReadingFilter : public QObject {
  Q_OBJECT
public:
  TImeReadingFilter(QLineEdit* edit, QObject* parent);
  TReadingTracker& Tracker() { return FTracker; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  TReadingTracker FTracker;
};

}  // namespace kaede
