// The multi-precision arithmetic against OpenSSL's BIGNUM on random and edge-pattern numbers.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "crypto/bignum.h"
#include "oracle.h"

namespace telvarim::test {
namespace {

#if TELVARIM_ORACULO_OPENSSL
struct BnFree {
  void operator()(BIGNUM* b) const { BN_free(b); }
};
using Bn = std::unique_ptr<BIGNUM, BnFree>;

Bn to_openssl(const BigNum& x) {
  unsigned char buf[BigNum::kMaxBytes];
  x.to_bytes(buf, sizeof buf);
  return Bn(BN_bin2bn(buf, sizeof buf, nullptr));
}

std::string hex_of(const BIGNUM* x) {
  unsigned char buf[BigNum::kMaxBytes];
  BN_bn2binpad(x, buf, sizeof buf);
  return to_hex(buf, sizeof buf);
}

std::string hex_of(const BigNum& x) {
  unsigned char buf[BigNum::kMaxBytes];
  x.to_bytes(buf, sizeof buf);
  return to_hex(buf, sizeof buf);
}
#endif

// Numbers of `limbs` limbs whose limbs are often 0, 1, all ones, or near a power of two: the values that
// drive carries, borrows and the quotient corrections of long division.
class Numbers {
 public:
  explicit Numbers(std::uint64_t seed) : rng_(seed) {}

  BigNum make(int limbs) {
    BigNum x;
    for (int i = 0; i < limbs; ++i) {
      static constexpr BigNum::Limb kPatterns[] = {
          0, 1, ~BigNum::Limb{0}, ~BigNum::Limb{0} - 1, BigNum::Limb{1} << 63, (BigNum::Limb{1} << 63) - 1};
      const auto pick = rng_() % 10;
      x.limbs()[i] = pick < 6 ? kPatterns[pick] : rng_();
    }
    if (limbs > 0 && x.limbs()[limbs - 1] == 0) x.limbs()[limbs - 1] = rng_() | 1;
    x.set_size(limbs);
    return x;
  }
  int upto(int n) { return 1 + static_cast<int>(rng_() % static_cast<unsigned>(n)); }
  std::mt19937_64& rng() { return rng_; }

