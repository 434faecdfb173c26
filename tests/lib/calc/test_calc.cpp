// Derived quantities. Expected values were computed separately in double precision
// from the published forms of each formula; physical checks (boiling point, known
// heat-index and wet-bulb table values) guard the constants.

#include <gtest/gtest.h>

#include <cmath>

#include "calc/calc.h"

namespace {

constexpr float kMiss = -9999.0f;

struct Case1 {
  float (*fn)(float);
  const char *name;
  float a;
  float want;
  float tol;
  const char *why;
};

struct Case2 {
  float (*fn)(float, float);
  const char *name;
  float a, b;
  float want;
  float tol;
  const char *why;
};

struct Case3 {
  float (*fn)(float, float, float);
  const char *name;
  float a, b, c;
  float want;
  float tol;
  const char *why;
};

// Purpose: conversions and the one-argument formula, including their guards.
TEST(CalcFormulas, OneArgument) {
  const Case1 cases[] = {
      {f_to_k, "f_to_k", 32.0f, 273.15f, 1e-4f, "freezing point"},
      {f_to_k, "f_to_k", -40.0f, 233.15f, 1e-4f, "scales cross at -40"},
      {f_to_k, "f_to_k", kMiss, kMiss, 0.0f, "missing stays missing"},
      {k_to_f, "k_to_f", 373.15f, 212.0f, 1e-4f, "boiling point"},
      {k_to_f, "k_to_f", 0.0f, -459.67f, 1e-3f, "absolute zero is a value"},
      {k_to_f, "k_to_f", kMiss, kMiss, 0.0f, "missing stays missing"},
      {vapor_pr, "vapor_pr", 273.15f, 6.103144f, 1e-4f, "close to 6.10 at 0 C"},
      {vapor_pr, "vapor_pr", 303.15f, 42.40448f, 1e-3f, "warm air"},
      {vapor_pr, "vapor_pr", 223.15f, 0.0634831f, 1e-6f, "very cold air"},
      {vapor_pr, "vapor_pr", 373.15f, 1012.848f, 0.01f, "boils near 1013 mb"},
      {vapor_pr, "vapor_pr", 50.0f, 0.0f, 0.0f, "below 100 K: none"},
      {vapor_pr, "vapor_pr", 0.0f, 0.0f, 0.0f, "0 is not missing"},
      {vapor_pr, "vapor_pr", kMiss, kMiss, 0.0f, "missing"},
  };
  for (const Case1 &c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.a) + ": " + c.why);
    EXPECT_NEAR(c.fn(c.a), c.want, c.tol);
  }
}

