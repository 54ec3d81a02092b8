#include <gtest/gtest.h>

#include <algorithm>

#include "ambiente.h"

namespace fs = std::filesystem;
using namespace telvarim;
using namespace telvarim::teste;
using TipoAviso = OperadorRoteirizado::Aviso::Tipo;
using Pagina = CadastroTelvarim::Pagina;

namespace {

class Processamento : public Workspace {};

}  // namespace

TEST_F(Processamento, ConsistentFileFillsTablesLogsAndOpensTheTypingPage) {
  CadastroTelvarim& c = Processa(RecebidoPadrao());
  const std::string caminho = TextoCaminho(raiz / "Recebidos" / "RM_001234_0056_0703051409_1.rec");
  const std::vector<std::string> esperado = {
      std::string(81, '='),
      "=============== Quintaro - Telvarim - ORVAN PLUS ==========================",
      "===============     Data Proc: 10/12/2026 11:05:30     ==========================",
      std::string(81, '='),
      " ",
      "Carregando Arquivo : " + caminho,
      "  ",
      "Arquivo Descriptografado com Sucesso",
      "Arquivo Descompactado com Sucesso",
      "  ",
      "Empresa : 1234 - EMPRESA EXEMPLO LTDA" + std::string(30, ' '),
      "Data : 05/03/07 14:09:07",
      "Criptografia : Sim",
      " ",
      "Versão Recarga : CENTRAL 5.1         "_cp,
      "Versão Remota : 2.1.1.C01G"_cp,
      "Sequencial Arquivo : SEQ 77            ",
      " ",
      "Header      ==> OK ",
      "Detalhe     ==> OK ",
      "Tipo Cartão ==> OK "_cp,
      "Tarifa      ==> OK ",
      "Trailer     ==> OK ",
      "Eventos     ==> OK ",
  };
  EXPECT_EQ(op.log, esperado);
  EXPECT_TRUE(op.avisos.empty());
  EXPECT_EQ(op.status, (std::vector<std::string>{"Carregando Arquivo ....", "Analisando Arquivo ....",
                                                 "Preenchendo Grid. Aguarde...", "Grid Preenchido."}));
  EXPECT_TRUE(resultado.Feito()) << resultado.motivo;
  EXPECT_EQ(c.PaginaAtiva, Pagina::Digitacao);
  EXPECT_EQ(c.QtdUsuarios, 5);
  EXPECT_EQ(c.UltimoAcessado, "RM_001234_0056_0703051409_1.rec");
  EXPECT_EQ(c.SeqArquivo, "0056");
  ASSERT_TRUE(c.CabecalhoLido);
  EXPECT_EQ(EmpresaExibicao(c.Cabecalho), "1234 - EMPRESA EXEMPLO LTDA" + std::string(30, ' '));
  EXPECT_EQ(DataExibicao(c.Cabecalho), "05/03/07 14:09:07");
  EXPECT_EQ(CriptografiaExibicao(c.Cabecalho), "Sim");
  EXPECT_EQ(Trim(c.Cabecalho.SequencialArquivo), "SEQ 77");
  ASSERT_TRUE(c.RodapeLido);
  EXPECT_EQ(c.Rodape.QtdRegistros, 6);
  // The two choices hold the codes in file order; their texts come from the tables.
  EXPECT_EQ(c.TiposDoArquivo, (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(c.TarifasDoArquivo, (std::vector<std::int32_t>{3, 5}));
  std::vector<std::string> tipos, tarifas;
  for (std::int32_t t : c.TiposDoArquivo) tipos.push_back(TextoTipoCartao(tabelas.TipoCartao(t)));
  for (std::int32_t t : c.TarifasDoArquivo) tarifas.push_back(TextoTarifa(tabelas.Tarifa(t)));
  EXPECT_EQ(tipos, (std::vector<std::string>{"001 - VALE TRANSPORTE" + std::string(35, ' '),
                                             "002 - ESCOLAR" + std::string(43, ' ')}));
  EXPECT_EQ(tarifas, (std::vector<std::string>{"03 - URBANA     - 2,30", "05 - METRO      - 4,00"}));
  EXPECT_EQ(tabelas.TiposCartao[2].PorCreditos, 1);
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[0].Grupos[0].ValorRecarga, 12.34);
  EXPECT_EQ(tabelas.Usuarios[3].Grupos[0].CMM, 30);  // credits as they stand
  EXPECT_FALSE(fs::exists(raiz / "Recebidos/TMP1.REC"));
  EXPECT_FALSE(fs::exists(raiz / "Recebidos/TMP2.REC"));
  EXPECT_FALSE(c.LinhasArquivo);
  // The first card type and the first tariff in file order are on display.
  EXPECT_EQ(c.TipoCartaoAtual, 1);
  EXPECT_EQ(c.TarifaAtual, 3);
  EXPECT_EQ(c.QtdLinhas(), 2);
}

TEST_F(Processamento, FailuresBeforeReadingLeaveTheFilePageAndTables) {
  struct Caso {
    const char* nome;
    int falhaAbre;
    bool falhaExpande;
    bool semArquivo;
    Resultado::Estado estado;
    std::string mensagem;
    std::vector<std::string> ultimasLinhas;
    std::string motivo;  // the cause's line, after the step's own lines: its start
  } casos[] = {
      {"nenhum arquivo",
       0,
       false,
       true,
       Resultado::Estado::Recusado,
       "Não Há arquivos a processar - Verifique!"_cp,
       {},
       ""},
      {"abertura",
       1033,
       false,
       false,
       Resultado::Estado::Falhou,
       "Erro ao Descriptografar Arquivo - Verifique!",
       {"  ", " ==> Erro ao Descriptografar o Arquivo "},
       " ==> Motivo : erro 1033 - não foi possível recuperar a chave do conteúdo"_cp},
      {"expansão",
       0,
       true,
       false,
       Resultado::Estado::Falhou,
       "Erro ao Descompactar o arquivo Temporário - Verifique!"_cp,
       {"  ", " ==> Erro ao Descompactar o Arquivo "},
       // The temporary's name is this run's own: TMP2.REC, a mark of the run, ".parcial".
       " ==> Motivo : erro 3 - '"_cp + TextoCaminho(raiz / "Recebidos" / "TMP2.REC.")},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nome);
    fs::remove_all(raiz / "Recebidos");
    op = {};
    tabelas.TiposCartao[7].Codigo = 7;  // left from an earlier file
    codecs.falhaAbre = caso.falhaAbre;
    codecs.falhaExpande = caso.falhaExpande;
    if (!caso.semArquivo) GravaRecebido("A_1.rec", RecebidoPadrao().Linhas());
    const Resultado r = Abre().Processa();
    EXPECT_EQ(r.estado, caso.estado);
    EXPECT_EQ(r.motivo, caso.mensagem);
    EXPECT_EQ(op.Textos(), std::vector<std::string>{caso.mensagem});
    EXPECT_EQ(op.avisos[0].tipo, TipoAviso::Mensagem);
    EXPECT_EQ(cad->PaginaAtiva, Pagina::Arquivos);
    EXPECT_EQ(tabelas.TiposCartao[7].Codigo, 7);
    if (caso.ultimasLinhas.empty()) {
      EXPECT_TRUE(op.log.empty());
    } else {
      ASSERT_GE(op.log.size(), 8u);
      EXPECT_EQ(op.log[5], "Carregando Arquivo : " + TextoCaminho(raiz / "Recebidos" / "A_1.rec"));
      EXPECT_EQ(std::vector<std::string>(op.log.end() - 3, op.log.end() - 1), caso.ultimasLinhas);
      EXPECT_EQ(op.log.back().rfind(caso.motivo, 0), 0u) << op.log.back();
      if (caso.falhaExpande) {
        EXPECT_NE(op.log.back().find(".parcial' não contém dados compactados"_cp), std::string::npos) << op.log.back();
      }
      // The temporaries, which may hold the file in the clear, are gone after a failure too.
      EXPECT_EQ(ListaArquivos(raiz / "Recebidos", "TMP*"), std::vector<std::string>{});
    }
  }
}

