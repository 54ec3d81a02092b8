// The view of one card type and tariff: which holders it shows, the texts of its grid, and typing, the
// default value, the last recharges and the totals, all read from and stored into the holders.
#include <gtest/gtest.h>

#include "ambiente.h"

using namespace telvarim;
using namespace telvarim::teste;
using TipoAviso = OperadorRoteirizado::Aviso::Tipo;
using Estado = Resultado::Estado;

namespace {

class Grade : public Workspace {
 protected:
  std::string Dinheiro(double v) const { return FormataPadrao(v, "###,##0.00"); }
  std::string Creditos(long long v) const { return FormataInteiro(v, "###,##0"); }
};

using V = std::vector<std::string>;

const std::string kNegativo = " Não é possível gerar recarga com valor menor do que 0.00 "_cp;
const std::string kInvalido = "Valor Inválido - Verifique!"_cp;

}  // namespace

TEST_F(Grade, HoldersShowTheGroupWithTheChosenTariff) {
  Recebido r = RecebidoPadrao();
  r.tarifas.push_back(Tarifa(0, "ZERO", 0));
  CadastroTelvarim& c = Processa(r);
  struct Caso {
    std::int32_t tipo, tarifa;
    V codigos, cmm;
  } casos[] = {
      {1, 3, {"101", "102"}, {"50", "40"}},  // money type, tariff 3: group 1
      {1, 5, {"102", "103"}, {"0", "0"}},    // tariff 5: group 2 of both (7 and 9 centavos: 0 whole reais)
      {1, 0, {"103"}, {"0"}},                // tariff 0 shows group 1 with tariff 0 for a money type
      {2, 3, {"201"}, {"30"}},
      {2, 5, {"201", "202"}, {"4", "20"}},
      {2, 0, {}, {}},  // not for a credit type: no row
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(std::to_string(caso.tipo) + "/" + std::to_string(caso.tarifa));
    Mostra(caso.tipo, caso.tarifa);
    EXPECT_TRUE(resultado.Feito());
    EXPECT_EQ(c.TipoCartaoAtual, caso.tipo);
    EXPECT_EQ(c.TarifaAtual, caso.tarifa);
    EXPECT_EQ(Coluna(0), caso.codigos);
    EXPECT_EQ(Coluna(4), caso.cmm);
    EXPECT_EQ(c.QtdLinhas(), static_cast<int>(caso.codigos.size()));
  }
  EXPECT_EQ(TextoTipoCartao(c.TipoAtual()), "002 - ESCOLAR" + std::string(43, ' '));
  EXPECT_EQ(TextoTarifa(tabelas.Tarifa(c.TarifaAtual)), "00 - ZERO      ");
  EXPECT_EQ(c.TextoCelula(-1, 0), "");
  EXPECT_EQ(c.TextoCelula(0, 0), "");  // a view without rows has no cell
}

TEST_F(Grade, ColumnsTitlesAndFormatsFollowTheCardType) {
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  EXPECT_EQ(c.Colunas(), 9);
  EXPECT_FALSE(c.VistaEmCreditos());
  EXPECT_EQ(c.TituloColuna(0), "Usuário"_cp);
  EXPECT_EQ(c.TituloColuna(5), "Valor");
  EXPECT_EQ(c.TituloColuna(6), "Vlr.Última Rec"_cp);
  EXPECT_EQ(c.TituloColuna(8), "Vlr.Antipenúltima Rec"_cp);
  EXPECT_EQ(Coluna(5), (V{"12,34", "0,00"}));
  EXPECT_EQ(Coluna(6), (V{"10,00", "10,00"}));
  EXPECT_EQ(Coluna(2), (V{"120", "12"}));
  EXPECT_EQ(c.TextoCelula(0, 1), "9001");
  EXPECT_EQ(c.TextoCelula(0, 3), "ZULMIRA" + std::string(43, ' '));
  EXPECT_DOUBLE_EQ(c.ValorDaLinha(0), 12.34);
  EXPECT_STREQ(c.FormatoValor(), "##0.00");
  EXPECT_EQ(CadastroTelvarim::LarguraColuna(3), 240);
  EXPECT_EQ(CadastroTelvarim::LarguraColuna(5), 65);

  Mostra(2, 5);
  EXPECT_EQ(c.Colunas(), 18);
  EXPECT_TRUE(c.VistaEmCreditos());
  EXPECT_STREQ(c.FormatoValor(), "##0");
  EXPECT_EQ(c.TituloColuna(5), "Créditos"_cp);
  EXPECT_EQ(c.TituloColuna(6), "Vlr.Última Rec Grupo1 "_cp);
  EXPECT_EQ(c.TituloColuna(17), "Vlr.Antipenúltima Rec Grupo4"_cp);
  EXPECT_EQ(c.TituloColuna(18), "");
  EXPECT_EQ(CadastroTelvarim::LarguraColuna(17), 100);
  EXPECT_EQ(Coluna(5), (V{"3", "7"}));
  EXPECT_EQ(Coluna(6), (V{"40", "10"}));  // group 2 of holder 201: its own last recharges
  EXPECT_EQ(Coluna(9), (V{"", ""}));

  Mostra(1, 3);  // back to money: 18 columns stay, titles beyond 8 are empty
  EXPECT_EQ(c.Colunas(), 18);
  EXPECT_EQ(c.TituloColuna(9), "");
  EXPECT_EQ(c.TituloColuna(6), "Vlr.Última Rec"_cp);
}

