#pragma once
// The directory table: the folders the program works in, by id. Files are
// opened by bare name between enterDir and leaveDir.

#include <array>
#include <string>

namespace platform {

enum DirId {
  GuiDir = 0,
  DataBaseDir = 1,
  RootDir = 2,
  ProjektyDir = 3,
  HelpDir = 4,
  UserDataDir = 5,
  UserProjectsDir = 6,
};

class CFileSys {
 public:
  // Fills ids 0 to 6 from the program folder and the user folders.
  CFileSys();

  // Slot `id` = program folder + suffix (ids 0 to 4).
  void setDir(int id, const std::string& suffix);
  // Slot `id` = `path` as it is (the user folders).
  void setUserDir(int id, const std::string& path);
  // Makes slot `id` the current directory, keeping the current one for
  // leaveDir. Returns false when the folder cannot be entered.
  bool enterDir(int id);
  // Goes back to the directory kept by enterDir.
  void leaveDir();
  // The folder of slot `id`; empty for an unknown id.
  const std::string& dirPath(int id) const;
  // A file `name` in slot `id`.
  std::string filePath(int id, const std::string& name) const;

  const std::string& programFolder() const { return program_; }

 private:
  std::string program_;
  std::string saved_;
  std::array<std::string, 7> slots_;
};

// The directory table of the running program.
CFileSys& fileSys();

}  // namespace platform
