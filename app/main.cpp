// The program: start-up, the main window maximised, a project named on the
// command line opened, and everything released at exit.

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QStringList>
#include <QTimer>

#include "app/main_frame.h"
#include "app/message_box_sink.h"
#include "platform/message_sink.h"
#include "startup/application.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName("Verdimo");
  QApplication::setApplicationDisplayName("VERDIMO");
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
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) {
      frame.projectToOpen = QFileInfo(args.at(1)).absoluteFilePath();
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
