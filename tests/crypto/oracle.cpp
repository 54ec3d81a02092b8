#include "oracle.h"

#if TELVARIM_ORACULO_OPENSSL
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/param_build.h>
#include <openssl/provider.h>
#include <openssl/rsa.h>
#endif

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace telvarim::test {

Bytes from_hex(std::string_view hex) {
  Bytes out;
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  int high = -1;
  for (char c : hex) {
    const int v = nibble(c);
    if (v < 0) continue;  // spaces between groups
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<unsigned char>(high * 16 + v));
      high = -1;
    }
  }
  return out;
}

std::string to_hex(const unsigned char* p, std::size_t n) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (std::size_t i = 0; i < n; ++i) {
    s += digits[p[i] >> 4];
    s += digits[p[i] & 15];
  }
  return s;
}

Bytes random_bytes(std::mt19937_64& rng, std::size_t n) {
  Bytes b(n);
  for (auto& x : b) x = static_cast<unsigned char>(rng());
  return b;
}

RandomPool seeded_pool(std::uint64_t seed) {
  RandomPool pool;
  random_init(pool);
  std::mt19937_64 rng(seed);
  while (random_bytes_needed(pool) > 0) {
    const Bytes block = random_bytes(rng, 8);
    random_update(pool, block.data(), block.size());
  }
  return pool;
}

#if TELVARIM_ORACULO_OPENSSL

void load_openssl_providers() {
  // Unloaded at exit (before OpenSSL's own clean-up, which was registered earlier), so the leak checker
  // sees nothing left behind.
  struct Providers {
    OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(nullptr, "legacy");
    OSSL_PROVIDER* standard = OSSL_PROVIDER_load(nullptr, "default");
    ~Providers() {
      if (legacy) OSSL_PROVIDER_unload(legacy);
      if (standard) OSSL_PROVIDER_unload(standard);
    }
  };
  static const Providers providers;
  if (!providers.legacy || !providers.standard)
    throw std::runtime_error("cannot load the OpenSSL legacy and default providers");
}

namespace {

struct BnFree {
  void operator()(BIGNUM* b) const { BN_clear_free(b); }
};
using Bn = std::unique_ptr<BIGNUM, BnFree>;

Bn bn(const unsigned char* p, std::size_t n) { return Bn(BN_bin2bn(p, static_cast<int>(n), nullptr)); }

void field_from(EVP_PKEY* key, const char* name, unsigned char* field, std::size_t len) {
  BIGNUM* v = nullptr;
  if (!EVP_PKEY_get_bn_param(key, name, &v)) throw std::runtime_error(std::string("no RSA field ") + name);
  BN_bn2binpad(v, field, static_cast<int>(len));
  BN_clear_free(v);
}

Pkey from_params(OSSL_PARAM_BLD* bld, int selection) {
  OSSL_PARAM* params = OSSL_PARAM_BLD_to_param(bld);
  EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr);
  EVP_PKEY* pkey = nullptr;
  const bool ok = ctx && EVP_PKEY_fromdata_init(ctx) > 0 && EVP_PKEY_fromdata(ctx, &pkey, selection, params) > 0;
  EVP_PKEY_CTX_free(ctx);
  OSSL_PARAM_free(params);
  OSSL_PARAM_BLD_free(bld);
  if (!ok) throw std::runtime_error("EVP_PKEY_fromdata failed");
  return Pkey(pkey);
}

template <class Setup>
Bytes pkey_op(EVP_PKEY* key, const Bytes& in, int padding, Setup setup, bool encrypt) {
  EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr);
  Bytes out;
  std::size_t len = 0;
  bool ok = ctx && setup(ctx) > 0 && EVP_PKEY_CTX_set_rsa_padding(ctx, padding) > 0;
  auto run = [&](unsigned char* o, std::size_t* l) {
    return encrypt ? EVP_PKEY_encrypt(ctx, o, l, in.data(), in.size())
                   : EVP_PKEY_decrypt(ctx, o, l, in.data(), in.size());
  };
  ok = ok && run(nullptr, &len) > 0;
  if (ok) {
    out.resize(len);
    ok = run(out.data(), &len) > 0;
    out.resize(ok ? len : 0);
  }
  EVP_PKEY_CTX_free(ctx);
  return out;
}

}  // namespace

