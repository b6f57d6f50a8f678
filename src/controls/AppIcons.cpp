#include "AppIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace kaede {

namespace {

// A seven-pointed maple leaf in a square of side s.
QPainterPath Leaf(double s) {
  QPainterPath p;
  const double cx = s / 2, cy = s * 0.52;
  const int points = 7;
  for (int i = 0; i <= points * 2; ++i) {
    // the leaf opens upwards: its lobes spread over 270 degrees, the stem gap at the bottom
    double a = -M_PI / 2 + (i - points) * (M_PI * 1.5 / (points * 2));
    double r = (i % 2 == 0) ? s * 0.46 : s * 0.2;
    if (i == 0 || i == points * 2) r = s * 0.3;
    QPointF pt(cx + r * std::cos(a), cy + r * std::sin(a));
    if (i == 0) p.moveTo(pt);
    else p.lineTo(pt);
  }
  p.lineTo(cx, cy + s * 0.12);
  p.closeSubpath();
  return p;
}

QIcon Draw(bool postal) {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    double s = size;
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(250, 246, 236));
    g.drawRoundedRect(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88), s * 0.12, s * 0.12);
    g.setBrush(QColor(214, 64, 36));
    g.drawPath(Leaf(s));
    g.setPen(QPen(QColor(120, 40, 20), std::max(1.0, s / 32)));
    g.drawLine(QPointF(s / 2, s * 0.52), QPointF(s / 2, s * 0.9));
    if (postal) {
      // the postal mark 〒 in the lower right corner
      g.setPen(QPen(QColor(200, 20, 20), std::max(1.0, s / 14)));
      double x = s * 0.62, y = s * 0.62, w = s * 0.3;
      g.drawLine(QPointF(x, y), QPointF(x + w, y));
      g.drawLine(QPointF(x, y + w * 0.3), QPointF(x + w, y + w * 0.3));
      g.drawLine(QPointF(x + w / 2, y + w * 0.3), QPointF(x + w / 2, y + w));
    }
    g.end();
    icon.addPixmap(pm);
  }
  return icon;
}

}  // namespace

QIcon AddressBookIcon() { return Draw(false); }
QIcon ZipIcon() { return Draw(true); }

}  // namespace kaede
