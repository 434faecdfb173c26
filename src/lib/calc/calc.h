// Derived quantities and unit conversion.
//
// The formulas are pure functions of single-precision values (computed in double
// inside) in fixed units: temperatures and dew points in kelvin, pressures and
// vapour pressures in millibars, mixing ratio and specific humidity in g/kg, wind
// speed in m/s, elevation in metres, relative humidity in percent, distances in
// kilometres, angles in degrees. -9999 is the missing value; a negative temperature
// or dew point counts as missing. Invalid or missing input gives -9999 (or 0 where
// a function says so); no formula fails otherwise.
//
// A humidity argument of 100 or less is already a vapour pressure in mb
// (mix_ratio, spec_hum, rel_hum) or a mixing ratio in g/kg (virt_temp); above 100
// it is a dew point in kelvin.
//
// UNIT_cvt converts values between units by the units lookup file "units.lup" in
// the directory of the resource "file_path". It remembers the last pair it looked
// up in that file; UNIT_reset_state forgets it.
#pragma once

// ---- Fahrenheit and kelvin ----------------------------------------------------------

/// Degrees Fahrenheit to kelvin: 273.15 + 5 (F - 32) / 9. -9999 stays -9999.
float f_to_k(float fahrenheit);
/// Kelvin to degrees Fahrenheit: 32 + 9 (K - 273.15) / 5. -9999 stays -9999.
float k_to_f(float kelvin);

// ---- moisture -------------------------------------------------------------------------

/// Saturation vapour pressure over water (mb, Goff-Gratch). -9999 when t < 0, 0 when
/// t < 100.
float vapor_pr(float t);
/// Relative humidity (%). -9999 when either is 0 or less, or when t has no vapour
/// pressure (t below 100 with td above); td / t when both are at most 100.
float rel_hum(float t, float td);
/// Mixing ratio (g/kg). -9999 when either is -9999 or when the vapour pressure
/// reaches the pressure; 0 when either is 0 or less.
float mix_ratio(float td, float pr);
/// Specific humidity (g/kg), with the guards of mix_ratio.
float spec_hum(float td, float pr);

// ---- temperatures ---------------------------------------------------------------------

/// Potential temperature. -9999 when either is 0 or less.
float pot_temp(float temp, float pr);
/// Virtual temperature. -9999 when temp <= 0, td < 0, pr < 0 or no mixing ratio;
/// temp when td is 0.
float virt_temp(float temp, float td, float pr);
/// Virtual potential temperature; guards of virt_temp, and -9999 for pr of 0.
float virt_pot_temp(float temp, float td, float pr);
/// Temperature on the dry adiabat `pot` at `pr`. 0 when either is 0 or less.
float temp_on_dryad(float pot, float pr);
/// Temperature on the saturation mixing-ratio line `w` at `pr`. 0 when either is 0
/// or less.
float temp_on_mixrat(float w, float pr);
/// Equivalent potential temperature of the moist adiabat through (temp, pr). 0 when
/// either is 0 or less, or when air that warm cannot be saturated at `pr`.
float thetae_on_satad(float temp, float pr);
/// Temperature on the moist adiabat `pot` at `pr` (12 halvings at most). -9999 when
/// pot <= 0, pr <= 0 or pr > 2000.
float temp_on_satad(float pot, float pr);
/// Pressure of the lifting condensation level. -9999 when ts <= 100, tds <= 100,
/// ps <= 0, ps > 1100 or the dew point has no mixing ratio at ps.
float lcl_pres(float ts, float tds, float ps);
/// Temperature at the lifting condensation level `pl` of (ts, ps); 0 when any input
/// is invalid.
float lcl_temp(float ts, float ps, float pl);
/// Equivalent potential temperature. -9999 when temp <= 0, td < 0, pr < 0 or no
/// condensation level is found; pot_temp when td is 0.
float eq_pot_temp(float temp, float td, float pr);
/// Wet-bulb temperature. -9999 as eq_pot_temp; 0 when td is 0.
float wet_bulb(float temp, float td, float pr);
/// Wet-bulb potential temperature (the wet bulb brought to 1000 mb); as wet_bulb.
float wet_bulb_pot_temp(float temp, float td, float pr);

// ---- pressure -------------------------------------------------------------------------

/// Station pressure (mb) from the altimeter setting (mb) and the elevation (m).
/// -9999 when alt <= 0, el is -9999 or el lies above the standard atmosphere's top.
float sfc_pr_alt(float alt, float el);

// ---- wind chill and heat --------------------------------------------------------------

/// Wind-chill temperature (K). -9999 when either is below 0; temp when ws < 2 or
/// temp > 306.15; winds above 26 count as 26.
float wind_chill_temp(float temp, float ws);
/// Newer wind-chill temperature (K), never above temp. -9999 when either is below 0.
float wind_chill_temp2(float temp, float ws);
/// Wind-chill heat loss (W/m^2). -9999 when either is below 0; 0 at or above the
/// skin temperature 306.15; winds above 26 count as 26, light winds use their speed.
float wind_chill(float temp, float ws);
/// Apparent temperature (K). -9999 when temp < 0, dewp < 0, temp < dewp or temp has
/// no vapour pressure.
float heat_index(float temp, float dewp);
/// Humiture in degrees Fahrenheit. -9999 when either is below 0.
float humiture(float temp, float dewp);

// ---- geography ------------------------------------------------------------------------

/// Great-circle distance in km between two positions in degrees. -9999 when any
/// coordinate is -9999 (test for it before comparing with a radius).
float calc_earth_dist(float lat1, float lon1, float lat2, float lon2);

// ---- unit conversion ------------------------------------------------------------------

/// Longest unit name UNIT_cvt reads; longer names are cut.
constexpr int UNIT_NAME_MAX = 14;

/// Converts `value` from `iunit` to `ounit`. -9999 stays -9999; equal names or an
/// empty (or null) output unit give the value unchanged. A name may begin with a
/// factor ("100_ft", "10^3_m", "-K"); underscores read as blanks. Other pairs are
/// looked up in "units.lup"; when that file cannot be opened, "Unable to open units
/// file: %s\n" is traced (class M_DEBUG & M_SUB_D) and the result is 0. A zero output
/// factor gives -9999.
float UNIT_cvt(float value, const char *iunit, const char *ounit);

/// A conversion between two units: result = (ifactor x value x scale + offset) /
/// ofactor, or the value itself when `same` is 1.
struct UNIT_conversion {
  int same = 0;       // 1: equal names or no output unit
  int from_file = 0;  // 1: scale and offset come from the units file
  double ifactor = 1.0;
  double ofactor = 1.0;
  double scale = 1.0;
  double offset = 0.0;
};

/// Finds the conversion from `iunit` to `ounit` as UNIT_cvt does (with its trace
/// and its note for a missing units file), without the remembered pair, so that a
/// caller converting many values of several pairs can keep each pair's conversion.
/// Returns 1, or 0 when the units file cannot be opened (UNIT_cvt then gives 0).
int UNIT_get_cvt(const char *iunit, const char *ounit, UNIT_conversion *cvt);
/// `value` converted by `cvt`: exactly what UNIT_cvt gives for the same pair;
/// -9999 stays -9999 and a zero output factor gives -9999.
float UNIT_apply(const UNIT_conversion &cvt, float value);
