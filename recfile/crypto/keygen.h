// RSA key pair generation with this library's own arithmetic.
#pragma once

#include <cstddef>
#include <functional>

#include "crypto/keys.h"

namespace telvarim {

// Fills a buffer with random bytes; 0 on success, or an error code that key generation passes on.
// os_random_bytes fits, and so does a lambda over random_generate.
using RandomSource = std::function<int(unsigned char*, std::size_t)>;

inline constexpr unsigned kRsaDefaultBits = 512;
inline constexpr unsigned kRsaMinBits = 256;

// A key pair with public exponent 65537 and a modulus of exactly `bits` bits (256 to 1024, else
// kErrModulusLength): primes p > q of (bits + 1) / 2 and bits / 2 bits with their top two bits set, each
// passing trial division and 40 Miller-Rabin rounds with random bases (error below 2^-80), and
// gcd(e, p - 1) = gcd(e, q - 1) = 1. Every field of both records is filled; coefficient = q^-1 mod p.
int rsa_generate_keypair(unsigned bits, const RandomSource& random, RsaPublicKey& public_key,
                         RsaPrivateKey& private_key);

}  // namespace telvarim
