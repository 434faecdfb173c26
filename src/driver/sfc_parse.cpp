#include "driver/sfc_parse.h"

#include <cstdio>
#include <cstring>

#include "date/date.h"
#include "files/files.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "files/paths.h"
#include "geo/geo.h"
#include "geo/map.h"
#include "station/station.h"
#include "surface/print_line.h"
#include "surface/print_nice.h"
#include "surface/raw_reader.h"
#include "surface/report.h"
#include "surface/metar.h"
#include "surface/sa.h"
#include "util/util.h"

const res_type SFC_res_key[] = {
    RES_help,        RES_batch,      RES_message,    RES_file_path, RES_data_path,   RES_con_path,
    RES_grid_path,   RES_raw_path,   RES_image_path, RES_watch_path, RES_text_path,  RES_model_path,
    RES_sat_path,    RES_city_file,  RES_stat_prior, RES_name_conv, RES_in_file,     RES_out_file,
    RES_file_param,  RES_plot_domain, RES_grid_domain, RES_region,  RES_output,      RES_current,
    RES_hour,        RES_num_hour,   RES_identifier, RES_variable,  RES_parameter,   RES_null,
};

const res_type SFC_res_pos[] = {RES_filenames, RES_null};

namespace {

SFC_settings settings;

struct ParamWord {
  const char *word;
  void (*apply)();
};

void set_line(int format, int raw_line) {
  SFC_set_print(format);
  if (raw_line) settings.raw_line = raw_line;
}

constexpr ParamWord param_words[] = {
    {"dec", [] { settings.type |= SFC_DECODE_BIT; }},
    {"raw", [] { settings.type &= ~SFC_DECODE_BIT; }},
    {"pln", [] { set_line(2, 1); }},
    {"plns", [] { set_line(1, 2); }},
    {"psyn", [] { set_line(4, 0); }},
    {"pfull", [] { set_line(3, 0); }},
    {"psimp", [] { set_line(5, 0); }},
    {"pvar", [] { set_line(6, 0); }},
    {"prdash", [] { SFC_set_miss_dash(1); }},
    {"city", [] { settings.city = 1; }},
    {"cvt", [] { settings.decoded = 1; }},
    {"blank", [] { settings.blank = 1; }},
    {"noblank", [] { settings.blank = 0; }},
    {"header-1", [] { settings.header = 1; }},
    {"header-e", [] { settings.header = 2; }},
};

}  // namespace

const SFC_settings &SFC_get_settings() { return settings; }

void SFC_reset_settings() { settings = SFC_settings{}; }

int SFC_dat_in_file() {
  FILE_set_name("sfc_dat");
  ParsedList words;
  RES_getvals("in_file", words);
  for (const std::string &w : words) {
    if (stricmp(w.c_str(), "cvt") == 0) {
      settings.decoded = 1;
      FILE_set_name("sfc_cvt");
    } else if (stricmp(w.c_str(), "sfc_cvt_cdf") == 0) {
      settings.decoded = 1;
      FILE_set_name("sfc_cvt_cdf");
    } else {
      FILE_set_name(w.c_str());
    }
  }
  free_parsed_array(words);
  return 1;
}

int SFC_parameter() {
  ParsedList words;
  RES_getvals("parameter", words);
  for (const std::string &w : words) {
    if (strnicmp(w.c_str(), "tz", 2) == 0) {
      // The zone text starts at the word's fourth character ("tz=EST:-5").
      DATE_set_TZ(w.size() > 3 ? w.c_str() + 3 : "");
      continue;
    }
    for (const ParamWord &p : param_words) {
      if (stricmp(w.c_str(), p.word) == 0) {
        p.apply();
        break;
      }
    }
  }
  free_parsed_array(words);

  RES_getvals("output", words);
  for (const std::string &w : words) {
    if (stricmp(w.c_str(), "screen") == 0)
      settings.output = 1;
    else if (stricmp(w.c_str(), "file") == 0)
      settings.output = 2;
    else if (stricmp(w.c_str(), "both") == 0)
      settings.output = 3;
  }
  free_parsed_array(words);
  return 0;
}

