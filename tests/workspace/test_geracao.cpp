#include <gtest/gtest.h>

#include "ambiente.h"

namespace fs = std::filesystem;
using namespace telvarim;
using namespace telvarim::teste;
using Pagina = CadastroTelvarim::Pagina;
using V = std::vector<std::string>;

namespace {

class Geracao : public Workspace {
 protected:
  const std::string recebido = "RM_001234_0056_0703051409_1.rec";
  const std::string pedido = "RM_001234_0056_2612101105_2.REC";
  fs::path Gerado(const std::string& nome) { return raiz / "Gerados" / nome; }
};

}  // namespace

TEST_F(Geracao, RequestIsWrittenSealedLoggedAndTheReceivedFileMoves) {
  CadastroTelvarim& c = Processa(RecebidoPadrao(), recebido);
  relogio.Define({2026, 12, 10, 11, 5, 30});
  ASSERT_TRUE(c.DigitaValor(1, "7,5").Feito());
  const Resultado gerado = c.GeraPedido();
  EXPECT_TRUE(gerado.Feito()) << gerado.motivo;
  ASSERT_EQ(c.UltimaGeracao, ResultadoGeracao::Gravado);
  EXPECT_EQ(c.ArquivoGerado, pedido);
  EXPECT_EQ(c.ArquivoLog, "RM_001234_0056_2612101105_2.LOG");
  EXPECT_EQ(c.PaginaAtiva, Pagina::Log);
  EXPECT_TRUE(op.avisos.empty());
  EXPECT_EQ(codecs.selados, 1);

  V l = LinhasDe(Gerado(pedido), true);
  ASSERT_EQ(l.size(), 1u + 2 + 2 + 5 + 1);
  RegCabecalho h;
  ASSERT_TRUE(LeCabecalho(l[0], 1, h));
  EXPECT_EQ(h.DataCriacao, "101226");
  EXPECT_EQ(h.HoraCriacao, "110530");
  EXPECT_EQ(h.Criptografado, 1);
  EXPECT_EQ(Trim(h.NomeArquivo), pedido);
  EXPECT_EQ(Trim(h.VersaoRemota), "2.1.1.C01G");
  EXPECT_EQ(Trim(h.VersaoRecarga), "CENTRAL 5.1");
  EXPECT_EQ(Trim(h.NomeArquivo2), "SEGUNDO");
  EXPECT_EQ(h.CodCabecalho, 42);
  EXPECT_EQ(l[1].substr(0, 5), "04001");
  EXPECT_EQ(l[3], "0503URBANA    0000000000000002300000000000");
  EXPECT_EQ(l[5].substr(135, 18), "000000000000001234");  // 12,34 reais
  EXPECT_EQ(l[5].substr(99, 18), "000000000000005000");   // CMM 50
  EXPECT_EQ(l[6].substr(135, 18), "000000000000000750");
  EXPECT_EQ(l[6].substr(153, 10), "0005007000");          // group 2 of a money holder: its CMM as received, value 0
  EXPECT_EQ(l[8].substr(135, 18), "000000000000000012");  // 12 credits
  EXPECT_EQ(l[8].substr(153, 10), "0005004003");
  RegRodape r;
  ASSERT_TRUE(LeTrailer(l.back(), 0, r));
  EXPECT_EQ(r.QtdRegistros, 6);
  EXPECT_EQ(r.Grupos[0].Quantidade, 4);  // holder 103 has no group-1 tariff
  EXPECT_EQ(r.Grupos[1].Quantidade, 3);

  EXPECT_FALSE(fs::exists(raiz / "Recebidos" / recebido));
  EXPECT_TRUE(fs::exists(raiz / "Processados" / recebido));
  EXPECT_FALSE(fs::exists(Gerado("TMP1.REC")));
  EXPECT_FALSE(fs::exists(Gerado("TMP2.REC")));

  const V fim = {"Geração de Arquivo Definitivo "_cp,
                 " ",
                 "Total de Registros Gerados ==>  5",  // every holder of the file, not the 2 rows shown
                 "Total em Créditos          ==>  22"_cp,
                 "Total em Valor             ==>  87,44",
                 "  ",
                 "Arquivo Criptografado com Sucesso",
                 "Arquivo Compactado com Sucesso",
                 "  ",
                 "Arquivo Gerado ==> " + TextoCaminhoGerado(Gerado(pedido)),
                 "Geração de Arquivo LOG"_cp,
                 "Arquivo Gerado ==> " + TextoCaminhoGerado(Gerado(c.ArquivoLog)),
                 "Arquivo Movido para " + TextoCaminho(raiz / "Processados") + " ",
                 " ",
                 std::string(81, '='),
                 "===============  Fim de Processamento - Telvarim   ========================",
                 "===============     Data Proc: 10/12/2026 11:05:30     ==========================",
                 std::string(81, '=')};
  ASSERT_GE(op.log.size(), fim.size());
  EXPECT_EQ(V(op.log.end() - static_cast<long>(fim.size()), op.log.end()), fim);

  // The .LOG file holds the log page as it stood before the move and the closing banner.
  V log = SeparaLinhas(LeArquivo(Gerado(c.ArquivoLog)));
  EXPECT_EQ(log, V(op.log.begin(), op.log.end() - 6));
  EXPECT_EQ(LeArquivo(Gerado(c.ArquivoLog)).substr(0, 83), std::string(81, '=') + "\r\n");
}

