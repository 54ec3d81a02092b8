#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "cp1252.h"
#include "numbers.h"
#include "records.h"

using namespace telvarim;
using namespace telvarim::literais;

namespace {

// A line of `tamanho` blanks with the given texts placed at their 1-based columns.
std::string Monta(std::size_t tamanho, std::initializer_list<std::pair<std::size_t, std::string>> campos) {
  std::string s(tamanho, ' ');
  for (const auto& [col, v] : campos) {
    if (col - 1 + v.size() > s.size()) s.resize(col - 1 + v.size(), ' ');
    s.replace(col - 1, v.size(), v);
  }
  return s;
}

std::string Zeros(std::size_t n) { return std::string(n, '0'); }

// A header of any length: the full 276 columns, cut or extended with 'x'.
std::string Cabecalho(std::size_t tamanho) {
  std::string l = Monta(276, {{1, "00"},
                              {3, "0042"},
                              {7, "001234"},
                              {13, "EMPRESA EXEMPLO LTDA"},
                              {63, "050307"},
                              {69, "140907"},
                              {75, "060307"},
                              {81, "080910"},
                              {87, "1"},
                              {88, "RM_001234_0056_0703051409_1.REC"},
                              {153, "SEGUNDO NOME"},
                              {218, "VERSAO 3.0"},
                              {238, "REMOTA"},
                              {258, "  SEQ-77"},
                              {276, "1"}});
  l.resize(tamanho, 'x');
  return l;
}

// Card type 7, "PASSE ESCOLAR", percentage 50,00, maximum per the columns given.
std::string TipoCartao(std::size_t tamanho, char porCreditos, std::string maximo) {
  std::string l =
      Monta(61, {{1, "04"}, {3, "007"}, {6, "PASSE ESCOLAR"}, {56, std::string(1, porCreditos)}, {57, "05000"}});
  l += maximo;
  l.resize(tamanho, ' ');
  return l;
}

std::string Detalhe(std::string tipo, std::string cmm1 = "000000000000012399") {
  std::string l = Monta(273, {{1, "01"},          {3, "0000000123"},
                              {13, "0000456789"}, {23, "JOS\xC9 DA SILVA"},
                              {73, "  M-77  "},   {93, tipo},
                              {96, "0003"},       {100, cmm1},
                              {118, Zeros(18)},   {136, "000000000000001250"},
                              {154, "0005"},      {158, "007"},
                              {161, "004"},       {164, "0000"},
                              {168, "000"},       {171, "000"},
                              {174, "0009"},      {178, "001"},
                              {181, "002"},       {184, Zeros(18)}});
  for (int k = 0; k < 12; ++k) {
    char b[8];
    std::snprintf(b, sizeof b, "%05d", 100 * (k + 1) + k);
    l.replace(213 + 5 * static_cast<std::size_t>(k), 5, b);
  }
  return l;
}

}  // namespace

TEST(Records, HeaderLengthsAndWhatEachHolds) {
  struct Caso {
    std::size_t tamanho;
    bool aceito;
    const char* versao;
    const char* modo;
  } casos[] = {
      {217, true, "", "0"},
      {275, true, "VERSAO 3.0          ", "0"},
      {276, true, "VERSAO 3.0          ", "1"},
      {278, true, "VERSAO 3.0          ", "1"},
      {277, false, "", ""},
      {216, false, "", ""},
  };
  for (const auto& c : casos) {
    RegCabecalho h;
    Leitura r = LeCabecalho(Cabecalho(c.tamanho), 0, h);
    ASSERT_EQ(r.aceito, c.aceito) << c.tamanho;
    if (!c.aceito) continue;
    EXPECT_EQ(h.VersaoRecarga, c.versao) << c.tamanho;
    EXPECT_EQ(h.ModoArredondamento, c.modo) << c.tamanho;
    EXPECT_EQ(h.SequencialArquivo.empty(), c.tamanho == 217) << c.tamanho;
  }
}

