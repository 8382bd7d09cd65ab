#include "platform/shell.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTextDocument>
#include <QUrl>

#include "platform/textcodec.h"

namespace platform {
namespace {

QString qs(const std::string& utf8) { return QString::fromStdString(utf8); }

class DesktopShell : public ShellBackend {
 public:
  bool openDefault(const std::string& path) override {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(qs(path)).absoluteFilePath()));
  }

  bool startDetached(const std::string& program, const std::vector<std::string>& arguments) override {
    QStringList args;
    for (const std::string& a : arguments) args << qs(a);
    return QProcess::startDetached(qs(program), args);
  }

  PrintOutcome printOnDefaultPrinter(QTextDocument& document) override {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return PrintOutcome::NoPrinter;
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid()) return PrintOutcome::Failed;
    QString name = document.metaInformation(QTextDocument::DocumentTitle);
    if (name.isEmpty()) name = document.baseUrl().fileName();
    printer.setDocName(name);
    document.print(&printer);
    return printer.printerState() == QPrinter::Error ? PrintOutcome::Failed : PrintOutcome::Printed;
  }
};

ShellBackend* gBackend = nullptr;

ShellResult failure(const std::string& utf8) { return {false, utf8ToCp1250(utf8)}; }

ShellResult cannotOpen(const std::string& path) { return failure("Nie można otworzyć pliku " + path); }

// The Writer of LibreOffice under the names it is installed by; the suite's
// own launchers need to be told to start the Writer.
struct WriterCommand {
  const char* name;
  bool needsWriterSwitch;
};
constexpr WriterCommand kWriterCommands[] = {
    {"lowriter", false},
    {"libreoffice", true},
    {"soffice", true},
};

}  // namespace

ShellBackend& shell() {
  static DesktopShell desktop;
  return gBackend ? *gBackend : desktop;
}

void setShellBackend(ShellBackend* backend) { gBackend = backend; }

ShellResult openWithDefault(const std::string& path) {
  if (!QFileInfo::exists(qs(path)) || !shell().openDefault(path)) return cannotOpen(path);
  return {};
}

ShellResult openInWordProcessor(const std::string& path) {
  if (!QFileInfo::exists(qs(path))) return cannotOpen(path);
  for (const WriterCommand& command : kWriterCommands) {
    const QString program = QStandardPaths::findExecutable(QString::fromLatin1(command.name));
    if (program.isEmpty()) continue;
    std::vector<std::string> arguments;
    if (command.needsWriterSwitch) arguments.push_back("--writer");
    arguments.push_back(path);
    if (shell().startDetached(program.toStdString(), arguments)) return {};
    break;  // installed but would not start: the default handler may still do
  }
  return openWithDefault(path);
}

ShellResult printHtmlFile(const std::string& path) {
  QFile file(qs(path));
  if (!file.open(QIODevice::ReadOnly)) return failure("Nie można odczytać pliku " + path);
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return failure("Nie można odczytać pliku " + path);

  QTextDocument document;
  // Relative links (the company logo) are resolved against the report's folder.
  document.setBaseUrl(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
  document.setHtml(qs(cp1250ToUtf8(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())))));

  switch (shell().printOnDefaultPrinter(document)) {
    case PrintOutcome::Printed: return {};
    case PrintOutcome::NoPrinter:
      return failure("Nie znaleziono drukarki. Zainstaluj drukarkę w systemie i spróbuj ponownie.");
    case PrintOutcome::Failed: break;
  }
  return failure("Błąd drukarki.");
}

PrintOutcome RecordingShellBackend::printOnDefaultPrinter(QTextDocument& document) {
  printed.push_back(document.toPlainText().toStdString());
  return printOutcome;
}

}  // namespace platform
