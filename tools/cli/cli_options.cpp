#include "tools/cli/cli_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace cli {

Options::Options(int argc, char** argv, int first, const std::vector<std::string>& valued) {
  for (int i = first; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      std::string value;
      if (auto eq = arg.find('='); eq != std::string::npos) {
        value = arg.substr(eq + 1);
        arg.resize(eq);
      } else if (std::find(valued.begin(), valued.end(), arg) != valued.end()) {
        if (i + 1 >= argc) throw UsageError("option " + arg + " needs a value");
        value = argv[++i];
      }
      values_[arg] = value;
    } else if (arg == "-o") {
      if (i + 1 >= argc) throw UsageError("option -o needs a file name");
      values_["-o"] = argv[++i];
    } else {
      positional_.push_back(arg);
    }
  }
}

std::optional<std::string> Options::value(const std::string& name) const {
  auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::optional<double> Options::number(const std::string& name) const {
  auto v = value(name);
  if (!v) return std::nullopt;
  double d = 0;
  auto r = std::from_chars(v->data(), v->data() + v->size(), d);
  if (v->empty() || r.ec != std::errc() || r.ptr != v->data() + v->size() || !std::isfinite(d))
    throw UsageError("option " + name + " needs a number, not \"" + *v + "\"");
  return d;
}

void Options::allowOnly(const std::vector<std::string>& known) const {
  for (const auto& [name, value] : values_)
    if (std::find(known.begin(), known.end(), name) == known.end()) throw UsageError("unknown option " + name);
}

void applyCommonOptions(const Options& options) {
  if (auto home = options.value("--home")) setenv("VERDIMO_HOME", home->c_str(), 1);
  if (auto data = options.value("--user-data")) setenv("VERDIMO_USER_DATA", data->c_str(), 1);
}

}  // namespace cli