TEST(Records, HeaderEveryFieldAndDisplayForms) {
  RegCabecalho h;
  ASSERT_TRUE(LeCabecalho(Cabecalho(276), 0, h));
  EXPECT_EQ(h.CodCabecalho, 42);
  EXPECT_EQ(h.CodEmpresa, 1234);
  EXPECT_EQ(h.NomeEmpresa, Monta(50, {{1, "EMPRESA EXEMPLO LTDA"}}));
  EXPECT_EQ(h.DataCriacao, "050307");
  EXPECT_EQ(h.HoraCriacao, "140907");
  EXPECT_EQ(h.DataTermino, "060307");
  EXPECT_EQ(h.HoraTermino, "080910");
  EXPECT_EQ(h.Criptografado, 1);
  EXPECT_EQ(h.NomeArquivo, Monta(65, {{1, "RM_001234_0056_0703051409_1.REC"}}));
  EXPECT_EQ(h.NomeArquivo2, Monta(65, {{1, "SEGUNDO NOME"}}));
  EXPECT_EQ(h.VersaoRemota, Monta(20, {{1, "REMOTA"}}));
  EXPECT_EQ(h.SequencialArquivo, Monta(18, {{3, "SEQ-77"}}));
  EXPECT_EQ(h.ModoArredondamento, "1");
  EXPECT_EQ(SeqDoNomeArquivo(h), "0056");
  EXPECT_EQ(DataExibicao(h), "05/03/07 14:09:07");
  EXPECT_EQ(EmpresaExibicao(h), "1234 - " + h.NomeEmpresa);
  EXPECT_EQ(CriptografiaExibicao(h), "Sim");
  h.Criptografado = 0;
  EXPECT_EQ(CriptografiaExibicao(h), "Não"_cp);

  std::string sem = Cabecalho(276);
  sem[275] = ' ';
  ASSERT_TRUE(LeCabecalho(sem, 0, h));
  EXPECT_EQ(h.ModoArredondamento, "0");  // blank rounding mode is taken as 0
}

TEST(Records, CardTypeMaximumByLengthAndUnit) {
  struct Caso {
    std::size_t tamanho;
    char porCreditos;
    const char* maximo;
    double esperado;
  } casos[] = {
      {61, '0', "", 600.00},       {61, '1', "", 250}, {66, '0', "12000", 120.00}, {66, '1', "00044", 44},
      {67, '1', "123456", 123456}, {62, '1', "7", 7},  {66, '0', "     ", 600.00}, {67, '2', "      ", 250},
  };
  for (const auto& c : casos) {
    RegTipoCartao t;
    ASSERT_TRUE(LeTipoCartao(TipoCartao(c.tamanho, c.porCreditos, c.maximo), 3, t)) << c.tamanho;
    EXPECT_DOUBLE_EQ(t.ValorMaximo, c.esperado) << c.tamanho << " " << c.maximo;
    EXPECT_EQ(t.Codigo, 7);
    EXPECT_EQ(t.Descricao, Monta(50, {{1, "PASSE ESCOLAR"}}));
    EXPECT_DOUBLE_EQ(t.PercentualTarifa, 50.00);
  }
  for (std::size_t ruim : {60u, 63u, 65u, 68u}) {
    RegTipoCartao t;
    EXPECT_FALSE(LeTipoCartao(TipoCartao(ruim, '0', "12000"), 3, t)) << ruim;
  }
}

TEST(Records, TariffAndTrailerFields) {
  RegTarifa t;
  ASSERT_TRUE(
      LeTarifa(Monta(42, {{1, "05"}, {3, "03"}, {5, "URBANA"}, {15, "000000000000000230"}, {33, "0000000077"}}), 1, t));
  EXPECT_EQ(t.Codigo, 3);
  EXPECT_EQ(t.Descricao, "URBANA    ");
  EXPECT_DOUBLE_EQ(t.Valor, 2.30);
  EXPECT_EQ(t.Auxiliar, 77);
  EXPECT_FALSE(LeTarifa(std::string(41, '0'), 1, t));

  RegRodape r;
  std::string l = "99" + std::string("0000000007");
  for (int g = 0; g < 4; ++g) {
    char b[40];
    std::snprintf(b, sizeof b, "%018d%018d", 10 + g, 20 + g);
    l += b;
  }
  ASSERT_TRUE(LeTrailer(l, 9, r));
  EXPECT_EQ(r.QtdRegistros, 7);
  EXPECT_EQ(r.Grupos[3].Quantidade, 13);
  EXPECT_EQ(r.Grupos[3].Total, 23);
  EXPECT_FALSE(LeTrailer(l + " ", 9, r));
}