TEST_F(Grade, CreditPriceFollowsTheFileRoundingMode) {
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  programa.ModoArredondamento = 1;
  tabelas.TiposCartao[2].PercentualTarifa = 53.00;
  EXPECT_DOUBLE_EQ(c.PrecoCredito(2, 3), 1.22);  // 53 % of 2,30 = 1,219
  programa.ModoArredondamento = 2;
  EXPECT_DOUBLE_EQ(c.ArredondaValor(1.2399, 2), 1.23);
}

// A typed value is stored into the holder the row shows, as the grid shows it, or refused with the operator
// told why and nothing stored: the holder keeps its value.
TEST_F(Grade, TypedValueIsCheckedAndStoredOrRefusedWithNothingStored) {
  struct Caso {
    std::int32_t tipo, tarifa;
    const char* digitado;
    const char* celula;  // empty: refused, the cell still shows the value before
    std::string aviso;
    TipoAviso tipoAviso = TipoAviso::Mensagem;
  } casos[] = {
      {1, 3, "12.5", "12,50", {}},  // a full stop is the decimal comma
      {1, 3, " 12,5 ", "12,50", {}},
      {1, 3, "12,345", "12,35", {}},  // to the centavo
      {1, 3, "600", "600,00", {}},
      {1, 3, "0", "0,00", {}},
      {1, 3, "600,01", "", "Valor Maior que o Permitido(R$600,00) - Verifique!"},
      {1, 3, "abc", "", kInvalido, TipoAviso::Erro},
      {1, 3, "", "", kInvalido, TipoAviso::Erro},
      {1, 3, "1.234,56", "", kInvalido, TipoAviso::Erro},  // no thousands separator
      {1, 3, "-3", "", kNegativo},
      {1, 3, "-3.5", "", kNegativo},  // the full stop no longer hides the sign
      {1, 3, "-3,50", "", kNegativo},
      {1, 3, "-700", "", kNegativo},  // the sign is refused before the maximum, and never dropped
      {1, 3, "-0,01", "", kNegativo},
      {2, 3, "12,5", "13", {}},  // whole credits, half away from zero
      {2, 3, "12.4", "12", {}},
      {2, 3, "0,5", "1", {}},
      {2, 3, "250", "250", {}},
      {2, 3, "251", "", "Valor Maior que o Permitido(250) - Verifique!"},
      {2, 3, "-1", "", kNegativo},
      {2, 3, "x1", "", kInvalido, TipoAviso::Erro},
  };
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  for (const auto& caso : casos) {
    SCOPED_TRACE(std::to_string(caso.tipo) + " '" + caso.digitado + "'");
    Mostra(caso.tipo, caso.tarifa);  // row 0 shows group 1 of holder 101 (money) or 201 (credits)
    const int usuario = caso.tipo == 1 ? 0 : 3;
    tabelas.Usuarios[static_cast<std::size_t>(usuario)].Grupos[0].ValorRecarga = 7;
    op.avisos.clear();
    const Resultado r = c.DigitaValor(0, caso.digitado);
    const bool aceito = *caso.celula != '\0';
    EXPECT_EQ(r.estado, aceito ? Estado::Feito : Estado::Recusado);
    EXPECT_EQ(r.motivo, caso.aviso);
    EXPECT_EQ(c.TextoCelula(0, 5), aceito ? caso.celula : caso.tipo == 1 ? "7,00" : "7");
    EXPECT_EQ(FormataMoeda(MoedaDeDouble(Valor(usuario)), c.FormatoValor()), c.TextoCelula(0, 5));
    if (aceito) {
      EXPECT_TRUE(op.avisos.empty());
    } else {
      ASSERT_EQ(op.avisos.size(), 1u);
      EXPECT_EQ(op.avisos[0].texto, caso.aviso);
      EXPECT_EQ(op.avisos[0].tipo, caso.tipoAviso);
    }
  }
  // Rows outside the view are refused without a word.
  op.avisos.clear();
  EXPECT_EQ(c.DigitaValor(-1, "1").estado, Estado::Recusado);
  EXPECT_EQ(c.DigitaValor(c.QtdLinhas(), "1").estado, Estado::Recusado);
  EXPECT_TRUE(op.avisos.empty());
}

