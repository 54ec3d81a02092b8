// DES and its CBC variants: published vectors, then random keys, IVs and lengths against OpenSSL.
#include <gtest/gtest.h>

#include <random>

#include "crypto/cbc.h"
#include "crypto/errors.h"
#include "oracle.h"

namespace telvarim::test {
namespace {

// Electronic codebook through the CBC interface: with a zero IV, restarting before every block leaves each
// block chained to zero only.
Bytes ecb(int algorithm, const Bytes& key, const Bytes& in, CipherDirection direction) {
  const unsigned char zero_iv[8] = {};
  CbcContext ctx;
  EXPECT_EQ(cbc_init(ctx, algorithm, key.data(), zero_iv, direction), 0);
  Bytes out(in.size());
  for (std::size_t i = 0; i < in.size(); i += 8) {
    cbc_restart(ctx);
    EXPECT_EQ(cbc_update(ctx, out.data() + i, in.data() + i, 8), 0);
  }
  return out;
}

Bytes cbc(int algorithm, const Bytes& key, const Bytes& iv, const Bytes& in, CipherDirection direction) {
  CbcContext ctx;
  EXPECT_EQ(cbc_init(ctx, algorithm, key.data(), iv.data(), direction), 0);
  Bytes out(in.size());
  EXPECT_EQ(cbc_update(ctx, out.data(), in.data(), in.size()), 0);
  return out;
}

struct KnownAnswer {
  const char* key;
  const char* plain;
  const char* cipher;
};

// NBS / FIPS 81 single-block answers and the SP 800-17 variable-plaintext and variable-key rows.
constexpr KnownAnswer kDesVectors[] = {
    {"0000000000000000", "0000000000000000", "8ca64de9c1b123a7"},
    {"ffffffffffffffff", "ffffffffffffffff", "7359b2163e4edc58"},
    {"3000000000000000", "1000000000000001", "958e6e627a05557b"},
    {"1111111111111111", "1111111111111111", "f40379ab9e0ec533"},
    {"0123456789abcdef", "1111111111111111", "17668dfc7292532d"},
    {"1111111111111111", "0123456789abcdef", "8a5ae1f81ab8f2dd"},
    {"fedcba9876543210", "0123456789abcdef", "ed39d950fa74bcc4"},
    {"133457799bbcdff1", "0123456789abcdef", "85e813540f0ab405"},
    {"0123456789abcdef", "4e6f772069732074", "3fa40e8a984d4815"},
    {"0101010101010101", "8000000000000000", "95f8a5e5dd31d900"},
    {"0101010101010101", "4000000000000000", "dd7f121ca5015619"},
    {"8001010101010101", "0000000000000000", "95a8d72813daa94d"},
    {"4001010101010101", "0000000000000000", "0eec1487dd8c26d5"},
};

TEST(Des, PublishedSingleBlockVectors) {
  for (const auto& v : kDesVectors) {
    const Bytes key = from_hex(v.key), plain = from_hex(v.plain);
    EXPECT_EQ(to_hex(ecb(kCipherDesCbc, key, plain, CipherDirection::kEncrypt)), v.cipher) << v.key;
    EXPECT_EQ(to_hex(ecb(kCipherDesCbc, key, from_hex(v.cipher), CipherDirection::kDecrypt)), v.plain) << v.key;
  }
}

TEST(Des, RivestIterativeTest) {
  // X(i+1) = E_X(i)(X(i)) for even i and D_X(i)(X(i)) for odd i: sixteen keys and both directions.
  Bytes x = from_hex("9474b8e8c73bca7d");
  for (int i = 0; i < 16; ++i)
    x = ecb(kCipherDesCbc, x, x, i % 2 == 0 ? CipherDirection::kEncrypt : CipherDirection::kDecrypt);
  EXPECT_EQ(to_hex(x), "1b1a2ddb4c642438");
}

TEST(Des, Fips81CbcExample) {
  const Bytes key = from_hex("0123456789abcdef"), iv = from_hex("1234567890abcdef");
  const Bytes plain = bytes_of("Now is the time for all ");
  const char* expected = "e5c7cdde872bf27c43e934008c389c0f683788499a7c05f6";
  EXPECT_EQ(to_hex(cbc(kCipherDesCbc, key, iv, plain, CipherDirection::kEncrypt)), expected);
  EXPECT_EQ(cbc(kCipherDesCbc, key, iv, from_hex(expected), CipherDirection::kDecrypt), plain);
}

TEST(Des, TripleDesSp80067Example) {
  const Bytes key = from_hex("0123456789abcdef 23456789abcdef01 456789abcdef0123");
  const Bytes plain = bytes_of("The qufck brown fox jump");
  const char* expected = "a826fd8ce53b855fcce21c8112256fe668d5c05dd9b6b900";
  EXPECT_EQ(to_hex(ecb(kCipherDesEde3Cbc, key, plain, CipherDirection::kEncrypt)), expected);
  EXPECT_EQ(ecb(kCipherDesEde3Cbc, key, from_hex(expected), CipherDirection::kDecrypt), plain);
}

TEST(Des, ParityBitsAreIgnored) {
  const Bytes key = from_hex("0123456789abcdef"), iv = from_hex("1234567890abcdef");
  Bytes flipped = key;
  for (auto& b : flipped) b ^= 0x01;
  const Bytes plain = bytes_of("Now is the time for all ");
  EXPECT_EQ(cbc(kCipherDesCbc, key, iv, plain, CipherDirection::kEncrypt),
            cbc(kCipherDesCbc, flipped, iv, plain, CipherDirection::kEncrypt));
}

struct Variant {
  int algorithm;
  const char* openssl_name;
  std::size_t openssl_key_len;
};

TEST(Cbc, AgreesWithOpenSslForRandomKeysIvsAndLengths) {
  TELVARIM_PRECISA_ORACULO();
  constexpr Variant kVariants[] = {{kCipherDesCbc, "DES-CBC", 8},
                                   {kCipherDesEde2Cbc, "DES-EDE-CBC", 16},
                                   {kCipherDesEde3Cbc, "DES-EDE3-CBC", 24},
                                   {kCipherDesxCbc, "DESX-CBC", 24}};
  std::mt19937_64 rng(81);
  for (const auto& v : kVariants) {
    for (int iter = 0; iter < 25; ++iter) {
      Bytes key = random_bytes(rng, 24);
      if (v.algorithm == kCipherDesEde2Cbc) std::copy(key.begin(), key.begin() + 8, key.begin() + 16);
      const Bytes iv = random_bytes(rng, 8);
      const Bytes plain = random_bytes(rng, 8 * (rng() % 65));
      const Bytes openssl_key(key.begin(), key.begin() + static_cast<long>(v.openssl_key_len));
      const Bytes expected = openssl_cbc(v.openssl_name, openssl_key, iv, plain, true);

      // Random whole-block pieces: the chaining value must carry from call to call.
      CbcContext ctx;
      ASSERT_EQ(cbc_init(ctx, v.algorithm, key.data(), iv.data(), CipherDirection::kEncrypt), 0);
      Bytes out(plain.size());
      for (std::size_t done = 0; done < plain.size();) {
        const std::size_t piece = std::min<std::size_t>(8 * (rng() % 5), plain.size() - done);
        ASSERT_EQ(cbc_update(ctx, out.data() + done, plain.data() + done, piece), 0);
        done += piece;
      }
      ASSERT_EQ(to_hex(out), to_hex(expected)) << v.openssl_name << " iteration " << iter;

      // Decrypt in place, in other pieces.
      ASSERT_EQ(cbc_init(ctx, v.algorithm, key.data(), iv.data(), CipherDirection::kDecrypt), 0);
      for (std::size_t done = 0; done < out.size();) {
        const std::size_t piece = std::min<std::size_t>(8 * (rng() % 5), out.size() - done);
        ASSERT_EQ(cbc_update(ctx, out.data() + done, out.data() + done, piece), 0);
        done += piece;
      }
      ASSERT_EQ(out, plain) << v.openssl_name << " iteration " << iter;
      ASSERT_EQ(openssl_cbc(v.openssl_name, openssl_key, iv, expected, false), plain);
    }
  }
}

TEST(Cbc, RestartReturnsToTheInitialisationVector) {
  const Bytes key = from_hex("0123456789abcdef"), iv = from_hex("1234567890abcdef");
  const Bytes plain = bytes_of("Now is the time for all ");
  CbcContext ctx;
  ASSERT_EQ(cbc_init(ctx, kCipherDesCbc, key.data(), iv.data(), CipherDirection::kEncrypt), 0);
  Bytes first(24), second(24);
  cbc_update(ctx, first.data(), plain.data(), 24);
  cbc_restart(ctx);
  cbc_update(ctx, second.data(), plain.data(), 24);
  EXPECT_EQ(first, second);
}

TEST(Cbc, RefusesPartialBlocksAndUnknownAlgorithms) {
  const Bytes key(24, 0x5a), iv(8, 0);
  CbcContext ctx;
  EXPECT_EQ(cbc_init(ctx, 0, key.data(), iv.data(), CipherDirection::kEncrypt), kErrEncryptionAlgorithm);
  EXPECT_EQ(cbc_init(ctx, 5, key.data(), iv.data(), CipherDirection::kEncrypt), kErrEncryptionAlgorithm);
  ASSERT_EQ(cbc_init(ctx, kCipherDesxCbc, key.data(), iv.data(), CipherDirection::kEncrypt), 0);
  unsigned char buf[16] = {};
  for (std::size_t len : {1u, 7u, 9u, 15u}) EXPECT_EQ(cbc_update(ctx, buf, buf, len), kErrLength) << len;
  EXPECT_EQ(cbc_update(ctx, buf, buf, 0), 0);
}

}  // namespace
}  // namespace telvarim::test
