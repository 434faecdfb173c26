// SA decoder: one report of the older surface airways format (SA, and its SP,
// RS and SM forms, with the Canadian and Mexican variants) into an SFC_report.
//
// The decoder is one pass of pattern tries (surface/scanner.h) over the text:
// heading, station kind, sky layers, visibility, weather, the main group of
// pressure, temperature, dew point, wind and altimeter, then the remarks. Once
// the heading is read nothing is rejected: a part that fits no pattern is left
// where it is, and in the remarks it is copied word by word into `comment`.
//
// The SA body carries abbreviated numbers (three-digit sea-level pressure and
// altimeter, wind direction in tens of degrees, heights in hundreds of feet,
// temperatures in the country's unit); they are stored raw and completed into
// the record's units at the end.
//
// The bulletin origin (SFC_ORIGIN_US, _CANADA, _MEXICO, _OTHER) selects
// the Canadian and Mexican body forms, the Celsius conversion (Canada and
// Mexico) and the United States remark groups. The bulletin time HHMM comes from the raw
// reader (SFC_get_prhour). Notes on the groups read go to message class
// SFC_SA_NOTE_CLASS.
//
// The module keeps no state; its patterns are compiled once, and a decode
// allocates nothing.
#pragma once

#include "messages/messages.h"
#include "surface/report.h"

/// Message class of the decoder's notes (out4 c).
constexpr M_type SFC_SA_NOTE_CLASS = 0x4000000u;

/// Decodes the SA report `data` (NUL-terminated) into `report`, which the
/// caller has set up with SFC_initialize. `format` (SFC_FMT_SA or SFC_FMT_SP) is not used;
/// `bulletin` is the bulletin origin. Returns 0, or -1 when the text does not
/// start with an identifier of 1 to 4 characters followed by SA, SP, RS or SM
/// (or an argument is null): the record is then left as it was.
int SFC_decode_SA(const char *data, int format, int bulletin, SFC_report *report);
