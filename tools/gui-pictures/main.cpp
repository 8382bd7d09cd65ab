// verdimo-gui-pictures OUTDIR
// verdimo-gui-pictures --icons OUTDIR
//
// Draws the pictures of the interface folder and writes them into OUTDIR:
// the two toolbar strips and the options-bar buttons as 24-bit BMP files,
// each with its mask, the start picture splash.bmp and the icon verdimo.png.
// With --icons, the application icon in the desktop's usual sizes instead:
// OUTDIR/hicolor/NxN/apps/verdimo.png.

#include <QDir>
#include <QGuiApplication>
#include <QString>
#include <cstdio>

#include "platform/folders.h"
#include "tools/gui-pictures/picture_file.h"
#include "tools/gui-pictures/pictures.h"

namespace {

bool writeBmp(const QImage& image, const QDir& dir, const QString& name) {
  const QString path = dir.filePath(name);
  if (gui_pictures::saveBmp24(image, path)) return true;
  std::fprintf(stderr, "verdimo-gui-pictures: cannot write %s\n", qPrintable(path));
  return false;
}

// A button picture and its mask.
bool writePair(const QImage& drawing, const QDir& dir, const QString& picture, const QString& mask) {
  return writeBmp(gui_pictures::colourOf(drawing), dir, picture) &&
         writeBmp(gui_pictures::maskOf(drawing), dir, mask);
}

// The application icon for the desktop's icon theme.
int writeThemeIcons(const char* outDir) {
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
    const QString sub = QStringLiteral("hicolor/%1x%1/apps").arg(size);
    QDir dir(QString::fromLocal8Bit(outDir));
    if (!dir.mkpath(sub) || !gui_pictures::drawAppIcon(size).save(dir.filePath(sub + "/verdimo.png"), "PNG")) {
      std::fprintf(stderr, "verdimo-gui-pictures: cannot write %s/%s\n", outDir, qPrintable(sub));
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool icons = argc == 3 && QByteArray(argv[1]) == "--icons";
  if (argc != 2 && !icons) {
    std::fputs("usage: verdimo-gui-pictures OUTDIR\n       verdimo-gui-pictures --icons OUTDIR\n", stderr);
    return 2;
  }
  platform::prepareHeadlessGui();
  QGuiApplication app(argc, argv);
  if (icons) return writeThemeIcons(argv[2]);

  const QString outDir = QString::fromLocal8Bit(argv[1]);
  QDir dir(outDir);
  if (!dir.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "verdimo-gui-pictures: cannot create %s\n", argv[1]);
    return 1;
  }

  using namespace gui_pictures;
  bool ok = writePair(drawToolStrip(), dir, QStringLiteral("toolbar1a.bmp"), QStringLiteral("toolbar1amask.bmp")) &&
            writePair(drawAreaStrip(), dir, QStringLiteral("toolbar2.bmp"), QStringLiteral("toolbar2mask.bmp"));
  for (const OptionIcon& icon : drawOptionIcons()) {
    if (!ok) break;
    ok = writePair(icon.image, dir, icon.name + QStringLiteral(".bmp"), icon.name + QStringLiteral("_m.bmp"));
  }
  ok = ok && writeBmp(drawSplash(), dir, QStringLiteral("splash.bmp"));
  if (ok && !drawAppIcon().save(dir.filePath(QStringLiteral("verdimo.png")), "PNG")) {
    std::fprintf(stderr, "verdimo-gui-pictures: cannot write %s\n", qPrintable(dir.filePath("verdimo.png")));
    ok = false;
  }
  if (!ok) return 1;
  std::printf("verdimo-gui-pictures: pictures written to %s\n", argv[1]);
  return 0;
}
