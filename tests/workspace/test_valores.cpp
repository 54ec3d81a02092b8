// One copy of every value: what the grid shows, the totals count, the listing prints and the request carries
// is the holder's own figure, whichever way it got there (typed, imported, defaulted, copied, resumed) and
// whichever view is on screen. Each case here is one way the two copies of the past disagreed.
#include <gtest/gtest.h>

#include <algorithm>

#include "ambiente.h"
#include "amostra.h"

namespace fs = std::filesystem;
using namespace telvarim;
using namespace telvarim::teste;
using V = std::vector<std::string>;
using Estado = Resultado::Estado;

namespace {

const std::string kNegativo = " Não é possível gerar recarga com valor menor do que 0.00 "_cp;

class Valores : public Workspace {
 protected:
  const std::string recebido = "RM_001234_0056_0703051409_1.rec";

  // The detail of holder `codigo` in the last request or draft written.
  RegUsuario Detalhe(int codigo, bool rascunho = false) const {
    for (const RegUsuario& u : DetalhesGerados(rascunho))
      if (u.CodUsuario == codigo) return u;
    ADD_FAILURE() << "no detail for holder " << codigo;
    return {};
  }
  // The detail line of holder `codigo` in the last request or draft written.
  std::string LinhaDetalhe(int codigo, bool rascunho = false) const {
    const fs::path p = raiz / (rascunho ? "Rascunho" : "Gerados") / cad->ArquivoGerado;
    for (const std::string& l : LinhasDe(p, !rascunho))
      if (l.rfind("01", 0) == 0 && l.substr(2, 10) == FormataInteiro(codigo, "0000000000")) return l;
    ADD_FAILURE() << "no detail line for holder " << codigo;
    return std::string(kTamDetalhe, ' ');
  }
};

}  // namespace

// 12,50 credits imported are 13 credits: the grid showed 13 while the table kept 12,5, the totals counted
// 12 and the request, unless the credit view happened to be written back first, carried 12.
TEST_F(Valores, ImportedFractionalCreditsAreWholeCreditsEverywhere) {
  for (const bool vistaNaTela : {false, true}) {
    SCOPED_TRACE(vistaNaTela ? "credit view on screen" : "credit view never shown");
    fs::remove_all(raiz);
    op = {};
    Processa(RecebidoPadrao(), recebido);
    if (vistaNaTela) Mostra(2, 3);
    Importa({Registro(1, "C1", "12,50", "02")});  // holder 201, credit type 2
    ASSERT_TRUE(resultado.Feito()) << resultado.motivo;
    EXPECT_DOUBLE_EQ(Valor(3), 13);

    ASSERT_TRUE(cad->GeraPedido().Feito());  // with whichever view is on screen
    EXPECT_EQ(LinhaDetalhe(201).substr(135, 18), "000000000000000013");
    EXPECT_NE(std::find(op.log.begin(), op.log.end(), "Total em Créditos          ==>  23"_cp), op.log.end());

    Mostra(2, 3);
    EXPECT_EQ(Coluna(), V{"13"});
    EXPECT_EQ(cad->TotaisVista().creditos, 13);
    EXPECT_EQ(FormataPadrao(cad->TotaisVista().dinheiro, "###,##0.00"), "29,90");  // 13 × 2,30
    EXPECT_EQ(cad->TotaisArquivo().creditos, 13 + 3 + 7);
    EXPECT_EQ(FormataPadrao(cad->TotaisArquivo().dinheiro, "###,##0.00"), "82,24");  // 12,34 + 29,90 + 40,00
  }
}

