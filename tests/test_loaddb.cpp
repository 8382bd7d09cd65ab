// Reading the scrambled catalogue file.

#include <cstring>

#include "tests/catalogue_fixture.h"

using testing_support::CatalogueFileBuilder;
using testing_support::CatalogueTest;

namespace {

// One element of every kind, each with values of its own, in kind order.
CatalogueFileBuilder everyKind() {
  CatalogueFileBuilder f;
  f.header("2026.1", "Autor", "Opis katalogu", 25);
  auto common = [&](uint32_t kind, uint8_t archived = 0) {
    f.head(kind, archived).common("Element " + std::to_string(kind) + " <K" + std::to_string(kind) + ">", "Producent",
                                  "NR" + std::to_string(kind), 10.0f + kind, "p" + std::to_string(kind) + ".jpg");
  };
  common(0);  // rotary sprinkler with two nozzles
  f.text("3/4\"", 15).u8(2);
  f.text("2.0", 8).floats(12, 1.0f);
  f.text("3.0", 8).floats(12, 101.0f);
  f.u8(1);
  common(1, 1);  // controller, archived
  f.text("230V", 20).text("6", 15).i32(1).text("3", 15).text("4", 15).text("indywid.", 15).i32(2).i32(3)
      .text("1-60", 15).text("1-240", 15).i32(4).i32(5).i32(6);
  common(2);
  f.f32(1.0f).f32(10.0f).f32(6.5f).text("24V AC", 10).f32(0.3f).f32(0.2f);
  common(3);
  f.i32(25).f32(20.4f);
  common(4);
  common(5);
  common(6);
  f.text("1/2\"", 15).f32(10.0f);
  common(7);  // adjustable static nozzle, three rows
  f.u8(3).f32(90).floats(12, 1).f32(180).floats(12, 21).f32(360).floats(12, 41);
  common(8);
  f.i32(3);
  for (int i = 0; i < 4; ++i) f.text("1.2x4." + std::to_string(i), 15).f32(1.0f + i).f32(0.1f * (i + 1));
  common(9);
  f.f32(120).f32(100).f32(1.2f).f32(33).f32(16).f32(2.2f).text("1,0-3,5", 20).text("<2> niekompensujacy", 50)
      .text("brazowy", 20);
  common(10);
  f.text("1\"", 20).text("0,2-4,5", 20).text("1,0-4,0", 20);
  common(11);
  f.text("1\" GZ", 20).f32(5).f32(120);
  common(12);
  f.floats(5, 30, 1).i32(1).f32(25).f32(27);
  common(13);
  f.u8(2).text("N10 1,0 mm", 25).floats(12, 1).text("N12 1,2 mm", 25).floats(12, 13);
  common(14);
  f.text("3-25", 15).text("3/6/13", 15).i32(1).i32(0);
  common(15);
  f.u8(1).text("N10 z W360", 25).floats(12, 2);
  common(16);  // HADAR base, two components
  f.text("rurka 4/7", 40).i32(2).text("Szpilka", 30).text("KP-K001", 10).f32(1.5f).text("Rurka", 30)
      .text("KP-K002", 10).f32(2.25f);
  common(17);
  f.i32(2).f32(90).floats(21, 1).f32(210).floats(21, 31);
  common(18);
  common(19);
  f.u8(1).f32(180).floats(12, 5);
  common(20);
  f.u8(1).f32(360).floats(12, 6);
  common(21);
  f.i32(1);
  for (int i = 0; i < 4; ++i) f.text("1.5x9." + std::to_string(i), 15).f32(2.0f + i).f32(0.2f * (i + 1));
  common(22);
  f.text("1/2\" GZ", 50).text("45", 50).text("10", 50).floats(12, 7);
  common(23);
  f.i32(0).i32(1);
  common(24);
  f.f32(180).floats(15, 8);
  return f;
}

}  // namespace

