// The workspace's rules as plain functions over values: no window state, no files.
#include <gtest/gtest.h>

#include "ambiente.h"
#include "atualizacao.h"
#include "classificacao.h"
#include "pedido.h"
#include "totais.h"

using namespace telvarim;
using namespace telvarim::teste;
using V = std::vector<std::string>;

namespace {

GradeTexto Grade(const std::vector<V>& linhas) {
  GradeTexto g(9, static_cast<int>(linhas.size()) + 1);
  for (std::size_t j = 0; j < linhas.size(); ++j)
    for (std::size_t c = 0; c < linhas[j].size(); ++c)
      g.SetCell(static_cast<int>(c), static_cast<int>(j) + 1, linhas[j][c]);
  return g;
}

}  // namespace

TEST(Regras, CreditPriceRounding) {
  struct Caso {
    int modo;
    double x, esperado;
  } casos[] = {
      {1, 1.219, 1.22}, {1, 1.2311, 1.24},         {1, 1.2305, 1.23}, {1, 1.22, 1.22}, {2, 1.2399, 1.23},
      {2, 2.3, 2.30},  // 2,30 held in binary just below itself still truncates to 2,30
      {2, 1.23, 1.23},  {0, 1.2345678, 1.2345678}, {7, 1.219, 1.219},
  };
  for (const auto& caso : casos)
    EXPECT_DOUBLE_EQ(ArredondaValor(caso.x, 2, caso.modo), caso.esperado) << caso.modo << " " << caso.x;

  Tabelas t = TabelasDe(RecebidoPadrao());
  t.TiposCartao[2].PercentualTarifa = 53.00;
  EXPECT_DOUBLE_EQ(PrecoCredito(t, 2, 3, 1), 1.22);  // 53 % of 2,30 = 1,219, rounded up
  EXPECT_DOUBLE_EQ(PrecoCredito(t, 2, 3, 2), 1.21);
  EXPECT_DOUBLE_EQ(PrecoCredito(t, 2, 3, 0), 0.53 * 2.30);
}

TEST(Regras, GridTotalsPriceCreditsInFixedPointAndSkipUnreadableCells) {
  const GradeTexto g = Grade({{"", "", "", "", "", "3"}, {"", "", "", "", "", "7,5"}, {"", "", "", "", "", "lixo"}});
  const Totais credito = TotaisGrade(g, true, MoedaDeDouble(1.15));
  EXPECT_DOUBLE_EQ(credito.dinheiro, 3 * 1.15 + 8.625);  // 7,5 × 1,15 = 8,625 exactly in ten-thousandths
  EXPECT_EQ(credito.creditos, 10);                       // whole credits, toward zero
  const Totais dinheiro = TotaisGrade(g, false, 0);
  EXPECT_DOUBLE_EQ(dinheiro.dinheiro, 10.5);
  EXPECT_EQ(dinheiro.creditos, 0);
}

TEST(Regras, GeneralTotalsPriceEachHolderWithItsOwnCardType) {
  Recebido r = RecebidoPadrao();
  r.tipos.push_back(Tipo(7, "OUTRO CREDITO", 2));  // PorCreditos 2: counted as money by the totals
  r.tipos[1].PercentualTarifa = 50;
  r.usuarios = {
      Usuario(1, 1, "A", "1", 1, {3, 0, 15.50}),          // money: 15,50
      Usuario(2, 2, "B", "2", 2, {3, 0, 12}, {5, 0, 3}),  // 12 at 1,15 + 3 at 2,00
      Usuario(3, 3, "C", "3", 7, {3, 0, 4}),              // PorCreditos 2: 4,00 of money, no credits
  };
  const Totais t = TotaisGerais(TabelasDe(r), 3, 0);
  EXPECT_DOUBLE_EQ(t.dinheiro, 15.50 + 12 * 1.15 + 3 * 2.00 + 4);
  EXPECT_EQ(t.creditos, 15);
  EXPECT_EQ(TotaisGerais(TabelasDe(r), 1, 0).creditos, 0);  // only the holders loaded count
}