TEST_F(Processamento, SelectedFileGoneBeforeProcessing) {
  GravaRecebido("A_1.rec", RecebidoPadrao().Linhas());
  CadastroTelvarim& c = Abre();
  fs::remove(raiz / "Recebidos" / "A_1.rec");
  c.Processa();
  EXPECT_EQ(op.Textos(), std::vector<std::string>{"Arquivo para processar não Encontrado - Verifique!"_cp});
}

TEST_F(Processamento, UnrecognisedAndInvalidRecordsAreReportedPerKind) {
  std::vector<std::string> l = RecebidoPadrao().Linhas();
  l[0] += "X";                                    // 277 columns: header inconsistent
  l.insert(l.begin() + 2, "77 evento estranho");  // index 2
  l.insert(l.begin() + 4, "");                    // blank lines are no records
  l.insert(l.begin() + 5, "  01 com brancos");
  l.insert(l.begin() + 6, "AB");  // index 6
  l.push_back("9");               // index l.size() - 1
  const std::size_t ultimo = l.size() - 1;
  GravaRecebido("A_1.rec", l);
  Abre().Processa();
  EXPECT_EQ(op.Textos(), (std::vector<std::string>{"Evento não reconhecido - 77 - Verifique!"_cp,
                                                   "Evento não reconhecido em mais 2 linhas - Verifique o Log!"_cp,
                                                   "Arquivo fora do Padrão - Verifique"_cp}));
  std::vector<std::string> eventos, invalidos;
  for (const auto& s : op.log) {
    if (s.rfind("Evento desconhecido", 0) == 0) eventos.push_back(s);
    if (s.find("==> ") != std::string::npos) invalidos.push_back(s);
  }
  EXPECT_EQ(eventos,
            (std::vector<std::string>{"Evento desconhecido - Evento : 77 - Linha : 2",
                                      "Evento desconhecido - Evento : AB - Linha : 6",
                                      "Evento desconhecido - Evento : 9 - Linha : " + std::to_string(ultimo)}));
  EXPECT_EQ(invalidos, (std::vector<std::string>{"Header      ==> Consistencia Inválida "_cp,
                                                 "Evento      ==> Evento Inválido "_cp}));
  EXPECT_EQ(cad->PaginaAtiva, Pagina::Log);
  EXPECT_EQ(cad->QtdUsuarios, 5);  // the other kinds were still read
  EXPECT_TRUE(cad->UltimoAcessado.empty());
}

