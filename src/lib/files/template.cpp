// The reader of file name templates: one piece (a literal character, a brace or a
// "%" directive) at a time.
#include "files/template.h"

#include "util/chars.h"

namespace file_detail {

namespace {

// What the character of a directive stands for.
Field field_of(char c) {
  switch (c) {
    case '%': return Field::Percent;
    case 'Y': return Field::Year;
    case 'y': return Field::Year2;
    case 'm': return Field::Month;
    case 'b': return Field::MonthName;
    case 'd': return Field::Day;
    case 'j': return Field::DayOfYear;
    case 'h': return Field::Hour;
    case 'n': return Field::Minute;
    case 'e': return Field::Ext;
    case '{': return Field::Resource;
    default: return path_resource(c) ? Field::Directory : Field::Key;
  }
}

}  // namespace

int Piece::width() const {
  switch (field) {
    case Field::Year: return 4;
    case Field::MonthName:
    case Field::DayOfYear: return 3;
    case Field::Year2:
    case Field::Month:
    case Field::Day:
    case Field::Hour:
    case Field::Minute: return 2;
    default: return 0;
  }
}

const char *path_resource(char c) {
  switch (c) {
    case 'C': return "con_path";
    case 'D': return "data_path";
    case 'F': return "file_path";
    case 'R': return "raw_path";
    case 'G': return "grid_path";
    case 'I': return "image_path";
    case 'W': return "watch_path";
    case 'T': return "text_path";
    case 'M': return "model_path";
    case 'S': return "sat_path";
    default: return nullptr;
  }
}

Piece read_piece(std::string_view tpl, std::size_t pos) {
  Piece p;
  p.pos = pos;
  if (pos >= tpl.size()) {
    p.next = tpl.size();
    return p;  // End
  }
  const char c = tpl[pos];
  if (c != '%') {
    p.kind = c == '{' ? PieceKind::Open : c == '}' ? PieceKind::Close : PieceKind::Text;
    p.c = c;
    p.next = pos + 1;
    return p;
  }
  std::size_t j = pos + 1;
  long long n = 0;
  bool digits = false;
  while (j < tpl.size() && zyp::is_digit(tpl[j])) {
    if (n < DIRECTIVE_NUM_MAX) n = n * 10 + (tpl[j] - '0');
    digits = true;
    ++j;
  }
  if (n > DIRECTIVE_NUM_MAX) n = DIRECTIVE_NUM_MAX;
  // A number of 0 means nothing; it counts as no number.
  if (digits && n > 0) {
    p.n = static_cast<int>(n);
    p.has_n = true;
  }
  if (j >= tpl.size()) {
    p.kind = PieceKind::Cut;
    p.next = tpl.size();
    return p;
  }
  p.kind = PieceKind::Directive;
  p.c = tpl[j++];
  p.field = field_of(p.c);
  if (p.field == Field::Resource) {
    std::size_t close = tpl.find('}', j);
    if (close == std::string_view::npos) close = tpl.size();
    p.resource = tpl.substr(j, close - j);
    j = close < tpl.size() ? close + 1 : close;
  } else if (p.field == Field::Directory) {
    p.resource = path_resource(p.c);
  }
  p.next = j;
  return p;
}

Piece TemplateReader::next() {
  Piece p = read_piece(tpl_, pos_);
  // Nothing is read after a cut directive.
  pos_ = p.kind == PieceKind::Cut ? tpl_.size() : p.next;
  return p;
}

Piece TemplateReader::next_directive() {
  const std::size_t at = tpl_.find('%', pos_);
  pos_ = at == std::string_view::npos ? tpl_.size() : at;
  return next();
}

bool TemplateReader::skip(char c) {
  if (pos_ >= tpl_.size() || tpl_[pos_] != c) return false;
  ++pos_;
  return true;
}

}  // namespace file_detail
