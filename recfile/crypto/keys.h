// RSA key records and their files.
//
// A record is stored in memory exactly as in its file: `bits` first (little-endian in files), then every
// number big-endian and right-aligned in its fixed field. A public key file is 258 bytes, a private key file
// 706 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace telvarim {

inline constexpr unsigned kMaxRsaModulusBits = 1024;
inline constexpr std::size_t kMaxRsaModulusLen = 128;  // bytes
inline constexpr std::size_t kMaxRsaPrimeLen = 64;     // bytes

struct RsaPublicKey {
  std::uint16_t bits;                         // modulus length in bits
  unsigned char modulus[kMaxRsaModulusLen];   // n
  unsigned char exponent[kMaxRsaModulusLen];  // e
};

struct RsaPrivateKey {
  std::uint16_t bits;
  unsigned char modulus[kMaxRsaModulusLen];           // n
  unsigned char public_exponent[kMaxRsaModulusLen];   // e
  unsigned char private_exponent[kMaxRsaModulusLen];  // d (kept; the private operation uses the primes)
  unsigned char prime1[kMaxRsaPrimeLen];              // p
  unsigned char prime2[kMaxRsaPrimeLen];              // q
  unsigned char prime_exponent1[kMaxRsaPrimeLen];     // d mod (p - 1)
  unsigned char prime_exponent2[kMaxRsaPrimeLen];     // d mod (q - 1)
  unsigned char coefficient[kMaxRsaPrimeLen];         // q^-1 mod p
};

inline constexpr std::size_t kRsaPublicKeyRecordSize = 258;
inline constexpr std::size_t kRsaPrivateKeyRecordSize = 706;
static_assert(sizeof(RsaPublicKey) == kRsaPublicKeyRecordSize, "RsaPublicKey must keep its record layout");
static_assert(sizeof(RsaPrivateKey) == kRsaPrivateKeyRecordSize, "RsaPrivateKey must keep its record layout");
static_assert(offsetof(RsaPublicKey, modulus) == 2 && offsetof(RsaPublicKey, exponent) == 130);
static_assert(offsetof(RsaPrivateKey, prime1) == 386 && offsetof(RsaPrivateKey, coefficient) == 642);

// The modulus length in bytes, (bits + 7) / 8.
constexpr std::size_t rsa_modulus_len(std::uint16_t bits) { return (static_cast<std::size_t>(bits) + 7) / 8; }

// The public half of a private key.
RsaPublicKey rsa_public_part(const RsaPrivateKey& key) noexcept;

// Record bytes, with `bits` little-endian whatever the host's byte order.
void rsa_public_key_to_bytes(const RsaPublicKey& key, unsigned char out[kRsaPublicKeyRecordSize]) noexcept;
void rsa_private_key_to_bytes(const RsaPrivateKey& key, unsigned char out[kRsaPrivateKeyRecordSize]) noexcept;
// false unless len is exactly the record size.
bool rsa_public_key_from_bytes(const unsigned char* bytes, std::size_t len, RsaPublicKey& key) noexcept;
bool rsa_private_key_from_bytes(const unsigned char* bytes, std::size_t len, RsaPrivateKey& key) noexcept;

// Key files. On failure they return false and, when `error` is given, say why in English.
bool rsa_load_public_key(const std::filesystem::path& file, RsaPublicKey& key, std::string* error = nullptr);
bool rsa_load_private_key(const std::filesystem::path& file, RsaPrivateKey& key, std::string* error = nullptr);
// Accepts a public key file or a private key file (whose public half is taken).
bool rsa_load_public_or_private_key(const std::filesystem::path& file, RsaPublicKey& key, std::string* error = nullptr);
bool rsa_save_public_key(const std::filesystem::path& file, const RsaPublicKey& key, std::string* error = nullptr);
// A private key's file is made readable by its owner only (0600 on POSIX) before any byte of the key is in it.
bool rsa_save_private_key(const std::filesystem::path& file, const RsaPrivateKey& key, std::string* error = nullptr);

}  // namespace telvarim