TEST_F(Grade, TypedValueReachesItsHolderAtOnceInEveryView) {
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  ASSERT_TRUE(c.DigitaValor(0, "20").Feito());
  EXPECT_DOUBLE_EQ(Valor(0), 20);
  // Totals follow every value: 20 + 0 of money, 12 × 2,30 + 3 × 4,00 + 7 × 4,00 of credits.
  EXPECT_EQ(Dinheiro(c.TotaisArquivo().dinheiro), "87,60");
  EXPECT_EQ(Creditos(c.TotaisArquivo().creditos), "22");
  EXPECT_EQ(Dinheiro(c.TotaisVista().dinheiro), "20,00");

  ASSERT_TRUE(c.DigitaValor(1, "1").Feito());
  EXPECT_DOUBLE_EQ(Valor(1), 1);

  // Credit tariff 5 rows are holders 201 and 202, at table positions 3 and 4, showing groups 2 and 1.
  Mostra(2, 5);
  ASSERT_TRUE(c.DigitaValor(0, "9").Feito());
  EXPECT_DOUBLE_EQ(Valor(3, 1), 9);
  EXPECT_DOUBLE_EQ(Valor(3, 0), 12);  // the holder's other group is not touched
  EXPECT_EQ(Creditos(c.TotaisVista().creditos), "16");
  EXPECT_EQ(Creditos(c.TotaisArquivo().creditos), "28");

  // Back on the first view, the values typed there are still shown.
  Mostra(1, 3);
  EXPECT_EQ(Coluna(), (V{"20,00", "1,00"}));
}

TEST_F(Grade, TotalsOfTheViewAndOfTheWholeFile) {
  Recebido r = RecebidoPadrao();
  r.tipos[1].PercentualTarifa = 50;  // one credit of type 2 costs half the tariff
  r.usuarios[0].Grupos[0].ValorRecarga = 15.50;
  CadastroTelvarim& c = Processa(r);
  // Money: 15,50; credits: holder 201 12 at 1,15 + 3 at 2,00, holder 202 7 at 2,00.
  EXPECT_EQ(Dinheiro(c.TotaisArquivo().dinheiro), "49,30");
  EXPECT_EQ(Creditos(c.TotaisArquivo().creditos), "22");
  EXPECT_EQ(Dinheiro(c.TotaisVista().dinheiro), "15,50");
  EXPECT_EQ(Creditos(c.TotaisVista().creditos), "0");
  Mostra(2, 5);
  EXPECT_EQ(Dinheiro(c.TotaisVista().dinheiro), "20,00");  // (3 + 7) × 2,00
  EXPECT_EQ(Creditos(c.TotaisVista().creditos), "10");
  Mostra(2, 3);
  EXPECT_EQ(Dinheiro(c.TotaisVista().dinheiro), "13,80");  // 12 × 1,15
  EXPECT_EQ(Creditos(c.TotaisVista().creditos), "12");
}

TEST_F(Grade, DefaultValueAndLastRechargeFillEveryRow) {
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  struct Caso {
    const char* padrao;
    std::string aviso;  // empty: applied
  } recusados[] = {
      {"-1,00", kNegativo},
      {"-700", kNegativo},
      {"700,00", "Valor Maior para o Tipo de Cartão (600,00) - Verifique!"_cp},
      {"600,01", "Valor Maior para o Tipo de Cartão (600,00) - Verifique!"_cp},
      {"abc", kInvalido},
  };
  for (const auto& caso : recusados) {
    SCOPED_TRACE(caso.padrao);
    op.avisos.clear();
    const std::size_t linhasLog = op.log.size();
    const Resultado r = c.AplicaValorPadrao(caso.padrao);
    EXPECT_EQ(r.estado, Estado::Recusado);
    EXPECT_EQ(op.Textos(), V{caso.aviso});
    EXPECT_EQ(Coluna(), (V{"12,34", "0,00"}));
    EXPECT_EQ(op.log.size(), linhasLog) << "nothing logged as inserted";
  }
  // Leaving the edit checks the maximum only.
  EXPECT_EQ(c.ConfereValorPadrao("700,00").estado, Estado::Recusado);
  EXPECT_EQ(op.Textos().back(), "Valor Maior para o Tipo de Cartão (600,00) - Verifique!"_cp);
  EXPECT_TRUE(c.ConfereValorPadrao("600,00").Feito());
  EXPECT_TRUE(c.ConfereValorPadrao("-1").Feito());

  ASSERT_TRUE(c.AplicaValorPadrao("25.505").Feito());
  EXPECT_EQ(Coluna(), (V{"25,51", "25,51"}));
  EXPECT_DOUBLE_EQ(Valor(1), 25.51);
  EXPECT_EQ(op.log.back(), "Inserido Valor Padrão - Tipo : 1 - Tarifa : 3 - Valor : 25.505"_cp);

  ASSERT_TRUE(c.CopiaUltimasRecargas().Feito());
  EXPECT_EQ(Coluna(), (V{"10,00", "10,00"}));
  EXPECT_DOUBLE_EQ(Valor(0), 10);
  EXPECT_EQ(op.log.back(), "Atualizando valor com o último pedido - Tipo : 1 - Tarifa : 3"_cp);

  // Credits: the default is kept whole, and the maximum is shown in the card type's pattern.
  Mostra(2, 5);
  op.avisos.clear();
  EXPECT_EQ(c.AplicaValorPadrao("251").estado, Estado::Recusado);
  EXPECT_EQ(op.Textos(), V{"Valor Maior para o Tipo de Cartão (250) - Verifique!"_cp});
  ASSERT_TRUE(c.AplicaValorPadrao("12,5").Feito());
  EXPECT_EQ(Coluna(), (V{"13", "13"}));
  EXPECT_DOUBLE_EQ(Valor(3, 1), 13);
  EXPECT_DOUBLE_EQ(Valor(4, 0), 13);
  ASSERT_TRUE(c.CopiaUltimasRecargas().Feito());
  EXPECT_EQ(Coluna(), (V{"40", "10"}));  // each row's own group's last recharge
}

