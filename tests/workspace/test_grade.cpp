#include <gtest/gtest.h>

#include <random>

#include "ambiente.h"

using namespace telvarim;
using namespace telvarim::teste;
using TipoAviso = OperadorRoteirizado::Aviso::Tipo;

namespace {

class Grade : public Workspace {
 protected:
  // Shows card type `tipo` (combo position) and tariff `tarifa` (combo position).
  void Mostra(CadastroTelvarim& c, int tipo, int tarifa) {
    c.cbtipocartao.ItemIndex = tipo;
    c.cbtarifa.ItemIndex = tarifa;
    c.cbtarifaChange();
  }
  std::vector<std::string> Coluna(const CadastroTelvarim& c, int col) {
    std::vector<std::string> v;
    for (int r = 1; r < c.sgRecarga.RowCount(); ++r) v.push_back(c.sgRecarga.Cell(col, r));
    return v;
  }
  void Digita(CadastroTelvarim& c, int row, const std::string& texto, int col = 5) {
    c.sgRecarga.Row = row;
    c.sgRecarga.Col = col;
    if (col == 5) c.sgRecarga.SetCell(5, row, texto);
    c.sgRecargaKeyPress('\r');
  }
};

using V = std::vector<std::string>;

}  // namespace

TEST_F(Grade, HoldersShowTheGroupWithTheChosenTariff) {
  Recebido r = RecebidoPadrao();
  r.tarifas.push_back(Tarifa(0, "ZERO", 0));
  CadastroTelvarim& c = Processa(r);
  struct Caso {
    int tipo, tarifa;
    V codigos, cmm;
  } casos[] = {
      {0, 0, {"101", "102"}, {"50", "40"}},  // money type, tariff 3: group 1
      {0, 1, {"102", "103"}, {"0", "0"}},    // tariff 5: group 2 of both (7 and 9 centavos: 0 whole reais)
      {0, 2, {"103"}, {"0"}},                // tariff 0 shows group 1 with tariff 0 for a money type
      {1, 0, {"201"}, {"30"}},
      {1, 1, {"201", "202"}, {"4", "20"}},
      {1, 2, {""}, {""}},  // not for a credit type: one empty row
  };
  for (const auto& caso : casos) {
    Mostra(c, caso.tipo, caso.tarifa);
    EXPECT_EQ(Coluna(c, 0), caso.codigos) << caso.tipo << "/" << caso.tarifa;
    EXPECT_EQ(Coluna(c, 4), caso.cmm) << caso.tipo << "/" << caso.tarifa;
    EXPECT_EQ(c.lblqtdrec.Caption, caso.codigos[0].empty() ? "0" : std::to_string(caso.codigos.size()));
    EXPECT_EQ(c.sgRecarga.RowCount(), static_cast<int>(caso.codigos.size()) + 1);
  }
  EXPECT_EQ(c.lbltipo.Caption, c.cbtipocartao.Items[1]);
  EXPECT_EQ(c.lbltarifa.Caption, "00 - ZERO      ");
}

TEST_F(Grade, ColumnsTitlesAndFormatsFollowTheCardType) {
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  EXPECT_EQ(c.sgRecarga.ColCount(), 9);
  EXPECT_EQ(c.sgRecarga.Cell(5, 0), "Valor");
  EXPECT_EQ(c.sgRecarga.Cell(6, 0), "Vlr.Última Rec"_cp);
  EXPECT_EQ(c.sgRecarga.Cell(8, 0), "Vlr.Antipenúltima Rec"_cp);
  EXPECT_EQ(Coluna(c, 5), (V{"12,34", "0,00"}));
  EXPECT_EQ(Coluna(c, 6), (V{"10,00", "10,00"}));
  EXPECT_EQ(c.sgRecarga.Cell(3, 1), "ZULMIRA" + std::string(43, ' '));
  EXPECT_EQ(c.FormatoValor, "##0.00");
  EXPECT_EQ(c.edalteravlr, "0,00");
  EXPECT_EQ(c.sgRecarga.ColWidth(3), 240);

  Mostra(c, 1, 1);
  EXPECT_EQ(c.sgRecarga.ColCount(), 18);
  EXPECT_EQ(c.sgRecarga.Cell(5, 0), "Créditos"_cp);
  EXPECT_EQ(c.sgRecarga.Cell(6, 0), "Vlr.Última Rec Grupo1 "_cp);
  EXPECT_EQ(c.sgRecarga.Cell(17, 0), "Vlr.Antipenúltima Rec Grupo4"_cp);
  EXPECT_EQ(c.sgRecarga.ColWidth(17), 100);
  EXPECT_EQ(Coluna(c, 5), (V{"3", "7"}));
  EXPECT_EQ(Coluna(c, 6), (V{"40", "10"}));  // group 2 of holder 201: its own last recharges
  EXPECT_EQ(Coluna(c, 9), (V{"", ""}));
  EXPECT_EQ(c.edalteravlrDecimais, 0);

  Mostra(c, 0, 0);  // back to money: 18 columns stay, titles beyond 8 are empty
  EXPECT_EQ(c.sgRecarga.ColCount(), 18);
  EXPECT_EQ(c.sgRecarga.Cell(9, 0), "");
  EXPECT_EQ(c.sgRecarga.Cell(6, 0), "Vlr.Última Rec"_cp);
}

