#include "crypto/rsa.h"

#include <cstring>

#include "crypto/bignum.h"
#include "crypto/errors.h"
#include "crypto/wipe.h"

namespace telvarim {
namespace {

constexpr std::size_t kMinPadding = 8;  // PKCS #1 v1.5: at least eight padding bytes
constexpr std::size_t kOverhead = kMinPadding + 3;

BigNum field(const unsigned char* bytes, std::size_t len) { return BigNum::from_bytes(bytes, len); }

// Data of a decrypted block: after the two header bytes, skip padding bytes until the 00 separator, which must
// come before the last byte for type 2 (a block whose data would be empty is not a key) and may be the last
// byte for type 1.
int unpad(const unsigned char* block, std::size_t k, unsigned char type, unsigned char* output,
          std::size_t& output_len) {
  if (k < kOverhead || block[0] != 0x00 || block[1] != type) return kErrData;
  std::size_t i = 2;
  if (type == 0x01) {
    while (i < k - 1 && block[i] == 0xff) ++i;
    if (block[i] != 0x00) return kErrData;
  } else {
    while (i < k - 1 && block[i] != 0x00) ++i;
    if (block[i] != 0x00 || i == k - 1) return kErrData;
  }
  ++i;  // past the separator
  const std::size_t len = k - i;
  if (len + kOverhead > k) return kErrData;  // fewer than eight padding bytes
  if (len > 0) std::memcpy(output, block + i, len);
  output_len = len;
  return 0;
}

}  // namespace

int rsa_public_operation(unsigned char* output, const unsigned char* input, std::size_t input_len,
                         const RsaPublicKey& key) noexcept {
  if (key.bits > kMaxRsaModulusBits) return kErrModulusLength;
  const std::size_t k = rsa_modulus_len(key.bits);
  if (input_len > k) return kErrLength;
  const BigNum n = field(key.modulus, sizeof key.modulus);
  const BigNum e = field(key.exponent, sizeof key.exponent);
  const BigNum c = field(input, input_len);
  if (bn_compare(c, n) >= 0) return kErrData;
  const BigNum m = bn_mod_exp(c, e, n);
  // A modulus wider than its bits field could give a result that does not fit k bytes.
  return m.to_bytes(output, k) ? 0 : kErrLength;
}

int rsa_private_operation(unsigned char* output, const unsigned char* input, std::size_t input_len,
                          const RsaPrivateKey& key) noexcept {
  if (key.bits > kMaxRsaModulusBits) return kErrModulusLength;
  const std::size_t k = rsa_modulus_len(key.bits);
  if (input_len > k) return kErrLength;
  const BigNum n = field(key.modulus, sizeof key.modulus);
  const BigNum c = field(input, input_len);
  if (bn_compare(c, n) >= 0) return kErrData;
  const BigNum p = field(key.prime1, sizeof key.prime1);
  const BigNum q = field(key.prime2, sizeof key.prime2);
  if (p.is_zero() || q.is_zero()) return kErrData;  // a record without its primes
  const BigNum dp = field(key.prime_exponent1, sizeof key.prime_exponent1);
  const BigNum dq = field(key.prime_exponent2, sizeof key.prime_exponent2);
  const BigNum coefficient = bn_mod(field(key.coefficient, sizeof key.coefficient), p);

  const BigNum mp = bn_mod_exp(bn_mod(c, p), dp, p);
  const BigNum mq = bn_mod_exp(bn_mod(c, q), dq, q);
  // t = (mP - mQ) mod p. mQ is below q, which may exceed p, so reduce the difference before taking it from p.
  BigNum t;
  if (bn_compare(mp, mq) >= 0) {
    t = bn_sub(mp, mq);
  } else {
    const BigNum diff = bn_mod(bn_sub(mq, mp), p);
    t = diff.is_zero() ? diff : bn_sub(p, diff);
  }
  t = bn_mod_mul(t, coefficient, p);
  const BigNum m = bn_add(bn_mul(t, q), mq);
  return m.to_bytes(output, k) ? 0 : kErrLength;
}

int rsa_public_encrypt(unsigned char* output, std::size_t& output_len, const unsigned char* input,
                       std::size_t input_len, const RsaPublicKey& key, RandomPool& pool) noexcept {
  if (key.bits > kMaxRsaModulusBits) return kErrModulusLength;
  const std::size_t k = rsa_modulus_len(key.bits);
  if (input_len + kOverhead > k) return kErrLength;
  unsigned char block[kMaxRsaModulusLen];
  WipeOnExit<unsigned char[kMaxRsaModulusLen]> wipe(block);
  block[0] = 0x00;
  block[1] = 0x02;
  const std::size_t pad_end = k - input_len - 1;
  for (std::size_t i = 2; i < pad_end; ++i) {
    // Zero would end the padding early; draw again until the byte is non-zero.
    do {
      if (const int rc = random_generate(pool, &block[i], 1); rc != 0) return rc;
    } while (block[i] == 0x00);
  }
  block[pad_end] = 0x00;
  if (input_len > 0) std::memcpy(block + pad_end + 1, input, input_len);
  const int rc = rsa_public_operation(output, block, k, key);
  output_len = rc == 0 ? k : 0;
  return rc;
}

int rsa_private_encrypt(unsigned char* output, std::size_t& output_len, const unsigned char* input,
                        std::size_t input_len, const RsaPrivateKey& key) noexcept {
  if (key.bits > kMaxRsaModulusBits) return kErrModulusLength;
  const std::size_t k = rsa_modulus_len(key.bits);
  if (input_len + kOverhead > k) return kErrLength;
  unsigned char block[kMaxRsaModulusLen];
  WipeOnExit<unsigned char[kMaxRsaModulusLen]> wipe(block);
  const std::size_t pad_end = k - input_len - 1;
  block[0] = 0x00;
  block[1] = 0x01;
  std::memset(block + 2, 0xff, pad_end - 2);
  block[pad_end] = 0x00;
  if (input_len > 0) std::memcpy(block + pad_end + 1, input, input_len);
  const int rc = rsa_private_operation(output, block, k, key);
  output_len = rc == 0 ? k : 0;
  return rc;
}

int rsa_public_decrypt(unsigned char* output, std::size_t& output_len, const unsigned char* input,
                       std::size_t input_len, const RsaPublicKey& key) noexcept {
  output_len = 0;
  unsigned char block[kMaxRsaModulusLen];
  WipeOnExit<unsigned char[kMaxRsaModulusLen]> wipe(block);
  if (const int rc = rsa_public_operation(block, input, input_len, key); rc != 0) return rc;
  return unpad(block, rsa_modulus_len(key.bits), 0x01, output, output_len);
}

int rsa_private_decrypt(unsigned char* output, std::size_t& output_len, const unsigned char* input,
                        std::size_t input_len, const RsaPrivateKey& key) noexcept {
  output_len = 0;
  unsigned char block[kMaxRsaModulusLen];
  WipeOnExit<unsigned char[kMaxRsaModulusLen]> wipe(block);
  if (const int rc = rsa_private_operation(block, input, input_len, key); rc != 0) return rc;
  return unpad(block, rsa_modulus_len(key.bits), 0x02, output, output_len);
}

}  // namespace telvarim
