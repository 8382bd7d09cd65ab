#pragma once
// The drawing surface every plan object and terrain primitive draws on.
//
// It keeps the state of a device context: the selected pen, brush and font,
// the text colour and background, the raster operation, the viewport origin
// and the clip. Coordinates are integer device pixels before the viewport
// origin is added. Colours are 0x00BBGGRR values, as everywhere in the
// model; texts are Windows-1250 bytes.
//
// Implementations: QPainterCanvas (screen, QImage, printer, PDF) and
// RecordingCanvas (tests read back what was drawn).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

using Colour = uint32_t;  // 0x00BBGGRR

constexpr Colour rgb(int r, int g, int b) {
  return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int redOf(Colour c) { return c & 0xFF; }
constexpr int greenOf(Colour c) { return (c >> 8) & 0xFF; }
constexpr int blueOf(Colour c) { return (c >> 16) & 0xFF; }

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Right and bottom edges excluded, as in a device context.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// A picture in memory: rows top-down, each pixel 0xFFRRGGBB (the layout of a
// 32-bit RGB image). Used for pattern brushes and stretched images.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  bool alpha = false;  // the top byte is the pixel's opacity
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

enum class PenStyle { Solid, Dot, Null };

struct Pen {
  PenStyle style = PenStyle::Solid;
  int width = 1;
  Colour colour = 0;
  static Pen solid(Colour c, int w = 1) { return {PenStyle::Solid, w, c}; }
  static Pen dotted(Colour c, int w = 1) { return {PenStyle::Dot, w, c}; }
  static Pen none() { return {PenStyle::Null, 0, 0}; }
  friend bool operator==(const Pen&, const Pen&) = default;
};

enum class BrushStyle { Null, Solid, Pattern, Hatch };
enum class HatchStyle { Horizontal, Vertical, ForwardDiagonal, BackwardDiagonal, Cross, DiagonalCross };

struct Brush {
  BrushStyle style = BrushStyle::Null;
  Colour colour = 0;                      // solid and hatch brushes
  HatchStyle hatch = HatchStyle::Cross;   // hatch brushes
  std::shared_ptr<const Image> pattern;   // pattern brushes, tiled from the device origin
  static Brush none() { return {}; }
  static Brush solid(Colour c) { return {BrushStyle::Solid, c, HatchStyle::Cross, nullptr}; }
  static Brush hatched(HatchStyle h, Colour c) { return {BrushStyle::Hatch, c, h, nullptr}; }
  static Brush patterned(std::shared_ptr<const Image> tile) {
    return {BrushStyle::Pattern, 0, HatchStyle::Cross, std::move(tile)};
  }
  friend bool operator==(const Brush&, const Brush&) = default;
};

struct Font {
  std::string face = "Arial";  // Windows-1250
  int height = 12;             // cell height in pixels (ascent + descent)
  int weight = 400;            // 400 normal, 700 bold
  bool italic = false;
  bool underline = false;
  int escapement = 0;          // rotation, tenths of a degree counter-clockwise
  // A font of the Western character set: the byte 0xF8 is the diameter sign
  // there (plan labels of pipes use it); other bytes stay Windows-1250.
  bool westernCharset = false;
  friend bool operator==(const Font&, const Font&) = default;
};

// How the pen and brush combine with what is already drawn.
enum class RasterOp {
  CopyPen,  // draw in the pen's colour
  Not,      // invert what lies under the figure; drawing twice restores it
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // --- state ---------------------------------------------------------------
  virtual void setPen(const Pen& pen) = 0;
  virtual Pen pen() const = 0;
  virtual void setBrush(const Brush& brush) = 0;
  virtual Brush brush() const = 0;
  virtual void setFont(const Font& font) = 0;
  virtual Font font() const = 0;
  virtual void setTextColour(Colour c) = 0;
  virtual Colour textColour() const = 0;
  virtual void setBackgroundColour(Colour c) = 0;
  virtual Colour backgroundColour() const = 0;
  // Opaque: text cells are filled with the background colour first.
  virtual void setOpaqueBackground(bool opaque) = 0;
  virtual bool opaqueBackground() const = 0;
  virtual void setRasterOp(RasterOp op) = 0;
  virtual RasterOp rasterOp() const = 0;
  // Logical (0, 0) is drawn at device `origin`.
  virtual void setViewportOrigin(Point origin) = 0;
  virtual Point viewportOrigin() const = 0;

  // --- clip (in logical coordinates at the time of the call) ---------------
  virtual void setClipRect(const Rect& r) = 0;
  virtual void setClipPolygon(const std::vector<Point>& points) = 0;
  virtual void setClipEllipse(const Rect& box) = 0;
  virtual void resetClip() = 0;

  // --- figures ---------------------------------------------------------------
  // Lines use the pen only; closed figures are filled with the brush and
  // outlined with the pen.
  virtual void line(Point from, Point to) = 0;
  virtual void polyline(const std::vector<Point>& points) = 0;
  virtual void polygon(const std::vector<Point>& points) = 0;
  virtual void rectangle(const Rect& r) = 0;
  virtual void ellipse(const Rect& box) = 0;
  // The arc of the ellipse in `box` from the ray toward `start` counter-clockwise
  // (as seen on the screen) to the ray toward `end`; a full ellipse when both
  // rays coincide. Pen only.
  virtual void arc(const Rect& box, Point start, Point end) = 0;
  // Fills with a colour, ignoring pen, brush and raster operation.
  virtual void fillRect(const Rect& r, Colour c) = 0;
  // The whole `image` (or its `source` part) stretched onto `dest`.
  virtual void drawImage(const Rect& dest, const Image& image, const Rect& source) = 0;

  // --- text ------------------------------------------------------------------
  // `text` with the top-left corner of its cell at `at`, turned by the font's
  // escapement about that point.
  virtual void text(Point at, const std::string& text) = 0;
  // The unrotated extent of `text` in the current font.
  virtual Size textExtent(const std::string& text) const = 0;
  // A halo of `colour`, `width` pixels wide, around the letters of every
  // text drawn from now on, so that it stays legible over what lies under
  // it; width 0 draws none.
  virtual void setTextHalo(int width, Colour colour) {
    haloWidth_ = width;
    haloColour_ = colour;
  }
  virtual int textHaloWidth() const { return haloWidth_; }
  virtual Colour textHaloColour() const { return haloColour_; }

  // --- convenience -----------------------------------------------------------
  void moveTo(Point p) { current_ = p; }
  void lineTo(Point p) {
    line(current_, p);
    current_ = p;
  }
  Point currentPosition() const { return current_; }

 private:
  Point current_;
  int haloWidth_ = 0;
  Colour haloColour_ = 0xFFFFFF;
};

// Keeps a canvas's pen, brush, font, text colours, raster operation and
// viewport origin, and puts them back when it goes out of scope.
class CanvasStateSaver {
 public:
  explicit CanvasStateSaver(Canvas& c)
      : c_(c), pen_(c.pen()), brush_(c.brush()), font_(c.font()), text_(c.textColour()), bk_(c.backgroundColour()),
        opaque_(c.opaqueBackground()), rop_(c.rasterOp()), origin_(c.viewportOrigin()),
        haloWidth_(c.textHaloWidth()), halo_(c.textHaloColour()) {}
  ~CanvasStateSaver() {
    c_.setPen(pen_);
    c_.setBrush(brush_);
    c_.setFont(font_);
    c_.setTextColour(text_);
    c_.setBackgroundColour(bk_);
    c_.setOpaqueBackground(opaque_);
    c_.setRasterOp(rop_);
    c_.setViewportOrigin(origin_);
    c_.setTextHalo(haloWidth_, halo_);
  }
  CanvasStateSaver(const CanvasStateSaver&) = delete;
  CanvasStateSaver& operator=(const CanvasStateSaver&) = delete;

 private:
  Canvas& c_;
  Pen pen_;
  Brush brush_;
  Font font_;
  Colour text_, bk_;
  bool opaque_;
  RasterOp rop_;
  Point origin_;
  int haloWidth_;
  Colour halo_;
};

}  // namespace platform
