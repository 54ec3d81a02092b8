// The external value file reader: the validation rules in their order, the field conversions, and reading a
// file to its end (a missing file, a last line without a line end, a line too long to read).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "cp1252.h"
#include "pasta_temporaria.h"
#include "persrecargaexterna.h"
#include "resultadoimportacao.h"

namespace telvarim::teste {
namespace {

using namespace literais;

struct Campos {
  std::string id = "0000001", matricula = "12345", valor = "50,50", empresa = "123", complemento = "AB",
              codigo = "4567", tipo = "07";
};

std::string Direita(const std::string& s, std::size_t n) {
  return s.size() < n ? std::string(n - s.size(), ' ') + s : s;
}
std::string Esquerda(const std::string& s, std::size_t n) {
  return s.size() < n ? s + std::string(n - s.size(), ' ') : s;
}

// A 71-column record: numbers aligned to the right of their fields, texts to the left.
std::string Linha(const Campos& c) {
  return Direita(c.id, 7) + Esquerda(c.matricula, 21) + Direita(c.valor, 19) + Direita(c.empresa, 10) +
         Esquerda(c.complemento, 2) + Direita(c.codigo, 10) + Direita(c.tipo, 2);
}

template <typename F>
std::string LinhaCom(F muda) {
  Campos c;
  muda(c);
  return Linha(c);
}

class LeitorTeste : public PastaTemporaria {
 protected:
  // Reads the one record of a file holding `linha`.
  void LeUnico(PersRecargaExterna& leitor, const std::string& linha) {
    const auto p = Grava("unico.rrm", linha + "\r\n");
    leitor.LeRegistro(p);
    ASSERT_EQ(leitor.Registro(), linha);
  }
};

TEST(LinhaTeste, BuilderPutsTheFieldsAtTheirPositions) {
  const std::string l = Linha({});
  ASSERT_EQ(l.size(), 71u);
  EXPECT_EQ(l.substr(44, 3), ",50");  // the comma at position 45
  EXPECT_EQ(l.substr(69, 2), "07");
}

TEST_F(LeitorTeste, ValidationRulesInTheirOrder) {
  const std::string valido = Linha({});
  struct Caso {
    const char* nome;
    std::string linha;
    std::uint8_t situacao;
  } casos[] = {
      {"valid record", valido, 0},
      {"identifier with a letter", LinhaCom([](Campos& c) { c.id = "00A0001"; }), 4},
      {"blank identifier", LinhaCom([](Campos& c) { c.id = ""; }), 4},
      {"empty line", "", 4},
      {"identifier with trailing blanks", LinhaCom([](Campos& c) { c.id = "1      "; }), 4},
      {"identifier with leading blanks", LinhaCom([](Campos& c) { c.id = "1"; }), 0},
      {"sixteen characters then ,00", LinhaCom([](Campos& c) { c.valor = "1234567890123456,00"; }), 0},
      {"point instead of comma", LinhaCom([](Campos& c) { c.valor = "1234567890123456.00"; }), 5},
      {"one decimal", LinhaCom([](Campos& c) { c.valor = "50,5"; }), 5},
      {"three decimals", LinhaCom([](Campos& c) { c.valor = "50,500"; }), 5},
      {"no decimals", LinhaCom([](Campos& c) { c.valor = "50"; }), 5},
      {"blank value", LinhaCom([](Campos& c) { c.valor = ""; }), 5},
      {"value aligned left", LinhaCom([](Campos& c) { c.valor = "50,00              "; }), 5},
      {"letter after the comma", LinhaCom([](Campos& c) { c.valor = "5,0a"; }), 5},
      {"two commas", LinhaCom([](Campos& c) { c.valor = "1,234,00"; }), 5},
      {"negative value passes the reader", LinhaCom([](Campos& c) { c.valor = "-5,00"; }), 0},
      {"line ends inside the decimals", valido.substr(0, 46), 5},
      {"blank company", LinhaCom([](Campos& c) { c.empresa = ""; }), 6},
      {"company with a letter", LinhaCom([](Campos& c) { c.empresa = "12A"; }), 6},
      {"company beyond the integer range", LinhaCom([](Campos& c) { c.empresa = "9999999999"; }), 6},
      {"company with decimals", LinhaCom([](Campos& c) { c.empresa = "12,7"; }), 0},
      {"blank file code", LinhaCom([](Campos& c) { c.codigo = ""; }), 7},
      {"file code with a letter", LinhaCom([](Campos& c) { c.codigo = "x"; }), 7},
      {"file code just beyond the integer range", LinhaCom([](Campos& c) { c.codigo = "2147483648"; }), 7},
      {"file code at the top of the range", LinhaCom([](Campos& c) { c.codigo = "2147483647"; }), 0},
      {"line ends before the file code", valido.substr(0, 59), 7},
      {"69 columns, no card type", valido.substr(0, 69), 0},
      {"card type not a number", LinhaCom([](Campos& c) { c.tipo = "AB"; }), 0},
      {"first failure wins: identifier over value", LinhaCom([](Campos& c) {
         c.id = "x";
         c.valor = "x";
       }),
       4},
      {"first failure wins: value over company", LinhaCom([](Campos& c) {
         c.valor = "x";
         c.empresa = "x";
       }),
       5},
      {"first failure wins: company over file code", LinhaCom([](Campos& c) {
         c.empresa = "";
         c.codigo = "";
       }),
       6},
  };
  for (const auto& c : casos) {
    PersRecargaExterna leitor;
    LeUnico(leitor, c.linha);
    EXPECT_EQ(leitor.Situacao(), c.situacao) << c.nome << ": [" << c.linha << "]";
    EXPECT_EQ(leitor.MensagemSituacao(), MensagemDaSituacao(c.situacao)) << c.nome;
  }
}

TEST_F(LeitorTeste, FieldsOfAnAcceptedRecord) {
  PersRecargaExterna leitor;
  LeUnico(leitor, Linha({.id = "0000042",
                         .matricula = "  Matrícula 7"_cp,
                         .valor = "1234567890123456,25",
                         .empresa = "-12,9",
                         .complemento = " X",
                         .codigo = "0000004567",
                         .tipo = "07"}));
  ASSERT_EQ(leitor.Situacao(), kSituacaoSucesso);
  EXPECT_EQ(leitor.IdRegistro(), 42);
  EXPECT_EQ(leitor.MatriculaRegistro(), "Matrícula 7"_cp);
  EXPECT_DOUBLE_EQ(leitor.ValorRegistro(), 1234567890123456.25);
  EXPECT_EQ(leitor.EmpresaRegistro(), -12);  // fraction cut off
  EXPECT_EQ(leitor.ComplementoRegistro(), "X");
  EXPECT_EQ(leitor.CodigoArquivoRegistro(), 4567);
  EXPECT_EQ(leitor.TipoCartaoRegistro(), 7);
}

TEST_F(LeitorTeste, CardTypeCode) {
  const std::string valido = Linha({});
  struct Caso {
    std::string linha;
    std::int32_t tipo;
  } casos[] = {
      {valido, 7},
      {valido.substr(0, 69) + "  ", 0},
      {valido.substr(0, 69) + " 7", 7},
      {valido.substr(0, 69) + "7 ", 0},  // a trailing blank: not a number
      {valido.substr(0, 69) + "AB", 0},
      {valido.substr(0, 69) + "-1", -1},
      {valido.substr(0, 69), 0},
      {valido.substr(0, 69) + "9", 9},
      {valido + "99", 7},  // bytes past position 71 belong to no field
  };
  for (const auto& c : casos) {
    PersRecargaExterna leitor;
    LeUnico(leitor, c.linha);
    EXPECT_EQ(leitor.Situacao(), kSituacaoSucesso) << "[" << c.linha << "]";
    EXPECT_EQ(leitor.TipoCartaoRegistro(), c.tipo) << "[" << c.linha << "]";
  }
}

TEST_F(LeitorTeste, RefusedRecordStillGivesItsMatriculaAndNoFieldThrows) {
  PersRecargaExterna leitor;
  LeUnico(leitor, LinhaCom([](Campos& c) {
            c.id = "ABC";
            c.valor = "abc";
            c.empresa = "1e999";
            c.codigo = "";
          }));
  EXPECT_EQ(leitor.Situacao(), kSituacaoIdentificadorInvalido);
  EXPECT_EQ(leitor.MatriculaRegistro(), "12345");
  EXPECT_EQ(leitor.IdRegistro(), 0);
  EXPECT_EQ(leitor.ValorRegistro(), 0.0);
  EXPECT_EQ(leitor.EmpresaRegistro(), 0);
  EXPECT_EQ(leitor.CodigoArquivoRegistro(), 0);
}

TEST_F(LeitorTeste, ReadsToTheEndIncludingALastLineWithoutLineEnd) {
  const std::string l1 = Linha({.id = "1", .matricula = "A"}), l2 = Linha({.id = "2", .valor = "50,5"}),
                    l3 = Linha({.id = "3", .matricula = "C"});
  const auto p = Grava("recarga.rrm", l1 + "\r\n" + l2 + "\n" + l3);
  PersRecargaExterna leitor;
  EXPECT_FALSE(leitor.Aberto());
  ASSERT_TRUE(leitor.Abre(p));
  EXPECT_TRUE(leitor.Abre(pasta / "another path is ignored once open"));
  EXPECT_EQ(leitor.QuantidadeRegistros(), 3);

  EXPECT_TRUE(leitor.LeRegistro(p));
  EXPECT_EQ(leitor.MatriculaRegistro(), "A");
  EXPECT_FALSE(leitor.LeRegistro(p));
  EXPECT_EQ(leitor.Situacao(), kSituacaoValorInvalido);
  EXPECT_EQ(leitor.IdRegistro(), 2);
  EXPECT_TRUE(leitor.LeRegistro(p));
  EXPECT_EQ(leitor.Registro(), l3);
  EXPECT_EQ(leitor.MatriculaRegistro(), "C");
  for (int i = 0; i < 2; ++i) {
    EXPECT_FALSE(leitor.LeRegistro(p));
    EXPECT_EQ(leitor.Situacao(), kSituacaoFimArquivo);
    EXPECT_EQ(leitor.MensagemSituacao(), "Fim do arquivo");
    EXPECT_EQ(leitor.Registro(), "");
  }

  // Counting again starts the reading over.
  EXPECT_EQ(leitor.QuantidadeRegistros(), 3);
  EXPECT_TRUE(leitor.LeRegistro(p));
  EXPECT_EQ(leitor.IdRegistro(), 1);
}

TEST_F(LeitorTeste, FileThatDoesNotOpenGivesStatusOneOnEveryCall) {
  PersRecargaExterna leitor;
  const auto p = pasta / "falta.rrm";
  EXPECT_FALSE(leitor.Abre(p));
  EXPECT_EQ(leitor.QuantidadeRegistros(), 0);
  for (int i = 0; i < 2; ++i) {
    EXPECT_FALSE(leitor.LeRegistro(p));
    EXPECT_EQ(leitor.Situacao(), kSituacaoErroAbertura);
    EXPECT_EQ(leitor.MensagemSituacao(), "Erro ao abrir/criar o arquivo");
    EXPECT_FALSE(leitor.Aberto());
  }
  // Once the file is there, the next call opens it.
  Grava("falta.rrm", Linha({}));
  EXPECT_TRUE(leitor.LeRegistro(p));
  EXPECT_TRUE(leitor.Aberto());
}

TEST_F(LeitorTeste, LineTooLongIsStatusThreeWithNoStaleFieldsAndReadingGoesOn) {
  const std::string antes = Linha({.id = "1", .matricula = "ANTES"}),
                    depois = Linha({.id = "3", .matricula = "DEPOIS"});
  const std::string longa = Linha({.id = "2", .matricula = "LONGA"}) + std::string(Arquivo::kTamanhoMaximoLinha, ' ');
  const auto p = Grava("longa.rrm", antes + "\r\n" + longa + "\r\n" + depois + "\r\n");
  PersRecargaExterna leitor;
  ASSERT_TRUE(leitor.Abre(p));
  EXPECT_EQ(leitor.QuantidadeRegistros(), 3);
  EXPECT_TRUE(leitor.LeRegistro(p));
  EXPECT_FALSE(leitor.LeRegistro(p));
  EXPECT_EQ(leitor.Situacao(), kSituacaoErroLeitura);
  EXPECT_EQ(leitor.MensagemSituacao(), "Não conseguiu ler o registro"_cp);
  EXPECT_EQ(leitor.Registro(), "");
  EXPECT_EQ(leitor.MatriculaRegistro(), "") << "the previous record's matrícula must not be reported";
  EXPECT_EQ(leitor.IdRegistro(), 0);
  EXPECT_TRUE(leitor.LeRegistro(p));
  EXPECT_EQ(leitor.MatriculaRegistro(), "DEPOIS");
  EXPECT_FALSE(leitor.LeRegistro(p));
  EXPECT_EQ(leitor.Situacao(), kSituacaoFimArquivo);
}

TEST(Situacao, MessagesAsTheOperatorReadsThem) {
  const char* esperadas[] = {
      "Sucesso",
      "Erro ao abrir/criar o arquivo",
      "Fim do arquivo",
      "Não conseguiu ler o registro",
      "O identificador do registro infomado não é um número válido",
      "Valor infomado não é válido",
      "Empresa infomada não é um número",
      "Código do arquivo infomado não é um número",
  };
  for (std::uint8_t s = 0; s < 8; ++s) EXPECT_EQ(MensagemDaSituacao(s), Utf8ParaCp1252(esperadas[s])) << int{s};
  for (int s : {8, 9, 100, 255}) EXPECT_EQ(MensagemDaSituacao(static_cast<std::uint8_t>(s)), "") << s;
}

TEST(ResultadoImportacao, PaddingOfTheResultLine) {
  const std::string msg = "Matrícula não encontrada"_cp;
  struct Caso {
    std::string linha, matricula, esperado;
  } casos[] = {
      {"7", "12345", std::string(12, ' ') + "7" + "   " + "12345" + std::string(16, ' ') + msg},
      {"", "", std::string(13, ' ') + "   " + std::string(21, ' ') + msg},
      {"1234567890123", "123456789012345678901", "1234567890123   123456789012345678901" + msg},
      {"123456789012345", "MATRICULA-LONGA-DEMAIS-X", "123456789012345   MATRICULA-LONGA-DEMAIS-X" + msg},
      {"10000", "Jos\xE9", std::string(8, ' ') + "10000   Jos\xE9" + std::string(17, ' ') + msg},
  };
  for (const auto& c : casos) EXPECT_EQ(LinhaResultadoImportacao(c.linha, c.matricula, msg), c.esperado) << c.linha;
}

}  // namespace
}  // namespace telvarim::teste
