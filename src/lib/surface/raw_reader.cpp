#include "surface/raw_reader.h"

#include <cstring>
#include <string.h>  // memrchr

#include "messages/messages.h"

namespace {

// Trace class of the line classifier.
constexpr M_type kTraceClass = 0x80000000u;
// Initial value of the announced format: neither "METAR" nor "SPECI".
constexpr int kPrTypeInitial = 1;

struct RawState {
  char cur_line[SFC_RAW_LINE_LEN + 1] = "";  // the lookahead line, cleaned once read
  bool have_line = false;   // cur_line holds a line of the file not yet part of a report
  bool exhausted = false;   // the stream has ended (end of file or read error)
  bool nl_next = false;     // the newline after the last piece was taken from the stream
  FILE *stream = nullptr;   // the stream the state belongs to
  int pr_type = kPrTypeInitial;   // 2 after a lone "METAR", 5 after a lone "SPECI", 0 after a heading
  int prhour = 0;                 // bulletin time HHMM from the last heading
  int origin = SFC_ORIGIN_OTHER;  // origin of the current bulletin: 0, 1, 2 or 9
};

RawState g_raw;

void ResetRaw() { g_raw = RawState{}; }

// ---- character classes (C locale, bytes) ---------------------------------------

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// ---- words -----------------------------------------------------------------------

// A word kept by the classifiers: at most SFC_RAW_WORD_LEN characters of it.
struct Word {
  char *text;  // SFC_RAW_WORD_SIZE bytes
  int len;
};

// Whether `w` is exactly the text `lit`.
template <size_t N>
bool Is(const Word &w, const char (&lit)[N]) {
  return w.len == static_cast<int>(N - 1) && std::memcmp(w.text, lit, N - 1) == 0;
}

template <size_t N>
bool StartsWith(const char *s, const char (&prefix)[N]) {
  return std::strncmp(s, prefix, N - 1) == 0;
}

// Skips blanks and then one word; returns the position after it.
const char *SkipWord(const char *p) {
  while (IsSpace(*p)) ++p;
  while (*p && !IsSpace(*p)) ++p;
  return p;
}

// Reads the next word into `w`, keeping at most SFC_RAW_WORD_LEN characters of
// it; the rest of a longer word is passed over. Returns false, leaving `w` as it
// was, when no word is left.
bool ReadWord(const char *&p, Word &w) {
  while (IsSpace(*p)) ++p;
  if (!*p) return false;
  int n = 0;
  for (; *p && !IsSpace(*p); ++p)
    if (n < SFC_RAW_WORD_LEN) w.text[n++] = *p;
  w.text[n] = '\0';
  w.len = n;
  return true;
}

// Skips `skip` words of `line`, then reads up to two words into `a` and `b`. A
// word that is not reached leaves its target as it was. Returns the number of
// words stored, or -1 when none was left to store.
int ScanWords(const char *line, int skip, Word &a, Word &b) {
  const char *p = line;
  for (int i = 0; i < skip; ++i) p = SkipWord(p);
  if (!ReadWord(p, a)) return -1;
  return ReadWord(p, b) ? 2 : 1;
}

// Length of the word at `p` after blanks; `p` moves past it.
int WordLength(const char *&p) {
  while (IsSpace(*p)) ++p;
  const char *start = p;
  while (*p && !IsSpace(*p)) ++p;
  return static_cast<int>(p - start);
}

// A decimal field of at most `width` characters after optional blanks: an
// optional sign and at least one digit.
bool ReadInt(const char *&p, int width, int *out) {
  while (IsSpace(*p)) ++p;
  const char *q = p;
  bool neg = false;
  if (*q == '+' || *q == '-') {
    neg = *q == '-';
    ++q;
    --width;
  }
  int value = 0;
  int digits = 0;
  for (; digits < width && IsDigit(*q); ++digits, ++q) value = value * 10 + (*q - '0');
  if (digits == 0) return false;
  p = q;
  *out = neg ? -value : value;
  return true;
}

// The bulletin time of a heading: after `skip` words, a two-digit day that is
// passed over and then up to four digits of hours and minutes. Leaves `prhour`
// as it was when the line has no such group.
void ReadHour(const char *p, int skip) {
  for (int i = 0; i < skip; ++i) p = SkipWord(p);
  int day = 0;
  int hhmm = 0;
  if (ReadInt(p, 2, &day) && ReadInt(p, 4, &hhmm)) g_raw.prhour = hhmm;
}

// Origin of a bulletin by the first letters of its heading.
int OriginOfHeading(const char *h) {
  if (h[0] != 'S') return SFC_ORIGIN_OTHER;
  if (StartsWith(h, "SACN") || StartsWith(h, "SPCN")) return SFC_ORIGIN_CANADA;
  if (StartsWith(h, "SAMX")) return SFC_ORIGIN_MEXICO;
  // The United States collectives.
  static constexpr const char kUs[][5] = {"SAUS", "SAUE", "SAUM", "SAUW", "SAUC", "SACA",
                                          "SAXX", "SAHW", "SAPA", "SAPQ", "SAAK"};
  for (const char *us : kUs)
    if (std::strncmp(h, us, 4) == 0) return SFC_ORIGIN_US;
  return SFC_ORIGIN_OTHER;
}

// Origin of a METAR or SPECI of an "other" bulletin, by its identifier.
int OriginOfId(const char *id) {
  static constexpr const char kUs[][3] = {"PA", "PH", "PG", "PK", "PT", "TJ", "TI"};
  if (id[0] == 'K') return SFC_ORIGIN_US;
  for (const char *pre : kUs)
    if (std::strncmp(id, pre, 2) == 0) return SFC_ORIGIN_US;
  if (id[0] == 'C') return SFC_ORIGIN_CANADA;
  return SFC_ORIGIN_OTHER;
}

// Words after an identifier that make a line an SA report (SP for "SP", "USP").
bool IsSaWord(const Word &w) {
  return Is(w, "SA") || Is(w, "RS") || Is(w, "SP") || Is(w, "USP") || Is(w, "SM") ||
         Is(w, "NIL") || Is(w, "NIL=") || Is(w, "AMOS");
}

// Whether the word after a 4-character identifier has the shape of a time or
// wind group (or is "METAR"/"AUTO"): its first four characters are digits, with
// an "E" or a "V" allowed first, an "R" second and a "B" third ("VRB05KT").
bool GroupShape(const Word &w) {
  if (Is(w, "METAR") || Is(w, "AUTO")) return true;
  const char *c = w.text;
  return (c[0] == 'E' || c[0] == 'V' || IsDigit(c[0])) && (c[1] == 'R' || IsDigit(c[1])) &&
         (c[2] == 'B' || IsDigit(c[2])) && IsDigit(c[3]);
}

// A day-hour-minute group of six digits, with or without its "Z".
bool IsDateTimeGroup(const Word &w) {
  if (w.len != 6 && !(w.len == 7 && w.text[6] == 'Z')) return false;
  for (int i = 0; i < 6; ++i)
    if (!IsDigit(w.text[i])) return false;
  return true;
}

// ---- line reading ----------------------------------------------------------------

char *GetLine(char *s, int size, FILE *f) {
#if defined(__GLIBC__)
  return fgets_unlocked(s, size, f);
#else
  return std::fgets(s, size, f);
#endif
}

// One piece of a line: at most SFC_RAW_LINE_LEN characters other than a newline.
// A newline that ends the piece is taken from the stream and remembered in
// nl_next; it is skipped by the next read. Returns the count, 0 when the next
// character is that newline, -1 when the stream has ended.
int ScanPiece(FILE *f, char *s) {
  s[0] = '\0';
  if (g_raw.nl_next) return 0;
  if (g_raw.exhausted) return -1;
  // The line reader stores at most SFC_RAW_LINE_LEN characters, the newline that
  // ends a line among them, and a terminator. NUL bytes may be part of the line,
  // so its length is where the terminator went: the last zero byte of a buffer
  // that was filled with other bytes before.
  constexpr int kSize = SFC_RAW_LINE_LEN + 1;
  std::memset(s, 1, kSize);
  if (!GetLine(s, kSize, f)) {
    s[0] = '\0';
    g_raw.exhausted = true;
    return -1;
  }
#if defined(__GLIBC__)
  int n = static_cast<int>(static_cast<const char *>(memrchr(s, 0, kSize)) - s);
#else
  int n = kSize - 1;
  while (n > 0 && s[n] != '\0') --n;
#endif
  if (n > 0 && s[n - 1] == '\n') {
    s[--n] = '\0';
    g_raw.nl_next = true;
  } else if (n < SFC_RAW_LINE_LEN) {
    g_raw.exhausted = true;  // the piece ended with the stream
  }
  if (n > 0) return n;
  return g_raw.nl_next ? 0 : -1;
}

// The next line piece, as a line reader that leaves the newline for the next call
// gives it: a piece that ends at a line's end is followed by the next line, not by
// an empty one; a line of 200 characters gives pieces of 160 and 40. Returns the
// count (0 for an empty line) or -1 at the end.
int ReadPiece(FILE *f, char *s) {
  int n = ScanPiece(f, s);
  if (n != 0) return n;
  g_raw.nl_next = false;
  return ScanPiece(f, s);
}

// Cleans a piece of `n` bytes in place: control bytes (NUL included) at its end
// are cut off, the last byte kept becomes a blank when it has the high bit, and
// every earlier control or high byte becomes a blank.
void CleanPiece(char *line, int n) {
  auto *s = reinterpret_cast<unsigned char *>(line);
  int i = n - 1;
  for (; i >= 0; --i) {
    if (s[i] < ' ') {
      s[i] = '\0';
      continue;
    }
    if (s[i] >= 128) s[i] = ' ';
    --i;
    break;
  }
  // Below the blank or with the high bit set: c - ' ' wraps above 95.
  for (int k = 0; k <= i; ++k) {
    unsigned char c = s[k];
    s[k] = static_cast<unsigned char>(c - ' ') > 95 ? ' ' : c;
  }
}

// Reads the next piece into the lookahead and cleans it; with `locate`, the raw
// piece is first examined for a heading (so that leading control characters are
// seen). Returns the count read, or -1 when the stream has ended (lookahead empty).
int NextLine(FILE *f, bool locate) {
  int n = ReadPiece(f, g_raw.cur_line);
  if (n < 0) {
    g_raw.cur_line[0] = '\0';
    g_raw.have_line = false;
    return -1;
  }
  if (locate) SFC_chk_locate(g_raw.cur_line, &g_raw.origin);
  CleanPiece(g_raw.cur_line, n);
  g_raw.have_line = true;
  return n;
}

// ---- report text -------------------------------------------------------------------

// Appends `n` characters of `s` to the report text of length `len`, never beyond
// SFC_DATA_LEN.
void Append(char *data, int &len, const char *s, size_t n) {
  size_t room = static_cast<size_t>(SFC_DATA_LEN - len);
  if (n > room) n = room;
  std::memcpy(data + len, s, n);
  len += static_cast<int>(n);
  data[len] = '\0';
}

bool EndsWithEquals(const char *data, int len) {
  while (len > 0 && data[len - 1] == ' ') --len;
  return len > 0 && data[len - 1] == '=';
}

int NoReport(char *data, char *id, int *format, int *bulletin) {
  if (data) data[0] = '\0';
  if (id) id[0] = '\0';
  if (format) *format = SFC_FMT_NONE;
  if (bulletin) *bulletin = g_raw.origin;
  return SFC_RAW_NONE;
}

}  // namespace

