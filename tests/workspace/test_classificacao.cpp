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

TEST_F(Ordenacao, OrdersByCodeNameOrEmployeeNumberInCp1252Bytes) {
  Processa(Nomes());
  struct Caso {
    int item;
    V codigos;
  } casos[] = {
      {0, {"10", "20", "30", "40"}},
      {1, {"40", "20", "30", "10"}},  // BEATRIZ card 3 before beatriz card 9; ÁLVARO after ZULMIRA
      {2, {"10", "30", "40", "20"}},  // "120"+card 1 sorts before "12"+card 5
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

TEST_F(Ordenacao, EmployeeNumberKeyRunsIntoTheCardNumber) {
  Recebido r = RecebidoPadrao();
  r.usuarios = {Usuario(1, 5, "A", "12", 1, {3, 0, 0}), Usuario(2, 1, "B", "120", 1, {3, 0, 0})};
  Processa(r);
  // "12" + "00000000005" against "120" + "00000000001": equal up to "120", then '0' < '1'.
  Ordena(2);
  EXPECT_EQ(Coluna(0), (V{"2", "1"}));
}

TEST_F(Ordenacao, RowsKeepTheirOwnFiguresAndTypedValues) {
  CadastroTelvarim& c = Processa(Nomes());
  ASSERT_TRUE(c.DigitaValor(1, "3,5").Feito());  // ÁLVARO's value
  Ordena(1);
  EXPECT_EQ(Coluna(0).back(), "10");
  EXPECT_EQ(c.TextoCelula(3, 5), "3,50");
  EXPECT_EQ(c.TextoCelula(3, 6), "77,00");  // the last recharge travelled with its holder
  EXPECT_EQ(c.UsuarioDaLinha(3).CodUsuario, 10);
  EXPECT_DOUBLE_EQ(Valor(1), 3.5);
  EXPECT_EQ(c.QtdLinhas(), 4);
  EXPECT_EQ(c.TituloColuna(6), "Vlr.Última Rec"_cp);
  EXPECT_EQ(tabelas.Listagem[3].CodUsuario, 10);
  EXPECT_EQ(tabelas.Listagem[3].TipoCartao, 1);
  EXPECT_DOUBLE_EQ(tabelas.Listagem[3].ValorRecarga, 3.5);

  // "Atualiza valor com a última recarga" copies each holder's own last recharge.
  c.CopiaUltimasRecargas();
  EXPECT_DOUBLE_EQ(Valor(1), 77);

  // After ordering, a value typed on a row reaches the holder that row shows, at once: BEATRIZ (40) is
  // first by name but fourth in the table.
  ASSERT_EQ(c.TextoCelula(0, 0), "40");
  ASSERT_TRUE(c.DigitaValor(0, "9").Feito());
  EXPECT_DOUBLE_EQ(Valor(3), 9);
  EXPECT_DOUBLE_EQ(Valor(0), 10);
  EXPECT_EQ(c.TextoCelula(0, 5), "9,00");
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
