// The three reports of a small project built here: quantities, prices,
// totals and the text byte for byte; escaping of what the user typed; VAT and
// multiplier; an extra element the catalogue lacks; the report files; and the
// reports of the shipped sample project kept for a person to read.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "document/app_state.h"
#include "document/catalogue_lookup.h"
#include "document/registry_values.h"
#include "document/settings_file.h"
#include "platform/file_sys.h"
#include "platform/message_sink.h"
#include "platform/textcodec.h"
#include "reports/report_html.h"
#include "reports/reports.h"
#include "sections/connection_sets.h"
#include "sections/extra_elements.h"
#include "sections/section_list.h"
#include "startup/application.h"
#include "tests/support/program.h"
#include "tests/catalogue_file_builder.h"
#include "tests/model/report_fixture.h"
#include "tests/support/scene_builder.h"

namespace fs = std::filesystem;
using namespace report_fixture;

namespace {

constexpr int kNone = 0xFFFFFF;

std::string utf8(const std::string& s) { return platform::cp1250ToUtf8(s); }
std::string cp(const std::string& s) { return platform::utf8ToCp1250(s); }

// The skeleton every estimate starts with, up to the column header (UTF-8).
std::string head() {
  return "<html>\n"
         "<meta http-equiv=Content-Type content=\"text/html; charset=Windows-1250\">\n"
         "<style type=\"text/css\">\n"
         "<!--\n"
         "td {  font-family: Verdana, Arial, Helvetica,sans-serif; font-size: 12px; font-style: normal; "
         "line-height: normal; color: #000000}\n"
         "-->\n"
         "</style>\n"
         "<br>\n"
         "<head>\n"
         "</head>\n"
         "<body>\n";
}

std::string companyBlock(const std::string& name) {
  return "<table>\n<tr>\n<td>\n<img height=\"70\" src=\"file:\\\\/tmp/logo.png\"/>\n</td>\n"
         "<td style=\"vertical-align:top\">\n"
         "&nbsp " + name + "<br>\n&nbsp ul. Polna 1<br>\n&nbsp 123<br>\n&nbsp biuro@example.com<br>\n"
         "&nbsp www.example.com<br>\n</td>\n</tr>\n</table>\n";
}

std::string projectBlock(const std::string& investor) {
  return "<table width=\"450px\" border=\"0\" cellpaddin=\"0\" cellspacing=\"0\" align=\"left\">\n"
         "<tr><td width=\"80px\">Inwestor: &nbsp<br>\n"
         "</td><td width=\"350px\">" + investor + "\n"
         "</td></tr><tr><td width=\"80px\">Obiekt: &nbsp\n"
         "</td><td width=\"350px\">Ogród\n"
         "</td></tr><tr><td width=\"80px\">Projekt nr: &nbsp\n"
         "</td><td width=\"350px\">7/2024\n"
         "</td></tr><tr><td width=\"80px\">Data: &nbsp\n"
         "</td><td width=\"350px\">01.02.2024\n"
         "</td></tr></table>";
}

const std::string kColumnHeader =
    "<table width=\"100%\" border=\"1\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\">\n"
    "<tr><td align=\"center\" width=\"9%\" bgcolor=\"#f0f0f0\"><b>Nr kat.<br>"
    "<img align=\"bottom\" height=\"1\" width=\"64\" src=\"spacer.gif\">\n"
    "</b></td><td align=\"center\" width=\"55%\" bgcolor=\"#f0f0f0\"><b>Nazwa elementu<br>"
    "<img align=\"bottom\" height=\"1\" width=\"45\" src=\"spacer.gif\">\n"
    "</b></td><td align=\"center\" width=\"10%\" bgcolor=\"#f0f0f0\"><b>Ilość  [szt./m]<br></b></td>"
    "<td align=\"center\" width=\"13%\" bgcolor=\"#f0f0f0\"><b>Cena netto [PLN]<br></b></td>"
    "<td align=\"center\" width=\"13%\" bgcolor=\"#f0f0f0\"><b>Wartość netto [PLN]<br></b></td></tr></table>";

std::string totals(const char* net, const char* rate, const char* vat, const char* gross) {
  return std::string("<br>\n") +
         "<table width=\"100%\" border=\"2\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\">\n"
         "<tr><td align=\"right\" width=\"80%\" bgcolor=\"#ffffff\" ><b>Całkowity koszt instalacji netto:\n"
         "</b></td><td align=\"right\" width=\"20%\" bgcolor=\"#ffffff\" ><b>" + net + " PLN &nbsp</b></td></tr>"
         "<tr><td align=\"right\" bgcolor=\"#ffffff\" ><b>VAT [" + rate + "%]:\n"
         "</b></td><td align=\"right\" bgcolor=\"#ffffff\" ><b>" + vat + " PLN &nbsp</b></td></tr>"
         "<tr><td align=\"right\" bgcolor=\"#ffffff\" ><b>Całkowity koszt instalacji brutto:\n"
         "</b></td><td align=\"right\" bgcolor=\"#ffffff\" ><b>" + gross + " PLN &nbsp</b></td></tr></table><br>\n";
}

std::string footer(const char* version) {
  return std::string("<table width=\"100%\" border=\"0\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\">\n") +
         "<td align=\"right\">Autor projektu: Anna &nbsp <br>\n"
         "</td></table><br>\n"
         "<table width=\"100%\" border=\"0\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\">\n"
         "<td align=\"right\">" + version + " &nbsp <br>\n"
         "</td></table></body>\n"
         "</html>\n";
}

// A piece row and a metre row of the summary, and a row of the estimate by
// sections (UTF-8).
std::string pieceRow(const char* catNo, const char* name, int n, const char* price, const char* value) {
  return std::string("<tr>\n<td  bgcolor=\"#ffffff\">") + catNo + "</td>\n<td  bgcolor=\"#ffffff\">" + name +
         "\n</td>\n<td  align=\"center\" bgcolor=\"#ffffff\">" + std::to_string(n) +
         "</td>\n<td align=\"right\" bgcolor=\"#ffffff\">" + price + "</td>\n<td align=\"right\" bgcolor=\"#ffffff\">" +
         value + "</td>\n</tr>\n";
}
std::string metreRow(const char* catNo, const char* name, int n, const char* price, const char* value) {
  return std::string("<tr>\n<td  bgcolor=\"#ffffff\">") + catNo + "</td>\n<td  bgcolor=\"#ffffff\">" + name +
         "</td>\n<td align=\"center\" bgcolor=\"#ffffff\">" + std::to_string(n) +
         "</td>\n<td align=\"right\" bgcolor=\"#ffffff\">" + price + "</td>\n<td align=\"right\" bgcolor=\"#ffffff\">" +
         value + "</td>\n</tr>\n";
}
std::string sectionRow(const char* catNo, const char* name, int n, const char* price, const char* value) {
  return std::string("<tr>\n<td  bgcolor=\"#ffffff\"  align=\"center\"  >") + catNo +
         "</td>\n<td  bgcolor=\"#ffffff\">" + name + "</td>\n<td align=\"center\" bgcolor=\"#ffffff\">" +
         std::to_string(n) + "</td>\n<td align=\"right\" bgcolor=\"#ffffff\">" + price +
         "</td>\n<td align=\"right\" bgcolor=\"#ffffff\">" + value + "</td>\n</tr>\n";
}
std::string caption(const std::string& text) { return "<td width=\"55%\" bgcolor=\"#f0f0f0\">" + text + "</td>\n"; }
std::string heading(const std::string& text) { return "<td width=\"90%\" bgcolor=\"#e0e0e0\">" + text + "</td>\n"; }

// Whether every piece occurs in `text`, each after the one before.
::testing::AssertionResult inOrder(const std::string& text, const std::vector<std::string>& pieces) {
  size_t at = 0;
  for (const std::string& piece : pieces) {
    const size_t found = text.find(piece, at);
    if (found == std::string::npos)
      return ::testing::AssertionFailure() << "missing after offset " << at << ":\n" << piece << "\nin:\n" << text;
    at = found + piece.size();
  }
  return ::testing::AssertionSuccess();
}

// A project of every kind of element, in two of three sections and outside
// any, with extra report elements in a section and outside.
class SmallProject : public ::testing::Test {
 protected:
  void SetUp() override {
    doc = emptyPlan();
    doc->companyName = cp("Ogrody & Co");
    doc->companyAddress = "ul. Polna 1";
    doc->companyPhone = "123";
    doc->companyEmail = "biuro@example.com";
    doc->companyWww = "www.example.com";
    doc->companyLogo = "/tmp/logo.png";
    doc->investor = cp("Jan <Kowalski>");
    doc->objectName = cp("Ogród");
    doc->projectNo = "7/2024";
    doc->projectDate = "01.02.2024";
    doc->author = "Anna";
    doc->sourcePressure = 3.5f;
    doc->sourceCapacity = 2.0f;

    const int set = sets.newSet(cp("Zestaw <A>&B"));
    sets.addElement(set, elem(kElbow));
    sets.addElement(set, elem(kElbow));
    sets.addElement(set, elem(kPipe));

    auto& source = place<CWValve>(*doc, kTypeValve, elem(kValve), kNone);
    source.SetWaterSource(1);
    place<CWValve>(*doc, kTypeValve, elem(kValve), 0);
    place<CWSprinkler>(*doc, kTypeSprinkler, elem(kRotary), 0).flow = 0.5f;
    place<CWSprinkler>(*doc, kTypeSprinkler, elem(kRotary), 0).flow = 0.5f;
    place<CWSprinkler>(*doc, kTypeSprinkler, elem(kRotary), kNone).flow = 0.5f;
    place<CWSprinkler>(*doc, kTypeSprinkler, elem(kRotary), 0).deleted = 1;
    line<CWPipe>(*doc, kTypePipe, nullptr, 0, 102).AssignType(elem(kPipe));
    line<CWPipe>(*doc, kTypePipe, nullptr, 0, 41).AssignType(elem(kPipe));
    line<CWPipe>(*doc, kTypePipe, nullptr, 1, 70);  // no type: not priced
    place<CWStaticSprinkler>(*doc, kTypeStaticSprinkler, elem(kBody), 1).nozzle = elem(kVanNozzle);
    hadar(*doc, 1).flowLh = 5.0f;
    hadar(*doc, kNone);
    line<CWDripline>(*doc, kTypeDripline, elem(kDrip), 0, 32).flow = 0.2f;
    line<CWDripline>(*doc, kTypeDripline, elem(kDrip), 1, 32);
    line<CWSet>(*doc, kTypeSet, nullptr, 1, 50).kindWord = static_cast<uint32_t>(sets.item(set).id);
    place<CWText>(*doc, kTypeText, nullptr, kNone);

    sections.setCount(3);
    sections.describeSection(*doc, 0, cp("Przód <dom> & taras"), 0x0000FF);
    sections.describeSection(*doc, 1, "", 0x00FF00);

    extras.add(elem(kElbow), 1, 15.0f);
    extras.add(elem(kOther), kNone, 2.0f);
    extras.add(elem(kBase), 0, 1.0f);

    ctx.catalogue = &catalogue();
    ctx.sets = &sets;
    ctx.sections = &sections;
    ctx.extras = &extras;
    ctx.vatPercent = 23.0f;
  }

