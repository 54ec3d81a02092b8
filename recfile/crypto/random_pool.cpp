#include "crypto/random_pool.h"

#include <cstring>

#include "crypto/errors.h"
#include "crypto/md5.h"
#include "crypto/wipe.h"

namespace telvarim {
namespace {

// The counter step of this generator. The carry moves on to the next byte when the byte was 00 before the
// increment (not when it wraps from FF); files already sealed depend on this exact sequence.
void step_state(unsigned char state[16]) noexcept {
  for (int i = 15; i >= 0; --i) {
    const unsigned char old = state[i];
    state[i] = static_cast<unsigned char>(old + 1);
    if (old != 0) break;
  }
}

}  // namespace

int random_init(RandomPool& pool) noexcept {
  pool.bytes_needed = kRandomSeedBytes;
  std::memset(pool.state, 0, sizeof pool.state);
  pool.bytes_available = 0;
  std::memset(pool.output, 0, sizeof pool.output);
  return 0;
}

int random_update(RandomPool& pool, const unsigned char* block, std::size_t len) noexcept {
  unsigned char digest[16];
  md5(block, len, digest);
  unsigned carry = 0;
  for (int i = 15; i >= 0; --i) {
    carry += static_cast<unsigned>(pool.state[i]) + digest[i];
    pool.state[i] = static_cast<unsigned char>(carry);
    carry >>= 8;
  }
  pool.bytes_needed = len < pool.bytes_needed ? pool.bytes_needed - static_cast<std::uint32_t>(len) : 0;
  secure_zero(digest, sizeof digest);
  return 0;
}

std::uint32_t random_bytes_needed(const RandomPool& pool) noexcept { return pool.bytes_needed; }

int random_generate(RandomPool& pool, unsigned char* output, std::size_t len) noexcept {
  if (pool.bytes_needed != 0) return kErrNeedRandom;
  if (len == 0) return 0;
  // A damaged pool must not make us read outside the output block.
  if (pool.bytes_available > 16) pool.bytes_available = 0;
  while (len > pool.bytes_available) {
    const std::size_t avail = pool.bytes_available;
    std::memcpy(output, pool.output + (16 - avail), avail);
    output += avail;
    len -= avail;
    md5(pool.state, sizeof pool.state, pool.output);
    pool.bytes_available = 16;
    step_state(pool.state);
  }
  std::memcpy(output, pool.output + (16 - pool.bytes_available), len);
  pool.bytes_available -= static_cast<std::uint32_t>(len);
  return 0;
}

}  // namespace telvarim
