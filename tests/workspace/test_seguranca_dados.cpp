// Paths where nothing wrong may reach the central system and nothing typed may be lost: a negative value
// held in another view, negative centavos in a draft, a file that inherits the previous file's header, a
// card type listed after its holders, a value the request has no room for, a leftover temporary taken for a
// draft, and the totals of an empty view.
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
  const std::string rascunho = "RM_001234_0056_2612100900_2.REC";

  V Gerados() const { return ListaArquivos(raiz / "Gerados", "*"); }
  // A draft of the usual file with one value changed, resumed with Yes.
  CadastroTelvarim& RetomaRascunho(int usuario, double valor) {
    Recebido r = RecebidoPadrao();
    r.usuarios[static_cast<std::size_t>(usuario)].Grupos[0].ValorRecarga = valor;
    GravaRecebido(rascunho, r.Linhas(), "Rascunho", false);
    op.respostas.push_back(true);
    Abre();
    EXPECT_TRUE(cad->RetomandoRascunho);
    EXPECT_TRUE(resultado.Feito()) << resultado.motivo;
    return *cad;
  }
};

}  // namespace

// Typing refuses a negative value (test_grade.cpp); a draft can still bring one back, and wherever the view
// stands, the request is refused for it.
TEST_F(SegurancaDados, NegativeValueHeldInAnotherViewBlocksTheRequest) {
  GravaRecebido(recebido, RecebidoPadrao().Linhas());
  RetomaRascunho(1, -3.5);  // holder 102
  ASSERT_DOUBLE_EQ(Valor(1), -3.5);
  Mostra(2, 5);  // another card type and tariff on screen
  op.avisos.clear();
  const Resultado r = cad->GeraPedido();
  EXPECT_EQ(r.estado, Resultado::Estado::Recusado);
  EXPECT_EQ(op.Textos(), V{" Não é possível gerar recarga com valor menor do que 0.00 "_cp});
  EXPECT_EQ(codecs.selados, 0);
  EXPECT_TRUE(Gerados().empty());
  EXPECT_TRUE(fs::exists(raiz / "Rascunho" / rascunho));
  EXPECT_TRUE(fs::exists(raiz / "Recebidos" / recebido));
  EXPECT_EQ(op.log.back(), "Valor negativo - Usuário : 102 - Matrícula : 12 - Tipo : 1 - Tarifa : 3"_cp);
  EXPECT_EQ(cad->PaginaAtiva, Pagina::Digitacao);
}

TEST_F(SegurancaDados, NegativeCentavosComeBackFromADraftAsSaved) {
  RetomaRascunho(0, -2.5);
  EXPECT_EQ(cad->TextoCelula(0, 5), "-2,50");
  ASSERT_TRUE(cad->SalvaRascunho().Feito());
  ASSERT_EQ(cad->UltimaGeracao, ResultadoGeracao::Gravado);
  EXPECT_FALSE(fs::exists(raiz / "Rascunho" / rascunho)) << "the older draft is cleared";
  tabelas = Tabelas{};
  op.respostas.push_back(true);  // resume the new draft
  Abre();
  ASSERT_TRUE(cad->RetomandoRascunho);
  EXPECT_DOUBLE_EQ(Valor(0), -2.5);
  EXPECT_EQ(cad->TextoCelula(0, 5), "-2,50");
}

