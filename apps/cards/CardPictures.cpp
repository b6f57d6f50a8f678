// Draws the card pictures of the address prints: the stamps shown on screen where a card
// has its printed stamp (5 : 6), the airmail header (4 : 1), the New Year footer with its
// lottery band (8 : 1) and the airmail border (18 : 1). They are shown on screen only, never
// printed. Usage: kaede_card_pictures FOLDER
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>

namespace {

const double kPi = 3.14159265358979;

QImage Blank(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(QColor(0xFE, 0xFC, 0xFA));  // the card's colour
  return image;
}

// A plum blossom of five round petals around a centre.
void Blossom(QPainter& p, QPointF c, double r, QColor petal, QColor heart) {
  p.setPen(Qt::NoPen);
  p.setBrush(petal);
  for (int i = 0; i < 5; ++i) {
    double a = -kPi / 2 + i * 2 * kPi / 5;
    p.drawEllipse(QPointF(c.x() + r * 0.55 * std::cos(a), c.y() + r * 0.55 * std::sin(a)), r * 0.5, r * 0.5);
  }
  p.setBrush(heart);
  p.drawEllipse(c, r * 0.22, r * 0.22);
}

// A postage stamp: a perforated edge, a coloured frame and a motif of the card's kind.
QImage Stamp(int kind) {
  const int w = 250, h = 300;
  QImage image = Blank(w, h);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  struct TLook {
    QColor Ink;
    int Motif;  // 0 circle, 1 blossom, 2 waves, 3 mountain, 4 leaf
  };
  static const TLook looks[] = {{{0xD0, 0x2A, 0x1E}, 0}, {{0xC8, 0x10, 0x2E}, 1}, {{0x1E, 0x7A, 0x4A}, 2},
                                {{0x1E, 0x6A, 0x8A}, 2}, {{0x8A, 0x3A, 0x9A}, 4}, {{0x5A, 0x5A, 0x5A}, 0},
                                {{0x2A, 0x4A, 0xA8}, 3}, {{0x20, 0x50, 0xB0}, 3}};
  const TLook& look = looks[(kind - 1) % 8];
  // the paper of the stamp with its perforations
  p.setPen(QPen(QColor(0x90, 0x90, 0x90), 2));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(8, 8, w - 16, h - 16));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xFE, 0xFC, 0xFA));
  const double hole = 7;
  for (double x = 8 + hole; x < w - 8; x += 3 * hole) {
    p.drawEllipse(QPointF(x, 8), hole, hole);
    p.drawEllipse(QPointF(x, h - 8), hole, hole);
  }
  for (double y = 8 + hole; y < h - 8; y += 3 * hole) {
    p.drawEllipse(QPointF(8, y), hole, hole);
    p.drawEllipse(QPointF(w - 8, y), hole, hole);
  }
  // the printed frame
  const QRectF frame(32, 32, w - 64, h - 64);
  p.setPen(QPen(look.Ink, 6));
  p.setBrush(Qt::NoBrush);
  p.drawRect(frame);
  p.setPen(QPen(look.Ink, 2));
  p.drawRect(frame.adjusted(10, 10, -10, -10));
  // the value panel at the foot
  p.setPen(Qt::NoPen);
  p.setBrush(look.Ink);
  p.drawRect(QRectF(frame.left() + 10, frame.bottom() - 50, frame.width() - 20, 40));
  const QPointF c(w / 2.0, frame.top() + (frame.height() - 50) / 2.0);
  // the motif stays inside the inner frame
  p.setClipRect(QRectF(frame.left() + 12, frame.top() + 12, frame.width() - 24, frame.height() - 74));
  switch (look.Motif) {
    case 1: Blossom(p, c, 60, look.Ink, QColor(0xF2, 0xC0, 0x30)); break;
    case 2: {
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(look.Ink, 5));
      for (int row = 0; row < 3; ++row)
        for (int i = 0; i < 3; ++i) {
          QPointF a(c.x() - 60 + i * 60 + (row % 2) * 30, c.y() - 20 + row * 28);
          for (int k = 1; k <= 3; ++k) p.drawArc(QRectF(a.x() - k * 10, a.y() - k * 10, k * 20, k * 20), 0, 180 * 16);
        }
      break;
    }
    case 3: {
      QPainterPath m;
      m.moveTo(c.x() - 75, c.y() + 45);
      m.lineTo(c.x() - 20, c.y() - 50);
      m.lineTo(c.x() + 5, c.y() - 10);
      m.lineTo(c.x() + 30, c.y() - 35);
      m.lineTo(c.x() + 75, c.y() + 45);
      m.closeSubpath();
      p.drawPath(m);
      break;
    }
    case 4: {
      QPainterPath leaf;
      leaf.moveTo(c.x() - 60, c.y() + 45);
      leaf.cubicTo(c.x() - 60, c.y() - 40, c.x() + 20, c.y() - 60, c.x() + 60, c.y() - 55);
      leaf.cubicTo(c.x() + 55, c.y() + 10, c.x() + 10, c.y() + 50, c.x() - 60, c.y() + 45);
      p.drawPath(leaf);
      break;
    }
    default: p.drawEllipse(c, 55, 55); break;
  }
  return image;
}

