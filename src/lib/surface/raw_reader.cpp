#include "surface/raw_reader.h"
#include "surface/raw_reader_testing.h"

#include <cstring>
#include <string.h>  // memrchr

#include "messages/messages.h"
#include "surface/metar.h"
#include "surface/sa.h"
#include "util/chars.h"
#include "util/util.h"

namespace {

using zyp::is_alpha;
using zyp::is_digit;
using zyp::is_space;

// Trace class of the line classifier: the highest bit of the debug group.
constexpr M_type kTraceClass = M_DEBUG & ~(M_DEBUG >> 1);
// Initial value of the announced format: neither "METAR" nor "SPECI".
constexpr int kPrTypeInitial = 1;

// Bytes read from the stream and not yet cut into lines.
constexpr size_t kBlockSize = size_t{64} * 1024;
// How far ahead the line ends of a product are looked at.
constexpr size_t kLookBytes = size_t{16} * 1024;
constexpr int kLookLines = 64;
// Empty lines in second places that make a product's line ends doubled.
constexpr int kDoubledMinPairs = 3;

// The reader's state: all of it belongs to the file being read.
struct RawState {
  // What is known of the file's reports.
  struct File {
    char cur_line[SFC_DATA_LEN + 1] = "";  // the lookahead line, cleaned once read
    int cur_len = 0;                       // its count as read (cleaning may only shorten it)
    bool have_line = false;         // cur_line holds a line of the file not yet part of a report
    bool exhausted = false;         // the stream has ended (end of file or read error)
    FILE *stream = nullptr;         // the stream the state belongs to
    int pr_type = kPrTypeInitial;   // SFC_FMT_METAR after a lone "METAR", SFC_FMT_SPECI after
                                    // a lone "SPECI", SFC_FMT_NONE after a heading
    int prhour = 0;                 // bulletin time HHMM from the last heading
    int origin = SFC_ORIGIN_OTHER;  // origin of the current bulletin (SFC_ORIGIN_*)
  } file;
  // The bytes read from the stream and not yet cut into lines.
  struct Buffer {
    char bytes[kBlockSize];  // not cleared between files: only [pos, end) is read
    size_t pos = 0;          // the next byte to cut
    size_t end = 0;          // the end of the bytes read
    bool at_eof = false;     // the stream has no more bytes
    bool started = false;    // the file's first lines have been looked at
    bool doubled = false;    // the current product has doubled line ends
  } buf;
};

RawState g_raw;

void ResetRaw() {
  g_raw.file = RawState::File{};
  RawState::Buffer &b = g_raw.buf;
  b.pos = b.end = 0;
  b.at_eof = b.started = b.doubled = false;
}

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
  while (is_space(*p)) ++p;
  while (*p && !is_space(*p)) ++p;
  return p;
}

// Reads the next word into `w`, keeping at most SFC_RAW_WORD_LEN characters of
// it; the rest of a longer word is passed over. Returns false, leaving `w` as it
// was, when no word is left.
bool ReadWord(const char *&p, Word &w) {
  while (is_space(*p)) ++p;
  if (!*p) return false;
  int n = 0;
  for (; *p && !is_space(*p); ++p)
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
  while (is_space(*p)) ++p;
  const char *start = p;
  while (*p && !is_space(*p)) ++p;
  return static_cast<int>(p - start);
}

