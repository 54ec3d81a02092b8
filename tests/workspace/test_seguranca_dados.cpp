// Paths where nothing wrong may reach the central system and nothing typed may be lost: a negative value
// typed in another grid, negative centavos in a draft, a file that inherits the previous file's header, a
// card type listed after its holders, a value the request has no room for, a leftover temporary taken for a
// draft, and the totals of an empty grid.
#include <gtest/gtest.h>

#include "ambiente.h"

using namespace telvarim;
using namespace telvarim::teste;
namespace fs = std::filesystem;
using V = std::vector<std::string>;
using Pagina = CadastroTelvarim::Pagina;

namespace {

class SegurancaDados : public Workspace {
 protected:
  const std::string recebido = "RM_001234_0056_0703051409_1.rec";

  void Mostra(int tipo, int tarifa) {
    cad->cbtipocartao.ItemIndex = tipo;
    cad->cbtarifa.ItemIndex = tarifa;
    cad->cbtipocartaoChange();
  }
  void Digita(int row, const std::string& texto) {
    cad->sgRecarga.Row = row;
    cad->sgRecarga.Col = 5;
    cad->sgRecarga.SetCell(5, row, texto);
    cad->sgRecargaKeyPress('\r');
  }
  V Coluna5() const {
    V v;
    for (int r = 1; r < cad->sgRecarga.RowCount(); ++r) v.push_back(cad->sgRecarga.Cell(5, r));
    return v;
  }
  V Gerados() const { return ListaArquivos(raiz / "Gerados", "*"); }
};

}  // namespace

TEST_F(SegurancaDados, NegativeValueTypedInAnotherGridBlocksTheRequest) {
  Processa(RecebidoPadrao(), recebido);
  Digita(2, "-3.5");  // the full stop hides the sign from the Enter check: stored as -3,50 for holder 102
  ASSERT_DOUBLE_EQ(tabelas.Usuarios[1].Grupos[0].ValorRecarga, -3.5);
  Mostra(1, 1);  // another card type and tariff on screen
  op.avisos.clear();
  cad->btngerararquivoClick();
  EXPECT_EQ(op.Textos(), V{" Não é possível gerar recarga com valor menor do que 0.00 "_cp});
  EXPECT_EQ(codecs.selados, 0);
  EXPECT_TRUE(Gerados().empty());
  EXPECT_TRUE(fs::exists(raiz / "Recebidos" / recebido));
  EXPECT_EQ(op.log.back(), "Valor negativo - Usuário : 102 - Matrícula : 12 - Tipo : 1 - Tarifa : 3"_cp);
  EXPECT_EQ(cad->PaginaAtiva, Pagina::tbDigitacao);
}

TEST_F(SegurancaDados, NegativeCentavosComeBackFromADraftAsSaved) {
  Processa(RecebidoPadrao(), recebido);
  Digita(1, "-2.5");
  cad->btnsalvarrascunhoClick();
  ASSERT_EQ(cad->UltimaGeracao, ResultadoGeracao::Gravado);
  tabelas = Tabelas{};
  op.respostas = {true};  // resume the draft
  Abre();
  ASSERT_TRUE(cad->RetomandoRascunho);
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[0].Grupos[0].ValorRecarga, -2.5);
  EXPECT_EQ(cad->sgRecarga.Cell(5, 1), "-2,50");
}

TEST_F(SegurancaDados, FileWithoutHeaderDoesNotInheritThePreviousHeader) {
  Recebido com = RecebidoPadrao();
  com.cabecalho.ModoArredondamento = "1";
  CadastroTelvarim& c = Processa(com, "A_1.rec");
  ASSERT_EQ(c.CabecalhoArquivo.CodEmpresa, 1234);
  ASSERT_EQ(programa.ModoArredondamento, 1);
  std::vector<std::string> sem = RecebidoPadrao().Linhas();
  sem.erase(sem.begin());
  fs::remove(raiz / "Recebidos/A_1.rec");
  GravaRecebido("B_1.rec", sem);
  c.btnFecharClick();
  c.btnprocessarClick();
  ASSERT_EQ(c.PaginaAtiva, Pagina::tbDigitacao);
  EXPECT_EQ(c.CabecalhoArquivo.CodEmpresa, 0);
  EXPECT_TRUE(c.SeqArquivo.empty());
  EXPECT_EQ(programa.ModoArredondamento, 0);
  EXPECT_TRUE(c.lblempresa.Caption.empty());
  op.avisos.clear();
  c.btngerararquivoClick();  // no sequence to name the request with: nothing is written
  EXPECT_EQ(op.Textos(OperadorRoteirizado::Aviso::Tipo::Erro).size(), 1u);
  EXPECT_TRUE(Gerados().empty());
}

TEST_F(SegurancaDados, CardTypeListedAfterItsHoldersKeepsTheirCreditsOnTheWayOut) {
  Recebido r = RecebidoPadrao();
  r.usuarios[3].Grupos[0].CMM = 12345;
  r.usuarios[3].Grupos[0].ValorRecarga = 250;
  std::vector<std::string> l = r.Linhas();
  std::rotate(l.begin() + 2, l.begin() + 3, l.begin() + 10);  // card type 2 after the details
  GravaRecebido(recebido, l);
  Abre().btnprocessarClick();
  ASSERT_EQ(cad->PaginaAtiva, Pagina::tbDigitacao);
  cad->btngerararquivoClick();
  ASSERT_EQ(cad->UltimaGeracao, ResultadoGeracao::Gravado);
  const V pedido = LinhasDe(raiz / "Gerados" / cad->ArquivoGerado, true);
  const std::string& d = pedido[1 + 2 + 2 + 3];  // holder 201
  EXPECT_EQ(d.substr(2, 10), "0000000201");
  EXPECT_EQ(d.substr(99, 18), "000000000000012345");  // CMM in credits, as received
  EXPECT_EQ(d.substr(135, 18), "000000000000000250");
  EXPECT_EQ(d.substr(213, 5), "00010");  // last recharges kept too
}