// A last recharge above what the card type may recharge now is refused like a typed one: the row keeps its
// value, and the log says how many rows kept theirs.
TEST_F(Grade, LastRechargeAboveTheMaximumKeepsTheRowsValue) {
  Recebido r = RecebidoPadrao();
  r.usuarios[0].UltimasRecargas[0] = 700;  // ZULMIRA: money type, maximum 600,00, value 12,34
  r.usuarios[1].UltimasRecargas[0] = 600;  // ÁLVARO: the maximum itself
  CadastroTelvarim& c = Processa(r);
  ASSERT_TRUE(c.CopiaUltimasRecargas().Feito());
  EXPECT_EQ(Coluna(), (V{"12,34", "600,00"}));
  EXPECT_DOUBLE_EQ(Valor(0), 12.34);
  EXPECT_EQ(op.log.back(), "Valor mantido em 1 linha(s): a última recarga passa do máximo do tipo de cartão"_cp);
}

// Any card type that counts in credits has its maximum when typed, not only the one marked 1.
TEST_F(Grade, EveryCreditCardTypeHasItsMaximum) {
  Recebido r = RecebidoPadrao();
  r.tipos.push_back(Tipo(7, "OUTRO CREDITO", 2, 100, 50));
  r.usuarios.push_back(Usuario(701, 9701, "ELZA", "E1", 7, {3, 10, 5}));
  CadastroTelvarim& c = Processa(r);
  Mostra(7, 3);
  ASSERT_EQ(c.QtdLinhas(), 1);
  EXPECT_EQ(c.DigitaValor(0, "51").estado, Estado::Recusado);
  EXPECT_EQ(op.Textos().back(), "Valor Maior que o Permitido(50) - Verifique!");
  EXPECT_EQ(Coluna(), V{"5"});
  EXPECT_TRUE(c.DigitaValor(0, "50").Feito());
  EXPECT_EQ(Coluna(), V{"50"});
}

TEST_F(Grade, FindingAHolderShowsItWhereverItIs) {
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  struct Caso {
    const char* texto;
    std::string codigo;  // "" for none
    std::int32_t tipo, tarifa;
  } casos[] = {
      {"alvaro", "102", 1, 3},  // a row of the view shown: the view stays
      {"9102", "202", 2, 5},    // by card number: DORA's card type and tariff are shown
      {"c1", "201", 2, 3},      // by matrícula, CARLOS under the tariff of his group 1
      {"103", "103", 1, 5},     // by code: BEATRIZ's group 1 has tariff 0, which the file lacks; group 2 shows her
      {"xyz", "", 1, 3},        // none: nothing changes
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.texto);
    Mostra(1, 3);
    const int linha = c.ProcuraTitular(caso.texto, -1);
    EXPECT_EQ(linha < 0 ? std::string() : c.TextoCelula(linha, 0), caso.codigo);
    EXPECT_EQ(c.TipoCartaoAtual, caso.tipo);
    EXPECT_EQ(c.TarifaAtual, caso.tarifa);
  }
  // One after the other, every holder once, view by view; then round again.
  Mostra(1, 3);
  V achados;
  for (int linha = 0, k = 0; k < 6; ++k) {
    linha = c.ProcuraTitular("A", linha);
    ASSERT_GE(linha, 0);
    achados.push_back(c.TextoCelula(linha, 0));
  }
  EXPECT_EQ(achados, (V{"102", "103", "201", "202", "101", "102"}));
}
