// Strict readers of one CSV record (RFC 4180) and one flat JSON object, for the
// fuzz target of the printers and the unit tests of the CSV and JSON rows: they
// accept exactly what a conforming reader accepts and give the fields, so that
// a caller can check the count of columns and every value.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rows_check {

/// One field as read, and whether it was quoted.
struct Field {
  std::string text;
  bool quoted = false;
};

/// Reads `line` (without its line end) as one CSV record into `fields`: fields
/// separated by commas; a quoted field is enclosed in quotes with its quotes
/// doubled; an unquoted field holds no quote, comma, CR or LF. False when the
/// line is no such record.
inline bool ReadCsv(std::string_view line, std::vector<Field> &fields) {
  fields.clear();
  std::size_t i = 0;
  for (;;) {
    Field f;
    if (i < line.size() && line[i] == '"') {
      f.quoted = true;
      ++i;
      for (;;) {
        if (i >= line.size()) return false;  // no closing quote
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            f.text.push_back('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        f.text.push_back(line[i++]);
      }
    } else {
      while (i < line.size() && line[i] != ',') {
        const char c = line[i++];
        if (c == '"' || c == '\r' || c == '\n') return false;
        f.text.push_back(c);
      }
    }
    fields.push_back(std::move(f));
    if (i == line.size()) return true;
    if (line[i] != ',') return false;  // text after a closing quote
    ++i;
  }
}

/// One member of a flat JSON object: its key and its value, a string (unescaped),
/// a number, or null.
struct Member {
  std::string key;
  enum Kind { kString, kNumber, kNull } kind = kNull;
  std::string value;
};

namespace detail {

inline bool ReadString(std::string_view s, std::size_t &i, std::string &out) {
  if (i >= s.size() || s[i] != '"') return false;
  ++i;
  out.clear();
  while (i < s.size()) {
    const auto u = static_cast<unsigned char>(s[i]);
    if (u == '"') {
      ++i;
      return true;
    }
    if (u < 0x20 || u >= 0x80) return false;  // the rows are printable ASCII
    if (u == '\\') {
      if (++i >= s.size()) return false;
      switch (s[i]) {
        case '"': out.push_back('"'); break;
        case '\\': out.push_back('\\'); break;
        case '/': out.push_back('/'); break;
        case 'b': out.push_back('\b'); break;
        case 'f': out.push_back('\f'); break;
        case 'n': out.push_back('\n'); break;
        case 'r': out.push_back('\r'); break;
        case 't': out.push_back('\t'); break;
        default: return false;  // \u escapes are never written
      }
      ++i;
      continue;
    }
    out.push_back(s[i++]);
  }
  return false;
}

inline bool Digits(std::string_view s, std::size_t &i) {
  const std::size_t from = i;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
  return i > from;
}

// A JSON number: -? (0 | [1-9][0-9]*) (. [0-9]+)? ([eE] [+-]? [0-9]+)?
inline bool ReadNumber(std::string_view s, std::size_t &i, std::string &out) {
  const std::size_t from = i;
  if (i < s.size() && s[i] == '-') ++i;
  if (i < s.size() && s[i] == '0') {
    ++i;
  } else if (i < s.size() && s[i] >= '1' && s[i] <= '9') {
    Digits(s, i);
  } else {
    return false;
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    if (!Digits(s, i)) return false;
  }
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (!Digits(s, i)) return false;
  }
  out.assign(s.substr(from, i - from));
  return true;
}

}  // namespace detail

/// Reads `line` as one JSON object whose values are strings, numbers or null,
/// with no blanks, into `members`. False when it is no such object.
inline bool ReadJson(std::string_view line, std::vector<Member> &members) {
  members.clear();
  std::size_t i = 0;
  if (line.empty() || line[i++] != '{') return false;
  if (i < line.size() && line[i] == '}') return i + 1 == line.size();
  for (;;) {
    Member m;
    if (!detail::ReadString(line, i, m.key)) return false;
    if (i >= line.size() || line[i++] != ':') return false;
    if (i < line.size() && line[i] == '"') {
      m.kind = Member::kString;
      if (!detail::ReadString(line, i, m.value)) return false;
    } else if (line.substr(i, 4) == "null") {
      m.kind = Member::kNull;
      i += 4;
    } else {
      m.kind = Member::kNumber;
      if (!detail::ReadNumber(line, i, m.value)) return false;
    }
    members.push_back(std::move(m));
    if (i >= line.size()) return false;
    if (line[i] == '}') return i + 1 == line.size();
    if (line[i++] != ',') return false;
  }
}

}  // namespace rows_check
