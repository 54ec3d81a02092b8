// Every received file answered exactly once: the ledger and the requests in Gerados witness an answer, a run
// that ended midway is completed rather than repeated, a copy under another name is refused, a file that
// cannot follow its request gets none, and statuses after a failed flush say what the folders hold.
#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "ambiente.h"

namespace fs = std::filesystem;
using namespace telvarim;
using namespace telvarim::teste;

namespace {

using V = std::vector<std::string>;

const std::string kRecebido = "RM_001234_0056_0703051409_1.rec";
const std::string kPedido = "RM_001234_0056_2612101105_2.REC";

// What ends a run in the middle, as a crash would: nothing after that point runs.
struct Queda : std::runtime_error {
  Queda() : std::runtime_error("queda") {}
};

class Respostas : public Workspace {
 protected:
  V Pedidos() const { return ListaArquivos(raiz / "Gerados", std::string(MascaraGerados)); }
  bool Em(const char* pasta, const std::string& nome = kRecebido) const {
    return fs::is_regular_file(raiz / pasta / nome);
  }
  std::string Livro() const { return LeArquivo(raiz / std::string(kArquivoRespostas)); }

  // A new run on the same tree: processes the received file and answers it.
  CadastroTelvarim& Responde(const std::string& nome = kRecebido) {
    Abre();
    const auto it = std::find(cad->Recebidos.Items.begin(), cad->Recebidos.Items.end(), nome);
    EXPECT_NE(it, cad->Recebidos.Items.end()) << nome;
    cad->Recebidos.ItemIndex = static_cast<int>(it - cad->Recebidos.Items.begin());
    EXPECT_TRUE(cad->Processa().Feito());
    resultado = cad->GeraPedido();
    return *cad;
  }
};

}  // namespace

// A run ends at each point of its answer; the next run leaves one request and the file in Processados.
TEST_F(Respostas, RunEndedAtAnyPointIsCompletedNeverRepeated) {
  // The next run comes two minutes later: a second request would have a name of its own.
  const std::string depois = "RM_001234_0056_2612101107_2.REC";
  const struct {
    const char* fase;
    ResultadoGeracao proxima;  // what the next run's generation does
    std::string pedido;        // the one request in the end
  } casos[] = {
      {"antes-do-pedido", ResultadoGeracao::Gravado, depois},                 // nothing was answered: it answers
      {"pedido-gravado", ResultadoGeracao::RespostaConcluida, kPedido},       // the request witnesses the answer
      {"resposta-registrada", ResultadoGeracao::RespostaConcluida, kPedido},  // the ledger does
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.fase);
    fs::remove_all(raiz);
    relogio.Define({2026, 12, 10, 11, 5, 30});
    GravaRecebido(kRecebido, RecebidoPadrao().Linhas());
    Abre();
    ASSERT_TRUE(cad->Processa().Feito());
    cad->PontoDeControle = [&](std::string_view f) {
      if (f == caso.fase) throw Queda();
    };
    EXPECT_THROW(cad->GeraPedido(), Queda);
    cad.reset();
    EXPECT_TRUE(Em("Recebidos"));
    // No half-written file of the ended run is taken for anything: the next step there clears it.
    relogio.Define({2026, 12, 10, 11, 7, 0});
    Responde();
    EXPECT_EQ(cad->UltimaGeracao, caso.proxima);
    EXPECT_TRUE(resultado.Feito());
    EXPECT_EQ(cad->MovimentoRecebido, Desfecho::Feito);
    EXPECT_EQ(Pedidos(), V{caso.pedido});
    EXPECT_TRUE(Em("Processados"));
    EXPECT_FALSE(Em("Recebidos"));
    EXPECT_NE(Livro().find(kRecebido + "\t" + caso.pedido), std::string::npos) << Livro();
    if (caso.proxima == ResultadoGeracao::RespostaConcluida)
      EXPECT_NE(std::find(op.log.begin(), op.log.end(),
                          "Arquivo já respondido pelo pedido "_cp + caso.pedido + ": resposta concluída"_cp),
                op.log.end());
    EXPECT_EQ(ListaArquivos(raiz / "Gerados", "*" + std::string(kSufixoParcial)), V{});
  }
}

