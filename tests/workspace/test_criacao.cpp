#include <gtest/gtest.h>

#include "ambiente.h"
#include "cadastrotelvarim.h"
#include "cp1252.h"
#include "respostas.h"

namespace fs = std::filesystem;
using namespace telvarim;
using namespace telvarim::literais;

namespace {

class Criacao : public teste::Workspace {};

}  // namespace

TEST_F(Criacao, EmptyTreeMakesTheFoldersAndShowsEmptyLists) {
  CadastroTelvarim c(op, Pastas(), tabelas, programa);
  EXPECT_TRUE(c.Abre().Feito());
  for (const char* p : {"Recebidos", "Processados", "Gerados", "Rascunho"})
    EXPECT_TRUE(fs::is_directory(raiz / p)) << p;
  EXPECT_FALSE(fs::exists(raiz / "Log"));  // made by the import, not here
  EXPECT_TRUE(op.avisos.empty());
  EXPECT_EQ(c.PaginaAtiva, CadastroTelvarim::Pagina::Arquivos);
  EXPECT_EQ(c.Recebidos.Count(), 0);
  EXPECT_EQ(c.Processados.Count(), 0);
  EXPECT_EQ(c.Gerados.Count(), 0);
  EXPECT_EQ(c.Recebidos.ItemIndex, -1);
  EXPECT_EQ(c.Recebidos.Directory, raiz / "Recebidos");
  EXPECT_EQ(c.Processados.Directory, raiz / "Processados");
  EXPECT_EQ(c.Gerados.Directory, raiz / "Gerados");
  EXPECT_TRUE(c.UltimoAcessado.empty());
}

TEST_F(Criacao, ListsMatchTheirMasksInAnyCaseSortedByName) {
  for (const char* f :
       {"Recebidos/b_1.REC", "Recebidos/A_1.rec", "Recebidos/c_2.rec", "Recebidos/x.txt", "Recebidos/.oculto_1.rec",
        "Processados/P2_1.rec", "Processados/p1_1.rec", "Gerados/RM_000001_0001_2612101100_2.REC",
        "Gerados/RM_000001_0001_2612101100_2.LOG", "Gerados/RM_000001_0001_2612101100_4.REC"})
    Grava(f);
  fs::create_directories(raiz / "Recebidos" / "pasta_1.rec");  // folders are not listed

  CadastroTelvarim c(op, Pastas(), tabelas, programa);
  c.Abre();
  EXPECT_EQ(c.Recebidos.Items, (std::vector<std::string>{"A_1.rec", "b_1.REC"}));
  EXPECT_EQ(c.Recebidos.ItemIndex, 0);
  EXPECT_EQ(c.Recebidos.Caminho(1), raiz / "Recebidos" / "b_1.REC");
  EXPECT_EQ(c.Recebidos.Caminho(2), fs::path());
  EXPECT_EQ(c.Processados.Items, (std::vector<std::string>{"p1_1.rec", "P2_1.rec"}));  // the last one processed last
  EXPECT_EQ(c.Gerados.Items, std::vector<std::string>{"RM_000001_0001_2612101100_2.REC"});
}

TEST_F(Criacao, DeclinedDraftDeletesOnlyTheLastOneFound) {
  Grava("Rascunho/RM_000001_0001_2612101100_2.REC");
  Grava("Rascunho/RM_000001_0001_2612101200_2.REC");
  Grava("Rascunho/RM_000001_0001_2612101200_2.LOG");
  op.respostas = {false};
  CadastroTelvarim c(op, Pastas(), tabelas, programa);
  EXPECT_TRUE(c.Abre().Feito());
  // Neither draft is a file its received file can be found by.
  EXPECT_EQ(op.Textos(), (std::vector<std::string>{
                             "Existe arquivo de Recarga em Alteração.Continua Alteração?"_cp,
                             "O Rascunho RM_000001_0001_2612101200_2.REC será apagado. O arquivo recebido do rascunho "
                             "não foi encontrado em "_cp +
                                 TextoCaminho(raiz / "Processados") + "."}));
  EXPECT_EQ(op.avisos[0].tipo, OperadorRoteirizado::Aviso::Tipo::Confirmacao);
  EXPECT_EQ(op.avisos[1].tipo, OperadorRoteirizado::Aviso::Tipo::Informacao);
  EXPECT_TRUE(fs::exists(raiz / "Rascunho/RM_000001_0001_2612101100_2.REC"));
  EXPECT_FALSE(fs::exists(raiz / "Rascunho/RM_000001_0001_2612101200_2.REC"));
  EXPECT_FALSE(fs::exists(raiz / "Rascunho/RM_000001_0001_2612101200_2.LOG"));  // its log goes with it
  EXPECT_FALSE(c.RetomandoRascunho);
  EXPECT_EQ(c.PaginaAtiva, CadastroTelvarim::Pagina::Log);
  EXPECT_EQ(c.Processados.Directory, raiz / "Processados");  // the lists are read all the same
}

