// The import log: exact lines on disk with a fixed clock, and a fresh file on every opening.
#include <gtest/gtest.h>

#include "cp1252.h"
#include "datetime.h"
#include "log.h"
#include "pasta_temporaria.h"

namespace telvarim::teste {
namespace {

using namespace literais;
using LogTeste = PastaTemporaria;

TEST_F(LogTeste, LinesWithTimeStampPrefixAndSuffix) {
  RelogioFixo relogio({.ano = 2024, .mes = 3, .dia = 5, .hora = 9, .minuto = 7, .segundo = 3});
  const auto p = pasta / "RM_000123_0001_2403050907.log";
  {
    Log log(relogio);
    ASSERT_TRUE(log.Abre(p));
    EXPECT_TRUE(log.Titulo("Arquivo - x.rrm - Log de importação da recarga"_cp));
    EXPECT_TRUE(log.Info("Matrícula - 12345 Tipo : 7 -  Valor : 50,5"_cp));
    relogio.Define({.ano = 2024, .mes = 12, .dia = 31, .hora = 23, .minuto = 59, .segundo = 59});
    EXPECT_TRUE(log.Erro("Matrícula - 999 não encontrada"_cp));
    EXPECT_TRUE(log.Titulo(""));
    EXPECT_TRUE(log.Fecha());
  }
  EXPECT_EQ(LeArquivo(p),
            "05/03/2024 09:07:03 +------  Arquivo - x.rrm - Log de importação da recarga  -----+\r\n"
            "05/03/2024 09:07:03      Info: Matrícula - 12345 Tipo : 7 -  Valor : 50,5\r\n"
            "31/12/2024 23:59:59  *** Erro: Matrícula - 999 não encontrada\r\n"
            "31/12/2024 23:59:59 +------    -----+\r\n"_cp);
}

TEST_F(LogTeste, OpeningEmptiesAnExistingFileAndTheDestructorCloses) {
  RelogioFixo relogio({.ano = 2001, .mes = 1, .dia = 2, .hora = 3, .minuto = 4, .segundo = 5});
  const auto p = Grava("Log/importacao.log", std::string(5000, 'z') + "\r\n");
  {
    Log log(relogio);
    ASSERT_TRUE(log.Abre(p));
    EXPECT_EQ(LeArquivo(p), "");
    EXPECT_TRUE(log.Info("a"));
  }
  EXPECT_EQ(LeArquivo(p), "02/01/2001 03:04:05      Info: a\r\n");
}

TEST_F(LogTeste, NothingIsWrittenWithoutAnOpenFile) {
  RelogioFixo relogio({});
  Log log(relogio);
  EXPECT_FALSE(log.Abre(pasta / "no-such-folder" / "x.log"));
  EXPECT_FALSE(log.Erro("x"));
  EXPECT_FALSE(log.Info("x"));
  EXPECT_FALSE(log.Titulo("x"));
  EXPECT_TRUE(log.Fecha());
  EXPECT_FALSE(log.Abre(pasta)) << "a folder is not a log file";
}

}  // namespace
}  // namespace telvarim::teste
