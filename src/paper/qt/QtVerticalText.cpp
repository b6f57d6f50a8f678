#include "QtVerticalText.h"

#include <hb-ot.h>
#include <hb.h>
#include <unicode/uchar.h>

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "Cp932.h"
#include "Strs.h"

namespace kaede {

namespace {

// Glyph tables are read at this pixel size; every measure is kept as a fraction of the em.
constexpr int kReferencePx = 64;

struct TFace;

// How one character is set, in fractions of the em, independent of the size drawn.
struct TGlyphInfo {
  TFace* Face = nullptr;  // the face that draws it (the font's own, or a fallback)
  uint32_t Glyph = 0;     // 0: no glyph anywhere (nothing is drawn)
  bool Rotated = false;
  bool VerticalForm = false;
  // Upright: from the pen (centre line of the column, top of the character's cell) to the
  // glyph's baseline origin, x right and y down. Rotated: from the pen (along the column,
  // across from the right edge of the column) to the origin in the turned frame.
  double Dx = 0, Dy = 0;
  double Advance = 1;  // along the column
};

// One face as HarfBuzz and Qt both see it: the tables come from the toolkit's raw font, so
// the glyph indexes HarfBuzz gives are those QGlyphRun draws.
struct TFace {
  QRawFont Raw;  // at kReferencePx
  hb_face_t* HbFace = nullptr;
  hb_font_t* HbFont = nullptr;
  double Upem = 1000;
  double Baseline = 0.88;  // of a turned glyph: from the column's right edge, centring its em box
  std::unordered_map<uint32_t, TGlyphInfo> Glyphs;  // key: code | 0x80000000 for single-byte
  std::map<int, QRawFont> Sized;

  const QRawFont& AtSize(int px) {
    auto it = Sized.find(px);
    if (it != Sized.end()) return it->second;
    if (Sized.size() > 16) Sized.clear();
    QRawFont r = Raw;
    r.setPixelSize(px);
    return Sized.emplace(px, r).first->second;
  }
};

hb_blob_t* ReferenceTable(hb_face_t* /*face*/, hb_tag_t tag, void* user) {
  if (tag == 0) return hb_blob_get_empty();
  auto* raw = static_cast<QRawFont*>(user);
  const char name[4] = {static_cast<char>(tag >> 24), static_cast<char>(tag >> 16), static_cast<char>(tag >> 8),
                        static_cast<char>(tag)};
  auto* data = new QByteArray(raw->fontTable(name));
  if (data->isEmpty()) {
    delete data;
    return hb_blob_get_empty();
  }
  return hb_blob_create(data->constData(), static_cast<unsigned>(data->size()), HB_MEMORY_MODE_READONLY, data,
                        [](void* p) { delete static_cast<QByteArray*>(p); });
}

// The faces met so far. They live for the whole run of the program (fonts do not go away
// while it runs), so the map is never freed.
class TFaceCache {
public:
  std::mutex Lock;

  // The face of a raw font (found by family and style).
  TFace* FaceOf(const QRawFont& raw) {
    QString key = raw.familyName() + u'\x1f' + raw.styleName() + u'\x1f' + QString::number(raw.weight()) + u'\x1f' +
                  QString::number(static_cast<int>(raw.style()));
    auto it = FFaces.find(key);
    if (it != FFaces.end()) return it->second.get();
    auto face = std::make_unique<TFace>();
    face->Raw = raw;
    face->Raw.setPixelSize(kReferencePx);
    face->HbFace = hb_face_create_for_tables(ReferenceTable, &face->Raw, nullptr);
    face->Upem = std::max(1u, hb_face_get_upem(face->HbFace));
    face->HbFont = hb_font_create(face->HbFace);
    hb_font_set_scale(face->HbFont, static_cast<int>(face->Upem), static_cast<int>(face->Upem));
    double asc = face->Raw.ascent() / kReferencePx, desc = face->Raw.descent() / kReferencePx;
    if (asc > 0 && asc + desc > 0) face->Baseline = (1 - (asc + desc)) / 2 + asc;
    TFace* p = face.get();
    FFaces.emplace(key, std::move(face));
    return p;
  }

