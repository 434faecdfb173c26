// The reader of file name templates: the pieces of the shipped naming conventions
// and of odd templates (a lone "%", unknown keys, numbers, braces, a cut directive).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "files/template.h"

namespace {

using file_detail::Field;
using file_detail::Piece;
using file_detail::PieceKind;
using file_detail::TemplateReader;

// One piece written compactly: "t:x" literal x, "{" and "}" braces, "%Y" a directive
// with its field, "%3h" with a number, "%D=data_path" a directory, "%{raw}" a resource,
// "%!k" a key, "cut" a cut directive.
std::string Describe(const Piece &p) {
  switch (p.kind) {
    case PieceKind::Text: return std::string("t:") + p.c;
    case PieceKind::Open: return "{";
    case PieceKind::Close: return "}";
    case PieceKind::Cut: return p.has_n ? "cut" + std::to_string(p.n) : "cut";
    case PieceKind::End: return "end";
    case PieceKind::Directive: break;
  }
  std::string n = p.has_n ? std::to_string(p.n) : "";
  switch (p.field) {
    case Field::Directory: return "%" + n + p.c + "=" + std::string(p.resource);
    case Field::Resource: return "%" + n + "{" + std::string(p.resource) + "}";
    case Field::Key: return "%" + n + "!" + p.c;
    default: return "%" + n + p.c;
  }
}

// Every piece up to the one that stops the reader (included).
std::string Pieces(const std::string &tpl) {
  TemplateReader reader(tpl);
  std::string out;
  for (;;) {
    const Piece p = reader.next();
    out += (out.empty() ? "" : " ") + Describe(p);
    if (p.stops()) break;
  }
  return out;
}

struct PieceCase {
  const char *tpl;
  const char *pieces;
};

TEST(TemplateReader, PiecesTable) {
  const PieceCase cases[] = {
      {"", "end"},
      {"ab", "t:a t:b end"},
      {"%y%m%d%h", "%y %m %d %h end"},
      {"%Y%b%j%n%%%e", "%Y %b %j %n %% %e end"},
      {"%D/x", "%D=data_path t:/ t:x end"},
      {"%C%F%R%G%I%W%T%M%S",
       "%C=con_path %F=file_path %R=raw_path %G=grid_path %I=image_path %W=watch_path %T=text_path "
       "%M=model_path %S=sat_path end"},
      {"%i.txt", "%!i t:. t:t t:x t:t end"},
      {"%q%k%/%*", "%!q %!k %!/ %!* end"},  // any other character is a key
      {"%4i", "%4!i end"},
      {"%0h", "%h end"},  // a number of 0 is no number
      {"%007h", "%7h end"},
      {"%99999999999h", "%9999h end"},  // numbers are capped
      {"%{raw_path}/x", "%{raw_path} t:/ t:x end"},
      {"%{raw_path", "%{raw_path} end"},  // the name runs to the end
      {"%{}", "%{} end"},
      {"%2{x}", "%2{x} end"},
      {"{%D}/x", "{ %D=data_path } t:/ t:x end"},
      {"{}}{", "{ } } { end"},
      {"a b*", "t:a t:  t:b t:* end"},
      {"%", "cut"},           // a lone "%"
      {"%y%", "%y cut"},      // a "%" at the end
      {"x%12", "t:x cut12"},  // digits and nothing after them
      {"%%%", "%% cut"},
      {"%}", "%!} end"},
      {"%%y", "%% t:y end"},
  };
  for (const PieceCase &c : cases) {
    EXPECT_EQ(Pieces(c.tpl), c.pieces) << c.tpl;
  }
}

TEST(TemplateReader, ShippedConventionsHaveOnlyKnownPieces) {
  // Every template of share/name_conv: directory, date fields or the station key,
  // and literal text; none is cut.
  std::ifstream in(std::string(SOURCE_DIR) + "/share/name_conv");
  ASSERT_TRUE(in);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"%D/%y%m%d%h_sao.wmo", "%D=data_path t:/ %y %m %d %h t:_ t:s t:a t:o t:. t:w t:m t:o end"},
      {"%C/%y%m%d%h_sfc.cdf", "%C=con_path t:/ %y %m %d %h t:_ t:s t:f t:c t:. t:c t:d t:f end"},
      {"%C/%y%m%d%h.sfc", "%C=con_path t:/ %y %m %d %h t:. t:s t:f t:c end"},
      {"%T/%i.sfc", "%T=text_path t:/ %!i t:. t:s t:f t:c end"},
      {"%T/%y%m%d%h_map.svg", "%T=text_path t:/ %y %m %d %h t:_ t:m t:a t:p t:. t:s t:v t:g end"},
  };
  std::vector<std::string> templates;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name, tpl;
    fields >> name >> tpl;
    templates.push_back(tpl);
  }
  ASSERT_EQ(templates.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    EXPECT_EQ(templates[k], expected[k].first);
    EXPECT_EQ(Pieces(templates[k]), expected[k].second) << templates[k];
  }
}