// Headings are recognised by their first two words: a WMO abbreviated heading has
// a first word of exactly 6 characters and a second of exactly 4 ("SAUS70 KWBC
// 060000"); a feed marker line begins with "**". The day-hour-minute group after
// them gives the bulletin time; a heading without one keeps the earlier time.
int SFC_chk_locate(const char *data, int *bulletin) {
  if (!data || !*data) return 0;
  const char *p = data;
  const int len1 = WordLength(p);
  const int len2 = WordLength(p);

  if (data[0] == '\3' || data[0] == '\1') g_raw.pr_type = 0;

  if (len1 == 6 && len2 == 4) {
    if (bulletin) *bulletin = OriginOfHeading(data);
    ReadHour(data, 2);
    g_raw.pr_type = 0;
    return 1;
  }

  if (data[0] == '*' && data[1] == '*') {
    ReadHour(data + 2, 2);
    if (bulletin) {
      if (StartsWith(data, "** 215") || StartsWith(data, "** 216"))
        *bulletin = SFC_ORIGIN_CANADA;
      else if (StartsWith(data, "** 217"))
        *bulletin = SFC_ORIGIN_MEXICO;
      else if (StartsWith(data, "** "))
        *bulletin = OriginOfHeading(data + 3);
      // "**" not followed by a blank leaves the origin as it was.
    }
    g_raw.pr_type = 0;
    return 1;
  }
  return 1;
}

