#include <gtest/gtest.h>

#include "ambiente.h"
#include "cadastrotelvarim.h"
#include "cp1252.h"

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
  EXPECT_EQ(op.Textos(), std::vector<std::string>{"Existe arquivo de Recarga em Alteração.Continua Alteração?"_cp});
  EXPECT_EQ(op.avisos[0].tipo, OperadorRoteirizado::Aviso::Tipo::Confirmacao);
  EXPECT_TRUE(fs::exists(raiz / "Rascunho/RM_000001_0001_2612101100_2.REC"));
  EXPECT_FALSE(fs::exists(raiz / "Rascunho/RM_000001_0001_2612101200_2.REC"));
  EXPECT_TRUE(fs::exists(raiz / "Rascunho/RM_000001_0001_2612101200_2.LOG"));
  EXPECT_FALSE(c.RetomandoRascunho);
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
