// What the cost estimates are built from: number and text formats, merging
// report items, estimate groups, gathering the items of a plan, and the HTML
// blocks byte for byte.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/textcodec.h"
#include "reports/report_html.h"
#include "reports/reports.h"
#include "sections/connection_sets.h"
#include "tests/model/report_fixture.h"

using namespace report_fixture;
using reports::CEstimateGroup;
using reports::CReportItem;
using reports::CReportItemList;

namespace {

constexpr int kNone = 0xFFFFFF;

CReportItem item(int section, int kind, const char* catNo, const char* name, float q, float price) {
  CReportItem i;
  i.section = section;
  i.kind = kind;
  i.catNo = catNo;
  i.name = name;
  i.quantity = q;
  i.price = price;
  i.value = q * price;
  return i;
}

std::string utf8(const std::string& s) { return platform::cp1250ToUtf8(s); }

}  // namespace

TEST(ReportTexts, NumbersNamesAndEscaping) {
  const struct {
    float value;
    const char* money;
  } money[] = {{12.5f, "12,50"}, {1234.5f, "1234,50"}, {0.0f, "0,00"}, {0.005f, "0,00"} /* the float lies below 0.005 */, {1e6f, "1000000,00"}};
  for (const auto& c : money) EXPECT_EQ(reports::moneyText(c.value), c.money) << c.value;

  const struct {
    float rate;
    const char* text;
  } rates[] = {{23.0f, "23"}, {7.5f, "7.5"}, {0.0f, "0"}, {8.25f, "8.2"}, {NAN, "0"}};
  for (const auto& c : rates) EXPECT_EQ(reports::vatRateText(c.rate), c.text) << c.rate;

  EXPECT_EQ(reports::reportName("Zraszacz <R1> B"), "Zraszacz  R1  B");
  EXPECT_EQ(reports::htmlEscape("A&B <i>\"x\"</i>"), "A&amp;B &lt;i&gt;&quot;x&quot;&lt;/i&gt;");
  EXPECT_EQ(reports::htmlEscape("Łąka"), "Łąka");

  EXPECT_EQ(reports::roundUpQuantity(14.3f), 15);
  EXPECT_EQ(reports::roundUpQuantity(3.0f), 3);
  EXPECT_EQ(reports::roundUpQuantity(3e30f), INT32_MAX);
  EXPECT_EQ(reports::integerPart(NAN), 0);

  // The price-list price counts from a magnitude of 1e-6 on; the float 1e-6f
  // lies just below it.
  const struct {
    float finalPrice, price;
  } prices[] = {{0.0f, 3.0f}, {4.5f, 4.5f}, {1e-7f, 3.0f}, {1e-6f, 3.0f}, {1.1e-6f, 1.1e-6f}, {-2.0f, -2.0f}};
  for (const auto& c : prices) {
    CData d;
    d.priceMul = 3.0f;
    d.finalPrice = c.finalPrice;
    EXPECT_EQ(reports::reportPrice(d), c.price) << c.finalPrice;
    HadarComponent h{};
    h.componentPriceMul = 3.0f;
    h.componentFinalPrice = c.finalPrice;
    EXPECT_EQ(reports::reportPrice(h), c.price) << c.finalPrice;
  }
}

TEST(ReportItems, MergeBySectionKindAndNumberAndFilterByName) {
  CReportItemList list;
  list.add(item(0, 3, "P-25", "Rura <PE>", 10.2f, 2.0f));
  list.add(item(0, 3, "P-25", "Inna nazwa", 4.1f, 9.0f));  // merged: the first name and price stay
  list.add(item(1, 3, "P-25", "Rura <PE>", 5.0f, 2.0f));   // another section
  list.add(item(0, 4, "P-25", "Rura <PE>", 1.0f, 2.0f));   // another kind
  list.add(item(0, 3, "A-1", "Adapter", 1.0f, 3.0f));
  list.add(item(0, 3, "Z-1", "Adapter", 2.0f, 3.0f));  // equal names keep list order

  ASSERT_EQ(list.items().size(), 5u);
  const CReportItem& pipe = list.items()[0];
  EXPECT_EQ(pipe.name, "Rura  PE ");
  EXPECT_FLOAT_EQ(pipe.quantity, 14.3f);
  EXPECT_FLOAT_EQ(pipe.value, 10.2f * 2.0f + 4.1f * 9.0f);
  EXPECT_EQ(pipe.price, 2.0f);

  const std::vector<CReportItem> pipes = list.filter(0, 3);
  ASSERT_EQ(pipes.size(), 3u);
  EXPECT_EQ(pipes[0].catNo, "A-1");
  EXPECT_EQ(pipes[1].catNo, "Z-1");
  EXPECT_EQ(pipes[2].catNo, "P-25");
  EXPECT_TRUE(list.filter(2, 3).empty());
  EXPECT_TRUE(list.hasSection(1));
  EXPECT_FALSE(list.hasSection(kNone));

  const auto buckets = list.bySectionAndKind();
  ASSERT_EQ(buckets.size(), 2u);
  EXPECT_EQ(buckets.at(0).at(3).size(), 3u);
  EXPECT_EQ(buckets.at(0).at(3)[0]->catNo, "A-1");
  EXPECT_EQ(list.sortedBySection().back().section, 1);
}

