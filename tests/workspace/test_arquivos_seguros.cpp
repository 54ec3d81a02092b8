// What comes from outside is bounded, what the workspace writes is whole or absent, its temporaries are
// private and never outlive a step, and every failure says why on the log page.
#include <gtest/gtest.h>

#include <set>

#include <algorithm>
#include <new>

#include "ambiente.h"
#include "safe_file.h"

namespace fs = std::filesystem;
using namespace telvarim;
using namespace telvarim::teste;
using V = std::vector<std::string>;

namespace {

// A few kilobytes of LZW codes that ask for far more than the expansion cap: the byte 0, then each new code
// naming the string being defined (one zero longer each time), 12000 codes for about 72 MB.
std::string BombaLzw() {
  std::string z(2, '\0');
  auto escreve = [&](unsigned c) {
    z += static_cast<char>(c >> 8);
    z += static_cast<char>(c & 0xFF);
  };
  for (unsigned c = 256; c < 256 + 12000; ++c) escreve(c);
  escreve(65535);
  escreve(0);
  return z;
}

// Watches the files each packing step is handed at the moment it gets them.
class CodecsEspiao : public CodecsTeste {
 public:
  struct Visto {
    std::string passo, arquivo;
    fs::perms modo;
    bool finalExiste;  // the final name of the file being written already there
  };
  std::vector<Visto> vistos;
  fs::path finalEsperado;
  bool semMemoria = false;

  ResultadoPasso AbreSelado(const fs::path& e, const fs::path& s) override {
    Ve("abre", s);
    return CodecsTeste::AbreSelado(e, s);
  }
  ResultadoPasso Expande(const fs::path& e, const fs::path& s) override {
    if (semMemoria) throw std::bad_alloc();
    Ve("expande", s);
    return CodecsTeste::Expande(e, s);
  }
  ResultadoPasso Compacta(const fs::path& e, const fs::path& s) override {
    Ve("compacta-entrada", e);
    Ve("compacta", s);
    return CodecsTeste::Compacta(e, s);
  }
  ResultadoPasso Sela(const fs::path& e, const fs::path& s) override {
    Ve("sela", s);
    return CodecsTeste::Sela(e, s);
  }

 private:
  void Ve(const char* passo, const fs::path& p) {
    std::error_code ec;
    vistos.push_back({passo, p.filename().string(), fs::status(p, ec).permissions(),
                      !finalEsperado.empty() && fs::exists(finalEsperado, ec)});
  }
};

class ArquivosSeguros : public Workspace {
 protected:
  const std::string recebido = "RM_001234_0056_0703051409_1.rec";
  const std::string pedido = "RM_001234_0056_2612101105_2.REC";

  CadastroTelvarim& AbreCom(Codecs& c) {
    cad = std::make_unique<CadastroTelvarim>(op, Pastas(), tabelas, programa, relogio, c);
    cad->Abre();
    return *cad;
  }
  // Every file under the root, relative to it.
  V Arquivos() const {
    V r;
    for (const auto& e : fs::recursive_directory_iterator(raiz))
      if (e.is_regular_file() && e.path().filename() != kArquivoTrava)  // each folder's lock stays
        r.push_back(fs::relative(e.path(), raiz).generic_string());
    std::sort(r.begin(), r.end());
    return r;
  }
};

}  // namespace