// Purpose: the two-argument formulas against separately computed values, their
// missing-value guards, and the inputs that used to divide by zero or go negative.
TEST(CalcFormulas, TwoArguments) {
  const Case2 cases[] = {
      {rel_hum, "rel_hum", 5.0f, 10.0f, 200.0f, 1e-4f, "both at most 100: vapour pressures"},
      {rel_hum, "rel_hum", 303.15f, 293.15f, 55.08295f, 1e-3f, "30 C over 20 C"},
      {rel_hum, "rel_hum", 293.15f, 293.15f, 100.0f, 1e-4f, "saturated"},
      {rel_hum, "rel_hum", 0.0f, 290.0f, kMiss, 0.0f, "temperature 0"},
      {rel_hum, "rel_hum", 290.0f, kMiss, kMiss, 0.0f, "dew point missing"},
      {rel_hum, "rel_hum", 50.0f, 290.0f, kMiss, 0.0f, "no vapour pressure to divide by"},
      {mix_ratio, "mix_ratio", 293.15f, 1000.0f, 14.87592f, 1e-3f, "dew point 20 C"},
      {mix_ratio, "mix_ratio", 283.15f, 850.0f, 9.105461f, 1e-3f, "dew point 10 C aloft"},
      {mix_ratio, "mix_ratio", 10.0f, 1000.0f, 6.282828f, 1e-4f, "a vapour pressure"},
      {mix_ratio, "mix_ratio", kMiss, 1000.0f, kMiss, 0.0f, "dew point missing"},
      {mix_ratio, "mix_ratio", 293.15f, kMiss, kMiss, 0.0f, "pressure missing"},
      {mix_ratio, "mix_ratio", 293.15f, 0.0f, 0.0f, 0.0f, "pressure 0"},
      {mix_ratio, "mix_ratio", -5.0f, 1000.0f, 0.0f, 0.0f, "negative but not missing"},
      {mix_ratio, "mix_ratio", 50.0f, 50.0f, kMiss, 0.0f, "vapour pressure equals pressure"},
      {mix_ratio, "mix_ratio", 373.15f, 500.0f, kMiss, 0.0f, "vapour pressure above pressure"},
      {spec_hum, "spec_hum", 293.15f, 1000.0f, 14.52845f, 1e-3f, "dew point 20 C"},
      {spec_hum, "spec_hum", 10.0f, 1000.0f, 6.22f, 1e-4f, "a vapour pressure"},
      {spec_hum, "spec_hum", kMiss, 1000.0f, kMiss, 0.0f, "missing"},
      {spec_hum, "spec_hum", 290.0f, 0.0f, 0.0f, 0.0f, "pressure 0"},
      {pot_temp, "pot_temp", 293.15f, 850.0f, 307.0974f, 1e-3f, "850 mb"},
      {pot_temp, "pot_temp", 300.0f, 1000.0f, 300.0f, 1e-4f, "at 1000 mb unchanged"},
      {pot_temp, "pot_temp", 0.0f, 1000.0f, kMiss, 0.0f, "temperature 0"},
      {pot_temp, "pot_temp", 300.0f, 0.0f, kMiss, 0.0f, "pressure 0"},
      {temp_on_dryad, "temp_on_dryad", 300.0f, 850.0f, 286.375f, 1e-3f, "850 mb"},
      {temp_on_dryad, "temp_on_dryad", 0.0f, 850.0f, 0.0f, 0.0f, "invalid gives 0"},
      {temp_on_dryad, "temp_on_dryad", 300.0f, -9999.0f, 0.0f, 0.0f, "invalid gives 0"},
      {temp_on_mixrat, "temp_on_mixrat", 10.0f, 1000.0f, 287.0210f, 1e-3f, "10 g/kg"},
      {temp_on_mixrat, "temp_on_mixrat", 1.0f, 500.0f, 248.0983f, 1e-3f, "1 g/kg aloft"},
      {temp_on_mixrat, "temp_on_mixrat", 0.0f, 1000.0f, 0.0f, 0.0f, "dry air gives 0"},
      {thetae_on_satad, "thetae_on_satad", 293.15f, 1000.0f, 335.3770f, 1e-3f, "20 C"},
      {thetae_on_satad, "thetae_on_satad", 280.0f, 850.0f, 314.4157f, 1e-3f, "850 mb"},
      {thetae_on_satad, "thetae_on_satad", 0.0f, 1000.0f, 0.0f, 0.0f, "invalid gives 0"},
      {thetae_on_satad, "thetae_on_satad", 373.15f, 500.0f, 0.0f, 0.0f, "cannot saturate"},
      {temp_on_satad, "temp_on_satad", 330.0f, 1000.0f, 291.6854f, 1e-3f, "iteration"},
      {temp_on_satad, "temp_on_satad", 300.0f, 700.0f, 263.7362f, 1e-3f, "iteration aloft"},
      {temp_on_satad, "temp_on_satad", 0.0f, 1000.0f, kMiss, 0.0f, "pot 0"},
      {temp_on_satad, "temp_on_satad", 330.0f, 2001.0f, kMiss, 0.0f, "pressure above 2000"},
      {temp_on_satad, "temp_on_satad", 330.0f, 0.0f, kMiss, 0.0f, "pressure 0"},
      {sfc_pr_alt, "sfc_pr_alt", 1013.25f, 0.0f, 1013.25f, 1e-3f, "sea level"},
      {sfc_pr_alt, "sfc_pr_alt", 1013.25f, 1609.0f, 834.3135f, 1e-2f, "a mile up"},
      {sfc_pr_alt, "sfc_pr_alt", 0.0f, 100.0f, kMiss, 0.0f, "no altimeter setting"},
      {sfc_pr_alt, "sfc_pr_alt", 1000.0f, kMiss, kMiss, 0.0f, "elevation missing"},
      {sfc_pr_alt, "sfc_pr_alt", 1000.0f, 50000.0f, kMiss, 0.0f, "above the atmosphere's top"},
      {wind_chill_temp, "wind_chill_temp", 263.15f, 1.5f, 263.15f, 0.0f, "light wind"},
      {wind_chill_temp, "wind_chill_temp", 263.15f, 10.0f, 243.5592f, 1e-3f, "10 m/s"},
      {wind_chill_temp, "wind_chill_temp", 263.15f, 40.0f, 236.9876f, 1e-3f, "computed as 26"},
      {wind_chill_temp, "wind_chill_temp", 263.15f, 26.0f, 236.9876f, 1e-3f, "the limit"},
      {wind_chill_temp, "wind_chill_temp", 253.15f, 2.0f, 251.8076f, 1e-3f, "lowest wind"},
      {wind_chill_temp, "wind_chill_temp", 310.0f, 10.0f, 310.0f, 0.0f, "above skin"},
      {wind_chill_temp, "wind_chill_temp", kMiss, 5.0f, kMiss, 0.0f, "temperature missing"},
      {wind_chill_temp, "wind_chill_temp", 263.15f, kMiss, kMiss, 0.0f, "wind missing"},
      {wind_chill_temp2, "wind_chill_temp2", 273.15f, 5.0f, 268.2410f, 1e-3f, "0 C, 5 m/s"},
      {wind_chill_temp2, "wind_chill_temp2", 263.15f, 10.0f, 252.8815f, 1e-3f, "-10 C"},
      {wind_chill_temp2, "wind_chill_temp2", 263.15f, 40.0f, 246.1318f, 1e-3f, "no limit"},
      {wind_chill_temp2, "wind_chill_temp2", 300.0f, 0.0f, 300.0f, 0.0f, "never above temp"},
      {wind_chill_temp2, "wind_chill_temp2", kMiss, 5.0f, kMiss, 0.0f, "missing"},
      {wind_chill, "wind_chill", 263.15f, 10.0f, 1603.514f, 0.01f, "10 m/s"},
      {wind_chill, "wind_chill", 263.15f, 40.0f, 1771.872f, 0.01f, "computed as 26"},
      {wind_chill, "wind_chill", 263.15f, 1.5f, 1059.790f, 0.01f, "light wind: own speed"},
      {wind_chill, "wind_chill", 263.15f, 0.0f, 522.4592f, 0.01f, "calm: still-air loss"},
      {wind_chill, "wind_chill", 310.0f, 5.0f, 0.0f, 0.0f, "above skin: no heat loss"},
      {wind_chill, "wind_chill", kMiss, 5.0f, kMiss, 0.0f, "missing"},
      {heat_index, "heat_index", 305.3722f, 295.3722f, 309.2794f, 0.01f, "90 F, dew 72 F: 97 F"},
      {heat_index, "heat_index", 303.15f, 300.15f, 310.9434f, 0.01f, "86 F, very humid"},
      {heat_index, "heat_index", 293.15f, 283.15f, 291.8802f, 0.01f, "simple estimate below 77"},
      {heat_index, "heat_index", 290.0f, 295.0f, kMiss, 0.0f, "dew point above temperature"},
      {heat_index, "heat_index", kMiss, 290.0f, kMiss, 0.0f, "missing"},
      {humiture, "humiture", 303.15f, 293.15f, 88.35764f, 1e-3f, "23.4 mb: 2.4 above"},
      {humiture, "humiture", 293.15f, 273.15f, 68.0f, 1e-3f, "below 21 mb: air in F"},
      {humiture, "humiture", kMiss, 290.0f, kMiss, 0.0f, "missing"},
  };
  for (const Case2 &c : cases) {
    SCOPED_TRACE(std::string(c.name) + "(" + std::to_string(c.a) + ", " + std::to_string(c.b) +
                 "): " + c.why);
    EXPECT_NEAR(c.fn(c.a, c.b), c.want, c.tol);
  }
}

