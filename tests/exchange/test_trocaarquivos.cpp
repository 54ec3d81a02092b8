#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "cp1252.h"
#include "pasta_temporaria.h"
#include "pastas.h"
#include "trocaarquivos.h"

using namespace telvarim;
using namespace telvarim::literais;
namespace fs = std::filesystem;

namespace {

// Answers from a script and keeps every text it was shown. An answer not scripted is "no".
class OperadorRoteiro : public OperadorTroca {
 public:
  std::deque<bool> disco, apagar;
  std::vector<std::string> perguntasDisco, perguntasApagar, mensagens, advertencias;

  bool ConfirmaDisco(const std::string& p) override { return Responde(disco, perguntasDisco, p); }
  bool ConfirmaApagar(const std::string& p) override { return Responde(apagar, perguntasApagar, p); }
  void Mensagem(const std::string& t) override { mensagens.push_back(t); }
  void Advertencia(const std::string& t) override { advertencias.push_back(t); }

 private:
  static bool Responde(std::deque<bool>& fila, std::vector<std::string>& vistas, const std::string& p) {
    vistas.push_back(p);
    if (fila.empty()) return false;
    const bool r = fila.front();
    fila.pop_front();
    return r;
  }
};

class Troca : public teste::PastaTemporaria {
 protected:
  fs::path Pasta(const fs::path& relativo) {
    fs::create_directories(pasta / relativo);
    return pasta / relativo;
  }
  static std::string Le(const fs::path& p) { return teste::LeArquivo(p); }
  static std::vector<std::string> Nomes(const fs::path& p) { return ListaArquivos(p, "*"); }
};

const std::string kPedido1 = "RM_001234_0007_2612101100_2.REC";
const std::string kPedido2 = "RM_000099_0003_2612101105_2.rec";
const std::string kPedido3 = "RM_555000_0001_2612101110_2.REC";

}  // namespace

TEST(NomesTroca, HandedOverNameReplacesTheLastFiveCharacters) {
  struct Caso {
    const char* nome;
    const char* entregue;
  } casos[] = {
      {"X_1.rec", "X_4.REC"},
      {"RM_001234_0007_2612101100_2.REC", "RM_001234_0007_2612101100_4.REC"},
      {"a.rec", "4.REC"},
      {"abc", "4.REC"},
  };
  for (const auto& c : casos) EXPECT_EQ(NomeEntregue(c.nome), c.entregue) << c.nome;
}

TEST(NomesTroca, CompanyCodeIsTheSixCharactersAfterThePrefix) {
  EXPECT_EQ(CodigoEmpresa("RM_001234_0007_2612101100_2.REC"), "001234");
  EXPECT_EQ(CodigoEmpresa("RM_12"), "12");
  EXPECT_EQ(CodigoEmpresa("RM_"), "");
}

TEST(NomesTroca, QuestionsReadAsTheOperatorKnowsThem) {
  EXPECT_EQ(PerguntaDisco("001234", "a:"), "       Coloque o Disco da Empresa \n001234 \n      no Drive a:!");
  EXPECT_EQ(PerguntaApagar(), "No local escolhido h\xE1 arquivos de Recarga. Apaga os arquivos ?");
}

// Recebidos shared with another desk whose step holds it: the copy waits, then reports the file as not
// copied, naming the holder; nothing is copied or marked. Once free, the same load goes through.
TEST_F(Troca, LoadWaitsForAFolderAnotherDeskHoldsThenSaysWho) {
  const fs::path disco = Pasta("disco");
  const fs::path recebidos = Pasta("Recebidos");
  Grava("disco/X_1.rec", "novo");
  fs::create_directories(recebidos);
  TravaPastas outra = TravaPastasDoPasso({recebidos}, "outra mesa", std::chrono::milliseconds(0));
  ASSERT_TRUE(outra.Travadas());
  ResultadoTroca r = CarregaArquivos(disco, {"X_1.rec"}, recebidos, std::chrono::milliseconds(50));
  ASSERT_EQ(r.falhas.size(), 1u);
  EXPECT_EQ(r.falhas[0].motivo,
            "pasta " + TextoCaminho(recebidos) + " em uso por outra mesa, pid " + std::to_string(current_process_id()));
  EXPECT_TRUE(ListaArquivos(recebidos, MascaraRecebidos).empty());
  EXPECT_EQ(Nomes(disco), std::vector<std::string>{"X_1.rec"});
  outra.travas.clear();
  r = CarregaArquivos(disco, {"X_1.rec"}, recebidos, std::chrono::milliseconds(50));
  EXPECT_TRUE(r.Completo());
  EXPECT_EQ(Le(recebidos / "X_1.rec"), "novo");
}

