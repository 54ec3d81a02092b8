#include <gtest/gtest.h>

#include "cp1252.h"
#include "numbers.h"

using namespace telvarim;

TEST(Numbers, PatternsRoundHalfAwayAndGroupInThrees) {
  struct Caso {
    double v;
    const char* padrao;
    const char* esperado;
  } casos[] = {
      {12.5, "##0.00", "12,50"},
      {12.34, "##0.00", "12,34"},
      {600, "###,##0.00", "600,00"},
      {1234.56, "###,##0.00", "1.234,56"},
      {1234567.891, "###,####,##0.00", "1.234.567,89"},
      {1234, "#,##0.00", "1.234,00"},
      {123456789, "##,###,###", "123.456.789"},
      {999, "##,###,###", "999"},
      {0.125, "##0.00", "0,13"},  // exact tie in binary
      {2.675, "0.00", "2,68"},    // 2.67499999... in binary, a tie at 15 digits
      {1.005, "##0.00", "1,01"},
      {12.5, "##0", "13"},
      {-12.5, "##0", "-13"},
      {-3.5, "##0.00", "-3,50"},
      {-0.001, "##0.00", "0,00"},  // rounds to zero: no sign
      {0, "##0.00", "0,00"},
      {0, "###,##0", "0"},
      {99.995, "##0.00", "100,00"},
      {5, "000", "005"},
      {7, "00", "07"},
      {1234, "000", "1234"},  // never cut
      {23, "###,####,##0", "23"},
      {2.3, "###,##0.00", "2,30"},
      {1e15, "###,##0", "1.000.000.000.000.000"},
  };
  for (const auto& c : casos) EXPECT_EQ(FormataPadrao(c.v, c.padrao), c.esperado) << c.v << " " << c.padrao;
}

TEST(Numbers, CurrencyFormatsExactDecimals) {
  EXPECT_EQ(FormataMoeda(1250, "##0.00"), "0,13");  // 0,125 exactly: half away from zero
  EXPECT_EQ(FormataMoeda(-1250, "##0.00"), "-0,13");
  EXPECT_EQ(FormataMoeda(6000000, "###,##0.00"), "600,00");
  EXPECT_EQ(FormataMoeda(125000, "##0"), "13");
  EXPECT_EQ(FormataInteiro(12345678, "##,###,###"), "12.345.678");
  EXPECT_EQ(FormataInteiro(5, "00000000000"), "00000000005");
}

TEST(Numbers, DoubleToCurrencyRoundsToNearest) {
  EXPECT_EQ(MoedaDeDouble(12.5), 125000);
  EXPECT_EQ(MoedaDeDouble(12.34), 123400);
  EXPECT_EQ(MoedaDeDouble(-3.5), -35000);
  EXPECT_EQ(MoedaDeDouble(0.00005), 0);  // 0.5 ten-thousandths: ties to even
  EXPECT_EQ(MoedaDeDouble(1.23456), 12346);
  EXPECT_THROW(MoedaDeDouble(1e300), ErroConversao);
}

TEST(Numbers, CurrencyTextUsesTheComma) {
  struct Caso {
    const char* texto;
    std::optional<Moeda> esperado;
  } casos[] = {
      {"12,50", 125000},
      {" 12,5 ", 125000},
      {"600", 6000000},
      {"600,01", 6000100},
      {"-3,50", -35000},
      {",5", 5000},
      {"7,", 70000},
      {"1E2", 1000000},
      {"0,00005", 0},
      {"0,00015", 2},
      {"0,00025", 2},
      {"-0,00015", -2},
      {"1.234,56", {}},
      {"12.50", {}},
      {"abc", {}},
      {"", {}},
      {"-", {}},
      {"1,2,3", {}},
      {"12 5", {}},
      {"99999999999999999999", {}},
      {"922337203685477,5807", 9223372036854775807LL},
  };
  for (const auto& c : casos) EXPECT_EQ(LeMoeda(c.texto), c.esperado) << c.texto;
  EXPECT_THROW(TextoParaMoeda("x"), ErroConversao);
  EXPECT_DOUBLE_EQ(*LeDouble("50,5"), 50.5);
  EXPECT_FALSE(LeDouble("50.5"));
}

