// The table of sections: the colour file, the table's operations, deleting a
// section with the objects in it, and the project file block.

#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/replace_file.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "document/graphic_plane.h"
#include "document/token_stream.h"
#include "objects/micro_sprinklers.h"
#include "objects/text_dimension.h"
#include "platform/message_sink.h"
#include "platform/textcodec.h"
#include "sections/section_list.h"

namespace fs = std::filesystem;
using platform::MessageAnswer;
using platform::RecordingMessageSink;

namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

class TempDir {
 public:
  TempDir() {
    path_ = fs::temp_directory_path() / ("verdimo_sections_" + std::to_string(::getpid()) + "_" + std::to_string(next_++));
    fs::create_directories(path_);
  }
  ~TempDir() { fs::remove_all(path_); }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
  static inline int next_ = 0;
};

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// N = 3, then red, green and blue, little-endian.
const std::string kRgbSeq("\x03\x00\x00\x00"
                          "\xFF\x00\x00\x00"
                          "\x00\xFF\x00\x00"
                          "\x00\x00\xFF\x00",
                          16);

CWBase* addText(CGraphicPlane& doc) { return doc.addObject(kTypeText, std::make_unique<CWText>()); }

CWBase* addInSection(CGraphicPlane& doc, int section, Colour colour) {
  CWBase* o = addText(doc);
  o->SetSectionColour(colour);
  o->SetSectionNo(section);
  return o;
}

std::string blockText(const CSectionList& list) {
  TokenWriter out;
  list.writeBlock(out);
  return out.text();
}

}  // namespace

// --- "seq.dat" -----------------------------------------------------------------

TEST(SectionColourFile, LoadsCountAndColoursThenANewProjectHasOneWhiteSection) {
  TempDir dir;
  writeBytes(dir.file("seq.dat"), kRgbSeq);
  CSectionList list;
  ASSERT_EQ(list.loadFile(dir.file("seq.dat")), 0);
  EXPECT_EQ(list.lastLoadStatus(), SeqFileStatus::Ok);
  ASSERT_EQ(list.count(), 3);
  ASSERT_EQ(list.items().size(), 3u);
  const Colour expected[] = {kRed, kGreen, kBlue};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(list.item(i).nr, i);
    EXPECT_EQ(list.item(i).color, expected[i]);
    EXPECT_TRUE(list.item(i).desc.empty());
  }

  list.reset();
  EXPECT_EQ(list.count(), 1);
  EXPECT_EQ(list.item(0).color, kWhite);
  EXPECT_EQ(list.currentSection(), 0);
  EXPECT_EQ(list.currentColour(), kWhite);
}

TEST(SectionColourFile, MissingOrDamagedFilesFailAndLeaveAUsableTable) {
  TempDir dir;
  struct Case {
    const char* what;
    std::string bytes;  // nothing written when `missing`
    bool missing;
    SeqFileStatus status;
  };
  const Case cases[] = {
      {"missing", "", true, SeqFileStatus::Missing},
      {"empty", "", false, SeqFileStatus::Damaged},
      {"count cut short", std::string("\x03\x00", 2), false, SeqFileStatus::Damaged},
      {"fewer colours than counted", kRgbSeq.substr(0, 12), false, SeqFileStatus::Damaged},
      {"negative count", std::string("\xFF\xFF\xFF\xFF\x00\x00\x00\x00", 8), false, SeqFileStatus::Damaged},
      {"huge count", std::string("\xFF\xFF\xFF\x7F\x00\x00\x00\x00", 8), false, SeqFileStatus::Damaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.file(std::string(c.what) + ".dat");
    if (!c.missing) writeBytes(path, c.bytes);
    CSectionList list;
    list.setCount(5);
    EXPECT_EQ(list.loadFile(path), -1);
    EXPECT_EQ(list.lastLoadStatus(), c.status);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.item(0).nr, 0);
    EXPECT_EQ(list.item(0).color, kWhite);
  }
}

TEST(SectionColourFile, TrailingBytesAreIgnoredAndAnEmptyTableStillGivesSectionZero) {
  TempDir dir;
  writeBytes(dir.file("long.dat"), kRgbSeq + "junk");
  std::vector<Colour> colours;
  EXPECT_EQ(readSeqFile(dir.file("long.dat"), colours), SeqFileStatus::Ok);
  EXPECT_EQ(colours, (std::vector<Colour>{kRed, kGreen, kBlue}));

  writeBytes(dir.file("none.dat"), std::string(4, '\0'));
  CSectionList list;
  ASSERT_EQ(list.loadFile(dir.file("none.dat")), 0);
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.item(0).nr, -1);  // no entry, and no access beyond the table
  list.reset();
  EXPECT_EQ(list.count(), 1);
  ASSERT_EQ(list.items().size(), 1u);
  EXPECT_EQ(list.item(0).nr, 0);
}