TEST_F(Grade, CellAlignmentAndEditableColumn) {
  using A = CadastroTelvarim::Alinhamento;
  EXPECT_EQ(CadastroTelvarim::AlinhamentoCelula(3, 0), A::Centro);
  EXPECT_EQ(CadastroTelvarim::AlinhamentoCelula(2, 4), A::Esquerda);
  EXPECT_EQ(CadastroTelvarim::AlinhamentoCelula(3, 4), A::Esquerda);
  EXPECT_EQ(CadastroTelvarim::AlinhamentoCelula(5, 4), A::Direita);
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  EXPECT_TRUE(c.sgRecargaSelectCell(5, 1));
  EXPECT_TRUE(c.sgRecarga.Editing);
  EXPECT_TRUE(c.sgRecargaSelectCell(3, 1));
  EXPECT_FALSE(c.sgRecarga.Editing);
}

TEST_F(Grade, CreditPriceFollowsTheFileRoundingMode) {
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  programa.ModoArredondamento = 1;
  tabelas.TiposCartao[2].PercentualTarifa = 53.00;
  EXPECT_DOUBLE_EQ(c.PrecoCredito(2, 3), 1.22);  // 53 % of 2,30 = 1,219
  programa.ModoArredondamento = 2;
  EXPECT_DOUBLE_EQ(c.ArredondaValor(1.2399, 2), 1.23);
}

TEST_F(Grade, EnterChecksFormatsAndStoresTheValue) {
  struct Caso {
    int tipo;
    const char* digitado;
    const char* celula;
    std::vector<std::string> avisos;
    bool desce;
  } casos[] = {
      {0, "12.5", "12,50", {}, true},
      {0, "600", "600,00", {}, true},
      {0, "600,01", "0,00", {"Valor Maior que o Permitido(R$600,00) - Verifique!"}, false},
      {0, "abc", "0,00", {"Valor Inválido - Verifique!"_cp}, false},
      {0, "-3", "3", {" Não é possível gerar recarga com valor menor do que 0.00 "_cp}, false},
      {0, "-3.5", "-3,50", {}, true},  // the full stop hides the sign from the first test
      {1, "12,5", "13", {}, true},
      {1, "250", "250", {}, true},
      {1, "251", "0", {"Valor Maior que o Permitido(250) - Verifique!"}, false},
  };
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.digitado);
    Mostra(c, caso.tipo, caso.tipo == 0 ? 0 : 1);  // rows that show group 1 of a money holder
    op.avisos.clear();
    Digita(c, 1, caso.digitado);
    EXPECT_EQ(c.sgRecarga.Cell(5, 1), caso.celula);
    EXPECT_EQ(op.Textos(), caso.avisos);
    EXPECT_EQ(c.sgRecarga.Row, caso.desce ? 2 : 1);
  }
  EXPECT_EQ(op.avisos.size(), 1u);
  // A negative value becomes positive and waits; the next Enter validates it.
  Mostra(c, 0, 0);
  Digita(c, 1, "-3");
  EXPECT_EQ(c.sgRecarga.Row, 1);
  c.sgRecargaKeyPress('\r');
  EXPECT_EQ(c.sgRecarga.Cell(5, 1), "3,00");
  EXPECT_EQ(c.sgRecarga.Row, 2);
  // "Valor Inválido" is an error box; the others are plain notices.
  Mostra(c, 0, 0);
  op.avisos.clear();
  Digita(c, 1, "x");
  EXPECT_EQ(op.avisos[0].tipo, TipoAviso::Erro);
}

