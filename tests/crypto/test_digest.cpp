// MD5 and MD2 behind the digest interface: the RFC test suites, and MD5 of random inputs against OpenSSL.
#include <gtest/gtest.h>

#include <random>

#include "crypto/digest.h"
#include "crypto/errors.h"
#include "oracle.h"

namespace telvarim::test {
namespace {

std::string digest_hex(int algorithm, const Bytes& data, std::mt19937_64* pieces = nullptr) {
  DigestContext ctx;
  EXPECT_EQ(digest_init(ctx, algorithm), 0);
  for (std::size_t done = 0; done < data.size();) {
    const std::size_t piece = pieces ? std::min<std::size_t>((*pieces)() % 150, data.size() - done) : data.size();
    EXPECT_EQ(digest_update(ctx, data.data() + done, piece), 0);
    done += piece;
  }
  unsigned char out[16];
  unsigned len = 0;
  EXPECT_EQ(digest_final(ctx, out, len), 0);
  EXPECT_EQ(len, 16u);
  return to_hex(out, sizeof out);
}

struct SuiteEntry {
  const char* message;
  const char* md5;
  const char* md2;
};

// The test suites of RFC 1321 and RFC 1319 (the same seven messages).
constexpr SuiteEntry kSuite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e", "8350e5a3e24c153df2275c9f80692773"},
    {"a", "0cc175b9c0f1b6a831c399e269772661", "32ec01ec4a6dac72c0ab96fb34c0b5d1"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72", "da853b0d3f88d99b30283a69e6ded6bb"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0", "ab4f496bfb2a530b219ff33031fe06b0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b", "4e8ddff3650292ab5a4108c3aa47940b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f",
     "da33def2a42df13975352846c30338cd"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a", "d5976f79d83d3a0dc9806c3c66f3efd8"},
};

TEST(Digest, RfcTestSuites) {
  std::mt19937_64 pieces(1321);
  for (const auto& entry : kSuite) {
    const Bytes m = bytes_of(entry.message);
    EXPECT_EQ(digest_hex(kDigestMd5, m), entry.md5) << '"' << entry.message << '"';
    EXPECT_EQ(digest_hex(kDigestMd2, m), entry.md2) << '"' << entry.message << '"';
    EXPECT_EQ(digest_hex(kDigestMd2, m, &pieces), entry.md2) << "in pieces: \"" << entry.message << '"';
  }
}

TEST(Digest, Md5OfRandomInputsInRandomPiecesAgreesWithOpenSsl) {
  TELVARIM_PRECISA_ORACULO();
  std::mt19937_64 rng(5);
  for (int iter = 0; iter < 200; ++iter) {
    // Lengths around the block and padding boundaries (55, 56, 63, 64, ...) come up often at these sizes.
    const Bytes data = random_bytes(rng, rng() % (iter < 150 ? 200 : 5000));
    ASSERT_EQ(digest_hex(kDigestMd5, data, &rng), to_hex(openssl_md5(data))) << data.size() << " bytes";
  }
}

TEST(Digest, UnknownAlgorithmNumbersAreRefused) {
  DigestContext ctx;
  for (int algorithm : {0, 1, 2, 4, 6}) EXPECT_EQ(digest_init(ctx, algorithm), kErrDigestAlgorithm) << algorithm;
  unsigned char out[16];
  unsigned len = 99;
  EXPECT_EQ(digest_update(ctx, out, 1), kErrDigestAlgorithm);
  EXPECT_EQ(digest_final(ctx, out, len), kErrDigestAlgorithm);
  EXPECT_EQ(len, 0u);
}

}  // namespace
}  // namespace telvarim::test
