// "Importar Arquivo": an external value file through the scripted seam, its messages, its log file and its
// result report.
#include <gtest/gtest.h>

#include "ambiente.h"

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
};

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
