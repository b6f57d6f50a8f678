#include "QtText.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>

#include "Cp932.h"

namespace kaede {

QString ToQ(const std::string& sjis) {
  std::u16string u = SjisToUtf16(sjis, TConvMode::Replace);
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

std::string FromQ(const QString& text) {
  return Utf16ToSjis(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())),
                     TConvMode::Replace);
}

std::string FromQStrict(const QString& text) {
  return Utf16ToSjis(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())),
                     TConvMode::Strict);
}

namespace {
// The installed family that a common Windows Japanese face maps to; empty for other names.
QString MappedFace(const QString& face) {
  QString key = face;
  key.remove(u' ').remove(u'\u3000');
  key = key.normalized(QString::NormalizationForm_KC).toLower();  // "ＭＳ" -> "ms"
  struct TMap {
    const char16_t* from;
    const char* to;
  };
  static const TMap kMap[] = {
      {u"msゴシック", "IPAGothic"},     {u"msgothic", "IPAGothic"},        {u"mspゴシック", "IPAPGothic"},
      {u"mspgothic", "IPAPGothic"},     {u"msuigothic", "IPAPGothic"},     {u"ms明朝", "IPAMincho"},
      {u"msmincho", "IPAMincho"},       {u"msp明朝", "IPAPMincho"},        {u"mspmincho", "IPAPMincho"},
      {u"メイリオ", "IPAPGothic"},      {u"meiryo", "IPAPGothic"},         {u"游ゴシック", "IPAPGothic"},
      {u"yugothic", "IPAPGothic"},      {u"游明朝", "IPAPMincho"},         {u"yumincho", "IPAPMincho"},
  };
  for (const TMap& m : kMap)
    if (key == QString::fromUtf16(m.from)) return QString::fromLatin1(m.to);
  return QString();
}

QString PlainFace(const std::string& sjisFace) {
  QString face = ToQ(sjisFace).trimmed();
  if (face.startsWith(u'@')) face.remove(0, 1);
  return face;
}
}  // namespace

QString ResolveFaceName(const std::string& sjisFace) {
  QString face = PlainFace(sjisFace);
  QString mapped = MappedFace(face);
  if (!mapped.isEmpty()) return mapped;
  if (!face.isEmpty() && QFontDatabase::hasFamily(face)) return face;
  QString key = face.normalized(QString::NormalizationForm_KC).toLower();
  if (key.contains(u"明朝") || key.contains(u"mincho") || key.contains(u"serif")) return QStringLiteral("IPAPMincho");
  return QStringLiteral("IPAPGothic");
}

bool FaceAvailable(const std::string& sjisFace) {
  QString face = PlainFace(sjisFace);
  return !face.isEmpty() && (!MappedFace(face).isEmpty() || QFontDatabase::hasFamily(face));
}

QFont MakeFont(const std::string& sjisFace, double points, bool bold, bool italic) {
  QFont f(ResolveFaceName(sjisFace));
  f.setPointSizeF(points > 0 ? points : 9);
  f.setBold(bold);
  f.setItalic(italic);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

QColor ToQColor(int32_t bgr) {
  uint32_t v = static_cast<uint32_t>(bgr);
  if ((v & 0xFF000000u) == 0xFF000000u) {
    // the system colours this program uses, by their palette roles
    QPalette p = QGuiApplication::palette();
    switch (v & 0xFF) {
      case 4: return p.color(QPalette::Window);        // menu
      case 5: return p.color(QPalette::Base);          // window
      case 8: return p.color(QPalette::Text);          // window text
      case 12: return p.color(QPalette::Mid);          // application workspace (around the paper)
      case 13: return p.color(QPalette::Highlight);
      case 14: return p.color(QPalette::HighlightedText);
      case 15: return p.color(QPalette::Button);       // button face
      case 16: return p.color(QPalette::Dark);         // button shadow
      case 17: return p.color(QPalette::PlaceholderText);  // gray text
      case 18: return p.color(QPalette::ButtonText);
      case 20: return p.color(QPalette::Light);        // button highlight
      case 24: return p.color(QPalette::ToolTipBase);  // tooltip background
      default: return p.color(QPalette::Window);
    }
  }
  if (v == 0x1FFFFFFFu) return QColor(Qt::transparent);
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

// ---- One-line edits ------------------------------------------------------------------------

QString OneLine(const QString& text, int* pos) {
  auto isBreak = [](QChar c) {
    return c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
  };
  bool plain = true;
  for (QChar c : text)
    if (isBreak(c) || c.isNull()) plain = false;
  if (plain) return text;
  QString out;
  out.reserve(text.size());
  const qsizetype n = text.size();
  qsizetype newPos = 0;
  for (qsizetype i = 0; i < n;) {
    if (pos && i <= *pos) newPos = out.size();  // a position before a character stays before it
    QChar c = text[i];
    qsizetype len = c == u'\r' && i + 1 < n && text[i + 1] == u'\n' ? 2 : 1;
    if (isBreak(c)) out += u' ';
    else if (!c.isNull()) out += c;
    if (pos && i < *pos && *pos < i + len) newPos = out.size();  // between CR and LF: after the space
    i += len;
  }
  if (pos) *pos = static_cast<int>(*pos >= n ? out.size() : newPos);
  return out;
}

namespace {
class TOneLineValidator : public QValidator {
public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override {
    input = OneLine(input, &pos);
    return Acceptable;
  }
  void fixup(QString& input) const override { input = OneLine(input); }
};
}  // namespace

QValidator* OneLineValidator(QObject* parent) { return new TOneLineValidator(parent); }

}  // namespace kaede