  std::unique_ptr<CGraphicPlane> doc;
  CDBSets sets;
  CSectionList sections;
  CExtraReportElements extras;
  reports::ReportContext ctx;
  platform::RecordingMessageSink messages;
};

}  // namespace

TEST(Reports, AnEstimateOfAPlanWithoutElementsIsItsSkeletonWithZeroTotals) {
  auto doc = emptyPlan();
  doc->companyName = "Firma";
  doc->companyAddress = "ul. Polna 1";
  doc->companyPhone = "123";
  doc->companyEmail = "biuro@example.com";
  doc->companyWww = "www.example.com";
  doc->companyLogo = "/tmp/logo.png";
  doc->investor = "Inwestor";
  doc->objectName = cp("Ogród");
  doc->projectNo = "7/2024";
  doc->projectDate = "01.02.2024";
  doc->author = "Anna";
  place<CWText>(*doc, kTypeText, nullptr, kNone);
  CSectionList sections;
  reports::ReportContext ctx;
  ctx.sections = &sections;
  ctx.vatPercent = 23.0f;

  const std::string summary = utf8(reports::summaryEstimateHtml(*doc, ctx).value());
  EXPECT_EQ(summary, head() +
                         "<b><Center style=\"font-size:20px;font-weight:bold;\">\nKOSZTORYS ZBIORCZY\n</Center>\n"
                         "</b><br/>" + companyBlock("Firma") + "<br>\n" + projectBlock("Inwestor") +
                         "<br/><br/><br/><br/><br/>\n<br/><br/>\n" + kColumnHeader +
                         totals("0,00", "23", "0,00", "0,00") + footer("VERDIMO ver. 4.2"));

  const std::string bySections = utf8(reports::sectionEstimateHtml(*doc, ctx).value());
  EXPECT_EQ(bySections, head() +
                            "<b><Center style=\"font-size:20px;font-weight:bold;\">\n"
                            "KOSZTORYS Z PODZIAŁEM NA SEKCJE\n</Center>\n</b><br/>\n" +
                            companyBlock("Firma") + "<br/>\n" + projectBlock("Inwestor") +
                            "<br/><br/><br/><br/><br/><br/><br/>\n" + kColumnHeader +
                            totals("0,00", "23", "0,00", "0,00") + footer("VERDIMO  ver. 4.2"));
}

