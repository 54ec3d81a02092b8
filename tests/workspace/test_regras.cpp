// The workspace's rules as plain functions over values: no window state, no files.
#include <gtest/gtest.h>

#include "ambiente.h"
#include "classificacao.h"
#include "pedido.h"
#include "totais.h"
#include "vista.h"

using namespace telvarim;
using namespace telvarim::teste;
using V = std::vector<std::string>;
using L = std::vector<LinhaVista>;

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

TEST(Regras, ViewTotalsPriceCreditsInFixedPointAndSkipFiguresThatDoNotFit) {
  Tabelas t;
  t.Usuarios[0].Grupos[0].ValorRecarga = 3;
  t.Usuarios[1].Grupos[2].ValorRecarga = 7.5;  // the row's own group, not group 1
  t.Usuarios[1].Grupos[0].ValorRecarga = 1000;
  t.Usuarios[2].Grupos[0].ValorRecarga = 1e300;  // no currency holds it
  const L linhas = {{0, 0}, {1, 2}, {2, 0}};
  const Totais credito = TotaisDasLinhas(t, linhas, true, MoedaDeDouble(1.15));
  EXPECT_DOUBLE_EQ(credito.dinheiro, 3 * 1.15 + 8.625);  // 7,5 × 1,15 = 8,625 exactly in ten-thousandths
  EXPECT_EQ(credito.creditos, 10);                       // whole credits, toward zero
  const Totais dinheiro = TotaisDasLinhas(t, linhas, false, 0);
  EXPECT_DOUBLE_EQ(dinheiro.dinheiro, 10.5);
  EXPECT_EQ(dinheiro.creditos, 0);
  EXPECT_EQ(TotaisDasLinhas(t, {}, true, MoedaDeDouble(1.15)).creditos, 0);
}

TEST(Regras, ViewShowsTheGroupOfTheTariffInTableOrder) {
  Recebido r = RecebidoPadrao();
  r.tarifas.push_back(Tarifa(0, "ZERO", 0));
  r.usuarios.push_back(Usuario(203, 9103, "EVA", "C3", 2, {0, 0, 0}, {5, 1, 0}, {5, 2, 0}));  // tariff 5 twice
  const Tabelas t = TabelasDe(r);
  const struct {
    std::int32_t tipo, tarifa;
    L linhas;
  } casos[] = {
      {1, 3, {{0, 0}, {1, 0}}},
      {1, 5, {{1, 1}, {2, 1}}},
      {1, 0, {{2, 0}}},  // tariff 0 shows group 1 of a money holder
      {2, 3, {{3, 0}}},
      {2, 5, {{3, 1}, {4, 0}, {5, 1}}},  // the first group with the tariff
      {2, 0, {}},                        // never for a credit type
      {1, 7, {}},
      {9, 3, {}},  // a card type no holder has
  };
  for (const auto& c : casos) EXPECT_EQ(MontaVista(t, 6, c.tipo, c.tarifa), c.linhas) << c.tipo << "/" << c.tarifa;
  EXPECT_EQ(MontaVista(t, 1, 1, 3), (L{{0, 0}}));  // only the holders loaded
  EXPECT_EQ(GrupoMostrado(t.Usuarios[2], 0, false), -1);
}

TEST(Regras, StoredValueIsWhatTheGridShows) {
  const RegTipoCartao dinheiro = Tipo(1, "D", 0), credito = Tipo(2, "C", 1), outro = Tipo(3, "O", 2);
  EXPECT_STREQ(FormatoDoTipo(dinheiro), "##0.00");
  EXPECT_STREQ(FormatoDoTipo(credito), "##0");
  EXPECT_STREQ(FormatoDoTipo(outro), "##0");
  const struct {
    const RegTipoCartao& tipo;
    const char* digitado;
    const char* guardado;
  } casos[] = {
      {dinheiro, "12,345", "12,35"}, {dinheiro, "12,344", "12,34"}, {dinheiro, "0,005", "0,01"},
      {dinheiro, "-0,005", "-0,01"}, {dinheiro, "600", "600"},      {credito, "12,5", "13"},
      {credito, "12,4999", "12"},    {credito, "0,5", "1"},         {credito, "-2,5", "-3"},
      {outro, "7,5", "8"},
  };
  for (const auto& c : casos) {
    const Moeda v = ValorGuardado(TextoParaMoeda(c.digitado), c.tipo);
    EXPECT_EQ(MoedaFormaCurta(v), c.guardado) << c.digitado;
    // The grid's text of the value kept is the text of the value typed: what is shown is what is stored.
    EXPECT_EQ(FormataMoeda(v, FormatoDoTipo(c.tipo)), FormataMoeda(TextoParaMoeda(c.digitado), FormatoDoTipo(c.tipo)))
        << c.digitado;
  }
}

