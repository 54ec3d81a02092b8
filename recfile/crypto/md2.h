// MD2 message digest (RFC 1319).
#pragma once

#include <cstddef>

namespace telvarim {

struct Md2Context {
  unsigned char state[16];
  unsigned char checksum[16];
  unsigned char buffer[16];
  std::size_t used;  // bytes of buffer in use (0 to 15)
};

void md2_init(Md2Context& ctx) noexcept;
void md2_update(Md2Context& ctx, const unsigned char* data, std::size_t len) noexcept;
// Writes the 16-byte digest and zeros the context.
void md2_final(Md2Context& ctx, unsigned char digest[16]) noexcept;

void md2(const unsigned char* data, std::size_t len, unsigned char digest[16]) noexcept;

}  // namespace telvarim
