// The project file: every record written and read back, old versions,
// damaged files and the appended background image.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "document/graphic_plane.h"
#include "document/project_file.h"
#include "document/settings_file.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
#include "objects/symbols.h"
#include "platform/textcodec.h"
#include "tests/catalogue_file_builder.h"
#include "tests/support/scene_builder.h"

namespace {

using namespace testing_support;

struct Project {
  CGraphicPlane doc;
  AppSettings settings = freshInstallSettings();
  ProjectIo io{doc, shippedCatalogue(), settings, {}, makeTempDir("project-data")};
};

void buildScene(Project& p) {
  p.doc.sourcePressure = 3.0f;
  p.doc.sourceCapacity = 4.5f;
  p.doc.projectNo = "12/2026";
  p.doc.investor = platform::utf8ToCp1250("Jan Kowalski_senior");
  p.doc.objectName = platform::utf8ToCp1250("Ogród przy ul. Lipowej");
  p.doc.companyName = "Zielone Ogrody";
  p.doc.author = "A. Nowak";
  addEveryTerrain(p.doc, {0, 0});
  addEveryObject(p.doc, shippedCatalogue(), {0, 0});
  // A set that came with a project file: its key carries the top bit.
  for (const auto& o : p.doc.objects())
    if (o->GetType() == kTypeSet) o->kindWord = 0x80001005u;
}

}  // namespace

TEST(ProjectFile, EveryRecordSurvivesAndResavesTheSame) {
  Project a;
  buildScene(a);
  const std::string first = writeProjectText(a.io);
  EXPECT_EQ(first.substr(0, 6), "1.12\r\n");

  Project b;
  ProjectResult r = readProjectText(b.io, first);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_TRUE(r.message.empty());
  ASSERT_EQ(b.doc.objects().size(), a.doc.objects().size());
  ASSERT_EQ(b.doc.terrain().size(), a.doc.terrain().size());
  for (size_t i = 0; i < a.doc.objects().size(); ++i) {
    const CWBase& x = *a.doc.objects()[i];
    const CWBase& y = *b.doc.objects()[i];
    EXPECT_EQ(y.listCode, x.listCode) << i;
    EXPECT_EQ(y.elem, x.elem) << "type " << x.GetType();
    EXPECT_EQ(y.GetSectionNo(), x.GetSectionNo()) << "type " << x.GetType();
    EXPECT_NEAR(y.GetFlow(), x.GetFlow(), 1e-3 + 1e-4 * std::fabs(x.GetFlow())) << "type " << x.GetType();
  }
  EXPECT_EQ(b.doc.investor, a.doc.investor);
  EXPECT_EQ(b.doc.objectName, a.doc.objectName);
  EXPECT_EQ(b.doc.companyName, "Zielone Ogrody");
  EXPECT_EQ(b.doc.author, "A. Nowak");
  EXPECT_EQ(b.doc.sourcePressure, 3.0f);
  EXPECT_EQ(b.doc.sourceCapacity, 4.5f);
  EXPECT_EQ(b.doc.hasWaterSource, 1);

  // Written again, the file is the same to the byte.
  EXPECT_EQ(writeProjectText(b.io), first);
}

TEST(ProjectFile, WrittenAtZoomOne) {
  Project a;
  buildScene(a);
  a.doc.setZoom(1.0f);
  const std::string atOne = writeProjectText(a.io);
  const std::string path = makeTempDir("zoom") + "/plan.prj";
  a.doc.setZoom(3.0f);
  ASSERT_TRUE(saveProject(a.io, path).ok);
  EXPECT_EQ(a.doc.zoom, 3.0);
  std::string saved;
  ASSERT_TRUE(readWholeFile(path, saved));
  EXPECT_EQ(saved, atOne);
}

TEST(ProjectFile, AnEmptyProject) {
  Project a;
  a.doc.projectDate.clear();
  const std::string text = writeProjectText(a.io);
  EXPECT_EQ(text.substr(0, 22), "1.12\r\n_\r\n_\r\n_\r\n_\r\n1222");
  EXPECT_EQ(text.substr(text.size() - 10), "12312332\r\n");
}