// A file of strange lines does not hold the operator box after box: the first one, then one for the rest;
// the log page keeps every line.
TEST_F(Processamento, UnknownEventsShowOneBoxAndOneSummaryWhateverTheirNumber) {
  struct Caso {
    std::size_t desconhecidos;
    std::vector<std::string> caixas;
  } casos[] = {
      {1, {"Evento não reconhecido - X1 - Verifique!"_cp, "Arquivo fora do Padrão - Verifique"_cp}},
      {2,
       {"Evento não reconhecido - X1 - Verifique!"_cp, "Evento não reconhecido em mais 1 linha - Verifique o Log!"_cp,
        "Arquivo fora do Padrão - Verifique"_cp}},
      {20000,
       {"Evento não reconhecido - X1 - Verifique!"_cp,
        "Evento não reconhecido em mais 19999 linhas - Verifique o Log!"_cp, "Arquivo fora do Padrão - Verifique"_cp}},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.desconhecidos);
    std::vector<std::string> l = RecebidoPadrao().Linhas();
    for (std::size_t k = 0; k < c.desconhecidos; ++k) l.push_back(k == 0 ? "X1 estranho" : "ZZ estranho");
    op = OperadorRoteirizado{};
    GravaRecebido("A_1.rec", l);
    Abre().Processa();
    EXPECT_EQ(op.Textos(), c.caixas);
    const auto eventos = std::count_if(op.log.begin(), op.log.end(),
                                       [](const std::string& s) { return s.rfind("Evento desconhecido", 0) == 0; });
    EXPECT_EQ(static_cast<std::size_t>(eventos), c.desconhecidos);
    EXPECT_EQ(op.log[op.log.size() - 2],
              "Evento desconhecido - Evento : " + std::string(c.desconhecidos == 1 ? "X1" : "ZZ") +
                  " - Linha : " + std::to_string(l.size() - 1));
    EXPECT_EQ(cad->PaginaAtiva, Pagina::Log);
  }
}

