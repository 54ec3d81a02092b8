#include <gtest/gtest.h>

#include "ambiente.h"

using namespace telvarim;
using namespace telvarim::teste;
using V = std::vector<std::string>;

namespace {

class Classificacao : public Workspace {
 protected:
  V Coluna(const CadastroTelvarim& c, int col) {
    V v;
    for (int r = 1; r < c.sgRecarga.RowCount(); ++r) v.push_back(c.sgRecarga.Cell(col, r));
    return v;
  }
  CadastroTelvarim& Ordena(int item) {
    cad->rbClassificacao = item;
    cad->rbClassificacaoClick();
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

TEST_F(Classificacao, OrdersByCodeNameOrEmployeeNumberInCp1252Bytes) {
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
    CadastroTelvarim& c = Ordena(caso.item);
    EXPECT_EQ(Coluna(c, 0), caso.codigos) << caso.item;
  }
  EXPECT_EQ(op.status.back(), "Grid Classificado");
  EXPECT_NE(std::find(op.status.begin(), op.status.end(), "Classificando Grid. Aguarde!!!"), op.status.end());
}

TEST_F(Classificacao, EmployeeNumberKeyRunsIntoTheCardNumber) {
  Recebido r = RecebidoPadrao();
  r.usuarios = {Usuario(1, 5, "A", "12", 1, {3, 0, 0}), Usuario(2, 1, "B", "120", 1, {3, 0, 0})};
  Processa(r);
  // "12" + "00000000005" against "120" + "00000000001": equal up to "120", then '0' < '1'.
  EXPECT_EQ(Coluna(Ordena(2), 0), (V{"2", "1"}));
}

TEST_F(Classificacao, RowsKeepTheirOwnFiguresAndTypedValues) {
  CadastroTelvarim& c = Processa(Nomes());
  c.sgRecarga.SetCell(5, 2, "3,5");  // ÁLVARO's value, typed but not confirmed
  Ordena(1);
  EXPECT_EQ(Coluna(c, 0).back(), "10");
  EXPECT_EQ(c.sgRecarga.Cell(5, 4), "3,50");
  EXPECT_EQ(c.sgRecarga.Cell(6, 4), "77,00");  // the last recharge travelled with its holder
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[1].Grupos[0].ValorRecarga, 3.5);
  EXPECT_EQ(c.sgRecarga.RowCount(), 5);
  EXPECT_EQ(c.sgRecarga.Cell(6, 0), "Vlr.Última Rec"_cp);
  EXPECT_EQ(tabelas.Listagem[3].CodUsuario, 10);
  EXPECT_EQ(tabelas.Listagem[3].TipoCartao, 1);

  // "Atualiza valor com a última recarga" copies each holder's own last recharge.
  c.BitBtn1Click();
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[1].Grupos[0].ValorRecarga, 77);

  // After ordering, Enter no longer quick-stores a row that is not at its holder's position...
  c.sgRecarga.Row = 1;
  c.sgRecarga.SetCell(5, 1, "9");
  c.sgRecargaKeyPress('\r');
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[3].Grupos[0].ValorRecarga, 10);  // BEATRIZ keeps her value for now
  c.sgRecargaExit();
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[3].Grupos[0].ValorRecarga, 9);  // ...the write-back brings it
}

TEST_F(Classificacao, OneRowIsRebuiltAndAnEmptyGridIsLeftAlone) {
  Recebido r = RecebidoPadrao();
  r.usuarios.resize(1);
  CadastroTelvarim& c = Processa(r);
  c.sgRecarga.SetColWidth(3, 10);
  Ordena(1);
  EXPECT_EQ(c.sgRecarga.RowCount(), 2);
  EXPECT_EQ(c.sgRecarga.ColWidth(3), 240);

  c.cbtarifa.ItemIndex = 1;  // tariff 5: nobody of type 1 left to show
  c.cbtarifaChange();
  Ordena(2);
  EXPECT_TRUE(op.Textos().empty());
  EXPECT_EQ(c.sgRecarga.RowCount(), 2);
}

TEST_F(Classificacao, CellThatIsNotANumberLeavesTheGridAsItWas) {
  CadastroTelvarim& c = Processa(Nomes());
  c.sgRecarga.SetCell(4, 3, "x");
  Ordena(1);
  EXPECT_EQ(op.Textos(OperadorRoteirizado::Aviso::Tipo::Erro).size(), 1u);
  EXPECT_EQ(Coluna(c, 0), (V{"30", "10", "20", "40"}));
}
