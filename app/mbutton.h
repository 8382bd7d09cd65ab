#pragma once
// The flat button of the section dialog's rows: a face of one colour with a
// black outline and its text; it lights up under the pointer and stays light
// while selected.

#include <QPushButton>
#include <string>

#include "platform/canvas.h"

class QPainter;

// The text of the dialogs' owner-drawn parts: "Arial", 15 pixels high,
// weight 500, black, on whatever lies under it. `text` is Windows-1250.
void drawOwnerText(QPainter& p, platform::Point at, const std::string& text);

class CMButton : public QPushButton {
  Q_OBJECT
 public:
  explicit CMButton(QWidget* parent = nullptr);

  // Selected: the face stays in the selected colour.
  void SetSelected(int flag);
  int selected = 0;
  // The text the owner gives it (Windows-1250) and its row.
  std::string buttonText;
  int rowNumber = 0;

  platform::Colour hoverColour = 0xFFFFFF;
  platform::Colour pressedColour = 0xFFFFFF;
  platform::Colour normalColour = 0xDCDCDC;
  platform::Colour selectedColour = 0xFFFFFF;
  platform::Colour faceColour = 0xDCDCDC;

  void setButtonText(const std::string& text);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
};
