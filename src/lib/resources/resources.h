// Resources: the process-wide store of named settings, the definition table that
// start-up builds from a program's identifier lists, value conversion, help text and
// the defaults (resource) files.
//
// Precedence at start-up, rising: resource files along the search path, environment
// variables, the command line. Names in the store are case-sensitive.
#pragma once

#include <string>

#include "util/util.h"

// ---- conversion kinds ---------------------------------------------------------

/// How a resource value is converted for its row (see RES_conv_data).
// clang-format off
enum DEF_convert {
  CV_none = 0, CV_bool = 1, CV_int = 2, CV_short = 3, CV_long = 4, CV_float = 5,
  CV_string = 6, CV_strcpy = 7, CV_path = 8, CV_mess = 9, CV_draw = 10, CV_current = 11,
  CV_hour = 12, CV_region = 13, CV_name = 14, CV_ingestor = 15, CV_file_param = 16,
  CV_device = 17, CV_plot_type = 18, CV_color = 19, CV_domain = 20, CV_strings = 21,
  CV_batch = 22, CV_help = 23
};
// clang-format on

// ---- resource identifiers -------------------------------------------------------

/// The identifiers of the resources a program can ask for (fixed numbers).
// clang-format off
enum res_type {
  RES_null = 0, RES_age, RES_background, RES_batch, RES_bin_path, RES_bull_file,
  RES_city_file, RES_color_cgrid, RES_color_clabel, RES_color_cloud, RES_color_cmap,
  RES_color_cont, RES_color_conts, RES_color_data, RES_color_echo, RES_color_fill,
  RES_color_front, RES_color_grid, RES_color_hodo, RES_color_hodtxt, RES_color_label,
  RES_color_labels, RES_color_line, RES_color_map, RES_color_pop, RES_color_rep,
  RES_color_sound, RES_color_table, RES_color_text, RES_color_therm, RES_color_thrmtxt,
  RES_color_wind, RES_color_wx, RES_command, RES_commands, RES_con_base, RES_con_bases,
  RES_con_interval, RES_con_intervals, RES_con_path, RES_current, RES_data_path,
  RES_data_src, RES_default, RES_draw, RES_decode_hour, RES_device, RES_file_param,
  RES_file_path, RES_filename, RES_filenames, RES_font_list, RES_forecast, RES_geometry,
  RES_grid_num, RES_grid_path, RES_grid_type, RES_help, RES_hour, RES_icon,
  RES_identifier, RES_identifiers, RES_identifierp, RES_image_path, RES_in_file,
  RES_in_files, RES_ingest_port, RES_ingestor, RES_input, RES_label, RES_labels,
  RES_level, RES_map_file, RES_message, RES_model, RES_name, RES_name_conv,
  RES_num_grid, RES_num_hour, RES_object_param, RES_out_file, RES_out_files, RES_output,
  RES_parameter, RES_plot_domain, RES_plot_format, RES_plot_param, RES_plot_range,
  RES_plot_scale, RES_plot_type, RES_plot_types, RES_position, RES_product, RES_program,
  RES_raw_path, RES_read_conf, RES_region, RES_save_param, RES_stat_prior, RES_state,
  RES_table, RES_time, RES_title, RES_unit, RES_values, RES_variable, RES_watch_path,
  RES_window_num, RES_color_watch, RES_log_file, RES_grid_domain, RES_inputg,
  RES_text_path, RES_model_path, RES_sat_path
};
// clang-format on
/// The numbers are part of the interface: none may move.
static_assert(RES_sat_path == 114, "resource identifiers are fixed numbers");

// ---- the store ------------------------------------------------------------------

/// Stores a value, replacing any earlier one (and its index and conversion).
int RES_new(int index, const char *name, const char *data, DEF_convert cvt);
/// Adds a value to a multi-valued resource, newline-separated; a known resource keeps
/// its index and conversion.
int RES_append(int index, const char *name, const char *data, DEF_convert cvt);
/// Stores a run-time setting (never converted by start-up).
int RES_put(const char *name, const char *value);
/// The value; "" for a resource given without a value; null when never given. The
/// pointer stays valid until the same resource is stored again.
const char *RES_get(const char *name);
/// Converts the resource's value into `data` with `cvt` (see RES_conv_data); 0 when
/// the resource is missing or `data` is null.
int RES_getval(const char *name, void *data, DEF_convert cvt);
/// Splits the value into `items` (at newlines for CV_strings, else at commas).
/// Returns the count; 0 and an empty list for a missing resource.
int RES_getvals(const char *name, ParsedList &items);
/// Prints every resource, in order of first storage, with class M_PRINT & M_SUB_D.
int RES_list();
/// Keeps the command line (not copied: it must outlive the store). Returns 1.
int RES_setCL(int argc, char **argv);
/// The first word of the command line, or null before RES_setCL.
const char *RES_get_prog();
/// The program name (command word after its last "/").
std::string RES_get_progname();

