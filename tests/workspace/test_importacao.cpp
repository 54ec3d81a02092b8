// "Importar Arquivo": an external value file through the scripted seam, its messages, its log file and its
// result report.
#include <gtest/gtest.h>

#include <algorithm>

#include "ambiente.h"
#include "recargaexterna.h"

namespace fs = std::filesystem;
using namespace telvarim;
using namespace telvarim::teste;
using TipoAviso = OperadorRoteirizado::Aviso::Tipo;
using V = std::vector<std::string>;

namespace {

class Importacao : public Workspace {
 protected:
  const V kAvisoFinal = {
      "As Alterações feitas pela importação não estão salvas.\nClique no botão 'Salvar Rascunho' para salvar as alterações."_cp};

  // Imports a value file of exactly these bytes.
  fs::path ImportaBytes(const std::string& bytes, const std::string& nome = "RM_001234_0056_valores.rrm") {
    const fs::path p = Grava(fs::path("externo") / nome, bytes);
    op.arquivos.push_back(TextoCaminho(p));
    op.avisos.clear();
    op.relatorios.clear();
    resultado = cad->ImportaValores();
    return p;
  }
  // The result report's lines after the empty first one, and the log's lines without their time stamps.
  V LinhasRelatorio() const {
    if (op.relatorios.empty()) return {};
    const V& l = op.relatorios.back().linhas;
    return V(l.begin() + 1, l.end());
  }
  V LinhasLog(const std::string& nome = "RM_001234_0056_valores.log") const {
    V r;
    for (const std::string& l : SeparaLinhas(LeArquivo(raiz / "Log" / nome))) r.push_back(l.substr(19));
    return r;
  }
};

std::string LinhaRelatorio(int n, const std::string& matricula, const std::string& mensagem) {
  const std::string numero = n > 0 ? std::to_string(n) : std::string();
  return std::string(13 - numero.size(), ' ') + numero + "   " + matricula +
         std::string(21 - std::min<std::size_t>(21, matricula.size()), ' ') + mensagem;
}

// Holders of the usual file plus two with the same matrícula and card type.
Recebido ComRepetidos() {
  Recebido r = RecebidoPadrao();
  r.usuarios.push_back(Usuario(104, 9004, "EVA", "DUP", 1, {3, 1, 0}));
  r.usuarios.push_back(Usuario(105, 9005, "FLOR", "DUP", 1, {3, 1, 0}));
  return r;
}

}  // namespace

TEST_F(Importacao, AllRecordsAppliedWithTheirMessagesLogAndGroupOne) {
  Processa(ComRepetidos());
  Mostra(1, 5);  // tariff 5 on display: the value still lands in group 1
  const fs::path p = Importa({
      Registro(1, "120", "              12,50", "01"), Registro(2, "C1", "              30,00", "02"),
      Registro(3, "DUP", "               5,00"),  // card type 00: the one on display (1); the first holder only
  });
  EXPECT_TRUE(cad->UltimaImportacao);
  EXPECT_TRUE(resultado.Feito());
  const fs::path log = raiz / "Log" / "RM_001234_0056_valores.log";
  EXPECT_EQ(op.Textos(), (V{"Log da operação gerado em \n"_cp + TextoCaminho(log), "Operação Concluída com Sucesso"_cp,
                            kAvisoFinal[0]}));
  EXPECT_EQ(op.avisos[1].tipo, TipoAviso::Informacao);
  EXPECT_TRUE(op.relatorios.empty());
  EXPECT_DOUBLE_EQ(Valor(0), 12.5);
  EXPECT_DOUBLE_EQ(Valor(3), 30);
  EXPECT_DOUBLE_EQ(Valor(3, 1), 3);  // other groups untouched
  EXPECT_DOUBLE_EQ(Valor(5), 5);
  EXPECT_DOUBLE_EQ(Valor(6), 0);
  // The view shows the holders' values, and the controls are back.
  EXPECT_EQ(Coluna(), (V{"0,00", "0,00"}));  // holders 102 and 103 in group 2 of tariff 5
  Mostra(1, 3);
  EXPECT_EQ(Coluna(), (V{"12,50", "0,00", "5,00", "0,00"}));
  EXPECT_TRUE(cad->ControlesHabilitados);
  EXPECT_FALSE(cad->ImportandoArquivo);
  EXPECT_FALSE(cad->Progresso.Visivel);
  EXPECT_EQ(cad->Progresso.Maximo, 3);
  EXPECT_EQ(cad->Progresso.Feitos, 3);

  const V linhas = SeparaLinhas(LeArquivo(log));
  const std::string hora = "10/12/2026 11:05:30";
  EXPECT_EQ(linhas, (V{
                        hora + " +------  Arquivo - " + TextoCaminho(p) + " - Log de importação da recarga  -----+"_cp,
                        hora + "      Info: Matrícula - 120 Tipo : 1 -  Valor : 12,5"_cp,
                        hora + "      Info: Matrícula - C1 Tipo : 2 -  Valor : 30"_cp,
                        hora + "      Info: Matrícula - DUP Tipo : 1 -  Valor : 5"_cp,
                        hora + " +------  Total de OK: 3 - Total de erros: 0  -----+",
                        hora + " +------  Fim do Log de importação da recarga  -----+"_cp,
                    }));
}