TEST(Records, MoneyDetailReadsReaisAndThreeLastRecharges) {
  RegUsuario u;
  ASSERT_TRUE(LeDetalhe(Detalhe("007"), 5, 0, u));
  EXPECT_EQ(u.CodUsuario, 123);
  EXPECT_EQ(u.NumCartao, 456789);
  EXPECT_EQ(u.Nome, Monta(50, {{1, "JOS\xC9 DA SILVA"}}));
  EXPECT_EQ(u.Matricula, "M-77");
  EXPECT_EQ(u.TipoCartao, 7);
  EXPECT_EQ(u.Grupos[0].Tarifa, 3);
  EXPECT_EQ(u.Grupos[0].CMM, 123);  // 123,99 reais: the centavos are dropped
  EXPECT_DOUBLE_EQ(u.Grupos[0].ValorRecarga, 12.50);
  EXPECT_EQ(u.Grupos[1].Tarifa, 5);
  EXPECT_EQ(u.Grupos[1].CMM, 0);         // 7 centavos in whole reais
  EXPECT_EQ(u.Grupos[1].CMMArquivo, 7);  // and as the file carried it, for the way back
  EXPECT_DOUBLE_EQ(u.Grupos[1].ValorRecarga, 0.04);
  EXPECT_EQ(u.Grupos[3].Tarifa, 9);
  EXPECT_DOUBLE_EQ(u.UltimasRecargas[0], 1.00);
  EXPECT_DOUBLE_EQ(u.UltimasRecargas[2], 3.02);
  for (int k = 3; k < 12; ++k) EXPECT_EQ(u.UltimasRecargas[static_cast<std::size_t>(k)], 0) << k;
}

TEST(Records, CreditDetailReadsEverythingAsWholeCredits) {
  RegUsuario u;
  ASSERT_TRUE(LeDetalhe(Detalhe("007"), 5, 1, u));
  EXPECT_EQ(u.Grupos[0].CMM, 12399);
  EXPECT_DOUBLE_EQ(u.Grupos[0].ValorRecarga, 1250);
  EXPECT_EQ(u.Grupos[1].CMM, 7);
  EXPECT_DOUBLE_EQ(u.Grupos[1].ValorRecarga, 4);
  EXPECT_DOUBLE_EQ(u.Grupos[3].ValorRecarga, 2);
  for (int k = 0; k < 12; ++k) EXPECT_DOUBLE_EQ(u.UltimasRecargas[static_cast<std::size_t>(k)], 100 * (k + 1) + k) << k;
  EXPECT_FALSE(LeDetalhe(Detalhe("007") + " ", 5, 1, u));
}

TEST(Records, NumbersThatDoNotConvertNameFieldAndLine) {
  struct Caso {
    std::string linha;
    const char* campo;
  } casos[] = {
      {Detalhe("0X7"), "TipoCartao"},
      {Detalhe("007", "000000002147483648"), "CMM1"},  // exceeds 2147483647
      {Detalhe("007", "                  "), "CMM1"},
      {TipoCartao(66, '0', "12A00"), "ValorMaximo"},
      {Cabecalho(217).replace(6, 6, "12345X"), "CodEmpresa"},
  };
  for (const auto& c : casos) {
    RegUsuario u;
    RegTipoCartao t;
    RegCabecalho h;
    try {
      if (c.linha[1] == '1') {
        LeDetalhe(c.linha, 41, 0, u);
      } else if (c.linha[1] == '4') {
        LeTipoCartao(c.linha, 41, t);
      } else {
        LeCabecalho(c.linha, 41, h);
      }
      ADD_FAILURE() << "no error for " << c.campo;
    } catch (const ErroConversao& e) {
      EXPECT_EQ(e.campo(), c.campo);
      EXPECT_EQ(e.linha(), 41);
    }
  }
}

