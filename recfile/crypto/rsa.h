// RSA with PKCS #1 v1.5 block formatting, on the key records of keys.h.
//
// k below is the key's modulus length in bytes, (bits + 7) / 8; every output buffer holds at least k bytes.
// Each function returns 0 or a code of crypto/errors.h, and zeros every buffer and number it used before
// returning.
#pragma once

#include <cstddef>

#include "crypto/keys.h"
#include "crypto/random_pool.h"

namespace telvarim {

// Block type 2 under the public key, padding drawn from the pool (used to encrypt a content key).
// kErrLength when input_len + 11 > k; kErrNeedRandom from an unseeded pool.
int rsa_public_encrypt(unsigned char* output, std::size_t& output_len, const unsigned char* input,
                       std::size_t input_len, const RsaPublicKey& key, RandomPool& pool) noexcept;
// Inverse of rsa_public_encrypt: recovers the content key. kErrLength for an input longer than k, kErrData
// for an input not below the modulus or a block without the type 2 form.
int rsa_private_decrypt(unsigned char* output, std::size_t& output_len, const unsigned char* input,
                        std::size_t input_len, const RsaPrivateKey& key) noexcept;
// Block type 1 (FF padding) under the private key: signs a DigestInfo.
int rsa_private_encrypt(unsigned char* output, std::size_t& output_len, const unsigned char* input,
                        std::size_t input_len, const RsaPrivateKey& key) noexcept;
// Inverse of rsa_private_encrypt: opens a signature.
int rsa_public_decrypt(unsigned char* output, std::size_t& output_len, const unsigned char* input,
                       std::size_t input_len, const RsaPublicKey& key) noexcept;

// The bare operations under the block formats: input (at most k bytes, read as a big-endian number below
// the modulus) to exactly k output bytes. The private one uses the Chinese remainder form.
int rsa_public_operation(unsigned char* output, const unsigned char* input, std::size_t input_len,
                         const RsaPublicKey& key) noexcept;
int rsa_private_operation(unsigned char* output, const unsigned char* input, std::size_t input_len,
                          const RsaPrivateKey& key) noexcept;

}  // namespace telvarim