// ---- definition table and start-up ------------------------------------------------

/// Positional markers in a row's option field: 1..9 the n-th positional argument,
/// 10 every positional argument, accumulated.
constexpr int RES_POS_ALL = 10;

/// One row of a definition table: where a resource may come from and how it is
/// converted.
struct RES_defobj {
  const char *def = nullptr;  // resource name; "" matches nothing; null ends the table
  const char *env = nullptr;  // environment variable
  const char *cmd = nullptr;  // option word, or null for a positional row
  int pos = 0;                // 1..9 or 10 for positional rows, else 0
  DEF_convert cvt = CV_none;
  void *out = nullptr;  // where the conversion delivers (null in the parser's rows)
  int *num = nullptr;   // item count for CV_strings rows with an out
};

/// Largest number of rows (definitions plus the terminator).
constexpr int RES_TABLE_ROWS = 75;
/// Longest option name read from the command line.
constexpr int RES_OPTION_MAX = 49;

/// Fills every field of a row. Returns 1.
int RES_fill_obj(RES_defobj *obj, const char *def, const char *env, const char *cmd, int pos,
                 DEF_convert cvt, void *out, int *num);
/// Fills `obj` with the fixed row of `key`; an unknown key prints "%d\n" and gives
/// a row with the empty name.
int RES_enter(RES_defobj *obj, res_type key);
/// Starts the resource services: flags reset, definition rows built from both lists
/// (each ends with RES_null), values gathered and converted.
int RES_init(int argc, char **argv, const res_type *res_key, const res_type *res_pos);
/// Gathers the values of the rows of `def_table` (ended by a row with a null name)
/// in rising precedence: resource files along the search path (with the companion
/// program where the path names one), the environment, the command line; then
/// converts them in store order. `progname` and `cls` are not used. Returns 0.
int RES_decode(const char *progname, const char *cls, int argc, char **argv, RES_defobj *def_table);

// ---- conversion ---------------------------------------------------------------------
//
// Output areas by kind: CV_bool, CV_int: int*; CV_short: short*; CV_long, CV_color:
// long*; CV_float: float*; CV_string, CV_device: const char** (points into the stored
// text); CV_strcpy, CV_path: std::string*; CV_region, CV_domain: Domain*.

/// Converts `data` into `out` by `cvt`. Numbers are read from the start of the text;
/// one out of the output's range leaves it unchanged. Returns 1 when the kind was
/// handled, 0 when it needs an output area and `out` is null.
int RES_conv_data(const char *data, void *out, DEF_convert cvt);
/// The device number of a device name by its first letter: p 4, h or q 5, m 3, w 6,
/// anything else 1.
int RES_set_device(const char *str);

// ---- help ----------------------------------------------------------------------------

/// Prints the syntax of program `name`: its keyed options, then its positional
/// ones (each list ends with RES_null), with class M_PRINT. Returns 1.
int RES_help_print(const char *name, const res_type *res_key, const res_type *res_pos);
/// Prints the help line(s) of one resource; one without an entry prints its number
/// on standard output. Returns 1.
int RES_help_item(res_type res);

// ---- defaults files --------------------------------------------------------------------

/// Longest line of a resource file; the rest of a longer one is dropped, with a warning.
constexpr int DEF_LINE_MAX = 249;
/// Most tags defined at once.
constexpr int DEF_MAX_TAGS = 10;
/// Deepest nesting of IF sections; deeper ones are read as inactive, with a warning.
constexpr int DEF_MAX_DEPTH = 10;

/// Takes the program name (RES_get_progname, at most 29 characters) as the first
/// part of resource names. Returns 0.
int DEF_prog();
/// Sets the name that qualifies resource names in place of the program name
/// ("+name": after it). Returns 0.
int DEF_name(const char *name);
/// Forgets every tag. Returns 0.
int DEF_clr_tag();
/// Defines a tag. Returns 0, -1 when DEF_MAX_TAGS are already defined.
int DEF_tag(const char *str);
/// Opens a resource file for DEF_get (a directory: its first of zyp.cfg, .zypdef,
/// Zyp.res; null or empty: .zypdef), closing any earlier one. Returns 0, or -1 when
/// it cannot be opened or is no text file.
int DEF_open(const char *filename);
/// Closes the resource file. Returns 0.
int DEF_close();
/// Next entry of an active section: name and value. 1 for an entry, -1 at the end.
int DEF_get(std::string &resrc, std::string &value);
/// 1 when the pattern `string` ("*identifier", "sfcparse.parameter") names the
/// resource `resrc` of this program, else 0.
int DEF_cmp(const char *resrc, const char *string);
/// 1 when the pattern names its own last component as a resource of this program.
int DEF_valid(const char *string);
/// The resource name of a pattern: the part after its last "." or "*".
std::string DEF_parse_name(const char *str);
/// Looks up the resource in the environment; 1 and `value` set when found.
int DEF_env(const char *resrc, const char *env, std::string &value);