TEST(SectionColourFile, WriterProducesTheFileLayoutAndShipsDistinctColours) {
  TempDir dir;
  ASSERT_TRUE(writeSeqFile(dir.file("seq.dat"), {kRed, kGreen, kBlue}));
  EXPECT_EQ(readBytes(dir.file("seq.dat")), kRgbSeq);
  EXPECT_FALSE(fs::exists(dir.file("seq.dat.tmp")));

  const std::vector<Colour> defaults = defaultSectionColours();
  ASSERT_GE(defaults.size(), 20u);
  for (size_t i = 0; i < defaults.size(); ++i) {
    EXPECT_EQ(defaults[i] & 0xFF000000u, 0u);
    EXPECT_LT(platform::redOf(defaults[i]) + platform::greenOf(defaults[i]) + platform::blueOf(defaults[i]), 3 * 230)
        << "too close to white (no section): " << i;
    for (size_t j = i + 1; j < defaults.size(); ++j) {
      const int dr = platform::redOf(defaults[i]) - platform::redOf(defaults[j]);
      const int dg = platform::greenOf(defaults[i]) - platform::greenOf(defaults[j]);
      const int db = platform::blueOf(defaults[i]) - platform::blueOf(defaults[j]);
      EXPECT_GE(dr * dr + dg * dg + db * db, 60 * 60) << "colours " << i << " and " << j << " look alike";
    }
  }
  ASSERT_TRUE(writeSeqFile(dir.file("defaults.dat"), defaults));
  CSectionList list;
  ASSERT_EQ(list.loadFile(dir.file("defaults.dat")), 0);
  EXPECT_EQ(list.count(), static_cast<int>(defaults.size()));
  EXPECT_EQ(list.item(19).color, defaults[19]);
}

TEST(SectionColourFile, AFailedWriteKeepsTheOldFile) {
  TempDir dir;
  writeBytes(dir.file("seq.dat"), kRgbSeq);
  fs::create_directory(platform::replaceTemporaryName(dir.file("seq.dat"), ::getpid()));  // the temporary file cannot be created
  EXPECT_FALSE(writeSeqFile(dir.file("seq.dat"), {kWhite}));
  EXPECT_EQ(readBytes(dir.file("seq.dat")), kRgbSeq);
  EXPECT_FALSE(writeSeqFile(dir.file("no/such/folder/seq.dat"), {kWhite}));
}

// --- the table -----------------------------------------------------------------

TEST(SectionTable, SetCountGrowsWithSpareEntriesAndCutsToTheCount) {
  CSectionList list;
  ASSERT_EQ(list.items().size(), 1u);
  list.setCount(3);
  EXPECT_EQ(list.count(), 3);
  ASSERT_EQ(list.items().size(), 1u + 3u + 30u);
  for (size_t i = 0; i < list.items().size(); ++i) {
    EXPECT_EQ(list.items()[i].nr, static_cast<int>(i));
    EXPECT_EQ(list.items()[i].color, kWhite);
  }
  list.setCount(2);
  EXPECT_EQ(list.items().size(), 2u);
  // Counts a project cannot have are ignored.
  for (int bad : {0, -1, CSectionList::kMaxSections + 1}) {
    list.setCount(bad);
    EXPECT_EQ(list.count(), 2) << bad;
  }
  // reset keeps the spare entries, cleaned.
  list.setCount(40);
  EXPECT_EQ(list.items().size(), 2u + 40u + 30u);
  EXPECT_EQ(list.reset(), 72);
  EXPECT_EQ(list.count(), 1);
}

TEST(SectionTable, RemoveRenumbersAndFindFallsBackToAnEmptyEntry) {
  CSectionList list;
  list.setCount(4);
  list.remove(1);
  EXPECT_EQ(list.count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list.item(i).nr, i);
  EXPECT_EQ(list.find(2).nr, 2);
  EXPECT_EQ(&list.find(2), &list.item(2));
  EXPECT_EQ(list.find(12345).nr, -1);
  EXPECT_EQ(list.item(-1).nr, -1);
  EXPECT_EQ(list.item(1000).nr, -1);

  // The only section and unknown indices are never removed.
  list.remove(7);
  list.remove(-1);
  EXPECT_EQ(list.count(), 3);
  CSectionList single;
  single.remove(0);
  EXPECT_EQ(single.count(), 1);
}

// --- sections and the objects of a project ---------------------------------------

