// Extra report elements: records made from the catalogue, looking them up
// again, the project file blocks (current and old form) and the renumbering
// when a section is deleted.

#include <gtest/gtest.h>

#include <cstring>

#include "document/token_stream.h"
#include "partix.h"
#include "sections/extra_elements.h"

namespace {

using Status = CExtraReportElements::ProjectStatus;
constexpr int kNone = ExtraReportElement::kNoSection;

// A small catalogue, built once: index 0 fitting "T25" (final price 4.5),
// 1 pipe "PE25" (multiplied price 2.0 only), 2 HADAR base numbered by its
// component "HC01", 3 a second HADAR base "HC02".
CPartix& catalogue() {
  static CPartix* root = [] {
    auto* c = new CPartix;
    auto add = [&](PartixKind kind, const char* name, const char* number, float priceMul, float finalPrice) {
      CElem e;
      e.InitData(kind);
      std::strncpy(e.data->name, name, sizeof e.data->name - 1);
      e.data->priceMul = priceMul;
      e.data->finalPrice = finalPrice;
      if (kind == kKindHadarBase) {
        auto* base = static_cast<CMicroSprinklerHADAR*>(e.data);
        base->componentCount = 1;
        std::strncpy(base->components[0].componentCatNo, number, sizeof base->components[0].componentCatNo - 1);
      } else {
        std::strncpy(e.data->catalogueNo, number, sizeof e.data->catalogueNo - 1);
      }
      c->AddElement(&e);
    };
    add(kKindFitting, "Trojnik 25", "T25", 3.0f, 4.5f);
    add(kKindPipe, "Rura PE 25", "PE25", 2.0f, 0.0f);
    add(kKindHadarBase, "Podstawa HADAR", "HC01", 9.0f, 0.0f);
    add(kKindHadarBase, "Druga podstawa", "HC02", 9.0f, 0.0f);
    return c;
  }();
  return *root;
}

CElem* elem(int index) {
  CElem* e = catalogue().head;
  while (index-- > 0) e = e->next;
  return e;
}

}  // namespace

TEST(ExtraElements, RecordsTakeNameAndPriceFromTheCatalogue) {
  CExtraReportElements list;
  EXPECT_EQ(list.add(elem(0), 1, 15.0f), 0);
  EXPECT_EQ(list.add(elem(1), kNone, 12.0f), 1);
  EXPECT_EQ(list.add(elem(3), 0, 2.0f), 2);
  EXPECT_EQ(list.add(nullptr, 0, 1.0f), -1);

  const ExtraReportElement& fitting = list.records()[0];
  EXPECT_EQ(fitting.kind, kKindFitting);
  EXPECT_EQ(fitting.section, 1);
  EXPECT_EQ(fitting.catalogueNo, "T25");
  EXPECT_EQ(fitting.name, "Trojnik 25");
  EXPECT_EQ(fitting.quantity, 15.0f);
  EXPECT_EQ(fitting.price, 4.5f);  // the final price wins
  EXPECT_EQ(fitting.element, elem(0));
  EXPECT_EQ(list.records()[1].price, 2.0f);  // no final price: the multiplied one
  EXPECT_EQ(list.records()[2].price, 0.0f);  // a HADAR base's components carry the prices
  EXPECT_EQ(list.records()[2].catalogueNo, "HC02");

  EXPECT_TRUE(list.remove(1));
  EXPECT_FALSE(list.remove(2));
  EXPECT_EQ(list.count(), 2);
  EXPECT_EQ(list.records()[1].element, elem(3));
}

TEST(ExtraElements, ResolvingAgainFollowsTheCatalogue) {
  CExtraReportElements list;
  list.add(elem(0), kNone, 1.0f);
  list.add(elem(3), kNone, 1.0f);
  elem(0)->data->finalPrice = 5.25f;
  EXPECT_EQ(list.resolve(catalogue()), 0);
  EXPECT_EQ(list.records()[0].price, 5.25f);
  EXPECT_EQ(list.records()[1].element, elem(2));  // a HADAR base is the first of kind 16
  EXPECT_EQ(list.records()[1].name, "Podstawa HADAR");
  elem(0)->data->finalPrice = 4.5f;

  // An element the catalogue lacks keeps its name and price and is counted.
  CPartix other;
  EXPECT_EQ(list.resolve(other), 2);
  EXPECT_EQ(list.records()[0].element, nullptr);
  EXPECT_EQ(list.records()[0].name, "Trojnik 25");
  EXPECT_EQ(list.records()[0].price, 5.25f);
  EXPECT_EQ(list.records()[1].element, nullptr);
  EXPECT_EQ(list.records()[1].name, "Podstawa HADAR");

  // A project's number that is not in the catalogue is kept as it is.
  TokenReader in("1\r\n4\r\n0\r\nGONE\r\n3\r\n");
  ASSERT_EQ(list.readProjectBlock(in, catalogue()), Status::ok);
  EXPECT_EQ(list.resolve(catalogue()), 1);
  EXPECT_EQ(list.records()[2].catalogueNo, "GONE");
  EXPECT_EQ(list.records()[2].quantity, 3.0f);
  TokenWriter out;
  list.writeProjectBlock(out);
  EXPECT_NE(out.text().find("GONE"), std::string::npos);
}

