#include "platform/recording_canvas.h"

#include <algorithm>
#include <cstdint>

namespace platform {

std::vector<const RecordingCanvas::Op*> RecordingCanvas::of(Kind kind) const {
  std::vector<const Op*> out;
  for (const Op& op : ops)
    if (op.kind == kind) out.push_back(&op);
  return out;
}

RecordingCanvas::Op& RecordingCanvas::record(Kind kind) {
  Op op;
  op.kind = kind;
  op.pen = pen_;
  op.brush = brush_;
  op.font = font_;
  op.textColour = text_;
  op.backgroundColour = bk_;
  op.opaque = opaque_;
  op.rop = rop_;
  op.origin = origin_;
  op.haloWidth = textHaloWidth();
  op.haloColour = textHaloColour();
  ops.push_back(std::move(op));
  return ops.back();
}

void RecordingCanvas::setClipRect(const Rect& r) { record(Kind::ClipRect).rect = r; }
void RecordingCanvas::setClipPolygon(const std::vector<Point>& points) { record(Kind::ClipPolygon).points = points; }
void RecordingCanvas::setClipEllipse(const Rect& box) { record(Kind::ClipEllipse).rect = box; }
void RecordingCanvas::resetClip() { record(Kind::ResetClip); }

void RecordingCanvas::line(Point from, Point to) { record(Kind::Line).points = {from, to}; }
void RecordingCanvas::polyline(const std::vector<Point>& points) { record(Kind::Polyline).points = points; }
void RecordingCanvas::polygon(const std::vector<Point>& points) { record(Kind::Polygon).points = points; }
void RecordingCanvas::rectangle(const Rect& r) { record(Kind::Rectangle).rect = r; }
void RecordingCanvas::ellipse(const Rect& box) { record(Kind::Ellipse).rect = box; }

void RecordingCanvas::arc(const Rect& box, Point start, Point end) {
  Op& op = record(Kind::Arc);
  op.rect = box;
  op.points = {start, end};
}

void RecordingCanvas::fillRect(const Rect& r, Colour c) {
  Op& op = record(Kind::FillRect);
  op.rect = r;
  op.fill = c;
}

void RecordingCanvas::drawImage(const Rect& dest, const Image&, const Rect&) { record(Kind::Image).rect = dest; }

void RecordingCanvas::text(Point at, const std::string& text) {
  Op& op = record(Kind::Text);
  op.points = {at};
  op.text = text;
}

Size RecordingCanvas::textExtent(const std::string& text) const {
  const int64_t h = std::clamp<int64_t>(font_.height, -1'000'000'000, 1'000'000'000);
  const int64_t w = static_cast<int64_t>(std::min<size_t>(text.size(), 1'000'000)) * h / 2;
  return {static_cast<int>(std::clamp<int64_t>(w, -1'000'000'000, 1'000'000'000)), static_cast<int>(h)};
}

}  // namespace platform