class SectionsOfAProject : public ::testing::Test {
 protected:
  // Sections 1..4 (numbers 0..3) with two objects each, and one object in none.
  void SetUp() override {
    list.setCount(4);
    for (int s = 0; s < 4; ++s) {
      colours[s] = 0x101010u * static_cast<Colour>(s + 1);
      for (int k = 0; k < 2; ++k) members[s][k] = addInSection(doc, s, colours[s]);
    }
    outsider = addText(doc);
    list.refreshFromObjects(doc);
  }

  CGraphicPlane doc;
  CSectionList list;
  Colour colours[4] = {};
  CWBase* members[4][2] = {};
  CWBase* outsider = nullptr;
};

TEST_F(SectionsOfAProject, DeletingASectionRenumbersObjectsAndTable) {
  RecordingMessageSink sink;
  list.select(1);
  ASSERT_TRUE(list.deleteSection(doc, 1));

  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].text,
            platform::utf8ToCp1250("Usunięcie tej sekcji spowoduje zmiany w raportach i przenumerowanie sekcji!"));
  EXPECT_EQ(sink.shown[0].caption, "Uwaga !!");
  EXPECT_EQ(sink.shown[0].buttons, platform::MessageButtons::OkCancel);

  for (CWBase* o : members[0]) {
    EXPECT_EQ(o->GetSectionNo(), 0);
    EXPECT_EQ(o->sectionColour, colours[0]);
  }
  for (CWBase* o : members[1]) {
    EXPECT_EQ(o->GetSectionNo(), kNoSection);
    EXPECT_EQ(o->HasSectionColour(), 0);
  }
  for (int s = 2; s < 4; ++s)
    for (CWBase* o : members[s]) {
      EXPECT_EQ(o->GetSectionNo(), s - 1);
      EXPECT_EQ(o->sectionColour, colours[s]);
    }
  EXPECT_EQ(outsider->GetSectionNo(), kNoSection);
  EXPECT_EQ(outsider->HasSectionColour(), 0);

  ASSERT_EQ(list.count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list.item(i).nr, i);
  EXPECT_EQ(list.item(1).color, colours[2]);
  EXPECT_EQ(list.item(2).color, colours[3]);
  EXPECT_EQ(list.currentSection(), 0);
  EXPECT_EQ(list.currentColour(), colours[0]);
}

TEST_F(SectionsOfAProject, CancelTheOnlySectionOrAnUnknownOneDeleteNothing) {
  RecordingMessageSink sink;
  sink.answer = MessageAnswer::Cancel;
  EXPECT_FALSE(list.deleteSection(doc, 2));
  EXPECT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(list.count(), 4);
  EXPECT_EQ(members[2][0]->GetSectionNo(), 2);

  sink.answer = MessageAnswer::Ok;
  EXPECT_FALSE(list.deleteSection(doc, 4));
  EXPECT_FALSE(list.deleteSection(doc, -1));
  list.reset();
  EXPECT_FALSE(list.deleteSection(doc, 0));
  EXPECT_EQ(sink.shown.size(), 1u);  // no question for these
  EXPECT_EQ(members[0][0]->GetSectionNo(), 0);
}

TEST_F(SectionsOfAProject, DescribingASectionRecoloursItsObjectsOnly) {
  list.select(2);
  const std::string longName(150, 'x');
  ASSERT_TRUE(list.describeSection(doc, 2, longName, kRed));
  EXPECT_EQ(list.item(2).desc, std::string(CSectionList::kMaxDescription, 'x'));
  EXPECT_EQ(list.item(2).color, kRed);
  EXPECT_EQ(members[2][0]->sectionColour, kRed);
  EXPECT_EQ(members[2][1]->sectionColour, kRed);
  EXPECT_EQ(members[3][0]->sectionColour, colours[3]);
  EXPECT_EQ(outsider->HasSectionColour(), 0);
  EXPECT_EQ(list.currentColour(), kRed);

  // A section that is not the current one leaves the current colour alone.
  ASSERT_TRUE(list.describeSection(doc, 0, "Rabaty", kBlue));
  EXPECT_EQ(list.currentSection(), 2);
  EXPECT_EQ(list.currentColour(), kRed);
  EXPECT_FALSE(list.describeSection(doc, 4, "poza tabelą", kBlue));
}

TEST_F(SectionsOfAProject, ColoursComeBackFromTheObjectsTheLastOneWinning) {
  CSectionList fresh;
  fresh.setCount(4);
  members[1][1]->SetSectionColour(kGreen);
  fresh.refreshFromObjects(doc);
  EXPECT_EQ(fresh.item(0).color, colours[0]);
  EXPECT_EQ(fresh.item(1).color, kGreen);
  EXPECT_EQ(fresh.item(3).color, colours[3]);
}

