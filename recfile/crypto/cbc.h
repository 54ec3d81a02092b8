// Cipher block chaining over DES and its variants, by the encryption algorithm number of sealed files.
// Whole 8-byte blocks only: padding belongs to the caller.
#pragma once

#include <cstddef>
#include <cstdint>

#include "crypto/des.h"

namespace telvarim {

inline constexpr int kCipherDesCbc = 1;      // 8-byte key
inline constexpr int kCipherDesEde2Cbc = 2;  // 24 bytes K1 K2 K3 with K3 = K1
inline constexpr int kCipherDesEde3Cbc = 3;  // 24 bytes K1 K2 K3
inline constexpr int kCipherDesxCbc = 4;     // 24 bytes: DES key, input whitener, output whitener

// Key material length of an algorithm (0 for an unknown number).
constexpr std::size_t cbc_key_length(int algorithm) {
  return algorithm == kCipherDesCbc ? 8 : (algorithm >= 2 && algorithm <= 4 ? 24 : 0);
}

struct CbcContext {
  int algorithm;
  CipherDirection direction;
  DesKeySchedule schedule[3];        // one for DES and DESX, three for triple DES (in the order applied)
  std::uint32_t iv[2];               // kept for cbc_restart
  std::uint32_t chain[2];            // the current chaining value
  std::uint32_t input_whitener[2];   // DESX only
  std::uint32_t output_whitener[2];  // DESX only
};

// Sets up the schedule(s) and the chaining value. `key` holds cbc_key_length(algorithm) bytes; DES parity
// bits are ignored. 0, or kErrEncryptionAlgorithm for a number other than 1 to 4.
int cbc_init(CbcContext& ctx, int algorithm, const unsigned char* key, const unsigned char iv[8],
             CipherDirection direction) noexcept;
// Encrypts or decrypts len bytes (a multiple of 8, else kErrLength), carrying the chaining value from call to
// call. `output` may be the same buffer as `input`.
int cbc_update(CbcContext& ctx, unsigned char* output, const unsigned char* input, std::size_t len) noexcept;
// Sets the chaining value back to the initialisation vector.
int cbc_restart(CbcContext& ctx) noexcept;

}  // namespace telvarim
