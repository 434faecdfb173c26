// METAR and SPECI decoder: the text of one report, as the raw bulletin reader
// cut it, into an SFC_report in the record's fixed units.
//
// The decoder does not tokenize. It holds one scanner cursor over the report and
// tries the groups in the order a METAR writes them (heading and time, NIL, wind,
// visibility, runway visual range, present weather, sky layers, temperature and
// dew point, altimeter, remarks), each with a short ladder of patterns; the first
// pattern that fits wins and the cursor moves past it. A group that fits nothing
// stays where it is and the next group is tried there, so damaged reports still
// give what they hold. In the remarks every known group is looked for at every
// word; words it does not know go into the record's comment.
//
// Conversions on the way in: Celsius to Fahrenheit, MPS/KMH to knots, metres,
// nautical miles and kilometres to statute miles, hectopascals to inches of
// mercury, hundreds of feet to feet, hundredths of an inch to inches. A value
// given as missing ("//", "XX", "////") stays missing.
//
// Diagnostics go to message class SFC_METAR_NOTE_CLASS (out4 c): one line per
// remark group recognised, the runway visual range groups, the weather code;
// words passed over on the way to a misplaced temperature group are listed at
// SFC_METAR_LOST_CLASS (out4 d) as "Unaccounted data: %s\n". Nothing is built
// when the class is not shown.
//
// The module's only state is the switch of its quick checks (a test hook, in
// metar_testing.h). It reads the time of the current bulletin
// (SFC_get_prhour of the raw reader) as the default observation time and to tell
// the 3-hour from the 6-hour precipitation group.
#pragma once

#include "messages/messages.h"
#include "surface/report.h"

/// Message class of the decoder's notes (out4 c).
constexpr M_type SFC_METAR_NOTE_CLASS = 0x4000000u;
/// Message class of the words lost before a misplaced temperature group (out4 d).
constexpr M_type SFC_METAR_LOST_CLASS = 0x8000000u;

/// Decodes the METAR or SPECI report `data` into `report`, which the caller has
/// initialised (SFC_initialize): the decoder only sets fields.
///
/// `format` is the report's format code (format % 8 == SFC_FMT_SPECI marks a
/// SPECI); `bulletin` the origin of its bulletin (SFC_ORIGIN_US, _CANADA,
/// _MEXICO, _OTHER), which switches the national remark groups on (US and
/// Canada: the AMOS and AO1/AO2 words and the tenths T-group; US only: the other
/// US groups).
///
/// At most SFC_DATA_SIZE - 1 characters of `data` are read, and `data` is not
/// changed (the decoder works on its own copy). A null `data` reads as an empty
/// report.
///
/// Returns 0 for a decoded report (whatever it held), -1 for a NIL report (then
/// `type` is 0 and the identifier, kind and time read so far are kept), and -1
/// with nothing written for a null `report`.
int SFC_decode_METAR(const char *data, int format, int bulletin, SFC_report *report);
