#include "fuzz/fuzz_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fuzzing {

namespace fs = std::filesystem;

namespace {

void removeScratch() {
  std::error_code ec;
  fs::remove_all(scratchDir(), ec);
}

}  // namespace

const std::string& scratchDir() {
  // Never destroyed: the exit handler that removes the folder needs it.
  static const std::string& dir = *new std::string([] {
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path d = base / ("verdimo-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(d);
    std::atexit(removeScratch);
    return d.string();
  }());
  return dir;
}

std::string writeScratch(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = scratchDir() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path;
}

std::string programDir() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : self.parent_path().string();
}

}  // namespace fuzzing
