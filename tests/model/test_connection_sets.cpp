// Connection sets: the "sets.zdb" file, the editor's operations, the sets a
// project file carries, the lookup behind the placed sets' labels and the
// used-sets list of the project information.

#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/replace_file.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "document/graphic_plane.h"
#include "document/token_stream.h"
#include "objects/cable_set.h"
#include "partix.h"
#include "platform/message_sink.h"
#include "platform/textcodec.h"
#include "sections/connection_sets.h"
#include "tests/support/scene_builder.h"

namespace fs = std::filesystem;

namespace {

using platform::RecordingMessageSink;
using Status = CDBSets::ProjectStatus;

std::string cp(const char* utf8) { return platform::utf8ToCp1250(utf8); }

// A small catalogue, built once: index 0 pipe "PE25", 1 fitting "T25",
// 2 fitting "K25" (archived), 3 pipe "PE32", 4 HADAR base numbered by its
// component "HC01".
CPartix& catalogue() {
  static CPartix* root = [] {
    auto* c = new CPartix;
    auto add = [&](PartixKind kind, const char* name, const char* number, bool archived = false) {
      CElem e;
      e.InitData(kind);
      std::strncpy(e.data->name, name, sizeof e.data->name - 1);
      std::strncpy(e.data->catalogueNo, number, sizeof e.data->catalogueNo - 1);
      e.archived = archived ? 1 : 0;
      if (kind == kKindHadarBase) {
        auto* base = static_cast<CMicroSprinklerHADAR*>(e.data);
        base->componentCount = 1;
        std::strncpy(base->components[0].componentCatNo, "HC01", sizeof base->components[0].componentCatNo - 1);
      }
      c->AddElement(&e);
    };
    add(kKindPipe, "Rura PE <25>", "PE25");
    add(kKindFitting, "Trojnik 25", "T25");
    add(kKindFitting, "Kolano 25", "K25", true);
    add(kKindPipe, "Rura PE <32>", "PE32");
    add(kKindHadarBase, "Podstawa HADAR", "");
    return c;
  }();
  return *root;
}

CElem* elem(int index) {
  CElem* e = catalogue().head;
  while (index-- > 0) e = e->next;
  return e;
}

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "verdimo-sets-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() { fs::remove_all(path_); }
  const std::string& path() const { return path_; }
  std::string file() const { return path_ + "/sets.zdb"; }

 private:
  std::string path_;
};

// --- "sets.zdb" written byte by byte, independently of the writer -----------------

void u32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

std::string padded(const std::string& text, size_t width) {
  std::string out = text.substr(0, width);
  out.resize(width, '\0');
  return out;
}

struct FileSet {
  uint32_t id;
  std::string name;  // written as its first 20 bytes
  uint32_t hasPipe;
  std::vector<std::string> numbers;
};

std::string setsFile(const std::vector<FileSet>& sets, uint32_t magic = 983297) {
  std::string out;
  u32(out, magic);
  u32(out, static_cast<uint32_t>(sets.size()));
  for (const FileSet& s : sets) {
    u32(out, s.id);
    out += padded(s.name, 20);
    u32(out, static_cast<uint32_t>(s.numbers.size()));
    u32(out, s.hasPipe);
    for (const std::string& n : s.numbers) out += padded(n, 50);
  }
  return out;
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void addPlacedSet(CGraphicPlane& doc, uint32_t key, bool deleted = false) {
  auto s = std::make_unique<CWSet>();
  s->kindWord = key;
  s->deleted = deleted ? 1 : 0;
  doc.addObject(kTypeSet, std::move(s));
}

}  // namespace

// --- reading "sets.zdb" -------------------------------------------------------------

