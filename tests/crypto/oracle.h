// Test helpers: hex text, deterministic random bytes, and OpenSSL as the independent oracle.
#pragma once

#include <gtest/gtest.h>

#if TELVARIM_ORACULO_OPENSSL
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>
#else
// A target without OpenSSL (the Windows cross-build): the oracle's declarations stay so that the suites
// compile whole, its functions are never reached, and each test that needs it skips.
struct evp_pkey_st;
using EVP_PKEY = evp_pkey_st;
inline void EVP_PKEY_free(EVP_PKEY*) {}
#define RSA_PKCS1_PADDING 1
#define RSA_NO_PADDING 3
#endif

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/keys.h"
#include "crypto/random_pool.h"

// First statement of a test that compares with OpenSSL: skips it, with the reason, where OpenSSL is missing.
#define TELVARIM_PRECISA_ORACULO() \
  if (!TELVARIM_ORACULO_OPENSSL) GTEST_SKIP() << "needs OpenSSL, the independent oracle, not built for this target"

namespace telvarim::test {

using Bytes = std::vector<unsigned char>;

Bytes from_hex(std::string_view hex);
std::string to_hex(const unsigned char* p, std::size_t n);
inline std::string to_hex(const Bytes& b) { return to_hex(b.data(), b.size()); }
inline Bytes bytes_of(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes random_bytes(std::mt19937_64& rng, std::size_t n);

// A pool seeded with 32 blocks of 8 bytes derived from `seed`.
RandomPool seeded_pool(std::uint64_t seed);

// Loads the legacy provider (DES, DESX) beside the default one, once per process.
void load_openssl_providers();

struct PkeyFree {
  void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;

// A fresh OpenSSL RSA key (e = 65537) and the same key as our record.
Pkey openssl_generate_rsa(unsigned bits, RsaPrivateKey& ours);
// An OpenSSL key built from the fields of our record (the private one from every field).
Pkey openssl_key_from(const RsaPrivateKey& key);
Pkey openssl_key_from(const RsaPublicKey& key);

// PKCS #1 v1.5 signature of MD5(message).
Bytes openssl_sign_md5(EVP_PKEY* key, const Bytes& message);
// padding: RSA_PKCS1_PADDING or RSA_NO_PADDING. Empty result on failure.
Bytes openssl_encrypt(EVP_PKEY* key, const Bytes& in, int padding);
Bytes openssl_decrypt(EVP_PKEY* key, const Bytes& in, int padding);

// CBC without padding by cipher name ("DES-CBC", "DES-EDE-CBC", "DES-EDE3-CBC", "DESX-CBC").
Bytes openssl_cbc(const char* cipher, const Bytes& key, const Bytes& iv, const Bytes& in, bool encrypt);
Bytes openssl_md5(const Bytes& data);

}  // namespace telvarim::test