TEST(EstimateGroups, PiecesMetresAndNameOrder) {
  CEstimateGroup g;
  g.add("Zawor", "V-1", 50.0f, 0.0f);  // an object: one piece
  g.add("Zawor", "V-1", 99.0f, 0.0f);  // another object: the first price stays
  g.add("Adapter <A>", "A-1", 3.0f, 15.0f);  // fifteen pieces added by hand
  g.add("Adapter <A>", "A-1", 3.0f, 0.0f);   // a quantity of 0 still counts one
  g.add("Kolano", "K-1", 1.0f, 0.5f);        // less than one: one piece
  g.add("Kolano", "K-1", 1.0f, 0.75f);       // count 1 + 0.75 -> 1

  ASSERT_EQ(g.lines().size(), 3u);
  EXPECT_EQ(g.lines()[0].name, "Adapter  A ");
  EXPECT_EQ(g.lines()[0].count, 16);
  EXPECT_EQ(g.lines()[1].catNo, "K-1");
  EXPECT_EQ(g.lines()[1].count, 1);
  EXPECT_FLOAT_EQ(g.lines()[1].total, 1.25f);
  EXPECT_EQ(g.lines()[2].count, 2);
  EXPECT_EQ(g.lines()[2].price, 50.0f);

  // A line inserted before others keeps the catalogue numbers pointing at
  // their own lines.
  g.add("AAA", "B-1", 1.0f, 0.0f);
  g.add("Zawor", "V-1", 50.0f, 0.0f);
  EXPECT_EQ(g.lines()[3].catNo, "V-1");
  EXPECT_EQ(g.lines()[3].count, 3);
}

TEST(ReportGathering, EveryObjectBringsItsItems) {
  auto doc = emptyPlan();
  CDBSets sets;
  const int set = sets.newSet("Podlaczenie");
  sets.addElement(set, elem(kElbow));
  sets.addElement(set, elem(kPipe));
  sets.addElement(set, elem(kElbow));
  sets.addElement(set, elem(kOther));  // neither fitting nor pipe: nothing

  auto& source = place<CWValve>(*doc, kTypeValve, elem(kValve), kNone);
  source.SetWaterSource(1);
  place<CWValve>(*doc, kTypeValve, elem(kValve), 0);
  place<CWSprinkler>(*doc, kTypeSprinkler, elem(kRotary), kNone).deleted = 1;
  line<CWPipe>(*doc, kTypePipe, nullptr, 0, 50);  // no type assigned: nothing
  line<CWPipe>(*doc, kTypePipe, nullptr, 0, 102).AssignType(elem(kPipe));
  line<CWSet>(*doc, kTypeSet, nullptr, 1, 50).kindWord = static_cast<uint32_t>(sets.item(set).id);
  place<CWStaticSprinkler>(*doc, kTypeStaticSprinkler, elem(kBody), 1).nozzle = elem(kVanNozzle);
  hadar(*doc, 2, 1);
  line<CWDripline>(*doc, kTypeDripline, elem(kDrip), kNone, 32);
  line<CWCable>(*doc, kTypeCable, elem(kPipe), kNone, 40);  // no cable type assigned: nothing
  place<CWText>(*doc, kTypeText, nullptr, kNone);

  reports::ReportContext ctx;
  ctx.catalogue = &catalogue();
  ctx.sets = &sets;
  CReportItemList list;
  list.add(item(0, 0, "X", "left over", 1, 1));
  reports::gatherReportItems(*doc, ctx, list);

  const struct {
    int section, kind;
    const char* catNo;
    float quantity, price;
  } expected[] = {
      {0, 2, "V-1", 1, 50.0f},     {0, 3, "P-25", 10.2f, 2.0f}, {1, 4, "K-25", 2, 1.5f},
      {1, 3, "P-25", 5.0f, 2.0f},  {1, 7, "N-7", 1, 3.0f},      {1, 6, "S-1", 1, 8.0f},
      {2, 16, "H-1", 1, 0.5f},     {2, 16, "H-2", 1, 0.25f},    {2, 13, "W-1", 1, 4.0f},
      {2, 15, "HD-12", 1, 0.35f},  {kNone, 9, "D-1", 3.2f, 1.2f},
  };
  ASSERT_EQ(list.items().size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    const CReportItem& got = list.items()[i];
    EXPECT_EQ(got.section, expected[i].section);
    EXPECT_EQ(got.kind, expected[i].kind);
    EXPECT_EQ(got.catNo, expected[i].catNo);
    EXPECT_FLOAT_EQ(got.quantity, expected[i].quantity);
    EXPECT_FLOAT_EQ(got.price, expected[i].price);
  }
  EXPECT_EQ(list.items()[7].name, "Kolek  x ");
}