TEST_F(Troca, LoadCopiesMarksTheDiskFileAndReplacesAnEarlierCopy) {
  const fs::path disco = Pasta("disco");
  const fs::path recebidos = Pasta("Recebidos");
  Grava("disco/X_1.rec", "novo");
  Grava("disco/Y_1.rec", "outro");
  Grava("Recebidos/X_1.rec", "velho e mais comprido");

  const ResultadoTroca r = CarregaArquivos(disco, {"X_1.rec", "Y_1.rec"}, recebidos);

  EXPECT_TRUE(r.Completo());
  EXPECT_EQ(r.copiados, (std::vector<std::string>{"X_1.rec", "Y_1.rec"}));
  EXPECT_EQ(Le(recebidos / "X_1.rec"), "novo");
  EXPECT_EQ(Le(recebidos / "Y_1.rec"), "outro");
  EXPECT_EQ(Nomes(disco), (std::vector<std::string>{"X_4.REC", "Y_4.REC"}));
  EXPECT_EQ(Le(disco / "X_4.REC"), "novo");
  EXPECT_TRUE(ListaArquivos(disco, MascaraRecebidos).empty());
  EXPECT_EQ(TextoResultado(r), "Arquivos Processados com Sucesso!");
}

TEST_F(Troca, LoadReportsEachFileItCouldNotCopyAndGoesOn) {
  const fs::path disco = Pasta("disco");
  Grava("disco/A_1.rec", "a");
  Grava("disco/B_1.rec", "b");
  const fs::path semPasta = pasta / "Recebidos";  // never created

  ResultadoTroca r = CarregaArquivos(disco, {"A_1.rec", "sumiu_1.rec"}, semPasta);
  EXPECT_TRUE(r.copiados.empty());
  ASSERT_EQ(r.falhas.size(), 2u);
  EXPECT_EQ(r.falhas[0].arquivo, "A_1.rec");
  EXPECT_EQ(r.falhas[0].motivo, "pasta de destino n\xE3o encontrada: " + TextoCaminho(semPasta));
  EXPECT_EQ(r.falhas[1].motivo, "arquivo de origem n\xE3o encontrado");
  // Not copied, not marked.
  EXPECT_EQ(Nomes(disco), (std::vector<std::string>{"A_1.rec", "B_1.rec"}));

  const std::string aviso = TextoResultado(r);
  EXPECT_EQ(aviso.rfind("Arquivos n\xE3o copiados:\n", 0), 0u) << aviso;
  EXPECT_NE(aviso.find("A_1.rec: pasta de destino"), std::string::npos);
  EXPECT_NE(aviso.find("sumiu_1.rec: arquivo de origem"), std::string::npos);
  EXPECT_EQ(aviso.find("Sucesso"), std::string::npos);

  OperadorRoteiro op;
  InformaResultado(r, op);
  EXPECT_TRUE(op.mensagens.empty());
  EXPECT_EQ(op.advertencias, std::vector<std::string>{aviso});
}

TEST_F(Troca, PathsLongerThan255CharactersAreRefusedForThatFileOnly) {
  const fs::path recebidos = Pasta("Recebidos");
  const fs::path disco = Pasta("disco");
  Grava("disco/curto_1.rec", "c");
  // Long enough whatever the temporary folder; each name stays below the file systems' 255-byte limit.
  const std::string comprido = std::string(240, 'n') + "_1.rec";
  const fs::path fundo = pasta / std::string(100, 'p');

  ResultadoTroca r = CarregaArquivos(disco, {comprido, "curto_1.rec"}, recebidos);
  ASSERT_EQ(r.falhas.size(), 1u);
  EXPECT_EQ(r.falhas[0].arquivo, comprido);
  EXPECT_EQ(r.falhas[0].motivo.rfind("caminho com mais de 255 caracteres: ", 0), 0u);
  EXPECT_EQ(r.copiados, std::vector<std::string>{"curto_1.rec"});

  // On the generate side the refusal comes before the destination is cleared.
  Grava("Gerados/" + kPedido1, "pedido");
  Grava(fundo.filename() / "antigo_2.REC", "antigo");
  OperadorRoteiro op;
  op.disco = {true};
  op.apagar = {true};
  r = GeraArquivos(pasta / "Gerados", {kPedido1}, fundo / std::string(160, 'q'), "a:", op);
  ASSERT_EQ(r.falhas.size(), 1u);
  EXPECT_TRUE(op.perguntasApagar.empty());
  EXPECT_TRUE(fs::exists(fundo / "antigo_2.REC"));
  EXPECT_TRUE(fs::exists(pasta / "Gerados" / kPedido1));
}