TEST_F(SmallProject, SummaryEstimate) {
  const std::optional<std::string> html = reports::summaryEstimateHtml(*doc, ctx);
  ASSERT_TRUE(html);
  const std::string text = utf8(*html);
  EXPECT_TRUE(inOrder(text, {
      kColumnHeader,
      caption("Zraszacze obrotowe"), pieceRow("R-1", "Zraszacz  R1  B", 3, "12,50", "37,50"), "</table>\n",
      caption("Zraszacze statyczne"), pieceRow("S-1", "Obudowa", 1, "8,00", "8,00"), "</table>\n",
      caption("Dysze do zraszaczy statycznych"), pieceRow("N-7", "Dysza VAN", 1, "3,00", "3,00"), "</table>\n",
      "Mikrozraszacze HADAR", caption("Podstawa"),
      ">H-1</td>\n", ">3</td>\n", ">0,50</td>\n", ">1,50</td>\n",  // two units and one base added by hand
      ">H-2</td>\n", ">3</td>\n", ">0,25</td>\n", ">0,75</td>\n", "</table>\n",
      caption("Wkładki zraszające"), pieceRow("W-1", "Wkladka  W1 ", 2, "4,00", "8,00"), "</table>\n",
      caption("Dysze"), pieceRow("HD-09", "Dysza  0.9  czarna", 2, "0,30", "0,60"), "</table>\n",
      // 3.2 m in two sections: rounded up per section, 4 + 4
      caption("Linie kroplujące"), metreRow("D-1", "Linia", 8, "1,20", "9,60"), "</table>\n",
      caption("Zawory elektromagnetyczne"), pieceRow("V-1", "Zawor  V ", 1, "50,00", "50,00"), "</table>\n",
      // two from the placed set, fifteen added by hand
      caption("Złączki"), pieceRow("K-25", "Kolano 25", 17, "1,50", "25,50"), "</table>\n",
      // 10.2 + 4.1 m in one section make 15, the set's 5 m in another 5
      caption("Rury"), metreRow("P-25", "Rura PE 25", 20, "2,00", "40,00"), "</table>\n",
      caption("Inne"), pieceRow("T-1", "Tasma", 2, "7,00", "14,00"), "</table>\n",
      totals("198,45", "23", "45,64", "244,09") + footer("VERDIMO ver. 4.2"),
  }));
  for (const char* absent : {"Mikrozraszacze<", "Seria RWS", "Sterowniki", "Czujniki", "Studzienki", "Regulatory",
                             "Filtry", "Przewody", "HD-12"})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent;
  EXPECT_EQ(text.find(pieceRow("V-1", "Zawor  V ", 2, "50,00", "100,00")), std::string::npos);  // not the source
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SmallProject, SummaryCategoriesFollowWhatThePlanHolds) {
  // Without the static sprinkler only an extra static nozzle is left: no body
  // table, but the nozzle table. Deleting the sprinklers drops their category.
  for (const auto& o : doc->objects())
    if (o->GetType() == kTypeStaticSprinkler || o->GetType() == kTypeSprinkler) o->deleted = 1;
  extras.add(elem(kVanNozzle), kNone, 4.0f);
  const std::string text = utf8(reports::summaryEstimateHtml(*doc, ctx).value());
  EXPECT_EQ(text.find("Zraszacze obrotowe"), std::string::npos);
  EXPECT_EQ(text.find("Zraszacze statyczne"), std::string::npos);
  EXPECT_TRUE(inOrder(text, {caption("Dysze do zraszaczy statycznych"),
                             pieceRow("N-7", "Dysza VAN", 4, "3,00", "12,00"), "</table>\n"}));
}

