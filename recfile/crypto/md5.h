// MD5 message digest (RFC 1321).
#pragma once

#include <cstddef>
#include <cstdint>

namespace telvarim {

struct Md5Context {
  std::uint32_t state[4];
  std::uint64_t count;       // bytes hashed so far
  unsigned char buffer[64];  // the incomplete block (count % 64 bytes of it are in use)
};

void md5_init(Md5Context& ctx) noexcept;
void md5_update(Md5Context& ctx, const unsigned char* data, std::size_t len) noexcept;
// Writes the 16-byte digest and zeros the context.
void md5_final(Md5Context& ctx, unsigned char digest[16]) noexcept;

// One-shot digest of a buffer.
void md5(const unsigned char* data, std::size_t len, unsigned char digest[16]) noexcept;

}  // namespace telvarim
