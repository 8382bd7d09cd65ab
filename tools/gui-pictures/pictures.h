#pragma once
// The pictures of the interface folder, drawn in code.
//
// Every button picture is drawn on a transparent image; picture_file.h splits
// it into the colour picture and the mask the program blends it with.

#include <QImage>
#include <QString>
#include <vector>

namespace gui_pictures {

// Size of one image in the drawing-tools strip and in the area strip.
constexpr int kToolCell = 25;
constexpr int kToolCount = 17;
constexpr int kAreaCell = 32;
constexpr int kAreaCount = 8;
constexpr int kAreaStripWidth = 350;
constexpr int kOptionSize = 32;

// The drawing-tools strip: kToolCount images of kToolCell square, side by side.
// Slots 5 and 9 hold no tool and stay transparent.
QImage drawToolStrip();

// The strip of area kinds: kAreaCount images of kAreaCell square from the
// left; the rest of its kAreaStripWidth stays transparent.
QImage drawAreaStrip();

// One button of the options bar and the base name of its files.
struct OptionIcon {
  QString name;
  QImage image;
};
std::vector<OptionIcon> drawOptionIcons();

// What the main window shows while no project is open (opaque, 641 x 429).
QImage drawSplash();

// The application icon, 256 x 256 with transparency.
QImage drawAppIcon(int size = 256);

}  // namespace gui_pictures