// An import that fails keeps what the imports before it stored, and the view reads the holders: a row that
// once showed 0,00 after a refused value, never refreshed when the import stopped half way, was written back
// over the imported value.
TEST_F(Valores, FailedImportLeavesTheValuesAlreadyImported) {
  struct Caso {
    const char* nome;
    V linhas;  // empty: the value file cannot be opened
    double zulmira, beatriz;
  } casos[] = {
      {"file that cannot be opened", {}, 12.34, 0},
      {"records refused",
       {Registro(1, "NINGUEM", "1,00", "01"), Registro(2, "120", "600,01", "01"), "ABCDEFG",
        Registro(4, "120", "50,00", "01")},
       50,
       0},
      {"value no currency holds",
       {Registro(1, "120", "50,00", "01"), Registro(2, "12", "9999999999999999,00", "01"),
        Registro(3, "M3", "4,00", "01")},
       50,
       4},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    fs::remove_all(raiz);
    op = {};
    CadastroTelvarim& c = Processa(RecebidoPadrao(), recebido);  // view: 101 ZULMIRA (12,34), 102 ÁLVARO (0)
    Importa({Registro(1, "12", "8,00", "01")}, "primeiro.rrm");
    ASSERT_TRUE(resultado.Feito());
    ASSERT_EQ(Coluna(), (V{"12,34", "8,00"}));
    EXPECT_EQ(c.DigitaValor(0, "abc").estado, Estado::Recusado);
    EXPECT_EQ(Coluna(), (V{"12,34", "8,00"}));

    if (caso.linhas.empty()) {
      op.arquivos.push_back(TextoCaminho(raiz / "externo" / "nao-existe.rrm"));
      resultado = c.ImportaValores();
    } else {
      Importa(caso.linhas, "segundo.rrm");
    }
    EXPECT_EQ(resultado.estado, Estado::Falhou);
    EXPECT_DOUBLE_EQ(Valor(1), 8) << "the earlier import stays";
    EXPECT_DOUBLE_EQ(Valor(0), caso.zulmira);
    EXPECT_DOUBLE_EQ(Valor(2), caso.beatriz);
    EXPECT_EQ(Coluna(), (V{FormataPadrao(caso.zulmira, "##0.00"), "8,00"}));

    // Ordering and generating write nothing back: the request carries the holders' values.
    ASSERT_TRUE(c.Classifica(Classificacao::Alfabetica).Feito());
    ASSERT_TRUE(c.GeraPedido().Feito());
    EXPECT_DOUBLE_EQ(Detalhe(101).Grupos[0].ValorRecarga, caso.zulmira);
    EXPECT_DOUBLE_EQ(Detalhe(102).Grupos[0].ValorRecarga, 8);
    EXPECT_DOUBLE_EQ(Detalhe(103).Grupos[0].ValorRecarga, caso.beatriz);
  }
}

// "-700" in a money view with a maximum of 600,00: the old grid dropped the sign, kept "700" in the cell, and
// the next generation wrote it back unchecked: 70000 centavos reached the central system.
TEST_F(Valores, NegativeTypedAboveTheMaximumNeverReachesTheRequest) {
  CadastroTelvarim& c = Processa(RecebidoPadrao(), recebido);
  op.avisos.clear();
  // However many times it is typed, it is refused and leaves no trace.
  for (int vez = 0; vez < 2; ++vez) {
    const Resultado r = c.DigitaValor(0, "-700");
    EXPECT_EQ(r.estado, Estado::Recusado);
    EXPECT_EQ(r.motivo, kNegativo);
    EXPECT_DOUBLE_EQ(Valor(0), 12.34);
    EXPECT_EQ(c.TextoCelula(0, 5), "12,34");
  }
  EXPECT_EQ(op.Textos(), (V{kNegativo, kNegativo}));

  ASSERT_TRUE(c.GeraPedido().Feito());
  EXPECT_EQ(LinhaDetalhe(101).substr(135, 18), "000000000000001234");
  for (const RegUsuario& u : DetalhesGerados())
    for (const GrupoRecarga& g : u.Grupos) EXPECT_NE(g.ValorRecarga, 700) << u.CodUsuario;
  EXPECT_EQ(ListaArquivos(raiz / "Gerados", std::string(MascaraGerados)).size(), 1u);
}

