#include "crypto/des.h"

#include <array>

#include "crypto/wipe.h"

namespace telvarim {
namespace {

// The eight S-boxes, row by row (row = outer input bits, column = inner four bits).
constexpr unsigned char kSbox[8][64] = {
    {14, 4,  13, 1, 2,  15, 11, 8, 3, 10, 6, 12, 5,  9,  0,  7,  0,  15, 7,  4,  14, 2,
     13, 1,  10, 6, 12, 11, 9,  5, 3, 8,  4, 1,  14, 8,  13, 6,  2,  11, 15, 12, 9,  7,
     3,  10, 5,  0, 15, 12, 8,  2, 4, 9,  1, 7,  5,  11, 3,  14, 10, 0,  6,  13},
    {15, 1,  8, 14, 6,  11, 3,  4, 9, 7, 2,  13, 12, 0, 5, 10, 3,  13, 4,  7, 15, 2,  8, 14, 12, 0, 1, 10, 6, 9, 11, 5,
     0,  14, 7, 11, 10, 4,  13, 1, 5, 8, 12, 6,  9,  3, 2, 15, 13, 8,  10, 1, 3,  15, 4, 2,  11, 6, 7, 12, 0, 5, 14, 9},
    {10, 0,  9,  14, 6, 3,  15, 5,  1,  13, 12, 7, 11, 4,  2,  8,  13, 7, 0,  9, 3, 4,
     6,  10, 2,  8,  5, 14, 12, 11, 15, 1,  13, 6, 4,  9,  8,  15, 3,  0, 11, 1, 2, 12,
     5,  10, 14, 7,  1, 10, 13, 0,  6,  9,  8,  7, 4,  15, 14, 3,  11, 5, 2,  12},
    {7, 13, 14, 3, 0, 6,  9, 10, 1,  2, 8,  5, 11, 12, 4,  15, 13, 8,  11, 5, 6, 15,
     0, 3,  4,  7, 2, 12, 1, 10, 14, 9, 10, 6, 9,  0,  12, 11, 7,  13, 15, 1, 3, 14,
     5, 2,  8,  4, 3, 15, 0, 6,  10, 1, 13, 8, 9,  4,  5,  11, 12, 7,  2,  14},
    {2,  12, 4, 1,  7,  10, 11, 6, 8, 5,  3, 15, 13, 0,  14, 9,  14, 11, 2,  12, 4,  7,
     13, 1,  5, 0,  15, 10, 3,  9, 8, 6,  4, 2,  1,  11, 10, 13, 7,  8,  15, 9,  12, 5,
     6,  3,  0, 14, 11, 8,  12, 7, 1, 14, 2, 13, 6,  15, 0,  9,  10, 4,  5,  3},
    {12, 1,  10, 15, 9,  2,  6, 8,  0, 13, 3,  4,  14, 7,  5, 11, 10, 15, 4, 2, 7, 12,
     9,  5,  6,  1,  13, 14, 0, 11, 3, 8,  9,  14, 15, 5,  2, 8,  12, 3,  7, 0, 4, 10,
     1,  13, 11, 6,  4,  3,  2, 12, 9, 5,  15, 10, 11, 14, 1, 7,  6,  0,  8, 13},
    {4, 11, 2,  14, 15, 0, 8, 13, 3,  12, 9, 7, 5, 10, 6, 1, 13, 0,  11, 7, 4, 9, 1,  10, 14, 3, 5, 12, 2,  15, 8, 6,
     1, 4,  11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5,  9, 2, 6,  11, 13, 8, 1, 4, 10, 7,  9,  5, 0, 15, 14, 2,  3, 12},
    {13, 2, 8, 4, 6,  15, 11, 1, 10, 9,  3,  14, 5, 0, 12, 7, 1, 15, 13, 8, 10, 3, 7,  4,  12, 5, 6, 11, 0, 14, 9, 2, 7,
     11, 4, 1, 9, 12, 14, 2,  0, 6,  10, 13, 15, 3, 5, 8,  2, 1, 14, 7,  4, 10, 8, 13, 15, 12, 9, 0, 3,  5, 6,  11}};

// The permutation P: output bit j (1-based, most significant first) is input bit kP[j-1].
constexpr unsigned char kP[32] = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
                                  2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};

// Permuted choices of the key schedule and the per-round rotations.
constexpr unsigned char kPc1[56] = {57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18, 10, 2,  59, 51, 43,
                                    35, 27, 19, 11, 3,  60, 52, 44, 36, 63, 55, 47, 39, 31, 23, 15, 7,  62, 54,
                                    46, 38, 30, 22, 14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};
constexpr unsigned char kPc2[48] = {14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,
                                    26, 8,  16, 7,  27, 20, 13, 2,  41, 52, 31, 37, 47, 55, 30, 40,
                                    51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};
constexpr unsigned char kShifts[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

constexpr bool rows_are_permutations() {
  for (const auto& box : kSbox) {
    for (int row = 0; row < 4; ++row) {
      unsigned seen = 0;
      for (int col = 0; col < 16; ++col) seen |= 1u << box[row * 16 + col];
      if (seen != 0xffffu) return false;
    }
  }
  return true;
}
static_assert(rows_are_permutations(), "every S-box row must be a permutation of 0..15");

constexpr std::uint32_t rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }
constexpr std::uint32_t rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

// S-box i followed by P, for every 6-bit input; the result is rotated left by one bit because the rounds
// keep both halves rotated that way (it lets every S-box input be taken at a byte boundary).
using SpTables = std::array<std::array<std::uint32_t, 64>, 8>;
constexpr SpTables make_sp_tables() {
  SpTables sp{};
  for (int box = 0; box < 8; ++box) {
    for (unsigned v = 0; v < 64; ++v) {
      const unsigned row = ((v >> 4) & 2u) | (v & 1u);
      const unsigned col = (v >> 1) & 0xfu;
      const std::uint32_t s = static_cast<std::uint32_t>(kSbox[box][row * 16 + col]) << (28 - 4 * box);
      std::uint32_t out = 0;
      for (int j = 0; j < 32; ++j) {
        if ((s >> (32 - kP[j])) & 1u) out |= 1u << (31 - j);
      }
      sp[static_cast<std::size_t>(box)][v] = rotl(out, 1);
    }
  }
  return sp;
}
constexpr SpTables kSp = make_sp_tables();

// One swap-move step of the bit-sliced initial and final permutations.
inline void swap_move(std::uint32_t& a, std::uint32_t& b, int n, std::uint32_t mask) {
  const std::uint32_t t = ((a >> n) ^ b) & mask;
  b ^= t;
  a ^= t << n;
}

// Initial permutation, leaving both halves rotated left by one bit.
inline void initial_permutation(std::uint32_t& l, std::uint32_t& r) {
  swap_move(l, r, 4, 0x0f0f0f0fu);
  swap_move(l, r, 16, 0x0000ffffu);
  swap_move(r, l, 2, 0x33333333u);
  swap_move(r, l, 8, 0x00ff00ffu);
  swap_move(l, r, 1, 0x55555555u);
  l = rotl(l, 1);
  r = rotl(r, 1);
}

// Inverse of initial_permutation: the same steps in reverse order.
inline void final_permutation(std::uint32_t& l, std::uint32_t& r) {
  l = rotr(l, 1);
  r = rotr(r, 1);
  swap_move(l, r, 1, 0x55555555u);
  swap_move(r, l, 8, 0x00ff00ffu);
  swap_move(r, l, 2, 0x33333333u);
  swap_move(l, r, 16, 0x0000ffffu);
  swap_move(l, r, 4, 0x0f0f0f0fu);
}

inline std::uint32_t feistel(std::uint32_t r, const std::uint32_t* k) {
  std::uint32_t w = rotr(r, 4) ^ k[0];
  std::uint32_t f = kSp[6][w & 0x3f] ^ kSp[4][(w >> 8) & 0x3f] ^ kSp[2][(w >> 16) & 0x3f] ^ kSp[0][(w >> 24) & 0x3f];
  w = r ^ k[1];
  f ^= kSp[7][w & 0x3f] ^ kSp[5][(w >> 8) & 0x3f] ^ kSp[3][(w >> 16) & 0x3f] ^ kSp[1][(w >> 24) & 0x3f];
  return f;
}

// The 16 rounds on (L0, R0); afterwards l holds L16 and r holds R16, so the pre-output block is (r, l).
inline void rounds(std::uint32_t& l, std::uint32_t& r, const DesKeySchedule& ks) {
  const std::uint32_t* k = ks.k;
  for (int i = 0; i < 8; ++i, k += 4) {
    l ^= feistel(r, k);
    r ^= feistel(l, k + 2);
  }
}

}  // namespace

