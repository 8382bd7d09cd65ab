#pragma once
// Command-line arguments of verdimo-cli: positional words and --options.

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// A usage or input error; main prints it and exits with status 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A failure while doing the work; main prints it and exits with status 1.
struct CommandError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Options {
 public:
  // `valued` lists the options that take a value (as "--name").
  Options(int argc, char** argv, int first, const std::vector<std::string>& valued);

  const std::vector<std::string>& positional() const { return positional_; }
  std::optional<std::string> value(const std::string& name) const;
  // The option's value as a number; a value that is no number is a UsageError.
  std::optional<double> number(const std::string& name) const;
  // Throws a UsageError when an option not in `known` was given.
  void allowOnly(const std::vector<std::string>& known) const;

 private:
  std::vector<std::string> positional_;
  std::map<std::string, std::string> values_;
};

// Applies the options every command shares: --home sets the program folder,
// --user-data the application-data folder (through the environment, before
// anything reads them).
void applyCommonOptions(const Options& options);

}  // namespace cli
