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
  c.FormCreate();
  for (const char* p : {"Recebidos", "Processados", "Gerados", "Rascunho"})
    EXPECT_TRUE(fs::is_directory(raiz / p)) << p;
  EXPECT_FALSE(fs::exists(raiz / "Log"));  // made by the import, not here
  EXPECT_TRUE(op.avisos.empty());
  EXPECT_EQ(c.PaginaAtiva, CadastroTelvarim::Pagina::tbarquivos);
  EXPECT_EQ(c.lblarqproc.Caption, "0");
  EXPECT_EQ(c.lblarqjaproc.Caption, "0");
  EXPECT_EQ(c.lblarqgerado.Caption, "0");
  EXPECT_EQ(c.lblultimoarquivo.Caption, "Não Há Arquivos Processados"_cp);
  EXPECT_EQ(c.lblultimogerado.Caption, "Não Há Arquivos Gerados"_cp);
  EXPECT_EQ(c.FLBArquivosRecargaRecebidos.ItemIndex, -1);
  EXPECT_FALSE(c.lblultacesso.Visible);
  EXPECT_FALSE(c.lbltipoultacc.Visible);
  EXPECT_EQ(c.lbltipoultacc.Caption, "Último Arquivo Acessado : "_cp);
}

TEST_F(Criacao, ListsMatchTheirMasksInAnyCaseSortedByName) {
  for (const char* f :
       {"Recebidos/b_1.REC", "Recebidos/A_1.rec", "Recebidos/c_2.rec", "Recebidos/x.txt", "Recebidos/.oculto_1.rec",
        "Processados/P2_1.rec", "Processados/p1_1.rec", "Gerados/RM_000001_0001_2612101100_2.REC",
        "Gerados/RM_000001_0001_2612101100_2.LOG", "Gerados/RM_000001_0001_2612101100_4.REC"})
    Grava(f);
  fs::create_directories(raiz / "Recebidos" / "pasta_1.rec");  // folders are not listed

  CadastroTelvarim c(op, Pastas(), tabelas, programa);
  c.FormCreate();
  EXPECT_EQ(c.FLBArquivosRecargaRecebidos.Items, (std::vector<std::string>{"A_1.rec", "b_1.REC"}));
  EXPECT_EQ(c.lblarqproc.Caption, "2");
  EXPECT_EQ(c.FLBArquivosRecargaRecebidos.ItemIndex, 0);
  EXPECT_EQ(c.FLBArquivosRecargaRecebidos.Caminho(1), raiz / "Recebidos" / "b_1.REC");
  EXPECT_EQ(c.lblarqjaproc.Caption, "2");
  EXPECT_EQ(c.lblultimoarquivo.Caption, "P2_1.rec");
  EXPECT_EQ(c.lblarqgerado.Caption, "1");
  EXPECT_EQ(c.lblultimogerado.Caption, "RM_000001_0001_2612101100_2.REC");
}

TEST_F(Criacao, DeclinedDraftDeletesOnlyTheLastOneFound) {
  Grava("Rascunho/RM_000001_0001_2612101100_2.REC");
  Grava("Rascunho/RM_000001_0001_2612101200_2.REC");
  Grava("Rascunho/RM_000001_0001_2612101200_2.LOG");
  op.respostas = {false};
  CadastroTelvarim c(op, Pastas(), tabelas, programa);
  c.FormCreate();
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
  c.FormCreate();
  EXPECT_EQ(op.Textos(OperadorRoteirizado::Aviso::Tipo::Confirmacao).size(), 1u);
  EXPECT_TRUE(c.RetomandoRascunho);
  EXPECT_TRUE(fs::exists(raiz / "Rascunho/RM_000001_0001_2612101100_2.REC"));
  EXPECT_TRUE(fs::exists(raiz / "Rascunho/RM_000001_0001_2612101200_2.REC"));
}

TEST_F(Criacao, LastAccessedShowsOnlyOnceSet) {
  CadastroTelvarim c(op, Pastas(), tabelas, programa);
  c.FormCreate();
  EXPECT_FALSE(c.lblultacesso.Visible);
  c.UltimoAcessado = "A_1.rec";
  c.ImportandoArquivo = true;
  c.PageControl1Change();
  EXPECT_TRUE(c.lblultacesso.Visible);
  EXPECT_TRUE(c.lbltipoultacc.Visible);
  EXPECT_EQ(c.lblultacesso.Caption, "A_1.rec");
  EXPECT_FALSE(c.ImportandoArquivo);

  c.PaginaAtiva = CadastroTelvarim::Pagina::tbDigitacao;  // another page: only the import flag is cleared
  Grava("Recebidos/B_1.rec");
  c.ImportandoArquivo = true;
  c.PageControl1Change();
  EXPECT_FALSE(c.ImportandoArquivo);
  EXPECT_EQ(c.lblarqproc.Caption, "0");
  c.btnFecharClick();
  EXPECT_EQ(c.PaginaAtiva, CadastroTelvarim::Pagina::tbarquivos);
  EXPECT_EQ(c.lblarqproc.Caption, "1");
}

TEST_F(Criacao, ClosingReleasesTheLineListsOnce) {
  CadastroTelvarim c(op, Pastas(), tabelas, programa);
  c.LinhasArquivo.emplace(3, "x");
  c.LinhasPedido.emplace(2, "y");
  c.FormClose();
  EXPECT_FALSE(c.LinhasArquivo);
  EXPECT_FALSE(c.LinhasPedido);
  c.FormClose();  // a second close finds nothing to release
}