  // The face that a QFont stands for.
  TFace* FaceOf(const QFont& font) {
    QFont f = font;
    f.setPixelSize(kReferencePx);
    f.setUnderline(false);
    f.setStrikeOut(false);
    QString key = f.key();
    auto it = FFontFaces.find(key);
    if (it != FFontFaces.end()) return it->second;
    TFace* face = FaceOf(QRawFont::fromFont(f));
    FFontFaces.emplace(key, face);
    return face;
  }

  // A face that has the character, for a font that lacks it: the toolkit's own fallback,
  // then the CJK faces the program installs; none when no face has it.
  TFace* FallbackOf(const QFont& font, uint32_t code) {
    QFont f = font;
    f.setPixelSize(kReferencePx);
    QString text = QString(QChar(static_cast<char16_t>(code)));
    QTextLayout layout(text, f);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun& run : layout.glyphRuns()) {
      QRawFont raw = run.rawFont();
      if (raw.isValid() && raw.supportsCharacter(code)) return FaceOf(raw);
    }
    static const char* const kFamilies[] = {"Noto Sans CJK JP", "Noto Serif CJK JP", "IPAGothic", "IPAMincho",
                                            "DejaVu Sans"};
    for (const char* family : kFamilies) {
      f.setFamily(QString::fromLatin1(family));
      QRawFont raw = QRawFont::fromFont(f);
      if (raw.isValid() && raw.supportsCharacter(code)) return FaceOf(raw);
    }
    return nullptr;
  }

private:
  std::unordered_map<QString, std::unique_ptr<TFace>> FFaces;
  std::unordered_map<QString, TFace*> FFontFaces;
};

TFaceCache& Faces() {
  static auto* cache = new TFaceCache();
  return *cache;
}

// Whether a full-width character the face has no vertical form for is turned: the characters
// that vertical text turns by their Unicode vertical orientation (brackets, the long vowel
// mark, the wave dash, colons), and among those it lists as turned with other sideways
// scripts, the ones that only read right when turned — dashes, ellipses, box-drawing lines,
// arrows and the equals sign — while Greek, Cyrillic and mathematical signs stand upright
// like the other full-width characters.
bool TurnedInVerticalText(uint32_t code) {
  int vo = u_getIntPropertyValue(static_cast<UChar32>(code), UCHAR_VERTICAL_ORIENTATION);
  if (vo == U_VO_TRANSFORMED_ROTATED) return true;
  if (vo != U_VO_ROTATED) return false;
  return (code >= 0x2010 && code <= 0x2015) || code == 0x2025 || code == 0x2026 ||
         (code >= 0x2190 && code <= 0x21FF) || (code >= 0x2500 && code <= 0x257F) || code == 0xFF1D;
}

// The setting of one character in a face that has it.
TGlyphInfo SetIn(TFace* face, uint32_t code, bool singleByte) {
  TGlyphInfo g;
  g.Face = face;
  hb_codepoint_t nominal = 0;
  hb_font_get_nominal_glyph(face->HbFont, code, &nominal);
  const double upem = face->Upem;
  auto turned = [&] {
    g.Glyph = nominal;
    g.Rotated = true;
    g.Advance = hb_font_get_glyph_h_advance(face->HbFont, nominal) / upem;
    g.Dx = 0;
    g.Dy = face->Baseline;
  };
  if (singleByte) {
    turned();
    return g;
  }
  hb_buffer_t* buf = hb_buffer_create();
  hb_buffer_add_codepoints(buf, &code, 1, 0, 1);
  hb_buffer_set_direction(buf, HB_DIRECTION_TTB);
  hb_buffer_set_script(buf, HB_SCRIPT_HAN);
  hb_buffer_set_language(buf, hb_language_from_string("ja", -1));
  hb_shape(face->HbFont, buf, nullptr, 0);
  unsigned n = 0;
  hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buf, &n);
  hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buf, &n);
  if (n == 1 && info[0].codepoint != 0) {
    g.VerticalForm = info[0].codepoint != nominal;
    if (!g.VerticalForm && TurnedInVerticalText(code)) {
      turned();
    } else {
      g.Glyph = info[0].codepoint;
      g.Advance = std::abs(pos[0].y_advance) / upem;
      g.Dx = pos[0].x_offset / upem;
      g.Dy = -pos[0].y_offset / upem;
      if (g.Advance <= 0) g.Advance = 1;
    }
  } else {
    g.Glyph = nominal;
    g.Dx = -hb_font_get_glyph_h_advance(face->HbFont, nominal) / upem / 2;
    g.Dy = face->Baseline;
  }
  hb_buffer_destroy(buf);
  return g;
}