TEST(ProjectFile, VersionsAndMissingElements) {
  Project a;
  ProjectResult wrong = readProjectText(a.io, "1.13\n_\n_\n_\n_\n12312332\n");
  EXPECT_FALSE(wrong.ok);
  EXPECT_EQ(platform::cp1250ToUtf8(wrong.message), "Niewłaściwa wersja pliku.");
  EXPECT_EQ(wrong.caption, "Info!!");

  Project b;
  b.settings.companyName = "Firma z ustawień";
  ProjectResult old = readProjectText(b.io, "1.1\nA\nB\nC\nD\n12312332\n");
  EXPECT_TRUE(old.ok);
  EXPECT_NE(platform::cp1250ToUtf8(old.message).find("poprzedniej wersji"), std::string::npos);
  EXPECT_EQ(b.doc.projectNo, "");
  EXPECT_EQ(b.doc.companyName, "Firma z ustawień");

  Project c;
  ProjectResult missing = readProjectText(
      c.io, "1.12\n_\n_\n_\n_\n1012\n10\n10\n0\n-10\n10\n1\nNOSUCH\n12312332\n");
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(platform::cp1250ToUtf8(missing.message).find("Nie znaleziono w bazie danych"), std::string::npos);

  Project d;
  EXPECT_FALSE(loadProject(d.io, "/nonexistent/plan.prj").ok);
}

TEST(ProjectFile, PipesWithoutElementAndDamagedCounts) {
  Project a;
  auto pipe = std::make_unique<CWPipe>();
  pipe->AddVertex({10, 10});
  pipe->AddVertex({100, 10});
  a.doc.addObject(kTypePipe, std::move(pipe));
  const std::string text = writeProjectText(a.io);
  EXPECT_NE(text.find("1001\r\n2\r\n10\r\n10\r\n100\r\n10\r\n99999\r\n-10\r\n10\r\n1\r\n999999\r\n"),
            std::string::npos);
  Project b;
  ASSERT_TRUE(readProjectText(b.io, text).ok);
  auto& back = static_cast<CWPipe&>(*b.doc.objects()[0]);
  EXPECT_EQ(back.elem, nullptr);
  EXPECT_EQ(back.typeAssigned, 0);
  EXPECT_EQ(back.vertexCount(), 2);

  // A point count far beyond the capacity and the file: read what is there.
  Project c;
  ProjectResult r = readProjectText(c.io, "1.12\n_\n_\n_\n_\n3\n4000000000\n1\n2\n3\n4\n");
  EXPECT_TRUE(r.ok);
  ASSERT_EQ(c.doc.terrain().size(), 1u);
  // Unknown tags and a fill record without a primitive are skipped.
  Project d;
  EXPECT_TRUE(readProjectText(d.io, "1.12\n_\n_\n_\n_\n777\n12648447\n2000\n12312332\n").ok);
  EXPECT_TRUE(d.doc.objects().empty());
}

TEST(ProjectFile, OldValveRecordWithoutSectionTriple) {
  Project a;
  const std::string number = "AQ1001";  // not a valve; any element resolves
  ProjectResult r = readProjectText(a.io,
                                    "1.1\n_\n_\n_\n_\n"
                                    "1003\n100\n100\n110\n100\n100\n80\n1.57\n0\n-12\n12\n1\n1\n2.5\n3\n"
                                    "1003\n200\n100\n210\n100\n200\n80\n1.57\n0\n-12\n12\n1\n0\n" +
                                        number + "\n12312332\n");
  ASSERT_TRUE(r.ok) << r.message;
  ASSERT_EQ(a.doc.objects().size(), 2u);
  EXPECT_EQ(a.doc.sourcePressure, 2.5f);
  EXPECT_EQ(a.doc.sourceCapacity, 3.0f);
  EXPECT_EQ(static_cast<CWValve&>(*a.doc.objects()[0]).IsWaterSource(), 1);
  EXPECT_EQ(a.doc.objects()[1]->elem->kind, 0u);
}