TEST_F(CatalogueTest, ReadsEveryKindFieldByField) {
  CPartix& cat = load(everyKind());
  EXPECT_STREQ(cat.version, "2026.1");
  EXPECT_STREQ(cat.author, "Autor");
  EXPECT_STREQ(cat.description, "Opis katalogu");
  ASSERT_EQ(cat.count, 25);

  for (int k = 0; k < 25; ++k) {
    SCOPED_TRACE("kind " + std::to_string(k));
    CElem* e = element(k);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->kind, static_cast<uint32_t>(k));
    EXPECT_EQ(e->archived, k == 1 ? 1 : 0);
    EXPECT_EQ(e->deleted, 0);
    ASSERT_NE(e->data, nullptr);
    EXPECT_EQ(std::string(e->data->name), "Element " + std::to_string(k) + " <K" + std::to_string(k) + ">");
    EXPECT_STREQ(e->data->manufacturer, "Producent");
    EXPECT_EQ(std::string(e->data->catalogueNo), "NR" + std::to_string(k));
    EXPECT_EQ(e->data->price, 10.0f + k);
    EXPECT_EQ(std::string(e->data->picture), "p" + std::to_string(k) + ".jpg");
  }
  EXPECT_EQ(cat.tail, element(24));

  auto& s = record<CDBSprinkler>(0);
  EXPECT_STREQ(s.connection, "3/4\"");
  EXPECT_EQ(s.nozzleCount, 2);
  EXPECT_STREQ(s.nozzles[1].nozzleName, "3.0");
  EXPECT_EQ(s.nozzles[0].work[0].P, 1.0f);
  EXPECT_EQ(s.nozzles[0].work[3].R, 12.0f);
  EXPECT_EQ(s.nozzles[1].work[2].Q, 108.0f);
  EXPECT_EQ(s.fullCircle, 1);

  auto& c = record<CKontr>(1);
  EXPECT_STREQ(c.power, "230V");
  EXPECT_STREQ(c.stations, "6");
  EXPECT_EQ(c.mainValveOut, 1);
  EXPECT_STREQ(c.valveProgramming, "indywid.");
  EXPECT_EQ(c.byWeekDays, 2);
  EXPECT_EQ(c.cyclic, 3);
  EXPECT_STREQ(c.valveRunTime, "1-240");
  EXPECT_EQ(c.waterproof, 6);

  auto& v = record<CZawor>(2);
  EXPECT_EQ(v.flowMax, 6.5f);
  EXPECT_STREQ(v.voltage, "24V AC");
  EXPECT_EQ(v.holdingCurrent, 0.2f);

  EXPECT_EQ(record<CRura>(3).pipeValue, 25);
  EXPECT_EQ(record<CRura>(3).innerDiameter, 20.4f);
  EXPECT_EQ(record<CZrStat>(6).popUpHeight, 10.0f);

  auto& van = record<CDyszaVan>(7);
  EXPECT_EQ(van.rowCount, 3);
  EXPECT_EQ(van.rows[2].angle, 360.0f);
  EXPECT_EQ(van.rows[2].work[0].P, 41.0f);

  auto& pr = record<CDyszaPr>(8);
  EXPECT_EQ(pr.position, 3);  // the first kind field in the file, the last in the record
  EXPECT_STREQ(pr.strips[3].size, "1.2x4.3");
  EXPECT_EQ(pr.strips[3].pressure, 4.0f);
  EXPECT_EQ(pr.strips[4].size[0], '\0');

  auto& drip = record<CLinKrop>(9);
  EXPECT_EQ(drip.maxRunLength, 120.0f);
  EXPECT_EQ(drip.dripperSpacing, 33.0f);
  EXPECT_EQ(drip.outerDiameter, 16.0f);
  EXPECT_EQ(drip.dripperFlow, 2.2f);
  EXPECT_STREQ(drip.recommendedPressure, "1,0-3,5");
  EXPECT_STREQ(drip.dripperType, "<2> niekompensujacy");
  EXPECT_STREQ(drip.colour, "brazowy");

  EXPECT_STREQ(record<CReg>(10).outletPressureRange, "1,0-4,0");
  EXPECT_EQ(record<CFiltr>(11).mesh, 120.0f);
  auto& box = record<CStud>(12);
  EXPECT_EQ(box.lengthBottom, 34.0f);
  EXPECT_EQ(box.isRound, 1);
  EXPECT_EQ(box.diameterBottom, 27.0f);

  auto& ins = record<CWkladka>(13);
  EXPECT_EQ(ins.rowCount, 2);
  EXPECT_STREQ(ins.rows[1].rowName, "N12 1,2 mm");
  EXPECT_EQ(ins.rows[1].work[3].R, 24.0f);

  EXPECT_STREQ(record<CRainSensor>(14).stepSetting, "3/6/13");
  EXPECT_EQ(record<CRainSensor>(14).forBattery, 1);
  EXPECT_EQ(record<CMkDysza>(15).rows[0].work[0].P, 2.0f);

  auto& base = record<CMicroSprinklerHADAR>(16);
  EXPECT_STREQ(base.connection, "rurka 4/7");
  EXPECT_EQ(base.componentCount, 2);
  EXPECT_STREQ(base.components[1].componentCatNo, "KP-K002");
  EXPECT_EQ(base.components[1].componentPrice, 2.25f);

  auto& mp = record<CDyszaMP>(17);
  EXPECT_EQ(mp.rowCount, 2);
  EXPECT_EQ(mp.rows[1].angle, 210.0f);
  EXPECT_EQ(mp.rows[1].work[6].R, 51.0f);

  EXPECT_EQ(record<CNozzleVanNonReg>(19).rowCount, 1);
  EXPECT_EQ(record<CNozzleVanNonReg>(19).row.angle, 180.0f);
  EXPECT_EQ(record<CNozzleMPNonReg>(20).rowCount, 1);
  EXPECT_EQ(record<CNozzleMPNonReg>(20).row.work[3].R, 17.0f);

  auto& rect = record<CNozzleRectNonReg>(21);
  EXPECT_EQ(rect.position, 1);
  EXPECT_STREQ(rect.strips[0].size, "1.5x9.0");
  EXPECT_FLOAT_EQ(rect.strips[1].flow, 0.4f);

  auto& rws = record<CRWSSprinkler>(22);
  EXPECT_EQ(rws.connection, "1/2\" GZ");
  EXPECT_EQ(rws.heightCm, "45");
  EXPECT_EQ(rws.work[3].R, 18.0f);

  EXPECT_EQ(record<CSoilSensor>(23).forMains, 1);
  EXPECT_EQ(record<CMicroSprinkler>(24).angle, 180.0f);
  EXPECT_EQ(record<CMicroSprinkler>(24).work[4].R, 22.0f);
}