TEST_F(Processamento, EveryInvalidKindHasItsLine) {
  std::vector<std::string> l = RecebidoPadrao().Linhas();
  for (auto& s : l) s += s.rfind("04", 0) == 0 ? "  " : " ";  // no record of any kind has an accepted length
  GravaRecebido("A_1.rec", l);
  Abre().Processa();
  EXPECT_EQ(std::vector<std::string>(op.log.end() - 5, op.log.end()),
            (std::vector<std::string>{
                "Header      ==> Consistencia Inválida "_cp, "Detalhe     ==> Consistencia Inválida "_cp,
                "Tipo Cartão ==> Consistencia Inválida"_cp, "Tarifa      ==> Consistencia Inválida"_cp,
                "Trailer     ==> Consistencia Inválida"_cp}));
}

TEST_F(Processamento, FileWithoutHeaderOrTrailerIsConsistent) {
  std::vector<std::string> l = RecebidoPadrao().Linhas();
  l.erase(l.begin());
  l.pop_back();
  GravaRecebido("A_1.rec", l);
  Abre().Processa();
  EXPECT_EQ(cad->PaginaAtiva, Pagina::Digitacao);
  EXPECT_TRUE(op.avisos.empty());
  EXPECT_FALSE(cad->CabecalhoLido);
  EXPECT_FALSE(cad->RodapeLido);
}

TEST_F(Processamento, NumberThatDoesNotConvertStopsWithAnErrorBox) {
  std::vector<std::string> l = RecebidoPadrao().Linhas();
  l[6].replace(2, 10, "00000X0102");  // the second detail's holder code, line 7 of the file
  GravaRecebido("A_1.rec", l);
  Abre().Processa();
  ASSERT_EQ(op.Textos(TipoAviso::Erro).size(), 1u);
  const std::string m = op.Textos(TipoAviso::Erro)[0];
  EXPECT_NE(m.find("00000X0102"), std::string::npos) << m;
  EXPECT_NE(m.find("CodUsuario"), std::string::npos) << m;
  EXPECT_NE(m.find("Linha: 7"), std::string::npos) << m;
  EXPECT_EQ(cad->PaginaAtiva, Pagina::Arquivos);
  EXPECT_EQ(cad->QtdUsuarios, 1);  // what was read before stays
  EXPECT_EQ(tabelas.Tarifas[5].Codigo, 5);
  EXPECT_FALSE(cad->LinhasArquivo);
}

TEST_F(Processamento, FileThatDoesNotFitTheTablesIsRefusedWithWhatWasExceeded) {
  Recebido r = RecebidoPadrao();
  std::vector<std::string> l = r.Linhas();
  l.insert(l.begin() + 1, "04121" + std::string(50, 'X') + "010000");  // code 121
  GravaRecebido("A_1.rec", l);
  Abre().Processa();
  EXPECT_EQ(op.Textos().front(), "Tipo de cartão 121 fora da tabela (0 a 120) - Linha : 2"_cp);
  EXPECT_EQ(op.Textos().back(), "Arquivo fora do Padrão - Verifique"_cp);
  EXPECT_EQ(cad->PaginaAtiva, Pagina::Log);
  EXPECT_NE(std::find(op.log.begin(), op.log.end(), "Tipo Cartão ==> Consistencia Inválida"_cp), op.log.end());
  EXPECT_EQ(op.log.back(), "Tipo de cartão 121 fora da tabela (0 a 120) - Linha : 2"_cp);
}

TEST_F(Processamento, MoreHoldersThanTheTableHolds) {
  Recebido r = RecebidoPadrao();
  r.usuarios.assign(10001, Usuario(1, 1, "X", "1", 1, {3, 0, 1}));
  GravaRecebido("A_1.rec", r.Linhas());
  Abre().Processa();
  EXPECT_EQ(op.Textos(), (std::vector<std::string>{"Arquivo com mais de 10000 detalhes - Linha : 10006",
                                                   "Arquivo fora do Padrão - Verifique"_cp}));
  EXPECT_EQ(cad->QtdUsuarios, 10000);
  EXPECT_EQ(cad->PaginaAtiva, Pagina::Log);
}