// One element of each category the small project leaves out, all in the
// second of two sections, with lengths added by hand: where every category
// stands in each estimate, and how the estimates round lengths differently.
TEST(Reports, EveryCategoryStandsInItsPlace) {
  auto doc = emptyPlan();
  doc->author = "Anna";
  place<CWMicroSprinkler>(*doc, kTypeMicroSprinkler, elem(kMicro), 1).flowLh = 40.0f;
  place<CWRwsSprinkler>(*doc, kTypeRws, elem(kRws), 1).flow = 0.1f;
  place<CWController>(*doc, kTypeController, elem(kController), 1);
  place<CWRainSensor>(*doc, kTypeRainSensor, elem(kRainSensor), 1);
  place<CWRainSensor>(*doc, kTypeRainSensor, elem(kSoilSensor), 1);
  place<CWValveBox>(*doc, kTypeValveBox, elem(kBox), 1);
  place<CWReg>(*doc, kTypeRegulator, elem(kRegulator), 1);
  place<CWFilter>(*doc, kTypeFilter, elem(kFilter), 1);
  place<CWValve>(*doc, kTypeValve, elem(kValve), 1);
  line<CWCable>(*doc, kTypeCable, nullptr, 1, 121).AssignCableType(elem(kCable));
  line<CWCable>(*doc, kTypeCable, nullptr, 1, 500);  // no cable type: not priced
  line<CWPipe>(*doc, kTypePipe, nullptr, 1, 102).AssignType(elem(kPipe));
  line<CWDripline>(*doc, kTypeDripline, elem(kDrip), 1, 32);

  CSectionList sections;
  sections.setCount(2);
  sections.describeSection(*doc, 1, "Rabata", 0x0000FF);
  CExtraReportElements extras;
  for (Element e : {kPipe, kCable, kDrip}) extras.add(elem(e), 1, 2.7f);
  extras.add(elem(kElbow), 1, 1.0f);
  extras.add(elem(kOther), 1, 1.0f);

  reports::ReportContext ctx;
  ctx.catalogue = &catalogue();
  ctx.sections = &sections;
  ctx.extras = &extras;
  ctx.vatPercent = 8.0f;

  // The summary rounds each section's length up and adds the whole metres of a
  // drip line or cable added by hand, but the full length of a pipe.
  const std::string summary = utf8(reports::summaryEstimateHtml(*doc, ctx).value());
  EXPECT_TRUE(inOrder(summary, {
      kColumnHeader,
      caption("Mikrozraszacze"), pieceRow("M-1", "Mikro", 1, "2,00", "2,00"), "</table>\n",
      caption("Seria RWS"), pieceRow("RW-1", "RWS", 1, "30,00", "30,00"), "</table>\n",
      caption("Linie kroplujące"), metreRow("D-1", "Linia", 6, "1,20", "7,20"), "</table>\n",  // 4 + 2
      caption("Zawory elektromagnetyczne"), pieceRow("V-1", "Zawor  V ", 1, "50,00", "50,00"), "</table>\n",
      caption("Sterowniki"), pieceRow("C-1", "Sterownik", 1, "300,00", "300,00"), "</table>\n",
      caption("Czujniki opadu deszczu"), pieceRow("CD-1", "Czujnik deszczu", 1, "90,00", "90,00"), "</table>\n",
      caption("Czujniki wilgotności gleby"), pieceRow("CG-1", "Czujnik gleby", 1, "120,00", "120,00"), "</table>\n",
      caption("Studzienki"), pieceRow("B-1", "Studzienka", 1, "40,00", "40,00"), "</table>\n",
      caption("Regulatory ciśnienia"), pieceRow("RG-1", "Regulator", 1, "60,00", "60,00"), "</table>\n",
      caption("Filtry"), pieceRow("F-1", "Filtr", 1, "45,00", "45,00"), "</table>\n",
      caption("Złączki"), pieceRow("K-25", "Kolano 25", 1, "1,50", "1,50"), "</table>\n",
      caption("Rury"), metreRow("P-25", "Rura PE 25", 14, "2,00", "28,00"), "</table>\n",  // 11 + 2.7
      caption("Przewody elektryczne"), metreRow("E-5", "Przewod 5x1", 15, "3,00", "45,00"), "</table>\n",  // 13 + 2
      caption("Inne"), pieceRow("T-1", "Tasma", 1, "7,00", "7,00"), "</table>\n",
      totals("825,70", "8", "66,06", "891,76"),
  }));
  for (const char* absent : {"Zraszacze", "HADAR", "Dysze"})
    EXPECT_EQ(summary.find(absent), std::string::npos) << absent;

  // By sections every merged quantity is rounded up once; the empty first
  // section has no heading, the other keeps its own number.
  const std::string bySections = utf8(reports::sectionEstimateHtml(*doc, ctx).value());
  EXPECT_TRUE(inOrder(bySections, {
      kColumnHeader, heading("<B> Sekcja 2  - Rabata </B>"),
      caption("Mikrozraszacze "), sectionRow("M-1", "Mikro", 1, "2,00", "2,00"), "</table>\n",
      caption("Seria RWS"), sectionRow("RW-1", "RWS", 1, "30,00", "30,00"), "</table>\n",
      caption("Linie kroplujące "), sectionRow("D-1", "Linia", 6, "1,20", "7,20"), "</table>\n",  // 5.9
      caption("Sterowniki"), sectionRow("C-1", "Sterownik", 1, "300,00", "300,00"), "</table>\n",
      caption("Zawory elektromagnetyczne "), sectionRow("V-1", "Zawor  V ", 1, "50,00", "50,00"), "</table>\n",
      caption("Czujniki opadu deszczu "), sectionRow("CD-1", "Czujnik deszczu", 1, "90,00", "90,00"), "</table>\n",
      caption("Czujniki wilgotności gleby "), sectionRow("CG-1", "Czujnik gleby", 1, "120,00", "120,00"),
      "</table>\n",
      caption("Filtry "), sectionRow("F-1", "Filtr", 1, "45,00", "45,00"), "</table>\n",
      caption("Regulatory ciśnienia "), sectionRow("RG-1", "Regulator", 1, "60,00", "60,00"), "</table>\n",
      caption("Studzienki "), sectionRow("B-1", "Studzienka", 1, "40,00", "40,00"), "</table>\n",
      caption("Złączki"), sectionRow("K-25", "Kolano 25", 1, "1,50", "1,50"), "</table>\n",
      caption("Rury"), sectionRow("P-25", "Rura PE 25", 13, "2,00", "26,00"), "</table>\n",  // 12.9
      caption("Przewody elektryczne "), sectionRow("E-5", "Przewod 5x1", 15, "3,00", "45,00"), "</table>\n",  // 14.8
      caption("Inne "), sectionRow("T-1", "Tasma", 1, "7,00", "7,00"), "</table>\n",
      totals("823,70", "8", "65,90", "889,60"),
  }));
  for (const char* absent : {"Sekcja 1", "Pozostałe"}) EXPECT_EQ(bySections.find(absent), std::string::npos) << absent;

  // The only section with water users is the second: its row is numbered 1
  // and shows that section's description and colour.
  const std::string info = utf8(reports::projectInfoHtml(*doc, ctx));
  EXPECT_NE(info.find("<tr><td width=\"20%\" align=\"center\" >1</td><td width=\"40%\" >Rabata</td>"
                      "<td width=\"10%\"  bgcolor=\"ff0000\"   >&nbsp</td><td width=\"15%\" align=\"center\" >0.14</td>"
                      "<td width=\"20%\" align=\"center\" >3 - 3 [m]</td></tr></table><br>"),
            std::string::npos)
      << info;
}

