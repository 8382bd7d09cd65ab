#include "tests/support/program.h"

#include <QGuiApplication>
#include <cstdlib>

#include "platform/file_sys.h"
#include "platform/folders.h"
#include "startup/application.h"
#include "tests/catalogue_file_builder.h"

namespace testing_support {

bool startProgramFresh(const std::string& name) {
  const std::string root = makeTempDir(name);
  setenv("VERDIMO_HOME", VERDIMO_PROGRAM_DIR, 1);
  setenv("VERDIMO_USER_DATA", (root + "/data").c_str(), 1);
  setenv("VERDIMO_USER_PROJECTS", (root + "/projects").c_str(), 1);
  setenv("VERDIMO_CONFIG", (root + "/verdimo.ini").c_str(), 1);
  platform::fileSys() = platform::CFileSys();
  return startUp().ok;
}

std::string sampleProjectPath() { return VERDIMO_PROGRAM_DIR "/Projekty/Ogrod_przykladowy.prj"; }

void ensureGuiApplication() {
  if (QGuiApplication::instance()) return;
  platform::prepareHeadlessGui();
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  new QGuiApplication(argc, argv);
}

}  // namespace testing_support