TEST_F(Geracao, RequestOf507LinesCountsSevenRecords) {
  Recebido r;
  r.tipos = {Tipo(1, "A", 0), Tipo(2, "B", 1), Tipo(3, "C", 0, 0.29)};
  r.tarifas = {Tarifa(3, "T3", 2.30), Tarifa(5, "T5", 4)};
  for (int i = 0; i < 500; ++i)
    r.usuarios.push_back(Usuario(i + 1, i + 1, "N", std::to_string(i), 1 + i % 3, {3, 0, 0}));
  CadastroTelvarim& c = Processa(r, recebido);
  c.GeraPedido();
  V l = LinhasDe(Gerado(c.ArquivoGerado), true);
  ASSERT_EQ(l.size(), 507u);
  EXPECT_EQ(l.back().substr(2, 10), "0000000007");
  EXPECT_EQ(l[3].substr(55), "00002960000");  // 0,29 per cent, maximum 600,00
}

TEST_F(Geracao, NegativeValueBlocksTheRequestButNotTheDraft) {
  CadastroTelvarim& c = Processa(RecebidoPadrao(), recebido);
  // Typing refuses a negative value; one that reached the table another way (a resumed draft) is still
  // caught here.
  tabelas.Usuarios[0].Grupos[0].ValorRecarga = -2.5;
  const Resultado r = c.GeraPedido();
  EXPECT_EQ(r.estado, Resultado::Estado::Recusado);
  EXPECT_EQ(r.motivo, " Não é possível gerar recarga com valor menor do que 0.00 "_cp);
  EXPECT_EQ(op.Textos(), V{" Não é possível gerar recarga com valor menor do que 0.00 "_cp});
  EXPECT_EQ(codecs.selados, 0);
  EXPECT_TRUE(ListaArquivos(raiz / "Gerados", "*").empty());
  EXPECT_EQ(c.PaginaAtiva, Pagina::Digitacao);

  op.avisos.clear();
  c.SalvaRascunho();
  EXPECT_EQ(op.Textos(), V{"Arquivo de Rascunho Gravado com Sucesso!!"});
  V l = LinhasDe(raiz / "Rascunho" / pedido, false);
  EXPECT_EQ(l[5].substr(135, 18), "-00000000000000250");
}

TEST_F(Geracao, DraftThenRequestClearsTheDraftsAndLogsTheFailedMove) {
  CadastroTelvarim& c = Processa(RecebidoPadrao(), recebido);
  c.SalvaRascunho();
  EXPECT_EQ(c.PaginaAtiva, Pagina::Digitacao);
  EXPECT_EQ(ListaArquivos(raiz / "Rascunho", "*"), (V{"RM_001234_0056_2612101105_2.LOG", pedido}));
  EXPECT_TRUE(fs::exists(raiz / "Processados" / recebido));  // the draft moves it too
  EXPECT_EQ(c.LinhasPedido->front(), std::string(81, '='));

  relogio.Define({2026, 12, 10, 11, 7, 0});
  c.GeraPedido();
  EXPECT_EQ(c.UltimaGeracao, ResultadoGeracao::Gravado);
  EXPECT_TRUE(ListaArquivos(raiz / "Rascunho", "*").empty());
  EXPECT_TRUE(fs::exists(Gerado("RM_001234_0056_2612101107_2.REC")));
  EXPECT_NE(
      std::find(op.log.begin(), op.log.end(), "Erro ao Mover Arquivo para " + TextoCaminho(raiz / "Processados") + " "),
      op.log.end());
}