TEST_F(SmallProject, EstimateBySections) {
  const std::optional<std::string> html = reports::sectionEstimateHtml(*doc, ctx);
  ASSERT_TRUE(html);
  const std::string text = utf8(*html);
  EXPECT_TRUE(inOrder(text, {
      "<br/><br/><br/><br/><br/><br/><br/>\n" + kColumnHeader,
      heading("<B> Sekcja 1  - Przód &lt;dom&gt; &amp; taras </B>"),
      caption("Zraszacze obrotowe"), sectionRow("R-1", "Zraszacz  R1  B", 2, "12,50", "25,00"), "</table>\n",
      caption("Mikrozraszacze HADAR - podstawy "), sectionRow("H-2", "Kolek  x ", 1, "0,25", "0,25"),
      sectionRow("H-1", "Trzpien", 1, "0,50", "0,50"), "</table>\n",
      caption("Linie kroplujące "), sectionRow("D-1", "Linia", 4, "1,20", "4,80"),
      caption("Zawory elektromagnetyczne "), sectionRow("V-1", "Zawor  V ", 1, "50,00", "50,00"),
      caption("Rury"), sectionRow("P-25", "Rura PE 25", 15, "2,00", "30,00"),
      heading("<B> Sekcja 2 </B>"),
      caption("Zraszacze statyczne - obudowy "), sectionRow("S-1", "Obudowa", 1, "8,00", "8,00"),
      caption("Zraszacze statyczne - Dysze statyczne „okrąg” regulowane "),
      sectionRow("N-7", "Dysza VAN", 1, "3,00", "3,00"),
      caption("Mikrozraszacze HADAR - podstawy "), sectionRow("H-2", "Kolek  x ", 1, "0,25", "0,25"),
      sectionRow("H-1", "Trzpien", 1, "0,50", "0,50"),
      caption("Mikrozraszacze HADAR - wkładki zraszające "), sectionRow("W-1", "Wkladka  W1 ", 1, "4,00", "4,00"),
      caption("Mikrozraszacze HADAR - dysze "), sectionRow("HD-09", "Dysza  0.9  czarna", 1, "0,30", "0,30"),
      caption("Linie kroplujące "), sectionRow("D-1", "Linia", 4, "1,20", "4,80"),
      caption("Złączki"), sectionRow("K-25", "Kolano 25", 17, "1,50", "25,50"),
      caption("Rury"), sectionRow("P-25", "Rura PE 25", 5, "2,00", "10,00"), "</table>\n",
      heading("<B>Pozostałe elementy</B>"),
      caption("Zraszacze obrotowe"), sectionRow("R-1", "Zraszacz  R1  B", 1, "12,50", "12,50"),
      caption("Mikrozraszacze HADAR - podstawy "), sectionRow("H-2", "Kolek  x ", 1, "0,25", "0,25"),
      caption("Mikrozraszacze HADAR - wkładki zraszające "), caption("Mikrozraszacze HADAR - dysze "),
      caption("Inne "), sectionRow("T-1", "Tasma", 2, "7,00", "14,00"), "</table>\n",
      totals("198,45", "23", "45,64", "244,09") + footer("VERDIMO  ver. 4.2"),
  }));
  EXPECT_EQ(text.find("Sekcja 3"), std::string::npos);  // a section without elements has no heading
}

