#pragma once
// Conversions between the core's CP932 text and Qt, and the mapping of the Windows face names
// stored in styles and settings to the fonts installed here.
#include <QColor>
#include <QFont>
#include <QString>
#include <QValidator>
#include <cstdint>
#include <string>

namespace kaede {

// CP932 to Qt; bytes that are not CP932 show as U+FFFD.
QString ToQ(const std::string& sjis);
// Qt to CP932; characters CP932 cannot hold become "〓" (input from widgets is never lost
// silently: callers that must refuse such text use FromQStrict).
std::string FromQ(const QString& text);
// Raises EEncodingError for characters CP932 cannot hold.
std::string FromQStrict(const QString& text);

// The installed family that stands in for a stored face name. A leading "@" (the vertical
// form of a face) is dropped; the common Windows Japanese faces map to the IPA fonts
// ("ＭＳ 明朝" to IPAMincho, "ＭＳ Ｐゴシック" to IPAPGothic ...); an installed family is
// used as it is; anything else falls back to a gothic or, for mincho names, a mincho face.
QString ResolveFaceName(const std::string& sjisFace);
// Whether a stored face name (with or without its "@") stands for a font shown as itself: an
// installed family or one of the mapped Windows faces, not the fallback.
bool FaceAvailable(const std::string& sjisFace);
// A font of a stored face name and point size.
QFont MakeFont(const std::string& sjisFace, double points, bool bold = false, bool italic = false);

// A validator for the one-line edits of a field: what is typed, pasted or dropped into the
// edit keeps to one line, its line breaks (CR LF, CR, LF and the Unicode line and paragraph
// separators) turned into spaces and its zero characters left out. A line edit otherwise
// keeps the line breaks of pasted text, and a field holds one line.
QValidator* OneLineValidator(QObject* parent);
// The text with that done, and the position in it of the character at `pos` (when given).
QString OneLine(const QString& text, int* pos = nullptr);

// A colour value 0x00BBGGRR (the stored form) as a Qt colour; system colours (0xFF0000nn)
// take the application palette's nearest role.
QColor ToQColor(int32_t bgr);

}  // namespace kaede