TEST(Regras, RequestLinesFromTablesAndHeader) {
  Recebido r = RecebidoPadrao();
  r.tipos = {Tipo(9, "NOVE", 0), Tipo(2, "DOIS", 1)};  // listed out of code order
  RegTarifa semDescricao;
  semDescricao.Valor = 1.0;
  r.tarifas.push_back(semDescricao);  // no description: not written
  r.usuarios[2].Grupos = {GrupoRecarga{0, 0, 0}, GrupoRecarga{5, 9, 0}, GrupoRecarga{}, GrupoRecarga{3, 1, 0}};
  const Tabelas t = TabelasDe(r);
  const CorpoPedido corpo = MontaCorpoPedido(t, 5);
  ASSERT_EQ(corpo.linhas.size(), 2u + 2 + 5);
  EXPECT_EQ(corpo.linhas[0].substr(0, 5), "04002");
  EXPECT_EQ(corpo.linhas[1].substr(0, 5), "04009");
  EXPECT_EQ(corpo.linhas[2].substr(0, 4), "0503");
  EXPECT_EQ(corpo.linhas[3].substr(0, 4), "0505");
  EXPECT_EQ(corpo.linhas[4], FormataDetalhe(r.usuarios[0], 0));
  EXPECT_EQ(corpo.rodape.QtdRegistros, 2 + 2 + 2);
  // Groups used: holders 101, 102, 201, 202 in group 1; 102, 103, 201 in group 2; none in 3; 103 in 4.
  EXPECT_EQ(corpo.rodape.Grupos[0].Quantidade, 4);
  EXPECT_EQ(corpo.rodape.Grupos[1].Quantidade, 3);
  EXPECT_EQ(corpo.rodape.Grupos[2].Quantidade, 0);
  EXPECT_EQ(corpo.rodape.Grupos[3].Quantidade, 1);

  const RegCabecalho recebido = Cabecalho(1234, "0056", "2");
  const std::string nome = NomePedido(1234, 56, {2007, 3, 5, 14, 9, 0}, ".REC");
  EXPECT_EQ(nome, "RM_001234_0056_0703051409_2.REC");
  const RegCabecalho h =
      CabecalhoPedido(recebido, {2026, 12, 10, 11, 5, 30}, {2026, 12, 10, 11, 6, 1}, nome, "2.1.1.C01G");
  EXPECT_EQ(h.DataCriacao + h.HoraCriacao + h.DataTermino + h.HoraTermino, "101226110530101226110601");
  EXPECT_EQ(h.NomeArquivo, nome);
  EXPECT_EQ(h.VersaoRemota, "2.1.1.C01G");
  EXPECT_EQ(h.NomeArquivo2, recebido.NomeArquivo2);
  EXPECT_EQ(h.ModoArredondamento, "2");
  EXPECT_EQ(h.Criptografado, 1);

  const V linhas = LinhasPedido(h, corpo);
  ASSERT_EQ(linhas.size(), corpo.linhas.size() + 2);
  EXPECT_EQ(linhas.front(), FormataCabecalho(h));
  EXPECT_EQ(linhas.back(), FormataTrailer(corpo.rodape));
}

TEST(Regras, OrderIsStableByteWiseAndKeysAreBuiltPerItem) {
  auto linha = [](int cod, int cartao, const char* nome, const char* mat, int tipo = 1, int tarifa = 3) {
    return RegListagem{cod, cartao, nome, mat, tipo, tarifa, 0, 0};
  };
  const std::vector<RegListagem> v = {
      linha(30, 5, "ZULMIRA", "12"), linha(10, 1, "\xC1LVARO", "120"), linha(20, 9, "beatriz", "9"),
      linha(40, 3, "BEATRIZ", "7"),  linha(50, 9, "beatriz", "9"),  // same name and card as row 2
      linha(5, 1, "A", "1", 1, 5),                                  // a later tariff sorts after all of tariff 3
  };
  EXPECT_EQ(OrdemClassificacao(v, Classificacao::Codigo), (std::vector<int>{1, 2, 0, 3, 4, 5}));
  EXPECT_EQ(OrdemClassificacao(v, Classificacao::Alfabetica), (std::vector<int>{3, 2, 4, 0, 1, 5}));
  EXPECT_EQ(OrdemClassificacao(v, Classificacao::Matricula), (std::vector<int>{1, 0, 3, 2, 4, 5}));
  EXPECT_EQ(ChaveClassificacao(v[1], Classificacao::Alfabetica), "00103\xC1LVARO00000000001");
  EXPECT_EQ(ClassificacaoDoItem(-1), Classificacao::Codigo);
  EXPECT_TRUE(OrdemClassificacao({}, Classificacao::Codigo).empty());
}

TEST(Regras, WriteBackGivesTheLastNamingRowToTheFirstGroupWithTheTariff) {
  Recebido r = RecebidoPadrao();
  r.usuarios = {
      Usuario(1, 11, "A", "M1", 1, {5, 0, 1}, {3, 0, 2}, {3, 0, 3}),  // tariff 3 first in group 2
      Usuario(2, 22, "B", "M2", 1, {3, 0, 4}),
      Usuario(2, 22, "B", "M2", 2, {3, 0, 5}),  // same names, another card type: untouched
      Usuario(3, 33, "C", "M3", 1, {3, 0, 6}),  // named by no row: keeps its value
  };
  Tabelas t = TabelasDe(r);
  const GradeTexto g = Grade({{" 1 ", "11", "M1", "", "", "7,5"},
                              {"2", "22", "M2", "", "", "8"},
                              {"2", "22", "M2", "", "", "9,25"},    // the later row wins
                              {"x", "33", "M3", "", "", "lixo"}});  // names nobody: never parsed
  std::vector<int> progresso;
  AtualizaValoresDaGrade(t, 4, g, 1, 3, [&](int n) { progresso.push_back(n); });
  EXPECT_DOUBLE_EQ(t.Usuarios[0].Grupos[0].ValorRecarga, 1);
  EXPECT_DOUBLE_EQ(t.Usuarios[0].Grupos[1].ValorRecarga, 7.5);
  EXPECT_DOUBLE_EQ(t.Usuarios[0].Grupos[2].ValorRecarga, 3);
  EXPECT_DOUBLE_EQ(t.Usuarios[1].Grupos[0].ValorRecarga, 9.25);
  EXPECT_DOUBLE_EQ(t.Usuarios[2].Grupos[0].ValorRecarga, 5);
  EXPECT_DOUBLE_EQ(t.Usuarios[3].Grupos[0].ValorRecarga, 6);
  EXPECT_EQ(progresso, std::vector<int>{4});

  const GradeTexto ruim = Grade({{"2", "22", "M2", "", "", "1.234,56"}});
  EXPECT_THROW(AtualizaValoresDaGrade(t, 4, ruim, 1, 3), ErroConversao);
}