TEST_F(Importacao, RefusedRecordsAreCountedLoggedAndReported) {
  Processa(RecebidoPadrao());
  Importa(
      {
          Registro(1, "NINGUEM", "               1,00", "01"),  // line 1: not found
          Registro(2, "120", "             600,01", "01"),      // line 2: above 600,00
          Registro(3, "C1", "             300,00", "02"),       // line 3: above its own 250 credits
          Registro(4, "C2", "              -1,00", "02"),       // line 4: negative
          "ABCDEFG",                                            // line 5: not a record
          Registro(6, "12", "              12.50", "01"),       // line 6: a full stop, not a comma
          Registro(7, "12", "             250,00", "02"),       // line 7: C-type 2 has no holder "12"
          Registro(8, "M3", "              44,00"),             // line 8: the last one, without a line end
      },
      "curto.rrm", true);
  EXPECT_FALSE(cad->UltimaImportacao);
  EXPECT_EQ(resultado.estado, Resultado::Estado::Falhou);
  EXPECT_EQ(resultado.motivo, "Operação Concluída com Advertências"_cp);
  EXPECT_EQ(op.Textos(TipoAviso::Advertencia), V{"Operação Concluída com Advertências"_cp});
  ASSERT_EQ(op.relatorios.size(), 1u);
  const Relatorio& r = op.relatorios[0];
  EXPECT_EQ(r.tipo, Relatorio::Tipo::Importacao);
  EXPECT_EQ(r.qrlnomecadastro, "Resultado da Importação das Recargas"_cp);
  EXPECT_EQ(r.qrlrelatorio, "Empresa : 1234 - EMPRESA EXEMPLO LTDA");
  EXPECT_EQ(r.qrlfiltro, "Importado : 10/12/2026");
  auto linha = [](const char* n, const char* m, const std::string& msg) {
    return std::string(13 - std::string(n).size(), ' ') + n + "   " + m + std::string(21 - std::string(m).size(), ' ') +
           msg;
  };
  EXPECT_EQ(r.linhas, (V{
                          "",
                          linha("1", "NINGUEM", "Matrícula não encontrada"_cp),
                          linha("2", "120", "O valor da recarga excede 600.00"),
                          linha("3", "C1", "Erro na atualização do valor da recarga"_cp),
                          linha("4", "C2", "Erro na atualização do valor da recarga"_cp),
                          linha("5", "", "O identificador do registro infomado não é um número válido"_cp),
                          linha("6", "12", "Valor infomado não é válido"_cp),
                          linha("7", "12", "Matrícula não encontrada"_cp),
                      }));
  // Line 8 (no line end) was read and applied: holder M3 (card type on display, 1) gets 44.
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[2].Grupos[0].ValorRecarga, 44);
  EXPECT_DOUBLE_EQ(tabelas.Usuarios[0].Grupos[0].ValorRecarga, 12.34);  // refused values change nothing
  // The gauge moved for the records that reached the lookup only: line 8 last, lines 5 and 6 never.
  EXPECT_EQ(cad->Progresso.Feitos, 8);
  const V log = SeparaLinhas(LeArquivo(raiz / "Log" / "curto.log"));
  ASSERT_EQ(log.size(), 1u + 8 + 2);
  EXPECT_EQ(log[2].substr(19),
            "  *** Erro: Matrícula - 120. Valor : 600,01. O valor para recarga não pode exceder 600.00"_cp);
  EXPECT_EQ(log[6].substr(19), "  *** Erro: Valor infomado não é válido"_cp);
  EXPECT_EQ(log[9].substr(19), " +------  Total de OK: 1 - Total de erros: 7  -----+");
}