TEST_F(Grade, EnterOnTheLastRowStaysAndOnANameCellValidatesTheValue) {
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  Digita(c, 2, "5");
  EXPECT_EQ(c.sgRecarga.Row, 2);
  EXPECT_EQ(c.sgRecarga.Col, 5);
  c.sgRecarga.SetCell(5, 1, "7");
  Digita(c, 1, "", 3);
  EXPECT_EQ(c.sgRecarga.Cell(5, 1), "7,00");
  EXPECT_EQ(c.sgRecarga.Row, 2);
  EXPECT_EQ(c.sgRecarga.Col, 5);
  c.sgRecargaKeyPress('a');  // other keys pass through untouched
  EXPECT_EQ(c.sgRecarga.Cell(5, 2), "5,00");
  c.sgRecarga.Col = 2;
  c.sgRecargaKeyDown(CadastroTelvarim::Tecla::Cima);
  EXPECT_EQ(c.sgRecarga.Col, 5);
}

TEST_F(Grade, QuickStoreOnlyWhileRowsStandAtTheirHolders) {
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  Digita(c, 1, "20");
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[0].Grupos[0].ValorRecarga, 20);
  EXPECT_EQ(c.lblgervlrdig.Caption, "87,60");  // totals follow every Enter: 20 + 12 × 2,30 + 3 × 4,00 + 7 × 4,00
  EXPECT_EQ(c.lblvlrrecdig.Caption, "20,00");

  // Row 2 shows holder 102, the second holder: its position matches, so it is stored too.
  Digita(c, 2, "1");
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[1].Grupos[0].ValorRecarga, 1);

  // Credit tariff 5 rows are holders 201 and 202, at table positions 3 and 4, not 0 and 1: nothing
  // quick-stored.
  Mostra(c, 1, 1);
  Digita(c, 1, "9");
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[3].Grupos[1].ValorRecarga, 3);
  c.sgRecargaExit();  // leaving the grid writes back
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[3].Grupos[1].ValorRecarga, 9);
}

TEST_F(Grade, WriteBackMatchesComparingEveryHolderWithEveryRow) {
  // Holders with repeated codes and rows that repeat, miss or disagree: the result must be the one the
  // holder-by-row comparison gives (last matching row wins, first group with the tariff).
  Recebido r = RecebidoPadrao();
  std::mt19937 rng(7);
  r.usuarios.clear();
  for (int i = 0; i < 60; ++i) {
    int cod = 1 + static_cast<int>(rng() % 8), cartao = 100 + static_cast<int>(rng() % 3);
    r.usuarios.push_back(Usuario(cod, cartao, "N", "M" + std::to_string(rng() % 2), 1, {3, 1, 0}, {3, 2, 0}));
  }
  CadastroTelvarim& c = Processa(r);
  Tabelas antes = tabelas;
  const int linhas = 40;
  c.sgRecarga.SetRowCount(linhas + 1);
  for (int j = 1; j <= linhas; ++j) {
    c.sgRecarga.SetCell(0, j, " " + std::to_string(1 + rng() % 9) + " ");
    c.sgRecarga.SetCell(1, j, std::to_string(100 + rng() % 3));
    c.sgRecarga.SetCell(2, j, "M" + std::to_string(rng() % 3));
    c.sgRecarga.SetCell(5, j, std::to_string(j) + ",5");
  }
  c.AtualizaArrayRecargas();
  for (int i = 0; i < c.QtdUsuarios; ++i) {
    RegUsuario u = antes.Usuarios[static_cast<std::size_t>(i)];
    for (int j = 1; j <= linhas; ++j)
      for (auto& g : u.Grupos)
        if (InteiroOuPadrao(Trim(c.sgRecarga.Cell(0, j)), -1) == u.CodUsuario &&
            InteiroOuPadrao(Trim(c.sgRecarga.Cell(1, j)), -1) == u.NumCartao && c.sgRecarga.Cell(2, j) == u.Matricula &&
            g.Tarifa == 3) {
          g.ValorRecarga = DoubleDeMoeda(TextoParaMoeda(c.sgRecarga.Cell(5, j)));
          break;
        }
    for (int g = 0; g < 4; ++g)
      EXPECT_DOUBLE_EQ(tabelas.Usuarios[static_cast<std::size_t>(i)].Grupos[static_cast<std::size_t>(g)].ValorRecarga,
                       u.Grupos[static_cast<std::size_t>(g)].ValorRecarga)
          << i << " " << g;
  }
  EXPECT_FALSE(c.ProgressoVisivel);
  EXPECT_TRUE(c.ControlesHabilitados);
  EXPECT_EQ(c.Label19.Caption, "Registros Atualizados: ");
  EXPECT_EQ(c.Label18.Caption, "60");
}

