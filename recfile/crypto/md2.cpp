#include "crypto/md2.h"

#include <cstring>

#include "crypto/wipe.h"

namespace telvarim {
namespace {

// The byte permutation of RFC 1319, built from the digits of pi.
constexpr unsigned char kPiSubst[256] = {
    41,  46,  67,  201, 162, 216, 124, 1,   61,  54,  84,  161, 236, 240, 6,   19,  98,  167, 5,   243, 192, 199,
    115, 140, 152, 147, 43,  217, 188, 76,  130, 202, 30,  155, 87,  60,  253, 212, 224, 22,  103, 66,  111, 24,
    138, 23,  229, 18,  190, 78,  196, 214, 218, 158, 222, 73,  160, 251, 245, 142, 187, 47,  238, 122, 169, 104,
    121, 145, 21,  178, 7,   63,  148, 194, 16,  137, 11,  34,  95,  33,  128, 127, 93,  154, 90,  144, 50,  39,
    53,  62,  204, 231, 191, 247, 151, 3,   255, 25,  48,  179, 72,  165, 181, 209, 215, 94,  146, 42,  172, 86,
    170, 198, 79,  184, 56,  210, 150, 164, 125, 182, 118, 252, 107, 226, 156, 116, 4,   241, 69,  157, 112, 89,
    100, 113, 135, 32,  134, 91,  207, 101, 230, 45,  168, 2,   27,  96,  37,  173, 174, 176, 185, 246, 28,  70,
    97,  105, 52,  64,  126, 15,  85,  71,  163, 35,  221, 81,  175, 58,  195, 92,  249, 206, 186, 197, 234, 38,
    44,  83,  13,  110, 133, 40,  132, 9,   211, 223, 205, 244, 65,  129, 77,  82,  106, 220, 55,  200, 108, 193,
    171, 250, 36,  225, 123, 8,   12,  189, 177, 74,  120, 136, 149, 139, 227, 99,  232, 109, 233, 203, 213, 254,
    59,  0,   29,  57,  242, 239, 183, 14,  102, 88,  208, 228, 166, 119, 114, 248, 235, 117, 75,  10,  49,  68,
    80,  180, 143, 237, 31,  26,  219, 153, 141, 51,  159, 17,  131, 20};

constexpr bool is_permutation() {
  bool seen[256] = {};
  for (unsigned char v : kPiSubst) {
    if (seen[v]) return false;
    seen[v] = true;
  }
  return true;
}
static_assert(is_permutation(), "the MD2 substitution must be a permutation of 0..255");

void md2_block(Md2Context& ctx, const unsigned char* block) noexcept {
  unsigned char x[48];
  for (int j = 0; j < 16; ++j) {
    x[j] = ctx.state[j];
    x[16 + j] = block[j];
    x[32 + j] = static_cast<unsigned char>(ctx.state[j] ^ block[j]);
  }
  unsigned t = 0;
  for (unsigned round = 0; round < 18; ++round) {
    for (int k = 0; k < 48; ++k) t = x[k] ^= kPiSubst[t];
    t = (t + round) & 0xffu;
  }
  std::memcpy(ctx.state, x, 16);

  // The reference code (and the published digests) xor into the checksum rather than assign to it.
  unsigned char l = ctx.checksum[15];
  for (int j = 0; j < 16; ++j) l = ctx.checksum[j] ^= kPiSubst[block[j] ^ l];
  secure_zero(x, sizeof x);
}

}  // namespace

void md2_init(Md2Context& ctx) noexcept { std::memset(&ctx, 0, sizeof ctx); }

void md2_update(Md2Context& ctx, const unsigned char* data, std::size_t len) noexcept {
  while (len > 0) {
    const std::size_t take = len < 16 - ctx.used ? len : 16 - ctx.used;
    std::memcpy(ctx.buffer + ctx.used, data, take);
    ctx.used += take;
    data += take;
    len -= take;
    if (ctx.used == 16) {
      md2_block(ctx, ctx.buffer);
      ctx.used = 0;
    }
  }
}

void md2_final(Md2Context& ctx, unsigned char digest[16]) noexcept {
  unsigned char pad[16];
  const std::size_t n = 16 - ctx.used;  // 1 to 16 bytes, each of value n
  std::memset(pad, static_cast<int>(n), n);
  md2_update(ctx, pad, n);
  unsigned char checksum[16];
  std::memcpy(checksum, ctx.checksum, 16);
  md2_block(ctx, checksum);
  std::memcpy(digest, ctx.state, 16);
  secure_zero(checksum, sizeof checksum);
  secure_zero(&ctx, sizeof ctx);
}

void md2(const unsigned char* data, std::size_t len, unsigned char digest[16]) noexcept {
  Md2Context ctx;
  md2_init(ctx);
  md2_update(ctx, data, len);
  md2_final(ctx, digest);
}

}  // namespace telvarim
