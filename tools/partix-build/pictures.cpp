#include "tools/partix-build/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "partix.h"

namespace partix_build {
namespace {

const QColor kWater(70, 150, 230);
const QColor kBody(60, 64, 70);
const QColor kGreen(40, 120, 60);
const QColor kCap(120, 190, 80);

QLinearGradient cylinderShade(const QRectF& r, const QColor& c) {
  QLinearGradient g(r.topLeft(), r.topRight());
  g.setColorAt(0, c.darker(150));
  g.setColorAt(0.35, c.lighter(150));
  g.setColorAt(1, c.darker(170));
  return g;
}

void cylinder(QPainter& p, const QRectF& r, const QColor& c) {
  p.setPen(QPen(c.darker(220), 2));
  p.setBrush(cylinderShade(r, c));
  p.drawRoundedRect(r, 6, 6);
}

void drops(QPainter& p, const QPointF& from, double spread, int n) {
  p.setPen(Qt::NoPen);
  p.setBrush(kWater);
  for (int i = 0; i < n; ++i) {
    double a = -M_PI / 2 + (i - (n - 1) / 2.0) * spread / std::max(1, n - 1);
    QPointF c = from + QPointF(std::cos(a), std::sin(a)) * (30 + 12 * (i % 3));
    p.drawEllipse(c, 4, 6);
  }
}

void sprayArc(QPainter& p, const QPointF& head, double radius, double spanDeg) {
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 3; ++i) {
    p.setPen(QPen(kWater, 3, Qt::DashLine));
    QRectF box(head.x() - radius + i * 18, head.y() - radius + i * 18, 2 * (radius - i * 18), 2 * (radius - i * 18));
    p.drawArc(box, static_cast<int>((90 - spanDeg / 2) * 16), static_cast<int>(spanDeg * 16));
  }
}

void sprinklerBody(QPainter& p, double s, double height, const QColor& cap) {
  QRectF body(s * 0.38, s * (0.78 - height), s * 0.24, s * height);
  cylinder(p, body, kBody);
  p.setPen(QPen(cap.darker(200), 2));
  p.setBrush(cap);
  p.drawEllipse(QRectF(s * 0.36, body.top() - s * 0.05, s * 0.28, s * 0.08));
}

void nozzle(QPainter& p, double s, const QColor& c) {
  QRectF r(s * 0.42, s * 0.52, s * 0.16, s * 0.2);
  cylinder(p, r, c);
  p.setPen(QPen(c.darker(200), 2));
  p.setBrush(c.lighter(130));
  p.drawEllipse(QRectF(s * 0.4, s * 0.48, s * 0.2, s * 0.07));
}

void stripPattern(QPainter& p, double s) {
  p.setPen(QPen(kWater, 2, Qt::DashLine));
  p.setBrush(QColor(70, 150, 230, 60));
  p.drawRect(QRectF(s * 0.12, s * 0.18, s * 0.76, s * 0.26));
}

void sectorPattern(QPainter& p, double s, double spanDeg) {
  p.setPen(QPen(kWater, 2, Qt::DashLine));
  p.setBrush(QColor(70, 150, 230, 60));
  QRectF box(s * 0.14, s * 0.14, s * 0.72, s * 0.72);
  p.drawPie(box, static_cast<int>((90 - spanDeg / 2) * 16), static_cast<int>(spanDeg * 16));
}

void box(QPainter& p, const QRectF& r, const QColor& c, double radius = 10) {
  p.setPen(QPen(c.darker(200), 2));
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, c.lighter(130));
  g.setColorAt(1, c.darker(130));
  p.setBrush(g);
  p.drawRoundedRect(r, radius, radius);
}

