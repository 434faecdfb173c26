#include "driver/sfc_parse.h"

#include <cstring>

#include "date/date.h"
#include "files/files.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "surface/print_line.h"
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
  return 0;
}