TEST_F(SegurancaDados, FileWithoutHeaderDoesNotInheritThePreviousHeader) {
  Recebido com = RecebidoPadrao();
  com.cabecalho.ModoArredondamento = "1";
  CadastroTelvarim& c = Processa(com, "A_1.rec");
  ASSERT_EQ(c.Cabecalho.CodEmpresa, 1234);
  ASSERT_EQ(programa.ModoArredondamento, 1);
  std::vector<std::string> sem = RecebidoPadrao().Linhas();
  sem.erase(sem.begin());
  fs::remove(raiz / "Recebidos/A_1.rec");
  GravaRecebido("B_1.rec", sem);
  c.VoltaAosArquivos();
  c.Processa();
  ASSERT_EQ(c.PaginaAtiva, Pagina::Digitacao);
  EXPECT_EQ(c.Cabecalho.CodEmpresa, 0);
  EXPECT_TRUE(c.SeqArquivo.empty());
  EXPECT_EQ(programa.ModoArredondamento, 0);
  EXPECT_FALSE(c.CabecalhoLido);
  op.avisos.clear();
  EXPECT_FALSE(c.GeraPedido().Feito());  // no sequence to name the request with: nothing is written
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
  Abre().Processa();
  ASSERT_EQ(cad->PaginaAtiva, Pagina::Digitacao);
  cad->GeraPedido();
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
  Mostra(1, 5);
  op.avisos.clear();
  EXPECT_EQ(cad->DigitaValor(0, "7,50").estado, Resultado::Estado::Recusado);
  EXPECT_EQ(op.Textos(), V{"Recarga não permitida nesta tarifa: o usuário está nela pelo Grupo 2, e o arquivo só leva "
                           "valor em dinheiro no Grupo 1."_cp});
  EXPECT_EQ(cad->MotivoSemRecarga(0), op.Textos()[0]);
  EXPECT_EQ(Coluna(), (V{"0,00", "0,00"}));
  EXPECT_TRUE(cad->DigitaValor(0, "0").Feito());  // zero is carried

  // Credits in group 2 have three digits: 999 passes, 1000 does not (the card type allows 5000).
  Mostra(2, 5);                             // holder 201 shows group 2, holder 202 group 1
  EXPECT_EQ(cad->MotivoSemRecarga(0), "");  // credits do fit there
  op.avisos.clear();
  EXPECT_EQ(cad->DigitaValor(0, "1000").estado, Resultado::Estado::Recusado);
  EXPECT_EQ(op.Textos(), V{"Valor Maior que o Permitido no Grupo 2 do Arquivo (999) - Verifique!"});
  EXPECT_EQ(Coluna(), (V{"3", "7"}));
  EXPECT_TRUE(cad->DigitaValor(0, "999").Feito());
  EXPECT_TRUE(cad->DigitaValor(1, "1000").Feito());  // group 1 has room
  EXPECT_EQ(Coluna(), (V{"999", "1000"}));

  // The default value and the last-recharge copy put 0 where there is no room, and say how many.
  EXPECT_TRUE(cad->AplicaValorPadrao("1200").Feito());
  EXPECT_EQ(Coluna(), (V{"0", "1200"}));
  EXPECT_EQ(op.log.back(), "Valor zerado em 1 linha(s): o grupo do arquivo não comporta o valor"_cp);
  EXPECT_TRUE(cad->CopiaUltimasRecargas().Feito());
  EXPECT_EQ(Coluna(), (V{"0", "10"}));
  EXPECT_EQ(op.log.back(), "Valor zerado em 1 linha(s): o grupo do arquivo não comporta o valor"_cp);
  EXPECT_TRUE(cad->DigitaValor(0, "999").Feito());

  // So the request can always be written, and carries what was accepted.
  EXPECT_TRUE(cad->GeraPedido().Feito());
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
  c.Processa();
  ASSERT_EQ(c.PaginaAtiva, Pagina::Digitacao);

  // A draft save that fails removes its temporaries.
  fs::remove(raiz / "Rascunho/TMP1.REC");
  codecs.falhaCompacta = true;
  c.SalvaRascunho();
  EXPECT_EQ(c.UltimaGeracao, ResultadoGeracao::FalhaCompactacao);
  EXPECT_TRUE(ListaArquivos(raiz / "Rascunho", "*").empty());

  // A draft of another name found and resumed with Yes: the window still processes received files.
  Grava("Rascunho/OUTRO.REC", "x");
  op.avisos.clear();
  CadastroTelvarim& d = Abre();
  ASSERT_EQ(op.Textos().size(), 2u);  // the question, then "no file to process" from the draft list
  d.Processa();
  EXPECT_EQ(d.PaginaAtiva, Pagina::Digitacao);
  EXPECT_FALSE(d.RetomandoRascunho);
}

TEST_F(SegurancaDados, EmptyViewTotalsZero) {
  Recebido r = RecebidoPadrao();
  r.tarifas.push_back(Tarifa(7, "SEM USO", 3));
  Processa(r, recebido);
  ASSERT_DOUBLE_EQ(cad->TotaisVista().dinheiro, 12.34);
  for (std::int32_t tipo : {1, 2}) {
    SCOPED_TRACE(tipo);
    Mostra(tipo, 7);  // tariff 7: nobody
    EXPECT_TRUE(resultado.Feito());
    EXPECT_EQ(cad->QtdLinhas(), 0);
    EXPECT_EQ(cad->TotaisVista().dinheiro, 0);
    EXPECT_EQ(cad->TotaisVista().creditos, 0);
    EXPECT_EQ(cad->TextoCelula(0, 5), "");  // no row to show
  }
}
