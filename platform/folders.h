#pragma once
// The folders the system works in, as Linux places them.

#include <string>

namespace platform {

// The user's application-data folder: $VERDIMO_USER_DATA, else
// $XDG_DATA_HOME/Verdimo, else ~/.local/share/Verdimo. Never ends with '/'.
std::string userDataDir();

// The user's projects folder: $VERDIMO_USER_PROJECTS, else the XDG documents
// folder + /Verdimo/Projekty.
std::string userProjectsDir();

// The program folder (holding Gui/, DataBase/, Help/, Projekty/):
// $VERDIMO_HOME, else the executable's folder when it holds DataBase/ (a build
// tree), else <prefix>/share/verdimo next to the executable's bin/.
std::string programDir();

// The folder of the running executable.
std::string executableDir();

// Prepares the environment of a program that draws with Qt but shows no
// window: the offscreen platform unless another is asked for, and a private
// runtime folder when the session provides none.
void prepareHeadlessGui();

// Joins two path pieces with one '/'.
std::string joinPath(const std::string& dir, const std::string& name);

}  // namespace platform