TEST(Records, CodesOutsideTheTablesAreRefusedWithTheReason) {
  RegTipoCartao t;
  Leitura r = LeTipoCartao(Monta(61, {{1, "04121"}, {56, "0"}, {57, "10000"}}), 12, t);
  EXPECT_FALSE(r.aceito);
  EXPECT_EQ(r.motivo, "Tipo de cartão 121 fora da tabela (0 a 120) - Linha : 12"_cp);
  RegTarifa ta;
  r = LeTarifa(Monta(42, {{1, "0515"}, {15, Zeros(18)}, {33, Zeros(10)}}), 3, ta);
  EXPECT_EQ(r.motivo, "Tarifa 15 fora da tabela (0 a 14) - Linha : 3");
  RegUsuario u;
  EXPECT_FALSE(LeDetalhe(Detalhe("121"), 4, 0, u).motivo.empty());
  std::string tarifaGrande = Detalhe("007");
  tarifaGrande.replace(153, 4, "0015");
  r = LeDetalhe(tarifaGrande, 4, 0, u);
  EXPECT_EQ(r.motivo, "Tarifa 15 fora da tabela (0 a 14) - Linha : 4");
  EXPECT_TRUE(LeTipoCartao(Monta(61, {{1, "04120"}, {56, "0"}, {57, "10000"}}), 12, t));
}

TEST(Records, RequestFieldValues) {
  RegTipoCartao t{7, "PASSE", 0, 0.29, 600.00};
  std::string l = FormataTipoCartao(t);
  ASSERT_EQ(l.size(), kTamTipoCartao);
  EXPECT_EQ(l.substr(55), "00002960000");  // PorCreditos 0, 0,29 per cent as 29, 600,00 as 60000
  t = {7, "PASSE", 1, 100.00, 250};
  EXPECT_EQ(FormataTipoCartao(t).substr(55), "11000000250");

  RegTarifa ta{3, "URBANA", 2.30, 77};
  EXPECT_EQ(FormataTarifa(ta), "0503URBANA    0000000000000002300000000077");

  RegUsuario u;
  u.CodUsuario = 1;
  u.NumCartao = 2;
  u.Nome = "ANA";
  u.Matricula = "M1";
  u.TipoCartao = 7;
  u.Grupos[0] = {3, 50, 12.34};
  u.Grupos[1] = {5, 3, 4.0, 381};
  u.UltimasRecargas = {10.5, 20.25, 0.01, 9, 9, 9, 9, 9, 9, 9, 9, 9};
  std::string d = FormataDetalhe(u, 0);
  ASSERT_EQ(d.size(), kTamDetalhe);
  EXPECT_EQ(d.substr(95, 4), "0003");
  EXPECT_EQ(d.substr(99, 18), "000000000000005000");  // CMM 50 reais in centavos
  EXPECT_EQ(d.substr(117, 18), Zeros(18));
  EXPECT_EQ(d.substr(135, 18), "000000000000001234");  // 12,34 reais
  EXPECT_EQ(d.substr(153, 10), "0005381000");          // group 2: tariff and CMM as received (not 3 reais), value 0
  EXPECT_EQ(d.substr(183, 18), Zeros(18));
  EXPECT_EQ(d.substr(201, 12), std::string(12, ' '));
  EXPECT_EQ(d.substr(213, 15), "010500202500001");
  EXPECT_EQ(d.substr(228), Zeros(45));

  u.Grupos[0] = {3, 50, 12};
  u.Grupos[1] = {5, 7, 3, 381};  // a credit group writes its CMM in credits
  d = FormataDetalhe(u, 1);
  EXPECT_EQ(d.substr(99, 18), "000000000000000050");
  EXPECT_EQ(d.substr(135, 18), "000000000000000012");
  EXPECT_EQ(d.substr(153, 10), "0005007003");
  EXPECT_EQ(d.substr(228, 5), "00009");
}

TEST(Records, CentavosRule) {
  EXPECT_EQ(Centavos(12.34), 1234);
  EXPECT_EQ(Centavos(2.30), 230);
  EXPECT_EQ(Centavos(600.00), 60000);
  EXPECT_EQ(Centavos(0.29), 29);
  EXPECT_EQ(Centavos(1.005), 100);
  EXPECT_EQ(Centavos(-2.5), -250);  // the nudge goes away from zero on both sides
  EXPECT_EQ(Centavos(-12.34), -1234);
}