Pkey openssl_generate_rsa(unsigned bits, RsaPrivateKey& ours) {
  Pkey key(EVP_RSA_gen(bits));
  if (!key) throw std::runtime_error("EVP_RSA_gen failed");
  std::memset(&ours, 0, sizeof ours);
  ours.bits = static_cast<std::uint16_t>(bits);
  field_from(key.get(), OSSL_PKEY_PARAM_RSA_N, ours.modulus, sizeof ours.modulus);
  field_from(key.get(), OSSL_PKEY_PARAM_RSA_E, ours.public_exponent, sizeof ours.public_exponent);
  field_from(key.get(), OSSL_PKEY_PARAM_RSA_D, ours.private_exponent, sizeof ours.private_exponent);
  field_from(key.get(), OSSL_PKEY_PARAM_RSA_FACTOR1, ours.prime1, sizeof ours.prime1);
  field_from(key.get(), OSSL_PKEY_PARAM_RSA_FACTOR2, ours.prime2, sizeof ours.prime2);
  field_from(key.get(), OSSL_PKEY_PARAM_RSA_EXPONENT1, ours.prime_exponent1, sizeof ours.prime_exponent1);
  field_from(key.get(), OSSL_PKEY_PARAM_RSA_EXPONENT2, ours.prime_exponent2, sizeof ours.prime_exponent2);
  field_from(key.get(), OSSL_PKEY_PARAM_RSA_COEFFICIENT1, ours.coefficient, sizeof ours.coefficient);
  return key;
}

Pkey openssl_key_from(const RsaPrivateKey& k) {
  OSSL_PARAM_BLD* bld = OSSL_PARAM_BLD_new();
  const Bn n = bn(k.modulus, sizeof k.modulus), e = bn(k.public_exponent, sizeof k.public_exponent),
           d = bn(k.private_exponent, sizeof k.private_exponent), p = bn(k.prime1, sizeof k.prime1),
           q = bn(k.prime2, sizeof k.prime2), dp = bn(k.prime_exponent1, sizeof k.prime_exponent1),
           dq = bn(k.prime_exponent2, sizeof k.prime_exponent2), qinv = bn(k.coefficient, sizeof k.coefficient);
  OSSL_PARAM_BLD_push_BN(bld, OSSL_PKEY_PARAM_RSA_N, n.get());
  OSSL_PARAM_BLD_push_BN(bld, OSSL_PKEY_PARAM_RSA_E, e.get());
  OSSL_PARAM_BLD_push_BN(bld, OSSL_PKEY_PARAM_RSA_D, d.get());
  OSSL_PARAM_BLD_push_BN(bld, OSSL_PKEY_PARAM_RSA_FACTOR1, p.get());
  OSSL_PARAM_BLD_push_BN(bld, OSSL_PKEY_PARAM_RSA_FACTOR2, q.get());
  OSSL_PARAM_BLD_push_BN(bld, OSSL_PKEY_PARAM_RSA_EXPONENT1, dp.get());
  OSSL_PARAM_BLD_push_BN(bld, OSSL_PKEY_PARAM_RSA_EXPONENT2, dq.get());
  OSSL_PARAM_BLD_push_BN(bld, OSSL_PKEY_PARAM_RSA_COEFFICIENT1, qinv.get());
  return from_params(bld, EVP_PKEY_KEYPAIR);
}

