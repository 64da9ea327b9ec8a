// Draws the picture buttons' icons, connect, configure and about, each at
// 32 pixels and at 48 and 64 pixels for screens scaled by 150 % and 200 %
// ("connect-32.png", "connect-48.png", "connect-64.png").
//
// Usage: monitor_draw_icons <folder>   (the icons/ folder beside this file)
//
// Every shape is laid out on a 32-unit square and drawn smooth at each size.

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kUnits = 32.0;
constexpr double kPi = 3.14159265358979323846;

QLinearGradient Vertical(double top, double bottom, const QColor& light, const QColor& dark) {
  QLinearGradient g(0, top, 0, bottom);
  g.setColorAt(0, light);
  g.setColorAt(1, dark);
  return g;
}

// A mains plug on its cable, pushed half-way into a wall socket.
void DrawConnect(QPainter& p) {
  // The cable sweeps in from the lower left.
  QPainterPath cable;
  cable.moveTo(1.5, 28);
  cable.cubicTo(5, 28, 4, 16, 8, 16);
  p.setPen(QPen(QColor(40, 40, 48), 3.2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(cable);

  // The socket: a raised square plate with two dark slots.
  p.setPen(QPen(QColor(90, 96, 110), 1));
  p.setBrush(Vertical(6, 26, QColor(246, 246, 240), QColor(196, 198, 204)));
  p.drawRoundedRect(QRectF(19.5, 5.5, 11, 21), 2.5, 2.5);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(50, 52, 60));
  p.drawRoundedRect(QRectF(22, 11, 6, 2.6), 1, 1);
  p.drawRoundedRect(QRectF(22, 19, 6, 2.6), 1, 1);

  // The prongs reach towards the slots.
  p.setBrush(Vertical(11, 22, QColor(250, 226, 140), QColor(190, 140, 40)));
  p.setPen(QPen(QColor(140, 100, 30), 0.6));
  p.drawRoundedRect(QRectF(15, 11, 6.5, 2.6), 0.8, 0.8);
  p.drawRoundedRect(QRectF(15, 19, 6.5, 2.6), 0.8, 0.8);

  // The plug's body, in the console's green.
  p.setPen(QPen(QColor(20, 70, 30), 1));
  p.setBrush(Vertical(8, 24, QColor(120, 210, 120), QColor(30, 120, 50)));
  p.drawRoundedRect(QRectF(6.5, 8.5, 9, 16), 3, 3);
  p.setPen(QPen(QColor(255, 255, 255, 110), 1.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(9, 11), QPointF(9, 21));
}

// A steel cog wheel.
void DrawConfigure(QPainter& p) {
  const QPointF centre(16, 16);
  constexpr int kTeeth = 8;
  constexpr double kOuter = 14.5;
  constexpr double kRoot = 10.5;
  QPainterPath cog;
  for (int i = 0; i < kTeeth; ++i) {
    // Each tooth takes a little less than half of its step, with slanted flanks.
    const double step = 2 * kPi / kTeeth;
    const double a = i * step;
    const double corners[4][2] = {{a - step * 0.30, kRoot},
                                  {a - step * 0.18, kOuter},
                                  {a + step * 0.18, kOuter},
                                  {a + step * 0.30, kRoot}};
    for (int k = 0; k < 4; ++k) {
      const QPointF point(centre.x() + corners[k][1] * std::cos(corners[k][0]),
                          centre.y() + corners[k][1] * std::sin(corners[k][0]));
      if (i == 0 && k == 0) {
        cog.moveTo(point);
      } else {
        cog.lineTo(point);
      }
    }
  }
  cog.closeSubpath();
  cog.addEllipse(centre, 4.2, 4.2);
  cog.setFillRule(Qt::OddEvenFill);

  QRadialGradient steel(QPointF(12, 10), 20);
  steel.setColorAt(0, QColor(236, 240, 246));
  steel.setColorAt(0.6, QColor(150, 162, 180));
  steel.setColorAt(1, QColor(86, 98, 118));
  p.setPen(QPen(QColor(52, 60, 76), 1));
  p.setBrush(steel);
  p.drawPath(cog);
  // A groove round the hub gives the wheel some depth.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(70, 80, 98, 160), 1));
  p.drawEllipse(centre, 7, 7);
}

// A blue disc with a white "i", drawn as shapes so no font is needed.
void DrawAbout(QPainter& p) {
  QRadialGradient blue(QPointF(12, 9), 22);
  blue.setColorAt(0, QColor(130, 190, 255));
  blue.setColorAt(1, QColor(20, 80, 170));
  p.setPen(QPen(QColor(16, 56, 120), 1));
  p.setBrush(blue);
  p.drawEllipse(QPointF(16, 16), 14, 14);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(16, 9.5), 2.4, 2.4);
  p.drawRoundedRect(QRectF(13.8, 13.5, 4.4, 11.5), 1.2, 1.2);
}

bool Save(const QString& folder, const char* name, void (*draw)(QPainter&)) {
  for (int size : {32, 48, 64}) {
    const double scale = size / kUnits;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(QTransform::fromScale(scale, scale));
    draw(painter);
    painter.end();
    const QString file =
        QDir(folder).filePath(QString::fromLatin1(name) + "-" + QString::number(size) + ".png");
    if (!image.save(file, "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: monitor_draw_icons <icons folder>\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const bool ok = Save(folder, "connect", DrawConnect) &&
                  Save(folder, "configure", DrawConfigure) && Save(folder, "about", DrawAbout);
  return ok ? 0 : 1;
}
