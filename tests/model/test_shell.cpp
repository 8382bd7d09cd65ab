// Handing files to the desktop, with a backend that starts nothing.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QUrl>
#include <string>
#include <vector>

#include "platform/folders.h"
#include "platform/shell.h"
#include "platform/textcodec.h"

namespace {

using namespace platform;

class ShellTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!QGuiApplication::instance()) {
      prepareHeadlessGui();
      static int argc = 1;
      static char name[] = "test";
      static char* argv[] = {name, nullptr};
      new QGuiApplication(argc, argv);
    }
  }

  void SetUp() override {
    ASSERT_TRUE(tmp.isValid());
    ASSERT_TRUE(QDir(tmp.path()).mkpath("bin"));
    savedPath = qgetenv("PATH");
    qputenv("PATH", QByteArray(bin().c_str()));
    document = writeFile("plan.rtf", "{\\rtf1 plan}");
  }
  void TearDown() override { qputenv("PATH", savedPath); }

  std::string bin() const { return tmp.path().toStdString() + "/bin"; }

  std::string writeFile(const std::string& relative, const QByteArray& bytes) {
    const QString path = tmp.path() + "/" + QString::fromStdString(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path.toStdString();
  }

  // An executable `name` on the test's PATH.
  void install(const std::string& name) {
    QFile f(QString::fromStdString(bin() + "/" + name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nexit 0\n");
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
  }

  QTemporaryDir tmp;
  QByteArray savedPath;
  std::string document;
  RecordingShellBackend backend;
};

TEST_F(ShellTest, WordProcessorIsWriterWhenInstalledElseTheDefaultHandler) {
  struct Case {
    std::vector<std::string> installed;
    std::string program;  // empty: the default handler
    bool writerSwitch;
  };
  const Case cases[] = {
      {{}, "", false},
      {{"lowriter"}, "lowriter", false},
      {{"soffice"}, "soffice", true},
      {{"libreoffice", "soffice"}, "libreoffice", true},
      {{"soffice", "lowriter"}, "lowriter", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program.empty() ? "none" : c.program);
    QDir(QString::fromStdString(bin())).removeRecursively();
    QDir().mkpath(QString::fromStdString(bin()));
    for (const std::string& name : c.installed) install(name);
    backend.opened.clear();
    backend.started.clear();

    const ShellResult r = openInWordProcessor(document);
    EXPECT_TRUE(r.ok) << r.message;
    if (c.program.empty()) {
      EXPECT_TRUE(backend.started.empty());
      EXPECT_EQ(backend.opened, std::vector<std::string>{document});
    } else {
      ASSERT_EQ(backend.started.size(), 1u);
      EXPECT_EQ(backend.started[0].program, bin() + "/" + c.program);
      const std::vector<std::string> expected =
          c.writerSwitch ? std::vector<std::string>{"--writer", document} : std::vector<std::string>{document};
      EXPECT_EQ(backend.started[0].arguments, expected);
      EXPECT_TRUE(backend.opened.empty());
    }
  }
}

TEST_F(ShellTest, WriterThatWillNotStartLeavesItToTheDefaultHandler) {
  install("lowriter");
  backend.startSucceeds = false;
  EXPECT_TRUE(openInWordProcessor(document).ok);
  EXPECT_EQ(backend.started.size(), 1u);
  EXPECT_EQ(backend.opened, std::vector<std::string>{document});

  backend.openSucceeds = false;
  const ShellResult r = openInWordProcessor(document);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, utf8ToCp1250("Nie można otworzyć pliku " + document));
}

TEST_F(ShellTest, MissingFileIsReportedAndNothingIsStarted) {
  install("lowriter");
  const std::string missing = tmp.path().toStdString() + "/brak.htm";
  const std::string cannotOpen = utf8ToCp1250("Nie można otworzyć pliku " + missing);

  ShellResult r = openWithDefault(missing);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, cannotOpen);
  r = openInWordProcessor(missing);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, cannotOpen);
  r = printHtmlFile(missing);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, utf8ToCp1250("Nie można odczytać pliku " + missing));

  EXPECT_TRUE(backend.opened.empty());
  EXPECT_TRUE(backend.started.empty());
  EXPECT_TRUE(backend.printed.empty());
}

TEST_F(ShellTest, PrinterOutcomesBecomeMessages) {
  const std::string report = writeFile("raport.htm", "<html><body>x</body></html>");
  struct Case {
    PrintOutcome outcome;
    bool ok;
    std::string message;  // UTF-8
  };
  const Case cases[] = {
      {PrintOutcome::Printed, true, ""},
      {PrintOutcome::NoPrinter, false,
       "Nie znaleziono drukarki. Zainstaluj drukarkę w systemie i spróbuj ponownie."},
      {PrintOutcome::Failed, false, "Błąd drukarki."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    backend.printOutcome = c.outcome;
    const ShellResult r = printHtmlFile(report);
    EXPECT_EQ(r.ok, c.ok);
    EXPECT_EQ(r.message, utf8ToCp1250(c.message));
  }
}

// Looks at the document while it is being printed: its text, and whether
// the logo the report links to can be loaded.
class InspectingBackend : public RecordingShellBackend {
 public:
  PrintOutcome printOnDefaultPrinter(QTextDocument& document) override {
    logo = document.resource(QTextDocument::ImageResource, QUrl("logo.png")).value<QImage>();
    return RecordingShellBackend::printOnDefaultPrinter(document);
  }
  QImage logo;
};

TEST_F(ShellTest, Windows1250ReportIsDecodedAndFindsItsLogo) {
  InspectingBackend inspecting;  // installed over the fixture's backend
  const std::string html =
      "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=Windows-1250\">"
      "</head><body><img src=\"logo.png\"><p>Ogród w Łodzi: Łódź, ul. Źródlana 5, zażółć gęślą jaźń</p>"
      "</body></html>";
  const std::string cp1250 = utf8ToCp1250(html);
  // The report sits in a folder of its own, not the working directory.
  const std::string report = writeFile("Zestawienie ślimaków/raport.htm", QByteArray(cp1250.data(), cp1250.size()));
  QImage logo(8, 4, QImage::Format_RGB32);
  logo.fill(Qt::green);
  ASSERT_TRUE(logo.save(QFileInfo(QString::fromStdString(report)).absolutePath() + "/logo.png"));

  const ShellResult r = printHtmlFile(report);
  EXPECT_TRUE(r.ok) << r.message;
  ASSERT_EQ(inspecting.printed.size(), 1u);
  EXPECT_NE(inspecting.printed[0].find("Łódź"), std::string::npos) << inspecting.printed[0];
  EXPECT_NE(inspecting.printed[0].find("zażółć gęślą jaźń"), std::string::npos);
  EXPECT_EQ(inspecting.logo.size(), QSize(8, 4));
}

}  // namespace