TEST_F(SegurancaDados, ValueTheRequestCannotCarryIsRefusedWhereItEnters) {
  Recebido r = RecebidoPadrao();
  r.tipos[1].ValorMaximo = 5000;
  r.usuarios[3].UltimasRecargas[3] = 1500;  // holder 201's last recharge of group 2
  Processa(r, recebido);

  // Money in group 2 (holders 102 and 103 under tariff 5) would be written as 0.
  Mostra(0, 1);
  op.avisos.clear();
  Digita(1, "7,50");
  EXPECT_EQ(op.Textos(), V{"Valor Maior que o Permitido no Grupo 2 do Arquivo (0,00) - Verifique!"});
  EXPECT_EQ(Coluna5(), (V{"0,00", "0,00"}));
  EXPECT_EQ(cad->sgRecarga.Row, 1);
  Digita(1, "0");  // zero is carried
  EXPECT_EQ(cad->sgRecarga.Row, 2);

  // Credits in group 2 have three digits: 999 passes, 1000 does not (the card type allows 5000).
  Mostra(1, 1);  // holder 201 shows group 2, holder 202 group 1
  op.avisos.clear();
  Digita(1, "1000");
  EXPECT_EQ(op.Textos(), V{"Valor Maior que o Permitido no Grupo 2 do Arquivo (999) - Verifique!"});
  Digita(1, "999");
  Digita(2, "1000");  // group 1 has room
  EXPECT_EQ(Coluna5(), (V{"999", "1000"}));

  // The default value and the last-recharge copy put 0 where there is no room, and say how many.
  cad->edalteravlr = "1200";
  cad->btnalteravlrClick();
  EXPECT_EQ(Coluna5(), (V{"0", "1200"}));
  EXPECT_EQ(op.log.back(), "Valor zerado em 1 linha(s): o grupo do arquivo não comporta o valor"_cp);
  cad->BitBtn1Click();
  EXPECT_EQ(Coluna5(), (V{"0", "10"}));
  EXPECT_EQ(op.log.back(), "Valor zerado em 1 linha(s): o grupo do arquivo não comporta o valor"_cp);
  Digita(1, "999");

  // So the request can always be written, and carries what was accepted.
  cad->btngerararquivoClick();
  ASSERT_EQ(cad->UltimaGeracao, ResultadoGeracao::Gravado);
  const V pedido = LinhasDe(raiz / "Gerados" / cad->ArquivoGerado, true);
  EXPECT_EQ(pedido[1 + 2 + 2 + 3].substr(160, 3), "999");                  // holder 201, group 2
  EXPECT_EQ(pedido[1 + 2 + 2 + 4].substr(135, 18), "000000000000000010");  // holder 202, group 1
}

TEST_F(SegurancaDados, LeftoverTemporaryIsNeverTakenForADraft) {
  Grava("Rascunho/TMP1.REC", "sobra de um rascunho que falhou");
  GravaRecebido(recebido, RecebidoPadrao().Linhas());
  op.respostaPadrao = true;
  CadastroTelvarim& c = Abre();
  EXPECT_TRUE(op.avisos.empty());  // no question about a draft
  EXPECT_FALSE(c.RetomandoRascunho);
  c.btnprocessarClick();
  ASSERT_EQ(c.PaginaAtiva, Pagina::tbDigitacao);

  // A draft save that fails removes its temporaries.
  fs::remove(raiz / "Rascunho/TMP1.REC");
  codecs.falhaCompacta = true;
  c.btnsalvarrascunhoClick();
  EXPECT_EQ(c.UltimaGeracao, ResultadoGeracao::FalhaCompactacao);
  EXPECT_TRUE(ListaArquivos(raiz / "Rascunho", "*").empty());

  // A draft of another name found and resumed with Yes: the window still processes received files.
  Grava("Rascunho/OUTRO.REC", "x");
  op.avisos.clear();
  CadastroTelvarim& d = Abre();
  ASSERT_EQ(op.Textos().size(), 2u);  // the question, then "no file to process" from the draft list
  d.btnprocessarClick();
  EXPECT_EQ(d.PaginaAtiva, Pagina::tbDigitacao);
  EXPECT_FALSE(d.RetomandoRascunho);
}

TEST_F(SegurancaDados, EmptyGridTotalsZero) {
  Recebido r = RecebidoPadrao();
  r.tarifas.push_back(Tarifa(7, "SEM USO", 3));
  Processa(r, recebido);
  ASSERT_EQ(cad->lblvlrrecdig.Caption, "12,34");
  Mostra(0, 2);  // tariff 7: nobody
  EXPECT_EQ(cad->lblqtdrec.Caption, "0");
  EXPECT_EQ(cad->lblvlrrecdig.Caption, "0,00");
  EXPECT_EQ(cad->lblqtdrecdig.Caption, "0");
}
