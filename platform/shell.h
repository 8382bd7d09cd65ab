#pragma once
// Handing files to the desktop: opening a file with its default program,
// opening a report in the word processor, printing an HTML report on the
// default printer. The work itself is done by the current shell backend:
// the program uses the desktop's, tests install one that starts nothing.
// Paths are UTF-8; messages are Windows-1250, ready for a message box.

#include <string>
#include <vector>

class QTextDocument;

namespace platform {

struct ShellResult {
  bool ok = true;
  std::string message;  // Windows-1250; what went wrong when !ok
};

// Opens `path` with the desktop's default handler for its type.
ShellResult openWithDefault(const std::string& path);
// Opens `path` in LibreOffice Writer when it is installed, otherwise (or
// when it cannot be started) with the default handler.
ShellResult openInWordProcessor(const std::string& path);
// Prints the HTML report `path` (Windows-1250) on the system's default
// printer. Relative links in it (a logo) are taken from the report's folder.
ShellResult printHtmlFile(const std::string& path);

enum class PrintOutcome { Printed, NoPrinter, Failed };

class ShellBackend {
 public:
  virtual ~ShellBackend() = default;
  // Hands the existing file `path` to the default handler; false when it could not.
  virtual bool openDefault(const std::string& path) = 0;
  // Starts `program` with `arguments` without waiting for it; false when it did not start.
  virtual bool startDetached(const std::string& program, const std::vector<std::string>& arguments) = 0;
  // Prints `document` on the system's default printer.
  virtual PrintOutcome printOnDefaultPrinter(QTextDocument& document) = 0;
};

// The current backend; without one set, the desktop's own.
ShellBackend& shell();
// Installs `backend` (not owned); null goes back to the desktop's own.
void setShellBackend(ShellBackend* backend);

// Keeps every request and starts nothing; installs itself for its lifetime.
class RecordingShellBackend : public ShellBackend {
 public:
  struct Start {
    std::string program;
    std::vector<std::string> arguments;
  };

  RecordingShellBackend() { setShellBackend(this); }
  ~RecordingShellBackend() override { setShellBackend(nullptr); }
  bool openDefault(const std::string& path) override {
    opened.push_back(path);
    return openSucceeds;
  }
  bool startDetached(const std::string& program, const std::vector<std::string>& arguments) override {
    started.push_back({program, arguments});
    return startSucceeds;
  }
  // Keeps the document's plain text (UTF-8) in `printed`.
  PrintOutcome printOnDefaultPrinter(QTextDocument& document) override;

  std::vector<std::string> opened;
  std::vector<Start> started;
  std::vector<std::string> printed;
  bool openSucceeds = true;
  bool startSucceeds = true;
  PrintOutcome printOutcome = PrintOutcome::Printed;
};

}  // namespace platform
