// The DES block cipher (FIPS 46-3): key schedule and single, triple (EDE) block operations on the two 32-bit
// halves of a block. Chaining modes are in cbc.h.
#pragma once

#include <cstdint>

namespace telvarim {

// 16 rounds, two words per round laid out for the combined S-box/permutation tables.
struct DesKeySchedule {
  std::uint32_t k[32];
};

enum class CipherDirection { kDecrypt = 0, kEncrypt = 1 };

// Builds the schedule of an 8-byte key for one direction. Parity bits are ignored.
void des_key_schedule(const unsigned char key[8], CipherDirection direction, DesKeySchedule& ks) noexcept;

// One block; `left` and `right` are the block's first and last four bytes read big-endian.
void des_block(std::uint32_t& left, std::uint32_t& right, const DesKeySchedule& ks) noexcept;

// Three DES operations in a row (with the schedules' own directions), doing the initial and final
// permutations once.
void des_block3(std::uint32_t& left, std::uint32_t& right, const DesKeySchedule& ks1, const DesKeySchedule& ks2,
                const DesKeySchedule& ks3) noexcept;

}  // namespace telvarim