TEST(Regras, ChoiceTextsCarryTheCodes) {
  EXPECT_EQ(TextoTipoCartao(Tipo(4, "QUATRO", 0)), "004 - QUATRO" + std::string(44, ' '));
  EXPECT_EQ(TextoTipoCartao(Tipo(120, "SENIOR", 1)), "120 - SENIOR" + std::string(44, ' '));
  EXPECT_EQ(TextoTarifa(Tarifa(2, "URBANA", 2.30)), "02 - URBANA     - 2,30");
  EXPECT_EQ(TextoTarifa(Tarifa(14, "EXECUTIVO", 1234.5)), "14 - EXECUTIVO  - 1.234,50");
  EXPECT_EQ(TextoTarifa(Tarifa(0, "ZERO", 9)), "00 - ZERO      ");  // tariff 0 has no price
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

TEST(Regras, OrderIsStableAndKeysAreBuiltPerItem) {
  auto linha = [](int cod, int cartao, const char* nome, const char* mat, int tipo = 1, int tarifa = 3) {
    return RegListagem{cod, cartao, nome, mat, tipo, tarifa, 0, 0};
  };
  const std::vector<RegListagem> v = {
      linha(30, 5, "ZULMIRA", "12"), linha(10, 1, "\xC1LVARO", "120"), linha(20, 9, "beatriz", "9"),
      linha(40, 3, "BEATRIZ", "7"),  linha(50, 9, "beatriz", "9"),  // same name and card as row 2
      linha(5, 1, "A", "1", 1, 5),                                  // a later tariff sorts after all of tariff 3
  };
  EXPECT_EQ(OrdemClassificacao(v, Classificacao::Codigo), (std::vector<int>{1, 2, 0, 3, 4, 5}));
  EXPECT_EQ(OrdemClassificacao(v, Classificacao::Alfabetica), (std::vector<int>{1, 3, 2, 4, 0, 5}));
  EXPECT_EQ(OrdemClassificacao(v, Classificacao::Matricula), (std::vector<int>{3, 2, 4, 0, 1, 5}));
  // The name folded and padded to its 50 characters; a numeric matrícula as its number in 20 digits, marked
  // to come before the text ones.
  EXPECT_EQ(ChaveClassificacao(v[1], Classificacao::Alfabetica), "00103ALVARO" + std::string(44, ' ') + "00000000001");
  EXPECT_EQ(ChaveClassificacao(v[1], Classificacao::Matricula), "001030" + std::string(17, '0') + "12000000000001");
  EXPECT_EQ(ChaveClassificacao(linha(1, 2, "X", " m3 "), Classificacao::Matricula),
            "001031M3" + std::string(18, ' ') + "00000000002");
  EXPECT_EQ(ClassificacaoDoItem(-1), Classificacao::Codigo);
  EXPECT_TRUE(OrdemClassificacao({}, Classificacao::Codigo).empty());
}

TEST(Regras, FoldedTextDropsCaseAndAccents) {
  const std::pair<const char*, const char*> casos[] = {
      {"\xE1lvaro", "ALVARO"},         {"CONCEI\xC7\xC3O", "CONCEICAO"},
      {"\xEAnio \xFC\xF1", "ENIO UN"}, {"\xC6sir \x9C\xDF", "AESIR OESS"},
      {"d'\xC1vila-2", "D'AVILA-2"},   {"", ""},
  };
  for (const auto& [texto, dobrado] : casos) EXPECT_EQ(DobraTexto(texto), dobrado) << texto;
}