TEST(TemplateReader, PositionsAndWidths) {
  const std::string tpl = "%D/%12y{%{raw}}";
  TemplateReader reader(tpl);
  const Piece dir = reader.next();
  EXPECT_EQ(dir.pos, 0u);
  EXPECT_EQ(dir.next, 2u);
  EXPECT_EQ(dir.width(), 0);
  EXPECT_TRUE(reader.skip('/'));
  EXPECT_FALSE(reader.skip('/'));  // only a literal at the reader's place is skipped
  const Piece year = reader.next();
  EXPECT_EQ(year.pos, 3u);
  EXPECT_EQ(year.next, 7u);
  EXPECT_EQ(year.n, 12);
  EXPECT_EQ(year.width(), 2);
  EXPECT_EQ(reader.next().kind, PieceKind::Open);
  const Piece res = reader.next();
  EXPECT_EQ(res.resource, "raw");
  EXPECT_EQ(res.next, 14u);
  EXPECT_EQ(reader.next().kind, PieceKind::Close);
  EXPECT_TRUE(reader.at_end());
  EXPECT_EQ(reader.next().kind, PieceKind::End);
  EXPECT_EQ(reader.next().kind, PieceKind::End);

  struct WidthCase {
    const char *tpl;
    int width;
  };
  const WidthCase widths[] = {{"%Y", 4}, {"%b", 3}, {"%j", 3}, {"%y", 2}, {"%m", 2}, {"%d", 2},
                              {"%h", 2}, {"%n", 2}, {"%e", 0}, {"%i", 0}, {"%%", 0}, {"x", 0}};
  for (const WidthCase &w : widths)
    EXPECT_EQ(file_detail::read_piece(w.tpl, 0).width(), w.width) << w.tpl;
}

TEST(TemplateReader, DirectivesOnly) {
  struct DirectiveCase {
    const char *tpl;
    const char *directives;
  };
  const DirectiveCase cases[] = {
      {"%D/%y%m%d%h_sao.wmo", "%D=data_path %y %m %d %h end"},
      {"{x}a b", "end"},
      {"x%{a}y%", "%{a} cut"},
      {"%%%i", "%% %!i end"},
  };
  for (const DirectiveCase &c : cases) {
    TemplateReader reader(c.tpl);
    std::string out;
    for (;;) {
      const Piece p = reader.next_directive();
      out += (out.empty() ? "" : " ") + Describe(p);
      if (p.stops()) break;
    }
    EXPECT_EQ(out, c.directives) << c.tpl;
  }
}

TEST(TemplateReader, NothingIsReadAfterACut) {
  TemplateReader reader("%5");
  const Piece cut = reader.next();
  EXPECT_EQ(cut.kind, PieceKind::Cut);
  EXPECT_EQ(cut.n, 5);
  EXPECT_TRUE(reader.at_end());
  EXPECT_EQ(reader.next().kind, PieceKind::End);
  // Reading from a position past the end gives the end.
  EXPECT_EQ(file_detail::read_piece("ab", 7).kind, PieceKind::End);
}

}  // namespace