TEST(ReportBlocks, CategoryRowsAndTotalsByteForByte) {
  reports::HtmlReport html;
  CEstimateGroup pieces, metres;
  pieces.add("Zraszacz <R1>", "R-1", 12.5f, 0.0f);
  pieces.add("Zraszacz <R1>", "R-1", 12.5f, 0.0f);
  pieces.add("Zraszacz <R1>", "R-1", 12.5f, 0.0f);
  metres.add("Rura", "P-25", 2.0f, 10.2f);
  metres.add("Rura", "P-25", 2.0f, 4.1f);
  html.categoryHeader("Rury");
  html.pieceRows(pieces);
  html.metreRows(metres);
  html.closeTable();
  html.totals(7.5f);

  const std::string expected =
      "<table width=\"100%\" border=\"1\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\">\n"
      "<tr>\n"
      "<td width=\"9%\" bgcolor=\"#f0f0f0\">&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp"
      "&nbsp&nbsp</td>\n"
      "<td width=\"55%\" bgcolor=\"#f0f0f0\">Rury</td>\n"
      "<td width=\"10%\" bgcolor=\"#f0f0f0\">&nbsp</td>\n"
      "<td width=\"13%\" bgcolor=\"#f0f0f0\">&nbsp</td>\n"
      "<td width=\"13%\" bgcolor=\"#f0f0f0\">&nbsp</td>\n"
      "</tr>\n"
      "<tr>\n"
      "<td  bgcolor=\"#ffffff\">R-1</td>\n"
      "<td  bgcolor=\"#ffffff\">Zraszacz  R1 \n"
      "</td>\n"
      "<td  align=\"center\" bgcolor=\"#ffffff\">3</td>\n"
      "<td align=\"right\" bgcolor=\"#ffffff\">12,50</td>\n"
      "<td align=\"right\" bgcolor=\"#ffffff\">37,50</td>\n"
      "</tr>\n"
      "<tr>\n"
      "<td  bgcolor=\"#ffffff\">P-25</td>\n"
      "<td  bgcolor=\"#ffffff\">Rura</td>\n"
      "<td align=\"center\" bgcolor=\"#ffffff\">15</td>\n"
      "<td align=\"right\" bgcolor=\"#ffffff\">2,00</td>\n"
      "<td align=\"right\" bgcolor=\"#ffffff\">30,00</td>\n"
      "</tr>\n"
      "</table>\n"
      "<br>\n"
      "<table width=\"100%\" border=\"2\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\">\n"
      "<tr><td align=\"right\" width=\"80%\" bgcolor=\"#ffffff\" ><b>Całkowity koszt instalacji netto:\n"
      "</b></td><td align=\"right\" width=\"20%\" bgcolor=\"#ffffff\" ><b>67,50 PLN &nbsp</b></td></tr>"
      "<tr><td align=\"right\" bgcolor=\"#ffffff\" ><b>VAT [7.5%]:\n"
      "</b></td><td align=\"right\" bgcolor=\"#ffffff\" ><b>5,06 PLN &nbsp</b></td></tr>"
      "<tr><td align=\"right\" bgcolor=\"#ffffff\" ><b>Całkowity koszt instalacji brutto:\n"
      "</b></td><td align=\"right\" bgcolor=\"#ffffff\" ><b>72,56 PLN &nbsp</b></td></tr></table><br>\n";
  EXPECT_EQ(utf8(html.text()), expected);
  EXPECT_EQ(html.netTotal(), 67.5f);
}

