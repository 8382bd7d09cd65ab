#include "printing/title_block.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "document/graphic_plane.h"
#include "platform/file_sys.h"
#include "platform/textcodec.h"

namespace {

// Larger files cannot be a title-block picture of an acceptable size.
constexpr std::streamoff kMaxFileBytes = 64 << 20;

uint32_t le32(const std::string& b, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
uint16_t le16(const std::string& b, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

// Width and height from the information header that follows the 14-byte
// file header; 0, 0 when the bytes are no bitmap.
std::pair<int, int> headerSize(const std::string& b) {
  if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') return {0, 0};
  const uint32_t infoSize = le32(b, 14);
  if (infoSize == 12) return {le16(b, 18), le16(b, 20)};
  if (infoSize < 16) return {0, 0};
  const auto w = static_cast<int32_t>(le32(b, 18));
  const auto h = static_cast<int32_t>(le32(b, 22));
  // A negative height is a top-down bitmap of the same size.
  if (w <= 0 || h == 0 || h == INT32_MIN) return {0, 0};
  return {w, h < 0 ? -h : h};
}

std::string utf8Literal(const char* text) { return platform::utf8ToCp1250(text); }

// The block is laid out for Arial's widths. Where Arial itself is missing,
// its metric-compatible twin takes its place rather than whatever face the
// system would fall back to.
void preferMetricTwinOfArial() {
  static const bool done = [] {
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    return true;
  }();
  (void)done;
}

}  // namespace

TitleBlockPicture loadTitleBlockPicture(const std::string& path) {
  TitleBlockPicture picture;

  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return picture;
  const std::streamoff size = in.tellg();
  if (size <= 0 || size > kMaxFileBytes) return picture;
  in.seekg(0);
  std::string bytes(static_cast<size_t>(size), '\0');
  if (!in.read(bytes.data(), size)) return picture;

  QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QSize announced = reader.size();
  if (announced.isValid() && (announced.width() > kTitleBlockMaxSide || announced.height() > kTitleBlockMaxSide))
    return picture;
  QImage image = reader.read();
  if (image.isNull() || image.width() > kTitleBlockMaxSide || image.height() > kTitleBlockMaxSide) return picture;
  image = image.convertToFormat(QImage::Format_RGB32);

  picture.image.width = image.width();
  picture.image.height = image.height();
  picture.image.pixels.resize(static_cast<size_t>(image.width()) * image.height());
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(&picture.image.pixels[static_cast<size_t>(y) * image.width()], image.constScanLine(y),
                static_cast<size_t>(image.width()) * 4);
  // The block is sized by the header; a header that disagrees with the
  // picture read is not believed.
  const auto [w, h] = headerSize(bytes);
  const bool agrees = w == image.width() && h == image.height();
  picture.width = agrees ? w : image.width();
  picture.height = agrees ? h : image.height();
  return picture;
}

TitleBlockPicture loadTitleBlockPicture() {
  return loadTitleBlockPicture(platform::fileSys().filePath(platform::GuiDir, "table.bmp"));
}

TitleBlockTexts titleBlockTexts(const CGraphicPlane& doc) {
  return {doc.investor, doc.objectName, doc.companyName, doc.projectNo, doc.projectDate};
}

TitleBlockPlace titleBlockPlace(const TitleBlockPicture& picture, int sheetWidth, int sheetHeight, double unit,
                                int marginRight, int marginBottom) {
  TitleBlockPlace place;
  place.pixel = unit * 0.5;
  place.width = static_cast<int>(picture.width * place.pixel);
  place.height = static_cast<int>(picture.height * place.pixel);
  place.left = (sheetWidth - 1) - place.width - marginRight;
  place.top = (sheetHeight - 1) - place.height - marginBottom;
  return place;
}

void drawTitleBlock(platform::Canvas& canvas, const TitleBlockPicture& picture, const TitleBlockTexts& texts,
                    int sheetWidth, int sheetHeight, double unit, int marginRight, int marginBottom, int printScale) {
  using platform::Point;
  using platform::Rect;
  const TitleBlockPlace at = titleBlockPlace(picture, sheetWidth, sheetHeight, unit, marginRight, marginBottom);
  platform::CanvasStateSaver keep(canvas);
  if (picture.loaded())
    canvas.drawImage({at.left, at.top, at.left + at.width, at.top + at.height}, picture.image,
                     {0, 0, picture.image.width, picture.image.height});

  preferMetricTwinOfArial();
  platform::Font font;
  font.face = "Arial";
  font.height = static_cast<int>(unit * 12);
  canvas.setTextColour(0);
  // The boxes of the picture show through the texts.
  canvas.setOpaqueBackground(false);
  const double t = at.pixel;
  auto leftAt = [&](double a, double b) {
    return Point{static_cast<int>(at.left + a * t), static_cast<int>(at.top + b * t)};
  };
  auto centredOn = [&](double a, double b, const std::string& text) {
    const int half = canvas.textExtent(text).cx / 2;
    return Point{static_cast<int>(at.left + a * t - half), static_cast<int>(at.top + b * t)};
  };

  font.weight = 500;
  canvas.setFont(font);
  static const struct {
    const char* text;
    double a, b;
  } labels[] = {
      {"Inwestor", 18, 55}, {"Obiekt", 18, 98}, {"Projektant", 16, 138}, {"Proj. nr", 16, 175},
      {"Data", 182, 175},   {"Skala", 372, 175}, {"PLAN INSTALACJI NAWADNIAJĄCEJ", 110, 15},
  };
  for (const auto& l : labels) canvas.text(leftAt(l.a, l.b), utf8Literal(l.text));

  font.weight = 200;
  canvas.setFont(font);
  // Each value in its box of the picture: as it always stood when it fits,
  // else smaller, then on two lines, then cut short with an ellipsis.
  const int full = font.height;
  const int smallest = std::max(1, static_cast<int>(unit * kTitleBlockMinTextUnits));
  auto box = [&](double a0, double b0, double a1, double b1) {
    return Rect{static_cast<int>(at.left + a0 * t), static_cast<int>(at.top + b0 * t),
                static_cast<int>(at.left + a1 * t), static_cast<int>(at.top + b1 * t)};
  };
  auto fitted = [&](const std::string& text, Rect cell, Point usual, bool centred) {
    const int cellWidth = cell.right - cell.left;
    const int width = canvas.textExtent(text).cx;
    if (usual.x >= cell.left && usual.x + width <= cell.right) {
      canvas.text(usual, text);  // fits where it always stood
      return;
    }
    for (const TitleBlockLine& line : fitTitleBlockText(canvas, font, text, cell, full, smallest)) {
      font.height = line.height;
      canvas.setFont(font);
      Point p = line.at;
      if (centred) p.x = cell.left + (cellWidth - canvas.textExtent(line.text).cx) / 2;
      canvas.text(p, line.text);
    }
    font.height = full;
    canvas.setFont(font);
  };
  fitted(texts.investor, box(130, 49, 592, 89), leftAt(130, 55), false);
  fitted(texts.objectName, box(130, 91, 592, 129), leftAt(130, 98), false);
  fitted(texts.designer, box(130, 131, 592, 167), leftAt(130, 138), false);
  // The bottom row's values are centred on their boxes.
  auto centred = [&](const std::string& text, double a, double a0, double a1) {
    const Point usual = centredOn(a, 175, text);
    fitted(text, box(a0, 169, a1, 206), usual, true);
  };
  centred(texts.projectNo, 148, 100, 176);
  centred(texts.projectDate, 296, 232, 360);
  const std::string scale = "1:" + std::to_string(printScale);
  centred(scale, 480, 424, 536);
}

std::vector<TitleBlockLine> fitTitleBlockText(platform::Canvas& canvas, platform::Font font, const std::string& text,
                                              platform::Rect cell, int fullHeight, int smallestHeight) {
  std::vector<TitleBlockLine> lines;
  if (text.empty()) return lines;
  const int width = std::max(0, cell.right - cell.left);
  const int height = std::max(0, cell.bottom - cell.top);
  smallestHeight = std::min(smallestHeight, fullHeight);
  auto measure = [&](const std::string& s, int h) {
    font.height = h;
    canvas.setFont(font);
    return canvas.textExtent(s).cx;
  };
  auto centreLine = [&](int h) { return cell.top + (height - h) / 2; };
  // One line, from the usual size down to the smallest readable one.
  const int steps = 8;
  for (int i = 0; i <= steps; ++i) {
    const int h = fullHeight - (fullHeight - smallestHeight) * i / steps;
    if (measure(text, h) <= width) {
      lines.push_back({text, {cell.left, i == 0 ? cell.top : centreLine(h)}, h});
      return lines;
    }
  }
  const int h = smallestHeight;
  // The widest part of `s` that fits, ending in an ellipsis.
  auto cut = [&](const std::string& s) {
    static const std::string ellipsis = "\x85";  // "…" in Windows-1250
    size_t n = s.size();
    while (n > 0 && measure(s.substr(0, n) + ellipsis, h) > width) --n;
    while (n > 0 && s[n - 1] == ' ') --n;
    return s.substr(0, n) + ellipsis;
  };
  // Two lines at the smallest size when the box has room for them: the first
  // breaks at the last space that lets it fit.
  if (2 * h <= height) {
    size_t breakAt = std::string::npos;
    for (size_t i = text.find(' '); i != std::string::npos; i = text.find(' ', i + 1)) {
      if (measure(text.substr(0, i), h) > width) break;
      breakAt = i;
    }
    if (breakAt != std::string::npos) {
      std::string first = text.substr(0, breakAt);
      std::string second = text.substr(text.find_first_not_of(' ', breakAt) == std::string::npos
                                            ? text.size()
                                            : text.find_first_not_of(' ', breakAt));
      if (measure(second, h) > width) second = cut(second);
      const int top = cell.top + (height - 2 * h) / 2;
      lines.push_back({first, {cell.left, top}, h});
      if (!second.empty()) lines.push_back({second, {cell.left, top + h}, h});
      return lines;
    }
  }
  lines.push_back({cut(text), {cell.left, centreLine(h)}, h});
  return lines;
}