TEST(Records, ValuesWiderThanTheirFieldAreRefused) {
  RegUsuario u;
  u.TipoCartao = 7;
  u.Grupos[1] = {5, 7, 1000};  // 1000 credits do not fit three digits
  EXPECT_THROW(FormataDetalhe(u, 1), ErroFormato);
  RegTipoCartao t{7, "X", 1, 100, 1234567};  // not even the six digits a 67-column record holds
  EXPECT_THROW(FormataTipoCartao(t), ErroFormato);
  u.Grupos[1] = {};
  u.Grupos[0].ValorRecarga = -2.5;  // a draft may hold a negative value: the sign takes a digit
  EXPECT_EQ(FormataDetalhe(u, 0).substr(135, 18), "-00000000000000250");
}

TEST(Records, FormatThenReadGivesTheSameRecords) {
  RegCabecalho h;
  ASSERT_TRUE(LeCabecalho(Cabecalho(276), 0, h));
  std::string lh = FormataCabecalho(h);
  EXPECT_EQ(lh, Cabecalho(276));
  RegCabecalho h2;
  ASSERT_TRUE(LeCabecalho(lh, 0, h2));
  EXPECT_EQ(FormataCabecalho(h2), lh);

  RegCabecalho curto;
  ASSERT_TRUE(LeCabecalho(Cabecalho(217), 0, curto));
  EXPECT_EQ(FormataCabecalho(curto).size(), kTamCabecalho);
  EXPECT_EQ(FormataCabecalho(curto).back(), '0');

  for (char pc : {'0', '1'}) {
    RegTipoCartao t, t2;
    ASSERT_TRUE(LeTipoCartao(TipoCartao(66, pc, "12000"), 0, t));
    ASSERT_TRUE(LeTipoCartao(FormataTipoCartao(t), 0, t2));
    EXPECT_EQ(t2.Codigo, t.Codigo);
    EXPECT_EQ(t2.Descricao, t.Descricao);
    EXPECT_EQ(t2.PorCreditos, t.PorCreditos);
    EXPECT_DOUBLE_EQ(t2.PercentualTarifa, t.PercentualTarifa);
    EXPECT_DOUBLE_EQ(t2.ValorMaximo, t.ValorMaximo);

    RegUsuario u, u2;
    ASSERT_TRUE(LeDetalhe(Detalhe("007"), 0, pc - '0', u));
    std::string d = FormataDetalhe(u, pc - '0');
    ASSERT_TRUE(LeDetalhe(d, 0, pc - '0', u2));
    EXPECT_EQ(FormataDetalhe(u2, pc - '0'), d);
    EXPECT_EQ(u2.Nome, u.Nome);
    EXPECT_EQ(u2.Matricula, u.Matricula);
    EXPECT_EQ(u2.Grupos[0].CMM, u.Grupos[0].CMM);
    EXPECT_DOUBLE_EQ(u2.Grupos[0].ValorRecarga, u.Grupos[0].ValorRecarga);
    EXPECT_EQ(u2.UltimasRecargas, u.UltimasRecargas);
    EXPECT_EQ(d.substr(153, 7), Detalhe("007").substr(153, 7));  // group 2's tariff and CMM as received
    if (pc == '0') {
      EXPECT_EQ(d.substr(99, 18), "000000000000012300");  // 123,99 comes back as 123,00
    }
  }

  // A six-digit maximum comes back in a 67-column record that reads the same.
  RegTipoCartao grande, grande2;
  ASSERT_TRUE(LeTipoCartao(TipoCartao(67, '1', "123456"), 0, grande));
  std::string lg = FormataTipoCartao(grande);
  EXPECT_EQ(lg.size(), 67u);
  ASSERT_TRUE(LeTipoCartao(lg, 0, grande2));
  EXPECT_DOUBLE_EQ(grande2.ValorMaximo, 123456);

  RegTarifa ta, ta2;
  ASSERT_TRUE(LeTarifa("0503URBANA    0000000000000002300000000077", 0, ta));
  ASSERT_TRUE(LeTarifa(FormataTarifa(ta), 0, ta2));
  EXPECT_EQ(FormataTarifa(ta2), "0503URBANA    0000000000000002300000000077");

  RegRodape r;
  r.QtdRegistros = 7;
  r.Grupos[0].Quantidade = 500;
  RegRodape r2;
  ASSERT_TRUE(LeTrailer(FormataTrailer(r), 0, r2));
  EXPECT_EQ(r2.QtdRegistros, 7);
  EXPECT_EQ(r2.Grupos[0].Quantidade, 500);
  EXPECT_EQ(FormataTrailer(r).size(), kTamTrailer);
}