// Expanded, a forged file would fill the disk or the memory: the expansion stops at its cap, the reading at
// its line limit, and the file is refused like any that does not expand, with the cause on the log page;
// nothing is written and no temporary stays. The same for a draft to resume.
TEST_F(ArquivosSeguros, ForgedFilesThatExpandWithoutBoundAreRefused) {
  const std::string linhas = Compacta(std::string(kMaxLinhasArquivo + 1, '\n'));
  const struct {
    const char* caso;
    bool rascunho;
    std::string comprimido, motivo;
  } casos[] = {
      {"bomba, recebido", false, BombaLzw(), " ==> Motivo : erro 6 - "},
      {"linhas, recebido", false, linhas, " ==> Motivo : o arquivo expandido tem mais de 100000 linhas"},
      {"bomba, rascunho", true, BombaLzw(), " ==> Motivo : erro 6 - "},
      {"linhas, rascunho", true, linhas, " ==> Motivo : o arquivo expandido tem mais de 100000 linhas"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.caso);
    fs::remove_all(raiz);
    op = {};
    op.respostas = {true};
    const std::string arquivo = c.rascunho ? "Rascunho/" + pedido : "Recebidos/" + recebido;
    const std::string conteudo = (c.rascunho ? "" : std::string(CodecsTeste::kMarca, 4)) + c.comprimido;
    Grava(arquivo, conteudo);
    CadastroTelvarim& w = Abre();
    if (!c.rascunho) w.Processa();
    EXPECT_EQ(op.Textos(OperadorRoteirizado::Aviso::Tipo::Mensagem),
              V{"Erro ao Descompactar o arquivo Temporário - Verifique!"_cp});
    ASSERT_GE(op.log.size(), 2u);
    EXPECT_EQ(op.log[op.log.size() - 2], " ==> Erro ao Descompactar o Arquivo ");
    EXPECT_EQ(op.log.back().rfind(Utf8ParaCp1252(c.motivo), 0), 0u) << op.log.back();
    EXPECT_EQ(w.PaginaAtiva, CadastroTelvarim::Pagina::Arquivos);
    EXPECT_EQ(w.QtdUsuarios, 0);
    EXPECT_EQ(Arquivos(), V{arquivo}) << "nothing written, no temporary left";
    EXPECT_EQ(LeArquivo(raiz / arquivo), conteudo);
  }
}

// The text in the clear and its compressed form are private before any byte is in them; the request and the
// draft are written under a name no list shows, and reach their own only when complete.
TEST_F(ArquivosSeguros, TemporariesArePrivateAndFilesReachTheirNamesComplete) {
  CodecsEspiao espiao;
  GravaRecebido(recebido, RecebidoPadrao().Linhas());
  CadastroTelvarim& c = AbreCom(espiao);
  c.Processa();
  ASSERT_EQ(c.PaginaAtiva, CadastroTelvarim::Pagina::Digitacao);
  espiao.finalEsperado = raiz / "Gerados" / pedido;
  c.GeraPedido();
  ASSERT_EQ(c.UltimaGeracao, ResultadoGeracao::Gravado);
  espiao.finalEsperado = raiz / "Rascunho" / pedido;
  c.SalvaRascunho();

#if !defined(_WIN32)
  const fs::perms dono = fs::perms::owner_read | fs::perms::owner_write;
#endif
  // Each temporary is its run's own: its name, a mark of the run, and the suffix no list shows.
  const struct {
    const char* passo;
    const char* arquivo;
    bool privado;
  } esperados[] = {
      {"abre", "TMP2.REC.", true},
      {"expande", "TMP1.REC.", true},
      {"compacta-entrada", "TMP1.REC.", true},
      {"compacta", "TMP2.REC.", true},
      {"sela", "RM_001234_0056_2612101105_2.REC.", false},
      {"compacta-entrada", "TMP1.REC.", true},
      {"compacta", "RM_001234_0056_2612101105_2.REC.", true},  // a draft holds the records in the clear
  };
  ASSERT_EQ(espiao.vistos.size(), std::size(esperados));
  std::set<std::string> nomes;
  for (std::size_t i = 0; i < espiao.vistos.size(); ++i) {
    const auto& v = espiao.vistos[i];
    SCOPED_TRACE(std::to_string(i) + " " + v.passo);
    EXPECT_EQ(v.passo, esperados[i].passo);
    EXPECT_EQ(v.arquivo.rfind(esperados[i].arquivo, 0), 0u) << v.arquivo;
    EXPECT_TRUE(v.arquivo.ends_with(".parcial")) << v.arquivo;
    if (std::string(v.passo) != "compacta-entrada") EXPECT_TRUE(nomes.insert(v.arquivo).second) << "used twice";
    EXPECT_FALSE(v.finalExiste) << "a final name appears only once its file is complete";
#if !defined(_WIN32)
    if (esperados[i].privado) {
      EXPECT_EQ(v.modo, dono);
    }
#endif
  }
  EXPECT_EQ(ListaArquivos(raiz / "Gerados", "*"), (V{"RM_001234_0056_2612101105_2.LOG", pedido}));
  EXPECT_EQ(ListaArquivos(raiz / "Rascunho", "*"), (V{"RM_001234_0056_2612101105_2.LOG", pedido}));
  EXPECT_EQ(LinhasDe(raiz / "Gerados" / pedido, true), LinhasDe(raiz / "Rascunho" / pedido, false));
}

