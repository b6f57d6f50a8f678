#include "QtVerticalText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <cmath>

#include "QtText.h"
#include "Strs.h"

namespace kaede {

// A first form: every character upright in its cell, half-width characters turned. The
// shaping with the font's vertical glyphs replaces it.
void DrawVerticalText(QPainter& painter, const QFont& font, int32_t x, int32_t y, std::string_view sjis,
                      const int32_t* advances) {
  QFontMetricsF fm(font, painter.device());
  const double em = font.pixelSize() > 0 ? font.pixelSize() : fm.height();
  std::vector<int32_t> own;
  if (!advances) {
    own.resize(sjis.size());
    VerticalAdvances(font, sjis, own.data());
    advances = own.data();
  }
  painter.save();
  painter.setFont(font);
  double pos = y;
  for (size_t i = 0; i < sjis.size();) {
    size_t n = CharLenAt(sjis, i);
    QString ch = ToQ(std::string(sjis.substr(i, n)));
    if (n == 2) {
      double w = fm.horizontalAdvance(ch);
      painter.drawText(QPointF(x - em + (em - w) / 2, pos + fm.ascent() * em / fm.height()), ch);
    } else {
      painter.save();
      painter.translate(x - em, pos);
      painter.rotate(90);
      painter.drawText(QPointF(0, -em + fm.ascent() * em / fm.height() - em * 0.0), ch);
      painter.restore();
    }
    pos += advances[i];
    i += n;
  }
  painter.restore();
}

void VerticalAdvances(const QFont& font, std::string_view sjis, int32_t* out) {
  QFontMetricsF fm(font);
  const int32_t em = font.pixelSize() > 0 ? font.pixelSize() : static_cast<int32_t>(std::lround(fm.height()));
  for (size_t i = 0; i < sjis.size();) {
    size_t n = CharLenAt(sjis, i);
    if (n == 2) {
      out[i] = em;
      out[i + 1] = 0;
    } else {
      out[i] = static_cast<int32_t>(std::lround(fm.horizontalAdvance(ToQ(std::string(sjis.substr(i, 1))))));
    }
    i += n;
  }
}

}  // namespace kaede