// A report starts with its identifier: "KDEN 121853Z ..." (a 4-character
// identifier and a time or wind group), "METAR KDEN ...", "METAR COR KDEN ...",
// "SPECI KDEN ...", "LWIS ...", "KDEN RMK ...", or an SA report "DEN SA 1850 ...".
// A line indented by two blanks is taken as a continuation even when it has the
// shape of a METAR start, but an indented SA start still starts a report.
int SFC_chk_type(const char *line, char *id, char *rep_type) {
  if (!line || !*line || !id || !rep_type) return SFC_LINE_END;
  int type = 0;
  bool good = false;

  Word w_id{id, 0};
  Word w_rep{rep_type, 0};
  id[0] = '\0';
  rep_type[0] = '\0';
  int n = ScanWords(line, 0, w_id, w_rep);
  MESS_print(kTraceClass, "LINE:%d:%s:%s:%s:\n", n, id, rep_type, line);

  if (n == 0) return SFC_LINE_END;
  if (n == 2 && id[0] == '*') return SFC_LINE_END;  // feed marker line
  if (n == 1) {
    // A lone "METAR" or "SPECI" announces the format of the reports after it.
    if (Is(w_id, "METAR")) g_raw.pr_type = SFC_FMT_METAR;
    if (Is(w_id, "SPECI")) g_raw.pr_type = SFC_FMT_SPECI;
    return SFC_LINE_TEXT;
  }

  // Prefix words: "METAR" or "SPECI" (each optionally followed by "COR"), "LWIS".
  int skip = 0;
  if (Is(w_id, "METAR")) {
    n = ScanWords(line, ++skip, w_id, w_rep);
    if (Is(w_id, "COR")) n = ScanWords(line, ++skip, w_id, w_rep);
    good = true;
    type = SFC_FMT_METAR;
  }
  if (Is(w_id, "SPECI")) {
    n = ScanWords(line, ++skip, w_id, w_rep);
    if (Is(w_id, "COR")) n = ScanWords(line, ++skip, w_id, w_rep);
    good = true;
    type = SFC_FMT_SPECI;
  }
  if (Is(w_id, "LWIS")) {
    n = ScanWords(line, ++skip, w_id, w_rep);
    good = true;
    type = SFC_FMT_METAR;
  }

  // A heading that slipped through.
  if ((w_id.len == 5 || w_id.len == 6) && (StartsWith(id, "SA") || StartsWith(id, "SP")) &&
      (w_rep.len == 4 || n == 1))
    return SFC_LINE_END;
  // A "METAR" line with the bulletin's date-time group ("METAR 060000Z"). Feeds
  // also write the group without its "Z" ("METAR 060000", also after "SPECI"),
  // which would otherwise come out as a report of station "060000".
  if (type == SFC_FMT_METAR && w_id.len == 7) return SFC_LINE_END;
  if ((type == SFC_FMT_METAR || type == SFC_FMT_SPECI) && IsDateTimeGroup(w_id))
    return SFC_LINE_END;

  if (w_id.len == 4 && Is(w_rep, "RMK")) {
    good = true;
    type = SFC_FMT_METAR;
  }

  if (w_id.len == 4 && w_rep.len > 3) {
    if (line[0] == ' ' && line[1] == ' ') return SFC_LINE_TEXT;
    if (Is(w_id, "PCPN") || Is(w_id, "TSNO")) return SFC_LINE_TEXT;
    good = IsAlpha(id[0]) && GroupShape(w_rep);
    if (good && type == 0) type = g_raw.pr_type == SFC_FMT_SPECI ? SFC_FMT_SPECI : SFC_FMT_METAR;
  }

  if (IsSaWord(w_rep) || (Is(w_rep, "COR") && !Is(w_id, "METAR"))) {
    if (type == 0) type = SFC_FMT_SA;
    if (Is(w_rep, "SP") || Is(w_rep, "USP")) type = SFC_FMT_SP;
    good = true;
  }

  return good ? type : SFC_LINE_TEXT;
}