// What an interrupted generation left (its temporaries, a request or log under the temporary name) never
// shows in a list and is cleared by the next generation in that folder.
TEST_F(ArquivosSeguros, LeftoversOfAnInterruptedGenerationAreCleared) {
  CadastroTelvarim& c = Processa(RecebidoPadrao(), recebido);
  for (const char* sobra :
       {"TMP1.REC", "TMP2.REC", "RM_001234_0056_2612100900_2.REC.parcial", "RM_001234_0056_2612100900_2.LOG.parcial"})
    Grava(fs::path("Gerados") / sobra, "interrompido");
  c.AtualizaListas();
  EXPECT_EQ(c.Gerados.Count(), 0);
  c.GeraPedido();
  ASSERT_EQ(c.UltimaGeracao, ResultadoGeracao::Gravado);
  EXPECT_EQ(ListaArquivos(raiz / "Gerados", "*"), (V{"RM_001234_0056_2612101105_2.LOG", pedido}));
}

// A request written whose received file cannot be moved is not a plain success: the engine says so in a
// field, and the log gives the system's reason. The name is taken in Processados only after the request was
// checked and written (here by a folder, which works for any user), as another program could.
TEST_F(ArquivosSeguros, FailedMoveIsRecordedWithItsCause) {
  CadastroTelvarim& c = Processa(RecebidoPadrao(), recebido);
  c.PontoDeControle = [&](std::string_view fase) {
    if (fase == "resposta-registrada") Grava(fs::path("Processados") / recebido / "ocupa", "uma pasta com o nome");
  };
  c.GeraPedido();
  EXPECT_EQ(c.UltimaGeracao, ResultadoGeracao::Gravado);
  EXPECT_EQ(c.LogGerado, Desfecho::Feito);
  EXPECT_EQ(c.MovimentoRecebido, Desfecho::Falhou);
  EXPECT_TRUE(fs::exists(raiz / "Gerados" / pedido));
  EXPECT_TRUE(fs::is_regular_file(raiz / "Recebidos" / recebido));
  const std::string destino = TextoCaminho(raiz / "Processados" / recebido);
  const auto linha =
      std::find(op.log.begin(), op.log.end(), "Erro ao Mover Arquivo para " + TextoCaminho(raiz / "Processados") + " ");
  ASSERT_NE(linha, op.log.end());
  ASSERT_NE(linha + 1, op.log.end());
  const std::string motivo = " ==> Motivo : erro " + std::to_string(static_cast<int>(std::errc::file_exists)) + " - '" +
                             destino + "': " + system_error_text(std::make_error_code(std::errc::file_exists));
  EXPECT_EQ(*(linha + 1), motivo);
  EXPECT_EQ(c.UltimaFalha.reason.rfind("move: '", 0), 0u) << c.UltimaFalha.reason;

  // The next generation finds the answer in the ledger: it only moves the file, and writes no second request.
  c.PontoDeControle = {};
  fs::remove_all(raiz / "Processados" / recebido);
  relogio.Define({2026, 12, 10, 11, 9, 0});
  c.GeraPedido();
  EXPECT_EQ(c.UltimaGeracao, ResultadoGeracao::RespostaConcluida);
  EXPECT_EQ(c.MovimentoRecebido, Desfecho::Feito);
  EXPECT_EQ(ListaArquivos(raiz / "Gerados", std::string(MascaraGerados)), V{pedido});
  EXPECT_TRUE(fs::is_regular_file(raiz / "Processados" / recebido));
}

