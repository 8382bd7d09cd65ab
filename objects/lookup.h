#pragma once
// Performance lookup in the catalogue's working-point tables: piecewise
// linear in pressure over the leading valid points, clamped to the first and
// the last. Single precision throughout, as the tables are.

#include "partix.h"

// The number of leading points whose flow is non-zero (rotary sprinkler nozzles).
inline int leadingPointsWithFlow(const WorkPoint* work, int count) {
  int n = 0;
  while (n < count && work[n].Q != 0.0f) ++n;
  return n;
}

// The number of leading points whose pressure is non-zero.
inline int leadingPointsWithPressure(const WorkPoint* work, int count) {
  int n = 0;
  while (n < count && work[n].P != 0.0f) ++n;
  return n;
}

// The value at pressure `p` over points 0 .. n-1, given by `pressureOf(k)`
// and `valueOf(k)`: p <= P1 gives V1, p >= Pn gives Vn, otherwise the first
// k with p <= Pk and linear interpolation from point k-1. With n = 0 the
// first point is used.
template <typename PressureOf, typename ValueOf>
float interpolateAtPressure(int n, float p, PressureOf pressureOf, ValueOf valueOf) {
  if (n <= 1 || p <= pressureOf(0)) return valueOf(0);
  if (p >= pressureOf(n - 1)) return valueOf(n - 1);
  int k = 1;
  while (k < n - 1 && p > pressureOf(k)) ++k;
  const float p0 = pressureOf(k - 1), p1 = pressureOf(k);
  const float v0 = valueOf(k - 1), v1 = valueOf(k);
  if (p1 == p0) return v1;
  const float t = (p - p0) / (p1 - p0);
  return v0 + t * (v1 - v0);
}

// The same over a table of working points, for the member P, Q or R.
inline float interpolateWork(const WorkPoint* work, int n, float p, float WorkPoint::*value) {
  return interpolateAtPressure(
      n, p, [&](int k) { return work[k].P; }, [&](int k) { return work[k].*value; });
}
