#include "crypto/md5.h"

#include <cstring>

#include "crypto/wipe.h"

namespace telvarim {
namespace {

inline std::uint32_t rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline std::uint32_t load_le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void store_le32(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

// The four round functions, written so that each step has a short dependency chain on b.
#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
#define MD5_STEP(f, a, b, c, d, x, t, s) \
  (a) += f((b), (c), (d)) + (x) + (t);   \
  (a) = rotl((a), (s)) + (b)

void md5_blocks(std::uint32_t state[4], const unsigned char* p, std::size_t blocks) noexcept {
  std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  while (blocks-- > 0) {
    const std::uint32_t x0 = load_le32(p), x1 = load_le32(p + 4), x2 = load_le32(p + 8), x3 = load_le32(p + 12),
                        x4 = load_le32(p + 16), x5 = load_le32(p + 20), x6 = load_le32(p + 24), x7 = load_le32(p + 28),
                        x8 = load_le32(p + 32), x9 = load_le32(p + 36), x10 = load_le32(p + 40),
                        x11 = load_le32(p + 44), x12 = load_le32(p + 48), x13 = load_le32(p + 52),
                        x14 = load_le32(p + 56), x15 = load_le32(p + 60);
    const std::uint32_t aa = a, bb = b, cc = c, dd = d;

    MD5_STEP(MD5_F, a, b, c, d, x0, 0xd76aa478u, 7);
    MD5_STEP(MD5_F, d, a, b, c, x1, 0xe8c7b756u, 12);
    MD5_STEP(MD5_F, c, d, a, b, x2, 0x242070dbu, 17);
    MD5_STEP(MD5_F, b, c, d, a, x3, 0xc1bdceeeu, 22);
    MD5_STEP(MD5_F, a, b, c, d, x4, 0xf57c0fafu, 7);
    MD5_STEP(MD5_F, d, a, b, c, x5, 0x4787c62au, 12);
    MD5_STEP(MD5_F, c, d, a, b, x6, 0xa8304613u, 17);
    MD5_STEP(MD5_F, b, c, d, a, x7, 0xfd469501u, 22);
    MD5_STEP(MD5_F, a, b, c, d, x8, 0x698098d8u, 7);
    MD5_STEP(MD5_F, d, a, b, c, x9, 0x8b44f7afu, 12);
    MD5_STEP(MD5_F, c, d, a, b, x10, 0xffff5bb1u, 17);
    MD5_STEP(MD5_F, b, c, d, a, x11, 0x895cd7beu, 22);
    MD5_STEP(MD5_F, a, b, c, d, x12, 0x6b901122u, 7);
    MD5_STEP(MD5_F, d, a, b, c, x13, 0xfd987193u, 12);
    MD5_STEP(MD5_F, c, d, a, b, x14, 0xa679438eu, 17);
    MD5_STEP(MD5_F, b, c, d, a, x15, 0x49b40821u, 22);

    MD5_STEP(MD5_G, a, b, c, d, x1, 0xf61e2562u, 5);
    MD5_STEP(MD5_G, d, a, b, c, x6, 0xc040b340u, 9);
    MD5_STEP(MD5_G, c, d, a, b, x11, 0x265e5a51u, 14);
    MD5_STEP(MD5_G, b, c, d, a, x0, 0xe9b6c7aau, 20);
    MD5_STEP(MD5_G, a, b, c, d, x5, 0xd62f105du, 5);
    MD5_STEP(MD5_G, d, a, b, c, x10, 0x02441453u, 9);
    MD5_STEP(MD5_G, c, d, a, b, x15, 0xd8a1e681u, 14);
    MD5_STEP(MD5_G, b, c, d, a, x4, 0xe7d3fbc8u, 20);
    MD5_STEP(MD5_G, a, b, c, d, x9, 0x21e1cde6u, 5);
    MD5_STEP(MD5_G, d, a, b, c, x14, 0xc33707d6u, 9);
    MD5_STEP(MD5_G, c, d, a, b, x3, 0xf4d50d87u, 14);
    MD5_STEP(MD5_G, b, c, d, a, x8, 0x455a14edu, 20);
    MD5_STEP(MD5_G, a, b, c, d, x13, 0xa9e3e905u, 5);
    MD5_STEP(MD5_G, d, a, b, c, x2, 0xfcefa3f8u, 9);
    MD5_STEP(MD5_G, c, d, a, b, x7, 0x676f02d9u, 14);
    MD5_STEP(MD5_G, b, c, d, a, x12, 0x8d2a4c8au, 20);

    MD5_STEP(MD5_H, a, b, c, d, x5, 0xfffa3942u, 4);
    MD5_STEP(MD5_H, d, a, b, c, x8, 0x8771f681u, 11);
    MD5_STEP(MD5_H, c, d, a, b, x11, 0x6d9d6122u, 16);
    MD5_STEP(MD5_H, b, c, d, a, x14, 0xfde5380cu, 23);
    MD5_STEP(MD5_H, a, b, c, d, x1, 0xa4beea44u, 4);
    MD5_STEP(MD5_H, d, a, b, c, x4, 0x4bdecfa9u, 11);
    MD5_STEP(MD5_H, c, d, a, b, x7, 0xf6bb4b60u, 16);
    MD5_STEP(MD5_H, b, c, d, a, x10, 0xbebfbc70u, 23);
    MD5_STEP(MD5_H, a, b, c, d, x13, 0x289b7ec6u, 4);
    MD5_STEP(MD5_H, d, a, b, c, x0, 0xeaa127fau, 11);
    MD5_STEP(MD5_H, c, d, a, b, x3, 0xd4ef3085u, 16);
    MD5_STEP(MD5_H, b, c, d, a, x6, 0x04881d05u, 23);
    MD5_STEP(MD5_H, a, b, c, d, x9, 0xd9d4d039u, 4);
    MD5_STEP(MD5_H, d, a, b, c, x12, 0xe6db99e5u, 11);
    MD5_STEP(MD5_H, c, d, a, b, x15, 0x1fa27cf8u, 16);
    MD5_STEP(MD5_H, b, c, d, a, x2, 0xc4ac5665u, 23);

    MD5_STEP(MD5_I, a, b, c, d, x0, 0xf4292244u, 6);
    MD5_STEP(MD5_I, d, a, b, c, x7, 0x432aff97u, 10);
    MD5_STEP(MD5_I, c, d, a, b, x14, 0xab9423a7u, 15);
    MD5_STEP(MD5_I, b, c, d, a, x5, 0xfc93a039u, 21);
    MD5_STEP(MD5_I, a, b, c, d, x12, 0x655b59c3u, 6);
    MD5_STEP(MD5_I, d, a, b, c, x3, 0x8f0ccc92u, 10);
    MD5_STEP(MD5_I, c, d, a, b, x10, 0xffeff47du, 15);
    MD5_STEP(MD5_I, b, c, d, a, x1, 0x85845dd1u, 21);
    MD5_STEP(MD5_I, a, b, c, d, x8, 0x6fa87e4fu, 6);
    MD5_STEP(MD5_I, d, a, b, c, x15, 0xfe2ce6e0u, 10);
    MD5_STEP(MD5_I, c, d, a, b, x6, 0xa3014314u, 15);
    MD5_STEP(MD5_I, b, c, d, a, x13, 0x4e0811a1u, 21);
    MD5_STEP(MD5_I, a, b, c, d, x4, 0xf7537e82u, 6);
    MD5_STEP(MD5_I, d, a, b, c, x11, 0xbd3af235u, 10);
    MD5_STEP(MD5_I, c, d, a, b, x2, 0x2ad7d2bbu, 15);
    MD5_STEP(MD5_I, b, c, d, a, x9, 0xeb86d391u, 21);

    a += aa;
    b += bb;
    c += cc;
    d += dd;
    p += 64;
  }
  state[0] = a;
  state[1] = b;
  state[2] = c;
  state[3] = d;
  // The message words live in registers or on this frame only; the compiler keeps no other copy to wipe.
}

#undef MD5_STEP
#undef MD5_I
#undef MD5_H
#undef MD5_G
#undef MD5_F

}  // namespace

void md5_init(Md5Context& ctx) noexcept {
  ctx.state[0] = 0x67452301u;
  ctx.state[1] = 0xefcdab89u;
  ctx.state[2] = 0x98badcfeu;
  ctx.state[3] = 0x10325476u;
  ctx.count = 0;
  std::memset(ctx.buffer, 0, sizeof ctx.buffer);
}

void md5_update(Md5Context& ctx, const unsigned char* data, std::size_t len) noexcept {
  if (len == 0) return;
  std::size_t used = static_cast<std::size_t>(ctx.count % 64);
  ctx.count += len;
  if (used > 0) {
    const std::size_t room = 64 - used;
    if (len < room) {
      std::memcpy(ctx.buffer + used, data, len);
      return;
    }
    std::memcpy(ctx.buffer + used, data, room);
    md5_blocks(ctx.state, ctx.buffer, 1);
    data += room;
    len -= room;
  }
  if (len >= 64) {
    md5_blocks(ctx.state, data, len / 64);
    data += len / 64 * 64;
    len %= 64;
  }
  if (len > 0) std::memcpy(ctx.buffer, data, len);
}

void md5_final(Md5Context& ctx, unsigned char digest[16]) noexcept {
  const std::uint64_t bits = ctx.count * 8;
  unsigned char tail[72] = {0x80};
  const std::size_t used = static_cast<std::size_t>(ctx.count % 64);
  const std::size_t pad = used < 56 ? 56 - used : 120 - used;
  for (int i = 0; i < 8; ++i) tail[pad + static_cast<std::size_t>(i)] = static_cast<unsigned char>(bits >> (8 * i));
  md5_update(ctx, tail, pad + 8);
  for (int i = 0; i < 4; ++i) store_le32(digest + 4 * i, ctx.state[i]);
  secure_zero(&ctx, sizeof ctx);
}

void md5(const unsigned char* data, std::size_t len, unsigned char digest[16]) noexcept {
  Md5Context ctx;
  md5_init(ctx);
  md5_update(ctx, data, len);
  md5_final(ctx, digest);
}

}  // namespace telvarim
