// The line file: CR, LF and CR LF line ends read alike on every platform, a last line without a line end, counting
// without losing the place, the cap on a line's length, and writing in text mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "arquivo.h"
#include "pasta_temporaria.h"

namespace telvarim::teste {
namespace {

using ArquivoTeste = PastaTemporaria;

std::vector<std::string> TodasAsLinhas(Arquivo& a) {
  std::vector<std::string> linhas;
  while (a.TemLinha()) {
    EXPECT_TRUE(a.LeLinha());
    linhas.push_back(a.Linha());
  }
  EXPECT_FALSE(a.LeLinha()) << "TemLinha said there was no line left";
  EXPECT_EQ(a.Linha(), "");
  return linhas;
}

TEST_F(ArquivoTeste, LineEndsAndTheLastLineWithoutOne) {
  struct Caso {
    const char* nome;
    std::string disco;
    std::vector<std::string> linhas;
  } casos[] = {
      {"empty file", "", {}},
      {"CR LF lines", "abc\r\ndef\r\n", {"abc", "def"}},
      {"bare LF lines", "abc\ndef\n", {"abc", "def"}},
      {"mixed", "a\r\nb\nc\r\n", {"a", "b", "c"}},
      {"last line without a line end", "a\r\nlast", {"a", "last"}},
      {"only a line without a line end", "x", {"x"}},
      {"CR at the very end", "a\nb\r", {"a", "b"}},
      {"empty lines", "\n\r\n\n", {"", "", ""}},
      {"empty line in the middle, last unterminated", "a\n\nb", {"a", "", "b"}},
      {"bare CR lines", "abc\rdef\r", {"abc", "def"}},
      {"bare CR lines, last unterminated", "a\rb\rc", {"a", "b", "c"}},
      {"CR, LF and CR LF mixed", "a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"LF CR is two line ends", "a\n\rb", {"a", "", "b"}},
      {"CR CR LF is an empty line", "a\r\r\n", {"a", ""}},
      {"only line ends", "\r\r\n\n\r", {"", "", "", ""}},
      {"NUL and high bytes are plain bytes", std::string("N\0\xE3o\xFF\n", 6), {std::string("N\0\xE3o\xFF", 5)}},
  };
  for (const auto& c : casos) {
    const auto p = Grava("f.rrm", c.disco);
    Arquivo a;
    ASSERT_TRUE(a.Abre(p, Arquivo::ModoLeitura)) << c.nome;
    EXPECT_EQ(TodasAsLinhas(a), c.linhas) << c.nome;
    EXPECT_EQ(a.Contador(), static_cast<std::int32_t>(c.linhas.size())) << c.nome;
    EXPECT_EQ(a.ContaLinhas(), static_cast<std::int32_t>(c.linhas.size())) << c.nome;
    EXPECT_EQ(TodasAsLinhas(a), c.linhas) << c.nome << ", after counting";
  }
}

// The lines of a text as the reader must see them: CR LF, LF and CR each end a line; a last line without a line
// end counts.
std::vector<std::string> Separa(std::string_view t) {
  std::vector<std::string> linhas;
  std::string atual;
  bool aberta = false;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\r' || t[i] == '\n') {
      if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
      linhas.push_back(atual);
      atual.clear();
      aberta = false;
    } else {
      atual += t[i];
      aberta = true;
    }
  }
  if (aberta) linhas.push_back(atual);
  return linhas;
}

// Random texts over line ends, a few other bytes and lines around the length cap: every line read as the
// plain split gives it, and the count (with and without a limit) agrees.
TEST_F(ArquivoTeste, AnyMixOfLineEndsReadsAsThePlainSplit) {
  std::mt19937 aleatorio(20261210);
  const std::size_t max = Arquivo::kTamanhoMaximoLinha;
  for (int rodada = 0; rodada < 300; ++rodada) {
    std::string t;
    const int pedacos = static_cast<int>(aleatorio() % 40);
    for (int k = 0; k < pedacos; ++k) {
      switch (aleatorio() % 6) {
        case 0:
          t += '\r';
          break;
        case 1:
          t += '\n';
          break;
        case 2:
          t += "\r\n";
          break;
        case 3:
          t += std::string(1 + aleatorio() % 3, static_cast<char>('a' + aleatorio() % 3));
          break;
        case 4:
          t += std::string(1, static_cast<char>(aleatorio() % 256));
          break;
        default:
          if (aleatorio() % 10 == 0) t += std::string(max - 1 + aleatorio() % 3, 'L');  // around the cap
          break;
      }
    }
    const std::vector<std::string> esperadas = Separa(t);
    Arquivo a;
    ASSERT_TRUE(a.Abre(Grava("p.rrm", t), Arquivo::ModoLeitura));
    const auto n = static_cast<std::int32_t>(esperadas.size());
    ASSERT_EQ(a.ContaLinhas(), n) << rodada;
    const std::int32_t limite = static_cast<std::int32_t>(aleatorio() % 12);
    ASSERT_EQ(a.ContaLinhas(limite), std::min(n, limite)) << rodada;
    for (std::size_t i = 0; i < esperadas.size(); ++i) {
      ASSERT_TRUE(a.TemLinha()) << rodada << " line " << i;
      const bool longa = esperadas[i].size() > max;
      ASSERT_EQ(a.LeLinha(), !longa) << rodada << " line " << i;
      ASSERT_EQ(a.Linha(), longa ? std::string() : esperadas[i]) << rodada << " line " << i;
    }
    ASSERT_FALSE(a.TemLinha()) << rodada;
  }
}

TEST_F(ArquivoTeste, CountingStopsAtItsLimit) {
  struct Caso {
    const char* nome;
    std::string disco;
    std::int32_t limite, contadas;
  } casos[] = {
      {"fewer lines than the limit", "a\nb\n", 5, 2},
      {"as many as the limit", "a\rb\r", 2, 2},
      {"more than the limit", std::string(1000, '\n'), 10, 10},
      {"an unterminated last line past the limit", "a\r\nb\r\nc", 2, 2},
      {"limit 0", "a\n", 0, 0},
  };
  for (const auto& c : casos) {
    Arquivo a;
    ASSERT_TRUE(a.Abre(Grava("f.rrm", c.disco), Arquivo::ModoLeitura)) << c.nome;
    ASSERT_TRUE(a.LeLinha()) << c.nome;
    EXPECT_EQ(a.ContaLinhas(c.limite), c.contadas) << c.nome;
    EXPECT_EQ(a.Contador(), c.contadas) << c.nome;
    ASSERT_TRUE(a.LeLinha()) << c.nome << ": back at the start";
    EXPECT_EQ(a.Linha(), c.disco.substr(0, 1) == "a" ? "a" : "") << c.nome;
  }
}

TEST_F(ArquivoTeste, TemLinhaAndContaLinhasKeepThePlace) {
  Arquivo a;
  ASSERT_TRUE(a.Abre(Grava("f.rrm", "um\r\ndois\r\ntres"), Arquivo::ModoLeitura));
  EXPECT_EQ(a.Contador(), 0);
  ASSERT_TRUE(a.LeLinha());
  EXPECT_TRUE(a.TemLinha());
  EXPECT_TRUE(a.TemLinha());
  EXPECT_EQ(a.Contador(), 1);
  EXPECT_EQ(a.Linha(), "um");
  ASSERT_TRUE(a.LeLinha());
  EXPECT_EQ(a.Linha(), "dois");

  // Counts the whole file from wherever it stands, and goes back to the start.
  EXPECT_EQ(a.ContaLinhas(), 3);
  EXPECT_EQ(a.Contador(), 3);
  ASSERT_TRUE(a.LeLinha());
  EXPECT_EQ(a.Linha(), "um");
  EXPECT_EQ(a.Contador(), 4);
}

TEST_F(ArquivoTeste, OpeningRefusesOtherModesFoldersAndMissingFiles) {
  const auto p = Grava("f.rrm", "a\n");
  Arquivo a;
  for (const char* modo : {"", "r", "rb", "wt", "w+", "RT", "rt "}) EXPECT_FALSE(a.Abre(p, modo)) << modo;
  EXPECT_FALSE(a.Aberto());
  EXPECT_FALSE(a.Abre(pasta / "nao-existe.rrm", Arquivo::ModoLeitura));
  EXPECT_FALSE(a.Abre(pasta, Arquivo::ModoLeitura));
  EXPECT_FALSE(a.Abre(pasta, Arquivo::ModoGravacao));
  EXPECT_FALSE(a.Abre(pasta / "sem-pasta" / "x.log", Arquivo::ModoGravacao));
  EXPECT_FALSE(a.Aberto());
  EXPECT_FALSE(a.TemLinha());
  EXPECT_FALSE(a.LeLinha());
  EXPECT_EQ(a.ContaLinhas(), 0);
  EXPECT_FALSE(a.GravaLinha("x"));
  EXPECT_TRUE(a.Fecha());

  // A refused mode leaves an open file alone.
  ASSERT_TRUE(a.Abre(p, Arquivo::ModoLeitura));
  EXPECT_FALSE(a.Abre(p, "w"));
  EXPECT_TRUE(a.LeLinha());
  EXPECT_EQ(a.Linha(), "a");
}

TEST_F(ArquivoTeste, WritesInTextModeAndReadsBack) {
  const auto p = Grava("f.log", "old contents that must go\r\n");
  {
    Arquivo a;
    ASSERT_TRUE(a.Abre(p, Arquivo::ModoGravacao));
    EXPECT_TRUE(a.GravaLinha("um\n"));
    EXPECT_TRUE(a.GravaLinha("do"));
    EXPECT_TRUE(a.GravaLinha("is\n\ntr\r\xEAs"));
    EXPECT_TRUE(a.GravaLinha(""));
    // Already on disk before closing: a log survives the program stopping.
    EXPECT_EQ(LeArquivo(p), "um\r\ndois\r\n\r\ntr\r\xEAs");

    // The same file read back, then written after reading.
    EXPECT_EQ(a.ContaLinhas(), 5);
    EXPECT_EQ(TodasAsLinhas(a), (std::vector<std::string>{"um", "dois", "", "tr", "\xEAs"}));
    EXPECT_TRUE(a.GravaLinha("\n"));
    EXPECT_TRUE(a.Fecha());
    EXPECT_TRUE(a.Fecha());
  }
  EXPECT_EQ(LeArquivo(p), "um\r\ndois\r\n\r\ntr\r\xEAs\r\n");

  Arquivo leitura;
  ASSERT_TRUE(leitura.Abre(p, Arquivo::ModoLeitura));
  EXPECT_FALSE(leitura.GravaLinha("x")) << "a file opened for reading is not written";
  EXPECT_EQ(LeArquivo(p), "um\r\ndois\r\n\r\ntr\r\xEAs\r\n");
}

TEST_F(ArquivoTeste, DestructorClosesAndReopeningClosesTheFirstFile) {
  const auto p1 = pasta / "a.log";
  const auto p2 = pasta / "b.log";
  {
    Arquivo a;
    ASSERT_TRUE(a.Abre(p1, Arquivo::ModoGravacao));
    ASSERT_TRUE(a.GravaLinha("primeiro\n"));
    ASSERT_TRUE(a.Abre(p2, Arquivo::ModoGravacao));
    ASSERT_TRUE(a.GravaLinha("segundo"));
  }
  EXPECT_EQ(LeArquivo(p1), "primeiro\r\n");
  EXPECT_EQ(LeArquivo(p2), "segundo");
}

TEST_F(ArquivoTeste, AnOverlongLineIsSkippedAndCountedNotKept) {
  const std::size_t max = Arquivo::kTamanhoMaximoLinha;
  struct Caso {
    const char* nome;
    std::string disco;
    std::vector<bool> lidas;  // per line: LeLinha true (kept) or false (too long)
    std::vector<std::size_t> tamanhos;
  } casos[] = {
      {"at the limit, CR LF", std::string(max, 'x') + "\r\nok\n", {true, true}, {max, 2}},
      {"at the limit, unterminated CR", std::string(max, 'x') + "\r", {true}, {max}},
      {"one byte over", std::string(max + 1, 'x') + "\nok\n", {false, true}, {0, 2}},
      {"at the limit, bare CR", std::string(max, 'x') + "\rz\n", {true, true}, {max, 1}},
      {"far over, in the middle", "a\n" + std::string(5 * max, 'y') + "\r\nb", {true, false, true}, {1, 0, 1}},
      {"far over, unterminated", "a\n" + std::string(3 * max, 'y'), {true, false}, {1, 0}},
  };
  for (const auto& c : casos) {
    Arquivo a;
    ASSERT_TRUE(a.Abre(Grava("f.rrm", c.disco), Arquivo::ModoLeitura)) << c.nome;
    EXPECT_EQ(a.ContaLinhas(), static_cast<std::int32_t>(c.lidas.size())) << c.nome;
    for (std::size_t i = 0; i < c.lidas.size(); ++i) {
      ASSERT_TRUE(a.TemLinha()) << c.nome << " line " << i;
      EXPECT_EQ(a.LeLinha(), c.lidas[i]) << c.nome << " line " << i;
      EXPECT_EQ(a.Linha().size(), c.tamanhos[i]) << c.nome << " line " << i;
      EXPECT_EQ(a.Contador(), static_cast<std::int32_t>(c.lidas.size() + i + 1)) << c.nome;
    }
    EXPECT_FALSE(a.TemLinha()) << c.nome;
  }
}

}  // namespace
}  // namespace telvarim::teste
