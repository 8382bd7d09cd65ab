#pragma once
// Reference evapotranspiration by the FAO Penman-Monteith method (Allen,
// Pereira, Raes and Smith, 1998: Crop evapotranspiration, FAO Irrigation and
// Drainage Paper 56), daily, monthly and hourly, and the Hargreaves form for
// when only temperatures are known. Every quantity of the paper has its own
// function, named and numbered after the paper's equations, so that each can
// be checked against its worked examples. Units as the paper has them: °C,
// kPa, MJ m-2 per day (or per hour), m s-1, mm.

#include <optional>
#include <string>

namespace eto {

// --- atmosphere and humidity ---------------------------------------------------
double atmosphericPressure(double altitudeM);                       // P, Eq. 7
double psychrometricConstant(double pressureKPa);                   // γ, Eq. 8
double saturationVapourPressure(double tC);                         // e°(T), Eq. 11
double meanSaturationVapourPressure(double tMaxC, double tMinC);    // es, Eq. 12
double slopeOfSaturationCurve(double tC);                           // Δ, Eq. 13
double vapourPressureFromRh(double tMaxC, double tMinC, double rhMaxPct, double rhMinPct);  // ea, Eq. 17
double windAt2m(double speedMS, double heightM);                    // u2, Eq. 47

// --- radiation -------------------------------------------------------------------
double inverseRelativeDistance(int dayOfYear);                      // dr, Eq. 23
double solarDeclination(int dayOfYear);                             // δ, Eq. 24
double sunsetHourAngle(double latitudeRad, double declination);     // ωs, Eq. 25
double extraterrestrialRadiation(double latitudeDeg, int dayOfYear);  // Ra, Eq. 21
double daylightHours(double latitudeDeg, int dayOfYear);            // N, Eq. 34
double solarRadiationFromSunshine(double sunshineH, double daylightH, double ra);  // Rs, Eq. 35
double clearSkyRadiation(double altitudeM, double ra);              // Rso, Eq. 37
double netShortwave(double rs);                                     // Rns, Eq. 38 (albedo 0.23)
double netLongwave(double tMaxC, double tMinC, double ea, double rs, double rso);  // Rnl, Eq. 39
// The day of the year a month's values stand for: its 15th (month 1..12), as
// the paper's monthly example takes it.
int dayOfMonth(int month);

// --- the methods ----------------------------------------------------------------
struct Weather {
  double latitudeDeg = 0;  // north positive
  double altitudeM = 0;
  double tMaxC = 0, tMinC = 0;
  // Humidity: relative humidity extremes, or the actual vapour pressure.
  std::optional<double> rhMaxPct, rhMinPct, eaKPa;
  double windMS = 2;       // at windHeightM
  double windHeightM = 2;
  // Radiation: sunshine hours, or measured solar radiation (MJ m-2 day-1).
  std::optional<double> sunshineH, rsMJ;
  int dayOfYear = 0;       // daily: 1..366
  int month = 0;           // monthly: 1..12 (dayOfYear then unused)
  // Monthly soil heat flux: the previous and next months' mean temperatures
  // (the previous alone is enough).
  std::optional<double> tMeanPrevC, tMeanNextC;
};

// Every quantity the calculation went through.
struct Figures {
  bool ok = false;
  std::string error;  // UTF-8: which input is impossible
  double eto = 0;     // mm/day (mm/hour in the hourly form)
  double delta = 0, gamma = 0, es = 0, ea = 0, ra = 0, rso = 0, rs = 0, rns = 0, rnl = 0, rn = 0, g = 0;
  double u2 = 0, n = 0, pressure = 0;
};

// FAO Penman-Monteith, Eq. 6: daily (G = 0, Eq. 42) or monthly (G from the
// neighbouring months, Eq. 43 or 44).
Figures penmanMonteith(const Weather& w);

// Hargreaves, Eq. 52, from temperatures and Ra alone (mm/day).
Figures hargreaves(double latitudeDeg, double tMaxC, double tMinC, int dayOfYear);

// The hourly form, Eq. 53, for the hour whose middle is `hour` (14.5 for
// 14-15 h) at longitude `longitudeWestDeg` with its time zone's centre
// `zoneCentreWestDeg` (degrees west of Greenwich, as the paper writes them).
struct HourlyWeather {
  double latitudeDeg = 0, longitudeWestDeg = 0, zoneCentreWestDeg = 0, altitudeM = 0;
  double tC = 0, rhPct = 0, windMS = 2, windHeightM = 2;
  double rsMJ = 0;  // MJ m-2 h-1
  int dayOfYear = 0;
  double hour = 12;
};
Figures penmanMonteithHourly(const HourlyWeather& w);

}  // namespace eto
