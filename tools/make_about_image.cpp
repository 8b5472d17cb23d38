// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the about box's picture (100 x 133): a key cap above a sheet of binding lines,
// on a teal ground. Run by hand when the picture changes; its output is kept in the
// sources as src/ui/images/about.png.
//   make_about_image <output.png>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRadialGradient>
#include <QStringList>

#include <cstdio>

namespace {

constexpr int kWidth = 100;
constexpr int kHeight = 133;

void DrawGround(QPainter& painter) {
  QLinearGradient ground(0, 0, 0, kHeight);
  ground.setColorAt(0.0, QColor(18, 58, 62));
  ground.setColorAt(1.0, QColor(6, 26, 30));
  painter.fillRect(0, 0, kWidth, kHeight, ground);

  // A soft light behind the key.
  QRadialGradient glow(QPointF(50, 36), 44);
  glow.setColorAt(0.0, QColor(64, 170, 160, 150));
  glow.setColorAt(1.0, QColor(64, 170, 160, 0));
  painter.fillRect(0, 0, kWidth, kHeight, glow);
}

void DrawKeyCap(QPainter& painter) {
  // Shadow, skirt, then the dished top face.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 90));
  painter.drawRoundedRect(QRectF(25, 14, 54, 50), 9, 9);

  QLinearGradient skirt(0, 10, 0, 60);
  skirt.setColorAt(0.0, QColor(206, 208, 200));
  skirt.setColorAt(1.0, QColor(120, 124, 118));
  painter.setBrush(skirt);
  painter.setPen(QPen(QColor(40, 44, 42), 1));
  painter.drawRoundedRect(QRectF(22.5, 10.5, 55, 50), 9, 9);

  QLinearGradient face(0, 13, 0, 50);
  face.setColorAt(0.0, QColor(250, 250, 244));
  face.setColorAt(1.0, QColor(214, 216, 206));
  painter.setBrush(face);
  painter.setPen(QPen(QColor(150, 152, 144), 1));
  painter.drawRoundedRect(QRectF(29.5, 13.5, 41, 38), 6, 6);

  QFont letter;
  letter.setFamilies({"DejaVu Sans", "Liberation Sans"});
  letter.setPixelSize(28);
  letter.setBold(true);
  painter.setFont(letter);
  painter.setPen(QColor(36, 40, 38));
  painter.drawText(QRectF(29.5, 12.5, 41, 38), Qt::AlignCenter, QStringLiteral("Q"));
}

void DrawArrow(QPainter& painter) {
  painter.setPen(QPen(QColor(120, 220, 200), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawLine(QPointF(50, 64), QPointF(50, 74));
  painter.drawPolyline(QPolygonF({QPointF(45, 70), QPointF(50, 75), QPointF(55, 70)}));
}

void DrawSheet(QPainter& painter) {
  const QRectF sheet(9.5, 79.5, 81, 46);
  constexpr qreal kFold = 9;

  QPainterPath outline;
  outline.moveTo(sheet.topLeft());
  outline.lineTo(sheet.right() - kFold, sheet.top());
  outline.lineTo(sheet.right(), sheet.top() + kFold);
  outline.lineTo(sheet.bottomRight());
  outline.lineTo(sheet.bottomLeft());
  outline.closeSubpath();

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 90));
  painter.drawPath(outline.translated(2, 2));

  painter.setPen(QPen(QColor(60, 56, 44), 1));
  painter.setBrush(QColor(246, 240, 222));
  painter.drawPath(outline);

  QPainterPath fold;
  fold.moveTo(sheet.right() - kFold, sheet.top());
  fold.lineTo(sheet.right() - kFold, sheet.top() + kFold);
  fold.lineTo(sheet.right(), sheet.top() + kFold);
  fold.closeSubpath();
  painter.setBrush(QColor(214, 204, 176));
  painter.drawPath(fold);

  QFont mono;
  mono.setFamilies({"DejaVu Sans Mono", "Liberation Mono"});
  mono.setPixelSize(8);
  painter.setFont(mono);
  const QStringList lines = {QStringLiteral("bind q \"zoom\""), QStringLiteral("bind e \"+use\""),
                             QStringLiteral("bind f \"wave 1\""),
                             QStringLiteral("bind g \"say gg\"")};
  qreal y = sheet.top() + 5;
  for (const QString& line : lines) {
    const qsizetype space = line.indexOf(u' ', 5);
    painter.setPen(QColor(0, 110, 110));
    painter.drawText(QRectF(sheet.left() + 5, y, 30, 10), Qt::AlignLeft | Qt::AlignTop,
                     line.left(space));
    painter.setPen(QColor(150, 40, 30));
    painter.drawText(
        QRectF(sheet.left() + 5 + painter.fontMetrics().horizontalAdvance(line.left(space + 1)), y,
               60, 10),
        Qt::AlignLeft | Qt::AlignTop, line.mid(space + 1));
    y += 10;
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
    return 2;
  }
  QGuiApplication application(argc, argv);

  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    DrawGround(painter);
    DrawKeyCap(painter);
    DrawArrow(painter);
    DrawSheet(painter);
  }
  if (!image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
