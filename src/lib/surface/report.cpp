// Surface report records: initial values and the remarks text.
#include "surface/report.h"

#include <cstring>

#include "surface/scanner.h"
#include "util/util.h"

int SFC_initialize(SFC_report *report) {
  if (!report) return -1;
  // Zero first so that padding bytes are defined: records are copied and
  // compared whole.
  std::memset(report, 0, sizeof(*report));

  report->id[0] = '\0';
  report->area[0] = '\0';
  report->type = 0;
  report->wmo = SFC_MISSING;
  report->lat = SFC_MISSING_F;
  report->lon = SFC_MISSING_F;
  report->elev = SFC_MISSING_F;
  report->prior = SFC_MISSING;
  report->time = SFC_MISSING;
  for (int i = 0; i < SFC_MAX_CLD; ++i) {
    report->cld_height[i] = SFC_MISSING_F;
    report->cld_cover[i] = ' ';
  }
  report->num_cld = 0;
  report->vis = SFC_MISSING_F;
  report->weather[0] = ' ';
  report->weather[1] = '\0';
  report->pmb = SFC_MISSING_F;
  report->t = SFC_MISSING_F;
  report->td = SFC_MISSING_F;
  report->w_dir = SFC_MISSING_F;
  report->w_spd = SFC_MISSING_F;
  report->w_gust = SFC_MISSING_F;
  report->alt = SFC_MISSING_F;
  report->ptend_t = SFC_MISSING;
  report->ptend = SFC_MISSING_F;
  report->rain1 = SFC_MISSING_F;
  report->rain3 = SFC_MISSING_F;
  report->rain6 = SFC_MISSING_F;
  report->rain12 = SFC_MISSING_F;
  report->rain24 = SFC_MISSING_F;
  report->rain = SFC_MISSING_F;
  report->rain_per = SFC_MISSING;
  report->cld_low = ' ';
  for (char &c : report->cld_type) c = ' ';
  report->max_t = SFC_MISSING_F;
  report->min_t = SFC_MISSING_F;
  report->max6_t = SFC_MISSING_F;
  report->min6_t = SFC_MISSING_F;
  report->scover = SFC_MISSING_F;
  report->solar = SFC_MISSING_F;
  report->sst = SFC_MISSING_F;
  report->wav_per = SFC_MISSING_F;
  report->wav_hgt = SFC_MISSING_F;
  report->comment[0] = '\0';
  report->flag = 0;
  return 0;
}

int SFC_add_remarks(SFC_report *report, const char *string) {
  if (!report) return -1;
  // Both appends are bounded, so a full comment stays as it is.
  strmcat(report->comment, string, SFC_COMMENT_LEN);
  strmcat(report->comment, " ", SFC_COMMENT_LEN);
  return 0;
}

// Copies words with a scanner state of its own, so the caller's cursor does not
// move. Each step takes one word of 1 to 20 non-blank characters and the blanks
// after it; a longer word matches its first 20 characters (the blank then fails
// but the word still counts) and the rest is the next word.
int SFC_add_remark_sections(SFC_report *report, const char *ptr, int sects) {
  if (!report) return -1;
  if (!ptr || sects <= 0) return 0;
  static const ScanPattern kWord("%<20s ");

  parse_param param;
  // The scan only reads the text; nothing here writes through the state.
  scanp_set(&param, const_cast<char *>(ptr));
  char word[SCANP_TEXT_SIZE];
  for (int i = 0; i < sects; ++i) {
    if (scanp(&param, kWord, word) < 1) break;
    SFC_add_remarks(report, word);
    scanp_inc(&param);
  }
  return 0;
}