TEST_F(Geracao, ResumedDraftGeneratesWithoutMovingAnything) {
  GravaRecebido(pedido, RecebidoPadrao().Linhas(), "Rascunho", false);
  GravaRecebido(recebido, RecebidoPadrao().Linhas());
  op.respostas = {true};
  CadastroTelvarim& c = Abre();
  ASSERT_EQ(c.PaginaAtiva, Pagina::Digitacao);
  relogio.Define({2026, 12, 10, 12, 0, 0});
  c.GeraPedido();
  EXPECT_EQ(c.UltimaGeracao, ResultadoGeracao::Gravado);
  EXPECT_TRUE(ListaArquivos(raiz / "Rascunho", "*").empty());
  EXPECT_TRUE(fs::exists(raiz / "Recebidos" / recebido));
  for (const auto& l : op.log) EXPECT_EQ(l.find("Mover"), std::string::npos) << l;
}

TEST_F(Geracao, FailedPackingLeavesNoRequestNoLogAndTheDraftInPlace) {
  struct Caso {
    bool compacta;
    int sela;
    std::string mensagem, linha, motivo;
  } casos[] = {
      {true, 0, "Erro ao Compactar o arquivo Temporário - Verifique!"_cp, "Erro ao Compactar Arquivo - Verifique",
       " ==> Motivo : erro 4 - não foi possível gravar"_cp},
      {false, 1034, "Erro ao Criptografar Arquivo - Verifique!", "Erro ao Criptograr Arquivo - Verifique",
       " ==> Motivo : erro 1034 - não foi possível cifrar a chave do conteúdo"_cp},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.mensagem);
    fs::remove_all(raiz);
    op = {};
    codecs.falhaCompacta = caso.compacta;
    codecs.falhaSela = caso.sela;
    CadastroTelvarim& c = Processa(RecebidoPadrao(), recebido);
    Grava("Rascunho/RM_001234_0056_2612100000_2.REC", "rascunho anterior");
    op.avisos.clear();
    c.GeraPedido();
    EXPECT_EQ(op.Textos(), V{caso.mensagem});
    EXPECT_EQ(V(op.log.end() - 3, op.log.end() - 1), (V{"  ", caso.linha}));
    EXPECT_EQ(op.log.back().rfind(caso.motivo, 0), 0u) << op.log.back();
    EXPECT_EQ(ListaArquivos(raiz / "Gerados", "*"), V{}) << "no temporary stays behind";
    EXPECT_TRUE(ListaArquivos(raiz / "Gerados", std::string(MascaraGerados)).empty());
    EXPECT_TRUE(ListaArquivos(raiz / "Gerados", "*.LOG").empty());
    EXPECT_TRUE(fs::exists(raiz / "Recebidos" / recebido));
    EXPECT_EQ(c.PaginaAtiva, Pagina::Log);

    op.avisos.clear();
    c.SalvaRascunho();  // a failed draft is not announced as saved
    if (caso.compacta) {
      EXPECT_EQ(op.Textos(), V{caso.mensagem});
    }
    EXPECT_EQ(LeArquivo(raiz / "Rascunho/RM_001234_0056_2612100000_2.REC").empty(), !caso.compacta)
        << "the earlier draft stays until a new one is written";
  }
}

TEST_F(Geracao, ValueTooWideForItsFieldWritesNothing) {
  Recebido r = RecebidoPadrao();
  r.tipos[1].ValorMaximo = 5000;
  CadastroTelvarim& c = Processa(r, recebido);
  // Typing refuses such a value; one that reached the table another way is still caught here.
  tabelas.Usuarios[3].Grupos[1].ValorRecarga = 1000;  // group 2 of holder 201: a three-digit field
  EXPECT_FALSE(c.GeraPedido().Feito());
  EXPECT_EQ(c.UltimaGeracao, ResultadoGeracao::NadaGravado);
  ASSERT_EQ(op.Textos().size(), 1u);
  EXPECT_NE(op.Textos()[0].find("ValorRecarga2"), std::string::npos);
  EXPECT_TRUE(ListaArquivos(raiz / "Gerados", "*").empty());
}

TEST_F(Geracao, SequenceThatIsNotANumberTouchesNoFile) {
  Recebido r = RecebidoPadrao();
  r.cabecalho.NomeArquivo = "RM_001234_00X6_0703051409_1.REC";
  CadastroTelvarim& c = Processa(r, recebido);
  Grava("Rascunho/RM_001234_0056_2612100000_2.REC", "rascunho");
  const Resultado gerado = c.GeraPedido();
  EXPECT_EQ(gerado.estado, Resultado::Estado::Falhou);
  ASSERT_EQ(op.Textos(OperadorRoteirizado::Aviso::Tipo::Erro).size(), 1u);
  EXPECT_EQ(gerado.motivo, op.Textos(OperadorRoteirizado::Aviso::Tipo::Erro)[0]);
  EXPECT_TRUE(fs::exists(raiz / "Rascunho/RM_001234_0056_2612100000_2.REC"));
  EXPECT_TRUE(ListaArquivos(raiz / "Gerados", "*").empty());
}
