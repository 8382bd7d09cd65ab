#pragma once
// The canvas on Qt's painter: the same drawing code paints a widget, a
// QImage, a printer page or a PDF file.

#include <QPainter>
#include <QStaticText>
#include <unordered_map>

#include "platform/canvas.h"

namespace platform {

class QPainterCanvas : public Canvas {
 public:
  // Draws with `painter`, which must stay active while the canvas is used.
  // The painter's own state is saved here and restored by the destructor.
  explicit QPainterCanvas(QPainter& painter);
  ~QPainterCanvas() override;

  void setPen(const Pen& pen) override;
  Pen pen() const override { return pen_; }
  void setBrush(const Brush& brush) override;
  Brush brush() const override { return brush_; }
  void setFont(const Font& font) override;
  Font font() const override { return font_; }
  void setTextColour(Colour c) override { text_ = c; }
  Colour textColour() const override { return text_; }
  void setBackgroundColour(Colour c) override { bk_ = c; }
  Colour backgroundColour() const override { return bk_; }
  void setOpaqueBackground(bool opaque) override { opaque_ = opaque; }
  bool opaqueBackground() const override { return opaque_; }
  void setRasterOp(RasterOp op) override;
  RasterOp rasterOp() const override { return rop_; }
  void setViewportOrigin(Point origin) override;
  Point viewportOrigin() const override { return origin_; }

  void setClipRect(const Rect& r) override;
  void setClipPolygon(const std::vector<Point>& points) override;
  void setClipEllipse(const Rect& box) override;
  void resetClip() override;

  void line(Point from, Point to) override;
  void polyline(const std::vector<Point>& points) override;
  void polygon(const std::vector<Point>& points) override;
  void rectangle(const Rect& r) override;
  void ellipse(const Rect& box) override;
  void arc(const Rect& box, Point start, Point end) override;
  void fillRect(const Rect& r, Colour c) override;
  void drawImage(const Rect& dest, const Image& image, const Rect& source) override;
  void text(Point at, const std::string& text) override;
  Size textExtent(const std::string& text) const override;

  QPainter& painter() { return painter_; }

 private:
  struct CachedFont {
    Font font;
    QFont qfont;
    QString key;
    double cellHeight = 0;
  };
  void applyFont(const CachedFont& c);

  QPainter& painter_;
  QTransform base_;
  QFont qfont_;
  bool penSet_ = false, brushSet_ = false, fontSet_ = false, originSet_ = false;
  QString fontKey_;
  double cellHeight_ = 0;
  double worldScale_ = 1;
  std::unordered_map<QString, QStaticText> layouts_;
  std::vector<CachedFont> fonts_;  // laid-out texts by font and text
  Pen pen_;
  Brush brush_;
  Font font_;
  Colour text_ = 0;
  Colour bk_ = 0xFFFFFF;
  bool opaque_ = true;
  RasterOp rop_ = RasterOp::CopyPen;
  Point origin_;
};

// A model colour (0x00BBGGRR) as a QColor, and back.
QColor toQColor(Colour c);
Colour fromQColor(const QColor& c);

}  // namespace platform
