// The fixed definition row and help entry of every resource identifier the library
// knows, and the help printer built from them.
#include <cstdio>

#include "messages/messages.h"
#include "resources/resources.h"
#include "resources/table.h"

namespace {

// Help kinds beside the plain one-line entry.
constexpr int H_PLAIN = 0, H_MESSAGE = 1, H_DOMAIN = 2, H_REGION = 3;

// clang-format off
constexpr ResEntry entries[] = {
    {RES_help, "help", "zyphelp", "h", 0, CV_help, "-h", "Print this help", H_PLAIN},
    {RES_batch, "batch", "zypbatch", "ba", 0, CV_batch, "-ba", "Run program in batch mode", H_PLAIN},
    {RES_message, "message", "zypmess", "me", 0, CV_mess, "-me level", "Message level to be displayed:", H_MESSAGE},
    {RES_file_path, "file_path", "zypfile", "fp", 0, CV_path, "-fp path", "File path", H_PLAIN},
    {RES_data_path, "data_path", "zypdata", "dp", 0, CV_path, "-dp path", "Raw data path", H_PLAIN},
    {RES_con_path, "con_path", "zypcon", "cp", 0, CV_path, "-cp path", "Converted data path", H_PLAIN},
    {RES_grid_path, "grid_path", "zypgrid", "gp", 0, CV_path, "-gp path", "Gridded data path", H_PLAIN},
    {RES_raw_path, "raw_path", "zypraw", "rp", 0, CV_path, "-rp path", "Raw files path", H_PLAIN},
    {RES_image_path, "image_path", "zypimage", "ip", 0, CV_string, "-ip path", "Image file path", H_PLAIN},
    {RES_watch_path, "watch_path", "zypwatch", "wp", 0, CV_path, "-wp path", "Watch file data path", H_PLAIN},
    {RES_text_path, "text_path", "zyptext", "tp", 0, CV_path, "-tp path", "Text file path", H_PLAIN},
    {RES_model_path, "model_path", "zypmpath", "mp", 0, CV_path, "-mp path", "Model file path", H_PLAIN},
    {RES_sat_path, "sat_path", "zypsat", "sp", 0, CV_path, "-sp path", "Satellite file path", H_PLAIN},
    {RES_city_file, "city_file", "zypcity", "cf", 0, CV_string, "-cf file", "City database file name", H_PLAIN},
    {RES_stat_prior, "stat_prior", "zypprior", "pr", 0, CV_int, "-pr prior", "Priority of stations used in the plot", H_PLAIN},
    {RES_name_conv, "name_conv", "zypnameconv", "nc", 0, CV_name, "-nc type", "Naming convention file name", H_PLAIN},
    {RES_in_file, "in_file", "zypinfile", "if", 0, CV_string, "-if type", "Input data file type", H_PLAIN},
    {RES_in_files, "in_file", "zypinfile", "if", 0, CV_string, "-if type", "Input data file type", H_PLAIN},
    {RES_out_file, "out_file", "zypoutfile", "of", 0, CV_string, "-of type", "Output file type", H_PLAIN},
    {RES_file_param, "file_param", "zypfileparam", "pf", 0, CV_file_param, "-pf param", "File parameters: use,calc,over,app", H_PLAIN},
    {RES_plot_domain, "plot_domain", "zypdomain", "pd", 0, CV_domain, "-pd region or [proj],clat,clon[,nx,ny][,dx,dy]", "             Output plot domain\n", H_DOMAIN},
    {RES_grid_domain, "grid_domain", "zypgrddomain", "gd", 0, CV_domain, "-gd region or [proj],clat,clon[,nx,ny][,dx,dy]", "             Grid domain\n", H_DOMAIN},
    {RES_region, "region", "zypregion", "re", 0, CV_region, "-re region or [proj],clat,clon[,nx,ny][,dx,dy]", "             Region to be used for plotting and gridding\n", H_REGION},
    {RES_output, "output", "zypout", "ou", 0, CV_string, "-ou type", "Type of output", H_PLAIN},
    {RES_current, "current", "zypcurrent", "cu", 0, CV_current, "-cu [hour]", "Use current data file", H_PLAIN},
    {RES_hour, "hour", "zyphour", "ho", 0, CV_hour, "-ho hour", "Actual hour of the file", H_PLAIN},
    {RES_num_hour, "num_hour", "zypnumhour", "nh", 0, CV_string, "-nh hour[,step]", "Number of hours to view", H_PLAIN},
    {RES_identifier, "identifier", "zypident", "id", 0, CV_string, "-id ident", "Specific station identifier", H_PLAIN},
    {RES_variable, "variable", "zypvar", "va", 0, CV_string, "-va var", "Variable to be plotted or contoured", H_PLAIN},
    {RES_parameter, "parameter", "zypparam", "pa", 0, CV_string, "-pa param[,...]", "Program parameters", H_PLAIN},
    {RES_filenames, "filename", "zypfilename", nullptr, RES_POS_ALL, CV_strings, "file [file...]", "Input file names", H_PLAIN},

    // Rows of the other programs of the library.
    {RES_ingestor, "ingestor", "zypingest", "di", 0, CV_ingestor, "-di ingestor", "Data ingestor", H_PLAIN},
    {RES_input, "input", "zypinput", "in", 0, CV_string, "-in file", "Input file", H_PLAIN},
    {RES_inputg, "input", "zypinput", "inp", 0, CV_string, "-inp file", "Input file", H_PLAIN},
    {RES_map_file, "map_file", "zypmapfile", "mf", 0, CV_string, "-mf file", "Map file name", H_PLAIN},
    {RES_bull_file, "bull_file", "zypbullfile", "bf", 0, CV_string, "-bf file", "Bulletin file name", H_PLAIN},
    {RES_log_file, "log_file", "zyplogfile", "lf", 0, CV_string, "-lf file", "Log file name", H_PLAIN},
    {RES_decode_hour, "decode_hour", "zypdechour", "dh", 0, CV_string, "-dh hour", "Hour of the data to decode", H_PLAIN},
    {RES_model, "model", "zypmodel", "mo", 0, CV_string, "-mo model", "Model name", H_PLAIN},
    {RES_grid_type, "grid_type", "zypgridtype", "gt", 0, CV_int, "-gt type", "Grid type", H_PLAIN},
    {RES_grid_num, "grid_num", "zypgridnum", "gn", 0, CV_string, "-gn num", "Grid number", H_PLAIN},
    {RES_product, "product", "zypproduct", "ph", 0, CV_string, "-ph product", "Product", H_PLAIN},
    {RES_forecast, "forecast", "zypforecast", "fc", 0, CV_string, "-fc hour", "Forecast hour", H_PLAIN},
    {RES_state, "state", "zypstate", "st", 0, CV_string, "-st state", "State or province", H_PLAIN},
    {RES_time, "time", "zyptime", "ft", 0, CV_string, "-ft time", "Forecast time", H_PLAIN},
    {RES_level, "level", "zyplevel", "le", 0, CV_string, "-le level", "Vertical level", H_PLAIN},
    {RES_object_param, "object_param", "zypobjparam", "oa", 0, CV_string, "-oa param", "Object parameters", H_PLAIN},
    {RES_con_interval, "con_interval", "zypconint", "in", 0, CV_float, "-in interval", "Contour interval", H_PLAIN},
    {RES_plot_type, "plot_type", "zypplottype", "pl", 0, CV_plot_type, "-pl type", "Plot type", H_PLAIN},
    {RES_draw, "draw", "zypdraw", "dr", 0, CV_draw, "-dr param[,...]", "Plot elements to draw", H_PLAIN},
    {RES_table, "table", "zyptable", "ta", 0, CV_bool, "-ta", "Print a table", H_PLAIN},
    {RES_plot_scale, "plot_scale", "zypscale", "sc", 0, CV_float, "-sc scale", "Plot scale", H_PLAIN},
    {RES_con_base, "con_base", "zypconbase", "cb", 0, CV_float, "-cb base", "Contour base", H_PLAIN},
    {RES_plot_format, "plot_format", "zypformat", "fm", 0, CV_string, "-fm format", "Plot format", H_PLAIN},
    {RES_plot_param, "plot_param", "zypplotparam", "pp", 0, CV_string, "-pp param[,...]", "Plot parameters", H_PLAIN},
    {RES_label, "label", "zyplabel", "la", 0, CV_string, "-la label", "Plot label", H_PLAIN},
    {RES_color_table, "color_table", "zypcolortable", "ct", 0, CV_string, "-ct table", "Color table", H_PLAIN},
    {RES_background, "background", "zypbackground", "bg", 0, CV_string, "-bg color", "Background color", H_PLAIN},
    {RES_color_text, "color_text", "zypcolortext", "cot", 0, CV_string, "-cot color", "Text color", H_PLAIN},
    {RES_color_data, "color_data", "zypcolordata", "cod", 0, CV_string, "-cod color", "Data color", H_PLAIN},
    {RES_color_map, "color_map", "zypcolormap", "com", 0, CV_string, "-com color", "Map color", H_PLAIN},
    {RES_color_grid, "color_grid", "zypcolorgrid", "cogr", 0, CV_string, "-cogr color", "Grid color", H_PLAIN},
    {RES_color_line, "color_line", "zypcolorline", "coln", 0, CV_string, "-coln color", "Line color", H_PLAIN},
    {RES_color_cmap, "color_cmap", "zypcolorcmap", "cocm", 0, CV_string, "-cocm color", "Color map color", H_PLAIN},
    {RES_color_cont, "color_cont", "zypcolorcont", "coco", 0, CV_string, "-coco color", "Contour color", H_PLAIN},
    {RES_color_label, "color_label", "zypcolorlabel", "cola", 0, CV_string, "-cola color", "Label color", H_PLAIN},
    {RES_color_clabel, "color_clabel", "zypcolorclabel", "cocl", 0, CV_string, "-cocl color", "Contour label color", H_PLAIN},
    {RES_color_front, "color_front", "zypcolorfront", "cofr", 0, CV_string, "-cofr color", "Front color", H_PLAIN},
    {RES_color_watch, "color_watch", "zypcolorwatch", "cowa", 0, CV_string, "-cowa color", "Watch color", H_PLAIN},
    {RES_color_fill, "color_fill", "zypcolorfill", "cof", 0, CV_string, "-cof color", "Fill color", H_PLAIN},
    {RES_color_wind, "color_wind", "zypcolorwind", "cowd", 0, CV_string, "-cowd color", "Wind color", H_PLAIN},
    {RES_color_cloud, "color_cloud", "zypcolorcloud", "cocd", 0, CV_string, "-cocd color", "Cloud color", H_PLAIN},
    {RES_color_wx, "color_wx", "zypcolorwx", "cowx", 0, CV_string, "-cowx color", "Weather color", H_PLAIN},
    {RES_color_pop, "color_pop", "zypcolorpop", "copp", 0, CV_string, "-copp color", "Precipitation probability color", H_PLAIN},
    {RES_color_sound, "color_sound", "zypcolorsound", "cosd", 0, CV_string, "-cosd color", "Sounding color", H_PLAIN},
    {RES_color_therm, "color_therm", "zypcolortherm", "coth", 0, CV_string, "-coth color", "Thermodynamic diagram color", H_PLAIN},
    {RES_color_thrmtxt, "color_thrmtxt", "zypcolorthrmtxt", "cott", 0, CV_string, "-cott color", "Thermodynamic diagram text color", H_PLAIN},
    {RES_color_hodo, "color_hodo", "zypcolorhodo", "coh", 0, CV_string, "-coh color", "Hodograph color", H_PLAIN},
    {RES_color_hodtxt, "color_hodtxt", "zypcolorhodtxt", "coht", 0, CV_string, "-coht color", "Hodograph text color", H_PLAIN},
    {RES_font_list, "font_list", "zypfontlist", "fl", 0, CV_string, "-fl fonts", "Font list", H_PLAIN},
    {RES_window_num, "window_num", "zypwindow", "wn", 0, CV_int, "-wn num", "Window number", H_PLAIN},
    {RES_device, "device", "zypdevice", "de", 0, CV_device, "-de dev[,name]", "Output device", H_PLAIN},
    {RES_title, "title", "zyptitle", "ti", 0, CV_string, "-ti title", "Window title", H_PLAIN},
    {RES_geometry, "geometry", "zypgeometry", "ge", 0, CV_string, "-ge geom", "Window geometry", H_PLAIN},
    {RES_icon, "icon", "zypicon", "ic", 0, CV_bool, "-ic", "Start as an icon", H_PLAIN},
    {RES_command, "command", "zypcommand", nullptr, RES_POS_ALL, CV_strings, "command [command...]", "Commands", H_PLAIN},
    {RES_commands, "command", "zypcommand", "cd", 0, CV_string, "-cd command", "Command", H_PLAIN},
    {RES_filename, "filename", "zypfilename", nullptr, 1, CV_strcpy, "file", "Input file name", H_PLAIN},
    {RES_values, "value", "zypvalue", nullptr, RES_POS_ALL, CV_strings, "value [value...]", "Values", H_PLAIN},
};
// clang-format on

}  // namespace