TEST_F(Importacao, FileThatCannotBeOpenedEndsWithWarningsAndItsReason) {
  Processa(RecebidoPadrao());
  op.arquivos = {TextoCaminho(raiz / "nao-existe.rrm")};
  EXPECT_FALSE(cad->ImportaValores().Feito());
  EXPECT_FALSE(cad->UltimaImportacao);
  EXPECT_EQ(op.Textos(TipoAviso::Advertencia), V{"Operação Concluída com Advertências"_cp});
  ASSERT_EQ(op.relatorios.size(), 1u);
  ASSERT_EQ(op.relatorios[0].linhas.size(), 2u);
  EXPECT_NE(op.relatorios[0].linhas[1].find("Erro ao abrir/criar o arquivo"), std::string::npos);
  EXPECT_TRUE(cad->ControlesHabilitados);
}

TEST_F(Importacao, CancelledDialogDoesNothing) {
  Processa(RecebidoPadrao());
  op.avisos.clear();
  EXPECT_EQ(cad->ImportaValores().estado, Resultado::Estado::Recusado);  // no answer scripted: cancelled
  EXPECT_TRUE(op.avisos.empty());
  EXPECT_FALSE(fs::exists(raiz / "Log"));
}

TEST_F(Importacao, ItsOwnLogIsRefusedBeforeAnythingIsWritten) {
  Processa(RecebidoPadrao());
  Importa({Registro(1, "120", "              12,50", "01")});
  const fs::path log = raiz / "Log" / "RM_001234_0056_valores.log";
  const std::string antes = LeArquivo(log);
  ASSERT_FALSE(antes.empty());
  const std::string recusa = "O arquivo escolhido é o próprio Log da importação - Verifique!"_cp;

  enum class Ligacao { Nenhuma, Fisica, Simbolica };  // links the system may not allow
  struct Caso {
    const char* nome;
    fs::path caminho;
    Ligacao ligacao;
  } casos[] = {
      {"the log itself", log, Ligacao::Nenhuma},
      {"another path to it", raiz / "Log" / ".." / "Log" / "RM_001234_0056_valores.log", Ligacao::Nenhuma},
      {"a hard link named as values", raiz / "ligado" / "RM_001234_0056_valores.rrm", Ligacao::Fisica},
      {"a symbolic link named as values", raiz / "atalho" / "RM_001234_0056_valores.rrm", Ligacao::Simbolica},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    if (c.ligacao != Ligacao::Nenhuma) {
      fs::create_directories(c.caminho.parent_path());
      std::error_code ec;
      if (c.ligacao == Ligacao::Fisica)
        fs::create_hard_link(log, c.caminho, ec);
      else
        fs::create_symlink(log, c.caminho, ec);
      if (ec) continue;
    }
    op.arquivos.push_back(TextoCaminho(c.caminho));
    op.avisos.clear();
    op.relatorios.clear();
    const Resultado r = cad->ImportaValores();
    EXPECT_EQ(r.estado, Resultado::Estado::Recusado);
    EXPECT_EQ(r.motivo, recusa);
    ASSERT_EQ(op.avisos.size(), 1u);
    EXPECT_EQ(op.avisos[0].tipo, TipoAviso::Erro);
    EXPECT_EQ(op.avisos[0].texto, recusa);
    EXPECT_TRUE(op.relatorios.empty());
    EXPECT_EQ(LeArquivo(log), antes);
    EXPECT_FALSE(cad->ImportandoArquivo);
    EXPECT_TRUE(cad->ControlesHabilitados);
  }
  EXPECT_DOUBLE_EQ(Valor(0), 12.5);
}

