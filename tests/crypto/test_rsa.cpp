// RSA with PKCS #1 v1.5 blocks, against OpenSSL on the same keys: signatures byte for byte, encryption both
// ways, the exact block layouts, and the checks on malformed blocks and inputs.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>

#include "crypto/bignum.h"
#include "crypto/digest.h"
#include "crypto/errors.h"
#include "crypto/keygen.h"
#include "crypto/md5.h"
#include "crypto/rsa.h"
#include "oracle.h"

namespace telvarim::test {
namespace {

Bytes md5_digest_info(const Bytes& message) {
  Bytes info = from_hex("3020300c06082a864886f70d020505000410");
#if TELVARIM_ORACULO_OPENSSL
  const Bytes d = openssl_md5(message);
#else
  Bytes d(16);
  md5(message.data(), message.size(), d.data());
#endif
  info.insert(info.end(), d.begin(), d.end());
  return info;
}

struct KeyPair {
  RsaPrivateKey priv;
  RsaPublicKey pub;
  Pkey openssl;
  std::size_t k;
};

class Rsa : public ::testing::Test {
 protected:
  // OpenSSL makes the keys once for the suite; each is also converted to our records. Without OpenSSL our
  // own generator makes them, from a fixed seed.
  static const KeyPair& key(unsigned bits) {
    static std::map<unsigned, KeyPair> keys;
    auto it = keys.find(bits);
    if (it == keys.end()) {
      KeyPair kp;
#if TELVARIM_ORACULO_OPENSSL
      kp.openssl = openssl_generate_rsa(bits, kp.priv);
#else
      RandomPool pool = seeded_pool(bits);
      RsaPublicKey pub;
      const RandomSource source = [&pool](unsigned char* out, std::size_t n) { return random_generate(pool, out, n); };
      EXPECT_EQ(rsa_generate_keypair(bits, source, pub, kp.priv), 0);
#endif
      kp.pub = rsa_public_part(kp.priv);
      kp.k = rsa_modulus_len(kp.priv.bits);
      it = keys.emplace(bits, std::move(kp)).first;
    }
    return it->second;
  }

  static Bytes sign(const RsaPrivateKey& key, const Bytes& info, int expected_rc = 0) {
    Bytes sig(kMaxRsaModulusLen);
    std::size_t len = 0;
    EXPECT_EQ(rsa_private_encrypt(sig.data(), len, info.data(), info.size(), key), expected_rc);
    sig.resize(len);
    return sig;
  }

  // Applies the private operation to a hand-made block; opening it with rsa_public_decrypt then checks
  // the type 1 parser. Likewise the public operation for the type 2 parser.
  static Bytes private_op(const KeyPair& kp, const Bytes& block) {
    Bytes out(kp.k);
    EXPECT_EQ(rsa_private_operation(out.data(), block.data(), block.size(), kp.priv), 0);
    return out;
  }
  static Bytes public_op(const KeyPair& kp, const Bytes& block) {
    Bytes out(kp.k);
    EXPECT_EQ(rsa_public_operation(out.data(), block.data(), block.size(), kp.pub), 0);
    return out;
  }