// The system's refusal to make a temporary, in a hook of the file layer (as a full or refusing disk would):
// whatever name the temporary has, the refusal it gets from the system comes with them.
namespace {

fs::path g_recusaPasta;
std::string g_recusaPrefixo;
std::error_code g_recusa;

std::error_code RecusaTemporario(const fs::path& p, std::string_view operacao) {
  return operacao == "create" && p.parent_path() == g_recusaPasta &&
                 p.filename().string().rfind(g_recusaPrefixo, 0) == 0
             ? g_recusa
             : std::error_code();
}

struct GanchoArquivos {
  explicit GanchoArquivos(FileFault f) { set_file_fault_for_tests(f); }
  ~GanchoArquivos() { set_file_fault_for_tests(nullptr); }
};

}  // namespace

// A temporary the system refuses: the step's own message, then the system's text naming the file.
TEST_F(ArquivosSeguros, FilesTheSystemRefusesAreNamedWithTheSystemsText) {
  g_recusa = std::make_error_code(std::errc::read_only_file_system);
  const std::string sistema = system_error_text(g_recusa);
  const GanchoArquivos gancho(RecusaTemporario);
  {
    SCOPED_TRACE("processing");
    g_recusaPasta = raiz / "Recebidos";
    g_recusaPrefixo = "TMP2.REC.";
    GravaRecebido(recebido, RecebidoPadrao().Linhas());
    Abre().Processa();
    EXPECT_EQ(op.Textos(), V{"Erro ao Descriptografar Arquivo - Verifique!"});
    const std::string inicio = " ==> Motivo : erro " + std::to_string(g_recusa.value()) + " - '" +
                               TextoCaminho(raiz / "Recebidos" / "TMP2.REC.");
    EXPECT_EQ(op.log.back().rfind(inicio, 0), 0u) << op.log.back();
    EXPECT_TRUE(op.log.back().ends_with(".parcial': " + sistema)) << op.log.back();
  }
  {
    SCOPED_TRACE("generation");
    g_recusaPasta = raiz / "Gerados";
    g_recusaPrefixo = "TMP1.REC.";
    op = {};
    CadastroTelvarim& c = Processa(RecebidoPadrao(), recebido);
    c.GeraPedido();
    EXPECT_EQ(c.UltimaGeracao, ResultadoGeracao::FalhaCompactacao);
    EXPECT_EQ(op.Textos(), V{"Erro ao Compactar o arquivo Temporário - Verifique!"_cp});
    EXPECT_NE(op.log.back().find("'" + TextoCaminho(raiz / "Gerados" / "TMP1.REC.")), std::string::npos)
        << op.log.back();
    EXPECT_TRUE(op.log.back().ends_with(".parcial': " + sistema)) << op.log.back();
    EXPECT_EQ(c.UltimaFalha.reason.rfind("write: ", 0), 0u) << c.UltimaFalha.reason;
  }
}

// Running out of memory ends the operation with a box that says so in words, the window as it was.
TEST_F(ArquivosSeguros, LackOfMemoryIsSaidInWords) {
  CodecsEspiao espiao;
  espiao.semMemoria = true;
  GravaRecebido(recebido, RecebidoPadrao().Linhas());
  CadastroTelvarim& c = AbreCom(espiao);
  c.Processa();
  EXPECT_EQ(op.Textos(OperadorRoteirizado::Aviso::Tipo::Erro),
            V{"Memória insuficiente para concluir a operação - Verifique!"_cp});
  EXPECT_EQ(op.log.back(), " ==> Motivo : memória insuficiente"_cp);
  EXPECT_EQ(c.PaginaAtiva, CadastroTelvarim::Pagina::Arquivos);
  EXPECT_FALSE(c.LinhasArquivo.has_value());
  EXPECT_EQ(ListaArquivos(raiz / "Recebidos", "*"), V{recebido}) << "its temporaries gone on the way out";
}