// The setting of a character in a font (cached per face and character).
const TGlyphInfo& Lookup(TFace* face, const QFont& font, uint32_t code, bool singleByte) {
  uint32_t key = code | (singleByte ? 0x80000000u : 0u);
  auto it = face->Glyphs.find(key);
  if (it != face->Glyphs.end()) return it->second;
  TGlyphInfo g;
  if (code < 0x20 || code == 0x7F) {
    g.Face = face;  // control characters (tab) show nothing
    g.Advance = 0.5;
  } else {
    TFace* owner = face;
    if (!face->Raw.supportsCharacter(code)) owner = Faces().FallbackOf(font, code);
    if (owner) {
      g = SetIn(owner, code, singleByte);
      g.Face = owner;
    } else {
      g.Face = face;
      g.Advance = singleByte ? 0.5 : 1;
    }
  }
  return face->Glyphs.emplace(key, g).first->second;
}

// One character of a run: its first byte and how it is set.
struct TChar {
  size_t Byte;
  const TGlyphInfo* Info;
};

int EmOf(const QFont& font, const QPaintDevice* device) {
  if (font.pixelSize() > 0) return font.pixelSize();
  int dpi = device ? device->logicalDpiY() : 96;
  return std::max(1, static_cast<int>(std::lround(font.pointSizeF() * dpi / 72.0)));
}

// The characters of a CP932 text and their settings. Bytes that are no CP932 character show
// as U+FFFD.
void Characters(TFace* face, const QFont& font, std::string_view sjis, std::vector<TChar>& out) {
  out.clear();
  out.reserve(sjis.size());
  for (size_t i = 0; i < sjis.size();) {
    size_t n = CharLenAt(sjis, i);
    auto lead = static_cast<unsigned char>(sjis[i]);
    int32_t code = n == 2 ? Cp932ToUnicode(lead, static_cast<unsigned char>(sjis[i + 1])) : Cp932ToUnicode(lead);
    if (code < 0) code = 0xFFFD;
    out.push_back({i, &Lookup(face, font, static_cast<uint32_t>(code), n == 1)});
    i += n;
  }
}

}  // namespace

