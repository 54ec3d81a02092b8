// The seeded random pool: the seeding rule, determinism, and the exact output sequence including the
// counter's carry rule.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "crypto/errors.h"
#include "crypto/random_pool.h"
#include "oracle.h"

namespace telvarim::test {
namespace {

Bytes generate(RandomPool& pool, std::size_t n) {
  Bytes out(n);
  EXPECT_EQ(random_generate(pool, out.data(), n), 0);
  return out;
}

TEST(RandomPool, RefusesOutputUntil256SeedBytes) {
  RandomPool pool;
  random_init(pool);
  EXPECT_EQ(random_bytes_needed(pool), 256u);
  const unsigned char block[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  unsigned char out[4];
  for (int i = 0; i < 31; ++i) {
    EXPECT_EQ(random_generate(pool, out, sizeof out), kErrNeedRandom) << "after " << i << " blocks";
    random_update(pool, block, sizeof block);
  }
  EXPECT_EQ(random_bytes_needed(pool), 8u);
  EXPECT_EQ(random_generate(pool, out, sizeof out), kErrNeedRandom);
  random_update(pool, block, sizeof block);
  EXPECT_EQ(random_bytes_needed(pool), 0u);
  EXPECT_EQ(random_generate(pool, out, sizeof out), 0);

  // One long block counts for all of it, and the count stops at zero.
  random_init(pool);
  const Bytes big(300, 0xaa);
  random_update(pool, big.data(), big.size());
  EXPECT_EQ(random_bytes_needed(pool), 0u);
}

TEST(RandomPool, SameSeedsGiveTheSameBytes) {
  RandomPool a = seeded_pool(7), b = seeded_pool(7), c = seeded_pool(8);
  const Bytes first = generate(a, 100);
  EXPECT_EQ(first, generate(b, 100));
  EXPECT_NE(first, generate(c, 100));

  // How the bytes are asked for does not change them.
  RandomPool d = seeded_pool(7);
  Bytes pieces;
  for (std::size_t n : {1u, 15u, 16u, 3u, 0u, 33u, 32u}) {
    const Bytes part = generate(d, n);
    pieces.insert(pieces.end(), part.begin(), part.end());
  }
  RandomPool e = seeded_pool(7);
  EXPECT_EQ(pieces, generate(e, pieces.size()));
}

TEST(RandomPool, SeedsAreAddedToTheStateAsBigEndianNumbers) {
  TELVARIM_PRECISA_ORACULO();
  RandomPool pool;
  random_init(pool);
  const Bytes a = bytes_of("first"), b = bytes_of("second");
  random_update(pool, a.data(), a.size());
  random_update(pool, b.data(), b.size());
  // MD5("first") + MD5("second") mod 2^128, computed byte by byte from the least significant end.
  const Bytes da = openssl_md5(a), db = openssl_md5(b);
  Bytes sum(16);
  unsigned carry = 0;
  for (int i = 15; i >= 0; --i) {
    carry += static_cast<unsigned>(da[static_cast<std::size_t>(i)]) + db[static_cast<std::size_t>(i)];
    sum[static_cast<std::size_t>(i)] = static_cast<unsigned char>(carry);
    carry >>= 8;
  }
  EXPECT_EQ(to_hex(pool.state, 16), to_hex(sum));
}

// Output blocks are MD5 of the state, and the state steps after each block; its carry moves on only past a
// byte that was 00 before the increment.
struct CarryCase {
  const char* state;
  const char* next;
};

TEST(RandomPool, OutputFollowsTheCounterAndItsCarryRule) {
  TELVARIM_PRECISA_ORACULO();
  constexpr CarryCase kCases[] = {
      {"000000000000000000000000000000a1", "000000000000000000000000000000a2"},
      {"000000000000000000000000000000ff", "00000000000000000000000000000000"},  // FF wraps without a carry
      {"00000000000000000000000000000000", "01010101010101010101010101010101"},  // every byte was 00
      {"00000000000000000000000000000100", "00000000000000000000000000000201"},  // a 00 byte carries
      {"00000000000000000000000000030000", "00000000000000000000000000040101"},
      {"ff000000000000000000000000000000", "00010101010101010101010101010101"},
  };
  for (const auto& c : kCases) {
    RandomPool pool;
    random_init(pool);
    pool.bytes_needed = 0;  // as if already seeded to this state
    const Bytes state = from_hex(c.state), next = from_hex(c.next);
    std::memcpy(pool.state, state.data(), 16);
    const Bytes out = generate(pool, 32);
    EXPECT_EQ(to_hex(Bytes(out.begin(), out.begin() + 16)), to_hex(openssl_md5(state))) << c.state;
    EXPECT_EQ(to_hex(Bytes(out.begin() + 16, out.end())), to_hex(openssl_md5(next))) << c.state;
  }
}

}  // namespace
}  // namespace telvarim::test
