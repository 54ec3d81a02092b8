// Multi-precision unsigned integers for RSA with moduli of up to 1024 bits.
//
// Numbers are held in 64-bit limbs, least significant first, with room for 2176 bits: enough for the product
// of two 1024-bit numbers and for the Montgomery constant R^2 of a 1024-bit modulus. Every BigNum zeros its
// limbs when it dies, so temporaries holding key material never linger on the stack.
#pragma once

#include <cstddef>
#include <cstdint>

namespace telvarim {

class BigNum {
 public:
  using Limb = std::uint64_t;
  static constexpr int kLimbBits = 64;
  static constexpr int kMaxLimbs = 34;
  static constexpr std::size_t kMaxBytes = kMaxLimbs * 8;

  BigNum() noexcept = default;
  explicit BigNum(Limb value) noexcept;
  BigNum(const BigNum&) noexcept = default;
  BigNum& operator=(const BigNum&) noexcept = default;
  ~BigNum();

  // Big-endian bytes; only the last kMaxBytes are taken.
  static BigNum from_bytes(const unsigned char* bytes, std::size_t len) noexcept;
  // Big-endian, right-aligned in exactly len bytes; false (and len zero bytes) when the value needs more.
  bool to_bytes(unsigned char* out, std::size_t len) const noexcept;

  int size() const noexcept { return size_; }  // significant limbs; 0 for zero
  Limb limb(int i) const noexcept { return i >= 0 && i < size_ ? limbs_[i] : 0; }
  bool is_zero() const noexcept { return size_ == 0; }
  bool is_odd() const noexcept { return size_ > 0 && (limbs_[0] & 1u) != 0; }
  bool is_one() const noexcept { return size_ == 1 && limbs_[0] == 1; }
  int bit_length() const noexcept;
  bool bit(int i) const noexcept;
  void set_bit(int i) noexcept;  // i below kMaxLimbs * 64
  // Remainder by a single non-zero limb.
  Limb mod_limb(Limb divisor) const noexcept;

  // Raw limbs for the arithmetic routines: write limbs, then call set_size with the count written.
  const Limb* limbs() const noexcept { return limbs_; }
  Limb* limbs() noexcept { return limbs_; }
  void set_size(int n) noexcept;  // drops leading zero limbs

 private:
  Limb limbs_[kMaxLimbs]{};
  int size_ = 0;
};

// -1, 0 or 1.
int bn_compare(const BigNum& a, const BigNum& b) noexcept;
BigNum bn_add(const BigNum& a, const BigNum& b) noexcept;
// a - b; requires a >= b.
BigNum bn_sub(const BigNum& a, const BigNum& b) noexcept;
// Requires a.size() + b.size() <= kMaxLimbs.
BigNum bn_mul(const BigNum& a, const BigNum& b) noexcept;
// Quotient and remainder (either pointer may be null). A zero divisor gives quotient 0 and remainder a.
void bn_divmod(const BigNum& a, const BigNum& b, BigNum* quotient, BigNum* remainder) noexcept;
BigNum bn_mod(const BigNum& a, const BigNum& m) noexcept;
// a * b mod m; requires a.size() + b.size() <= kMaxLimbs (reduce the factors first).
BigNum bn_mod_mul(const BigNum& a, const BigNum& b, const BigNum& m) noexcept;
// base^exponent mod m (0 when m is 0 or 1). Odd moduli of up to 1024 bits use Montgomery multiplication
// with a sliding window; other moduli take a slower general path.
BigNum bn_mod_exp(const BigNum& base, const BigNum& exponent, const BigNum& m) noexcept;
// a^-1 mod m; false when gcd(a, m) is not 1 or m is below 2.
bool bn_mod_inverse(const BigNum& a, const BigNum& m, BigNum& inverse) noexcept;
BigNum bn_gcd(const BigNum& a, const BigNum& b) noexcept;

}  // namespace telvarim