  std::mt19937_64 rng_{1024};
};

TEST_F(Rsa, SignaturesEqualOpenSslsByteForByte) {
  TELVARIM_PRECISA_ORACULO();
  for (unsigned bits : {512u, 777u, 1024u}) {
    const KeyPair& kp = key(bits);
    for (int iter = 0; iter < 8; ++iter) {
      const Bytes message = random_bytes(rng_, rng_() % 300);
      const Bytes info = md5_digest_info(message);
      const Bytes ours = sign(kp.priv, info);
      ASSERT_EQ(ours.size(), kp.k);
      ASSERT_EQ(to_hex(ours), to_hex(openssl_sign_md5(kp.openssl.get(), message))) << bits << " bits";

      Bytes opened(kMaxRsaModulusLen);
      std::size_t len = 0;
      ASSERT_EQ(rsa_public_decrypt(opened.data(), len, ours.data(), ours.size(), kp.pub), 0);
      opened.resize(len);
      ASSERT_EQ(opened, info);
    }
  }
}

TEST_F(Rsa, EncryptionInteroperatesWithOpenSslBothWays) {
  TELVARIM_PRECISA_ORACULO();
  RandomPool pool = seeded_pool(3);
  for (unsigned bits : {512u, 777u, 1024u}) {
    const KeyPair& kp = key(bits);
    for (std::size_t len : {std::size_t{1}, std::size_t{8}, std::size_t{24}, kp.k - 11}) {
      const Bytes content = random_bytes(rng_, len);
      Bytes sealed(kMaxRsaModulusLen);
      std::size_t sealed_len = 0;
      ASSERT_EQ(rsa_public_encrypt(sealed.data(), sealed_len, content.data(), len, kp.pub, pool), 0);
      ASSERT_EQ(sealed_len, kp.k);
      sealed.resize(sealed_len);
      EXPECT_EQ(openssl_decrypt(kp.openssl.get(), sealed, RSA_PKCS1_PADDING), content) << bits << "/" << len;

      const Bytes theirs = openssl_encrypt(kp.openssl.get(), content, RSA_PKCS1_PADDING);
      Bytes opened(kMaxRsaModulusLen);
      std::size_t opened_len = 0;
      ASSERT_EQ(rsa_private_decrypt(opened.data(), opened_len, theirs.data(), theirs.size(), kp.priv), 0);
      opened.resize(opened_len);
      EXPECT_EQ(opened, content) << bits << "/" << len;
    }
  }
}

TEST_F(Rsa, BlocksOfA512BitKey) {
  TELVARIM_PRECISA_ORACULO();
  const KeyPair& kp = key(512);
  ASSERT_EQ(kp.k, 64u);

  // An 8-byte content key: 00 02, 53 non-zero bytes drawn one at a time from the pool, 00, the key.
  RandomPool pool = seeded_pool(11), twin = seeded_pool(11);
  const Bytes content = from_hex("0102030405060708");
  Bytes sealed(64);
  std::size_t len = 0;
  ASSERT_EQ(rsa_public_encrypt(sealed.data(), len, content.data(), content.size(), kp.pub, pool), 0);
  Bytes expected = from_hex("0002");
  while (expected.size() < 55) {
    unsigned char b;
    random_generate(twin, &b, 1);
    if (b != 0) expected.push_back(b);
  }
  expected.push_back(0);
  expected.insert(expected.end(), content.begin(), content.end());
  EXPECT_EQ(to_hex(openssl_decrypt(kp.openssl.get(), sealed, RSA_NO_PADDING)), to_hex(expected));

  // A 34-byte DigestInfo: 00 01, 27 bytes FF, 00, the DigestInfo.
  const Bytes info = md5_digest_info(bytes_of("abc"));
  const Bytes sig = sign(kp.priv, info);
  Bytes block = from_hex("0001");
  block.insert(block.end(), 27, 0xff);
  block.push_back(0);
  block.insert(block.end(), info.begin(), info.end());
  EXPECT_EQ(to_hex(openssl_encrypt(kp.openssl.get(), sig, RSA_NO_PADDING)), to_hex(block));
}

// A hand-made block: header bytes, `pad` padding bytes of `fill` (0 = random non-zero), then the tail.
Bytes make_block(std::size_t k, unsigned char type, std::size_t pad, unsigned char fill, const Bytes& tail,
                 std::mt19937_64& rng) {
  Bytes block = {0x00, type};
  for (std::size_t i = 0; i < pad; ++i) block.push_back(fill != 0 ? fill : static_cast<unsigned char>(1 + rng() % 255));
  block.insert(block.end(), tail.begin(), tail.end());
  block.resize(k, 0x5a);  // the rest, if any, is data
  return block;
}

struct BlockCase {
  const char* what;
  unsigned char type;  // header byte 1
  std::size_t pad;     // padding bytes before the tail
  Bytes tail;          // separator and data (the block is filled up with data bytes)
  int expected;
  std::size_t data_len;  // when accepted
};

TEST_F(Rsa, SignatureBlocksAreCheckedBeforeTheirDataIsUsed) {
  const KeyPair& kp = key(512);
  const std::vector<BlockCase> cases = {
      {"8 FF bytes", 0x01, 8, {0x00}, 0, 64 - 11},
      {"7 FF bytes", 0x01, 7, {0x00}, kErrData, 0},
      {"61 FF bytes then the separator last", 0x01, 61, {0x00}, 0, 0},
      {"FF bytes up to the end", 0x01, 62, {}, kErrData, 0},
      {"a byte other than FF or 00 after the padding", 0x01, 20, {0x01, 0x00}, kErrData, 0},
      {"block type 2", 0x02, 20, {0x00}, kErrData, 0},
  };
  for (const auto& c : cases) {
    const Bytes block = make_block(kp.k, c.type, c.pad, 0xff, c.tail, rng_);
    const Bytes sig = private_op(kp, block);
    Bytes out(64);
    std::size_t len = 99;
    EXPECT_EQ(rsa_public_decrypt(out.data(), len, sig.data(), sig.size(), kp.pub), c.expected) << c.what;
    if (c.expected == 0) {
      EXPECT_EQ(len, c.data_len) << c.what;
    }
  }
}

TEST_F(Rsa, KeyBlocksAreCheckedBeforeTheirDataIsUsed) {
  const KeyPair& kp = key(512);
  const std::vector<BlockCase> cases = {
      {"8 padding bytes", 0x02, 8, {0x00}, 0, 64 - 11},
      {"7 padding bytes", 0x02, 7, {0x00}, kErrData, 0},
      {"separator as the last byte", 0x02, 61, {0x00}, kErrData, 0},
      {"no separator", 0x02, 62, {}, kErrData, 0},
      {"block type 1", 0x01, 20, {0x00}, kErrData, 0},
  };
  for (const auto& c : cases) {
    const Bytes block = make_block(kp.k, c.type, c.pad, c.type == 0x01 ? 0xff : 0, c.tail, rng_);
    const Bytes sealed = public_op(kp, block);
    Bytes out(64);
    std::size_t len = 99;
    EXPECT_EQ(rsa_private_decrypt(out.data(), len, sealed.data(), sealed.size(), kp.priv), c.expected) << c.what;
    if (c.expected == 0) {
      EXPECT_EQ(len, c.data_len) << c.what;
    }
  }
}

TEST_F(Rsa, InputsOutsideTheLimitsAreRefused) {
  const KeyPair& kp = key(512);
  RandomPool pool = seeded_pool(5);
  Bytes out(kMaxRsaModulusLen);
  std::size_t len = 0;
  const Bytes modulus(kp.pub.modulus + sizeof kp.pub.modulus - kp.k, kp.pub.modulus + sizeof kp.pub.modulus);
  EXPECT_EQ(rsa_public_decrypt(out.data(), len, modulus.data(), modulus.size(), kp.pub), kErrData);
  EXPECT_EQ(rsa_private_decrypt(out.data(), len, modulus.data(), modulus.size(), kp.priv), kErrData);
  const Bytes all_ff(kp.k, 0xff);
  EXPECT_EQ(rsa_public_decrypt(out.data(), len, all_ff.data(), all_ff.size(), kp.pub), kErrData);

  // One byte more than the modulus, even a leading zero, is a length error.
  Bytes longer = {0x00};
  longer.insert(longer.end(), 64, 0x01);
  EXPECT_EQ(rsa_public_decrypt(out.data(), len, longer.data(), longer.size(), kp.pub), kErrLength);
  EXPECT_EQ(rsa_private_decrypt(out.data(), len, longer.data(), longer.size(), kp.priv), kErrLength);

  // At most k - 11 bytes of data.
  const Bytes data(kp.k - 10, 0x33);
  EXPECT_EQ(rsa_public_encrypt(out.data(), len, data.data(), data.size(), kp.pub, pool), kErrLength);
  EXPECT_EQ(rsa_private_encrypt(out.data(), len, data.data(), data.size(), kp.priv), kErrLength);
  EXPECT_EQ(rsa_public_encrypt(out.data(), len, data.data(), data.size() - 1, kp.pub, pool), 0);

  // A key longer than 1024 bits is refused before anything is read from it.
  RsaPublicKey wide_pub = kp.pub;
  RsaPrivateKey wide_priv = kp.priv;
  wide_pub.bits = wide_priv.bits = 1025;
  EXPECT_EQ(rsa_public_encrypt(out.data(), len, data.data(), 8, wide_pub, pool), kErrModulusLength);
  EXPECT_EQ(rsa_public_decrypt(out.data(), len, data.data(), 8, wide_pub), kErrModulusLength);
  EXPECT_EQ(rsa_private_encrypt(out.data(), len, data.data(), 8, wide_priv), kErrModulusLength);
  EXPECT_EQ(rsa_private_decrypt(out.data(), len, data.data(), 8, wide_priv), kErrModulusLength);

  // An unseeded pool cannot pad.
  RandomPool unseeded;
  random_init(unseeded);
  EXPECT_EQ(rsa_public_encrypt(out.data(), len, data.data(), 8, kp.pub, unseeded), kErrNeedRandom);
}

TEST_F(Rsa, RecordsThatDoNotHoldTogetherGiveErrorsNotCrashes) {
  const KeyPair& kp = key(512);
  Bytes out(kMaxRsaModulusLen);
  std::size_t len = 0;
  const Bytes info = md5_digest_info(bytes_of("x"));

  RsaPrivateKey no_primes = kp.priv;
  std::memset(no_primes.prime1, 0, sizeof no_primes.prime1);
  EXPECT_EQ(rsa_private_encrypt(out.data(), len, info.data(), info.size(), no_primes), kErrData);

  // A bits field shorter than the modulus: results no longer fit k bytes.
  RsaPublicKey narrow = kp.pub;
  narrow.bits = 496;
  const Bytes block(62, 0x7f);
  int too_long = 0;
  for (int i = 0; i < 4; ++i) {
    Bytes input = block;
    input[61] = static_cast<unsigned char>(i);
    too_long += rsa_public_operation(out.data(), input.data(), input.size(), narrow) == kErrLength ? 1 : 0;
  }
  EXPECT_GT(too_long, 0);
}

TEST_F(Rsa, PrivateOperationIsRightWhenTheFirstPrimeIsTheSmaller) {
  TELVARIM_PRECISA_ORACULO();
  // Records made elsewhere may list the primes in either order; the coefficient is then q^-1 mod p for the
  // record's own p and q.
  const KeyPair& kp = key(512);
  RsaPrivateKey swapped = kp.priv;
  std::memcpy(swapped.prime1, kp.priv.prime2, 64);
  std::memcpy(swapped.prime2, kp.priv.prime1, 64);
  std::memcpy(swapped.prime_exponent1, kp.priv.prime_exponent2, 64);
  std::memcpy(swapped.prime_exponent2, kp.priv.prime_exponent1, 64);
  BigNum coefficient;
  ASSERT_TRUE(
      bn_mod_inverse(BigNum::from_bytes(swapped.prime2, 64), BigNum::from_bytes(swapped.prime1, 64), coefficient));
  coefficient.to_bytes(swapped.coefficient, 64);

  for (int iter = 0; iter < 10; ++iter) {
    const Bytes info = md5_digest_info(random_bytes(rng_, 20));
    ASSERT_EQ(to_hex(sign(swapped, info)), to_hex(sign(kp.priv, info)));
  }

  // c = 1 mod p and c = -1 mod q give mP = 1 and mQ = q - 1, so mQ - mP exceeds p: the difference must be
  // reduced mod p before it is taken from p.
  const BigNum p = BigNum::from_bytes(swapped.prime1, 64), q = BigNum::from_bytes(swapped.prime2, 64);
  BigNum p_inverse;
  ASSERT_TRUE(bn_mod_inverse(p, q, p_inverse));
  const BigNum k = bn_mod_mul(bn_sub(q, BigNum(2)), p_inverse, q);
  const BigNum c = bn_add(BigNum(1), bn_mul(p, k));
  Bytes block(kp.k);
  ASSERT_TRUE(c.to_bytes(block.data(), block.size()));
  const Bytes expected = openssl_decrypt(kp.openssl.get(), block, RSA_NO_PADDING);
  ASSERT_EQ(expected.size(), kp.k);
  Bytes out(kp.k);
  ASSERT_EQ(rsa_private_operation(out.data(), block.data(), block.size(), swapped), 0);
  EXPECT_EQ(to_hex(out), to_hex(expected));
}

TEST_F(Rsa, ArbitraryCiphertextsNeverBreakTheDecryptions) {
  const KeyPair& kp = key(512);
  for (int iter = 0; iter < 300; ++iter) {
    Bytes input = random_bytes(rng_, rng_() % (kp.k + 3));
    if (!input.empty() && iter % 2 == 0) input[0] &= 0x3f;  // mostly below the modulus
    Bytes out(kMaxRsaModulusLen);
    std::size_t len = 0;
    const int a = rsa_public_decrypt(out.data(), len, input.data(), input.size(), kp.pub);
    const int b = rsa_private_decrypt(out.data(), len, input.data(), input.size(), kp.priv);
    for (int rc : {a, b}) ASSERT_TRUE(rc == 0 || rc == kErrData || rc == kErrLength) << rc;
  }
}

}  // namespace
}  // namespace telvarim::test
