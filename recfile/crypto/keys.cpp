#include "crypto/keys.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "crypto/wipe.h"
#include "safe_file.h"

namespace telvarim {
namespace {

void put_bits(unsigned char* out, std::uint16_t bits) {
  out[0] = static_cast<unsigned char>(bits & 0xffu);
  out[1] = static_cast<unsigned char>(bits >> 8);
}

std::uint16_t get_bits(const unsigned char* in) { return static_cast<std::uint16_t>(in[0] | (in[1] << 8)); }

void set_error(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

// Reads a whole key file of at most max_len bytes; the buffer is wiped by the caller.
bool read_key_file(const std::filesystem::path& file, std::vector<unsigned char>& bytes, std::size_t max_len,
                   std::string* error) {
  // Unbuffered, so that no stream buffer outside `bytes` ever holds a private key.
  std::ifstream in;
  in.rdbuf()->pubsetbuf(nullptr, 0);
  in.open(file, std::ios::binary);
  if (!in) {
    set_error(error, "cannot open " + file.string());
    return false;
  }
  bytes.assign(max_len + 1, 0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (in.bad()) {
    set_error(error, "cannot read " + file.string());
    return false;
  }
  return true;
}

// Written straight from `bytes` (no stream buffer ever holds a private key); a private key's file is
// readable by its owner only from the moment it exists, before the key is in it.
bool write_key_file(const std::filesystem::path& file, const unsigned char* bytes, std::size_t len, bool ownerOnly,
                    std::string* error) {
  const std::error_code ec = write_file(file, {reinterpret_cast<const char*>(bytes), len}, {.ownerOnly = ownerOnly});
  if (ec) {
    set_error(error, "cannot write " + file.string() + ": " + ec.message());
    return false;
  }
  return true;
}

std::string size_error(const std::filesystem::path& file, std::size_t len, const char* what) {
  return file.string() + " is not a " + what + " (" + std::to_string(len) + " bytes)";
}

}  // namespace

RsaPublicKey rsa_public_part(const RsaPrivateKey& key) noexcept {
  RsaPublicKey pub;
  pub.bits = key.bits;
  std::memcpy(pub.modulus, key.modulus, sizeof pub.modulus);
  std::memcpy(pub.exponent, key.public_exponent, sizeof pub.exponent);
  return pub;
}

void rsa_public_key_to_bytes(const RsaPublicKey& key, unsigned char out[kRsaPublicKeyRecordSize]) noexcept {
  put_bits(out, key.bits);
  std::memcpy(out + 2, key.modulus, sizeof key.modulus);
  std::memcpy(out + 130, key.exponent, sizeof key.exponent);
}

void rsa_private_key_to_bytes(const RsaPrivateKey& key, unsigned char out[kRsaPrivateKeyRecordSize]) noexcept {
  put_bits(out, key.bits);
  // Every field after bits is a byte array, so the rest of the record is the same on any host.
  std::memcpy(out + 2, reinterpret_cast<const unsigned char*>(&key) + 2, kRsaPrivateKeyRecordSize - 2);
}

bool rsa_public_key_from_bytes(const unsigned char* bytes, std::size_t len, RsaPublicKey& key) noexcept {
  if (len != kRsaPublicKeyRecordSize) return false;
  key.bits = get_bits(bytes);
  std::memcpy(key.modulus, bytes + 2, sizeof key.modulus);
  std::memcpy(key.exponent, bytes + 130, sizeof key.exponent);
  return true;
}

bool rsa_private_key_from_bytes(const unsigned char* bytes, std::size_t len, RsaPrivateKey& key) noexcept {
  if (len != kRsaPrivateKeyRecordSize) return false;
  key.bits = get_bits(bytes);
  std::memcpy(reinterpret_cast<unsigned char*>(&key) + 2, bytes + 2, kRsaPrivateKeyRecordSize - 2);
  return true;
}

bool rsa_load_public_key(const std::filesystem::path& file, RsaPublicKey& key, std::string* error) {
  std::vector<unsigned char> bytes;
  if (!read_key_file(file, bytes, kRsaPublicKeyRecordSize, error)) return false;
  const bool ok = rsa_public_key_from_bytes(bytes.data(), bytes.size(), key);
  if (!ok) set_error(error, size_error(file, bytes.size(), "258-byte public key record"));
  return ok;
}

bool rsa_load_private_key(const std::filesystem::path& file, RsaPrivateKey& key, std::string* error) {
  std::vector<unsigned char> bytes;
  if (!read_key_file(file, bytes, kRsaPrivateKeyRecordSize, error)) return false;
  const bool ok = rsa_private_key_from_bytes(bytes.data(), bytes.size(), key);
  secure_zero(bytes.data(), bytes.size());
  if (!ok) set_error(error, size_error(file, bytes.size(), "706-byte private key record"));
  return ok;
}

bool rsa_load_public_or_private_key(const std::filesystem::path& file, RsaPublicKey& key, std::string* error) {
  std::vector<unsigned char> bytes;
  if (!read_key_file(file, bytes, kRsaPrivateKeyRecordSize, error)) return false;
  bool ok = false;
  if (bytes.size() == kRsaPublicKeyRecordSize) {
    ok = rsa_public_key_from_bytes(bytes.data(), bytes.size(), key);
  } else if (bytes.size() == kRsaPrivateKeyRecordSize) {
    RsaPrivateKey priv;
    ok = rsa_private_key_from_bytes(bytes.data(), bytes.size(), priv);
    key = rsa_public_part(priv);
    secure_zero(&priv, sizeof priv);
  }
  secure_zero(bytes.data(), bytes.size());
  if (!ok) set_error(error, size_error(file, bytes.size(), "258-byte public or 706-byte private key record"));
  return ok;
}

bool rsa_save_public_key(const std::filesystem::path& file, const RsaPublicKey& key, std::string* error) {
  unsigned char bytes[kRsaPublicKeyRecordSize];
  rsa_public_key_to_bytes(key, bytes);
  return write_key_file(file, bytes, sizeof bytes, false, error);
}

bool rsa_save_private_key(const std::filesystem::path& file, const RsaPrivateKey& key, std::string* error) {
  unsigned char bytes[kRsaPrivateKeyRecordSize];
  rsa_private_key_to_bytes(key, bytes);
  const bool ok = write_key_file(file, bytes, sizeof bytes, true, error);
  secure_zero(bytes, sizeof bytes);
  return ok;
}

}  // namespace telvarim
