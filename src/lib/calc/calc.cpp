// Derived quantities: moisture, potential temperatures, adiabats, station pressure,
// wind chill, heat index and great-circle distance. Arguments and results are
// floats; each formula is evaluated in double.

#include "calc/calc.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kMissing = -9999.0f;

// Exponent R/cp of the potential temperature as these formulas use it.
constexpr double kKappa = 0.286;
// Skin temperature (33 C) of the wind-chill formulas.
constexpr double kSkinTemp = 306.15;
// Wind speed (m/s) above which the old wind-chill formulas stop growing.
constexpr double kWindChillMaxWind = 26.0;
// Latent-heat factor of the saturated adiabats.
constexpr double kThetaeFactor = -2.6518986;

double FToK(double f) { return 273.15 + 5.0 * (f - 32.0) / 9.0; }
double KToF(double k) { return 32.0 + 9.0 * (k - 273.15) / 5.0; }

// The vapour pressure held by a humidity argument: at most 100 it already is one.
double VaporOf(float td) { return td <= 100.0f ? td : vapor_pr(td); }

// How far the moist adiabat through (t, pr) lies below the one of `pot`. Air so
// warm that saturation is impossible at `pr` has no mixing ratio; it always lies
// above, so the search moves colder.
double SatadMismatch(double pot, double t, float pr) {
  const float w = mix_ratio(static_cast<float>(t), pr);
  if (w < 0.0f) return -1.0;
  return pot * std::exp(kThetaeFactor * w / t) - pot_temp(static_cast<float>(t), pr);
}

}  // namespace

float f_to_k(float fahrenheit) {
  if (fahrenheit == kMissing) return kMissing;
  return static_cast<float>(FToK(fahrenheit));
}

float k_to_f(float kelvin) {
  if (kelvin == kMissing) return kMissing;
  return static_cast<float>(KToF(kelvin));
}

float vapor_pr(float t) {
  if (t < 0.0f) return kMissing;
  if (t < 100.0f) return 0.0f;
  const double tk = t;
  const double log_e = 23.832241 - 5.02808 * std::log10(tk) -
                       1.3816e-7 * std::pow(10.0, 11.344 - 0.0303998 * tk) +
                       0.008132801 * std::pow(10.0, 3.49149 - 1302.8844 / tk) - 2949.076 / tk;
  return static_cast<float>(std::pow(10.0, log_e));
}

float rel_hum(float t, float td) {
  if (t <= 0.0f || td <= 0.0f) return kMissing;
  if (t <= 100.0f && td <= 100.0f) return static_cast<float>(100.0 * td / t);
  const double es = vapor_pr(t);
  if (es <= 0.0) return kMissing;  // t is a vapour pressure of 0..100, td a dew point
  return static_cast<float>(100.0 * vapor_pr(td) / es);
}

float mix_ratio(float td, float pr) {
  if (td == kMissing || pr == kMissing) return kMissing;
  if (td <= 0.0f || pr <= 0.0f) return 0.0f;
  const double e = VaporOf(td);
  // At or above the total pressure the air cannot hold that vapour.
  if (e >= pr) return kMissing;
  return static_cast<float>(622.0 * e / (pr - e));
}

float spec_hum(float td, float pr) {
  if (td == kMissing || pr == kMissing) return kMissing;
  if (td <= 0.0f || pr <= 0.0f) return 0.0f;
  return static_cast<float>(622.0 * VaporOf(td) / pr);
}

float pot_temp(float temp, float pr) {
  if (temp <= 0.0f || pr <= 0.0f) return kMissing;
  return static_cast<float>(temp * std::pow(1000.0 / pr, kKappa));
}

float virt_temp(float temp, float td, float pr) {
  if (temp <= 0.0f || td < 0.0f || pr < 0.0f) return kMissing;
  if (td == 0.0f) return temp;
  const double w = td <= 100.0f ? td : mix_ratio(td, pr);
  if (w < 0.0) return kMissing;
  return static_cast<float>(temp * (1.0 + 0.609 * w / 1000.0));
}