// Two workspaces over the process's one set of tables: the holder index of an import belongs to the tables,
// so after another workspace refilled them the value goes to the holder with that matrícula now, not to the
// position it had in the file first loaded.
TEST_F(Valores, ImportAfterAnotherWorkspaceProcessedFindsTheHolderInTheTablesAsTheyStand) {
  Recebido x = RecebidoPadrao(), y = RecebidoPadrao();
  x.usuarios = {Usuario(1, 11, "PRIMEIRO", "M1", 1, {3, 0, 0}), Usuario(2, 22, "SEGUNDO", "M2", 1, {3, 0, 0})};
  y.usuarios = {x.usuarios[1], x.usuarios[0]};  // the same holders, the other way round
  GravaRecebido("X_1.rec", x.Linhas(), "a/Recebidos");
  GravaRecebido("Y_1.rec", y.Linhas(), "b/Recebidos");
  CadastroTelvarim a(op, PastasTrabalho(raiz / "a"), tabelas, programa, relogio, codecs);
  CadastroTelvarim b(op, PastasTrabalho(raiz / "b"), tabelas, programa, relogio, codecs);
  auto importa = [&](const std::string& nome, const std::string& valor) {
    op.arquivos.push_back(TextoCaminho(Grava(nome, Registro(1, "M1", valor, "01") + "\r\n")));
    return a.ImportaValores();
  };

  a.Abre();
  ASSERT_TRUE(a.Processa().Feito());
  ASSERT_TRUE(importa("um.rrm", "5,00").Feito());
  EXPECT_DOUBLE_EQ(Valor(0), 5);  // M1, first in file X

  b.Abre();
  ASSERT_TRUE(b.Processa().Feito());
  ASSERT_EQ(tabelas.Usuarios[0].Matricula, "M2");
  ASSERT_TRUE(importa("dois.rrm", "7,00").Feito());
  EXPECT_DOUBLE_EQ(Valor(1), 7);  // M1, second in file Y
  EXPECT_DOUBLE_EQ(Valor(0), 0) << "M2 got M1's value";
  std::vector<std::string> codigos, valores;
  for (int l = 0; l < a.QtdLinhas(); ++l) {
    codigos.push_back(a.TextoCelula(l, 0));
    valores.push_back(a.TextoCelula(l, 5));
  }
  EXPECT_EQ(codigos, (V{"2", "1"}));
  EXPECT_EQ(valores, (V{"0,00", "7,00"}));
}

// Card types and tariffs are chosen by code, whatever their order in the file, and their texts are built from
// the tables.
TEST_F(Valores, CardTypeAndTariffAreChosenByCode) {
  Recebido r = RecebidoPadrao();
  r.tipos = {Tipo(1, "UM", 0), Tipo(4, "QUATRO", 0)};
  r.tarifas = {Tarifa(7, "SETE", 1.5), Tarifa(2, "URBANA", 2.30), Tarifa(0, "SEM TARIFA", 0)};
  r.usuarios = {Usuario(101, 1, "A", "A", 1, {2, 0, 1}), Usuario(401, 2, "B", "B", 4, {7, 0, 2}),
                Usuario(402, 3, "C", "C", 4, {2, 0, 3}), Usuario(403, 4, "D", "D", 4, {7, 0, 4}, {2, 0, 0})};
  CadastroTelvarim& c = Processa(r, recebido);
  EXPECT_EQ(c.TiposDoArquivo, (std::vector<std::int32_t>{1, 4}));
  EXPECT_EQ(c.TarifasDoArquivo, (std::vector<std::int32_t>{7, 2, 0}));
  EXPECT_EQ(c.TipoCartaoAtual, 1);  // the first of each in file order
  EXPECT_EQ(c.TarifaAtual, 7);

  const struct {
    std::int32_t tipo, tarifa;
    V codigos, valores;
    std::string textoTipo, textoTarifa;
  } casos[] = {
      {4, 2, {"402", "403"}, {"3,00", "0,00"}, "004 - QUATRO", "02 - URBANA     - 2,30"},
      {4, 7, {"401", "403"}, {"2,00", "4,00"}, "004 - QUATRO", "07 - SETE       - 1,50"},
      {1, 2, {"101"}, {"1,00"}, "001 - UM", "02 - URBANA     - 2,30"},
      {4, 0, {}, {}, "004 - QUATRO", "00 - SEM TARIFA"},
      {3, 2, {}, {}, "000 -", "02 - URBANA     - 2,30"},  // a code the file does not list shows nobody
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(std::to_string(caso.tipo) + "/" + std::to_string(caso.tarifa));
    Mostra(caso.tipo, caso.tarifa);
    EXPECT_TRUE(resultado.Feito());
    EXPECT_EQ(c.TipoCartaoAtual, caso.tipo);
    EXPECT_EQ(c.TarifaAtual, caso.tarifa);
    EXPECT_EQ(Coluna(0), caso.codigos);
    EXPECT_EQ(Coluna(5), caso.valores);
    EXPECT_EQ(Trim(TextoTipoCartao(c.TipoAtual())), caso.textoTipo);
    EXPECT_EQ(Trim(TextoTarifa(tabelas.Tarifa(caso.tarifa))), caso.textoTarifa);
  }
}