const ResEntry *RES_entry(res_type key) {
  for (const ResEntry &e : entries)
    if (e.key == key) return &e;
  return nullptr;
}

int RES_enter(RES_defobj *obj, res_type key) {
  const ResEntry *e = RES_entry(key);
  if (!e) {
    std::printf("%d\n", static_cast<int>(key));
    return RES_fill_obj(obj, "", "", "", 0, CV_none, nullptr, nullptr);
  }
  return RES_fill_obj(obj, e->def, e->env, e->cmd, e->pos, e->cvt, nullptr, nullptr);
}

int RES_help_item(res_type res) {
  const ResEntry *e = RES_entry(res);
  if (!e) {
    std::printf("%d\n", static_cast<int>(res));
    return 1;
  }
  switch (e->help) {
    case H_MESSAGE:
      MESS_print(M_PRINT, " %-10s  %s\n", e->synopsis, e->description);
      MESS_print(M_PRINT, "               none,print,error,warn,mess,out1,*out2,out3,out4,debug\n");
      break;
    case H_DOMAIN:
    case H_REGION:
      MESS_print(M_PRINT, " %-10s\n", e->synopsis);
      MESS_print(M_PRINT, "%s", e->description);
      MESS_print(M_PRINT, "               region=predefined region:\n");
      MESS_print(M_PRINT, "                  us,ne,at,se,mw,sp,nw,sw,etc\n");
      MESS_print(
          M_PRINT,
          "               proj=projection, clat=central latitude, clon=central longitude,\n");
      MESS_print(M_PRINT, "               nx,ny=number of gridpoints and dx,dy=grid spacing\n");
      if (e->help == H_REGION) MESS_print(M_PRINT, "               us,ne,at,se,mw,sp,nw,sw,var\n");
      break;
    default: MESS_print(M_PRINT, " %-10s  %s\n", e->synopsis, e->description); break;
  }
  return 1;
}

int RES_help_print(const char *name, const res_type *res_key, const res_type *res_pos) {
  MESS_print(M_PRINT, "%s syntax (version:%s)\n", name, ZYP_version());
  MESS_print(M_PRINT, "   %s [options...]\n", name);
  MESS_print(M_PRINT, "Keyed options...\n");
  MESS_print(M_PRINT, " %-10s  Resource/defaults file name\n", "-df file");
  MESS_print(M_PRINT, " %-10s  Program name\n", "-na name");
  for (const res_type *r = res_key; r && *r != RES_null; ++r) RES_help_item(*r);
  MESS_print(M_PRINT, "Positional options...\n");
  for (const res_type *r = res_pos; r && *r != RES_null; ++r) RES_help_item(*r);
  return 1;
}
