// A strict check that a text is a well-formed XML document in plain ASCII, for the
// tests and the fuzz target of the map writer: an optional XML declaration, then
// exactly one root element, with comments and blanks around it. Elements nest and
// close in order; names are XML names; attribute values are quoted, hold no '<' and
// are unique per element; '&' starts only the five named entities or a character
// reference; only tab, line feed, carriage return and the printable ASCII
// characters occur. Returns an empty text when the document is well formed, else
// what is wrong and where.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace xml_check {

inline bool name_start(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
}
inline bool name_char(char c) {
  return name_start(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

class Checker {
 public:
  explicit Checker(std::string_view doc) : d_(doc) {}

  std::string Run() {
    for (std::size_t i = 0; i < d_.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(d_[i]);
      if (!(c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c < 0x7f)))
        return Fail(i, "character outside printable ASCII");
    }
    if (d_.substr(0, 5) == "<?xml") {
      const std::size_t end = d_.find("?>");
      if (end == std::string_view::npos) return Fail(0, "unterminated XML declaration");
      p_ = end + 2;
    }
    bool root_seen = false;
    std::vector<std::string_view> open;
    while (p_ < d_.size()) {
      if (d_[p_] != '<') {
        if (open.empty()) {
          if (!Blank(d_[p_])) return Fail(p_, "text outside the root element");
          ++p_;
          continue;
        }
        if (std::string err = Text(); !err.empty()) return err;
        continue;
      }
      if (d_.substr(p_, 4) == "<!--") {
        const std::size_t end = d_.find("-->", p_ + 4);
        if (end == std::string_view::npos) return Fail(p_, "unterminated comment");
        if (d_.substr(p_ + 4, end - p_ - 4).find("--") != std::string_view::npos)
          return Fail(p_, "\"--\" inside a comment");
        p_ = end + 3;
        continue;
      }
      if (d_.substr(p_, 2) == "</") {
        p_ += 2;
        const std::string_view name = Name();
        if (name.empty()) return Fail(p_, "end tag without a name");
        SkipBlanks();
        if (p_ >= d_.size() || d_[p_] != '>') return Fail(p_, "end tag not closed");
        ++p_;
        if (open.empty() || open.back() != name) return Fail(p_, "end tag does not match");
        open.pop_back();
        continue;
      }
      ++p_;
      const std::string_view name = Name();
      if (name.empty()) return Fail(p_, "'<' without an element name");
      if (open.empty()) {
        if (root_seen) return Fail(p_, "a second root element");
        root_seen = true;
      }
      std::set<std::string_view> attrs;
      for (;;) {
        const std::size_t before = p_;
        SkipBlanks();
        if (p_ >= d_.size()) return Fail(p_, "start tag not closed");
        if (d_[p_] == '>') {
          ++p_;
          open.push_back(name);
          break;
        }
        if (d_.substr(p_, 2) == "/>") {
          p_ += 2;
          break;
        }
        if (p_ == before) return Fail(p_, "no blank before an attribute");
        const std::string_view attr = Name();
        if (attr.empty()) return Fail(p_, "bad attribute name");
        if (!attrs.insert(attr).second) return Fail(p_, "attribute repeated");
        SkipBlanks();
        if (p_ >= d_.size() || d_[p_] != '=') return Fail(p_, "attribute without '='");
        ++p_;
        SkipBlanks();
        if (p_ >= d_.size() || (d_[p_] != '"' && d_[p_] != '\''))
          return Fail(p_, "attribute value not quoted");
        const char quote = d_[p_++];
        while (p_ < d_.size() && d_[p_] != quote) {
          if (d_[p_] == '<') return Fail(p_, "'<' in an attribute value");
          if (d_[p_] == '&') {
            if (std::string err = Reference(); !err.empty()) return err;
          } else {
            ++p_;
          }
        }
        if (p_ >= d_.size()) return Fail(p_, "attribute value not closed");
        ++p_;
      }
    }
    if (!root_seen) return Fail(p_, "no root element");
    if (!open.empty()) return Fail(p_, "element not closed: " + std::string(open.back()));
    return {};
  }

 private:
  static bool Blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
  void SkipBlanks() {
    while (p_ < d_.size() && Blank(d_[p_])) ++p_;
  }
  std::string_view Name() {
    const std::size_t start = p_;
    if (p_ >= d_.size() || !name_start(d_[p_])) return {};
    while (p_ < d_.size() && name_char(d_[p_])) ++p_;
    return d_.substr(start, p_ - start);
  }
  std::string Text() {
    while (p_ < d_.size() && d_[p_] != '<') {
      if (d_[p_] == '&') {
        if (std::string err = Reference(); !err.empty()) return err;
      } else if (d_.substr(p_, 3) == "]]>") {
        return Fail(p_, "\"]]>\" in text");
      } else {
        ++p_;
      }
    }
    return {};
  }
  std::string Reference() {
    const std::size_t semi = d_.find(';', p_);
    if (semi == std::string_view::npos || semi - p_ > 10)
      return Fail(p_, "'&' without a reference");
    const std::string_view ref = d_.substr(p_ + 1, semi - p_ - 1);
    bool ok = ref == "amp" || ref == "lt" || ref == "gt" || ref == "quot" || ref == "apos";
    if (!ok && ref.size() >= 2 && ref[0] == '#') {
      const bool hex = ref[1] == 'x';
      std::string_view digits = ref.substr(hex ? 2 : 1);
      ok = !digits.empty();
      for (char c : digits)
        ok = ok && ((c >= '0' && c <= '9') ||
                    (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))));
    }
    if (!ok) return Fail(p_, "unknown reference &" + std::string(ref) + ";");
    p_ = semi + 1;
    return {};
  }
  std::string Fail(std::size_t at, const std::string &what) const {
    return what + " at byte " + std::to_string(at);
  }

  std::string_view d_;
  std::size_t p_ = 0;
};

/// Empty when `doc` is a well-formed ASCII XML document, else the first fault.
inline std::string Check(std::string_view doc) { return Checker(doc).Run(); }

}  // namespace xml_check