float virt_pot_temp(float temp, float td, float pr) {
  if (temp <= 0.0f || td < 0.0f || pr < 0.0f) return kMissing;
  if (td == 0.0f) return pot_temp(temp, pr);
  if (pr == 0.0f) return kMissing;
  const float tv = virt_temp(temp, td, pr);
  if (tv == kMissing) return kMissing;
  return static_cast<float>(tv * std::pow(1000.0 / pr, kKappa));
}

float temp_on_dryad(float pot, float pr) {
  if (pot <= 0.0f || pr <= 0.0f) return 0.0f;
  return static_cast<float>(pot * std::pow(pr / 1000.0, kKappa));
}

float temp_on_mixrat(float w, float pr) {
  if (w <= 0.0f || pr <= 0.0f) return 0.0f;
  const double e = static_cast<double>(w) * pr / (622.0 + w);
  const double shape = std::pow(e, 0.0915) - 1.2035;
  return static_cast<float>(std::pow(10.0, 0.0498646455 * std::log10(e) + 2.4082965) - 7.08475 +
                            38.9114 * shape * shape);
}

float thetae_on_satad(float temp, float pr) {
  if (temp <= 0.0f || pr <= 0.0f) return 0.0f;
  const float w = mix_ratio(temp, pr);
  if (w < 0.0f) return 0.0f;
  return static_cast<float>(temp * std::pow(1000.0 / pr, kKappa) /
                            std::exp(kThetaeFactor * w / temp));
}

// Halving search from 253.16 K: the step starts at 120 and is halved before each
// move, so twelve rounds reach about 133 K to 373 K.
float temp_on_satad(float pot, float pr) {
  if (pot <= 0.0f || pr <= 0.0f || pr > 2000.0f) return kMissing;
  double t = 253.16;
  double step = 120.0;
  for (int round = 0; round < 12; ++round) {
    const double x = SatadMismatch(pot, t, pr);
    step /= 2.0;
    if (x * x < 2e-5) break;
    t += x > 0.0 ? step : -step;
  }
  return static_cast<float>(t);
}

// Moves the pressure until the mixing-ratio line of the dew point meets the dry
// adiabat of the temperature; at most eight corrections.
float lcl_pres(float ts, float tds, float ps) {
  if (ts <= 100.0f || tds <= 100.0f || ps <= 0.0f || ps > 1100.0f) return kMissing;
  const float w = mix_ratio(tds, ps);
  if (w <= 0.0f) return kMissing;
  const float theta = pot_temp(ts, ps);
  float p = ps;
  double d = temp_on_mixrat(w, p) - temp_on_dryad(theta, p);
  for (int n = 0; d * d > 0.0001 && n < 8; ++n) {
    p = static_cast<float>(p * std::pow(2.0, 0.02 * d));
    d = temp_on_mixrat(w, p) - temp_on_dryad(theta, p);
  }
  return p;
}

float lcl_temp(float ts, float ps, float pl) { return temp_on_dryad(pot_temp(ts, ps), pl); }

float eq_pot_temp(float temp, float td, float pr) {
  if (temp <= 0.0f || td < 0.0f || pr < 0.0f) return kMissing;
  if (td == 0.0f) return pot_temp(temp, pr);
  const float pl = lcl_pres(temp, td, pr);
  if (pl <= 0.0f) return kMissing;
  const float theta_e = thetae_on_satad(lcl_temp(temp, pr, pl), pl);
  return theta_e > 0.0f ? theta_e : kMissing;
}

namespace {

// The wet-bulb temperature at `at`: the moist adiabat through the condensation
// level of (temp, td, pr), followed to `at`.
float WetBulbAt(float temp, float td, float pr, float at) {
  if (temp <= 0.0f || td < 0.0f || pr < 0.0f) return kMissing;
  if (td == 0.0f) return 0.0f;
  const float pl = lcl_pres(temp, td, pr);
  if (pl <= 0.0f) return kMissing;
  return temp_on_satad(thetae_on_satad(lcl_temp(temp, pr, pl), pl), at);
}

}  // namespace