TEST(Numbers, LeadingNumericPartUsesTheFullStop) {
  struct Caso {
    const char* texto;
    double esperado;
  } casos[] = {
      {"-2,50", -2}, {"1.234,56", 1.234}, {"", 0},  {"abc", 0},  {"-3.5", -3.5},
      {"  12x", 12}, {"+5", 5},           {"-", 0}, {".5", 0.5}, {"0,00", 0},
  };
  for (const auto& c : casos) EXPECT_DOUBLE_EQ(LeParteNumerica(c.texto), c.esperado) << c.texto;
}

TEST(Numbers, IntegersAreStrictAndThirtyTwoBit) {
  EXPECT_EQ(LeInteiro("00012"), 12);
  EXPECT_EQ(LeInteiro(" 12"), 12);
  EXPECT_EQ(LeInteiro("+7"), 7);
  EXPECT_EQ(LeInteiro("2147483647"), 2147483647);
  EXPECT_EQ(LeInteiro("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(LeInteiro("000000000002147483647"), 2147483647);
  for (const char* ruim :
       {"2147483648", "000000000002147483648", "12 ", "", " ", "1a", "-", "1.5", "99999999999999999999"})
    EXPECT_FALSE(LeInteiro(ruim)) << ruim;
  EXPECT_EQ(InteiroOuPadrao("x", -1), -1);
}

TEST(Numbers, ConversionErrorNamesTextFieldAndLine) {
  try {
    TextoParaInteiro("12A", "CodUsuario", 7);
    FAIL();
  } catch (const ErroConversao& e) {
    EXPECT_EQ(e.texto(), "12A");
    EXPECT_EQ(e.campo(), "CodUsuario");
    EXPECT_EQ(e.linha(), 7);
    std::string m = e.what();
    EXPECT_NE(m.find("'12A'"), std::string::npos);
    EXPECT_NE(m.find("CodUsuario"), std::string::npos);
    EXPECT_NE(m.find("7"), std::string::npos);
  }
}

// A control byte in the field would cut the message short (a NUL ends it on the way to the screen): it is
// shown escaped, while texto() keeps the field as it came.
TEST(Numbers, ConversionErrorShowsNonPrintingBytesEscaped) {
  const struct {
    std::string campo, mostrado;
  } casos[] = {
      {std::string("12\0\0", 4), "'12\\x00\\x00' n"},
      {"1\t2\r\n", "'1\\x092\\x0D\\x0A' n"},
      {"\x7F\x81\x9D", "'\\x7F\\x81\\x9D' n"},
      {"R$ 1,\xE9", "'R$ 1,\xE9' n"},  // a printable cp1252 letter stays
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.mostrado);
    try {
      TextoParaInteiro(c.campo, "CodUsuario", 3);
      FAIL();
    } catch (const ErroConversao& e) {
      EXPECT_EQ(e.texto(), c.campo);
      const std::string m = e.what();
      EXPECT_EQ(m.rfind(c.mostrado, 0), 0u) << m;
      EXPECT_NE(m.find(" - Campo: CodUsuario - Linha: 3"), std::string::npos) << m;
    }
  }
}

TEST(Numbers, ShortestGeneralForms) {
  struct Caso {
    double v;
    const char* esperado;
  } casos[] = {
      {50.5, "50,5"},   {250, "250"},
      {0.1, "0,1"},     {0.3, "0,3"},
      {-2.25, "-2,25"}, {600.01, "600,01"},
      {1e20, "1E20"},   {1.5e-6, "1,5E-6"},
      {0, "0"},         {123456789012345678.0, "1,23456789012346E17"},
      {0.001, "0,001"},
  };
  for (const auto& c : casos) EXPECT_EQ(FormaGeral(c.v), c.esperado) << c.v;
  EXPECT_EQ(MoedaFormaCurta(2500000), "250");
  EXPECT_EQ(MoedaFormaCurta(2505000), "250,5");
  EXPECT_EQ(MoedaFormaCurta(-1), "-0,0001");
}