void des_key_schedule(const unsigned char key[8], CipherDirection direction, DesKeySchedule& ks) noexcept {
  std::uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits = (bits << 8) | key[i];
  // C and D as one 56-bit value, C in the upper 28 bits; bit b (1-based, from the top) of the key is
  // (bits >> (64 - b)) & 1.
  std::uint64_t cd = 0;
  for (int i = 0; i < 56; ++i) cd = (cd << 1) | ((bits >> (64 - kPc1[i])) & 1u);
  std::uint32_t c = static_cast<std::uint32_t>(cd >> 28);
  std::uint32_t d = static_cast<std::uint32_t>(cd & 0x0fffffffu);

  for (int round = 0; round < 16; ++round) {
    for (int s = 0; s < kShifts[round]; ++s) {
      c = ((c << 1) | (c >> 27)) & 0x0fffffffu;
      d = ((d << 1) | (d >> 27)) & 0x0fffffffu;
    }
    const std::uint64_t joined = (static_cast<std::uint64_t>(c) << 28) | d;
    std::uint64_t sub = 0;  // 48-bit round key
    for (int i = 0; i < 48; ++i) sub = (sub << 1) | ((joined >> (56 - kPc2[i])) & 1u);
    // Six-bit groups 1..8 from the top; odd groups feed S-boxes 1, 3, 5, 7 and even ones 2, 4, 6, 8.
    auto group = [&sub](int g) { return static_cast<std::uint32_t>((sub >> (48 - 6 * g)) & 0x3fu); };
    const int slot = direction == CipherDirection::kEncrypt ? round : 15 - round;
    ks.k[2 * slot] = (group(1) << 24) | (group(3) << 16) | (group(5) << 8) | group(7);
    ks.k[2 * slot + 1] = (group(2) << 24) | (group(4) << 16) | (group(6) << 8) | group(8);
    secure_zero(&sub, sizeof sub);
  }
  secure_zero(&bits, sizeof bits);
  secure_zero(&cd, sizeof cd);
  secure_zero(&c, sizeof c);
  secure_zero(&d, sizeof d);
}

void des_block(std::uint32_t& left, std::uint32_t& right, const DesKeySchedule& ks) noexcept {
  std::uint32_t l = left, r = right;
  initial_permutation(l, r);
  rounds(l, r, ks);
  final_permutation(r, l);
  left = r;
  right = l;
}

void des_block3(std::uint32_t& left, std::uint32_t& right, const DesKeySchedule& ks1, const DesKeySchedule& ks2,
                const DesKeySchedule& ks3) noexcept {
  // Between two DES operations the final permutation of one cancels the initial permutation of the next;
  // only the swap of the halves remains.
  std::uint32_t l = left, r = right;
  initial_permutation(l, r);
  rounds(l, r, ks1);
  rounds(r, l, ks2);
  rounds(l, r, ks3);
  final_permutation(r, l);
  left = r;
  right = l;
}

}  // namespace telvarim