TEST(SectionMarking, ANewSectionIsCurrentAndReceivesClickedObjects) {
  RecordingMessageSink sink;
  CGraphicPlane doc;
  CSectionList list;
  CWBase* text = addText(doc);
  ASSERT_EQ(list.addSection(), 1);
  EXPECT_EQ(list.count(), 2);
  EXPECT_EQ(list.currentSection(), 1);
  list.describeSection(doc, 1, "", kBlue);
  list.assignToCurrent(doc, *text);
  EXPECT_EQ(text->GetSectionNo(), 1);
  EXPECT_EQ(text->HasSectionColour(), 1);
  EXPECT_EQ(text->sectionColour, kBlue);
  EXPECT_TRUE(sink.shown.empty());
}

TEST(SectionMarking, AConsumerBeyondTheSourceCapacityIsReportedAndStays) {
  RecordingMessageSink sink;
  CGraphicPlane doc;
  doc.sourceCapacity = 1.0f;
  CSectionList list;
  auto unit = std::make_unique<CWRwsSprinkler>();
  unit->flow = 0.6f;
  CWBase* first = doc.addObject(kTypeRws, unit->clone());
  CWBase* second = doc.addObject(kTypeRws, std::move(unit));
  CWBase* text = addText(doc);

  list.assignToCurrent(doc, *first);
  EXPECT_TRUE(sink.shown.empty());
  list.assignToCurrent(doc, *second);
  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].text, platform::utf8ToCp1250("Przekroczono wydajność żródła wody"));
  EXPECT_EQ(sink.shown[0].caption, "Informacja");
  EXPECT_EQ(second->GetSectionNo(), 0);
  // Objects that draw no water are never checked.
  list.assignToCurrent(doc, *text);
  EXPECT_EQ(sink.shown.size(), 1u);
}

// --- the project file block -------------------------------------------------------

TEST(SectionBlock, DescriptionsRoundTripWithSpacesAsBars) {
  CGraphicPlane doc;
  CSectionList list;
  list.addSection();
  list.describeSection(doc, 0, platform::utf8ToCp1250("Trawnik przód"), kRed);
  EXPECT_EQ(blockText(list), "2\r\n" + platform::utf8ToCp1250("Trawnik|przód") + "\r\nEMPTY_DESC\r\n");

  CSectionList read;
  const std::string file = blockText(list) + "123325\r\n";
  TokenReader in(file);
  ASSERT_TRUE(read.readBlock(in));
  EXPECT_EQ(read.count(), 2);
  EXPECT_EQ(read.item(0).desc, platform::utf8ToCp1250("Trawnik przód"));
  EXPECT_EQ(read.item(1).desc, "");
  EXPECT_EQ(read.item(0).color, kWhite);  // colours come from the objects
  EXPECT_EQ(in.readInt(), 123325);        // the next record follows intact
}

TEST(SectionBlock, BarsBlanksAndLongTokensReadBackSafely) {
  CGraphicPlane doc;
  CSectionList list;
  list.setCount(3);
  list.describeSection(doc, 0, "a|b", 0);
  list.describeSection(doc, 1, "tab\there\r\nnew line", 0);
  list.describeSection(doc, 2, "x", 0);
  CSectionList read;
  const std::string file = blockText(list);
  TokenReader in(file);
  ASSERT_TRUE(read.readBlock(in));
  EXPECT_EQ(read.item(0).desc, "a b");
  EXPECT_EQ(read.item(1).desc, "tab here  new line");
  EXPECT_EQ(read.item(2).desc, "x");

  // A token longer than a description is cut, not split into two.
  const std::string longFile = "2\r\n" + std::string(300, 'y') + "\r\nz\r\n";
  TokenReader longIn(longFile);
  ASSERT_TRUE(read.readBlock(longIn));
  EXPECT_EQ(read.item(0).desc, std::string(CSectionList::kMaxStoredDescription, 'y'));
  EXPECT_EQ(read.item(1).desc, "z");
}

TEST(SectionBlock, DamagedBlocksAreRejectedAndTheTableKept) {
  const char* damaged[] = {"", "0\r\n", "-2\r\nA\r\nB\r\n", "10001\r\nA\r\n", "3\r\nA\r\nB\r\n"};
  for (const char* text : damaged) {
    SCOPED_TRACE(text);
    CGraphicPlane doc;
    CSectionList list;
    list.setCount(2);
    list.describeSection(doc, 1, "Kroplowa", kGreen);
    TokenReader in(text);
    EXPECT_FALSE(list.readBlock(in));
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.item(1).desc, "Kroplowa");
  }
}