TEST(Records, LinesSplitAtEveryLineEndAndBlankTypesAreNoRecords) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SeparaLinhas("a\r\nb\rc\nd"), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(SeparaLinhas("a\r\n"), (V{"a"}));
  EXPECT_EQ(SeparaLinhas("a\r\n\r\nb\n\n"), (V{"a", "", "b", ""}));
  EXPECT_EQ(SeparaLinhas("\r\r\n"), (V{"", ""}));
  EXPECT_EQ(SeparaLinhas(""), V{});
  EXPECT_TRUE(LinhaEmBranco(""));
  EXPECT_TRUE(LinhaEmBranco(" "));
  EXPECT_TRUE(LinhaEmBranco("  01xxxx"));
  EXPECT_FALSE(LinhaEmBranco(" 1"));
  EXPECT_FALSE(LinhaEmBranco("01"));
}

namespace {

std::vector<std::string> Le(const std::string& texto, std::size_t limite, LeituraLinhas esperado) {
  std::istringstream in(texto);
  std::vector<std::string> linhas{"lixo de antes"};
  EXPECT_EQ(LeLinhas(in, limite, linhas), esperado);
  return linhas;
}

}  // namespace

// Read from a stream in blocks, the lines are those SeparaLinhas gives, whatever falls on a block's edge.
TEST(Records, BoundedLineReadingSplitsAsTheTextSplitter) {
  std::mt19937 gerador(11);
  const char alfabeto[] = {'a', 'b', '\r', '\n'};
  for (int rodada = 0; rodada < 40; ++rodada) {
    SCOPED_TRACE(rodada);
    // Around the 64 KiB block edge, with long and short lines and runs of line ends.
    std::string texto(65536 - 3 + static_cast<std::size_t>(rodada % 7), 'x');
    for (int i = 0; i < 300; ++i) texto += alfabeto[gerador() % 4];
    if (rodada % 2 == 0) texto = texto.substr(gerador() % texto.size());
    EXPECT_EQ(Le(texto, kMaxLinhasArquivo, LeituraLinhas::Lidas), SeparaLinhas(texto));
  }
  EXPECT_EQ(Le(std::string(65535, 'y') + "\r\nz", 10, LeituraLinhas::Lidas),
            (std::vector<std::string>{std::string(65535, 'y'), "z"}));
}

// The limit counts lines as the splitter does (a final line break starts none) and stops at the first line
// past it, without taking the rest.
TEST(Records, BoundedLineReadingStopsAtTheFirstLinePastTheLimit) {
  const struct {
    std::string texto;
    LeituraLinhas esperado;
    std::size_t linhas;
  } casos[] = {
      {"a\nb\nc", LeituraLinhas::Lidas, 3},
      {"a\nb\nc\r\n", LeituraLinhas::Lidas, 3},
      {"a\nb\nc\nd", LeituraLinhas::Excesso, 3},
      {"a\nb\nc\n\n", LeituraLinhas::Excesso, 3},
      {"\n\n\n", LeituraLinhas::Lidas, 3},
      {"\r\n\r\n\r\n\r", LeituraLinhas::Excesso, 3},
      {"", LeituraLinhas::Lidas, 0},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.texto);
    EXPECT_EQ(Le(c.texto, 3, c.esperado).size(), c.linhas);
  }
  // 64 MiB of line feeds, as a forged file expands to: the reading stops at the limit, having taken only
  // the first blocks of the stream.
  std::istringstream bomba(std::string(std::size_t{64} << 20, '\n'));
  std::vector<std::string> linhas;
  EXPECT_EQ(LeLinhas(bomba, kMaxLinhasArquivo, linhas), LeituraLinhas::Excesso);
  EXPECT_EQ(linhas.size(), kMaxLinhasArquivo);
  EXPECT_LT(bomba.tellg(), std::streamoff{1} << 20);
}

TEST(Records, BoundedLineReadingReportsAFailedStream) {
  std::istringstream in("a\nb");
  in.setstate(std::ios::badbit);
  std::vector<std::string> linhas;
  EXPECT_EQ(LeLinhas(in, 10, linhas), LeituraLinhas::ErroLeitura);
}
