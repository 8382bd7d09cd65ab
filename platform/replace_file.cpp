#include "platform/replace_file.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMarker = ".verdimo-tmp-";

// The parts of the temporary names of `path`: "<folder>/.<name>.verdimo-tmp-<pid>".
std::string prefixOf(const fs::path& target) { return "." + target.filename().string() + std::string(kMarker); }

bool processAlive(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

// Temporaries of this file left by writes whose process has gone.
void removeStaleTemporaries(const fs::path& target) {
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const std::string prefix = prefixOf(target);
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code kind;
    if (!it->is_regular_file(kind)) continue;  // only files this function made
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string digits = name.substr(prefix.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 10) continue;
    const long pid = std::strtol(digits.c_str(), nullptr, 10);
    if (pid == static_cast<long>(::getpid()) || !processAlive(pid)) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
}

bool writeAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

void syncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string replaceTemporaryName(const std::string& path, long pid) {
  const fs::path target(path);
  return (target.parent_path() / (prefixOf(target) + std::to_string(pid))).string();
}

bool replaceFile(const std::string& path, std::string_view bytes) {
  const fs::path target(path);
  removeStaleTemporaries(target);
  const std::string tmp = replaceTemporaryName(path, static_cast<long>(::getpid()));
  const std::string folder = target.has_parent_path() ? target.parent_path().string() : std::string(".");
  // Where the file system allows it the new contents are written to a file
  // without a name, which a killed process cannot leave behind; it is named
  // only once complete, just before it takes the old file's place.
  int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  const bool unnamed = fd >= 0;
  if (!unnamed) fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  // The new contents are on the disk before they take the old ones' place.
  bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
  if (written && unnamed) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    ::unlink(tmp.c_str());  // a left-over of this process, should there be one
    written = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, tmp.c_str(), AT_SYMLINK_FOLLOW) == 0;
  }
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    ::unlink(tmp.c_str());
    return false;
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  syncFolder(target.parent_path());
  return true;
}

}  // namespace platform