Pkey openssl_key_from(const RsaPublicKey& k) {
  OSSL_PARAM_BLD* bld = OSSL_PARAM_BLD_new();
  const Bn n = bn(k.modulus, sizeof k.modulus), e = bn(k.exponent, sizeof k.exponent);
  OSSL_PARAM_BLD_push_BN(bld, OSSL_PKEY_PARAM_RSA_N, n.get());
  OSSL_PARAM_BLD_push_BN(bld, OSSL_PKEY_PARAM_RSA_E, e.get());
  return from_params(bld, EVP_PKEY_PUBLIC_KEY);
}

Bytes openssl_sign_md5(EVP_PKEY* key, const Bytes& message) {
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  Bytes sig(static_cast<std::size_t>(EVP_PKEY_get_size(key)));
  std::size_t len = sig.size();
  const bool ok = EVP_DigestSignInit(ctx, nullptr, EVP_md5(), nullptr, key) > 0 &&
                  EVP_DigestSign(ctx, sig.data(), &len, message.data(), message.size()) > 0;
  EVP_MD_CTX_free(ctx);
  if (!ok) throw std::runtime_error("EVP_DigestSign failed");
  sig.resize(len);
  return sig;
}

Bytes openssl_encrypt(EVP_PKEY* key, const Bytes& in, int padding) {
  return pkey_op(key, in, padding, EVP_PKEY_encrypt_init, true);
}

Bytes openssl_decrypt(EVP_PKEY* key, const Bytes& in, int padding) {
  return pkey_op(key, in, padding, EVP_PKEY_decrypt_init, false);
}

Bytes openssl_cbc(const char* cipher_name, const Bytes& key, const Bytes& iv, const Bytes& in, bool encrypt) {
  load_openssl_providers();
  EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, cipher_name, nullptr);
  if (!cipher) throw std::runtime_error(std::string("OpenSSL has no ") + cipher_name);
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  Bytes out(in.size() + 16);
  int len = 0, tail = 0;
  const bool ok = EVP_CipherInit_ex2(ctx, cipher, key.data(), iv.data(), encrypt ? 1 : 0, nullptr) > 0 &&
                  EVP_CIPHER_CTX_set_padding(ctx, 0) > 0 &&
                  EVP_CipherUpdate(ctx, out.data(), &len, in.data(), static_cast<int>(in.size())) > 0 &&
                  EVP_CipherFinal_ex(ctx, out.data() + len, &tail) > 0;
  EVP_CIPHER_CTX_free(ctx);
  EVP_CIPHER_free(cipher);
  if (!ok) throw std::runtime_error(std::string("OpenSSL ") + cipher_name + " failed");
  out.resize(static_cast<std::size_t>(len + tail));
  return out;
}

Bytes openssl_md5(const Bytes& data) {
  Bytes out(16);
  unsigned len = 0;
  if (!EVP_Digest(data.data(), data.size(), out.data(), &len, EVP_md5(), nullptr)) throw std::runtime_error("MD5");
  return out;
}

#else

namespace {
// TELVARIM_PRECISA_ORACULO keeps every test from getting here; reaching it is a fault of the test.
[[noreturn]] void sem_oraculo() {
  ADD_FAILURE() << "the OpenSSL oracle was called in a build without it";
  std::abort();
}
}  // namespace

void load_openssl_providers() { sem_oraculo(); }
Pkey openssl_generate_rsa(unsigned, RsaPrivateKey&) { sem_oraculo(); }
Pkey openssl_key_from(const RsaPrivateKey&) { sem_oraculo(); }
Pkey openssl_key_from(const RsaPublicKey&) { sem_oraculo(); }
Bytes openssl_sign_md5(EVP_PKEY*, const Bytes&) { sem_oraculo(); }
Bytes openssl_encrypt(EVP_PKEY*, const Bytes&, int) { sem_oraculo(); }
Bytes openssl_decrypt(EVP_PKEY*, const Bytes&, int) { sem_oraculo(); }
Bytes openssl_cbc(const char*, const Bytes&, const Bytes&, const Bytes&, bool) { sem_oraculo(); }
Bytes openssl_md5(const Bytes&) { sem_oraculo(); }

#endif

}  // namespace telvarim::test