TEST(SetsFile, ReadsEveryFieldAndMarksElementsTheCatalogueLacks) {
  TempDir dir;
  writeBytes(dir.file(), setsFile({
                             {5003, "Linia A", 1, {"PE25", "T25", "HC01"}},
                             {5000, "Nazwa dokladnie 20 z", 0, {"GONE", "T25"}},
                         }));
  RecordingMessageSink sink;
  CDBSets sets;
  const CDBSets::LoadResult r = sets.load(dir.path(), catalogue());

  EXPECT_TRUE(r.opened);
  EXPECT_FALSE(r.damaged);
  EXPECT_FALSE(r.renumbered);
  EXPECT_EQ(r.missingElements, 1);
  ASSERT_EQ(sets.count(), 2);
  EXPECT_EQ(sets.size(), 10);
  const CDBSetItem& a = sets.item(0);
  EXPECT_EQ(a.id, 5003);
  EXPECT_EQ(a.name, "Linia A");
  EXPECT_EQ(a.hasPipe, 1);
  EXPECT_EQ(a.erased, 0);
  EXPECT_EQ(a.elems, (std::vector<CElem*>{elem(0), elem(1), elem(4)}));  // HADAR base by its component's number
  EXPECT_EQ(a.removed, (std::vector<int>{0, 0, 0}));
  const CDBSetItem& b = sets.item(1);
  EXPECT_EQ(b.name, "Nazwa dokladnie 20 z");  // 20 bytes, not terminated in the file
  EXPECT_EQ(b.hasPipe, 0);
  EXPECT_EQ(b.removed, (std::vector<int>{1, 0}));
  EXPECT_EQ(b.availableElements(), (std::vector<CElem*>{elem(1)}));

  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].text, "Uwaga nie znaleziono elementu zestawu w bazie danych w zestawie: Nazwa dokladnie 20 z");
  EXPECT_EQ(sink.shown[0].caption, "Informacja.");

  // New ids continue after the highest id, even when it is not the last one.
  EXPECT_EQ(sets.newSet("Nowy"), 2);
  EXPECT_EQ(sets.item(2).id, 5004);
  EXPECT_EQ(sets.find(5000), 1);
  EXPECT_EQ(sets.find(1234), -1);
}

TEST(SetsFile, IdsBelow4096AreRenumberedAndWrittenBackAtOnce) {
  TempDir dir;
  writeBytes(dir.file(), setsFile({{5, "A", 0, {"T25"}}, {9, "B", 1, {"PE25"}}, {7, "C", 0, {}}}));
  CDBSets sets;
  const CDBSets::LoadResult r = sets.load(dir.path(), catalogue());
  EXPECT_TRUE(r.renumbered);
  EXPECT_FALSE(r.rewriteFailed);
  EXPECT_EQ(sets.item(0).id, 4096);
  EXPECT_EQ(sets.item(1).id, 4097);
  EXPECT_EQ(sets.item(2).id, 4098);
  EXPECT_EQ(readBytes(dir.file()),
            setsFile({{4096, "A", 0, {"T25"}}, {4097, "B", 1, {"PE25"}}, {4098, "C", 0, {}}}));
  EXPECT_EQ(sets.newId(), 4099);
}

TEST(SetsFile, MissingFileReadsNothingAndKeepsTheCollection) {
  TempDir dir;
  RecordingMessageSink sink;
  CDBSets sets;
  sets.newSet("Zostaje");
  const CDBSets::LoadResult r = sets.load(dir.path(), catalogue());
  EXPECT_FALSE(r.opened);
  EXPECT_EQ(sets.count(), 1);
  EXPECT_TRUE(sink.shown.empty());
  CDBSets fresh;
  fresh.load(dir.path(), catalogue());
  EXPECT_EQ(fresh.count(), 0);
  EXPECT_EQ(fresh.newId(), 4097);
}