 private:
  std::mt19937_64 rng_;
};

TEST(BigNum, AddSubMulDivideAgreeWithOpenSsl) {
  TELVARIM_PRECISA_ORACULO();
#if TELVARIM_ORACULO_OPENSSL
  Numbers gen(1);
  BN_CTX* ctx = BN_CTX_new();
  for (int iter = 0; iter < 3000; ++iter) {
    const BigNum a = gen.make(gen.upto(34));
    const BigNum b = gen.make(gen.upto(17));
    const Bn oa = to_openssl(a), ob = to_openssl(b);
    Bn expect(BN_new()), rem(BN_new());

    if (a.size() + b.size() <= BigNum::kMaxLimbs) {
      BN_mul(expect.get(), oa.get(), ob.get(), ctx);
      ASSERT_EQ(hex_of(bn_mul(a, b)), hex_of(expect.get())) << "mul " << hex_of(a) << " " << hex_of(b);
    }
    if (a.size() < BigNum::kMaxLimbs) {
      BN_add(expect.get(), oa.get(), ob.get());
      ASSERT_EQ(hex_of(bn_add(a, b)), hex_of(expect.get()));
    }
    if (bn_compare(a, b) >= 0) {
      BN_sub(expect.get(), oa.get(), ob.get());
      ASSERT_EQ(hex_of(bn_sub(a, b)), hex_of(expect.get()));
    }
    ASSERT_EQ(bn_compare(a, b), BN_cmp(oa.get(), ob.get()));

    BigNum q, r;
    bn_divmod(a, b, &q, &r);
    BN_div(expect.get(), rem.get(), oa.get(), ob.get(), ctx);
    ASSERT_EQ(hex_of(q), hex_of(expect.get())) << "quotient of " << hex_of(a) << " / " << hex_of(b);
    ASSERT_EQ(hex_of(r), hex_of(rem.get())) << "remainder of " << hex_of(a) << " / " << hex_of(b);
    if (b.size() == 1) {
      ASSERT_EQ(a.mod_limb(b.limb(0)), r.limb(0));
    }
  }
  BN_CTX_free(ctx);
#endif
}

TEST(BigNum, LongDivisionThatNeedsTheAddBackStep) {
  // The estimated quotient limb survives the two-limb test and is still one too large.
  constexpr BigNum::Limb kOnes = ~BigNum::Limb{0}, kTop = BigNum::Limb{1} << 63;
  BigNum a, b;
  a.limbs()[0] = 0, a.limbs()[1] = kOnes - 1, a.limbs()[2] = 0, a.limbs()[3] = kTop;
  a.set_size(4);
  b.limbs()[0] = kOnes, b.limbs()[1] = 0, b.limbs()[2] = kTop;
  b.set_size(3);
  BigNum q, r;
  bn_divmod(a, b, &q, &r);
  EXPECT_EQ(bn_compare(bn_add(bn_mul(q, b), r), a), 0);
  EXPECT_LT(bn_compare(r, b), 0);
}

TEST(BigNum, ModExpAgreesWithOpenSsl) {
  TELVARIM_PRECISA_ORACULO();
#if TELVARIM_ORACULO_OPENSSL
  Numbers gen(2);
  BN_CTX* ctx = BN_CTX_new();
  for (int iter = 0; iter < 300; ++iter) {
    BigNum m = gen.make(gen.upto(16));
    if (iter % 5 != 0) m.limbs()[0] |= 1;  // mostly odd moduli (Montgomery), some even ones
    m.set_size(m.size());
    const BigNum base = gen.make(gen.upto(m.size() + 1));  // sometimes larger than the modulus
    BigNum e = gen.make(gen.upto(16));
    if (iter % 7 == 0) e = BigNum(iter % 3);  // exponents 0, 1, 2
    const Bn om = to_openssl(m), ob = to_openssl(base), oe = to_openssl(e);
    Bn expect(BN_new());
    ASSERT_TRUE(BN_mod_exp(expect.get(), ob.get(), oe.get(), om.get(), ctx));
    ASSERT_EQ(hex_of(bn_mod_exp(base, e, m)), hex_of(expect.get()))
        << hex_of(base) << " ^ " << hex_of(e) << " mod " << hex_of(m);
  }
  BN_CTX_free(ctx);
#endif
  EXPECT_TRUE(bn_mod_exp(BigNum(5), BigNum(3), BigNum(1)).is_zero());
  EXPECT_TRUE(bn_mod_exp(BigNum(5), BigNum(3), BigNum()).is_zero());
}

TEST(BigNum, ModInverseAndGcdAgreeWithOpenSsl) {
  TELVARIM_PRECISA_ORACULO();
#if TELVARIM_ORACULO_OPENSSL
  Numbers gen(3);
  BN_CTX* ctx = BN_CTX_new();
  for (int iter = 0; iter < 300; ++iter) {
    const BigNum m = gen.make(gen.upto(16));
    const BigNum a = gen.make(gen.upto(16));
    const Bn om = to_openssl(m), oa = to_openssl(a);
    Bn expect(BN_new());
    ASSERT_TRUE(BN_gcd(expect.get(), oa.get(), om.get(), ctx));
    ASSERT_EQ(hex_of(bn_gcd(a, m)), hex_of(expect.get()));
    const bool invertible = BN_is_one(expect.get()) && !BN_is_one(om.get());
    BigNum inverse;
    ASSERT_EQ(bn_mod_inverse(a, m, inverse), invertible) << hex_of(a) << " mod " << hex_of(m);
    if (invertible) {
      ASSERT_TRUE(BN_mod_inverse(expect.get(), oa.get(), om.get(), ctx));
      ASSERT_EQ(hex_of(inverse), hex_of(expect.get()));
    }
  }
  BN_CTX_free(ctx);
#endif
}

TEST(BigNum, BytesAreBigEndianAndRightAligned) {
  const Bytes in = from_hex("0102030405060708090a");
  const BigNum x = BigNum::from_bytes(in.data(), in.size());
  EXPECT_EQ(x.size(), 2);
  EXPECT_EQ(x.limb(0), 0x030405060708090aULL);
  EXPECT_EQ(x.limb(1), 0x0102ULL);
  EXPECT_EQ(x.bit_length(), 73);

  unsigned char out[12];
  ASSERT_TRUE(x.to_bytes(out, sizeof out));
  EXPECT_EQ(to_hex(out, sizeof out), "00000102030405060708090a");
  ASSERT_TRUE(x.to_bytes(out, 10));
  EXPECT_EQ(to_hex(out, 10), "0102030405060708090a");
  EXPECT_FALSE(x.to_bytes(out, 9));  // the value needs ten bytes
  EXPECT_TRUE(BigNum().to_bytes(out, 0));
}

}  // namespace
}  // namespace telvarim::test