TEST_F(SmallProject, EstimatesAsCsvRows) {
  const std::optional<reports::Estimate> summary = reports::summaryEstimate(*doc, ctx);
  ASSERT_TRUE(summary);
  const std::string csv = reports::estimateCsv(summary->rows);
  EXPECT_EQ(csv.rfind("section,catalogueNo,name,unit,quantity,unitPrice,value\r\n", 0), 0u);
  for (const char* row : {",R-1,Zraszacz  R1  B,szt.,3,12.50,37.50\r\n", ",H-1,Trzpien,szt.,3,0.50,1.50\r\n",
                          ",D-1,Linia,m,8,1.20,9.60\r\n", ",K-25,Kolano 25,szt.,17,1.50,25.50\r\n",
                          ",P-25,Rura PE 25,m,20,2.00,40.00\r\n"})
    EXPECT_NE(csv.find(row), std::string::npos) << row;
  // The values add up to the net total the report shows.
  double sum = 0;
  for (const reports::EstimateRow& r : summary->rows) sum += std::round(r.value * 100.0) / 100.0;
  EXPECT_NEAR(sum, 198.45, 0.005);
  EXPECT_NEAR(summary->netTotal, 198.45f, 0.005f);

  // By sections: the section as the user numbers it, empty for the rest.
  const std::optional<reports::Estimate> sections = reports::sectionEstimate(*doc, ctx);
  ASSERT_TRUE(sections);
  ASSERT_FALSE(sections->rows.empty());
  EXPECT_EQ(sections->rows.front().section, "1");
  EXPECT_EQ(sections->rows.back().section, "");
  EXPECT_EQ(sections->rows.back().catalogueNo, "T-1");
  const std::string bySections = reports::estimateCsv(sections->rows);
  EXPECT_NE(bySections.find("2,P-25,Rura PE 25,m,5,2.00,10.00\r\n"), std::string::npos);

  // Fields with a comma, a quote or a line break are quoted (RFC 4180);
  // names come out in UTF-8.
  reports::EstimateRow odd;
  odd.catalogueNo = "A,1";
  odd.name = cp("Złączka 1\" \"x\"");
  odd.unit = "szt.";
  odd.quantity = 2;
  odd.price = 1.005f;
  odd.value = 2.01f;
  const std::string oddCsv = reports::estimateCsv({odd});
  EXPECT_EQ(oddCsv.substr(oddCsv.find("\r\n") + 2), ",\"A,1\",\"Złączka 1\"\" \"\"x\"\"\",szt.,2,1.00,2.01\r\n");
}

// The block of the watering analysis, cut out of an information report.
std::string takeCoverageBlock(std::string& text) {
  const std::string blue =
      "<table width=\"100%\" border=\"1\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\" bgcolor=\"#f0f0ff\" >";
  const size_t from = text.find(blue + "<tr><td align=\"center\"><B>Analiza nawadniania</B>");
  if (from == std::string::npos) return {};
  const size_t to = text.find("</p><br>", from);
  if (to == std::string::npos) return {};
  std::string block = text.substr(from, to + 8 - from);
  text.erase(from, to + 8 - from);
  return block;
}

TEST_F(SmallProject, ProjectInformation) {
  std::string text = utf8(reports::projectInfoHtml(*doc, ctx));
  // The watering analysis after the sections: a row per section and the
  // system, then the areas.
  const std::string coverage = takeCoverageBlock(text);
  for (const char* part : {"<td width=\"12%\" align=\"center\" >1</td>", "<td width=\"12%\" align=\"center\" >2</td>",
                           "Cały system", "CU <br> [%]", "Powierzchnia do nawadniania: "})
    EXPECT_NE(coverage.find(part), std::string::npos) << part;
  const std::string blue =
      "<table width=\"100%\" border=\"1\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\" bgcolor=\"#f0f0ff\" >";
  const std::string plain = "<table width=\"100%\" border=\"1\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\">";
  const std::string expected =
      head() + "<Center style=\"font-size:20px;font-weight:bold;\">\nINFORMACJE O PROJEKCIE\n</Center>\n<br>\n" +
      companyBlock("Ogrody &amp; Co") + "<br/>\n" + projectBlock("Jan &lt;Kowalski&gt;") +
      "<br/><br/><br/>\n<br/><br/>\n<br/><br/>\n" +
      // water source
      blue + "<tr><td align=\"center\"><B>Parametry źródła wody</B></td></tr></table>" + plain +
      "<tr><td width=\"20%\" >Ciśnienie [atm.]</td><td width=\"80%\" >3.50</td></tr>"
      "<tr><td width=\"20%\" >Wydajność [m<sup>3</sup>/h]</td><td width=\"80%\" >2.00</td></tr></table><br>" +
      // sections: two sprinklers and a drip line; a HADAR unit of 5 l/h and a drip line without flow
      blue + "<tr><td align=\"center\"><B>Parametry sekcji</B></td></tr></table>" + blue +
      "<tr><td width=\"20%\" align=\"center\" >Nr sekcji</td><td width=\"40%\" align=\"center\" >Opis sekcji</td>"
      "<td width=\"10%\" align=\"center\" >Kolor linii</td>"
      "<td width=\"15%\" align=\"center\" >Wydatek <br> [m<sup>3</sup>/h]</td>"
      "<td width=\"20%\" align=\"center\" >Ilość urządzeń <br> [szt./m]</td></tr></table>"
      "<table width=\"100%\" border=\"1\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\"  >"
      "<tr><td width=\"20%\" align=\"center\" >1</td><td width=\"40%\" >Przód &lt;dom&gt; &amp; taras</td>"
      "<td width=\"10%\"  bgcolor=\"ff0000\"   >&nbsp</td><td width=\"15%\" align=\"center\" >1.20</td>"
      "<td width=\"20%\" align=\"center\" >3 - 3 [m]</td></tr>"
      "<tr><td width=\"20%\" align=\"center\" >2</td><td width=\"40%\" ></td>"
      "<td width=\"10%\"  bgcolor=\"00ff00\"   >&nbsp</td><td width=\"15%\" align=\"center\" >0.0050</td>"
      "<td width=\"20%\" align=\"center\" >2 - 3 [m]</td></tr></table><br>" +
      // sets
      blue + "<tr><td align=\"center\"><B>Zestawy połączeniowe użyte w projekcie</B></td></tr></table>" + plain +
      "<tr><td width=\"20%\" bgcolor=\"#f0f0ff\" style=\"text-align:center\">Nazwa zestawu</td>"
      "<td width=\"80%\" bgcolor=\"#f0f0ff\" style=\"text-align:center\">Elementy składowe zestawu</td></tr>"
      "<tr><td style=\"vertical-align:top;text-align:center;\" width=\"20%\" >Zestaw &lt;A&gt;&amp;B</td>"
      "<td style=\"vertical-align:top;\" width=\"80%\" >Kolano 25 - Kolano 25 - Rura PE 25</td></tr></table><br>" +
      footer("VERDIMO  ver. 4.2");
  EXPECT_EQ(text, expected);
}

