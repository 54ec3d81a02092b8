// The file forms: results, diagnostics, and what is left on disk after a failure.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

#include "lzw.h"

using namespace telvarim;
namespace fs = std::filesystem;

namespace {

class LzwFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    pasta = fs::temp_directory_path() / ("telvarim-lzw-" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(pasta);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(pasta, ec);
  }

  fs::path Grava(const char* nome, const std::string& conteudo) {
    fs::path p = pasta / nome;
    std::ofstream(p, std::ios::binary) << conteudo;
    return p;
  }
  static std::string Le(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string Texto() const {
    std::string t;
    for (int i = 0; i < 3000; ++i) t += "01" + std::to_string(1000000000 + i) + std::string(40, ' ') + "\r\n";
    return t;
  }

  LzwOpcoes Op() { return {.diagnostico = &diag}; }

  fs::path pasta;
  std::ostringstream diag;
};

TEST_F(LzwFiles, RoundTripFileToFile) {
  const std::string texto = Texto();
  const fs::path txt = Grava("TMP1.REC", texto), z = pasta / "TMP2.REC", volta = pasta / "VOLTA.REC";
  Grava("TMP2.REC", std::string(500000, 'o'));  // an older, longer file is replaced whole
  EXPECT_EQ(lzw_compress_file(txt, z, Op()), kLzwOk);
  EXPECT_LT(fs::file_size(z), texto.size() / 4);
  EXPECT_EQ(lzw_expand_file(z, volta, Op()), kLzwOk);
  EXPECT_TRUE(Le(volta) == texto);
  EXPECT_EQ(diag.str().substr(0, 15), "Compressing...\n");
  EXPECT_NE(diag.str().find("\nExpanding...\n"), std::string::npos);
}

TEST_F(LzwFiles, EmptyFileRoundTrips) {
  const fs::path vazio = Grava("VAZIO", ""), z = pasta / "Z", volta = pasta / "VOLTA";
  EXPECT_EQ(lzw_compress_file(vazio, z, Op()), kLzwOk);
  EXPECT_EQ(Le(z), std::string("\xFF\xFF\x00\x00", 4));
  EXPECT_EQ(lzw_expand_file(z, volta, Op()), kLzwOk);
  EXPECT_TRUE(fs::exists(volta));
  EXPECT_EQ(fs::file_size(volta), 0u);
}

TEST_F(LzwFiles, FilesThatCannotBeOpenedCreateNothing) {
  const fs::path existe = Grava("EXISTE", "abc");
  const fs::path semEntrada = pasta / "NAO_EXISTE", saida = pasta / "SAIDA";
  const fs::path semPasta = pasta / "NAO" / "EXISTE";
  struct Caso {
    const char* nome;
    fs::path entrada, saida;
  } casos[] = {
      {"missing input", semEntrada, saida},
      {"output in a missing folder", existe, semPasta},
      {"output is a folder", existe, pasta},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    diag.str("");
    EXPECT_EQ(lzw_compress_file(c.entrada, c.saida, Op()), kLzwErroAbertura);
    EXPECT_EQ(lzw_expand_file(c.entrada, c.saida, Op()), kLzwErroAbertura);
    EXPECT_EQ(diag.str(), "Fatal error opening files.\nFatal error opening files.\n");
  }
  EXPECT_FALSE(fs::exists(saida));
  EXPECT_FALSE(fs::exists(semPasta.parent_path()));
  EXPECT_TRUE(fs::is_directory(pasta));
  EXPECT_EQ(Le(existe), "abc");
}

// Opening the output would truncate the input before a byte of it was read.
TEST_F(LzwFiles, OutputThatIsTheInputIsRefusedAndLeftIntact) {
  const fs::path p = Grava("TMP1.REC", "ABABABA");
  EXPECT_EQ(lzw_compress_file(p, p, Op()), kLzwErroAbertura);
  EXPECT_EQ(lzw_expand_file(p, pasta / "." / "TMP1.REC", Op()), kLzwErroAbertura);
  EXPECT_EQ(Le(p), "ABABABA");
}

TEST_F(LzwFiles, CorruptInputFailsAndLeavesNoOutput) {
  // A good start long enough to have been written out before the fault: a zero byte, then codes 256,
  // 257, ... each naming the string being defined (one zero longer every time), then a code that names
  // nothing yet.
  std::string z(2, '\0');
  for (int c = 256; c < 656; ++c) z += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
  z += std::string("\xFF\x00\xFF\xFF\x00\x00", 6);
  const fs::path entrada = Grava("TMP2.REC", z), saida = Grava("TMP1.REC", "old text");
  EXPECT_EQ(lzw_expand_file(entrada, saida, Op()), kLzwErroExpansao);
  EXPECT_FALSE(fs::exists(saida));
  const std::string d = diag.str();
  EXPECT_EQ(d.substr(0, 13), "Expanding...\n");
  EXPECT_EQ(d.substr(d.size() - 35), "Fatal error during code expansion.\n");
}

// 40 KB of codes that would make 200 MB on disk: refused under the cap for received files, and the part
// written before the refusal is removed, along with the file it replaced.
TEST_F(LzwFiles, ABombIsRefusedUnderTheCapAndLeavesNoOutput) {
  std::string z(2, '\0');
  for (int c = 256; c < 20256; ++c) z += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
  z += std::string("\xFF\xFF\x00\x00", 4);
  const fs::path entrada = Grava("RASCUNHO.REC", z), saida = Grava("TMP1.REC", "old text");
  LzwOpcoes op = Op();
  op.limiteSaida = kLzwLimiteRecebido;
  EXPECT_EQ(lzw_expand_file(entrada, saida, op), kLzwErroLimite);
  EXPECT_FALSE(fs::exists(saida));
  EXPECT_EQ(Le(entrada), z);
  // A "*" every 1000 codes: it stopped at the 11,584th of its 20,000 codes, where the cap was reached.
  EXPECT_EQ(diag.str(), "Expanding...\n" + std::string(11, '*') + "Fatal error: expanded output over its limit.\n");
}

// A full disk must not pass as success. The output here is a device: it must survive the failure.
TEST_F(LzwFiles, WriteErrorsOnAFullDeviceAreFailures) {
  const fs::path cheio = "/dev/full";
  std::error_code ec;
  if (!fs::is_character_file(cheio, ec)) GTEST_SKIP() << "no /dev/full on this system";
  const fs::path txt = Grava("TMP1.REC", Texto());
  EXPECT_EQ(lzw_compress_file(txt, cheio, Op()), kLzwErroEscrita);
  const fs::path z = pasta / "TMP2.REC";
  ASSERT_EQ(lzw_compress_file(txt, z, Op()), kLzwOk);
  EXPECT_EQ(lzw_expand_file(z, cheio, Op()), kLzwErroEscrita);
  EXPECT_TRUE(fs::is_character_file(cheio));
  EXPECT_NE(diag.str().find("Fatal error writing output file.\n"), std::string::npos);
}

// A read error is not the end of the input; a half-written output must not remain.
TEST_F(LzwFiles, UnreadableInputFailsAndLeavesNoOutput) {
  const fs::path saida = pasta / "SAIDA";
  // A folder opens for reading on some systems and then fails on the first read.
  const int r = lzw_compress_file(pasta, saida, Op());
  EXPECT_TRUE(r == kLzwErroLeitura || r == kLzwErroAbertura) << r;
  EXPECT_NE(lzw_expand_file(pasta, saida, Op()), kLzwOk);
  EXPECT_FALSE(fs::exists(saida));
}

}  // namespace