TEST_F(Troca, GenerateAsksPerFileWithTheCompanyCodeAndSkipsOnCancel) {
  const fs::path gerados = Pasta("Gerados");
  const fs::path disco = Pasta("disco");
  Grava("Gerados/" + kPedido1, "p1");
  Grava("Gerados/" + kPedido2, "p2");
  Grava("Gerados/" + kPedido3, "p3");
  OperadorRoteiro op;
  op.disco = {true, false, true};  // the second disk is not there: Cancel

  const ResultadoTroca r = GeraArquivos(gerados, {kPedido1, kPedido2, kPedido3}, disco, "e:", op);

  EXPECT_EQ(op.perguntasDisco, (std::vector<std::string>{PerguntaDisco("001234", "e:"), PerguntaDisco("000099", "e:"),
                                                         PerguntaDisco("555000", "e:")}));
  EXPECT_TRUE(r.Completo());  // a declined file is the operator's choice, not a failure
  EXPECT_EQ(r.recusados, 1u);
  EXPECT_EQ(r.copiados, (std::vector<std::string>{kPedido1, kPedido3}));
  // The second copy went onto the disk that already held the first: the first was not deleted because
  // the deletion question was answered "no" (nothing scripted).
  EXPECT_EQ(op.perguntasApagar, std::vector<std::string>{PerguntaApagar()});
  EXPECT_EQ(Nomes(disco), (std::vector<std::string>{kPedido1, kPedido3}));
  EXPECT_EQ(Nomes(gerados), (std::vector<std::string>{kPedido2, NomeEntregue(kPedido1), NomeEntregue(kPedido3)}));
  EXPECT_EQ(ListaArquivos(gerados, MascaraGerados), std::vector<std::string>{kPedido2});
}

TEST_F(Troca, DestinationIsClearedOfEveryRechargeFileOnlyAfterYes) {
  struct Caso {
    bool sim;
    std::vector<std::string> ficam;
  } casos[] = {
      {true, {"leia.txt", kPedido1}},
      {false, {"a_1.rec", "B_4.REC", "c.Rec", "leia.txt", kPedido1}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.sim ? "yes" : "no");
    const fs::path gerados = Pasta("Gerados");
    const fs::path disco = Pasta("disco");
    for (const char* n : {"a_1.rec", "B_4.REC", "c.Rec", "leia.txt"}) Grava(fs::path("disco") / n, n);
    Grava("Gerados/" + kPedido1, "p1");
    OperadorRoteiro op;
    op.disco = {true};
    op.apagar = {c.sim};

    const ResultadoTroca r = GeraArquivos(gerados, {kPedido1}, disco, "e:", op);

    EXPECT_EQ(op.perguntasApagar.size(), 1u);
    EXPECT_EQ(r.copiados, std::vector<std::string>{kPedido1});  // "no" still copies
    EXPECT_EQ(Nomes(disco), c.ficam);
    fs::remove_all(disco);
    fs::remove_all(gerados);
  }
}

TEST_F(Troca, SameDiskForTwoCompaniesLosesTheFirstCopyWhenTheOperatorSaysSo) {
  const fs::path gerados = Pasta("Gerados");
  const fs::path disco = Pasta("disco");
  Grava("Gerados/" + kPedido1, "p1");
  Grava("Gerados/" + kPedido3, "p3");
  OperadorRoteiro op;
  op.disco = {true, true};
  op.apagar = {true};

  GeraArquivos(gerados, {kPedido1, kPedido3}, disco, "e:", op);

  EXPECT_EQ(op.perguntasApagar.size(), 1u);  // the empty disk asked nothing
  EXPECT_EQ(Nomes(disco), std::vector<std::string>{kPedido3});
}

TEST_F(Troca, TheSourceFolderIsNeverTheDestination) {
  // Clearing Gerados itself would delete the requests still waiting to be handed over.
  const fs::path gerados = Pasta("Gerados");
  Grava("Gerados/" + kPedido1, "p1");
  Grava("Gerados/" + kPedido2, "p2");
  OperadorRoteiro op;
  op.disco = {true};
  op.apagar = {true};

  const ResultadoTroca r = GeraArquivos(gerados, {kPedido1}, pasta / "." / "Gerados", "c: [SISTEMA]", op);

  ASSERT_EQ(r.falhas.size(), 1u);
  EXPECT_EQ(r.falhas[0].motivo, "a pasta de destino \xE9 a pr\xF3pria pasta de origem");
  EXPECT_TRUE(op.perguntasApagar.empty());
  EXPECT_EQ(Nomes(gerados), (std::vector<std::string>{kPedido2, kPedido1}));
  EXPECT_EQ(Le(gerados / kPedido1), "p1");
}

TEST_F(Troca, ClearingAFolderWithoutRechargeFilesAsksNothing) {
  const fs::path disco = Pasta("disco");
  Grava("disco/notas.txt", "n");
  OperadorRoteiro op;
  op.apagar = {true};
  ApagaDisco(disco, op);
  ApagaDisco(pasta / "nao-existe", op);
  EXPECT_TRUE(op.perguntasApagar.empty());
  EXPECT_EQ(Nomes(disco), std::vector<std::string>{"notas.txt"});
}
