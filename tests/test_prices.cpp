// The price list, the multiplier and the price edit results.

#include <fstream>
#include <sstream>

#include "catalogue/prices.h"
#include "tests/catalogue_fixture.h"

using testing_support::CatalogueFileBuilder;
using testing_support::CatalogueTest;

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Three priced elements, an unnumbered one and a HADAR base.
CatalogueFileBuilder pricedCatalogue() {
  CatalogueFileBuilder f;
  f.header("v", "a", "d", 5);
  f.head(3).common("Rura <25>", "m", "R25", 100.0f, "").i32(25).f32(20.4f);
  f.head(2).common("Zawór", "m", "ZE1", 0.5f, "").floats(5, 1).text("24V", 10);
  f.head(4).common("Kolano", "m", "KOL", 3.0f, "");
  f.head(5).common("Bez numeru", "m", "", 7.0f, "");
  f.head(16).common("Podstawa", "m", "", 0.0f, "").text("c", 40).i32(2);
  f.text("Szpilka", 30).text("K1", 10).f32(1.6f).text("Rurka", 30).text("K2", 10).f32(2.0f);
  return f;
}

}  // namespace

TEST_F(CatalogueTest, MultiplierAndFinalPricesFromTheList) {
  writeFile(dir + "/prizes.db", "KOL\n4.5\nR25\n90\nKOL\n5.25\n\n3\nBEZ\n\nK2\n2.75\n");
  CPartix& cat = load(pricedCatalogue());
  UpdatePrizeMulFactor(1.15f);

  auto& pipe = *element(0)->data;
  EXPECT_EQ(pipe.priceMul, 115.0f);
  EXPECT_EQ(pipe.finalPrice, 90.0f);
  EXPECT_EQ(partix::effectivePrice(pipe), 90.0f);
  EXPECT_EQ(partix::priceButtonText(pipe), "90.00");

  EXPECT_EQ(element(2)->data->finalPrice, 5.25f);  // the later of two pairs wins
  EXPECT_EQ(element(1)->data->finalPrice, 0.0f);
  EXPECT_EQ(element(1)->data->priceMul, 0.58f);
  EXPECT_EQ(partix::priceButtonText(*element(1)->data), "0.58");

  // No catalogue number, no final price; a HADAR base's components are
  // priced through their own numbers.
  EXPECT_EQ(element(3)->data->finalPrice, 0.0f);
  EXPECT_EQ(element(3)->data->priceMul, 8.05f);
  auto& base = record<CMicroSprinklerHADAR>(4);
  EXPECT_EQ(base.components[0].componentPriceMul, 1.84f);
  EXPECT_EQ(base.components[0].componentFinalPrice, 0.0f);
  EXPECT_EQ(base.components[1].componentFinalPrice, 2.75f);
  (void)cat;
}

TEST_F(CatalogueTest, NudgeOnceAndRepeatableComputation) {
  CPartix& cat = load(pricedCatalogue());
  const float before = element(1)->data->price;
  UpdatePrizeMulFactor(1.0f);
  const float nudged = element(1)->data->price;
  EXPECT_GT(nudged, before);  // 0.5 + 1e-7 is representable above 0.5
  const float mul = element(1)->data->priceMul;
  UpdatePrizeMulFactor(1.0f);
  EXPECT_EQ(element(1)->data->price, nudged);
  EXPECT_EQ(element(1)->data->priceMul, mul);
  EXPECT_EQ(record<CMicroSprinklerHADAR>(4).components[1].componentPrice, static_cast<float>(2.0f + 1e-7));
  (void)cat;
}

TEST(PriceArithmetic, MultipliedPriceRoundsInSinglePrecision) {
  const struct {
    float price, multiplier, expected;
  } cases[] = {
      {100.0f, 1.15f, 115.0f}, {0.5f, 1.15f, 0.58f}, {12.345f, 1.0f, 12.35f}, {0.0f, 2.0f, 0.0f}, {19.99f, 0.5f, 10.0f},
  };
  for (const auto& c : cases) EXPECT_EQ(partix::multipliedPrice(c.price, c.multiplier), c.expected) << c.price;
}