TEST_F(CatalogueTest, KindPartsHaveTheirFileSizes) {
  // Each record is followed by a pipe; a reader that consumed a different
  // number of bytes would misread it.
  struct Case {
    const char* what;
    uint32_t kind;
    size_t kindPartSize;
    void (*kindPart)(CatalogueFileBuilder&);
  };
  const Case cases[] = {
      {"sprinkler without nozzles", 0, 17, [](CatalogueFileBuilder& f) { f.text("x", 15).u8(0).u8(0); }},
      {"HADAR base of two components", 16, 132,
       [](CatalogueFileBuilder& f) { f.text("c", 40).i32(2).text("a", 30).text("1", 10).f32(1).text("b", 30).text("2", 10).f32(2); }},
      {"fitting", 4, 0, [](CatalogueFileBuilder&) {}},
      {"other part", 5, 0, [](CatalogueFileBuilder&) {}},
      {"cable", 18, 0, [](CatalogueFileBuilder&) {}},
      {"adjustable nozzle without rows", 7, 1, [](CatalogueFileBuilder& f) { f.u8(0); }},
      {"rotary nozzle without rows", 17, 4, [](CatalogueFileBuilder& f) { f.i32(0); }},
      {"fixed nozzle whose count byte says 0", 19, 53, [](CatalogueFileBuilder& f) { f.u8(0).floats(13, 1); }},
      {"RWS unit", 22, 198, [](CatalogueFileBuilder& f) { f.text("a", 50).text("b", 50).text("c", 50).floats(12, 1); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CatalogueFileBuilder f;
    f.header("v", "a", "d", 2);
    f.head(c.kind).common("first", "m", "1", 1, "");
    size_t before = f.size();
    c.kindPart(f);
    ASSERT_EQ(f.size() - before, c.kindPartSize);
    EXPECT_EQ(before - 144, 120u);  // head and common part
    f.head(3).common("Rura <32>", "m", "2", 3.5f, "r.jpg").i32(32).f32(27.2f);
    CPartix& cat = load(f);
    ASSERT_EQ(cat.count, 2);
    EXPECT_STREQ(element(1)->data->name, "Rura <32>");
    EXPECT_EQ(record<CRura>(1).innerDiameter, 27.2f);
  }
}

TEST_F(CatalogueTest, ScramblingUsesTheAbsoluteOffset) {
  CatalogueFileBuilder f;
  f.header("v", "a", "d", 1).head(3).common("Rura", "m", "1", 1, "").i32(7).f32(1);
  std::vector<uint8_t> stored = f.scrambled();
  // The element's kind code starts at offset 144 (a multiple of 16); its
  // name at 161, which uses key byte 1, not key byte 0.
  EXPECT_EQ(stored[144], 3 ^ 0xA7);
  EXPECT_EQ(stored[161], 'R' ^ 0x1F);
  CPartix& cat = load(f);
  ASSERT_EQ(cat.count, 1);
  EXPECT_STREQ(cat.head->data->name, "Rura");
}

TEST_F(CatalogueTest, EmptyAndMissingCatalogues) {
  CatalogueFileBuilder empty;
  empty.header("v", "a", "d", 0);
  EXPECT_EQ(load(empty).count, 0);
  EXPECT_EQ(root->head, nullptr);

  release();
  CPartix missing;
  std::string nowhere = dir + "/nowhere.dbc";
  missing.fileName = nowhere.c_str();
  missing.LoadDB();
  EXPECT_EQ(missing.count, 0);
  EXPECT_EQ(missing.head, nullptr);
}

TEST_F(CatalogueTest, UnknownKindDropsTheElementAndLosesStep) {
  // The reader cannot know the size of an unknown record: the bytes after its
  // 17-byte head are read as the next element's head.
  CatalogueFileBuilder f;
  f.header("v", "a", "d", 3);
  f.head(99);
  f.head(3).common("Rura <25>", "m", "1", 2, "").i32(25).f32(20.4f);
  f.head(12, 1).common("Studzienka", "m", "2", 50, "").floats(5, 30).i32(0).f32(0).f32(0);
  CPartix& cat = load(f);
  ASSERT_EQ(cat.count, 2);
  EXPECT_EQ(element(0)->kind, 3u);
  EXPECT_STREQ(element(0)->data->name, "Rura <25>");
  EXPECT_EQ(element(1)->kind, 12u);
  EXPECT_EQ(element(1)->archived, 1);
}

TEST_F(CatalogueTest, TruncatedFileKeepsInitialValuesPastTheEnd) {
  CatalogueFileBuilder f;
  f.header("v", "a", "d", 3);
  f.head(3).common("Rura <25>", "m", "1", 2, "").i32(25).f32(20.4f);
  const size_t secondStart = f.size();
  f.head(0).common("Zraszacz", "m", "2", 80, "z.jpg").text("3/4\"", 15).u8(2);
  f.text("1.0", 8).floats(12, 1);
  const size_t cut = f.size() + 8 + 4 * 5 + 2;  // inside the 6th float of the second nozzle
  f.text("2.0", 8).floats(12, 13).u8(1);
  f.head(5).common("Taśma", "m", "3", 1, "");

  CPartix& cat = load(f, cut);
  ASSERT_EQ(cat.count, 2);
  auto& s = record<CDBSprinkler>(1);
  EXPECT_EQ(s.nozzleCount, 2);
  EXPECT_STREQ(s.nozzles[1].nozzleName, "2.0");
  EXPECT_EQ(s.nozzles[1].work[1].Q, 17.0f);  // the 5th float, still whole
  EXPECT_EQ(s.nozzles[1].work[1].R, 0.0f);   // cut
  EXPECT_EQ(s.nozzles[1].work[3].R, 0.0f);
  EXPECT_EQ(s.fullCircle, 0);
  EXPECT_GT(cut, secondStart);

  // A cut inside the common part: the element exists with what was read.
  CPartix& cat2 = load(f, secondStart + 17 + 50 + 3);
  ASSERT_EQ(cat2.count, 2);
  EXPECT_STREQ(element(1)->data->name, "Zraszacz");
  EXPECT_STREQ(element(1)->data->manufacturer, "");
  EXPECT_EQ(element(1)->data->price, 0.0f);

  // A header that promises more elements than the file holds.
  CatalogueFileBuilder g;
  g.header("v", "a", "d", 0xFFFFFFFFu).head(4).common("Kolano", "m", "1", 1, "");
  EXPECT_EQ(load(g).count, 1);
}

TEST_F(CatalogueTest, CountsAboveCapacityNeverWritePastTheTable) {
  // Rows beyond a table's capacity are read past and dropped; the count is
  // cut to the capacity and the next element is read in step.
  CatalogueFileBuilder f;
  f.header("v", "a", "d", 5);
  f.head(0).common("Zraszacz", "m", "1", 1, "").text("c", 15).u8(103);
  for (int i = 0; i < 103; ++i) f.text(std::to_string(i), 8).floats(12, static_cast<float>(i));
  f.u8(1);
  f.head(17).common("Dysza MP", "m", "2", 1, "").i32(12);
  for (int i = 0; i < 12; ++i) f.f32(30.0f * i).floats(21, 1);
  f.head(16).common("Podstawa", "m", "", 0, "").text("c", 40).i32(11);
  for (int i = 0; i < 11; ++i) f.text("k" + std::to_string(i), 30).text("K" + std::to_string(i), 10).f32(1.0f + i);
  f.head(17).common("Dysza ujemna", "m", "3", 1, "").i32(-5);
  f.head(13).common("<W360> wkładka", "m", "4", 1, "").u8(21);
  for (int i = 0; i < 21; ++i) f.text("N" + std::to_string(i), 25).floats(12, 1);

  CPartix& cat = load(f);
  ASSERT_EQ(cat.count, 5);
  auto& s = record<CDBSprinkler>(0);
  EXPECT_EQ(s.nozzleCount, 100);
  EXPECT_STREQ(s.nozzles[99].nozzleName, "99");
  EXPECT_EQ(s.fullCircle, 1);
  auto& mp = record<CDyszaMP>(1);
  EXPECT_EQ(mp.rowCount, 10);
  EXPECT_EQ(mp.rows[9].angle, 270.0f);
  auto& base = record<CMicroSprinklerHADAR>(2);
  EXPECT_EQ(base.componentCount, 10);
  EXPECT_STREQ(base.components[9].componentCatNo, "K9");
  EXPECT_EQ(record<CDyszaMP>(3).rowCount, 0);
  EXPECT_STREQ(element(3)->data->name, "Dysza ujemna");
  EXPECT_EQ(record<CWkladka>(4).rowCount, 20);

  // A huge count in a short file ends with the file.
  CatalogueFileBuilder g;
  g.header("v", "a", "d", 1).head(17).common("Dysza", "m", "1", 1, "").i32(0x7FFFFFFF).f32(90).floats(21, 1);
  CPartix& cat2 = load(g);
  ASSERT_EQ(cat2.count, 1);
  EXPECT_EQ(record<CDyszaMP>(0).rowCount, 10);  // cut to the capacity; rows past the file stay empty
  EXPECT_EQ(record<CDyszaMP>(0).rows[0].angle, 90.0f);
  EXPECT_EQ(record<CDyszaMP>(0).rows[1].angle, 0.0f);
}

TEST_F(CatalogueTest, TextsFillingTheirWholeWidthStayTerminated) {
  CatalogueFileBuilder f;
  const std::string full50(50, 'N'), full20(20, 'P'), nine(9, '9');
  f.header(std::string(20, 'V'), "a", "d", 1).head(4).common(full50, full20, nine, 1, full20);
  CPartix& cat = load(f);
  ASSERT_EQ(cat.count, 1);
  EXPECT_EQ(std::string(cat.version), std::string(20, 'V'));
  EXPECT_EQ(std::strlen(cat.head->data->name), 49u);
  EXPECT_EQ(std::strlen(cat.head->data->manufacturer), 19u);
  EXPECT_EQ(std::string(cat.head->data->catalogueNo), nine);  // 9 bytes in a 15-byte field
  EXPECT_EQ(std::strlen(cat.head->data->picture), 19u);
}
