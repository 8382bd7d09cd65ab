#include "platform/folders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {
namespace {

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v && *v ? std::string(v) : std::string();
}

std::string stripSlash(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::string homeDir() {
  std::string h = env("HOME");
  if (!h.empty()) return stripSlash(h);
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return stripSlash(pw->pw_dir);
  return "/tmp";
}

// The documents folder from user-dirs.dirs, as xdg-user-dirs writes it.
std::string documentsDir() {
  std::string home = homeDir();
  std::string config = env("XDG_CONFIG_HOME");
  if (config.empty()) config = home + "/.config";
  std::ifstream in(config + "/user-dirs.dirs");
  std::string line;
  const std::string key = "XDG_DOCUMENTS_DIR=";
  while (std::getline(in, line)) {
    if (line.compare(0, key.size(), key) != 0) continue;
    std::string v = line.substr(key.size());
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    if (v.compare(0, 5, "$HOME") == 0) v = home + v.substr(5);
    if (!v.empty() && v.front() == '/') return stripSlash(v);
  }
  return home + "/Documents";
}

}  // namespace

std::string joinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

void prepareHeadlessGui() {
  if (env("QT_QPA_PLATFORM").empty()) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (!env("XDG_RUNTIME_DIR").empty()) return;
  const std::string dir = "/tmp/runtime-" + std::to_string(getuid());
  std::error_code ec;
  fs::create_directories(dir, ec);
  fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace, ec);
  if (!ec) setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}

std::string userDataDir() {
  std::string v = env("VERDIMO_USER_DATA");
  if (!v.empty()) return stripSlash(v);
  std::string xdg = env("XDG_DATA_HOME");
  if (!xdg.empty() && xdg.front() == '/') return stripSlash(xdg) + "/Verdimo";
  return homeDir() + "/.local/share/Verdimo";
}

std::string userProjectsDir() {
  std::string v = env("VERDIMO_USER_PROJECTS");
  if (!v.empty()) return stripSlash(v);
  return documentsDir() + "/Verdimo/Projekty";
}

std::string executableDir() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path(ec).string();
  return exe.parent_path().string();
}

std::string programDir() {
  std::string v = env("VERDIMO_HOME");
  if (!v.empty()) return stripSlash(v);
  fs::path exeDir = executableDir();
  std::error_code ec;
  if (fs::is_directory(exeDir / "DataBase", ec)) return exeDir.string();
  return (exeDir.parent_path() / "share" / "verdimo").string();
}

}  // namespace platform