// The airmail header: a blue band with a white aeroplane.
QImage AirmailHeader() {
  const int w = 400, h = 100;
  QImage image = Blank(w, h);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1F, 0x3F, 0x9A));
  p.drawRoundedRect(QRectF(4, 8, w - 8, h - 16), 14, 14);
  p.setBrush(Qt::white);
  QPainterPath plane;
  const double x = 60, y = h / 2.0;
  plane.moveTo(x - 40, y);
  plane.lineTo(x + 40, y - 6);
  plane.lineTo(x + 52, y);
  plane.lineTo(x + 40, y + 6);
  plane.closeSubpath();
  plane.moveTo(x, y - 3);
  plane.lineTo(x + 12, y - 32);
  plane.lineTo(x + 22, y - 32);
  plane.lineTo(x + 20, y - 3);
  plane.closeSubpath();
  plane.moveTo(x, y + 3);
  plane.lineTo(x + 12, y + 32);
  plane.lineTo(x + 22, y + 32);
  plane.lineTo(x + 20, y + 3);
  plane.closeSubpath();
  p.drawPath(plane);
  for (int i = 0; i < 5; ++i) p.drawRect(QRectF(130 + i * 52, y - 4, 36, 8));
  return image;
}

// The New Year footer: the lottery band between waves and plum blossoms.
QImage NewYearFooter() {
  const int w = 720, h = 90;
  QImage image = Blank(w, h);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor red(0xC8, 0x10, 0x2E), gold(0xD4, 0xA0, 0x20);
  p.setPen(QPen(gold, 3));
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 12; ++i) {
    QPointF a(30 + i * 24, h - 14);
    for (int k = 1; k <= 3; ++k) p.drawArc(QRectF(a.x() - k * 8, a.y() - k * 8, k * 16, k * 16), 0, 180 * 16);
  }
  for (int i = 0; i < 12; ++i) {
    QPointF a(w - 300 + i * 24, h - 14);
    for (int k = 1; k <= 3; ++k) p.drawArc(QRectF(a.x() - k * 8, a.y() - k * 8, k * 16, k * 16), 0, 180 * 16);
  }
  // the lottery band in the middle
  p.setPen(QPen(red, 3));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(w / 2.0 - 90, 12, 180, h - 24), 10, 10);
  for (int i = 0; i < 6; ++i) {
    p.setPen(QPen(QColor(0xB0, 0xB0, 0xB0), 2));
    p.drawRect(QRectF(w / 2.0 - 78 + i * 26, 30, 20, 30));
  }
  Blossom(p, QPointF(40, 30), 26, red, gold);
  Blossom(p, QPointF(w - 40, 30), 26, red, gold);
  return image;
}

// The airmail border: red and blue slanted stripes.
QImage AirmailFooter() {
  const int w = 720, h = 40;
  QImage image = Blank(w, h);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  const QColor colours[] = {QColor(0xC8, 0x20, 0x2A), QColor(0xFE, 0xFC, 0xFA), QColor(0x1F, 0x3F, 0x9A),
                            QColor(0xFE, 0xFC, 0xFA)};
  for (int i = -2; i * 18 < w + h; ++i) {
    p.setBrush(colours[(i + 8) % 4]);
    QPolygonF stripe;
    stripe << QPointF(i * 18, h) << QPointF(i * 18 + h, 0) << QPointF(i * 18 + h + 18, 0) << QPointF(i * 18 + 18, h);
    p.drawPolygon(stripe);
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kaede_card_pictures FOLDER\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!dir.mkpath(".")) {
    std::fprintf(stderr, "kaede_card_pictures: cannot make %s\n", argv[1]);
    return 1;
  }
  bool ok = true;
  for (int kind = 1; kind <= 8; ++kind) ok = ok && Stamp(kind).save(dir.filePath(QString("Stamp%1.bmp").arg(kind)), "BMP");
  ok = ok && AirmailHeader().save(dir.filePath("HeaderImage1.bmp"), "BMP");
  ok = ok && NewYearFooter().save(dir.filePath("FooterImage1.bmp"), "BMP");
  ok = ok && AirmailFooter().save(dir.filePath("FooterImage2.bmp"), "BMP");
  if (!ok) std::fprintf(stderr, "kaede_card_pictures: cannot write the pictures into %s\n", argv[1]);
  return ok ? 0 : 1;
}
