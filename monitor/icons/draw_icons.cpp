// Draws the picture buttons' icons, connect, disconnect, configure and about,
// each at 32 pixels and at 48 and 64 pixels for screens scaled by 150 % and
// 200 % ("connect-32.png", "connect-48.png", "connect-64.png"), and for
// Windows as one icon file per picture with those sizes and 16 and 24 pixels
// as well ("connect.ico").
//
// Usage: monitor_draw_icons <folder>   (the icons/ folder beside this file)
//
// Every shape is laid out on a 32-unit square and drawn smooth at each size.

#include <QColor>
#include <QDir>
#include <QFile>
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

// A mains plug on its cable before a wall socket: `gap` units from it, its
// body shaded from `light` to `dark` inside an `outline`.
void DrawPlug(QPainter& p, double gap, const QColor& light, const QColor& dark,
              const QColor& outline) {
  // The cable sweeps in from the lower left.
  QPainterPath cable;
  cable.moveTo(1.5, 28);
  cable.cubicTo(5, 28, 4 - gap, 16, 8 - gap, 16);
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
  p.drawRoundedRect(QRectF(15 - gap, 11, 6.5, 2.6), 0.8, 0.8);
  p.drawRoundedRect(QRectF(15 - gap, 19, 6.5, 2.6), 0.8, 0.8);

  // The plug's body.
  p.setPen(QPen(outline, 1));
  p.setBrush(Vertical(8, 24, light, dark));
  p.drawRoundedRect(QRectF(6.5 - gap, 8.5, 9, 16), 3, 3);
  p.setPen(QPen(QColor(255, 255, 255, 110), 1.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(9 - gap, 11), QPointF(9 - gap, 21));
}

// The plug pushed half-way into the socket, in the console's green: a click
// connects.
void DrawConnect(QPainter& p) {
  DrawPlug(p, 0, QColor(120, 210, 120), QColor(30, 120, 50), QColor(20, 70, 30));
}

// The plug pulled away from the socket, in red, with the break marked
// between them: a click disconnects.
void DrawDisconnect(QPainter& p) {
  DrawPlug(p, 5, QColor(250, 130, 120), QColor(170, 30, 30), QColor(100, 20, 20));
  p.setPen(QPen(QColor(200, 30, 30), 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(17.2, 6), QPointF(15.4, 10));
  p.drawLine(QPointF(17.2, 26), QPointF(15.4, 22));
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

QImage Draw(void (*draw)(QPainter&), int size) {
  const double scale = size / kUnits;
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setTransform(QTransform::fromScale(scale, scale));
  draw(painter);
  painter.end();
  return image;
}

void PutLittleEndian(QByteArray& out, quint32 value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A Windows icon file holding `images`: a directory of 16-byte entries, then
// each image as a 32-bit bottom-up bitmap with straight alpha and a 1-bit
// mask (set where the picture is transparent) for systems without alpha.
QByteArray IconFile(const QList<QImage>& images) {
  QByteArray head;
  QByteArray data;
  PutLittleEndian(head, 0, 2);
  PutLittleEndian(head, 1, 2);  // an icon, not a cursor
  PutLittleEndian(head, static_cast<quint32>(images.size()), 2);
  const quint32 first_offset = 6 + 16 * static_cast<quint32>(images.size());
  for (const QImage& picture : images) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    const int mask_stride = ((size + 31) / 32) * 4;
    QByteArray bitmap;
    PutLittleEndian(bitmap, 40, 4);
    PutLittleEndian(bitmap, static_cast<quint32>(size), 4);
    PutLittleEndian(bitmap, static_cast<quint32>(size * 2), 4);  // colours and mask
    PutLittleEndian(bitmap, 1, 2);
    PutLittleEndian(bitmap, 32, 2);
    for (int i = 0; i < 6; ++i) PutLittleEndian(bitmap, 0, 4);
    QByteArray mask(mask_stride * size, '\0');
    for (int y = size - 1; y >= 0; --y) {
      const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
      for (int x = 0; x < size; ++x) {
        PutLittleEndian(bitmap, row[x], 4);  // blue, green, red, alpha
        if (qAlpha(row[x]) == 0) {
          mask[(size - 1 - y) * mask_stride + x / 8] =
              static_cast<char>(mask[(size - 1 - y) * mask_stride + x / 8] | (0x80 >> (x % 8)));
        }
      }
    }
    bitmap += mask;
    head += static_cast<char>(size);
    head += static_cast<char>(size);
    PutLittleEndian(head, 0, 2);
    PutLittleEndian(head, 1, 2);
    PutLittleEndian(head, 32, 2);
    PutLittleEndian(head, static_cast<quint32>(bitmap.size()), 4);
    PutLittleEndian(head, first_offset + static_cast<quint32>(data.size()), 4);
    data += bitmap;
  }
  return head + data;
}

bool Save(const QString& folder, const char* name, void (*draw)(QPainter&)) {
  const QString base = QDir(folder).filePath(QString::fromLatin1(name));
  QList<QImage> icon_sizes;
  for (int size : {16, 24, 32, 48, 64}) {
    const QImage image = Draw(draw, size);
    icon_sizes.append(image);
    if (size < 32) continue;
    const QString file = base + "-" + QString::number(size) + ".png";
    if (!image.save(file, "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      return false;
    }
  }
  QFile ico(base + ".ico");
  if (!ico.open(QIODevice::WriteOnly) || ico.write(IconFile(icon_sizes)) < 0) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(ico.fileName()));
    return false;
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
                  Save(folder, "disconnect", DrawDisconnect) &&
                  Save(folder, "configure", DrawConfigure) && Save(folder, "about", DrawAbout);
  return ok ? 0 : 1;
}
