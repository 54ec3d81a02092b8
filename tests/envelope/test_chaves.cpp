// The compiled-in keys and the workspace's packing steps that use them: what the product seals only the
// central system opens, and what the central system seals the product opens.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "chaves.h"
#include "chaves_central.h"
#include "codecs.h"
#include "crypto/errors.h"
#include "envelope.h"

namespace telvarim {
namespace {

namespace fs = std::filesystem;

bool SamePublic(const RsaPublicKey& a, const RsaPublicKey& b) {
  return a.bits == b.bits && std::memcmp(a.modulus, b.modulus, sizeof a.modulus) == 0 &&
         std::memcmp(a.exponent, b.exponent, sizeof a.exponent) == 0;
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class Chaves : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("telvarim-chaves-" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(dir_);
    std::ofstream(P("TMP2.REC"), std::ios::binary) << texto_;
    ASSERT_NE(ChavePrivadaCentral(), nullptr) << "the test build needs central.key";
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path P(const char* name) const { return dir_ / name; }
  const std::string texto_ = std::string(1000, 'x') + "\xC3\xA7\r\n";

 private:
  fs::path dir_;
};

TEST_F(Chaves, EmbeddedPairsBelongTogether) {
  EXPECT_EQ(ChavePrivadaSistema().bits, 512);
  EXPECT_EQ(ChavePublicaCentral().bits, 512);
  EXPECT_TRUE(SamePublic(rsa_public_part(ChavePrivadaSistema()), ChavePublicaSistema()));
  EXPECT_TRUE(SamePublic(rsa_public_part(*ChavePrivadaCentral()), ChavePublicaCentral()));
  EXPECT_FALSE(SamePublic(ChavePublicaSistema(), ChavePublicaCentral()));
}

TEST_F(Chaves, TheProductsRequestOpensOnlyAtTheCentral) {
  ASSERT_TRUE(CodecsProduto().Sela(P("TMP2.REC"), P("req_2.REC")).Feito());
  EXPECT_EQ(fs::file_size(P("req_2.REC")), (texto_.size() / 8 + 1) * 8 + 180);
  ASSERT_EQ(open_file(P("req_2.REC"), P("central.out"), *ChavePrivadaCentral(), ChavePublicaSistema(), 0), 0);
  EXPECT_EQ(ReadAll(P("central.out")), texto_);
  EXPECT_EQ(CodecsProduto().AbreSelado(P("req_2.REC"), P("own.out")).codigo, kErrPrivateKey);
  EXPECT_FALSE(fs::exists(P("own.out")));
}

TEST_F(Chaves, TheCentralsFileOpensInTheProduct) {
  ASSERT_EQ(seal_file(P("TMP2.REC"), P("rec_1.rec"), *ChavePrivadaCentral(), {&ChavePublicaSistema(), 1}, {}, 1, 5), 0);
  ASSERT_TRUE(CodecsProduto().AbreSelado(P("rec_1.rec"), P("aberto")).Feito());
  EXPECT_EQ(ReadAll(P("aberto")), texto_);
}

}  // namespace
}  // namespace telvarim
