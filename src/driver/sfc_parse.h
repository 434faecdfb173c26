// The parser's own functions: its settings, the input kind, the parameter and output
// words, and the per-file loop.
#pragma once

#include "resources/resources.h"
#include "station/station.h"
#include "surface/report.h"

/// The driver's settings, changed only by SFC_dat_in_file and SFC_parameter.
struct SFC_settings {
  int decoded = 0;   // 1: converted surface files; 0: raw bulletin files
  int type = 1;      // bit mask; the decode bit SFC_DECODE_BIT decodes raw reports
  int raw_line = 2;  // 2: tidied and wrapped raw text; 1: blanks squeezed, one line
  int output = 1;    // 1 screen, 2 file, 3 both (only the file bit counts)
  int header = 1;    // 1: column header once, with the first file; 2: for every file; 0: none
  int city = 0;      // 1: gathering mode
  int blank = 0;     // 1: gathered stations without a report are printed too
};

constexpr int SFC_DECODE_BIT = 4;
constexpr int SFC_FILE_BIT = 2;

/// The resource identifiers the program accepts, in help order, ending with RES_null.
extern const res_type SFC_res_key[];
/// The positional list: the input file names.
extern const res_type SFC_res_pos[];

/// Applies the "in_file" words: the input kind and the naming convention. Returns 1.
int SFC_dat_in_file();
/// Applies the "parameter" and then the "output" words. Returns 0.
int SFC_parameter();

const SFC_settings &SFC_get_settings();

/// One station's slot in gathering mode: the station's last report of the current
/// file, and what the slot keeps for the whole run. The station store holds one per
/// station, prepared by SFC_parse_enter_func.
struct SFC_slot {
  union {
    data_struct raw;    // raw input: the report; format 0 while none was gathered
    SFC_report report;  // converted input: the decoded report
  };
  int flag;                      // 1 once a report was gathered for the current file
  int prhour;                    // bulletin time (HHMM) the raw report was read under
  int elev;                      // the station's elevation, whole metres
  char station[CTY_ID_LEN + 1];  // the station's identifier; names its output file
};

/// Prepares the slot `area` (an SFC_slot) of the station `data`: the kept identifier
/// and elevation; raw input: text and identifier the station's identifier, format 0,
/// bulletin the elevation; converted input: an initialised report with the station's
/// identifier. Returns 0.
int SFC_parse_enter_func(const CTY_data *data, void *area);

/// Processes one input file: the reports of the stations in `id_string` (comma-
/// separated; null for all). Returns 1, or 0 when the file cannot be opened.
int SFC_parse_file(const char *filename, const char *id_string);

/// Exit statuses: 0 normally (also after help and "exit"); 1 when output could not be
/// written (see MESS_flush); 2 when no input file of the run could be opened; 7 when
/// the companion program's queue does not answer.
constexpr int SFC_EXIT_OK = 0;
constexpr int SFC_EXIT_WRITE_FAILED = 1;
constexpr int SFC_EXIT_NO_INPUT = 2;

/// The program: start-up, help, banner, input kind; returns the exit status.
int SFC_main(int argc, char **argv);
