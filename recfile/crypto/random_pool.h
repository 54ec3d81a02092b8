// The random byte generator of the sealed files: an MD5 counter-mode pool that must be seeded with 256 bytes
// before it gives output. The same seed blocks always give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace telvarim {

struct RandomPool {
  std::uint32_t bytes_needed;     // seed bytes still to be mixed in before output is allowed
  unsigned char state[16];        // 128-bit big-endian counter
  std::uint32_t bytes_available;  // bytes at the end of `output` not yet handed out
  unsigned char output[16];       // the last output block
};

inline constexpr std::uint32_t kRandomSeedBytes = 256;

int random_init(RandomPool& pool) noexcept;
// Mixes a seed block into the state.
int random_update(RandomPool& pool, const unsigned char* block, std::size_t len) noexcept;
// Seed bytes still needed (0 once output is allowed).
std::uint32_t random_bytes_needed(const RandomPool& pool) noexcept;
// 0, or kErrNeedRandom while the pool still needs seed bytes.
int random_generate(RandomPool& pool, unsigned char* output, std::size_t len) noexcept;

}  // namespace telvarim
