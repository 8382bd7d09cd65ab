#pragma once
// Pictograms for catalogue elements that come without a photograph.

#include <QImage>
#include <QString>

namespace partix_build {

// What a picture shows: the element's kind, its short plan code (the text
// between "<" and ">" of its name) and, for valve boxes, whether it is round.
struct PictureSubject {
  int kind = 5;
  QString code;
  bool round = false;
};

// A clear, simple drawing of the element on a light background.
QImage drawPicture(const PictureSubject& subject, int size = 240);

}  // namespace partix_build