TEST(SetsFile, DamagedFilesGiveTheWholeRecordsBeforeTheDamageAndAMessage) {
  const std::string good = setsFile({{5000, "A", 0, {"T25"}}, {5001, "B", 0, {"T25", "PE25"}}});
  std::string hugeN = good;
  hugeN[4] = hugeN[5] = hugeN[6] = '\xFF';
  hugeN[7] = '\x7F';
  std::string hugeM = good;
  const size_t secondM = 8 + 32 + 50 + 24;
  hugeM[secondM + 3] = '\x7F';
  struct Case {
    const char* what;
    std::string bytes;
    int records;
  } cases[] = {
      {"empty file", "", 0},
      {"magic only", good.substr(0, 4), 0},
      {"wrong magic", setsFile({{5000, "A", 0, {"T25"}}}, 983298), 0},
      {"cut inside the second record's elements", good.substr(0, good.size() - 10), 1},
      {"cut inside the second record's head", good.substr(0, 8 + 82 + 20), 1},
      {"huge record count", hugeN, 2},
      {"huge element count", hugeM, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    writeBytes(dir.file(), c.bytes);
    RecordingMessageSink sink;
    CDBSets sets;
    sets.newSet("Przed");
    const CDBSets::LoadResult r = sets.load(dir.path(), catalogue());
    EXPECT_TRUE(r.damaged);
    EXPECT_EQ(sets.count(), c.records);
    if (c.records > 0) {
      EXPECT_EQ(sets.item(0).elems, (std::vector<CElem*>{elem(1)}));
    }
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_NE(sink.shown[0].text.find("jest uszkodzony"), std::string::npos);
    EXPECT_EQ(readBytes(dir.file()), c.bytes);  // never rewritten behind the user's back
  }
}

TEST(SetsFile, ADamagedFileWithLowIdsIsRenumberedButNotOverwritten) {
  TempDir dir;
  const std::string bytes = setsFile({{3, "A", 0, {"T25"}}, {4, "B", 0, {"T25"}}}).substr(0, 8 + 82 + 10);
  writeBytes(dir.file(), bytes);
  RecordingMessageSink sink;
  CDBSets sets;
  const CDBSets::LoadResult r = sets.load(dir.path(), catalogue());
  EXPECT_TRUE(r.damaged);
  EXPECT_TRUE(r.renumbered);
  EXPECT_EQ(sets.item(0).id, 4096);
  EXPECT_EQ(readBytes(dir.file()), bytes);
}

// --- writing "sets.zdb" ---------------------------------------------------------------

TEST(SetsFile, WritesOnlyWhatTheUserMadeWithTheAvailableElements) {
  TempDir dir;
  CDBSets sets;
  const int a = sets.newSet("Zestaw o nazwie 25 znakow");  // cut to 20 bytes in the file
  sets.addElement(a, elem(1));
  sets.addElement(a, elem(0));
  sets.addElement(a, elem(2));
  sets.removeElement(a, 0);
  const int erased = sets.newSet("Usuniety");
  sets.erase(erased);
  TokenWriter w;
  w.writeInt(77);
  w.writeText("Z projektu");
  w.writeInt(1);
  w.writeInt(0);
  w.writeToken("T25");
  TokenReader in(w.text());
  ASSERT_EQ(sets.addFromProject(in, catalogue()), Status::ok);
  const int b = sets.newSet("Pusty");

  ASSERT_TRUE(sets.save(dir.path()));
  EXPECT_EQ(readBytes(dir.file()), setsFile({{4097, "Zestaw o nazwie 25 z", 1, {"PE25", "K25"}},
                                             {static_cast<uint32_t>(sets.item(b).id), "Pusty", 0, {}}}));
  EXPECT_FALSE(fs::exists(dir.file() + ".tmp"));

  CDBSets back;
  back.load(dir.path(), catalogue());
  ASSERT_EQ(back.count(), 2);
  EXPECT_EQ(back.item(0).name, "Zestaw o nazwie 25 z");
  EXPECT_EQ(back.item(0).elems, (std::vector<CElem*>{elem(0), elem(2)}));
  EXPECT_EQ(back.item(0).hasPipe, 1);
  EXPECT_EQ(back.item(1).elemCount(), 0);
  EXPECT_EQ(back.lastId(), sets.item(b).id);
}

TEST(SetsFile, AFailedSaveIsReportedAndKeepsTheOldFile) {
  TempDir dir;
  CDBSets sets;
  sets.newSet("A");
  EXPECT_FALSE(sets.save(dir.path() + "/no-such-folder"));
  writeBytes(dir.file(), "old");
  fs::create_directory(platform::replaceTemporaryName(dir.file(), ::getpid()));  // the temporary copy cannot be made
  EXPECT_FALSE(sets.save(dir.path()));
  EXPECT_EQ(readBytes(dir.file()), "old");
}

// --- the editor's operations -------------------------------------------------------------

TEST(SetEditing, ElementsSlotsAndTheGrowingArray) {
  CDBSets sets;
  const int s = sets.newSet(std::string(120, 'x'));
  EXPECT_EQ(sets.item(s).name.size(), 98u);
  EXPECT_EQ(sets.item(s).id, 4097);

  // A fitting, then a pipe: hasPipe; removing the pipe keeps it.
  EXPECT_TRUE(sets.addElement(s, elem(1)));
  EXPECT_EQ(sets.item(s).hasPipe, 0);
  EXPECT_TRUE(sets.addElement(s, elem(0)));
  EXPECT_EQ(sets.item(s).hasPipe, 1);
  EXPECT_TRUE(sets.addElement(s, elem(1)));  // the same element twice counts twice
  EXPECT_TRUE(sets.removeElement(s, 1));
  EXPECT_EQ(sets.item(s).hasPipe, 1);
  EXPECT_EQ(sets.item(s).availableElements(), (std::vector<CElem*>{elem(1), elem(1)}));

  EXPECT_FALSE(sets.addElement(s, nullptr));
  EXPECT_FALSE(sets.addElement(5, elem(1)));
  EXPECT_FALSE(sets.removeElement(s, 3));
  EXPECT_FALSE(sets.removeElement(-1, 0));
  EXPECT_FALSE(sets.erase(1));

  for (int i = 0; i < 10; ++i) sets.newSet("S" + std::to_string(i));
  EXPECT_EQ(sets.count(), 11);
  EXPECT_EQ(sets.size(), 20);
  EXPECT_EQ(sets.item(10).id, 4107);
}

TEST(SetEditing, SetsInUseOnThePlan) {
  CGraphicPlane doc;
  addPlacedSet(doc, 4097);
  addPlacedSet(doc, 4098, true);
  EXPECT_TRUE(setUsedOnPlan(doc, 4097));
  EXPECT_FALSE(setUsedOnPlan(doc, 4098));
  EXPECT_FALSE(setUsedOnPlan(doc, 4099));
}

// --- the project file ---------------------------------------------------------------------

TEST(ProjectSets, WritesTheUsedSetsInAscendingKeyOrder) {
  CDBSets sets;
  const int own = sets.newSet("Moj zestaw");  // 4097
  sets.addElement(own, elem(1));
  sets.addElement(own, elem(0));
  sets.addElement(own, elem(1));
  sets.removeElement(own, 2);
  sets.newSet("Nieuzywany");  // 4098
  const int gone = sets.newSet("Tylko usuniety");  // 4099
  TokenWriter block;
  block.writeInt(4200);
  block.writeText("Z_projektu a");
  block.writeInt(1);
  block.writeInt(0);
  block.writeToken("HC01");
  TokenReader in(block.text());
  ASSERT_EQ(sets.addFromProject(in, catalogue()), Status::ok);
  const uint32_t projectKey = 0x80000000u | 4200;

  CGraphicPlane doc;
  addPlacedSet(doc, projectKey);
  addPlacedSet(doc, 4097);
  addPlacedSet(doc, projectKey);
  addPlacedSet(doc, static_cast<uint32_t>(sets.item(gone).id), true);
  addPlacedSet(doc, 9999);  // no such set: not counted, nothing written

  TokenWriter out;
  EXPECT_EQ(sets.writeProjectBlock(out, doc), 2);
  EXPECT_EQ(out.text(),
            "2\r\n"
            "4097\r\nMoj_zestaw\r\n2\r\n1\r\nT25\r\nPE25\r\n"
            "4200\r\nZ|projektu_a\r\n1\r\n0\r\nHC01\r\n");
  TokenWriter none;
  EXPECT_FALSE(sets.writeProjectSet(9999, none));
  EXPECT_TRUE(none.text().empty());
}

TEST(ProjectSets, ReadsTheBlockWithMarkedKeys) {
  TokenWriter w;
  w.writeInt(3);
  for (auto [id, name, hasPipe] : {std::tuple{4097, "Linia A", 1}, {12, "", 7}, {5000, "Dlugi", 0}}) {
    w.writeInt(id);
    w.writeText(name);
    w.writeInt(2);
    w.writeInt(hasPipe);
    w.writeToken("PE25");
    w.writeToken("T25");
  }
  w.writeInt(1222);  // the next record of the file
  TokenReader in(w.text());
  CDBSets sets;
  sets.newSet("Wlasny");
  ASSERT_EQ(sets.readProjectBlock(in, catalogue()), Status::ok);
  EXPECT_EQ(in.next(), "1222");
  ASSERT_EQ(sets.count(), 4);
  const CDBSetItem& a = sets.item(1);
  EXPECT_EQ(static_cast<uint32_t>(a.id), 0x80000000u | 4097);
  EXPECT_TRUE(a.fromProject());
  EXPECT_EQ(a.name, "Linia A");
  EXPECT_EQ(a.hasPipe, 1);
  EXPECT_EQ(a.erased, 0);
  EXPECT_EQ(a.availableElements(), (std::vector<CElem*>{elem(0), elem(1)}));
  EXPECT_EQ(static_cast<uint32_t>(sets.item(2).id), 0x80000000u | 4108);  // 12 raised by 4096
  EXPECT_EQ(sets.item(2).name, "");
  EXPECT_EQ(sets.item(2).hasPipe, 0);  // only the value 1 sets it

  // Project sets never reach "sets.zdb", and new ids are not taken from them.
  EXPECT_EQ(sets.newId(), 4098);
  TempDir dir;
  ASSERT_TRUE(sets.save(dir.path()));
  CDBSets back;
  back.load(dir.path(), catalogue());
  EXPECT_EQ(back.count(), 1);

  // The same block again replaces instead of doubling.
  TokenReader again(w.text());
  ASSERT_EQ(sets.readProjectBlock(again, catalogue()), Status::ok);
  EXPECT_EQ(sets.count(), 4);
}

TEST(ProjectSets, ABlockThatDoesNotReadAddsNothing) {
  struct Case {
    const char* what;
    const char* text;
    Status status;
  } cases[] = {
      {"element not in the catalogue", "2\r\n4097\r\nA\r\n1\r\n0\r\nT25\r\n4098\r\nB\r\n1\r\n0\r\nGONE\r\n",
       Status::missingElement},
      {"cut short", "2\r\n4097\r\nA\r\n1\r\n0\r\nT25\r\n4098\r\nB\r\n2\r\n0\r\nT25\r\n", Status::damaged},
      {"count is no number", "x\r\n", Status::damaged},
      {"negative count", "-1\r\n", Status::damaged},
      {"huge count", "2000000000\r\n4097\r\n", Status::damaged},
      {"huge element count", "1\r\n4097\r\nA\r\n999999999\r\n0\r\nT25\r\n", Status::damaged},
      {"element count is no number", "1\r\n4097\r\nA\r\nzwei\r\n0\r\n", Status::damaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CDBSets sets;
    TokenReader in(c.text);
    EXPECT_EQ(sets.readProjectBlock(in, catalogue()), c.status);
    EXPECT_EQ(sets.count(), 0);
  }
}

TEST(ProjectSets, KeysOfPlacedSets) {
  struct Case {
    uint32_t stored;
    uint32_t key;
  } cases[] = {{12, 0x80000000u | 4108}, {0, 0x80000000u | 4096}, {4096, 0x80000000u | 4096},
               {5000, 0x80000000u | 5000}, {0x80001388u, 0x80001388u}};
  for (const Case& c : cases) EXPECT_EQ(CDBSets::projectKey(c.stored), c.key) << c.stored;

  // "1.1" files: an index into the collection, the last record included.
  CDBSets sets;
  EXPECT_EQ(sets.keyFromOldIndex(0), 0xFFFFFFFFu);
  sets.newSet("A");
  sets.newSet("B");
  EXPECT_EQ(sets.keyFromOldIndex(0), 4097u);
  EXPECT_EQ(sets.keyFromOldIndex(1), 4098u);
  EXPECT_EQ(sets.keyFromOldIndex(2), 0xFFFFFFFFu);
}

// --- what the placed sets and the reports see --------------------------------------------

TEST(SetLookup, LabelsOfPlacedSetsComeFromTheCollection) {
  {
    CDBSets sets;
    EXPECT_EQ(connectionSetLookup(), &sets);
    const int s = sets.newSet("Linia A");
    sets.addElement(s, elem(3));
    sets.addElement(s, elem(0));
    sets.addElement(s, elem(2));
    sets.addElement(s, elem(3));
    sets.removeElement(s, 3);

    const std::optional<ConnectionSetInfo> info = sets.findSet(4097);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->id, 4097);
    EXPECT_EQ(info->name, "Linia A");
    EXPECT_TRUE(info->hasPipe);
    EXPECT_EQ(info->pipeName, "Rura PE <25>");  // the last available pipe
    EXPECT_TRUE(info->unavailable);             // an archived fitting
    EXPECT_FALSE(sets.findSet(4098));

    CWSet placed;
    placed.kindWord = 4097;
    EXPECT_EQ(placed.LabelText(), "*\xF8" "25(Linia A)");
    sets.erase(s);  // erased sets keep their placed sets' labels
    EXPECT_EQ(placed.LabelText(), "*\xF8" "25(Linia A)");
  }
  EXPECT_EQ(connectionSetLookup(), nullptr);

  // A replacement made before the old collection goes stays registered.
  auto old = std::make_unique<CDBSets>();
  CDBSets current;
  old.reset();
  EXPECT_EQ(connectionSetLookup(), &current);
}

TEST(UsedSetsReport, OneEntryPerDistinctSetInPlanOrder) {
  CDBSets sets;
  const int a = sets.newSet("A");
  sets.addElement(a, elem(1));
  sets.addElement(a, elem(0));
  sets.addElement(a, elem(1));
  sets.removeElement(a, 1);
  const int b = sets.newSet("B");
  sets.addElement(b, elem(3));
  sets.erase(b);
  const int c = sets.newSet("C");

  CGraphicPlane doc;
  addPlacedSet(doc, 4098);
  addPlacedSet(doc, 4099, true);
  addPlacedSet(doc, 4097);
  addPlacedSet(doc, 4098);
  addPlacedSet(doc, 7777);  // unknown: left out
  const CUsedSetsReport report(doc, sets);
  ASSERT_EQ(report.entries().size(), 2u);
  EXPECT_EQ(report.entries()[0].name, "B");
  EXPECT_EQ(report.entries()[0].elementNames, (std::vector<std::string>{"Rura PE <32>"}));
  EXPECT_EQ(report.entries()[1].name, "A");
  EXPECT_EQ(report.entries()[1].elementNames, (std::vector<std::string>{"Trojnik 25", "Trojnik 25"}));
  (void)c;

  CGraphicPlane empty;
  EXPECT_TRUE(CUsedSetsReport(empty, sets).empty());
}

// --- the sets a fresh installation ships ----------------------------------------------------

TEST(DefaultSets, MadeOfTheShippedCataloguesPipesAndFittings) {
  CPartix& shipped = testing_support::shippedCatalogue();
  const std::vector<DefaultSet> defaults = defaultConnectionSets(shipped);
  ASSERT_GE(defaults.size(), 3u);
  ASSERT_LE(defaults.size(), 5u);
  EXPECT_EQ(defaults[0].name, cp("Podł. zraszacza 25"));
  for (const DefaultSet& d : defaults) {
    SCOPED_TRACE(platform::cp1250ToUtf8(d.name));
    EXPECT_LE(d.name.size(), 20u);
    int pipes = 0, fittings = 0;
    for (const CElem* e : d.elements) {
      EXPECT_FALSE(e->archived);
      pipes += e->kind == kKindPipe;
      fittings += e->kind == kKindFitting;
    }
    EXPECT_EQ(pipes, 1);
    EXPECT_EQ(pipes + fittings, static_cast<int>(d.elements.size()));
  }

  TempDir dir;
  ASSERT_TRUE(writeConnectionSetsFile(dir.path(), defaults));
  RecordingMessageSink sink;
  CDBSets sets;
  const CDBSets::LoadResult r = sets.load(dir.path(), shipped);
  EXPECT_FALSE(r.damaged);
  EXPECT_FALSE(r.renumbered);
  EXPECT_TRUE(sink.shown.empty());
  ASSERT_EQ(sets.count(), static_cast<int>(defaults.size()));
  for (int i = 0; i < sets.count(); ++i) {
    EXPECT_EQ(sets.item(i).id, 4097 + i);
    EXPECT_EQ(sets.item(i).name, defaults[static_cast<size_t>(i)].name);
    EXPECT_EQ(sets.item(i).elems, defaults[static_cast<size_t>(i)].elements);
    EXPECT_EQ(sets.item(i).hasPipe, 1);
  }

  // A catalogue without the pieces gives no sets.
  CPartix none;
  EXPECT_TRUE(defaultConnectionSets(none).empty());
}
