// The printed listing's rows and lines, and "Imprimir" through the operator seam.
#include <gtest/gtest.h>

#include "ambiente.h"
#include "listagem.h"

using namespace telvarim;
using namespace telvarim::teste;
using V = std::vector<std::string>;

namespace {

// The listing of `r`'s holders ordered by code.
V Listagem(const Recebido& r, int modo = 0) {
  const Tabelas t = TabelasDe(r);
  std::vector<RegListagem> linhas = LinhasDeListagem(t, static_cast<std::int32_t>(r.usuarios.size()));
  std::vector<RegListagem> ordenadas;
  for (int k : OrdemClassificacao(linhas, Classificacao::Codigo))
    ordenadas.push_back(linhas[static_cast<std::size_t>(k)]);
  return TextoListagem(t, ordenadas, modo);
}

std::string Nome50(const char* n) {
  std::string s = n;
  s.resize(50, ' ');
  return s;
}

// The detail line as the layout writes it, field by field.
std::string Detalhe(const char* cod, const char* cartao, const char* mat, const char* nome, const char* tipo,
                    const char* tarifa, const char* qtd, const char* total) {
  auto esq = [](std::string s, std::size_t w) { return s.size() < w ? s + std::string(w - s.size(), ' ') : s; };
  auto dir = [](std::string s, std::size_t w) { return s.size() < w ? std::string(w - s.size(), ' ') + s : s; };
  return esq(cod, 16) + " " + esq(cartao, 16) + " " + esq(mat, 20) + " " + Nome50(nome) + " " + esq(tipo, 2) + " " +
         dir(tarifa, 6) + " " + dir(qtd, 15) + " " + dir(total, 15);
}

std::string SubTotal(const char* qtd, const char* valor) {
  std::string q = qtd, v = valor;
  return "Sub-Total :" + std::string(105, ' ') + std::string(15 - q.size(), ' ') + q + std::string(10, ' ') + v +
         std::string(15 - v.size(), ' ');
}

std::string TotalGeral(const char* valor) {
  std::string v = valor;
  return "Total Geral :" + std::string(128, ' ') + v + std::string(30 - v.size(), ' ');
}

}  // namespace

TEST(Listagem, CreditAndMoneyGroupsWithTheirSubTotalsAndTheGrandTotal) {
  Recebido r;
  r.tipos = {Tipo(2, "ESCOLAR", 1, 100), Tipo(5, "VALE", 0)};
  r.tarifas = {Tarifa(3, "URBANA", 2.30), Tarifa(5, "METRO", 4.00)};
  r.usuarios = {
      Usuario(7, 70, "BEATRIZ", "M7", 5, {3, 50, 15.50}),
      Usuario(3, 30, "ANA", "M3", 2, {3, 40, 10}, {5, 9, 2}, {5, 0, 4}),  // group 3 has CMM 0: not listed
      Usuario(4, 40, "CIDA", "M4", 2, {5, 1, 0}, {3, 1, 0}),              // group 1 listed at 0, group 2 not
  };
  const std::string tipo2 = "Tipo Cartão : 2  - " + Nome50("ESCOLAR") + "                     Tipo : Crédito         ";
  const std::string tipo5 = "Tipo Cartão : 5  - " + Nome50("VALE") + "                     Tipo : Unidade Tarifária";
  const V esperado = {
      Utf8ParaCp1252(tipo2),
      "",
      Detalhe("3", "30", "M3", "ANA", "2", "2,30", "10", "23,00"),
      Detalhe("3", "30", "M3", "ANA", "2", "4,00", "2", "8,00"),
      Detalhe("4", "40", "M4", "CIDA", "2", "4,00", "0", "0,00"),
      "",
      SubTotal("12", "31,00"),  // a credit group's quantity has no decimals
      "",
      Utf8ParaCp1252(tipo5),
      "",
      Detalhe("7", "70", "M7", "BEATRIZ", "5", " - ", "15,50", "15,50"),
      "",
      SubTotal("15,50", "15,50"),
      "",
      TotalGeral("46,50"),
      "",
  };
  EXPECT_EQ(Listagem(r), esperado);
}

TEST(Listagem, CreditPriceFollowsTheRoundingModeAndEmptyFileStillTotals) {
  Recebido r;
  r.tipos = {Tipo(2, "ESCOLAR", 1, 53)};
  r.tarifas = {Tarifa(3, "URBANA", 2.30)};
  r.usuarios = {Usuario(1, 1, "A", "1", 2, {3, 0, 10})};
  EXPECT_EQ(Listagem(r, 1)[2].substr(Listagem(r, 1)[2].size() - 15), "          12,20");  // 1,219 rounded up
  EXPECT_EQ(Listagem(r, 0)[2].substr(Listagem(r, 0)[2].size() - 15), "          12,19");  // 12,187 unrounded

  const V vazia = Listagem(Recebido{});
  EXPECT_EQ(vazia, (V{"", SubTotal("0,00", "0,00"), "", TotalGeral("0,00"), ""}));
}