// A received file whose name is taken in Processados cannot follow a request there: none is written.
TEST_F(Respostas, NameTakenInProcessadosWritesNoRequest) {
  GravaRecebido(kRecebido, RecebidoPadrao().Linhas());
  Grava(fs::path("Processados") / kRecebido, "outro arquivo de mesmo nome");
  Responde();
  EXPECT_EQ(cad->UltimaGeracao, ResultadoGeracao::NadaGravado);
  EXPECT_FALSE(resultado.Feito());
  const std::string m =
      "Já existe um arquivo "_cp + kRecebido + " em " + TextoCaminho(raiz / "Processados") + " - Verifique!";
  EXPECT_EQ(op.Textos(), V{m});
  EXPECT_EQ(Pedidos(), V{});
  EXPECT_TRUE(Em("Recebidos"));
  EXPECT_EQ(LeArquivo(raiz / "Processados" / kRecebido), "outro arquivo de mesmo nome");
  // However many times it is tried.
  Responde();
  EXPECT_EQ(Pedidos(), V{});
}

// The same file under another name is the same identity (company and sequence of its header): refused, and
// the message names the request that answered it and the file it answered.
TEST_F(Respostas, CopyUnderAnotherNameIsRefusedNamingTheFirstAnswer) {
  const std::string copia = "COPIA_DO_MESMO_1.rec";
  GravaRecebido(kRecebido, RecebidoPadrao().Linhas());
  GravaRecebido(copia, RecebidoPadrao().Linhas());
  Responde(kRecebido);
  ASSERT_EQ(cad->UltimaGeracao, ResultadoGeracao::Gravado);
  relogio.Define({2026, 12, 11, 9, 0, 0});
  op = {};
  Responde(copia);
  EXPECT_EQ(cad->UltimaGeracao, ResultadoGeracao::JaRespondido);
  EXPECT_EQ(resultado.estado, Resultado::Estado::Recusado);
  EXPECT_EQ(cad->PedidoAnterior, kPedido);
  EXPECT_EQ(op.Textos(), V{"Arquivo já respondido pelo pedido "_cp + kPedido + " (arquivo recebido " + kRecebido +
                           ") - Verifique!"});
  EXPECT_EQ(Pedidos(), V{kPedido});
  EXPECT_TRUE(Em("Recebidos", copia)) << "left where it was, for the operator to see";

  // A request handed over to a disk ("..._4.REC") still witnesses the answer, with no ledger at all.
  fs::remove(raiz / std::string(kArquivoRespostas));
  fs::rename(raiz / "Gerados" / kPedido, raiz / "Gerados" / "RM_001234_0056_2612101105_4.REC");
  Grava(fs::path("Processados") / copia, "ocupa o nome");  // so that it is not taken for an interrupted answer
  op = {};
  Responde(copia);
  EXPECT_EQ(cad->UltimaGeracao, ResultadoGeracao::JaRespondido);
  EXPECT_EQ(cad->PedidoAnterior, "RM_001234_0056_2612101105_4.REC");
  EXPECT_EQ(Pedidos(), V{});
}

// A resumed draft of an answered file gives no second request either.
TEST_F(Respostas, DraftOfAnAnsweredFileGivesNoSecondRequest) {
  CadastroTelvarim& c = Processa(RecebidoPadrao(), kRecebido);
  ASSERT_TRUE(c.SalvaRascunho().Feito());
  // Answered meanwhile (another window, another desk): the ledger says so.
  ASSERT_FALSE(RegistraResposta(raiz, {{1234, 56}, kRecebido, kPedido, "10/12/2026 11:05:30"}));
  op = {};
  op.respostas = {true};  // resume the draft
  Abre();
  ASSERT_TRUE(cad->RetomandoRascunho);
  cad->GeraPedido();
  EXPECT_EQ(cad->UltimaGeracao, ResultadoGeracao::JaRespondido);
  EXPECT_EQ(Pedidos(), V{});
}