TEST_F(Importacao, AValueTheCurrencyCannotHoldIsAnInvalidValueAndTheImportGoesOn) {
  for (const char* enorme : {"1000000000000000,00", "9999999999999999,99", "-999999999999999,00"}) {
    SCOPED_TRACE(enorme);
    Processa(RecebidoPadrao());
    Importa({Registro(1, "120", enorme, "01"), Registro(2, "C1", "              30,00", "02")});
    EXPECT_EQ(resultado.estado, Resultado::Estado::Falhou);
    EXPECT_TRUE(op.Textos(TipoAviso::Erro).empty());
    EXPECT_EQ(LinhasRelatorio(), V{LinhaRelatorio(1, "120", "Valor infomado não é válido"_cp)});
    EXPECT_DOUBLE_EQ(Valor(0), 12.34);  // unchanged
    EXPECT_DOUBLE_EQ(Valor(3), 30);     // the record after it was applied
    const V log = LinhasLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[1], "  *** Erro: Valor infomado não é válido"_cp);
    EXPECT_EQ(log[3], " +------  Total de OK: 1 - Total de erros: 1  -----+");
    EXPECT_EQ(log[4], " +------  Fim do Log de importação da recarga  -----+"_cp);
  }
}

TEST_F(Importacao, CrLfCrAndLfEachEndARecord) {
  const std::string a = Registro(1, "120", "               1,00", "01");
  const std::string b = Registro(2, "C1", "               2,00", "02");
  const std::string c = Registro(3, "M3", "               3,00", "01");
  struct Caso {
    const char* nome;
    std::string bytes;
  } casos[] = {
      {"CR LF", a + "\r\n" + b + "\r\n" + c + "\r\n"},
      {"LF", a + "\n" + b + "\n" + c},
      {"CR", a + "\r" + b + "\r" + c + "\r"},
      {"mixed", a + "\r" + b + "\n" + c + "\r\n"},
  };
  for (const auto& k : casos) {
    SCOPED_TRACE(k.nome);
    Processa(RecebidoPadrao());
    ImportaBytes(k.bytes);
    EXPECT_TRUE(resultado.Feito());
    EXPECT_EQ(cad->Progresso.Maximo, 3);
    EXPECT_DOUBLE_EQ(Valor(0), 1);
    EXPECT_DOUBLE_EQ(Valor(3), 2);
    EXPECT_DOUBLE_EQ(Valor(2), 3);
  }

  // A hundred records with CR line ends, as old programs write them: every one read and applied.
  Processa(RecebidoPadrao());
  std::string cem;
  for (int i = 1; i <= 100; ++i)
    cem += Registro(i, "120", "              " + std::to_string(i % 10) + ",00", "01") + "\r";
  ImportaBytes(cem);
  EXPECT_TRUE(resultado.Feito());
  EXPECT_EQ(op.Textos(TipoAviso::Informacao).at(1), "Operação Concluída com Sucesso"_cp);
  const V log = LinhasLog();
  ASSERT_EQ(log.size(), 1u + 100 + 2);
  EXPECT_EQ(log[101], " +------  Total de OK: 100 - Total de erros: 0  -----+");
}