TEST_F(Criacao, DeclinedDraftSendsItsReceivedFileBackUnlessARequestAnswersIt) {
  struct Caso {
    const char* nome;
    const char* recebido;
    bool semLog;   // the draft's .LOG is gone: the draft's header leads to the file
    bool pedido;   // a request for the same company and sequence is in Gerados
    bool livro;    // the ledger knows the answer
    bool ocupado;  // Recebidos already holds a file of that name
  } casos[] = {
      {"named by the draft's log", "qualquer_1.rec", false, false, false, false},
      {"found by the draft's header", "RM_001234_0056_0703051409_1.rec", true, false, false, false},
      {"answered by a request in Gerados", "RM_001234_0056_0703051409_1.rec", false, true, false, false},
      {"answered in the ledger", "RM_001234_0056_0703051409_1.rec", true, false, true, false},
      {"a file of that name waits in Recebidos", "qualquer_1.rec", false, false, false, true},
  };
  const std::string pedidoAnterior = "RM_001234_0056_2612100000_2.REC";
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nome);
    std::error_code ec;
    for (const char* p : {"Recebidos", "Processados", "Gerados", "Rascunho"}) fs::remove_all(raiz / p, ec);
    fs::remove(raiz / std::string(kArquivoRespostas), ec);

    Processa(teste::RecebidoPadrao(), caso.recebido);
    ASSERT_TRUE(cad->DigitaValor(0, "7").Feito());
    ASSERT_TRUE(cad->SalvaRascunho().Feito());
    const std::string rascunho = cad->ArquivoGerado, log = cad->ArquivoLog;
    ASSERT_TRUE(fs::exists(raiz / "Processados" / caso.recebido));
    if (caso.semLog) fs::remove(raiz / "Rascunho" / log);
    if (caso.pedido) Grava("Gerados/" + pedidoAnterior);
    if (caso.livro)
      ASSERT_FALSE(RegistraResposta(raiz, {{1234, 56}, caso.recebido, pedidoAnterior, "10/12/2026 11:00:00"}));
    if (caso.ocupado) Grava(std::string("Recebidos/") + caso.recebido, "outro");

    op.avisos.clear();
    op.respostas = {false};
    CadastroTelvarim& c = Abre();
    const bool respondido = caso.pedido || caso.livro;
    const std::string aviso =
        "O Rascunho "_cp + rascunho + " será apagado"_cp +
        (respondido ? ". O arquivo recebido já foi respondido pelo pedido "_cp + pedidoAnterior + "."
                    : " e o arquivo " + std::string(caso.recebido) + " voltará para "_cp +
                          TextoCaminho(raiz / "Recebidos") + ", para ser processado novamente.");
    std::vector<std::string> textos{"Existe arquivo de Recarga em Alteração.Continua Alteração?"_cp, aviso};
    if (caso.ocupado)
      textos.push_back("Erro ao Mover Arquivo "_cp + caso.recebido + " para " + TextoCaminho(raiz / "Recebidos") +
                       " - O Rascunho foi mantido. Verifique!");
    EXPECT_EQ(op.Textos(), textos);
    EXPECT_EQ(c.PaginaAtiva, CadastroTelvarim::Pagina::Log);

    // Moved back, or kept where answered files belong; the draft and its log go only when nothing is lost.
    const bool volta = !respondido && !caso.ocupado;
    EXPECT_EQ(fs::exists(raiz / "Processados" / caso.recebido), !volta);
    EXPECT_EQ(fs::exists(raiz / "Rascunho" / rascunho), caso.ocupado);
    EXPECT_EQ(fs::exists(raiz / "Rascunho" / log), caso.ocupado);
    const auto Registrou = [&](const std::string& linha) {
      return std::find(op.log.begin(), op.log.end(), linha) != op.log.end();
    };
    EXPECT_EQ(
        Registrou("Arquivo " + std::string(caso.recebido) + " Movido para " + TextoCaminho(raiz / "Recebidos") + " "),
        volta);
    EXPECT_EQ(Registrou("Arquivo Apagado ==> " + TextoCaminho(raiz / "Rascunho" / rascunho)), !caso.ocupado);
    if (respondido)
      EXPECT_TRUE(Registrou("Arquivo já respondido pelo pedido "_cp + pedidoAnterior +
                            ": o arquivo recebido fica em "_cp + TextoCaminho(raiz / "Processados")));

    // Back on the file page the received file waits to be processed afresh.
    if (volta) {
      c.VoltaAosArquivos();
      EXPECT_EQ(c.Recebidos.Items, std::vector<std::string>{caso.recebido});
      EXPECT_TRUE(c.Processa().Feito());
      EXPECT_EQ(c.PaginaAtiva, CadastroTelvarim::Pagina::Digitacao);
    }
  }
}