TEST_F(CatalogueTest, PriceEditResults) {
  CPartix& cat = load(pricedCatalogue());
  UpdatePrizeMulFactor(1.0f);
  CData& pipe = *element(0)->data;
  CData& elbow = *element(2)->data;
  const std::string file = dir + "/prizes.db";

  EXPECT_EQ(partix::finalPriceFieldText(pipe.finalPrice), "");
  ASSERT_TRUE(partix::applyPriceEdit(pipe, partix::kPriceEditKeep, "88.5"));
  EXPECT_EQ(pipe.finalPrice, 88.5f);
  EXPECT_EQ(partix::finalPriceFieldText(pipe.finalPrice), "88.50");
  ASSERT_TRUE(partix::applyPriceEdit(elbow, partix::kPriceEditOk, "4,2"));  // a decimal comma as typed
  EXPECT_EQ(elbow.finalPrice, 4.2f);
  EXPECT_EQ(readFile(file), "R25\r\n88.5\r\n");  // transient prices are never written

  // The transient price survives a change of the multiplier, not a restart.
  UpdatePrizeMulFactor(2.0f);
  EXPECT_EQ(elbow.finalPrice, 4.2f);
  EXPECT_EQ(pipe.finalPrice, 88.5f);

  // Cancel changes nothing but still saves; zero or less removes the key.
  ASSERT_TRUE(partix::applyPriceEdit(pipe, partix::kPriceEditCancel, "1"));
  EXPECT_EQ(pipe.finalPrice, 88.5f);
  ASSERT_TRUE(partix::applyPriceEdit(pipe, partix::kPriceEditKeep, "-3"));
  EXPECT_EQ(pipe.finalPrice, 0.0f);
  EXPECT_EQ(readFile(file), "");
  ASSERT_TRUE(partix::applyPriceEdit(pipe, partix::kPriceEditKeep, "abc"));
  EXPECT_EQ(partix::priceList().finalPrices.count("R25"), 0u);
  (void)cat;
}

TEST_F(CatalogueTest, ComponentPriceEdits) {
  CPartix& cat = load(pricedCatalogue());
  UpdatePrizeMulFactor(1.0f);
  auto& base = record<CMicroSprinklerHADAR>(4);
  const std::string file = dir + "/prizes.db";

  partix::applyComponentPriceEdit(base.components[0], partix::kPriceEditOk, "9");
  EXPECT_EQ(base.components[0].componentFinalPrice, 9.0f);
  EXPECT_EQ(partix::priceList().finalPrices.count("K1"), 0u);
  EXPECT_EQ(readFile(file), "");

  ASSERT_TRUE(partix::applyComponentPriceEdit(base.components[1], partix::kPriceEditKeep, "3.1"));
  EXPECT_EQ(readFile(file), "K2\r\n3.1\r\n");

  partix::applyComponentPriceEdit(base.components[1], partix::kPriceEditCancel, "100");
  EXPECT_EQ(base.components[1].componentFinalPrice, 3.1f);

  // The next computation replaces an "OK" component price by the list's.
  UpdatePrizeMulFactor(1.0f);
  EXPECT_EQ(base.components[0].componentFinalPrice, 0.0f);
  EXPECT_EQ(base.components[1].componentFinalPrice, 3.1f);
  (void)cat;
}

TEST_F(CatalogueTest, PriceListFileFormat) {
  partix::CPriceList list;
  list.pricePath = dir + "/prizes.db";
  writeFile(list.pricePath, "B2\r\n1234.567\r\nA1\r\n12.50\r\n\xA5" "1\r\n7\r\n");
  list.load();
  ASSERT_EQ(list.finalPrices.size(), 3u);
  list.setFinalPrice("Z9", 0.000001f, 0);  // (almost) zero: nothing to keep
  list.setFinalPrice("C3", 5, 1);
  ASSERT_TRUE(list.save());
  // Ascending byte order, "%g" numbers, the transient C3 left out.
  EXPECT_EQ(readFile(list.pricePath), "A1\r\n12.5\r\nB2\r\n1234.57\r\n\xA5" "1\r\n7\r\n");

  // A folder that does not exist cannot be written, and says so.
  list.pricePath = dir + "/missing/prizes.db";
  EXPECT_FALSE(list.save());
}