void DrawVerticalText(QPainter& painter, const QFont& font, int32_t x, int32_t y, std::string_view sjis,
                      const int32_t* advances) {
  if (sjis.empty()) return;
  const int em = EmOf(font, painter.device());
  QFont sized = font;
  sized.setPixelSize(em);
  std::unique_lock lock(Faces().Lock);
  TFace* face = Faces().FaceOf(sized);
  std::vector<TChar> chars;
  Characters(face, sized, sjis, chars);
  // without advances of the layout, each character's own (as VerticalAdvances gives them)
  std::vector<int32_t> own;
  if (!advances) {
    own.assign(sjis.size(), 0);
    const int ownEm = EmOf(sized, nullptr);
    for (const TChar& c : chars) own[c.Byte] = static_cast<int32_t>(std::lround(c.Info->Advance * ownEm));
    advances = own.data();
  }

  // Runs of characters drawn by one face in one orientation go out as one glyph run.
  const double centre = x - em / 2.0;
  QList<quint32> glyphs;
  QList<QPointF> positions;
  int64_t total = 0;
  size_t k = 0;
  std::vector<double> pos(chars.size());
  {
    int64_t p = 0;
    for (size_t c = 0; c < chars.size(); ++c) {
      pos[c] = static_cast<double>(p);
      size_t end = c + 1 < chars.size() ? chars[c + 1].Byte : sjis.size();
      for (size_t b = chars[c].Byte; b < end; ++b) p += advances[b];
    }
    total = p;
  }
  while (k < chars.size()) {
    const TGlyphInfo& first = *chars[k].Info;
    size_t end = k;
    glyphs.clear();
    positions.clear();
    while (end < chars.size() && chars[end].Info->Face == first.Face && chars[end].Info->Rotated == first.Rotated) {
      const TGlyphInfo& g = *chars[end].Info;
      if (g.Glyph != 0) {
        glyphs.append(g.Glyph);
        if (g.Rotated)
          positions.append(QPointF(pos[end] + g.Dx * em, g.Dy * em));
        else
          positions.append(QPointF(centre + g.Dx * em, y + pos[end] + g.Dy * em));
      }
      ++end;
    }
    if (!glyphs.isEmpty()) {
      QGlyphRun run;
      run.setRawFont(first.Face->AtSize(em));
      run.setGlyphIndexes(glyphs);
      run.setPositions(positions);
      if (first.Rotated) {
        painter.save();
        painter.translate(x, y);
        painter.rotate(90);
        painter.drawGlyphRun(QPointF(0, 0), run);
        painter.restore();
      } else {
        painter.drawGlyphRun(QPointF(0, 0), run);
      }
    }
    k = end;
  }
  lock.unlock();

  if (font.underline() || font.strikeOut()) {
    const double width = std::max(1.0, std::round(em / 16.0));
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(painter.pen().color());
    if (font.underline()) painter.drawRect(QRectF(x - em + width, y, width, static_cast<double>(total)));
    if (font.strikeOut()) painter.drawRect(QRectF(centre - width / 2, y, width, static_cast<double>(total)));
    painter.restore();
  }
}

void VerticalAdvances(const QFont& font, std::string_view sjis, int32_t* out) {
  if (sjis.empty()) return;
  const int em = EmOf(font, nullptr);
  std::lock_guard lock(Faces().Lock);
  TFace* face = Faces().FaceOf(font);
  std::vector<TChar> chars;
  Characters(face, font, sjis, chars);
  for (size_t c = 0; c < chars.size(); ++c) {
    size_t b = chars[c].Byte;
    out[b] = static_cast<int32_t>(std::lround(chars[c].Info->Advance * em));
    if (CharLenAt(sjis, b) == 2) out[b + 1] = 0;
  }
}

std::vector<TVerticalGlyph> VerticalGlyphs(const QFont& font, std::string_view sjis) {
  std::vector<TVerticalGlyph> r;
  const int em = EmOf(font, nullptr);
  std::lock_guard lock(Faces().Lock);
  TFace* face = Faces().FaceOf(font);
  std::vector<TChar> chars;
  Characters(face, font, sjis, chars);
  for (const TChar& c : chars) {
    size_t n = CharLenAt(sjis, c.Byte);
    auto lead = static_cast<unsigned char>(sjis[c.Byte]);
    int32_t code = n == 2 ? Cp932ToUnicode(lead, static_cast<unsigned char>(sjis[c.Byte + 1])) : Cp932ToUnicode(lead);
    TVerticalGlyph g;
    g.Code = static_cast<uint32_t>(code < 0 ? 0xFFFD : code);
    g.Glyph = c.Info->Glyph;
    g.Family = c.Info->Face ? c.Info->Face->Raw.familyName() : QString();
    g.Rotated = c.Info->Rotated;
    g.VerticalForm = c.Info->VerticalForm;
    g.Advance = c.Info->Advance * em;
    r.push_back(g);
  }
  return r;
}

}  // namespace kaede