float wet_bulb(float temp, float td, float pr) { return WetBulbAt(temp, td, pr, pr); }

float wet_bulb_pot_temp(float temp, float td, float pr) { return WetBulbAt(temp, td, pr, 1000.0f); }

float sfc_pr_alt(float alt, float el) {
  if (alt <= 0.0f || el == kMissing) return kMissing;
  const double ratio = (288.15 - 0.0065 * el) / 288.15;
  if (ratio <= 0.0) return kMissing;  // above 44 km the power has no real value
  return static_cast<float>(alt * std::pow(ratio, 5.2558));
}

float wind_chill_temp(float temp, float ws) {
  if (temp < 0.0f || ws < 0.0f) return kMissing;
  if (ws < 2.0f || temp > kSkinTemp) return temp;
  const double v = std::min<double>(ws, kWindChillMaxWind);
  return static_cast<float>(kSkinTemp - (0.474266 + 0.453843 * std::sqrt(v) - 0.0453843 * v) *
                                            (kSkinTemp - temp));
}

float wind_chill_temp2(float temp, float ws) {
  if (temp < 0.0f || ws < 0.0f) return kMissing;
  const double chill = 0.6215 * temp + 116.514 + std::pow(ws, 0.16) * (0.4863 * temp - 146.774);
  return static_cast<float>(std::min<double>(temp, chill));
}

// The heat-loss fit holds down to calm air (its 10.45 term), so light winds use
// their own speed; above skin temperature the air takes no heat away.
float wind_chill(float temp, float ws) {
  if (temp < 0.0f || ws < 0.0f) return kMissing;
  if (temp >= kSkinTemp) return 0.0f;
  const double v = std::min<double>(ws, kWindChillMaxWind);
  return static_cast<float>((kSkinTemp - temp) * (10.45 + 10.0 * std::sqrt(v) - v) * 1.1627);
}

// A simple estimate in degrees Fahrenheit first; from 77 up the full polynomial in
// temperature T (F) and relative humidity R (%).
float heat_index(float temp, float dewp) {
  if (temp < 0.0f || dewp < 0.0f || temp < dewp) return kMissing;
  const double es = vapor_pr(temp);
  if (es <= 0.0) return kMissing;
  const double t = KToF(temp);
  const double r = 100.0 * vapor_pr(dewp) / es;
  const double simple = 0.0936 * r + (1.2 * (t - 68.0) + 60.8);
  if (simple < 77.0) return static_cast<float>(FToK(simple));
  const double t2 = t * t, t3 = t2 * t;
  const double r2 = r * r, r3 = r2 * r;
  const double hi = 16.0 + 0.185212 * t + 5.37941 * r - 0.100254 * t * r + 0.00941695 * t2 +
                    0.00728898 * r2 + 0.000345372 * t2 * r - 0.000814971 * t * r2 +
                    1.02102e-5 * t2 * r2 - 3.8646e-5 * t3 + 2.91583e-5 * r3 + 1.42721e-6 * t3 * r +
                    1.97483e-7 * t * r3 - 2.18429e-8 * t3 * r2 + 8.43296e-10 * t2 * r3 -
                    4.81975e-11 * t3 * r3;
  return static_cast<float>(FToK(hi));
}

float humiture(float temp, float dewp) {
  if (temp < 0.0f || dewp < 0.0f) return kMissing;
  const double excess = vapor_pr(dewp) - 21.0;
  const double t = KToF(temp);
  return static_cast<float>(excess < 0.0 ? t : t + excess);
}

float calc_earth_dist(float lat1, float lon1, float lat2, float lon2) {
  if (lat1 == kMissing || lon1 == kMissing || lat2 == kMissing || lon2 == kMissing) return kMissing;
  constexpr double kRad = 0.017453292519943334;
  const double p1 = lat1 * kRad, p2 = lat2 * kRad;
  double c =
      std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos((lon1 - lon2) * kRad);
  // Rounding can push the cosine of a tiny angle just past 1.
  c = std::clamp(c, -1.0, 1.0);
  return static_cast<float>(63.713 * 100.0 * std::acos(c));
}
