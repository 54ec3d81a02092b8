// Key generation with our own arithmetic, checked by OpenSSL, and the operating system's random source.
#include <gtest/gtest.h>

#include <cstring>

#include "crypto/bignum.h"
#include "crypto/errors.h"
#include "crypto/keygen.h"
#include "crypto/os_random.h"
#include "crypto/rsa.h"
#include "oracle.h"

namespace telvarim::test {
namespace {

RandomSource pool_source(RandomPool& pool) {
  return [&pool](unsigned char* out, std::size_t n) { return random_generate(pool, out, n); };
}

BigNum number(const unsigned char* field, std::size_t len) { return BigNum::from_bytes(field, len); }

void expect_sound_key(const RsaPublicKey& pub, const RsaPrivateKey& priv, unsigned bits) {
  EXPECT_EQ(priv.bits, bits);
  EXPECT_EQ(pub.bits, bits);
  EXPECT_EQ(number(priv.modulus, 128).bit_length(), static_cast<int>(bits));
  EXPECT_EQ(std::memcmp(pub.modulus, priv.modulus, 128), 0);
  EXPECT_EQ(bn_compare(number(pub.exponent, 128), BigNum(65537)), 0);
  const BigNum p = number(priv.prime1, 64), q = number(priv.prime2, 64);
  EXPECT_GT(bn_compare(p, q), 0) << "p > q";
  EXPECT_EQ(p.bit_length(), static_cast<int>((bits + 1) / 2));
  EXPECT_EQ(q.bit_length(), static_cast<int>(bits / 2));

#if TELVARIM_ORACULO_OPENSSL
  // OpenSSL checks the primes and every relation between the fields (d e = 1, d mod (p-1), q^-1 mod p, ...).
  BIGNUM* op = BN_bin2bn(priv.prime1, 64, nullptr);
  BIGNUM* oq = BN_bin2bn(priv.prime2, 64, nullptr);
  BN_CTX* ctx = BN_CTX_new();
  EXPECT_EQ(BN_check_prime(op, ctx, nullptr), 1);
  EXPECT_EQ(BN_check_prime(oq, ctx, nullptr), 1);
  BN_CTX_free(ctx);
  BN_free(op);
  BN_free(oq);
  const Pkey key = openssl_key_from(priv);
  EVP_PKEY_CTX* check = EVP_PKEY_CTX_new_from_pkey(nullptr, key.get(), nullptr);
  EXPECT_EQ(EVP_PKEY_check(check), 1);
  EVP_PKEY_CTX_free(check);
#endif
}

TEST(KeyGeneration, A512BitKeyWorksHereAndInOpenSsl) {
  TELVARIM_PRECISA_ORACULO();
  RandomPool pool = seeded_pool(512);
  RsaPublicKey pub;
  RsaPrivateKey priv;
  ASSERT_EQ(rsa_generate_keypair(kRsaDefaultBits, pool_source(pool), pub, priv), 0);
  expect_sound_key(pub, priv, 512);

  const Pkey theirs = openssl_key_from(priv);
  const Bytes message = bytes_of("recharge request");
  Bytes info = from_hex("3020300c06082a864886f70d020505000410");
  const Bytes digest = openssl_md5(message);
  info.insert(info.end(), digest.begin(), digest.end());
  Bytes sig(64);
  std::size_t len = 0;
  ASSERT_EQ(rsa_private_encrypt(sig.data(), len, info.data(), info.size(), priv), 0);
  EXPECT_EQ(to_hex(sig), to_hex(openssl_sign_md5(theirs.get(), message)));

  const Bytes content = from_hex("00112233445566778899aabbccddeeff0011223344556677");
  Bytes sealed(64);
  ASSERT_EQ(rsa_public_encrypt(sealed.data(), len, content.data(), content.size(), pub, pool), 0);
  EXPECT_EQ(openssl_decrypt(theirs.get(), sealed, RSA_PKCS1_PADDING), content);
  const Bytes theirs_sealed = openssl_encrypt(openssl_key_from(pub).get(), content, RSA_PKCS1_PADDING);
  Bytes opened(64);
  ASSERT_EQ(rsa_private_decrypt(opened.data(), len, theirs_sealed.data(), theirs_sealed.size(), priv), 0);
  opened.resize(len);
  EXPECT_EQ(opened, content);
}

TEST(KeyGeneration, OddAndLargestSizesHaveExactlyThatManyBits) {
  for (unsigned bits : {513u, 1024u}) {
    RandomPool pool = seeded_pool(bits);
    RsaPublicKey pub;
    RsaPrivateKey priv;
    ASSERT_EQ(rsa_generate_keypair(bits, pool_source(pool), pub, priv), 0) << bits;
    expect_sound_key(pub, priv, bits);
  }
}

TEST(KeyGeneration, TheSameRandomBytesGiveTheSameKey) {
  RandomPool a = seeded_pool(99), b = seeded_pool(99);
  RsaPublicKey pub_a, pub_b;
  RsaPrivateKey priv_a, priv_b;
  ASSERT_EQ(rsa_generate_keypair(512, pool_source(a), pub_a, priv_a), 0);
  ASSERT_EQ(rsa_generate_keypair(512, pool_source(b), pub_b, priv_b), 0);
  EXPECT_EQ(std::memcmp(&priv_a, &priv_b, sizeof priv_a), 0);
}

TEST(KeyGeneration, RefusesUnsupportedSizesAndPassesOnRandomFailures) {
  RsaPublicKey pub;
  RsaPrivateKey priv;
  RandomPool pool = seeded_pool(1);
  EXPECT_EQ(rsa_generate_keypair(255, pool_source(pool), pub, priv), kErrModulusLength);
  EXPECT_EQ(rsa_generate_keypair(1025, pool_source(pool), pub, priv), kErrModulusLength);
  RandomPool unseeded;
  random_init(unseeded);
  EXPECT_EQ(rsa_generate_keypair(512, pool_source(unseeded), pub, priv), kErrNeedRandom);
  EXPECT_EQ(rsa_generate_keypair(512, RandomSource{}, pub, priv), kErrNeedRandom);
}

TEST(OsRandom, FillsBuffersWithFreshBytes) {
  unsigned char a[32] = {}, b[32] = {};
  ASSERT_EQ(os_random_bytes(a, sizeof a), 0);
  ASSERT_EQ(os_random_bytes(b, sizeof b), 0);
  EXPECT_NE(std::memcmp(a, b, sizeof a), 0);
  RsaPublicKey pub;
  RsaPrivateKey priv;
  ASSERT_EQ(rsa_generate_keypair(512, os_random_bytes, pub, priv), 0);
  EXPECT_EQ(number(priv.modulus, 128).bit_length(), 512);
}

}  // namespace
}  // namespace telvarim::test