void drawKind(QPainter& p, const PictureSubject& sub, double s) {
  switch (sub.kind) {
    case kKindSprinkler:
      sprayArc(p, QPointF(s * 0.5, s * 0.42), s * 0.36, 120);
      sprinklerBody(p, s, 0.38, QColor(30, 30, 30));
      p.setPen(QPen(kWater, 4));
      p.drawLine(QPointF(s * 0.5, s * 0.36), QPointF(s * 0.78, s * 0.18));
      break;
    case kKindStaticBody:
      drops(p, QPointF(s * 0.5, s * 0.42), M_PI * 0.9, 7);
      sprinklerBody(p, s, 0.3, kCap);
      break;
    case kKindVanNozzle:
    case kKindMpNozzle:
      sectorPattern(p, s, 270);
      nozzle(p, s, sub.kind == kKindMpNozzle ? QColor(200, 80, 160) : QColor(220, 170, 40));
      break;
    case kKindVanNozzleFixed:
    case kKindMpNozzleFixed:
      sectorPattern(p, s, 180);
      nozzle(p, s, sub.kind == kKindMpNozzleFixed ? QColor(90, 90, 200) : QColor(200, 60, 60));
      break;
    case kKindStripNozzle:
    case kKindRectRotaryNozzle:
      stripPattern(p, s);
      nozzle(p, s, sub.kind == kKindRectRotaryNozzle ? QColor(120, 60, 180) : QColor(230, 130, 30));
      break;
    case kKindMicroSprinkler:
    case kKindHadarBase: {
      p.setPen(QPen(QColor(40, 40, 40), 5));
      p.drawLine(QPointF(s * 0.5, s * 0.4), QPointF(s * 0.5, s * 0.86));
      p.setPen(QPen(QColor(20, 20, 20), 3));
      p.drawLine(QPointF(s * 0.5, s * 0.6), QPointF(s * 0.2, s * 0.7));
      box(p, QRectF(s * 0.43, s * 0.32, s * 0.14, s * 0.1), sub.kind == kKindHadarBase ? kBody : QColor(60, 140, 200), 3);
      drops(p, QPointF(s * 0.5, s * 0.32), M_PI, 6);
      break;
    }
    case kKindHadarInsert:
    case kKindHadarNozzle: {
      QColor c = sub.kind == kKindHadarInsert ? QColor(50, 160, 210) : QColor(230, 200, 50);
      QRadialGradient g(QPointF(s * 0.45, s * 0.42), s * 0.3);
      g.setColorAt(0, c.lighter(150));
      g.setColorAt(1, c.darker(140));
      p.setPen(QPen(c.darker(220), 2));
      p.setBrush(g);
      p.drawEllipse(QPointF(s * 0.5, s * 0.48), s * 0.26, s * 0.26);
      p.setBrush(Qt::white);
      p.drawEllipse(QPointF(s * 0.5, s * 0.48), s * 0.05, s * 0.05);
      break;
    }
    case kKindRws: {
      QRectF tube(s * 0.4, s * 0.14, s * 0.2, s * 0.66);
      cylinder(p, tube, QColor(40, 40, 40));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(200, 200, 200));
      for (int row = 0; row < 6; ++row)
        for (int col = 0; col < 3; ++col) p.drawEllipse(QPointF(s * (0.45 + col * 0.05), s * (0.3 + row * 0.08)), 3, 3);
      box(p, QRectF(s * 0.36, s * 0.1, s * 0.28, s * 0.06), kGreen, 3);
      break;
    }
    case kKindDripLine: {
      p.setBrush(Qt::NoBrush);
      for (int i = 0; i < 4; ++i) {
        p.setPen(QPen(QColor(70, 50, 40), 9));
        p.drawEllipse(QPointF(s * 0.5, s * 0.45), s * (0.33 - i * 0.045), s * (0.2 - i * 0.03));
      }
      p.setPen(Qt::NoPen);
      p.setBrush(kWater);
      for (int i = 0; i < 5; ++i) p.drawEllipse(QPointF(s * (0.22 + i * 0.14), s * 0.74), 5, 7);
      break;
    }
    case kKindController: {
      box(p, QRectF(s * 0.2, s * 0.14, s * 0.6, s * 0.64), QColor(225, 225, 215));
      p.setPen(QPen(QColor(30, 30, 30), 2));
      p.setBrush(QColor(150, 190, 150));
      p.drawRect(QRectF(s * 0.28, s * 0.22, s * 0.44, s * 0.16));
      p.setBrush(QColor(80, 80, 90));
      for (int i = 0; i < 4; ++i) p.drawEllipse(QPointF(s * (0.32 + i * 0.12), s * 0.5), s * 0.035, s * 0.035);
      p.setBrush(QColor(200, 60, 40));
      p.drawEllipse(QPointF(s * 0.5, s * 0.64), s * 0.07, s * 0.07);
      break;
    }
    case kKindValve: {
      cylinder(p, QRectF(s * 0.1, s * 0.5, s * 0.8, s * 0.16), QColor(70, 70, 70));
      box(p, QRectF(s * 0.3, s * 0.4, s * 0.4, s * 0.34), QColor(40, 40, 40), 8);
      cylinder(p, QRectF(s * 0.42, s * 0.16, s * 0.16, s * 0.26), QColor(30, 110, 60));
      p.setPen(QPen(QColor(200, 40, 40), 3));
      p.drawLine(QPointF(s * 0.5, s * 0.16), QPointF(s * 0.42, s * 0.06));
      p.setPen(QPen(QColor(40, 40, 200), 3));
      p.drawLine(QPointF(s * 0.52, s * 0.16), QPointF(s * 0.62, s * 0.06));
      break;
    }
    case kKindPipe: {
      QRectF r(s * 0.08, s * 0.34, s * 0.84, s * 0.22);
      cylinder(p, r, QColor(35, 35, 35));
      p.setPen(QPen(QColor(30, 120, 220), 3));
      p.drawLine(QPointF(r.left() + 8, r.center().y()), QPointF(r.right() - 8, r.center().y()));
      p.setPen(QPen(QColor(20, 20, 20), 2));
      p.setBrush(QColor(90, 90, 90));
      p.drawEllipse(QPointF(r.right(), r.center().y()), s * 0.04, s * 0.11);
      break;
    }
    case kKindFitting: {
      QColor c(40, 40, 40);
      cylinder(p, QRectF(s * 0.12, s * 0.36, s * 0.76, s * 0.18), c);
      cylinder(p, QRectF(s * 0.41, s * 0.36, s * 0.18, s * 0.42), c);
      box(p, QRectF(s * 0.08, s * 0.32, s * 0.12, s * 0.26), QColor(30, 90, 180), 3);
      box(p, QRectF(s * 0.8, s * 0.32, s * 0.12, s * 0.26), QColor(30, 90, 180), 3);
      box(p, QRectF(s * 0.37, s * 0.7, s * 0.26, s * 0.12), QColor(30, 90, 180), 3);
      break;
    }
    case kKindRegulator: {
      cylinder(p, QRectF(s * 0.1, s * 0.52, s * 0.8, s * 0.16), QColor(60, 60, 60));
      box(p, QRectF(s * 0.34, s * 0.44, s * 0.32, s * 0.32), QColor(200, 60, 40), 6);
      p.setPen(QPen(QColor(20, 20, 20), 3));
      p.setBrush(Qt::white);
      p.drawEllipse(QPointF(s * 0.5, s * 0.26), s * 0.14, s * 0.14);
      p.drawLine(QPointF(s * 0.5, s * 0.26), QPointF(s * 0.58, s * 0.18));
      break;
    }
    case kKindFilter: {
      cylinder(p, QRectF(s * 0.08, s * 0.22, s * 0.84, s * 0.14), QColor(60, 60, 60));
      QRectF bowl(s * 0.33, s * 0.3, s * 0.34, s * 0.5);
      box(p, bowl, QColor(180, 210, 230), 16);
      p.setPen(QPen(QColor(90, 110, 130), 1));
      for (int i = 1; i < 8; ++i) p.drawLine(QPointF(bowl.left() + i * bowl.width() / 8, bowl.top() + 6),
                                             QPointF(bowl.left() + i * bowl.width() / 8, bowl.bottom() - 6));
      break;
    }
    case kKindValveBox: {
      QColor green(30, 100, 45);
      if (sub.round) {
        p.setPen(QPen(green.darker(200), 2));
        p.setBrush(green.darker(120));
        p.drawEllipse(QRectF(s * 0.16, s * 0.26, s * 0.68, s * 0.5));
        p.setBrush(green.lighter(120));
        p.drawEllipse(QRectF(s * 0.2, s * 0.22, s * 0.6, s * 0.42));
      } else {
        QPolygonF side({QPointF(s * 0.14, s * 0.34), QPointF(s * 0.86, s * 0.34), QPointF(s * 0.8, s * 0.8),
                        QPointF(s * 0.2, s * 0.8)});
        p.setPen(QPen(green.darker(200), 2));
        p.setBrush(green.darker(120));
        p.drawPolygon(side);
        box(p, QRectF(s * 0.1, s * 0.22, s * 0.8, s * 0.14), green.lighter(120), 4);
      }
      break;
    }
    case kKindRainSensor: {
      p.setPen(QPen(QColor(110, 110, 130), 2));
      p.setBrush(QColor(210, 215, 230));
      QPainterPath cloud;
      cloud.addEllipse(QPointF(s * 0.36, s * 0.32), s * 0.14, s * 0.11);
      cloud.addEllipse(QPointF(s * 0.52, s * 0.26), s * 0.17, s * 0.15);
      cloud.addEllipse(QPointF(s * 0.66, s * 0.34), s * 0.13, s * 0.1);
      p.drawPath(cloud.simplified());
      p.setPen(QPen(kWater, 3));
      for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(s * (0.3 + i * 0.1), s * 0.48), QPointF(s * (0.27 + i * 0.1), s * 0.58));
      box(p, QRectF(s * 0.42, s * 0.64, s * 0.16, s * 0.16), QColor(70, 70, 70), 4);
      break;
    }
    case kKindSoilSensor: {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(120, 85, 50));
      p.drawRect(QRectF(0, s * 0.55, s, s * 0.3));
      box(p, QRectF(s * 0.36, s * 0.2, s * 0.28, s * 0.2), QColor(70, 70, 70), 6);
      p.setPen(QPen(QColor(170, 170, 170), 5));
      p.drawLine(QPointF(s * 0.44, s * 0.4), QPointF(s * 0.44, s * 0.78));
      p.drawLine(QPointF(s * 0.56, s * 0.4), QPointF(s * 0.56, s * 0.78));
      break;
    }
    case kKindCable: {
      p.setBrush(Qt::NoBrush);
      const QColor wires[] = {QColor(30, 30, 30), QColor(40, 80, 200), QColor(140, 90, 40), QColor(220, 200, 40)};
      for (int i = 0; i < 4; ++i) {
        p.setPen(QPen(wires[i], 7));
        p.drawEllipse(QPointF(s * 0.46, s * 0.45), s * (0.3 - i * 0.04), s * (0.22 - i * 0.03));
      }
      p.setPen(QPen(QColor(30, 30, 30), 7));
      p.drawLine(QPointF(s * 0.72, s * 0.5), QPointF(s * 0.9, s * 0.74));
      break;
    }
    default: {
      box(p, QRectF(s * 0.24, s * 0.3, s * 0.52, s * 0.42), QColor(190, 160, 110), 6);
      p.setPen(QPen(QColor(120, 90, 50), 2));
      p.drawLine(QPointF(s * 0.24, s * 0.42), QPointF(s * 0.76, s * 0.42));
      break;
    }
  }
}

}  // namespace

QImage drawPicture(const PictureSubject& subject, int size) {
  QImage image(size, size, QImage::Format_RGB32);
  image.fill(QColor(248, 248, 244));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  drawKind(p, subject, s);
  if (!subject.code.isEmpty()) {
    QFont font("Arial");
    font.setPixelSize(size / 9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRectF(0, s * 0.84, s, s * 0.15), Qt::AlignCenter, subject.code);
  }
  return image;
}

}  // namespace partix_build