// A decimal field of at most `width` characters after optional blanks: an
// optional sign and at least one digit.
bool ReadInt(const char *&p, int width, int *out) {
  while (is_space(*p)) ++p;
  const char *q = p;
  bool neg = false;
  if (*q == '+' || *q == '-') {
    neg = *q == '-';
    ++q;
    --width;
  }
  int value = 0;
  int digits = 0;
  for (; digits < width && is_digit(*q); ++digits, ++q) value = value * 10 + (*q - '0');
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
  if (ReadInt(p, 2, &day) && ReadInt(p, 4, &hhmm)) g_raw.file.prhour = hhmm;
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

// Words after an identifier that make a line an SA report (SP for "SP", "USP").
bool IsSaWord(const Word &w) {
  return Is(w, "SA") || Is(w, "RS") || Is(w, "SP") || Is(w, "USP") || Is(w, "SM") || Is(w, "NIL") ||
         Is(w, "NIL=") || Is(w, "AMOS");
}

// Whether the word after a 4-character identifier has the shape of a time or
// wind group (or is "METAR"/"AUTO"): its first four characters are digits, with
// an "E" or a "V" allowed first, an "R" second and a "B" third ("VRB05KT").
bool GroupShape(const Word &w) {
  if (Is(w, "METAR") || Is(w, "AUTO")) return true;
  const char *c = w.text;
  return (c[0] == 'E' || c[0] == 'V' || is_digit(c[0])) && (c[1] == 'R' || is_digit(c[1])) &&
         (c[2] == 'B' || is_digit(c[2])) && is_digit(c[3]);
}

// A recent-weather group of four letters ("RERA", "RESN", "RETS"): "RE" and one of
// the weather codes of a METAR. Continuation lines begin with them, and no station
// identifier has that shape.
bool IsRecentWeather(const Word &w) {
  static constexpr const char kCodes[][3] = {"MI", "BC", "DR", "BL", "TS", "SH", "FZ",
                                             "DZ", "RA", "SN", "SG", "GS", "PE", "PL",
                                             "IC", "FG", "BR", "HZ", "SA", "DU", "FU"};
  if (w.len != 4 || w.text[0] != 'R' || w.text[1] != 'E') return false;
  for (const char *code : kCodes)
    if (w.text[2] == code[0] && w.text[3] == code[1]) return true;
  return false;
}

// A day-hour-minute group of six digits, with or without its "Z".
bool IsDateTimeGroup(const Word &w) {
  if (w.len != 6 && !(w.len == 7 && w.text[6] == 'Z')) return false;
  for (int i = 0; i < 6; ++i)
    if (!is_digit(w.text[i])) return false;
  return true;
}

// ---- line reading ----------------------------------------------------------------
//
// The reader takes the stream in blocks and cuts physical lines itself, so that it
// can look ahead over a whole product. A line ends at a line feed, at a run of
// carriage returns followed by a line feed (CR LF, CR CR LF), or at a lone carriage
// return (files written with CR line ends). Of a line the reader keeps the first
// SFC_DATA_LEN bytes, enough for any report text; the rest of a longer line is
// passed over, so one physical line is always one line to the classifiers.
//
// Feeds and archive tools also double the line ends (LF LF, CR LF CR LF): every
// line is then followed by an empty one, and an empty line that would end a report
// is only the second half of a line end. Whether a product is written that way is
// decided when it starts (at a line with the start-of-heading byte, and at the
// start of the file): the lines after it are looked at, and when every second one
// is empty the product reads with single line ends, an empty line after each line
// being dropped. A real empty line of such a product (two or more in a row) still
// ends a report.

bool IsLineEndByte(char c) { return c == '\n' || c == '\r'; }

// Length of the line end that starts at buf[i] (a '\n' or '\r'), or 0 when the block
// ends before the end can be told apart (a run of CRs at its end: more may follow).
size_t LineEndLength(const char *buf, size_t i, size_t end, bool at_eof) {
  if (buf[i] == '\n') return 1;
  size_t j = i;
  while (j < end && buf[j] == '\r') ++j;
  if (j < end) return buf[j] == '\n' ? j - i + 1 : 1;
  return at_eof ? 1 : 0;
}

// Moves the unread bytes to the front of the block and fills the rest from the
// stream. Returns false when nothing could be added.
bool Refill(FILE *f) {
  RawState::Buffer &b = g_raw.buf;
  if (b.at_eof) return false;
  if (b.pos > 0) {
    std::memmove(b.bytes, b.bytes + b.pos, b.end - b.pos);
    b.end -= b.pos;
    b.pos = 0;
  }
  if (b.end == kBlockSize) return false;
  size_t n = std::fread(b.bytes + b.end, 1, kBlockSize - b.end, f);
  b.end += n;
  if (n == 0) b.at_eof = true;
  return n > 0;
}

// Finds the line that starts at the reading position: `*len` is its length and the
// result the length of its line end, 0 when the line has none (the last line of the
// stream, or a line that fills the whole block and goes on), -1 when the stream has
// no byte left.
long FindLine(FILE *f, size_t *len) {
  RawState::Buffer &b = g_raw.buf;
  size_t scanned = 0;  // bytes of the line known to hold no line end
  for (;;) {
    const char *from = b.bytes + b.pos + scanned;
    const size_t left = b.end - b.pos - scanned;
    const char *lf = static_cast<const char *>(std::memchr(from, '\n', left));
    const size_t upto = lf ? static_cast<size_t>(lf - from) : left;
    const char *cr = static_cast<const char *>(std::memchr(from, '\r', upto));
    const char *stop = cr ? cr : lf;
    size_t i = stop ? static_cast<size_t>(stop - b.bytes) : b.end;
    if (stop) {
      size_t e = LineEndLength(b.bytes, i, b.end, b.at_eof);
      if (e > 0) {
        *len = i - b.pos;
        return static_cast<long>(e);
      }
    }
    scanned = i - b.pos;
    if (!Refill(f)) {
      // Nothing more could be read: the stream ended, or the block is full.
      if (b.end == b.pos) return -1;
      *len = scanned;
      return scanned < b.end - b.pos ? 1 : 0;  // a carriage return at the very end
    }
  }
}

// Whether the reading position is at an empty line (a line end comes first).
bool AtEmptyLine(FILE *f) {
  size_t len = 0;
  return FindLine(f, &len) > 0 && len == 0;
}

// Passes over the line end of an empty line at the reading position.
void SkipEmptyLine(FILE *f) {
  size_t len = 0;
  long e = FindLine(f, &len);
  if (e > 0 && len == 0) g_raw.buf.pos += static_cast<size_t>(e);
}

// Whether a raw line opens a product: a start-of-heading byte before its text.
bool OpensProduct(const char *s, size_t len) {
  for (size_t i = 0; i < len && static_cast<unsigned char>(s[i]) < ' '; ++i)
    if (s[i] == '\1') return true;
  return false;
}

// Looks at the lines after the reading position, up to the next product or a limit,
// and decides whether their line ends are doubled: every second line is empty (the
// first one too unless `first_is_text`), kDoubledMinPairs of them at least, and
// some line between them is not.
bool LinesAreDoubled(FILE *f, bool first_is_text) {
  RawState::Buffer &b = g_raw.buf;
  if (b.end - b.pos < kLookBytes) Refill(f);
  size_t i = b.pos;
  int pairs = 0;
  bool text = false;
  for (int line = first_is_text ? 0 : 1; line < kLookLines && i < b.end; ++line) {
    size_t start = i;
    while (i < b.end && !IsLineEndByte(b.bytes[i])) ++i;
    if (i >= b.end) break;  // the window ends inside a line
    size_t e = LineEndLength(b.bytes, i, b.end, b.at_eof);
    if (e == 0) break;
    size_t len = i - start;
    i += e;
    if (line % 2 == 0) {
      if (len > 0) {
        if (line > 0 && OpensProduct(b.bytes + start, len)) break;  // the next product decides
        text = true;
      }
    } else {
      if (len > 0) return false;
      ++pairs;
    }
  }
  return text && pairs >= kDoubledMinPairs;
}

// Reads the next physical line into `s` (SFC_DATA_LEN bytes kept, NUL-terminated)
// and returns the count kept, or -1 when the stream has ended. In a product with
// doubled line ends the empty line after it is passed over.
int ReadLine(FILE *f, char *s) {
  RawState::Buffer &b = g_raw.buf;
  if (!b.started) {
    b.started = true;
    b.doubled = LinesAreDoubled(f, true);
  }
  size_t len = 0;
  long e = FindLine(f, &len);
  if (e < 0) {
    s[0] = '\0';
    return -1;
  }
  size_t keep = len < static_cast<size_t>(SFC_DATA_LEN) ? len : SFC_DATA_LEN;
  std::memcpy(s, b.bytes + b.pos, keep);
  s[keep] = '\0';
  bool opens = OpensProduct(b.bytes + b.pos, len);
  b.pos += len + static_cast<size_t>(e);
  // A line without its end goes on past the block: pass over the rest of it.
  while (e == 0) {
    e = FindLine(f, &len);
    if (e < 0) break;
    b.pos += len + static_cast<size_t>(e);
  }
  if (opens) b.doubled = LinesAreDoubled(f, false);
  if (b.doubled && AtEmptyLine(f)) SkipEmptyLine(f);
  return static_cast<int>(keep);
}

// Cleans a line of `n` bytes in place (it may hold NUL bytes).
void CleanLine(char *line, int n) {
  clean_line_n(reinterpret_cast<unsigned char *>(line), n > 0 ? static_cast<size_t>(n) : 0);
}

// The classifiers see the first SFC_RAW_LINE_LEN characters of a line.
class FirstPiece {
 public:
  // `n` is at least the length of the line (the count read before cleaning).
  FirstPiece(char *line, int n) {
    if (n > SFC_RAW_LINE_LEN) {
      cut_ = line + SFC_RAW_LINE_LEN;
      saved_ = *cut_;
      *cut_ = '\0';
    }
  }
  ~FirstPiece() {
    if (cut_) *cut_ = saved_;
  }
  FirstPiece(const FirstPiece &) = delete;
  FirstPiece &operator=(const FirstPiece &) = delete;

 private:
  char *cut_ = nullptr;
  char saved_ = 0;
};

// Reads the next line into the lookahead and cleans it; with `locate`, the raw line
// is first examined for a heading (so that leading control characters are seen).
// Returns the count read, or -1 when the stream has ended (lookahead empty).
int NextLine(FILE *f, bool locate) {
  int n = ReadLine(f, g_raw.file.cur_line);
  if (n < 0) {
    g_raw.file.cur_line[0] = '\0';
    g_raw.file.cur_len = 0;
    g_raw.file.have_line = false;
    g_raw.file.exhausted = true;
    return -1;
  }
  g_raw.file.cur_len = n;
  if (locate) {
    FirstPiece piece(g_raw.file.cur_line, n);
    SFC_chk_locate(g_raw.file.cur_line, &g_raw.file.origin);
  }
  CleanLine(g_raw.file.cur_line, n);
  g_raw.file.have_line = true;
  return n;
}

// Classifies the lookahead line by its first piece.
int ClassifyLookahead(char *id, char *word) {
  FirstPiece piece(g_raw.file.cur_line, g_raw.file.cur_len);
  return SFC_chk_type(g_raw.file.cur_line, id, word);
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
  if (bulletin) *bulletin = g_raw.file.origin;
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

  if (data[0] == '\3' || data[0] == '\1') g_raw.file.pr_type = SFC_FMT_NONE;

  if (len1 == 6 && len2 == 4) {
    if (bulletin) *bulletin = OriginOfHeading(data);
    ReadHour(data, 2);
    g_raw.file.pr_type = SFC_FMT_NONE;
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
    g_raw.file.pr_type = SFC_FMT_NONE;
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
  int type = SFC_FMT_NONE;
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
    if (Is(w_id, "METAR")) g_raw.file.pr_type = SFC_FMT_METAR;
    if (Is(w_id, "SPECI")) g_raw.file.pr_type = SFC_FMT_SPECI;
    return SFC_LINE_TEXT;
  }

  // Prefix words: "METAR" or "SPECI" (each optionally followed by "COR"), "LWIS".
  // Trend-forecast reports put "TTF" before the keyword ("TTF METAR YPAD ...").
  int skip = 0;
  if (Is(w_id, "TTF") && (Is(w_rep, "METAR") || Is(w_rep, "SPECI")))
    n = ScanWords(line, ++skip, w_id, w_rep);
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

  if (IsRecentWeather(w_id)) return SFC_LINE_TEXT;

  if (w_id.len == 4 && Is(w_rep, "RMK")) {
    good = true;
    type = SFC_FMT_METAR;
  }

  if (w_id.len == 4 && w_rep.len > 3) {
    if (line[0] == ' ' && line[1] == ' ') return SFC_LINE_TEXT;
    if (Is(w_id, "PCPN") || Is(w_id, "TSNO")) return SFC_LINE_TEXT;
    good = is_alpha(id[0]) && GroupShape(w_rep);
    if (good && type == SFC_FMT_NONE)
      type = g_raw.file.pr_type == SFC_FMT_SPECI ? SFC_FMT_SPECI : SFC_FMT_METAR;
  }

  if (IsSaWord(w_rep) || (Is(w_rep, "COR") && !Is(w_id, "METAR"))) {
    if (type == SFC_FMT_NONE) type = SFC_FMT_SA;
    if (Is(w_rep, "SP") || Is(w_rep, "USP")) type = SFC_FMT_SP;
    good = true;
  }

  return good ? type : SFC_LINE_TEXT;
}

// A report is its start line and up to four continuation lines (class 0, or an
// indented line of any start class while the text has no final "="), joined
// by single blanks and cut at SFC_DATA_LEN characters, with one blank after the
// last line when there is room. A text that already ends in "=" takes no further
// line: the "NNNN" end marker after a one-line report stays out of it. The last
// "=" of the text is replaced by a blank. The line that ended the report stays in
// the lookahead; when it starts a report, the next call returns that one.
int SFC_read_raw(FILE *ifile, char *data, char *id, int *format, int *bulletin) {
  if (!ifile || !data || !id || !format || !bulletin) return NoReport(data, id, format, bulletin);
  if (ifile != g_raw.file.stream) {
    SFC_raw_new_file();
    g_raw.file.stream = ifile;
  }

  // Find the start of a report, the lookahead line first.
  char word[SFC_RAW_WORD_SIZE];
  int cls = SFC_LINE_END;
  if (g_raw.file.have_line) {
    {
      FirstPiece piece(g_raw.file.cur_line, g_raw.file.cur_len);
      SFC_chk_locate(g_raw.file.cur_line, &g_raw.file.origin);
    }
    cls = ClassifyLookahead(id, word);
  }
  while (cls <= 0) {
    if (NextLine(ifile, true) < 0) return NoReport(data, id, format, bulletin);
    cls = ClassifyLookahead(id, word);
  }

  int len = 0;
  data[0] = '\0';
  Append(data, len, g_raw.file.cur_line, std::strlen(g_raw.file.cur_line));

  // Continuation lines.
  int count = NextLine(ifile, false);
  for (int added = 0; count > 0 && added < SFC_RAW_MAX_CONT && !EndsWithEquals(data, len);
       ++added) {
    char scratch_id[SFC_RAW_WORD_SIZE];
    char scratch_word[SFC_RAW_WORD_SIZE];
    // An indented line continues a report that has not ended with "=", even when
    // it looks like a report start (" VAL NIL VIS MIN 9999=" after LIBQ's remarks).
    const int next = ClassifyLookahead(scratch_id, scratch_word);
    if (next != SFC_LINE_TEXT && !(next > 0 && g_raw.file.cur_line[0] == ' ')) break;
    Append(data, len, " ", 1);
    Append(data, len, g_raw.file.cur_line, std::strlen(g_raw.file.cur_line));
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
  int origin = g_raw.file.origin;
  if (origin == SFC_ORIGIN_OTHER && (cls == SFC_FMT_METAR || cls == SFC_FMT_SPECI))
    origin = SFC_raw_origin_of_id(id);
  *bulletin = origin;

  return g_raw.file.have_line ? SFC_RAW_OK : SFC_RAW_LAST;
}

int SFC_tidy_report(const char *text, size_t n, char *data) {
  if (!data) return 0;
  data[0] = '\0';
  if (!text) return 0;
  char line[SFC_DATA_LEN + 1];
  const size_t keep = n < static_cast<size_t>(SFC_DATA_LEN) ? n : SFC_DATA_LEN;
  std::memcpy(line, text, keep);
  line[keep] = '\0';
  CleanLine(line, static_cast<int>(keep));
  int len = 0;
  Append(data, len, line, std::strlen(line));
  Append(data, len, " ", 1);
  if (char *eq = std::strrchr(data, '=')) *eq = ' ';
  return len;
}

// Alaska, Hawaii and the Pacific islands (PA, PH, PG, PK, PT) and Puerto Rico
// and the Virgin Islands (TJ, TI) report with the United States.
int SFC_raw_origin_of_id(const char *id) {
  if (!id) return SFC_ORIGIN_OTHER;
  static constexpr const char kUs[][3] = {"PA", "PH", "PG", "PK", "PT", "TJ", "TI"};
  if (id[0] == 'K') return SFC_ORIGIN_US;
  for (const char *pre : kUs)
    if (id[0] == pre[0] && id[1] == pre[1]) return SFC_ORIGIN_US;  // id[1] exists: id[0] is no NUL
  if (id[0] == 'C') return SFC_ORIGIN_CANADA;
  return SFC_ORIGIN_OTHER;
}

void SFC_decode_raw(const data_struct &rep, SFC_report *report) {
  if (!report) return;
  SFC_initialize(report);
  std::snprintf(report->area, sizeof report->area, "UN");
  if (rep.format == SFC_FMT_SA || rep.format == SFC_FMT_SP)
    SFC_decode_SA(rep.data, rep.format, rep.bulletin, report);
  else if (rep.format == SFC_FMT_METAR || rep.format == SFC_FMT_SPECI)
    SFC_decode_METAR(rep.data, rep.format, rep.bulletin, report);
}

void SFC_raw_new_file() { ResetRaw(); }

int SFC_raw_eof() { return g_raw.file.exhausted && !g_raw.file.have_line ? 1 : 0; }

int SFC_get_prhour() { return g_raw.file.prhour; }

void SFC_raw_reset_state() { ResetRaw(); }

void SFC_set_prhour(int hhmm) { g_raw.file.prhour = hhmm; }

int SFC_get_pr_type() { return g_raw.file.pr_type; }
