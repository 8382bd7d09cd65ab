#include "hydraulics/eto.h"

#include <algorithm>
#include <cmath>

namespace eto {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSolarConstant = 0.0820;   // Gsc, MJ m-2 min-1
constexpr double kStefanDay = 4.903e-9;     // σ, MJ K-4 m-2 day-1
constexpr double kStefanHour = 2.043e-10;   // σ, MJ K-4 m-2 h-1
// Rs/Rso taken at night, when the sun gives no ratio (the paper takes the
// ratio of the hours before sunset; 0.8 stands for a clear evening).
constexpr double kNightRatio = 0.8;

bool finite(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

double radians(double deg) { return deg * kPi / 180; }

// The checks every form shares; an empty text when the inputs are possible.
std::string checkSite(double latitudeDeg, double altitudeM) {
  if (!finite({latitudeDeg, altitudeM})) return "latitude and altitude must be numbers";
  if (latitudeDeg < -90 || latitudeDeg > 90) return "latitude must lie between -90 and 90 degrees";
  if (altitudeM < -500 || altitudeM > 9000) return "altitude must lie between -500 and 9000 m";
  return {};
}

std::string checkWind(double speed, double height) {
  if (!finite({speed, height}) || speed < 0 || speed > 100) return "wind speed must lie between 0 and 100 m/s";
  if (height < 0.5 || height > 100) return "wind height must lie between 0.5 and 100 m";
  return {};
}

}  // namespace

double atmosphericPressure(double z) { return 101.3 * std::pow((293 - 0.0065 * z) / 293, 5.26); }
double psychrometricConstant(double p) { return 0.665e-3 * p; }
double saturationVapourPressure(double t) { return 0.6108 * std::exp(17.27 * t / (t + 237.3)); }
double meanSaturationVapourPressure(double tMax, double tMin) {
  return (saturationVapourPressure(tMax) + saturationVapourPressure(tMin)) / 2;
}
double slopeOfSaturationCurve(double t) { return 4098 * saturationVapourPressure(t) / std::pow(t + 237.3, 2); }
double vapourPressureFromRh(double tMax, double tMin, double rhMax, double rhMin) {
  return (saturationVapourPressure(tMin) * rhMax / 100 + saturationVapourPressure(tMax) * rhMin / 100) / 2;
}
double windAt2m(double u, double z) { return z == 2 ? u : u * 4.87 / std::log(67.8 * z - 5.42); }

double inverseRelativeDistance(int j) { return 1 + 0.033 * std::cos(2 * kPi * j / 365); }
double solarDeclination(int j) { return 0.409 * std::sin(2 * kPi * j / 365 - 1.39); }
double sunsetHourAngle(double phi, double delta) {
  return std::acos(std::clamp(-std::tan(phi) * std::tan(delta), -1.0, 1.0));
}
double extraterrestrialRadiation(double latitudeDeg, int j) {
  const double phi = radians(latitudeDeg), dr = inverseRelativeDistance(j), d = solarDeclination(j);
  const double ws = sunsetHourAngle(phi, d);
  return 24 * 60 / kPi * kSolarConstant * dr *
         (ws * std::sin(phi) * std::sin(d) + std::cos(phi) * std::cos(d) * std::sin(ws));
}
double daylightHours(double latitudeDeg, int j) {
  return 24 / kPi * sunsetHourAngle(radians(latitudeDeg), solarDeclination(j));
}
double solarRadiationFromSunshine(double n, double bigN, double ra) { return (0.25 + 0.50 * n / bigN) * ra; }
double clearSkyRadiation(double z, double ra) { return (0.75 + 2e-5 * z) * ra; }
double netShortwave(double rs) { return (1 - 0.23) * rs; }
double netLongwave(double tMax, double tMin, double ea, double rs, double rso) {
  const double kMax = tMax + 273.16, kMin = tMin + 273.16;
  const double ratio = rso > 0 ? std::min(rs / rso, 1.0) : kNightRatio;
  return kStefanDay * (std::pow(kMax, 4) + std::pow(kMin, 4)) / 2 * (0.34 - 0.14 * std::sqrt(ea)) * (1.35 * ratio - 0.35);
}
int dayOfMonth(int month) {
  static const int fifteenth[12] = {15, 46, 74, 105, 135, 166, 196, 227, 258, 288, 319, 349};
  return month >= 1 && month <= 12 ? fifteenth[month - 1] : 0;
}

Figures penmanMonteith(const Weather& w) {
  Figures f;
  f.error = checkSite(w.latitudeDeg, w.altitudeM);
  if (f.error.empty() && (!finite({w.tMaxC, w.tMinC}) || w.tMaxC < w.tMinC || w.tMinC < -60 || w.tMaxC > 60))
    f.error = "temperatures must lie between -60 and 60 °C, the maximum not below the minimum";
  if (f.error.empty()) f.error = checkWind(w.windMS, w.windHeightM);
  const bool monthly = w.month != 0;
  if (f.error.empty() && monthly && (w.month < 1 || w.month > 12)) f.error = "the month must be 1 to 12";
  if (f.error.empty() && !monthly && (w.dayOfYear < 1 || w.dayOfYear > 366)) f.error = "the day of the year must be 1 to 366";
  if (f.error.empty()) {
    if (w.eaKPa) {
      if (!std::isfinite(*w.eaKPa) || *w.eaKPa < 0 || *w.eaKPa > 10) f.error = "the actual vapour pressure must lie between 0 and 10 kPa";
    } else if (!w.rhMaxPct || !w.rhMinPct) {
      f.error = "give the relative humidity (maximum and minimum) or the actual vapour pressure";
    } else if (!finite({*w.rhMaxPct, *w.rhMinPct}) || *w.rhMinPct < 0 || *w.rhMaxPct > 100 || *w.rhMinPct > *w.rhMaxPct) {
      f.error = "relative humidity must lie between 0 and 100 %, the maximum not below the minimum";
    }
  }
  if (f.error.empty() && !w.sunshineH && !w.rsMJ) f.error = "give the sunshine hours or the solar radiation";
  if (!f.error.empty()) return f;

  const int j = monthly ? dayOfMonth(w.month) : w.dayOfYear;
  const double tMean = (w.tMaxC + w.tMinC) / 2;
  f.pressure = atmosphericPressure(w.altitudeM);
  f.gamma = psychrometricConstant(f.pressure);
  f.delta = slopeOfSaturationCurve(tMean);
  f.es = meanSaturationVapourPressure(w.tMaxC, w.tMinC);
  f.ea = w.eaKPa ? *w.eaKPa : vapourPressureFromRh(w.tMaxC, w.tMinC, *w.rhMaxPct, *w.rhMinPct);
  f.u2 = windAt2m(w.windMS, w.windHeightM);
  f.ra = extraterrestrialRadiation(w.latitudeDeg, j);
  f.n = daylightHours(w.latitudeDeg, j);
  if (w.rsMJ) {
    if (!std::isfinite(*w.rsMJ) || *w.rsMJ < 0 || *w.rsMJ > f.ra + 1e-9) {
      f.error = "the solar radiation must lie between 0 and the extraterrestrial radiation of the day";
      return f;
    }
    f.rs = *w.rsMJ;
  } else {
    if (!std::isfinite(*w.sunshineH) || *w.sunshineH < 0 || *w.sunshineH > f.n + 1e-9) {
      f.error = "the sunshine hours must lie between 0 and the day's length";
      return f;
    }
    f.rs = solarRadiationFromSunshine(*w.sunshineH, f.n, f.ra);
  }
  f.rso = clearSkyRadiation(w.altitudeM, f.ra);
  f.rns = netShortwave(f.rs);
  f.rnl = netLongwave(w.tMaxC, w.tMinC, f.ea, f.rs, f.rso);
  f.rn = f.rns - f.rnl;
  // Soil heat flux: none over a day; over a month from the neighbours'.
  f.g = 0;
  if (monthly && w.tMeanPrevC) {
    f.g = w.tMeanNextC ? 0.07 * (*w.tMeanNextC - *w.tMeanPrevC) : 0.14 * (tMean - *w.tMeanPrevC);
  }
  f.eto = (0.408 * f.delta * (f.rn - f.g) + f.gamma * 900 / (tMean + 273) * f.u2 * (f.es - f.ea)) /
          (f.delta + f.gamma * (1 + 0.34 * f.u2));
  f.eto = std::max(0.0, f.eto);
  f.ok = std::isfinite(f.eto);
  if (!f.ok) f.error = "the inputs give no evapotranspiration";
  return f;
}

Figures hargreaves(double latitudeDeg, double tMaxC, double tMinC, int dayOfYear) {
  Figures f;
  f.error = checkSite(latitudeDeg, 0);
  if (f.error.empty() && (!finite({tMaxC, tMinC}) || tMaxC < tMinC)) f.error = "the maximum temperature is below the minimum";
  if (f.error.empty() && (dayOfYear < 1 || dayOfYear > 366)) f.error = "the day of the year must be 1 to 366";
  if (!f.error.empty()) return f;
  f.ra = extraterrestrialRadiation(latitudeDeg, dayOfYear);
  f.eto = std::max(0.0, 0.0023 * ((tMaxC + tMinC) / 2 + 17.8) * std::sqrt(tMaxC - tMinC) * 0.408 * f.ra);
  f.ok = true;
  return f;
}

Figures penmanMonteithHourly(const HourlyWeather& w) {
  Figures f;
  f.error = checkSite(w.latitudeDeg, w.altitudeM);
  if (f.error.empty() && (!finite({w.longitudeWestDeg, w.zoneCentreWestDeg}) || std::abs(w.longitudeWestDeg) > 360 ||
                          std::abs(w.zoneCentreWestDeg) > 360))
    f.error = "longitudes must lie between -360 and 360 degrees";
  if (f.error.empty() && (!std::isfinite(w.tC) || w.tC < -60 || w.tC > 60)) f.error = "the temperature must lie between -60 and 60 °C";
  if (f.error.empty() && (!std::isfinite(w.rhPct) || w.rhPct < 0 || w.rhPct > 100))
    f.error = "relative humidity must lie between 0 and 100 %";
  if (f.error.empty()) f.error = checkWind(w.windMS, w.windHeightM);
  if (f.error.empty() && (!std::isfinite(w.rsMJ) || w.rsMJ < 0 || w.rsMJ > 6)) f.error = "the hour's solar radiation must lie between 0 and 6 MJ/m2";
  if (f.error.empty() && (w.dayOfYear < 1 || w.dayOfYear > 366)) f.error = "the day of the year must be 1 to 366";
  if (f.error.empty() && (!std::isfinite(w.hour) || w.hour < 0 || w.hour > 24)) f.error = "the hour must lie between 0 and 24";
  if (!f.error.empty()) return f;
  const int j = w.dayOfYear;
  f.pressure = atmosphericPressure(w.altitudeM);
  f.gamma = psychrometricConstant(f.pressure);
  f.delta = slopeOfSaturationCurve(w.tC);
  f.es = saturationVapourPressure(w.tC);
  f.ea = f.es * w.rhPct / 100;
  f.u2 = windAt2m(w.windMS, w.windHeightM);
  // Extraterrestrial radiation of the hour, Eqs. 28 to 33.
  const double phi = radians(w.latitudeDeg), d = solarDeclination(j), dr = inverseRelativeDistance(j);
  const double b = 2 * kPi * (j - 81) / 364;
  const double sc = 0.1645 * std::sin(2 * b) - 0.1255 * std::cos(b) - 0.025 * std::sin(b);
  const double omega = kPi / 12 * ((w.hour + 0.06667 * (w.zoneCentreWestDeg - w.longitudeWestDeg) + sc) - 12);
  const double ws = sunsetHourAngle(phi, d);
  const double w1 = std::clamp(omega - kPi / 24, -ws, ws), w2 = std::clamp(omega + kPi / 24, -ws, ws);
  f.ra = std::max(0.0, 12 * 60 / kPi * kSolarConstant * dr *
                           ((w2 - w1) * std::sin(phi) * std::sin(d) + std::cos(phi) * std::cos(d) * (std::sin(w2) - std::sin(w1))));
  f.rs = w.rsMJ;
  f.rso = clearSkyRadiation(w.altitudeM, f.ra);
  f.rns = netShortwave(f.rs);
  const double ratio = f.rso > 0.05 ? std::min(f.rs / f.rso, 1.0) : kNightRatio;
  f.rnl = kStefanHour * std::pow(w.tC + 273.16, 4) * (0.34 - 0.14 * std::sqrt(f.ea)) * (1.35 * ratio - 0.35);
  f.rn = f.rns - f.rnl;
  // Soil heat flux, Eqs. 45 and 46: a tenth of Rn by day, a half by night.
  f.g = (f.rn > 0 ? 0.1 : 0.5) * f.rn;
  f.eto = (0.408 * f.delta * (f.rn - f.g) + f.gamma * 37 / (w.tC + 273) * f.u2 * (f.es - f.ea)) /
          (f.delta + f.gamma * (1 + 0.34 * f.u2));
  f.eto = std::max(0.0, f.eto);
  f.ok = std::isfinite(f.eto);
  if (!f.ok) f.error = "the inputs give no evapotranspiration";
  return f;
}

}  // namespace eto
