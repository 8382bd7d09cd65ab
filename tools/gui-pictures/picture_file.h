#pragma once
// Writing the drawn pictures in the form the program reads them.

#include <QImage>
#include <QString>

namespace gui_pictures {

// A transparent image of the given size, ready to be drawn on.
QImage blankPicture(int width, int height);

// The colour picture of a drawing on transparency: straight (not
// premultiplied) colour wherever anything shows, the button face elsewhere.
QImage colourOf(const QImage& drawing);

// The mask of a drawing: its coverage as grey, white where the picture shows
// fully, black where the face shows through.
QImage maskOf(const QImage& drawing);

// Saves an image as an uncompressed 24-bit BMP. False when it cannot be written.
bool saveBmp24(const QImage& image, const QString& path);

}  // namespace gui_pictures