TEST(Listagem, ColumnTitlesStandOverTheirFields) {
  Recebido r;
  r.tipos = {Tipo(2, "ESCOLAR", 1, 100)};
  r.tarifas = {Tarifa(3, "URBANA", 2.30)};
  r.usuarios = {Usuario(1234567, 7654321, "MARIA DAS GRACAS CONCEICAO DE OLIVEIRA E SOUZA", "M-991", 2, {3, 40, 1000})};
  const std::string detalhe = Listagem(r)[2];
  const std::vector<ColunaListagem> colunas = ColunasListagem();
  struct Esperada {
    const char* titulo;
    const char* campo;
  } esperadas[] = {{"Usuário", "1234567"}, {"Cartão", "7654321"},
                   {"Matrícula", "M-991"}, {"Nome", "MARIA DAS GRACAS CONCEICAO DE OLIVEIRA E SOUZA"},
                   {"Tipo", "2"},          {"Tarifa", "2,30"},
                   {"Valor", "1.000"},     {"Total", "2.300,00"}};
  ASSERT_EQ(colunas.size(), std::size(esperadas));
  std::size_t fim = 0;
  for (std::size_t i = 0; i < colunas.size(); ++i) {
    const ColunaListagem& c = colunas[i];
    EXPECT_EQ(c.titulo, Utf8ParaCp1252(esperadas[i].titulo));
    if (i > 0) EXPECT_EQ(c.inicio, fim + 1) << c.titulo;  // one blank between columns
    const std::string celula = detalhe.substr(c.inicio, c.largura);
    EXPECT_EQ(Trim(celula), esperadas[i].campo) << c.titulo;
    // Figures end at the column's right edge, texts start at its left.
    EXPECT_NE(c.aDireita ? celula.back() : celula.front(), ' ') << c.titulo;
    fim = c.inicio + c.largura;
  }
  EXPECT_EQ(fim, detalhe.size());
}

TEST(Listagem, NamesPrintInFullAndPushTheColumnsAfterThem) {
  Recebido r;
  r.tipos = {Tipo(1, "UMA DESCRICAO BEM MAIS LONGA DO QUE TRINTA CARACTERES", 0)};
  r.tarifas = {Tarifa(3, "URBANA", 2.30)};
  r.usuarios = {Usuario(1, 1, "MARIA DAS GRACAS CONCEICAO DE OLIVEIRA E SOUZA", "1", 1, {3, 0, 1})};
  const V l = Listagem(r);
  EXPECT_EQ(l[0].find("Tipo : "), 14u + 2 + 3 + 50 + 21);  // 20 further than a width of 30 gives
  EXPECT_NE(l[2].find("MARIA DAS GRACAS CONCEICAO DE OLIVEIRA E SOUZA"), std::string::npos);
  EXPECT_EQ(l[2].size(), 16u + 1 + 16 + 1 + 20 + 1 + 50 + 1 + 2 + 1 + 6 + 1 + 15 + 1 + 15);
}

class Impressao : public Workspace {};

TEST_F(Impressao, PrintShowsTheListingOfTheHoldersInTheChosenOrder) {
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  ASSERT_TRUE(c.DigitaValor(1, "8,25").Feito());  // holder 102
  c.Ordem = Classificacao::Alfabetica;
  EXPECT_TRUE(c.Imprime().Feito());
  ASSERT_EQ(op.relatorios.size(), 1u);
  const Relatorio& r = op.relatorios[0];
  EXPECT_EQ(r.tipo, Relatorio::Tipo::Listagem);
  EXPECT_EQ(r.qrlnomecadastro, "Listagem de Cartões a Recarregar"_cp);
  EXPECT_EQ(r.qrlrelatorio, "1234 - EMPRESA EXEMPLO LTDA");
  EXPECT_EQ(r.qrlperiodo, "Arquivo : " + TextoCaminho(raiz / "Recebidos" / "RM_001234_0056_0703051409_1.rec"));
  EXPECT_EQ(r.qrlfiltro, "");
  EXPECT_EQ(r.lblClassificacao, "Classificação : Por Nome Usuário"_cp);
  EXPECT_EQ(r.QRVersao, "2.1.1.C01G - Telvarim");
  // By name within card type 1, tariff 0 first: BEATRIZ (tariff 0), then tariff 3: ÁLVARO, ZULMIRA.
  ASSERT_GE(r.linhas.size(), 5u);
  EXPECT_EQ(r.linhas[2].substr(0, 3), "103");
  EXPECT_EQ(r.linhas[3].substr(0, 3), "102");
  EXPECT_NE(r.linhas[3].find("8,25"), std::string::npos);
  EXPECT_EQ(r.linhas[4].substr(0, 3), "101");
  EXPECT_EQ(tabelas.Listagem[0].CodUsuario, 103);  // the buffer holds the rows printed
  EXPECT_EQ(c.TextoCelula(0, 0), "101");           // the view itself is not reordered
}

TEST_F(Impressao, ListingOrdersNamesAndEmployeeNumbersAsTheGridDoes) {
  Recebido r = RecebidoPadrao();
  r.usuarios = {Usuario(1, 1, "ZULMIRA", "831840", 1, {3, 0, 1}), Usuario(2, 2, "\xE1lvaro", "8527", 1, {3, 0, 1}),
                Usuario(3, 3, "Bruno", "A7", 1, {3, 0, 1})};
  CadastroTelvarim& c = Processa(r);
  const std::pair<Classificacao, V> casos[] = {{Classificacao::Alfabetica, {"2", "3", "1"}},
                                               {Classificacao::Matricula, {"2", "1", "3"}}};
  for (const auto& [ordem, codigos] : casos) {
    op.relatorios.clear();
    ASSERT_TRUE(c.Classifica(ordem).Feito());
    EXPECT_EQ(Coluna(0), codigos);
    ASSERT_TRUE(c.Imprime().Feito());
    V impressos;
    for (std::size_t i = 2; i < 5; ++i) impressos.push_back(Trim(op.relatorios.at(0).linhas.at(i).substr(0, 16)));
    EXPECT_EQ(impressos, codigos);
  }
}
