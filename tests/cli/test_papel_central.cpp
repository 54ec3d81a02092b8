// The central system's private key is in telvarim-cli only when the build has the central role, and never
// in the desktop program: the built programs are read byte by byte for the key's secret part. Without the
// role, the commands that need the key refuse with exit status 2 and write nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "linha_comando.h"
#include "pasta_temporaria.h"

namespace telvarim {
namespace {

namespace fs = std::filesystem;

constexpr bool kPapelCentral = TELVARIM_PAPEL_CENTRAL;

// A private key record is its public record (258 bytes: bits, modulus, exponent) followed by the secret part
// (private exponent, primes, their exponents, coefficient). The public part is in every program (central.pub
// and the system's own public key are meant to be), so only the secret part tells that a program holds the
// private key.
std::string Segredo(const fs::path& chave) {
  const std::string k = teste::LeArquivo(chave);
  return k.size() == 706 ? k.substr(258) : std::string();
}

bool Contem(const std::string& programa, const std::string& segredo) {
  return std::search(programa.begin(), programa.end(),
                     std::boyer_moore_horspool_searcher(segredo.begin(), segredo.end())) != programa.end();
}

TEST(PapelCentral, OnlyTheCliOfACentralBuildCarriesTheCentralPrivateKey) {
  const fs::path chaves = TELVARIM_KEYS_DIR;
  const std::string sistema = Segredo(chaves / "system.key");
  ASSERT_FALSE(sistema.empty());
  const std::string central = Segredo(chaves / "central.key");
  if (kPapelCentral) {
    ASSERT_FALSE(central.empty()) << "a build with the central role has central.key";
  }

  struct Programa {
    const char* nome;
    std::string caminho;
    bool comCentral;
  } programas[] = {
      {"telvarim-cli", TELVARIM_CLI, kPapelCentral},
      {"telvarim", TELVARIM_DESKTOP, false},
  };
  for (const auto& p : programas) {
    SCOPED_TRACE(p.nome);
    if (p.caminho.empty()) continue;  // a build without the windows has no desktop program
    const std::string bytes = teste::LeArquivo(p.caminho);
    ASSERT_FALSE(bytes.empty()) << p.caminho;
    // The search finds a private key where one is compiled in: the system's own is in both programs.
    EXPECT_TRUE(Contem(bytes, sistema));
    if (!central.empty()) {
      EXPECT_EQ(Contem(bytes, central), p.comCentral);
    }
  }
}

class SemPapelCentral : public teste::PastaTemporaria {
 protected:
  teste::ResultadoComando Cli(const std::string& args) const {
    return teste::Executa(teste::Aspas(TELVARIM_CLI) + " " + args, pasta);
  }
  std::string Q(const char* nome) const { return teste::Aspas((pasta / nome).string()); }
};

TEST_F(SemPapelCentral, CommandsThatNeedTheCentralKeyRefuseAndWriteNothing) {
  if (kPapelCentral) GTEST_SKIP() << "this build has the central role";
  Grava("texto.txt", "00 um texto\r\n");
  ASSERT_EQ(Cli("pack " + Q("texto.txt") + " " + Q("pedido_2.REC")).status, 0) << "the product's own role works";
  const std::string comandos[] = {
      "sample " + Q("amostra_1.rec"),
      "pack --as-central " + Q("texto.txt") + " " + Q("forjado_1.rec"),
      "unpack --as-central " + Q("pedido_2.REC") + " " + Q("aberto.txt"),
  };
  for (const std::string& c : comandos) {
    SCOPED_TRACE(c);
    const teste::ResultadoComando r = Cli(c);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("this build has no central role"), std::string::npos) << r.err;
  }
  for (const char* nome : {"amostra_1.rec", "forjado_1.rec", "aberto.txt"}) EXPECT_FALSE(fs::exists(pasta / nome));
}

}  // namespace
}  // namespace telvarim
