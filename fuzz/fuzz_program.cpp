#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "platform/message_sink.h"
#include "startup/application.h"

namespace fuzzing {

namespace {

// Message boxes of a damaged file are answered as the first button would be.
class SilentSink : public platform::MessageSink {
 public:
  platform::MessageAnswer show(const platform::Message&) override { return platform::MessageAnswer::Ok; }
};

}  // namespace

void startProgram() {
  static bool started = false;
  if (started) return;
  started = true;
  const std::string scratch = scratchDir();
  ::setenv("VERDIMO_HOME", programDir().c_str(), 1);
  ::setenv("VERDIMO_USER_DATA", (scratch + "/user").c_str(), 1);
  ::setenv("VERDIMO_USER_PROJECTS", (scratch + "/projects").c_str(), 1);
  ::setenv("VERDIMO_CONFIG", (scratch + "/config.ini").c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static SilentSink sink;
  platform::setMessageSink(&sink);
  static int argc = 1;
  static char name[] = "verdimo-fuzz";
  static char* argv[] = {name, nullptr};
  static QGuiApplication gui(argc, argv);
  const StartupResult r = startUp();
  if (!r.ok) {
    std::fprintf(stderr, "the program does not start: %s\n", r.message.c_str());
    std::abort();
  }
}

}  // namespace fuzzing
