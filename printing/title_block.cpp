#include "printing/title_block.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QImageReader>
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
  canvas.text(leftAt(130, 55), texts.investor);
  canvas.text(leftAt(130, 98), texts.objectName);
  canvas.text(leftAt(130, 138), texts.designer);
  canvas.text(centredOn(148, 175, texts.projectNo), texts.projectNo);
  canvas.text(centredOn(296, 175, texts.projectDate), texts.projectDate);
  const std::string scale = "1:" + std::to_string(printScale);
  canvas.text(centredOn(480, 175, scale), scale);
}
