// verdimo-defaults PROGRAM_DIR
//
// Writes PROGRAM_DIR/Defaults/{wnd.ini,seq.dat,sets.zdb} from the shipped
// catalogue in PROGRAM_DIR/DataBase, and the sample project
// PROGRAM_DIR/Projekty/Ogrod_przykladowy.prj with the well-designed garden
// PROGRAM_DIR/Projekty/Ogrod_wzorcowy.prj beside it.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "document/settings_file.h"
#include "platform/message_sink.h"
#include "platform/textcodec.h"
#include "sections/connection_sets.h"
#include "sections/section_list.h"
#include "startup/application.h"
#include "tools/make-defaults/sample_garden.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: verdimo-defaults PROGRAM_DIR\n", stderr);
    return 2;
  }
  const fs::path program = fs::absolute(argv[1]);
  const fs::path defaults = program / "Defaults";
  std::error_code ec;
  fs::create_directories(defaults, ec);
  fs::create_directories(program / "Projekty", ec);

  // The defaults themselves: fresh settings, the section colours, the sets.
  if (!saveSettings(freshInstallSettings(), defaults.string()) ||
      !writeSeqFile((defaults / "seq.dat").string(), defaultSectionColours())) {
    std::fprintf(stderr, "verdimo-defaults: cannot write into %s\n", defaults.c_str());
    return 1;
  }
  CPartix catalogue;
  const std::string catalogueFile = (program / "DataBase" / "MainPartix.dbc").string();
  catalogue.fileName = catalogueFile.c_str();
  catalogue.LoadDB();
  if (catalogue.count == 0) {
    std::fprintf(stderr, "verdimo-defaults: no catalogue at %s\n", catalogueFile.c_str());
    return 1;
  }
  if (!writeConnectionSetsFile(defaults.string(), defaultConnectionSets(catalogue))) {
    std::fprintf(stderr, "verdimo-defaults: cannot write the connection sets\n");
    return 1;
  }
  catalogue.head->FreeAll();
  catalogue.head = nullptr;

  // The sample project, made through the application as the program makes
  // projects, with a user folder of its own provisioned from the defaults.
  const fs::path user = fs::temp_directory_path() / ("verdimo-defaults-" + std::to_string(::getpid()));
  fs::remove_all(user, ec);
  setenv("VERDIMO_HOME", program.c_str(), 1);
  setenv("VERDIMO_USER_DATA", (user / "data").c_str(), 1);
  setenv("VERDIMO_USER_PROJECTS", (user / "projects").c_str(), 1);
  setenv("VERDIMO_CONFIG", (user / "verdimo.ini").c_str(), 1);
  platform::RecordingMessageSink quiet;
  StartupResult started = startUp();
  if (!started.ok) {
    std::fprintf(stderr, "verdimo-defaults: %s\n", platform::cp1250ToUtf8(started.message).c_str());
    return 1;
  }
  newProject();
  buildSampleGarden(*application().document, application().catalogue);
  const std::string sample = (program / "Projekty" / "Ogrod_przykladowy.prj").string();
  ProjectResult saved = saveOpenProject(sample);
  // The well-designed garden beside it.
  const std::string model = (program / "Projekty" / "Ogrod_wzorcowy.prj").string();
  std::string refused;
  if (saved.ok) {
    closeProject();
    newProject();
    if (!buildModelGarden(*application().document, application().catalogue, refused)) {
      shutDown();
      fs::remove_all(user, ec);
      std::fprintf(stderr, "verdimo-defaults: the model garden: %s\n", refused.c_str());
      return 1;
    }
    saved = saveOpenProject(model);
  }
  shutDown();
  fs::remove_all(user, ec);
  if (!saved.ok) {
    std::fprintf(stderr, "verdimo-defaults: %s\n", platform::cp1250ToUtf8(saved.message).c_str());
    return 1;
  }
  std::printf("verdimo-defaults: %s, %s, %s\n", defaults.c_str(), sample.c_str(), model.c_str());
  return 0;
}