// Purpose: the three-argument formulas, the LCL and adiabat compositions.
TEST(CalcFormulas, ThreeArguments) {
  const Case3 cases[] = {
      {virt_temp, "virt_temp", 300.0f, 290.0f, 1000.0f, 302.2212f, 1e-3f, "dew point"},
      {virt_temp, "virt_temp", 300.0f, 10.0f, 900.0f, 301.827f, 1e-3f, "a mixing ratio"},
      {virt_temp, "virt_temp", 300.0f, 0.0f, 1000.0f, 300.0f, 0.0f, "dry air"},
      {virt_temp, "virt_temp", 0.0f, 290.0f, 1000.0f, kMiss, 0.0f, "temperature 0"},
      {virt_temp, "virt_temp", 300.0f, kMiss, 1000.0f, kMiss, 0.0f, "dew point missing"},
      {virt_temp, "virt_temp", 300.0f, 290.0f, kMiss, kMiss, 0.0f, "pressure missing"},
      {virt_temp, "virt_temp", 380.0f, 373.15f, 500.0f, kMiss, 0.0f, "no mixing ratio"},
      {virt_pot_temp, "virt_pot_temp", 280.0f, 270.0f, 850.0f, 293.9580f, 1e-3f, "850 mb"},
      {virt_pot_temp, "virt_pot_temp", 300.0f, 10.0f, 900.0f, 311.0604f, 1e-3f, "mixing ratio"},
      {virt_pot_temp, "virt_pot_temp", 300.0f, 0.0f, 850.0f, 314.2733f, 1e-3f, "dry: pot_temp"},
      {virt_pot_temp, "virt_pot_temp", 300.0f, 290.0f, 0.0f, kMiss, 0.0f, "pressure 0"},
      {lcl_pres, "lcl_pres", 303.15f, 293.15f, 1000.0f, 865.2113f, 0.05f, "10 K spread"},
      {lcl_pres, "lcl_pres", 293.15f, 283.15f, 850.0f, 732.6506f, 0.05f, "aloft"},
      {lcl_pres, "lcl_pres", 300.0f, 300.0f, 1000.0f, 1000.533f, 0.05f, "saturated: at surface"},
      {lcl_pres, "lcl_pres", 100.0f, 90.0f, 1000.0f, kMiss, 0.0f, "temperature at 100"},
      {lcl_pres, "lcl_pres", 300.0f, 290.0f, 1101.0f, kMiss, 0.0f, "pressure above 1100"},
      {lcl_pres, "lcl_pres", 300.0f, 290.0f, 0.0f, kMiss, 0.0f, "pressure 0"},
      {lcl_temp, "lcl_temp", 303.15f, 1000.0f, 865.2113f, 290.8536f, 1e-3f, "dry adiabat"},
      {lcl_temp, "lcl_temp", 303.15f, 1000.0f, kMiss, 0.0f, 0.0f, "no level: 0"},
      {eq_pot_temp, "eq_pot_temp", 303.15f, 293.15f, 1000.0f, 347.2470f, 0.05f, "30/20 C"},
      {eq_pot_temp, "eq_pot_temp", 273.15f, 263.15f, 1000.0f, 278.1383f, 0.05f, "cold"},
      {eq_pot_temp, "eq_pot_temp", 300.0f, 0.0f, 1000.0f, 300.0f, 1e-4f, "dry: pot_temp"},
      {eq_pot_temp, "eq_pot_temp", 300.0f, 290.0f, 1200.0f, kMiss, 0.0f, "no condensation level"},
      {eq_pot_temp, "eq_pot_temp", 300.0f, kMiss, 1000.0f, kMiss, 0.0f, "missing"},
      {wet_bulb, "wet_bulb", 303.15f, 293.15f, 1000.0f, 296.0213f, 0.02f, "30/20 C: 22.9 C"},
      {wet_bulb, "wet_bulb", 293.15f, 283.15f, 850.0f, 286.8221f, 0.02f, "aloft"},
      {wet_bulb, "wet_bulb", 273.15f, 263.15f, 1000.0f, 270.0057f, 0.02f, "cold"},
      {wet_bulb, "wet_bulb", 300.0f, 0.0f, 1000.0f, 0.0f, 0.0f, "dew point 0 gives 0"},
      {wet_bulb, "wet_bulb", 300.0f, 290.0f, kMiss, kMiss, 0.0f, "pressure missing"},
      {wet_bulb, "wet_bulb", 300.0f, 290.0f, 1200.0f, kMiss, 0.0f, "no condensation level"},
      {wet_bulb_pot_temp, "wet_bulb_pot_temp", 293.15f, 283.15f, 850.0f, 292.9745f, 0.02f,
       "brought to 1000 mb"},
      {wet_bulb_pot_temp, "wet_bulb_pot_temp", 303.15f, 293.15f, 1000.0f, 296.0213f, 0.02f,
       "at 1000 mb equals wet_bulb"},
  };
  for (const Case3 &c : cases) {
    SCOPED_TRACE(std::string(c.name) + "(" + std::to_string(c.a) + ", " + std::to_string(c.b) +
                 ", " + std::to_string(c.c) + "): " + c.why);
    EXPECT_NEAR(c.fn(c.a, c.b, c.c), c.want, c.tol);
  }
}

