#pragma once
// The application as the program and the command line share it: start-up
// with its folders, settings and catalogue, the open project, and exit.

#include <memory>
#include <string>

#include "document/autosave.h"
#include "document/graphic_plane.h"
#include "document/project_file.h"
#include "partix.h"
#include "platform/canvas.h"
#include "sections/connection_sets.h"

struct Application {
  CPartix catalogue;
  std::string catalogueFile;  // absolute path of the catalogue loaded
  std::string catalogueDir;   // its folder: the pictures' folder too
  std::unique_ptr<CDBSets> sets;
  std::unique_ptr<CGraphicPlane> document;  // the open project, if any
  // The open project's background image as read when it was opened (null
  // when it has none or the picture cannot be read). The plan view, the
  // sheet and the command line draw this one copy.
  std::shared_ptr<const platform::Image> background;
  CAutosave autosave;
  bool started = false;
};

Application& application();

struct StartupOptions {
  // Load this catalogue file instead of the program folder's.
  std::string catalogueFile;
};

// A start-up that cannot go on says why (Windows-1250 message and caption).
struct StartupResult {
  bool ok = true;
  std::string message;
  std::string caption;
};

// Copies "wnd.ini", "seq.dat" and "sets.zdb" from the program folder's
// Defaults/ into the user data folder where they are missing, and makes the
// user's projects folder. Returns false when the folders cannot be made.
bool provisionUserFolders();

// Brings the model up: print layout, folders, configuration values, section
// colours, settings, catalogue, prices, connection sets.
StartupResult startUp(const StartupOptions& options = {});
// Releases the project, the connection sets and the catalogue.
void shutDown();

// The project file's blocks wired to the application's section table,
// print layout, extra report elements and connection sets.
ProjectIo projectIo(CGraphicPlane& doc);

// A new empty project replaces the open one.
void newProject();
// Opens `path`; the open project is replaced only when it reads. The result
// carries the message to show (an error, or a note on an old file).
// Opening decides the drawing scale for every user of the project: a plan
// whose background image reads has 28 plan units per centimetre (the image
// is kept in Application::background), any other 29; the rotary
// sprinklers' radii then follow that scale and their reductions.
ProjectResult openProject(const std::string& path);
// Saves the open project under `path`.
ProjectResult saveOpenProject(const std::string& path);
void closeProject();
