#include <gtest/gtest.h>

#include "ambiente.h"

using namespace telvarim;
using namespace telvarim::teste;
using V = std::vector<std::string>;

namespace {

class Ordenacao : public Workspace {
 protected:
  // Orders the view by the radio group's item (0 code, 1 name, 2 matrícula).
  CadastroTelvarim& Ordena(int item) {
    resultado = cad->Classifica(ClassificacaoDoItem(item));
    return *cad;
  }
};

Recebido Nomes() {
  Recebido r = RecebidoPadrao();
  r.usuarios = {
      Usuario(30, 5, "ZULMIRA", "12", 1, {3, 1, 0}),
      Usuario(10, 1, "\xC1LVARO", "120", 1, {3, 2, 0}),
      Usuario(20, 9, "beatriz", "9", 1, {3, 3, 0}),
      Usuario(40, 3, "BEATRIZ", "7", 1, {3, 4, 0}),
  };
  r.usuarios[1].UltimasRecargas[0] = 77;
  return r;
}

}  // namespace

TEST_F(Ordenacao, OrdersByCodeNameOrEmployeeNumberAsAReaderExpects) {
  Processa(Nomes());
  struct Caso {
    int item;
    V codigos;
  } casos[] = {
      {0, {"10", "20", "30", "40"}},
      {1, {"10", "40", "20", "30"}},  // ÁLVARO with the As; BEATRIZ card 3 before beatriz card 9
      {2, {"40", "20", "30", "10"}},  // 7, 9, 12, 120
  };
  for (const auto& caso : casos) {
    const unsigned mudancas = cad->MudancasVista();
    CadastroTelvarim& c = Ordena(caso.item);
    EXPECT_TRUE(resultado.Feito());
    EXPECT_EQ(Coluna(0), caso.codigos) << caso.item;
    EXPECT_EQ(c.Ordem, ClassificacaoDoItem(caso.item));
    EXPECT_GT(c.MudancasVista(), mudancas) << "a view shown elsewhere is rebuilt";
  }
  EXPECT_EQ(op.status.back(), "Grid Classificado");
  EXPECT_NE(std::find(op.status.begin(), op.status.end(), "Classificando Grid. Aguarde!!!"), op.status.end());
}

TEST_F(Ordenacao, NamesIgnoreCaseAndAccentsAndShorterNamesComeFirst) {
  Recebido r = RecebidoPadrao();
  const char* nomes[] = {"ZULMIRA",
                         "\xC9"
                         "DSON",
                         "ana maria",
                         "\xC1LVARO",
                         "ANA",
                         "Edson",
                         "alberto",
                         "\xC7"
                         "ARLOS"};
  r.usuarios.clear();
  for (int i = 0; i < 8; ++i) r.usuarios.push_back(Usuario(i + 1, 20 - i, nomes[i], "1", 1, {3, 0, 0}));
  Processa(r);
  Ordena(1);
  // ALBERTO, ÁLVARO, ANA, ANA MARIA, ÇARLOS, then Edson (card 15) before ÉDSON (card 19), ZULMIRA.
  EXPECT_EQ(Coluna(0), (V{"7", "4", "5", "3", "8", "6", "2", "1"}));
}

TEST_F(Ordenacao, NumericEmployeeNumbersInNumericOrderOthersAfterThemAsText) {
  Recebido r = RecebidoPadrao();
  const char* matriculas[] = {"831840",
                              "M3",
                              "8527",
                              "m10",
                              "120",
                              "",
                              "0012",
                              "\xC1"
                              "1"};
  r.usuarios.clear();
  for (int i = 0; i < 8; ++i) r.usuarios.push_back(Usuario(i + 1, 9 - i, "X", matriculas[i], 1, {3, 0, 0}));
  Processa(r);
  Ordena(2);
  // 12, 120, 8527, 831840; then as text: "", Á1, m10, M3.
  EXPECT_EQ(Coluna(2), (V{"0012", "120", "8527", "831840", "",
                          "\xC1"
                          "1",
                          "m10", "M3"}));
  // 12 with card 5 and 120 with card 1: the numbers decide, not the card numbers after them.
  Recebido doze = RecebidoPadrao();
  doze.usuarios = {Usuario(1, 5, "A", "12", 1, {3, 0, 0}), Usuario(2, 1, "B", "120", 1, {3, 0, 0})};
  Processa(doze);
  Ordena(2);
  EXPECT_EQ(Coluna(0), (V{"1", "2"}));
}

TEST_F(Ordenacao, RowsKeepTheirOwnFiguresAndTypedValues) {
  CadastroTelvarim& c = Processa(Nomes());
  ASSERT_TRUE(c.DigitaValor(1, "3,5").Feito());  // ÁLVARO's value
  Ordena(1);
  EXPECT_EQ(Coluna(0).front(), "10");
  EXPECT_EQ(c.TextoCelula(0, 5), "3,50");
  EXPECT_EQ(c.TextoCelula(0, 6), "77,00");  // the last recharge travelled with its holder
  EXPECT_EQ(c.UsuarioDaLinha(0).CodUsuario, 10);
  EXPECT_DOUBLE_EQ(Valor(1), 3.5);
  EXPECT_EQ(c.QtdLinhas(), 4);
  EXPECT_EQ(c.TituloColuna(6), "Vlr.Última Rec"_cp);
  EXPECT_EQ(tabelas.Listagem[0].CodUsuario, 10);
  EXPECT_EQ(tabelas.Listagem[0].TipoCartao, 1);
  EXPECT_DOUBLE_EQ(tabelas.Listagem[0].ValorRecarga, 3.5);

  // "Atualiza valor com a última recarga" copies each holder's own last recharge.
  c.CopiaUltimasRecargas();
  EXPECT_DOUBLE_EQ(Valor(1), 77);

  // After ordering, a value typed on a row reaches the holder that row shows, at once: BEATRIZ (40) is
  // second by name but fourth in the table.
  ASSERT_EQ(c.TextoCelula(1, 0), "40");
  ASSERT_TRUE(c.DigitaValor(1, "9").Feito());
  EXPECT_DOUBLE_EQ(Valor(3), 9);
  EXPECT_DOUBLE_EQ(Valor(0), 10);
  EXPECT_EQ(c.TextoCelula(1, 5), "9,00");
}

TEST_F(Ordenacao, OneRowAndAnEmptyViewOrderWithoutComplaint) {
  Recebido r = RecebidoPadrao();
  r.usuarios.resize(1);
  CadastroTelvarim& c = Processa(r);
  Ordena(1);
  EXPECT_TRUE(resultado.Feito());
  EXPECT_EQ(Coluna(0), V{"101"});

  Mostra(1, 5);  // tariff 5: nobody of type 1 left to show
  Ordena(2);
  EXPECT_TRUE(resultado.Feito());
  EXPECT_TRUE(op.Textos().empty());
  EXPECT_EQ(c.QtdLinhas(), 0);
}