// A report is its start line and up to four continuation lines (class 0), joined
// by single blanks and cut at SFC_DATA_LEN characters, with one blank after the
// last line when there is room. A text that already ends in "=" takes no further
// line: the "NNNN" end marker after a one-line report stays out of it. The last
// "=" of the text is replaced by a blank. The line that ended the report stays in
// the lookahead; when it starts a report, the next call returns that one.
int SFC_read_raw(FILE *ifile, char *data, char *id, int *format, int *bulletin) {
  if (!ifile || !data || !id || !format || !bulletin) return NoReport(data, id, format, bulletin);
  if (ifile != g_raw.stream) {
    SFC_raw_new_file();
    g_raw.stream = ifile;
  }

  // Find the start of a report, the lookahead line first.
  char word[SFC_RAW_WORD_SIZE];
  int cls = SFC_LINE_END;
  if (g_raw.have_line) {
    SFC_chk_locate(g_raw.cur_line, &g_raw.origin);
    cls = SFC_chk_type(g_raw.cur_line, id, word);
  }
  while (cls <= 0) {
    if (NextLine(ifile, true) < 0) return NoReport(data, id, format, bulletin);
    cls = SFC_chk_type(g_raw.cur_line, id, word);
  }

  int len = 0;
  data[0] = '\0';
  Append(data, len, g_raw.cur_line, std::strlen(g_raw.cur_line));

  // Continuation lines.
  int count = NextLine(ifile, false);
  for (int added = 0; count > 0 && added < SFC_RAW_MAX_CONT && !EndsWithEquals(data, len);
       ++added) {
    char scratch_id[SFC_RAW_WORD_SIZE];
    char scratch_word[SFC_RAW_WORD_SIZE];
    if (SFC_chk_type(g_raw.cur_line, scratch_id, scratch_word) != SFC_LINE_TEXT) break;
    Append(data, len, " ", 1);
    Append(data, len, g_raw.cur_line, std::strlen(g_raw.cur_line));
    count = NextLine(ifile, false);
  }
  Append(data, len, " ", 1);
  // The lines were cleaned as they were read, so the text holds no control or
  // high bytes.

#if defined(__GLIBC__)
  if (void *eq = memrchr(data, '=', static_cast<size_t>(len))) *static_cast<char *>(eq) = ' ';
#else
  for (int i = len - 1; i >= 0; --i)
    if (data[i] == '=') {
      data[i] = ' ';
      break;
    }
#endif

  *format = cls;
  int origin = g_raw.origin;
  if (origin == SFC_ORIGIN_OTHER && (cls == SFC_FMT_METAR || cls == SFC_FMT_SPECI))
    origin = OriginOfId(id);
  *bulletin = origin;

  return g_raw.have_line ? SFC_RAW_OK : SFC_RAW_LAST;
}

void SFC_raw_new_file() { ResetRaw(); }

int SFC_raw_eof() { return g_raw.exhausted && !g_raw.have_line ? 1 : 0; }

int SFC_get_prhour() { return g_raw.prhour; }

void SFC_raw_reset_state() { ResetRaw(); }

void SFC_set_prhour(int hhmm) { g_raw.prhour = hhmm; }

int SFC_get_pr_type() { return g_raw.pr_type; }
