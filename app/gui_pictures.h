#pragma once
// The pictures of the bars: loaded from the interface folder and blended
// with their masks over the button face colour.

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QString>
#include <vector>

// `picture` over `face` through `mask`: each colour component becomes
// picture x a + face x (1 - a), a = the mask's blue component / 255.
QImage composeWithMask(const QImage& picture, const QImage& mask, const QColor& face);

// The picture `name` of the interface folder composed with its mask `maskName`
// over `face`; a null image when either file is missing.
QImage loadComposedPicture(const QString& name, const QString& maskName, const QColor& face);

// The images of a strip, `size` pixels square each, left to right.
std::vector<QImage> cutStrip(const QImage& strip, int size, int count);

// An icon for a button: the composed picture, and a greyed one for the
// disabled state.
QIcon buttonIcon(const QImage& composed);