TEST(ProjectFile, BackgroundImageTravelsInTheFile) {
  Project a;
  const std::string dir = makeTempDir("background");
  const std::string image = dir + "/site.png";
  std::string bytes = "\x89PNG\r\n\x1a\n12312332 inside the picture";
  bytes += std::string(1000, '\xAB');
  std::ofstream(image, std::ios::binary) << bytes;
  a.doc.hasBackground = 1;
  a.doc.backgroundFile = image;
  const std::string path = dir + "/plan.prj";
  ASSERT_TRUE(saveProject(a.io, path).ok);

  Project b;
  b.io.userDataDir = makeTempDir("background-data");
  ProjectResult r = loadProject(b.io, path);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(b.doc.hasBackground, 1);
  ASSERT_FALSE(b.doc.backgroundTempFile.empty());
  EXPECT_EQ(b.doc.backgroundFile, b.doc.backgroundTempFile);
  EXPECT_EQ(b.doc.backgroundTempFile.substr(b.doc.backgroundTempFile.size() - 4), ".tmp");
  std::string extracted;
  ASSERT_TRUE(readWholeFile(b.io.userDataDir + "/" + b.doc.backgroundTempFile, extracted));
  EXPECT_EQ(extracted, bytes);

  // Saved again, the extracted copy is appended.
  const std::string again = dir + "/again.prj";
  ASSERT_TRUE(saveProject(b.io, again).ok);
  std::string one, two;
  readWholeFile(path, one);
  readWholeFile(again, two);
  EXPECT_EQ(one, two);
}

TEST(ProjectFile, TheImageStartsAfterTheEndMarkerTheReaderMeets) {
  // The marker's digits appear earlier as values: a terrain colour that is
  // the whole token, and inside the company's phone number.
  Project a;
  buildScene(a);
  a.doc.companyPhone = "+48 123123321";
  a.doc.terrain()[0]->colour = 12312332;
  const std::string dir = makeTempDir("marker");
  const std::string image = dir + "/site.bmp";
  const std::string bytes = "BM\n12312332\r\n" + std::string(300, '\x5A');
  std::ofstream(image, std::ios::binary) << bytes;
  a.doc.hasBackground = 1;
  a.doc.backgroundFile = image;
  const std::string records = writeProjectText(a.io);
  const std::string path = dir + "/plan.prj";
  ASSERT_TRUE(saveProject(a.io, path).ok);

  // The same file with bare line feeds before the image reads the same.
  std::string lf = records;
  for (size_t at = lf.find("\r\n"); at != std::string::npos; at = lf.find("\r\n", at)) lf.erase(at, 1);
  const std::string lfPath = dir + "/plan-lf.prj";
  std::ofstream(lfPath, std::ios::binary) << lf << bytes;

  for (const std::string& file : {path, lfPath}) {
    SCOPED_TRACE(file);
    Project b;
    b.io.userDataDir = makeTempDir("marker-data");
    ProjectResult r = loadProject(b.io, file);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(b.doc.objects().size(), a.doc.objects().size());
    EXPECT_EQ(b.doc.terrain()[0]->colour, 12312332u);
    EXPECT_EQ(b.doc.companyPhone, "+48 123123321");
    EXPECT_EQ(b.doc.hasBackground, 1);
    std::string extracted;
    ASSERT_TRUE(readWholeFile(b.io.userDataDir + "/" + b.doc.backgroundTempFile, extracted));
    EXPECT_EQ(extracted, bytes);
  }
}

TEST(ProjectFile, AStaticSprinklerWithoutNozzleKeepsTheFileInStep) {
  Project a;
  buildScene(a);
  CWStaticSprinkler* body = nullptr;
  for (const auto& o : a.doc.objects())
    if (o->GetType() == kTypeStaticSprinkler) body = static_cast<CWStaticSprinkler*>(o.get());
  ASSERT_NE(body, nullptr);
  body->nozzle = nullptr;
  const std::string text = writeProjectText(a.io);

  Project b;
  ProjectResult r = readProjectText(b.io, text);
  ASSERT_TRUE(r.ok) << r.message;
  ASSERT_EQ(b.doc.objects().size(), a.doc.objects().size());
  for (size_t i = 0; i < a.doc.objects().size(); ++i) {
    EXPECT_EQ(b.doc.objects()[i]->listCode, a.doc.objects()[i]->listCode) << i;
    EXPECT_EQ(b.doc.objects()[i]->GetSectionNo(), a.doc.objects()[i]->GetSectionNo()) << i;
    if (a.doc.objects()[i].get() == body) {
      EXPECT_EQ(static_cast<CWStaticSprinkler&>(*b.doc.objects()[i]).nozzle, nullptr);
    }
  }
}
