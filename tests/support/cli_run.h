#pragma once
// verdimo-cli run by tests: its output, its messages and its exit status.
// The including test defines VERDIMO_CLI, the program's path.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace testing_support {

struct CliRun {
  int status = -1;
  std::string out, err;
};

// Runs `command` through the shell, its error output into `errFile`.
inline CliRun runCommand(const std::string& command, const std::string& errFile) {
  CliRun r;
  FILE* p = popen((command + " 2>" + errFile).c_str(), "r");
  if (!p) return r;
  std::array<char, 65536> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  std::ifstream err(errFile, std::ios::binary);
  r.err.assign(std::istreambuf_iterator<char>(err), {});
  return r;
}

// The command line with a user of its own: their data, projects and
// configuration under `user`, their messages in `user`/stderr.txt.
inline CliRun runCliAs(const std::string& user, const std::string& args) {
  const std::string env = "VERDIMO_USER_DATA=" + user + "/data VERDIMO_USER_PROJECTS=" + user +
                          "/projects VERDIMO_CONFIG=" + user + "/verdimo.ini ";
  return runCommand(env + VERDIMO_CLI + " " + args, user + "/stderr.txt");
}

}  // namespace testing_support