TEST_F(Criacao, AcceptedDraftBecomesTheFileToProcess) {
  Grava("Rascunho/RM_000001_0001_2612101200_2.REC");
  Grava("Rascunho/RM_000001_0001_2612101100_2.REC");
  Grava("Recebidos/A_1.rec");
  op.respostas = {true};
  CadastroTelvarim c(op, Pastas(), tabelas, programa);
  EXPECT_FALSE(c.Abre().Feito());  // the draft is not a compressed file: its processing fails
  EXPECT_EQ(op.Textos(OperadorRoteirizado::Aviso::Tipo::Confirmacao).size(), 1u);
  EXPECT_TRUE(c.RetomandoRascunho);
  EXPECT_TRUE(fs::exists(raiz / "Rascunho/RM_000001_0001_2612101100_2.REC"));
  EXPECT_TRUE(fs::exists(raiz / "Rascunho/RM_000001_0001_2612101200_2.REC"));
}

TEST_F(Criacao, ListsAreReadOnlyOnTheFilePageAndKeepTheLastAccessed) {
  CadastroTelvarim c(op, Pastas(), tabelas, programa);
  c.Abre();
  EXPECT_TRUE(c.UltimoAcessado.empty());
  c.UltimoAcessado = "A_1.rec";
  c.ImportandoArquivo = true;
  c.AtualizaListas();
  EXPECT_EQ(c.UltimoAcessado, "A_1.rec");
  EXPECT_FALSE(c.ImportandoArquivo);

  c.PaginaAtiva = CadastroTelvarim::Pagina::Digitacao;  // another page: only the import flag is cleared
  Grava("Recebidos/B_1.rec");
  c.ImportandoArquivo = true;
  c.AtualizaListas();
  EXPECT_FALSE(c.ImportandoArquivo);
  EXPECT_EQ(c.Recebidos.Count(), 0);
  c.VoltaAosArquivos();
  EXPECT_EQ(c.PaginaAtiva, CadastroTelvarim::Pagina::Arquivos);
  EXPECT_EQ(c.Recebidos.Count(), 1);
  EXPECT_EQ(c.Recebidos.ItemIndex, 0);
}

TEST_F(Criacao, ClosingReleasesTheLineListsOnce) {
  CadastroTelvarim c(op, Pastas(), tabelas, programa);
  c.LinhasArquivo.emplace(3, "x");
  c.LinhasPedido.emplace(2, "y");
  c.Fecha();
  EXPECT_FALSE(c.LinhasArquivo);
  EXPECT_FALSE(c.LinhasPedido);
  c.Fecha();  // a second close finds nothing to release
}