TEST(ReportBlocks, TwoHadarUnitsOnOneBaseGiveAComponentTableOfTwoEach) {
  auto doc = emptyPlan();
  hadar(*doc, kNone);
  hadar(*doc, 0);
  reports::ReportContext ctx;
  ctx.catalogue = &catalogue();
  const std::string html = utf8(reports::summaryEstimateHtml(*doc, ctx).value());

  const std::string base =
      "<table width=\"100%\" border=\"1\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\">\n"
      "<td width=\"9%\" bgcolor=\"#f0f0f0\">&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp"
      "&nbsp&nbsp</td>\n"
      "<td width=\"55%\" bgcolor=\"#f0f0f0\">Mikrozraszacze HADAR</td>\n"
      "<td width=\"10%\" bgcolor=\"#f0f0f0\"></td>\n"
      "<td width=\"13%\" bgcolor=\"#f0f0f0\"></td>\n"
      "<td width=\"13%\" bgcolor=\"#f0f0f0\"></td>\n"
      "</table>\n"
      "<table width=\"100%\" border=\"1\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\">\n"
      "<tr>\n"
      "<td width=\"9%\" bgcolor=\"#f0f0f0\">&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp"
      "&nbsp&nbsp</td>\n"
      "<td width=\"55%\" bgcolor=\"#f0f0f0\">Podstawa</td>\n"
      "<td width=\"10%\" bgcolor=\"#f0f0f0\">&nbsp</td>\n"
      "<td width=\"13%\" bgcolor=\"#f0f0f0\">&nbsp</td>\n"
      "<td width=\"13%\" bgcolor=\"#f0f0f0\">&nbsp</td>\n"
      "</tr>\n"
      "<tr>\n"
      "<td width=\"9%\" bgcolor=\"#ffffff\">H-1</td>\n"
      "<td width=\"55%\" bgcolor=\"#ffffff\">Trzpien\n"
      "</td>\n"
      "<td align=\"center\" width=\"10%\" bgcolor=\"#ffffff\">2</td>\n"
      "<td align=\"right\" width=\"13%\" bgcolor=\"#ffffff\">0,50</td>\n"
      "<td align=\"right\" width=\"13%\" bgcolor=\"#ffffff\">1,00</td>\n"
      "<tr>\n"
      "<td width=\"9%\" bgcolor=\"#ffffff\">H-2</td>\n"
      "<td width=\"55%\" bgcolor=\"#ffffff\">Kolek  x \n"
      "</td>\n"
      "<td align=\"center\" width=\"10%\" bgcolor=\"#ffffff\">2</td>\n"
      "<td align=\"right\" width=\"13%\" bgcolor=\"#ffffff\">0,25</td>\n"
      "<td align=\"right\" width=\"13%\" bgcolor=\"#ffffff\">0,50</td>\n"
      "</table>\n";
  EXPECT_NE(html.find(base), std::string::npos) << html;
  // The inserts and the nozzles of the chosen row follow, two pieces each.
  const size_t inserts = html.find(">Wkładki zraszające</td>");
  const size_t nozzles = html.find(">Dysze</td>");
  ASSERT_NE(inserts, std::string::npos);
  ASSERT_NE(nozzles, std::string::npos);
  EXPECT_LT(html.find(base), inserts);
  EXPECT_LT(inserts, nozzles);
  EXPECT_NE(html.find("HD-09</td>\n<td  bgcolor=\"#ffffff\">Dysza  0.9  czarna\n</td>\n"
                      "<td  align=\"center\" bgcolor=\"#ffffff\">2</td>"),
            std::string::npos);
  EXPECT_EQ(html.find("HD-12"), std::string::npos);
  EXPECT_NE(html.find("<b>10,10 PLN &nbsp</b>"), std::string::npos);  // 1.00 + 0.50 + 8.00 + 0.60
}
