#include <gtest/gtest.h>

#include "cp1252.h"

using namespace telvarim;
using namespace telvarim::literais;

TEST(Cp1252, EveryByteSurvivesUtf8AndUtf16RoundTrips) {
  std::string todos;
  for (int i = 0; i < 256; ++i) todos.push_back(static_cast<char>(i));
  EXPECT_EQ(Utf8ParaCp1252(Cp1252ParaUtf8(todos)), todos);
  EXPECT_EQ(Utf16ParaCp1252(Cp1252ParaUtf16(todos)), todos);
}

TEST(Cp1252, ConvertsTheWindowsRangeAndReplacesWhatItCannotHold) {
  EXPECT_EQ(Utf8ParaCp1252("€ São Paulo – “ok”"), "\x80 S\xE3o Paulo \x96 \x93ok\x94");
  EXPECT_EQ(Cp1252ParaUtf8("\x80\x8A\xE7"), "€Šç");
  EXPECT_EQ(Utf8ParaCp1252("日本"), "??");
  EXPECT_EQ(Utf8ParaCp1252("a\xC3"), "a?");          // sequence cut off at the end
  EXPECT_EQ(Utf8ParaCp1252("\x80x"), "?x");          // stray continuation byte
  EXPECT_EQ(Utf16ParaCp1252(u"\U0001F600a"), "?a");  // astral character
}

TEST(Cp1252, UpperCaseFollowsTheCodePage) {
  struct Caso {
    const char* entrada;
    const char* esperado;
  } casos[] = {
      {"álvaro", "ÁLVARO"},     {"joão çé", "JOÃO ÇÉ"}, {"ÿšžœ", "ŸŠŽŒ"},
      {"straße µ", "STRAßE µ"}, {"÷×", "÷×"},           {"abc-123", "ABC-123"},
  };
  for (const auto& c : casos)
    EXPECT_EQ(MaiusculasCp1252(Utf8ParaCp1252(c.entrada)), Utf8ParaCp1252(c.esperado)) << c.entrada;
}

TEST(Cp1252, BytesCompareUnsignedAndPrefixFirst) {
  EXPECT_GT(ComparaBytes("ÁLVARO"_cp, "ZULMIRA"), 0);  // accented capitals lie above Z
  EXPECT_LT(ComparaBytes("12", "120"), 0);
  EXPECT_EQ(ComparaBytes("abc", "abc"), 0);
  EXPECT_LT(ComparaBytes("", "a"), 0);
}

TEST(Cp1252, FieldsByColumnAndTrimming) {
  std::string_view linha = "01ABCDE";
  EXPECT_EQ(Campo(linha, 1, 2), "01");
  EXPECT_EQ(Campo(linha, 6, 10), "DE");  // cut at the end of the line
  EXPECT_EQ(Campo(linha, 8, 9), "");     // past the end
  EXPECT_EQ(Trim(" \t x y \r\n"), "x y");
  EXPECT_EQ(TrimRight("  a  "), "  a");
  EXPECT_EQ(TrimLeft("  a  "), "a  ");
}