namespace {

constexpr int FILENAME_SIZE = 160;
constexpr int STATION_ANSWER = 60;  // one word of at most 59 characters

// Files that SFC_parse_file has opened so far.
int init = 0;

// Prints one raw report that was asked for, to the terminal and, with the file bit,
// appended to its station's output file.
void print_raw_report(data_struct &rep, const Date &date) {
  bool to_file = settings.output & SFC_FILE_BIT;
  if (to_file) {
    FILE_set_key('i', rep.id);
    char name[FILENAME_SIZE];
    FILE_set_date(&date, name);
    MESS_print(1, "FILE: %s\n", name);
    MESS_file(name, "a");
  }
  if (settings.type & SFC_DECODE_BIT) {
    SFC_report report;
    SFC_initialize(&report);
    std::snprintf(report.area, sizeof report.area, "UN");
    if (rep.format == 1 || rep.format == 4)
      SFC_decode_SA(rep.data, rep.format, rep.bulletin, &report);
    else if (rep.format == 2 || rep.format == 5)
      SFC_decode_METAR(rep.data, rep.format, rep.bulletin, &report);
    SFC_print_line(1, &report);
  } else if (settings.raw_line == 2) {
    SFC_print_nice(1, rep.data);
  } else {
    strip_spaces(rep.data);
    MESS_print(1, "%s\n", rep.data);
  }
  if (to_file) MESS_file_close();
}

}  // namespace

int SFC_parse_file(const char *filename, const char *id_string) {
  SFC_parameter();
  FilePtr input(FILE_open(filename, "r"));
  if (!input) {
    MESS_print(192, "SFC_parse_file: Unable to open file:%s\n", filename);
    return 0;
  }
  SFC_raw_new_file();

  ParsedList ids;
  parse_string(id_string, ',', ids);

  Date date;
  FILE_get_date(&date);
  FILE_save_name_conv();

  // The map domain ("plot_domain", else "region"); a domain turns gathering on.
  Domain domain;
  DOM_get_region(&domain, 1);
  MAP_domain(&domain);
  if (domain.proj != DOM_NONE) settings.city = 1;
  ++init;

  FILE_set_name("sfc_par");
  ParsedList out_files;
  RES_getvals("out_file", out_files);
  for (const std::string &conv : out_files) FILE_set_name(conv.c_str());

  MESS_set(21, 61440);
  char label[DATE_LABEL_SIZE];
  DATE_make_label(&date, label);
  int several = FILE_get_num_file() != 0;
  bool lines = (settings.type & SFC_DECODE_BIT) || settings.decoded;
  if (!several) MESS_print(61440, "Date: %s\n\n", label);
  if (settings.header == 1 && init == 1 && lines) SFC_print_line(4, nullptr);
  if (several) MESS_print(61440, "** %s\n", label);
  if (settings.header == 2 && lines) SFC_print_line(4, nullptr);

  // Station selections are decided by the station store: every report passes.
  const CTY_id_set wanted(ids);
  data_struct rep;
  for (;;) {
    int result = SFC_read_raw(input.get(), rep.data, rep.id, &rep.format, &rep.bulletin);
    if (result == SFC_RAW_NONE) break;
    if (wanted.wanted(rep.id)) print_raw_report(rep, date);
    if (result == SFC_RAW_LAST) break;
  }

  free_parsed_array(out_files);
  free_parsed_array(ids);
  FILE_restore_name_conv();
  return 1;
}

void SFC_reset_parse() { init = 0; }

int SFC_main(int argc, char **argv) {
  RES_init(argc, argv, SFC_res_key, SFC_res_pos);
  std::string prog = RES_get_progname();
  if (FLAG_help()) {
    MESS_print(15, "%s: This program converts raw surface observations\n", prog.c_str());
    MESS_print(15, "   into a useable format\n");
    RES_help_print(prog.c_str(), SFC_res_key, SFC_res_pos);
    ZYP_exit(0);
  }
  if (RES_get("identifier")) MESS_set(20, 255);
  MESS_print_prog("HOURLY FILE SURFACE OBSERVATION PARSER");
  SFC_dat_in_file();

  char filename[FILENAME_SIZE];
  FILE_get_file_only("Enter the surface filename: ", filename);
  Date date;
  FILE_get_date(&date);
  FILE_reset_time();

  std::string ident;
  if (const char *id = RES_get("identifier")) {
    ident = id;
    MESS_print(3840, "Searching for: %s...\n", id);
  } else {
    char answer[STATION_ANSWER + 1] = "";
    ZYP_prompts("Enter the station: ", answer, STATION_ANSWER);
    RES_put("identifier", answer);
    ident = answer;
  }
  const char *id_list = stricmp(ident.c_str(), "all") == 0 ? nullptr : ident.c_str();

  FILE_first(&date);
  while (FILE_get_next(filename)) SFC_parse_file(filename, id_list);
  return 0;
}