TEST_F(SmallProject, ProjectInformationWithoutSectionsOrSets) {
  for (const auto& o : doc->objects()) o->SetSectionNo(kNone);
  ctx.sets = nullptr;
  std::string text = utf8(reports::projectInfoHtml(*doc, ctx));
  // Heads of no section: the analysis has the system's row alone.
  const std::string coverage = takeCoverageBlock(text);
  EXPECT_NE(coverage.find("Cały system"), std::string::npos);
  EXPECT_EQ(coverage.find("<td width=\"12%\" align=\"center\" >1</td>"), std::string::npos);
  EXPECT_EQ(text.find("Parametry sekcji"), std::string::npos);
  EXPECT_EQ(text.find("Zestawy"), std::string::npos);
  EXPECT_NE(text.find(">2.00</td></tr></table><br><table width=\"100%\" border=\"0\""), std::string::npos);
}

TEST_F(SmallProject, EveryTextTheUserTypedIsEscaped) {
  doc->companyLogo = "/tmp/a\"onerror=\"x.png";
  doc->companyAddress = "<b>";
  doc->objectName = "A&B";
  doc->projectNo = "<1>";
  doc->projectDate = "\"";
  doc->author = "<script>alert(1)</script>";
  const std::string summary = *reports::summaryEstimateHtml(*doc, ctx);
  const std::string bySections = *reports::sectionEstimateHtml(*doc, ctx);
  const std::string info = reports::projectInfoHtml(*doc, ctx);
  for (const std::string* report : {&summary, &bySections, &info}) {
    const std::string text = utf8(*report);
    EXPECT_NE(text.find("src=\"file:\\\\/tmp/a&quot;onerror=&quot;x.png\"/>"), std::string::npos);
    for (const char* escaped : {"&nbsp &lt;b&gt;<br>", "Jan &lt;Kowalski&gt;\n", "A&amp;B\n", "&lt;1&gt;\n",
                                "&quot;\n", "Autor projektu: &lt;script&gt;alert(1)&lt;/script&gt; &nbsp",
                                "Ogrody &amp; Co<br>"})
      EXPECT_NE(text.find(escaped), std::string::npos) << escaped;
    EXPECT_EQ(text.find("<script>"), std::string::npos);
  }
}

TEST_F(SmallProject, AnExtraElementTheCatalogueLacksAbandonsTheEstimates) {
  static CElem gone;
  if (!gone.data) {
    gone.InitData(kKindFitting);
    std::strcpy(gone.data->catalogueNo, "GONE-1");
  }
  extras.add(&gone, 0, 1.0f);
  const std::string path = testing_support::makeTempDir("reports_missing") + "/kosztorys.html";
  ASSERT_TRUE(writeFileReplacing(path, "old report"));

  for (auto kind : {reports::ReportKind::Summary, reports::ReportKind::Sections}) {
    messages.shown.clear();
    EXPECT_FALSE(reports::writeReport(kind, *doc, path, ctx));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, missingElementMessage());
    EXPECT_EQ(messages.shown[0].caption, "Info!!");
    std::string kept;
    ASSERT_TRUE(readWholeFile(path, kept));
    EXPECT_EQ(kept, "old report");
  }
  EXPECT_FALSE(reports::summaryEstimateHtml(*doc, ctx));
  // The information report does not count extra elements.
  messages.shown.clear();
  EXPECT_TRUE(reports::writeReport(reports::ReportKind::Info, *doc, path, ctx));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SmallProject, ReportFilesOfTheProjectsFolder) {
  const std::string folder = testing_support::makeTempDir("reports_files");
  setenv("VERDIMO_USER_PROJECTS", folder.c_str(), 1);
  const struct {
    reports::ReportKind kind;
    reports::ReportUse use;
    const char* name;
  } files[] = {
      {reports::ReportKind::Summary, reports::ReportUse::OpenInWordProcessor, "temp_z.html"},
      {reports::ReportKind::Summary, reports::ReportUse::Print, "temp.html"},
      {reports::ReportKind::Sections, reports::ReportUse::OpenInWordProcessor, "temp_s.html"},
      {reports::ReportKind::Sections, reports::ReportUse::Print, "temp_s.html"},
      {reports::ReportKind::Info, reports::ReportUse::Print, "temp_i.html"},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    const std::string path = reports::temporaryReportPath(f.kind, f.use);
    EXPECT_EQ(path, folder + "/" + f.name);
    ASSERT_TRUE(reports::writeReport(f.kind, *doc, path, ctx));
    std::string written;
    ASSERT_TRUE(readWholeFile(path, written));
    const std::string expected = f.kind == reports::ReportKind::Summary    ? *reports::summaryEstimateHtml(*doc, ctx)
                                 : f.kind == reports::ReportKind::Sections ? *reports::sectionEstimateHtml(*doc, ctx)
                                                                           : reports::projectInfoHtml(*doc, ctx);
    EXPECT_EQ(written, expected);
  }
  unsetenv("VERDIMO_USER_PROJECTS");
  EXPECT_EQ(reports::initialSaveName(reports::ReportKind::Sections), "Kosztorys sekcje");

  // A file that cannot be written is reported, not passed over.
  EXPECT_FALSE(reports::writeReport(reports::ReportKind::Summary, *doc, folder + "/no/such/folder/x.html", ctx));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("x.html"), std::string::npos);

  reports::tellNoProject();
  EXPECT_EQ(messages.shown.back().text, "Musisz najpierw stworzyc projekt, albo otworzyc istniejacy");
  EXPECT_EQ(messages.shown.back().caption, "Info !!!!");
}

