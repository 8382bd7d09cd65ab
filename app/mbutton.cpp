#include "app/mbutton.h"

#include <QPainter>

#include "platform/canvas_qpainter.h"
#include "platform/qt_text.h"

CMButton::CMButton(QWidget* parent) : QPushButton(parent) { setMouseTracking(true); }

void CMButton::SetSelected(int flag) {
  selected = flag;
  faceColour = flag ? selectedColour : normalColour;
  update();
}

void CMButton::setButtonText(const std::string& text) {
  buttonText = text;
  setText(platform::toQString(text));
  setAccessibleName(text.empty() ? QString::number(rowNumber + 1) : platform::toQString(text));
  update();
}

void CMButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const platform::Colour face = selected ? pressedColour : faceColour;
  p.fillRect(rect(), platform::toQColor(face));
  p.setPen(Qt::black);
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  drawOwnerText(p, {5, 3}, buttonText);
}

void drawOwnerText(QPainter& p, platform::Point at, const std::string& text) {
  platform::QPainterCanvas c(p);
  platform::Font f;
  f.face = "Arial";
  f.height = 15;
  f.weight = 500;
  c.setFont(f);
  c.setOpaqueBackground(false);
  c.setTextColour(0);
  c.text(at, text);
}

void CMButton::enterEvent(QEnterEvent* e) {
  faceColour = hoverColour;
  update();
  QPushButton::enterEvent(e);
}

void CMButton::leaveEvent(QEvent* e) {
  faceColour = selected ? selectedColour : normalColour;
  update();
  QPushButton::leaveEvent(e);
}

void CMButton::mousePressEvent(QMouseEvent* e) {
  faceColour = pressedColour;
  update();
  QPushButton::mousePressEvent(e);
}

void CMButton::mouseReleaseEvent(QMouseEvent* e) {
  faceColour = selected ? selectedColour : (underMouse() ? hoverColour : normalColour);
  update();
  QPushButton::mouseReleaseEvent(e);
}