// The .LOG's "Total de Registros Gerados" is the holders the request carries, one detail each, not the rows of
// the view that happened to be on screen.
TEST_F(Valores, RecordCountOfTheLogIsTheHoldersOfTheRequest) {
  Recebido comVazia = RecebidoPadrao();
  comVazia.tarifas.push_back(Tarifa(7, "SEM USO", 3));
  const struct {
    const char* nome;
    std::string texto;
    std::int32_t tipo, tarifa;  // the view on screen (0, 0: the first one)
    int linhas;
    int usuarios;
  } casos[] = {
      {"usual file", Junta(RecebidoPadrao().Linhas()), 1, 3, 2, 5},
      {"empty view", Junta(comVazia.Linhas()), 2, 7, 0, 5},
      {"sample of 300 holders", TextoAmostra({300, 7}), 0, 0, -1, 300},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    fs::remove_all(raiz);
    op = {};
    Grava("Recebidos/" + recebido, std::string(CodecsTeste::kMarca, 4) + Compacta(caso.texto));
    CadastroTelvarim& c = Abre();
    ASSERT_TRUE(c.Processa().Feito());
    if (caso.tipo != 0) Mostra(caso.tipo, caso.tarifa);
    if (caso.linhas >= 0) EXPECT_EQ(c.QtdLinhas(), caso.linhas);
    EXPECT_LT(c.QtdLinhas(), caso.usuarios);
    ASSERT_TRUE(c.GeraPedido().Feito());
    EXPECT_EQ(static_cast<int>(DetalhesGerados().size()), caso.usuarios);
    const std::string linha = "Total de Registros Gerados ==>  " + std::to_string(caso.usuarios);
    EXPECT_NE(std::find(op.log.begin(), op.log.end(), linha), op.log.end());
    const V log = SeparaLinhas(LeArquivo(raiz / "Gerados" / c.ArquivoLog));
    EXPECT_NE(std::find(log.begin(), log.end(), linha), log.end());
  }
}

// A money holder's groups 2-4 carry their CMM in centavos, as the central system sent it; the table keeps
// whole reais for the grid. The request and every draft write the figure received (381, 8), not the whole
// reais times nothing (003, 000), and a draft resumed keeps it for the next one.
TEST_F(Valores, MoneyGroupCMMGoesBackAsReceivedThroughDraftsAndRequest) {
  Recebido r = RecebidoPadrao();
  r.usuarios.push_back(Usuario(104, 9004, "EVA", "E4", 1, {3, 50, 1}, {5, 381, 0}, {7, 8, 0}));
  GravaRecebido(recebido, r.Linhas());
  CadastroTelvarim& c = Abre();
  ASSERT_TRUE(c.Processa().Feito());
  EXPECT_EQ(Grupo(5, 1).CMM, 3);  // whole reais for the grid
  Mostra(1, 5);
  EXPECT_EQ(Coluna(4), (V{"0", "0", "3"}));

  auto confere = [&](const char* onde, bool rascunho) {
    SCOPED_TRACE(onde);
    const std::string eva = LinhaDetalhe(104, rascunho), alvaro = LinhaDetalhe(102, rascunho);
    EXPECT_EQ(eva.substr(99, 18), "000000000000005000");  // group 1: whole reais × 100, as before
    EXPECT_EQ(eva.substr(153, 10), "0005381000");
    EXPECT_EQ(eva.substr(163, 10), "0007008000");
    EXPECT_EQ(alvaro.substr(153, 10), "0005007000");
  };
  ASSERT_TRUE(c.SalvaRascunho().Feito());
  confere("first draft", true);

  tabelas = Tabelas{};
  op.respostas.push_back(true);
  relogio.Define({2026, 12, 10, 11, 30, 0});
  CadastroTelvarim& d = Abre();
  ASSERT_TRUE(d.RetomandoRascunho);
  ASSERT_TRUE(resultado.Feito()) << resultado.motivo;
  EXPECT_EQ(Grupo(5, 1).CMM, 3);
  EXPECT_EQ(Grupo(5, 1).CMMArquivo, 381);
  ASSERT_TRUE(d.SalvaRascunho().Feito());
  confere("draft of the resumed draft", true);
  ASSERT_TRUE(d.GeraPedido().Feito());
  confere("request", false);
}