TEST(ExtraElements, ProjectBlockRoundTrip) {
  CExtraReportElements list;
  list.add(elem(0), 2, 15.0f);
  list.add(elem(1), kNone, 12.5f);
  list.add(elem(3), 0, 3.0f);
  TokenWriter out;
  list.writeProjectBlock(out);
  EXPECT_EQ(out.text(),
            "3\r\n"
            "4\r\n2\r\nT25\r\n15\r\n"
            "3\r\n16777215\r\nPE25\r\n12.5\r\n"
            "16\r\n0\r\nMKZR\r\n3\r\n");

  const std::string file = out.text() + "123432\r\n";
  TokenReader in(file);
  CExtraReportElements back;
  ASSERT_EQ(back.readProjectBlock(in, catalogue()), Status::ok);
  EXPECT_EQ(in.next(), "123432");
  ASSERT_EQ(back.count(), 3);
  for (int i = 0; i < 2; ++i) {
    const ExtraReportElement& a = list.records()[static_cast<size_t>(i)];
    const ExtraReportElement& b = back.records()[static_cast<size_t>(i)];
    EXPECT_EQ(b.kind, a.kind);
    EXPECT_EQ(b.section, a.section);
    EXPECT_EQ(b.catalogueNo, a.catalogueNo);
    EXPECT_EQ(b.name, a.name);
    EXPECT_EQ(b.quantity, a.quantity);
    EXPECT_EQ(b.price, a.price);
    EXPECT_EQ(b.element, a.element);
  }
  const ExtraReportElement& base = back.records()[2];
  EXPECT_EQ(base.catalogueNo, "MKZR");
  EXPECT_EQ(base.element, elem(2));
  EXPECT_EQ(base.price, 0.0f);
  EXPECT_EQ(base.quantity, 3.0f);

  TokenReader empty("0\r\n");
  EXPECT_EQ(back.readProjectBlock(empty, catalogue()), Status::ok);
  EXPECT_EQ(back.count(), 3);
}

TEST(ExtraElements, ADamagedBlockAddsNothing) {
  struct Case {
    const char* what;
    const char* text;
  } cases[] = {
      {"cut short", "2\r\n4\r\n0\r\nT25\r\n1\r\n4\r\n0\r\n"},
      {"count is no number", "dwa\r\n"},
      {"negative count", "-3\r\n"},
      {"huge count", "2000000000\r\n4\r\n"},
      {"kind out of range", "1\r\n25\r\n0\r\nT25\r\n1\r\n"},
      {"negative section", "1\r\n4\r\n-2\r\nT25\r\n1\r\n"},
      {"section is no number", "1\r\n4\r\nx\r\nT25\r\n1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CExtraReportElements list;
    TokenReader in(c.text);
    EXPECT_EQ(list.readProjectBlock(in, catalogue()), Status::damaged);
    EXPECT_TRUE(list.empty());
  }
}

TEST(ExtraElements, OldFormAddsElementsWithoutSection) {
  CExtraReportElements list;
  TokenReader in("2\r\nT25\r\n3\r\nHC01\r\n1\r\n");
  ASSERT_EQ(list.readOldProjectBlock(in, catalogue()), Status::ok);
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list.records()[0].kind, kKindFitting);
  EXPECT_EQ(list.records()[0].section, kNone);
  EXPECT_EQ(list.records()[0].quantity, 3.0f);
  EXPECT_EQ(list.records()[0].price, 4.5f);
  EXPECT_EQ(list.records()[1].kind, kKindHadarBase);
  EXPECT_EQ(list.records()[1].element, elem(2));
  EXPECT_EQ(list.records()[1].price, 0.0f);

  TokenReader zero("0\r\n");
  EXPECT_EQ(list.readOldProjectBlock(zero, catalogue()), Status::ok);
  TokenReader missing("2\r\nT25\r\n1\r\nGONE\r\n1\r\n");
  EXPECT_EQ(list.readOldProjectBlock(missing, catalogue()), Status::missingElement);
  TokenReader cut("2\r\nT25\r\n1\r\nT25\r\n");
  EXPECT_EQ(list.readOldProjectBlock(cut, catalogue()), Status::damaged);
  TokenReader fraction("1\r\nT25\r\n1.5\r\n");
  EXPECT_EQ(list.readOldProjectBlock(fraction, catalogue()), Status::damaged);
  EXPECT_EQ(list.count(), 2);
}

TEST(ExtraElements, DeletingASectionRenumbersTheRecords) {
  CExtraReportElements list;
  const int sections[] = {0, 1, 2, kNone, 0, 2};
  for (int s : sections) list.add(elem(0), s, 1.0f);
  list.onSectionRemoved(0);  // the first of three sections
  std::vector<int> after;
  for (const ExtraReportElement& r : list.records()) after.push_back(r.section);
  EXPECT_EQ(after, (std::vector<int>{0, 1, kNone, 1}));
  list.onSectionRemoved(1);
  after.clear();
  for (const ExtraReportElement& r : list.records()) after.push_back(r.section);
  EXPECT_EQ(after, (std::vector<int>{0, kNone}));
}

TEST(ExtraElements, TheProgramWideListIsOne) {
  extraReportElements().add(elem(0), kNone, 1.0f);
  EXPECT_EQ(&extraReportElements(), &extraReportElements());
  EXPECT_EQ(extraReportElements().count(), 1);
  extraReportElements().clear();
  EXPECT_TRUE(extraReportElements().empty());
}