TEST_F(Importacao, LinesPastTheLimitAreNotReadAndRefusalsPastTheListAreCounted) {
  const auto limite = static_cast<int>(kMaxLinhasArquivo);
  const std::string parou = "Arquivo com mais de "_cp + std::to_string(limite) +
                            " linhas - a importação parou na linha "_cp + std::to_string(limite) + " - Verifique!";
  const std::string identificador = "O identificador do registro infomado não é um número válido"_cp;
  const std::string naoListados =
      "Mais " + std::to_string(limite - kMaxRecusasListadas) + " registros recusados com o erro: " + identificador;
  struct Caso {
    const char* nome;
    std::string bytes;
    bool parou;
  } casos[] = {
      {"blank lines up to the limit", std::string(static_cast<std::size_t>(limite), '\n'), false},
      {"one line more", std::string(static_cast<std::size_t>(limite), '\n') + "x", true},
      {"many more, CR", std::string(3 * static_cast<std::size_t>(limite), '\r'), true},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    Processa(RecebidoPadrao());
    ImportaBytes(c.bytes);
    EXPECT_EQ(resultado.estado, Resultado::Estado::Falhou);
    EXPECT_EQ(cad->Progresso.Maximo, limite);
    const V r = LinhasRelatorio();
    ASSERT_EQ(r.size(), static_cast<std::size_t>(kMaxRecusasListadas) + (c.parou ? 2 : 1));
    EXPECT_EQ(r[0], LinhaRelatorio(1, "", identificador));
    EXPECT_EQ(r[kMaxRecusasListadas - 1], LinhaRelatorio(kMaxRecusasListadas, "", identificador));
    if (c.parou) {
      EXPECT_EQ(r[kMaxRecusasListadas], LinhaRelatorio(0, "", parou));
    }
    EXPECT_EQ(r.back(), LinhaRelatorio(0, "", naoListados));
    const V log = LinhasLog();
    ASSERT_EQ(log.size(), 1u + kMaxRecusasListadas + (c.parou ? 1 : 0) + 1 + 2);
    if (c.parou) {
      EXPECT_EQ(log[kMaxRecusasListadas + 1], "  *** Erro: " + parou);
    }
    EXPECT_EQ(log[log.size() - 3], "  *** Erro: " + naoListados);
    EXPECT_EQ(log[log.size() - 2], " +------  Total de OK: 0 - Total de erros: " + std::to_string(limite) + "  -----+");
  }

  // Past the list, each message keeps its own count, in the order they first went unlisted; the records
  // are still applied.
  Processa(RecebidoPadrao());
  std::vector<std::string> linhas(static_cast<std::size_t>(kMaxRecusasListadas),
                                  Registro(9, "NINGUEM", "               1,00", "01"));
  linhas.insert(linhas.end(), 1, "");
  linhas.insert(linhas.end(), 5, Registro(9, "NINGUEM", "               1,00", "01"));
  linhas.push_back(Registro(9, "120", "               7,00", "01"));
  Importa(linhas);
  const V r = LinhasRelatorio();
  ASSERT_EQ(r.size(), static_cast<std::size_t>(kMaxRecusasListadas) + 2);
  EXPECT_EQ(r[kMaxRecusasListadas], LinhaRelatorio(0, "", "Mais 1 registro recusado com o erro: " + identificador));
  EXPECT_EQ(r[kMaxRecusasListadas + 1],
            LinhaRelatorio(0, "", "Mais 5 registros recusados com o erro: Matrícula não encontrada"_cp));
  EXPECT_DOUBLE_EQ(Valor(0), 7);
  EXPECT_EQ(LinhasLog().back(), " +------  Fim do Log de importação da recarga  -----+"_cp);
}

TEST_F(Importacao, ALogThatCannotBeCreatedOrWrittenIsSaid) {
  const std::string caminhoLog = TextoCaminho(raiz / "Log" / "RM_001234_0056_valores.log");
  const std::string naoCriado = "Não foi possível criar o Log da importação "_cp + caminhoLog + " - Verifique!";
  const std::string incompleto =
      "O Log da importação "_cp + caminhoLog + " está incompleto: falha ao gravar no arquivo - Verifique!"_cp;

  // Log is a file, not a folder: nothing can be imported without the log.
  Processa(RecebidoPadrao());
  Grava("Log", "não é uma pasta");
  Importa({Registro(1, "120", "              12,50", "01")});
  EXPECT_EQ(resultado.estado, Resultado::Estado::Falhou);
  EXPECT_EQ(op.Textos(), (V{naoCriado, "Operação Concluída com Advertências"_cp, kAvisoFinal[0]}));
  EXPECT_EQ(op.avisos[0].tipo, TipoAviso::Erro);
  EXPECT_EQ(LinhasRelatorio(), V{LinhaRelatorio(0, "", naoCriado)});
  EXPECT_EQ(op.log.back(), naoCriado);
  EXPECT_EQ(cad->UltimaFalha.motivo, naoCriado);
  EXPECT_DOUBLE_EQ(Valor(0), 12.34);

  // A full disk: every line of the log fails (Linux's /dev/full answers every write so).
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  fs::remove(raiz / "Log");
  fs::create_directories(raiz / "Log");
  std::error_code ec;
  fs::create_symlink("/dev/full", raiz / "Log" / "RM_001234_0056_valores.log", ec);
  if (ec) GTEST_SKIP() << "cannot link to /dev/full: " << ec.message();
  Processa(RecebidoPadrao());
  Importa({Registro(1, "120", "              12,50", "01")});
  EXPECT_EQ(resultado.estado, Resultado::Estado::Falhou);
  EXPECT_EQ(op.Textos(), (V{incompleto, "Operação Concluída com Advertências"_cp, kAvisoFinal[0]}));
  EXPECT_EQ(LinhasRelatorio(), V{LinhaRelatorio(0, "", incompleto)});
  EXPECT_EQ(op.log.back(), incompleto);
  EXPECT_DOUBLE_EQ(Valor(0), 12.5);  // the values were applied; only their record is missing
}