TEST_F(Grade, WriteBackStopsAtAValueThatDoesNotParse) {
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  c.sgRecarga.SetCell(5, 1, "8");
  c.sgRecarga.SetCell(5, 2, "1.234,56");
  EXPECT_THROW(c.AtualizaArrayRecargas(), ErroConversao);
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[0].Grupos[0].ValorRecarga, 8);  // holders before the bad one keep theirs
  EXPECT_FALSE(c.ProgressoVisivel);
  EXPECT_TRUE(c.ControlesHabilitados);
}

TEST_F(Grade, TotalsOfTheGridAndOfTheWholeFile) {
  Recebido r = RecebidoPadrao();
  r.tipos[1].PercentualTarifa = 50;  // one credit of type 2 costs half the tariff
  r.usuarios[0].Grupos[0].ValorRecarga = 15.50;
  CadastroTelvarim& c = Processa(r);
  // Money: 15,50; credits: holder 201 12 at 1,15 + 3 at 2,00, holder 202 7 at 2,00.
  EXPECT_EQ(c.lblgervlrdig.Caption, "49,30");
  EXPECT_EQ(c.lblgerqtddig.Caption, "22");
  EXPECT_EQ(c.lblvlrrecdig.Caption, "15,50");
  EXPECT_EQ(c.lblqtdrecdig.Caption, "0");
  Mostra(c, 1, 1);
  EXPECT_EQ(c.lblvlrrecdig.Caption, "20,00");  // (3 + 7) × 2,00
  EXPECT_EQ(c.lblqtdrecdig.Caption, "10");
  c.sgRecarga.SetCell(5, 2, "lixo");  // a row that does not parse adds nothing
  c.CalculaGrid();
  EXPECT_EQ(c.lblqtdrecdig.Caption, "3");
  EXPECT_TRUE(c.btnimpressaoEnabled);
  c.ImportandoArquivo = true;
  c.CalculaRecargasGeral();
  EXPECT_FALSE(c.btnimpressaoEnabled);
  EXPECT_FALSE(c.btnimportararqEnabled);
}

TEST_F(Grade, DefaultValueAndLastRechargeFillEveryRow) {
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  c.edalteravlr = "-1,00";
  c.btnalteravlrClick();
  EXPECT_EQ(op.Textos(), V{" Não é possível gerar recarga com valor menor do que 0.00 "_cp});
  EXPECT_EQ(Coluna(c, 5), (V{"12,34", "0,00"}));

  c.edalteravlr = "700,00";  // above the maximum: the check belongs to leaving the edit only
  c.btnalteravlrClick();
  EXPECT_EQ(Coluna(c, 5), (V{"700,00", "700,00"}));
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[1].Grupos[0].ValorRecarga, 700);
  EXPECT_EQ(op.log.back(), "Inserido Valor Padrão - Tipo : 1 - Tarifa : 3 - Valor : 700,00"_cp);
  EXPECT_FALSE(c.edalteravlrExit());
  EXPECT_EQ(op.Textos().back(), "Valor Maior para o Tipo de Cartão (600,00) - Verifique!"_cp);
  c.edalteravlr = "600,00";
  EXPECT_TRUE(c.edalteravlrExit());

  c.BitBtn1Click();
  EXPECT_EQ(Coluna(c, 5), (V{"10,00", "10,00"}));
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[0].Grupos[0].ValorRecarga, 10);
  EXPECT_EQ(op.log.back(), "Atualizando valor com o último pedido - Tipo : 1 - Tarifa : 3"_cp);
}
