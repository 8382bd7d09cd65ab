// Reference evapotranspiration against the worked examples of FAO Irrigation
// and Drainage Paper 56 (Allen et al., 1998): each intermediate to the
// paper's printed precision, and the inputs it cannot take refused.

#include <gtest/gtest.h>

#include <cmath>

#include "hydraulics/eto.h"

namespace {

// Example 18: Brussels (50°48' N, 100 m), 6 July: Tmax 21.5, Tmin 12.3 °C,
// RH 84 and 63 %, wind 10 km/h at 10 m, 9.25 hours of sunshine.
TEST(Eto, TheDailyExampleOfBrusselsInJuly) {
  eto::Weather w;
  w.latitudeDeg = 50 + 48.0 / 60;
  w.altitudeM = 100;
  w.tMaxC = 21.5;
  w.tMinC = 12.3;
  w.rhMaxPct = 84;
  w.rhMinPct = 63;
  w.windMS = 10 / 3.6;
  w.windHeightM = 10;
  w.sunshineH = 9.25;
  w.dayOfYear = 187;
  const eto::Figures f = eto::penmanMonteith(w);
  ASSERT_TRUE(f.ok) << f.error;
  EXPECT_NEAR(f.delta, 0.122, 0.0005);
  EXPECT_NEAR(f.gamma, 0.0666, 0.00005);
  EXPECT_NEAR(f.u2, 2.078, 0.0005);
  EXPECT_NEAR(f.es, 1.997, 0.0005);
  EXPECT_NEAR(f.ea, 1.409, 0.0005);
  EXPECT_NEAR(f.ra, 41.09, 0.005);
  EXPECT_NEAR(f.n, 16.1, 0.05);
  EXPECT_NEAR(f.rs, 22.07, 0.01);
  EXPECT_NEAR(f.rso, 30.90, 0.01);
  EXPECT_NEAR(f.rns, 17.00, 0.01);
  EXPECT_NEAR(f.rnl, 3.71, 0.01);
  EXPECT_NEAR(f.rn, 13.28, 0.015);
  EXPECT_EQ(f.g, 0.0);
  EXPECT_NEAR(f.eto, 3.9, 0.05);
}

// Example 17: Bangkok (13°44' N, 2 m), April: Tmax 34.8, Tmin 25.6 °C,
// ea 2.85 kPa, u2 2 m/s, 8.5 hours of sunshine, March's mean 29.2 °C.
TEST(Eto, TheMonthlyExampleOfBangkokInApril) {
  eto::Weather w;
  w.latitudeDeg = 13 + 44.0 / 60;
  w.altitudeM = 2;
  w.tMaxC = 34.8;
  w.tMinC = 25.6;
  w.eaKPa = 2.85;
  w.windMS = 2;
  w.sunshineH = 8.5;
  w.month = 4;
  w.tMeanPrevC = 29.2;
  const eto::Figures f = eto::penmanMonteith(w);
  ASSERT_TRUE(f.ok) << f.error;
  EXPECT_NEAR(f.delta, 0.246, 0.0005);
  EXPECT_NEAR(f.gamma, 0.0674, 0.0001);
  EXPECT_NEAR(f.es, 4.42, 0.005);
  EXPECT_NEAR(f.ra, 38.06, 0.01);
  EXPECT_NEAR(f.rs, 22.65, 0.01);
  EXPECT_NEAR(f.rn, 14.33, 0.02);
  EXPECT_NEAR(f.g, 0.14, 0.0005);
  EXPECT_NEAR(f.eto, 5.72, 0.01);
}

TEST(Eto, TheHourlyExampleOfSenegalHargreavesAndWhatCannotBe) {
  // Hargreaves on Brussels' day: of the Penman-Monteith order.
  const eto::Figures h = eto::hargreaves(50.8, 21.5, 12.3, 187);
  ASSERT_TRUE(h.ok);
  EXPECT_NEAR(h.eto, 0.0023 * (16.9 + 17.8) * std::sqrt(9.2) * 0.408 * h.ra, 1e-9);
  EXPECT_GT(h.eto, 3.0);
  EXPECT_LT(h.eto, 5.0);
  // Example 19, the hourly form: N'Diaye, Senegal (16°13' N, 16°15' W, 8 m,
  // time zone 15° W), 1 October, 14-15 h and 02-03 h.
  eto::HourlyWeather day;
  day.latitudeDeg = 16.22;
  day.longitudeWestDeg = 16.25;
  day.zoneCentreWestDeg = 15;
  day.altitudeM = 8;
  day.tC = 38;
  day.rhPct = 52;
  day.windMS = 3.3;
  day.rsMJ = 2.45;
  day.dayOfYear = 274;
  day.hour = 14.5;
  const eto::Figures d = eto::penmanMonteithHourly(day);
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_NEAR(d.ea, 3.445, 0.005);
  EXPECT_NEAR(d.delta, 0.358, 0.001);
  EXPECT_NEAR(d.ra, 3.543, 0.001);
  EXPECT_NEAR(d.rso, 2.658, 0.001);
  EXPECT_NEAR(d.rnl, 0.137, 0.001);
  EXPECT_NEAR(d.rn, 1.749, 0.001);
  EXPECT_NEAR(d.g, 0.175, 0.001);
  EXPECT_NEAR(d.eto, 0.63, 0.005);
  eto::HourlyWeather night = day;
  night.tC = 28;
  night.rhPct = 90;
  night.windMS = 1.9;
  night.rsMJ = 0;
  night.hour = 2.5;
  const eto::Figures n = eto::penmanMonteithHourly(night);
  ASSERT_TRUE(n.ok) << n.error;
  EXPECT_EQ(n.ra, 0.0);
  EXPECT_NEAR(n.rnl, 0.100, 0.001);
  EXPECT_NEAR(n.rn, -0.100, 0.001);
  EXPECT_NEAR(n.g, -0.050, 0.001);
  EXPECT_NEAR(n.eto, 0.0, 0.005);
  // Impossible inputs, each said.
  eto::Weather bad;
  bad.latitudeDeg = 50;
  bad.tMaxC = 10;
  bad.tMinC = 20;
  bad.rhMaxPct = 80;
  bad.rhMinPct = 60;
  bad.sunshineH = 5;
  bad.dayOfYear = 180;
  EXPECT_FALSE(eto::penmanMonteith(bad).ok);
  bad.tMaxC = 25;
  bad.sunshineH = 30;
  EXPECT_FALSE(eto::penmanMonteith(bad).ok);
  bad.sunshineH = 5;
  bad.rhMinPct = 120;
  EXPECT_FALSE(eto::penmanMonteith(bad).ok);
  bad.rhMinPct = 60;
  bad.dayOfYear = 400;
  EXPECT_FALSE(eto::penmanMonteith(bad).ok);
  bad.dayOfYear = 180;
  EXPECT_TRUE(eto::penmanMonteith(bad).ok);
}

}  // namespace