namespace {

fs::path g_alvo;
const char* g_operacaoQueFalha = "";

// Fails one flush (of a file or a folder) as a failing disk would.
std::error_code FalhaDescarga(const fs::path& p, std::string_view operacao) {
  std::error_code ec;
  return operacao == g_operacaoQueFalha && fs::equivalent(p, g_alvo, ec) ? std::make_error_code(std::errc::io_error)
                                                                         : std::error_code();
}

struct Gancho {
  Gancho(const fs::path& alvo, const char* operacao) {
    g_alvo = alvo;
    g_operacaoQueFalha = operacao;
    set_file_fault_for_tests(FalhaDescarga);
  }
  ~Gancho() { set_file_fault_for_tests(nullptr); }
};

}  // namespace

// A folder's flush that fails after a rename or a move: the file is in place, and the outcome says so
// (the operator reads the system's reason on the log page). Only a rename that did not happen is a failure.
TEST_F(Respostas, FailedFlushAfterARenameIsReportedByWhatTheFolderHolds) {
#if defined(_WIN32)
  // A move there is written through by the system itself: no flush of the folder follows it to fail.
  const char* const pastas[] = {"Gerados"};
#else
  const char* const pastas[] = {"Gerados", "Processados"};
#endif
  for (const char* pasta : pastas) {
    SCOPED_TRACE(pasta);
    fs::remove_all(raiz);
    GravaRecebido(kRecebido, RecebidoPadrao().Linhas());
    Abre();
    ASSERT_TRUE(cad->Processa().Feito());
    {
      const Gancho gancho(raiz / pasta, "flush-folder");
      resultado = cad->GeraPedido();
    }
    EXPECT_TRUE(resultado.Feito()) << resultado.motivo;
    EXPECT_EQ(cad->UltimaGeracao, ResultadoGeracao::Gravado);
    EXPECT_EQ(cad->LogGerado, Desfecho::Feito);
    EXPECT_EQ(cad->MovimentoRecebido, Desfecho::Feito);
    EXPECT_EQ(Pedidos(), V{kPedido});
    EXPECT_TRUE(Em("Processados"));
    const std::string motivo = " ==> Motivo : erro " + std::to_string(static_cast<int>(std::errc::io_error)) + " - '" +
                               TextoCaminho(raiz / pasta) + "'";
    EXPECT_NE(std::find_if(op.log.begin(), op.log.end(), [&](const std::string& l) { return l.rfind(motivo, 0) == 0; }),
              op.log.end());
  }
  // A flush of the request itself before its rename fails the packing: no request, nothing moved.
  fs::remove_all(raiz);
  GravaRecebido(kRecebido, RecebidoPadrao().Linhas());
  Abre();
  ASSERT_TRUE(cad->Processa().Feito());
  {
    const Gancho gancho(raiz / "nenhum", "flush");  // the request's temporary, once its name is known
    cad->PontoDeControle = [&](std::string_view f) {
      if (f != "antes-do-pedido") return;
      for (const auto& e : fs::directory_iterator(raiz / "Gerados"))
        if (e.path().filename().string().rfind(kPedido, 0) == 0) g_alvo = e.path();
    };
    cad->GeraPedido();
  }
  EXPECT_EQ(cad->UltimaGeracao, ResultadoGeracao::FalhaSelagem);
  EXPECT_EQ(Pedidos(), V{});
  EXPECT_TRUE(Em("Recebidos"));
  EXPECT_EQ(Livro(), "");
}

// Two workspaces on one folder: while one holds it for a step, the other waits, and gives up with the holder
// named when it waited too long.
TEST_F(Respostas, FolderHeldByAnotherStepIsWaitedForThenRefused) {
  GravaRecebido(kRecebido, RecebidoPadrao().Linhas());
  Abre();
  ASSERT_TRUE(cad->Processa().Feito());
  cad->EsperaPastas = std::chrono::milliseconds(100);
  const TravaPastas outro = TravaPastasDoPasso({raiz / "Gerados"}, "outra mesa", std::chrono::milliseconds(0));
  ASSERT_TRUE(outro.Travadas());
  cad->GeraPedido();
  EXPECT_EQ(cad->UltimaGeracao, ResultadoGeracao::NadaGravado);
  EXPECT_EQ(op.Textos().back(), "Pasta " + TextoCaminho(raiz / "Gerados") + " em uso por outra mesa, pid " +
                                    std::to_string(current_process_id()) + " - Tente novamente!");
  EXPECT_EQ(Pedidos(), V{});
  EXPECT_TRUE(Em("Recebidos"));
}