TEST(ReportPrices, VatAndMultiplierTakeEffectAndAreKept) {
  const std::string folder = testing_support::makeTempDir("reports_prices");
  setenv("VERDIMO_CONFIG", (folder + "/verdimo.ini").c_str(), 1);
  CPartix& shipped = testing_support::shippedCatalogue();  // the catalogue the multiplier acts on
  CElem* sprinkler = nullptr;
  for (CElem* e = shipped.head; e && !sprinkler; e = e->next)
    if (e->kind == kKindSprinkler && e->data && e->data->finalPrice == 0.0f && e->data->price > 1.0f) sprinkler = e;
  ASSERT_NE(sprinkler, nullptr);

  auto doc = emptyPlan();
  place<CWSprinkler>(*doc, kTypeSprinkler, sprinkler, kNone);
  reports::ReportContext ctx;
  ctx.catalogue = &shipped;

  ASSERT_TRUE(reports::setPriceMultiplier(2.0f, true));
  ASSERT_TRUE(reports::setVatPercent(7.5f, true));
  ctx.vatPercent = reports::currentReportContext().vatPercent;
  const float doubled = std::floor(sprinkler->data->price * 2.0f * 100.0f + 0.5f) / 100.0f;
  EXPECT_FLOAT_EQ(sprinkler->data->priceMul, doubled);
  const std::string text = utf8(*reports::summaryEstimateHtml(*doc, ctx));
  EXPECT_NE(text.find("<td align=\"right\" bgcolor=\"#ffffff\">" + reports::moneyText(doubled) + "</td>"),
            std::string::npos);
  EXPECT_NE(text.find("VAT [7.5%]:"), std::string::npos);

  AppSettings stored;
  loadRegistryValues(stored);
  EXPECT_EQ(stored.vatPercent, 7.5f);
  EXPECT_EQ(stored.priceMultiplier, 2.0f);

  // "OK" takes a value for the run only.
  ASSERT_TRUE(reports::setPriceMultiplier(1.0f, false));
  ASSERT_TRUE(reports::setVatPercent(23.0f, false));
  loadRegistryValues(stored);
  EXPECT_EQ(stored.priceMultiplier, 2.0f);
  EXPECT_EQ(app().settings.vatPercent, 23.0f);
  EXPECT_FLOAT_EQ(sprinkler->data->priceMul, std::floor(sprinkler->data->price * 100.0f + 0.5f) / 100.0f);
  unsetenv("VERDIMO_CONFIG");
}

// The reports of the sample project that comes with the program, kept for a
// person to read.
TEST(SampleProjectReports, AreWrittenAsArtefacts) {
  platform::RecordingMessageSink messages;
  ASSERT_TRUE(testing_support::startProgramFresh("reports_sample"));
  const ProjectResult opened = openProject(testing_support::sampleProjectPath());
  ASSERT_TRUE(application().document) << utf8(opened.message);
  const CGraphicPlane& doc = *application().document;

  fs::create_directories(VERDIMO_ARTEFACT_DIR);
  const struct {
    reports::ReportKind kind;
    const char* file;
    const char* title;
  } reportsToWrite[] = {
      {reports::ReportKind::Summary, "/report_summary.html", "KOSZTORYS ZBIORCZY"},
      {reports::ReportKind::Sections, "/report_sections.html", "KOSZTORYS Z PODZIAŁEM NA SEKCJE"},
      {reports::ReportKind::Info, "/report_info.html", "INFORMACJE O PROJEKCIE"},
  };
  for (const auto& r : reportsToWrite) {
    SCOPED_TRACE(r.file);
    const std::string path = std::string(VERDIMO_ARTEFACT_DIR) + r.file;
    ASSERT_TRUE(reports::writeReport(r.kind, doc, path));
    std::string text;
    ASSERT_TRUE(readWholeFile(path, text));
    EXPECT_NE(utf8(text).find(r.title), std::string::npos);
    EXPECT_NE(text.find("</html>\n"), std::string::npos);
  }
  std::string summary;
  ASSERT_TRUE(readWholeFile(std::string(VERDIMO_ARTEFACT_DIR) + "/report_summary.html", summary));
  EXPECT_NE(summary.find("<td  bgcolor=\"#ffffff\">"), std::string::npos);  // the sample prices something
  // The information gives the network of each of the sample's sections.
  std::string info;
  ASSERT_TRUE(readWholeFile(std::string(VERDIMO_ARTEFACT_DIR) + "/report_info.html", info));
  info = utf8(info);
  const size_t network = info.find("<B>Hydraulika sieci</B>");
  ASSERT_NE(network, std::string::npos);
  for (const char* row : {"<tr><td width=\"14%\" align=\"center\" >1</td>", "<tr><td width=\"14%\" align=\"center\" >2</td>",
                          "<tr><td width=\"14%\" align=\"center\" >3</td>", "Potrzebne ciśnienie źródła"})
    EXPECT_NE(info.find(row, network), std::string::npos) << row;
  EXPECT_TRUE(messages.shown.empty());

  shutDown();
  for (const char* v : {"VERDIMO_HOME", "VERDIMO_USER_DATA", "VERDIMO_USER_PROJECTS", "VERDIMO_CONFIG"}) unsetenv(v);
  platform::fileSys() = platform::CFileSys();
}
