#include "platform/file_sys.h"

#include <filesystem>

#include "platform/folders.h"

namespace fs = std::filesystem;

namespace platform {

CFileSys::CFileSys() : program_(programDir()) {
  setDir(DataBaseDir, "/DataBase");
  setDir(ProjektyDir, "/Projekty");
  setDir(GuiDir, "/Gui");
  setDir(HelpDir, "/Help");
  setDir(RootDir, "");
  setUserDir(UserDataDir, userDataDir());
  setUserDir(UserProjectsDir, userProjectsDir());
}

void CFileSys::setDir(int id, const std::string& suffix) {
  if (id >= 0 && id < static_cast<int>(slots_.size())) slots_[id] = program_ + suffix;
}

void CFileSys::setUserDir(int id, const std::string& path) {
  if (id >= 0 && id < static_cast<int>(slots_.size())) slots_[id] = path;
}

bool CFileSys::enterDir(int id) {
  std::error_code ec;
  saved_ = fs::current_path(ec).string();
  if (id < 0 || id >= static_cast<int>(slots_.size())) return false;
  fs::current_path(slots_[id], ec);
  return !ec;
}

void CFileSys::leaveDir() {
  std::error_code ec;
  if (!saved_.empty()) fs::current_path(saved_, ec);
}

const std::string& CFileSys::dirPath(int id) const {
  static const std::string none;
  if (id < 0 || id >= static_cast<int>(slots_.size())) return none;
  return slots_[id];
}

std::string CFileSys::filePath(int id, const std::string& name) const { return joinPath(dirPath(id), name); }

CFileSys& fileSys() {
  static CFileSys table;
  return table;
}

}  // namespace platform
