// The grammar of file name templates, read one piece at a time. Expanding a template
// for a date, listing the files that fit it, reading a typed name against it and
// working out its file period all walk a template with this reader.
//
//   template  = { piece }
//   piece     = "{" | "}" | directive | character
//   directive = "%" [ digits ] ( "{" name [ "}" ] | character )
//
// The character of a directive says what it stands for: "%" a percent sign; "Y" "y"
// "m" "b" "d" "j" "h" "n" year, two-digit year, month, month name, day, day of year,
// hour, minute; "e" the extension of a partly matched convention name; "C" "D" "F"
// "R" "G" "I" "W" "T" "M" "S" the directory of a path resource; "{name}" the value of
// resource "name" (the name runs to the next "}" or to the end); any other character
// the value of the key of that character. The number is at most DIRECTIVE_NUM_MAX; a
// number of 0 counts as no number. A "%" (with its digits) that ends the template is
// cut: readers stop there. Every other character, "*" included, is literal text.
// Not part of the module's interface.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace file_detail {

/// Largest directive number taken from a template.
constexpr int DIRECTIVE_NUM_MAX = 9999;

/// The kinds of pieces of a template.
enum class PieceKind : unsigned char {
  Text,       ///< one literal character
  Open,       ///< "{": dropped from names; opens a part the user does not type
  Close,      ///< "}": closes that part
  Directive,  ///< "%" [number] character, or "%{name}"
  Cut,        ///< a "%" (and digits) that ends the template
  End,        ///< nothing left to read
};

/// What a directive stands for.
enum class Field : unsigned char {
  None,       ///< not a directive
  Percent,    ///< "%%": a percent sign
  Year,       ///< "%Y": four-digit year
  Year2,      ///< "%y": two-digit year
  Month,      ///< "%m": two-digit month
  MonthName,  ///< "%b": three-letter month name
  Day,        ///< "%d": two-digit day
  DayOfYear,  ///< "%j": three-digit day of year
  Hour,       ///< "%h": two-digit hour
  Minute,     ///< "%n": two-digit minute
  Ext,        ///< "%e": the extension of a partly matched convention name
  Directory,  ///< "%D", "%C", ...: the directory of a path resource
  Resource,   ///< "%{name}": the value of resource "name"
  Key,        ///< "%k" for any other k: the value of key k
};

/// One piece of a template.
struct Piece {
  PieceKind kind = PieceKind::End;  ///< what the piece is
  char c = '\0';  ///< Text: the character; Open, Close: the brace; Directive: its character
  Field field = Field::None;  ///< Directive: what it stands for
  int n = 1;                  ///< Directive: its number, 1 when none is given (or 0 is given)
  bool has_n = false;         ///< Directive: a number was given
  std::string resource;       ///< Directory: the path resource; Resource: the name in braces
  std::size_t pos = 0;        ///< template position where the piece starts
  std::size_t next = 0;       ///< template position after the piece

  /// True for Cut and End: a reader of the template stops here.
  bool stops() const { return kind == PieceKind::Cut || kind == PieceKind::End; }
  /// A literal character as it appears in a file name: a blank becomes "_".
  char name_char() const { return c == ' ' ? '_' : c; }
  /// The characters a date field takes in a file name (Y 4; b, j 3; y, m, d, h, n 2);
  /// 0 for any other piece.
  int width() const;
};

/// The directory resource of a path directive character, or null when `c` is none.
const char *path_resource(char c);

/// Reads the piece of `tpl` that starts at `pos` (End when `pos` is past its end).
Piece read_piece(std::string_view tpl, std::size_t pos);

/// Walks a template piece by piece. The template must outlive the reader.
class TemplateReader {
 public:
  /// A reader at the start of `tpl`.
  explicit TemplateReader(std::string_view tpl) : tpl_(tpl) {}
  /// The next piece; End once the template is used up, and after a Cut.
  Piece next();
  /// The next directive, passing over literal text and braces; Cut or End when no
  /// directive is left.
  Piece next_directive();
  /// Skips the next character when it is the literal `c` (a "/" after a directory that
  /// ends with one). True when it was skipped.
  bool skip(char c);
  /// The position of the next piece.
  std::size_t pos() const { return pos_; }
  /// True when nothing is left to read.
  bool at_end() const { return pos_ >= tpl_.size(); }

 private:
  std::string_view tpl_;
  std::size_t pos_ = 0;
};

}  // namespace file_detail