TEST_F(Processamento, FileWithoutCardTypesSaysSoInsteadOfFailing) {
  Recebido r = RecebidoPadrao();
  r.tipos.clear();
  GravaRecebido("A_1.rec", r.Linhas());
  Abre().Processa();
  EXPECT_EQ(op.Textos(), std::vector<std::string>{"Arquivo sem Tipo de Cartão - Verifique!"_cp});
  EXPECT_TRUE(op.Textos(TipoAviso::Erro).empty());
  EXPECT_EQ(cad->PaginaAtiva, Pagina::Log);
}

TEST_F(Processamento, CardTypeAfterItsDetailsStillGivesThemItsUnits) {
  Recebido r = RecebidoPadrao();
  std::vector<std::string> l = r.Linhas();
  std::rotate(l.begin() + 2, l.begin() + 3, l.begin() + 10);  // card type 2 after the details
  GravaRecebido("A_1.rec", l);
  Abre().Processa();
  ASSERT_EQ(cad->PaginaAtiva, Pagina::Digitacao);
  EXPECT_EQ(tabelas.Usuarios[3].Grupos[0].CMM, 30);  // credits, not 0,30 reais
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[3].Grupos[0].ValorRecarga, 12);
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[3].UltimasRecargas[11], 120);  // all twelve read, as for credits
  // The combo items keep the file order.
  EXPECT_EQ(cad->TiposDoArquivo, (std::vector<std::int32_t>{1, 2}));
}

TEST_F(Processamento, SecondFileLeavesNothingOfTheFirst) {
  CadastroTelvarim& c = Processa(RecebidoPadrao(), "A_1.rec");
  Recebido r2;
  r2.tipos = {Tipo(9, "OUTRO", 0)};
  r2.tarifas = {Tarifa(4, "RURAL", 5)};
  r2.usuarios = {Usuario(1, 2, "X", "1", 9, {4, 1, 2})};
  fs::remove(raiz / "Recebidos" / "A_1.rec");
  GravaRecebido("B_1.rec", r2.Linhas());
  c.VoltaAosArquivos();
  c.Processa();
  EXPECT_EQ(c.TiposDoArquivo, std::vector<std::int32_t>{9});
  EXPECT_EQ(c.TarifasDoArquivo, std::vector<std::int32_t>{4});
  EXPECT_EQ(c.TipoCartaoAtual, 9);
  EXPECT_EQ(c.TarifaAtual, 4);
  EXPECT_EQ(tabelas.TiposCartao[1].Codigo, 0);
  EXPECT_TRUE(tabelas.Tarifas[3].Descricao.empty());
  EXPECT_EQ(c.QtdUsuarios, 1);
}

TEST_F(Processamento, ResumedDraftIsExpandedWithoutOpeningAndReceivedFilesAreStillOpened) {
  // Two drafts: Yes processes the first in name order.
  GravaRecebido("RM_001234_0056_2612100900_2.REC", RecebidoPadrao().Linhas(), "Rascunho", false);
  Recebido outro = RecebidoPadrao();
  outro.usuarios.resize(1);
  GravaRecebido("RM_001234_0056_2612101000_2.REC", outro.Linhas(), "Rascunho", false);
  GravaRecebido("A_1.rec", RecebidoPadrao().Linhas());
  op.respostas = {true};
  CadastroTelvarim& c = Abre();
  EXPECT_TRUE(c.RetomandoRascunho);
  EXPECT_EQ(c.PaginaAtiva, Pagina::Digitacao);
  EXPECT_EQ(c.QtdUsuarios, 5);
  EXPECT_EQ(codecs.abertos, 0);
  EXPECT_EQ(op.log[5], "Carregando Arquivo : " + TextoCaminho(raiz / "Rascunho" / "RM_001234_0056_2612100900_2.REC"));
  EXPECT_FALSE(fs::exists(raiz / "Rascunho/TMP1.REC"));

  // Back on the received files, a sealed file is opened from its seal as in any window.
  c.VoltaAosArquivos();
  op.avisos.clear();
  c.Processa();
  EXPECT_TRUE(op.Textos().empty());
  EXPECT_FALSE(c.RetomandoRascunho);
  EXPECT_EQ(codecs.abertos, 1);
  EXPECT_EQ(c.PaginaAtiva, Pagina::Digitacao);

  // A new window processes it normally.
  op.respostas = {false};
  Abre().Processa();
  EXPECT_EQ(this->cad->PaginaAtiva, Pagina::Digitacao);
}