// Purpose: over a grid of surface conditions the results keep their physical order:
// dew point <= wet bulb <= temperature, theta-e >= theta, the LCL not below the
// surface, and the moist adiabat found again from its own theta-e.
TEST(CalcFormulas, PhysicalOrderOverGrid) {
  for (float t = 243.15f; t <= 318.15f; t += 5.0f) {
    for (float spread = 0.5f; spread <= 30.0f; spread += 4.5f) {
      for (float p = 600.0f; p <= 1050.0f; p += 75.0f) {
        const float td = t - spread;
        SCOPED_TRACE(std::to_string(t) + " " + std::to_string(td) + " " + std::to_string(p));
        const float tw = wet_bulb(t, td, p);
        EXPECT_GE(tw, td - 0.05f);
        EXPECT_LE(tw, t + 0.05f);
        EXPECT_GE(eq_pot_temp(t, td, p), pot_temp(t, p));
        EXPECT_LE(lcl_pres(t, td, p), p);
        const float os = thetae_on_satad(t, p);
        EXPECT_NEAR(temp_on_satad(os, p), t, 0.05f);
        EXPECT_LE(wind_chill_temp2(t, 10.0f), t);
      }
    }
  }
}

// Purpose: great-circle distances, including the point with itself, which must not
// fall outside acos through rounding.
TEST(CalcFormulas, EarthDistance) {
  struct Case {
    float lat1, lon1, lat2, lon2, want, tol;
    const char *why;
  };
  const Case cases[] = {
      {0, 0, 0, 90, 10008.01f, 0.05f, "quarter of the equator"},
      {0, 0, 0, 180, 20016.03f, 0.05f, "antipodes on the equator"},
      {90, 0, -90, 0, 20016.03f, 0.05f, "pole to pole"},
      {39.74f, -104.99f, 40.71f, -74.01f, 2618.84f, 0.5f, "two cities"},
      {10, 20, 10, 20, 0, 0.01f, "a point with itself"},
      {39.74f, -104.99f, 39.74f, -104.99f, 0, 0.01f, "itself, off the grid of degrees"},
      {31.08f, -97.5f, 31.08f, -97.5f, 0, 0.01f, "itself, where the cosine rounds above 1"},
      {kMiss, 0, 0, 0, kMiss, 0, "missing latitude"},
      {0, 0, 0, kMiss, kMiss, 0, "missing longitude"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.why);
    const float d = calc_earth_dist(c.lat1, c.lon1, c.lat2, c.lon2);
    EXPECT_FALSE(std::isnan(d));
    EXPECT_NEAR(d, c.want, c.tol);
  }
}

}  // namespace
