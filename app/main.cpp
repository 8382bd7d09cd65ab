// The program: start-up, the main window maximised, a project named on the
// command line opened, and everything released at exit.

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/command_line.h"
#include "app/main_frame.h"
#include "app/message_box_sink.h"
#include "platform/message_sink.h"
#include "startup/application.h"

namespace {

const char kUsage[] =
    "usage: verdimo [QT-OPTIONS] [PROJECT]\n"
    "       verdimo --help | --version\n"
    "\n"
    "Designs garden irrigation systems. PROJECT is a project file (.prj), as a\n"
    "path or a file:// URI; it is opened once the window stands.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "  -v, --version  print the version and exit\n"
    "\n"
    "The standard options of Qt applications (-platform NAME, -style NAME, ...)\n"
    "are accepted as well. See verdimo(1).\n";

// Help and version are answered before the window system is asked for, so
// that they work without a display.
int earlyAnswer(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--")) break;
    if (!std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help")) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (!std::strcmp(argv[i], "-v") || !std::strcmp(argv[i], "--version")) {
      std::printf("verdimo %s\n", VERDIMO_VERSION);
      return 0;
    }
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (const int answered = earlyAnswer(argc, argv); answered >= 0) return answered;
  QApplication qapp(argc, argv);
  QString project, error;
  if (!projectArgument(QApplication::arguments(), project, error)) {
    std::fprintf(stderr, "verdimo: %s\n\n%s", qPrintable(error), kUsage);
    return 2;
  }
  QApplication::setApplicationName("Verdimo");
  QApplication::setApplicationVersion(VERDIMO_VERSION);
  // No display name: the window system would add it to every title, and the
  // titles are the program's own.
  QApplication::setDesktopFileName("verdimo");

  MessageBoxSink sink;
  platform::setMessageSink(&sink);
  const StartupResult started = startUp();
  if (!started.ok) {
    platform::tell(started.message, started.caption, platform::MessageIcon::Error);
    shutDown();
    platform::setMessageSink(nullptr);
    return 1;
  }

  int status = 0;
  {
    CMainFrame frame;
    sink.setParent(&frame);
    // Without a window manager a maximised window would keep its small
    // size: it starts with the screen's size either way.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();
    if (!project.isEmpty()) {
      frame.projectToOpen = project;
      QTimer::singleShot(0, &frame, [&frame] { frame.runCommand(kCmdOpenNamed); });
    }
    // VERDIMO_SCREENSHOT=FILE: the whole screen is kept in FILE once the
    // window stands (and its project is open), then the program ends. For
    // checks of the real program on a virtual display.
    if (const QByteArray shot = qgetenv("VERDIMO_SCREENSHOT"); !shot.isEmpty()) {
      QTimer::singleShot(2500, &frame, [shot] {
        QScreen* screen = QGuiApplication::primaryScreen();
        const bool saved = screen && screen->grabWindow(0).save(QString::fromLocal8Bit(shot));
        QApplication::exit(saved ? 0 : 2);
      });
    }
    status = QApplication::exec();
  }
  shutDown();
  platform::setMessageSink(nullptr);
  return status;
}
