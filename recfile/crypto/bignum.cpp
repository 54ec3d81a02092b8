#include "crypto/bignum.h"

#include <bit>
#include <cstring>

#include "crypto/wipe.h"

#if !defined(TELVARIM_BIGNUM_PORTABLE) && !defined(__SIZEOF_INT128__) && defined(_MSC_VER) && defined(_M_X64)
#include <intrin.h>
#define TELVARIM_BIGNUM_UMUL128 1
#endif

namespace telvarim {
namespace {

using Limb = BigNum::Limb;

// ---- double-width primitives -------------------------------------------------------------------------------
// hi:lo = a * b + c + d, which never overflows 128 bits.
#if !defined(TELVARIM_BIGNUM_PORTABLE) && defined(__SIZEOF_INT128__)
__extension__ typedef unsigned __int128 DoubleLimb;

inline void mul_add(Limb a, Limb b, Limb c, Limb d, Limb& hi, Limb& lo) {
  const DoubleLimb p = static_cast<DoubleLimb>(a) * b + c + d;
  lo = static_cast<Limb>(p);
  hi = static_cast<Limb>(p >> 64);
}

// (hi:lo) / d with hi < d.
inline Limb div_wide(Limb hi, Limb lo, Limb d, Limb& rem) {
  const DoubleLimb n = (static_cast<DoubleLimb>(hi) << 64) | lo;
  rem = static_cast<Limb>(n % d);
  return static_cast<Limb>(n / d);
}
#else
constexpr Limb kLow32 = 0xffffffffu;

inline void mul_add(Limb a, Limb b, Limb c, Limb d, Limb& hi, Limb& lo) {
#if defined(TELVARIM_BIGNUM_UMUL128)
  Limb h;
  Limb l = _umul128(a, b, &h);
#else
  const Limb a0 = a & kLow32, a1 = a >> 32, b0 = b & kLow32, b1 = b >> 32;
  const Limb p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const Limb mid = (p00 >> 32) + (p01 & kLow32) + (p10 & kLow32);
  Limb l = (mid << 32) | (p00 & kLow32);
  Limb h = p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
#endif
  l += c;
  h += l < c ? 1 : 0;
  l += d;
  h += l < d ? 1 : 0;
  lo = l;
  hi = h;
}

// (hi:lo) / d with hi < d, by two steps of 32-bit long division on the normalised divisor.
inline Limb div_wide(Limb u1, Limb u0, Limb v, Limb& rem) {
  constexpr Limb b = Limb{1} << 32;
  const int s = std::countl_zero(v);
  v <<= s;
  const Limb vn1 = v >> 32, vn0 = v & kLow32;
  const Limb un32 = s == 0 ? u1 : (u1 << s) | (u0 >> (64 - s));
  const Limb un10 = u0 << s;
  const Limb un1 = un10 >> 32, un0 = un10 & kLow32;
  Limb q1 = un32 / vn1;
  Limb rhat = un32 - q1 * vn1;
  while (q1 >= b || q1 * vn0 > b * rhat + un1) {
    --q1;
    rhat += vn1;
    if (rhat >= b) break;
  }
  const Limb un21 = un32 * b + un1 - q1 * v;
  Limb q0 = un21 / vn1;
  rhat = un21 - q0 * vn1;
  while (q0 >= b || q0 * vn0 > b * rhat + un0) {
    --q0;
    rhat += vn1;
    if (rhat >= b) break;
  }
  rem = (un21 * b + un0 - q0 * v) >> s;
  return q1 * b + q0;
}
#endif

inline Limb add_carry(Limb x, Limb y, Limb& carry) {
  const Limb s = x + y;
  const Limb c1 = s < x ? 1 : 0;
  const Limb t = s + carry;
  const Limb c2 = t < s ? 1 : 0;
  carry = c1 | c2;
  return t;
}

inline Limb sub_borrow(Limb x, Limb y, Limb& borrow) {
  const Limb d = x - y;
  const Limb b1 = x < y ? 1 : 0;
  const Limb t = d - borrow;
  const Limb b2 = d < borrow ? 1 : 0;
  borrow = b1 | b2;
  return t;
}

// ---- Montgomery multiplication -----------------------------------------------------------------------------
constexpr int kMontMaxLimbs = 16;  // 1024 bits

// r = a * b * R^-1 mod m with R = 2^(64 N), for a, b < m (coarsely integrated operand scanning). t is scratch
// of 2 N + 2 limbs; r may alias a or b.
template <int N>
void mont_mul(Limb* r, const Limb* a, const Limb* b, const Limb* m, Limb n0, Limb* t) {
  for (int j = 0; j < N + 2; ++j) t[j] = 0;
  for (int i = 0; i < N; ++i) {
    Limb c = 0, hi, lo;
    const Limb ai = a[i];
    for (int j = 0; j < N; ++j) {
      mul_add(ai, b[j], t[j], c, hi, lo);
      t[j] = lo;
      c = hi;
    }
    Limb s = t[N] + c;
    t[N + 1] = s < c ? 1 : 0;
    t[N] = s;

    const Limb u = t[0] * n0;
    mul_add(u, m[0], t[0], 0, hi, lo);
    c = hi;
    for (int j = 1; j < N; ++j) {
      mul_add(u, m[j], t[j], c, hi, lo);
      t[j - 1] = lo;
      c = hi;
    }
    s = t[N] + c;
    t[N - 1] = s;
    t[N] = t[N + 1] + (s < c ? 1 : 0);
  }
  // t < 2m: subtract m once unless that goes negative, choosing without a branch.
  Limb* d = t + N + 2;
  Limb borrow = 0;
  for (int j = 0; j < N; ++j) d[j] = sub_borrow(t[j], m[j], borrow);
  const Limb keep_t = (t[N] < borrow) ? ~Limb{0} : 0;
  for (int j = 0; j < N; ++j) r[j] = (t[j] & keep_t) | (d[j] & ~keep_t);
}

using MontMulFn = void (*)(Limb*, const Limb*, const Limb*, const Limb*, Limb, Limb*);

MontMulFn mont_mul_for(int n) {
  switch (n) {
    case 1:
      return &mont_mul<1>;
    case 2:
      return &mont_mul<2>;
    case 3:
      return &mont_mul<3>;
    case 4:
      return &mont_mul<4>;
    case 5:
      return &mont_mul<5>;
    case 6:
      return &mont_mul<6>;
    case 7:
      return &mont_mul<7>;
    case 8:
      return &mont_mul<8>;
    case 9:
      return &mont_mul<9>;
    case 10:
      return &mont_mul<10>;
    case 11:
      return &mont_mul<11>;
    case 12:
      return &mont_mul<12>;
    case 13:
      return &mont_mul<13>;
    case 14:
      return &mont_mul<14>;
    case 15:
      return &mont_mul<15>;
    default:
      return &mont_mul<16>;
  }
}

// -m^-1 mod 2^64 for odd m0, by Newton's iteration (each step doubles the correct low bits: 3, 6, ..., 96).
Limb mont_n0(Limb m0) {
  Limb x = m0;
  for (int i = 0; i < 5; ++i) x *= 2 - m0 * x;
  return ~x + 1;
}

int window_bits(int exponent_bits) {
  if (exponent_bits > 671) return 6;
  if (exponent_bits > 239) return 5;
  if (exponent_bits > 79) return 4;
  if (exponent_bits > 23) return 3;
  return 1;
}

struct MontWork {
  Limb m[kMontMaxLimbs];
  Limb rr[kMontMaxLimbs];
  Limb one[kMontMaxLimbs];
  Limb x[kMontMaxLimbs];
  Limb sq[kMontMaxLimbs];
  Limb scratch[2 * kMontMaxLimbs + 2];
  Limb table[32][kMontMaxLimbs];  // odd powers base^1, base^3, ... in Montgomery form
};

// base^e mod m for odd m of at most 16 limbs, base < m, e > 0.
BigNum mont_exp(const BigNum& base, const BigNum& e, const BigNum& m) {
  const int n = m.size();
  MontWork w{};
  WipeOnExit<MontWork> wipe(w);
  std::memcpy(w.m, m.limbs(), sizeof(Limb) * static_cast<std::size_t>(n));
  const Limb n0 = mont_n0(w.m[0]);
  {
    BigNum r2;
    r2.set_bit(2 * 64 * n);
    const BigNum rr = bn_mod(r2, m);
    for (int i = 0; i < n; ++i) w.rr[i] = rr.limb(i);
  }
  w.one[0] = 1;
  const MontMulFn mul = mont_mul_for(n);

  for (int i = 0; i < n; ++i) w.x[i] = base.limb(i);
  mul(w.table[0], w.x, w.rr, w.m, n0, w.scratch);  // base * R
  const int bits = e.bit_length();
  const int wbits = window_bits(bits);
  if (wbits > 1) {
    mul(w.sq, w.table[0], w.table[0], w.m, n0, w.scratch);
    for (int i = 1; i < (1 << (wbits - 1)); ++i) mul(w.table[i], w.table[i - 1], w.sq, w.m, n0, w.scratch);
  }

  // Left to right: each window starts and ends with a 1 bit and spans at most wbits bits.
  bool started = false;
  int i = bits - 1;
  while (i >= 0) {
    if (!e.bit(i)) {
      if (started) mul(w.x, w.x, w.x, w.m, n0, w.scratch);
      --i;
      continue;
    }
    int low = i - wbits + 1 < 0 ? 0 : i - wbits + 1;
    while (!e.bit(low)) ++low;
    unsigned value = 0;
    for (int b = i; b >= low; --b) value = (value << 1) | (e.bit(b) ? 1u : 0u);
    if (started) {
      for (int b = i; b >= low; --b) mul(w.x, w.x, w.x, w.m, n0, w.scratch);
      mul(w.x, w.x, w.table[value >> 1], w.m, n0, w.scratch);
    } else {
      std::memcpy(w.x, w.table[value >> 1], sizeof(Limb) * static_cast<std::size_t>(n));
      started = true;
    }
    i = low - 1;
  }
  mul(w.x, w.x, w.one, w.m, n0, w.scratch);  // out of Montgomery form

  BigNum result;
  std::memcpy(result.limbs(), w.x, sizeof(Limb) * static_cast<std::size_t>(n));
  result.set_size(n);
  return result;
}

// Square and multiply over plain modular multiplication, for even or oversized moduli.
BigNum plain_exp(const BigNum& base, const BigNum& e, const BigNum& m) {
  BigNum result(1);
  for (int i = e.bit_length() - 1; i >= 0; --i) {
    result = bn_mod_mul(result, result, m);
    if (e.bit(i)) result = bn_mod_mul(result, base, m);
  }
  return bn_mod(result, m);
}

}  // namespace

// ---- BigNum --------------------------------------------------------------------------------------------------

BigNum::BigNum(Limb value) noexcept {
  limbs_[0] = value;
  size_ = value != 0 ? 1 : 0;
}

BigNum::~BigNum() { secure_zero(limbs_, sizeof limbs_); }

BigNum BigNum::from_bytes(const unsigned char* bytes, std::size_t len) noexcept {
  BigNum r;
  if (len > kMaxBytes) {
    bytes += len - kMaxBytes;
    len = kMaxBytes;
  }
  for (std::size_t i = 0; i < len; ++i) {
    const std::size_t pos = len - 1 - i;  // byte i from the end
    r.limbs_[i / 8] |= static_cast<Limb>(bytes[pos]) << (8 * (i % 8));
  }
  r.set_size(kMaxLimbs);
  return r;
}

bool BigNum::to_bytes(unsigned char* out, std::size_t len) const noexcept {
  std::memset(out, 0, len);
  if (static_cast<std::size_t>(bit_length()) > 8 * len) return false;
  for (std::size_t i = 0; i < len && i < kMaxBytes; ++i) {
    out[len - 1 - i] = static_cast<unsigned char>(limbs_[i / 8] >> (8 * (i % 8)));
  }
  return true;
}

int BigNum::bit_length() const noexcept {
  if (size_ == 0) return 0;
  return (size_ - 1) * 64 + (64 - std::countl_zero(limbs_[size_ - 1]));
}

bool BigNum::bit(int i) const noexcept {
  if (i < 0 || i / 64 >= size_) return false;
  return ((limbs_[i / 64] >> (i % 64)) & 1u) != 0;
}

void BigNum::set_bit(int i) noexcept {
  if (i < 0 || i / 64 >= kMaxLimbs) return;
  limbs_[i / 64] |= Limb{1} << (i % 64);
  if (i / 64 >= size_) size_ = i / 64 + 1;
}

BigNum::Limb BigNum::mod_limb(Limb divisor) const noexcept {
  Limb rem = 0;
  for (int i = size_ - 1; i >= 0; --i) div_wide(rem, limbs_[i], divisor, rem);
  return rem;
}

void BigNum::set_size(int n) noexcept {
  if (n > kMaxLimbs) n = kMaxLimbs;
  if (n < 0) n = 0;
  for (int i = n; i < kMaxLimbs; ++i) limbs_[i] = 0;
  while (n > 0 && limbs_[n - 1] == 0) --n;
  size_ = n;
}

// ---- arithmetic ----------------------------------------------------------------------------------------------

int bn_compare(const BigNum& a, const BigNum& b) noexcept {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (int i = a.size() - 1; i >= 0; --i) {
    if (a.limb(i) != b.limb(i)) return a.limb(i) < b.limb(i) ? -1 : 1;
  }
  return 0;
}

BigNum bn_add(const BigNum& a, const BigNum& b) noexcept {
  BigNum r;
  const int n = a.size() > b.size() ? a.size() : b.size();
  Limb carry = 0;
  for (int i = 0; i < n; ++i) r.limbs()[i] = add_carry(a.limb(i), b.limb(i), carry);
  if (n < BigNum::kMaxLimbs) r.limbs()[n] = carry;
  r.set_size(n + 1);
  return r;
}

BigNum bn_sub(const BigNum& a, const BigNum& b) noexcept {
  BigNum r;
  Limb borrow = 0;
  for (int i = 0; i < a.size(); ++i) r.limbs()[i] = sub_borrow(a.limb(i), b.limb(i), borrow);
  r.set_size(a.size());
  return r;
}

BigNum bn_mul(const BigNum& a, const BigNum& b) noexcept {
  BigNum r;
  Limb* out = r.limbs();
  for (int i = 0; i < a.size(); ++i) {
    Limb carry = 0;
    const Limb ai = a.limb(i);
    for (int j = 0; j < b.size() && i + j < BigNum::kMaxLimbs; ++j) {
      Limb hi, lo;
      mul_add(ai, b.limb(j), out[i + j], carry, hi, lo);
      out[i + j] = lo;
      carry = hi;
    }
    if (i + b.size() < BigNum::kMaxLimbs) out[i + b.size()] = carry;
  }
  r.set_size(a.size() + b.size());
  return r;
}

void bn_divmod(const BigNum& a, const BigNum& b, BigNum* quotient, BigNum* remainder) noexcept {
  BigNum q, r;
  if (b.is_zero() || bn_compare(a, b) < 0) {
    r = a;
  } else if (b.size() == 1) {
    Limb rem = 0;
    const Limb d = b.limb(0);
    for (int i = a.size() - 1; i >= 0; --i) q.limbs()[i] = div_wide(rem, a.limb(i), d, rem);
    q.set_size(a.size());
    r = BigNum(rem);
  } else {
    // Knuth's algorithm D on the divisor shifted so that its top limb has its top bit set.
    const int m = a.size(), n = b.size();
    const int s = std::countl_zero(b.limb(n - 1));
    Limb un[BigNum::kMaxLimbs + 1];
    Limb vn[BigNum::kMaxLimbs];
    for (int i = n - 1; i > 0; --i) vn[i] = (b.limb(i) << s) | (s ? b.limb(i - 1) >> (64 - s) : 0);
    vn[0] = b.limb(0) << s;
    un[m] = s ? a.limb(m - 1) >> (64 - s) : 0;
    for (int i = m - 1; i > 0; --i) un[i] = (a.limb(i) << s) | (s ? a.limb(i - 1) >> (64 - s) : 0);
    un[0] = a.limb(0) << s;

    const Limb top = vn[n - 1], next = vn[n - 2];
    for (int j = m - n; j >= 0; --j) {
      // Estimate the quotient limb from the top two limbs, then correct it with the third.
      Limb qhat, rhat;
      bool rhat_big = false;  // rhat no longer fits a limb: the estimate needs no more correction
      if (un[j + n] >= top) {
        qhat = ~Limb{0};
        rhat = un[j + n - 1] + top;  // un[j+n] * B + un[j+n-1] - qhat * top, as un[j+n] == top here
        rhat_big = rhat < top;
      } else {
        qhat = div_wide(un[j + n], un[j + n - 1], top, rhat);
      }
      while (!rhat_big) {
        Limb ph, pl;
        mul_add(qhat, next, 0, 0, ph, pl);
        if (ph < rhat || (ph == rhat && pl <= un[j + n - 2])) break;
        --qhat;
        rhat += top;
        rhat_big = rhat < top;
      }
      // un[j..j+n] -= qhat * vn
      Limb carry = 0, borrow = 0;
      for (int i = 0; i < n; ++i) {
        Limb hi, lo;
        mul_add(qhat, vn[i], carry, 0, hi, lo);
        carry = hi;
        un[i + j] = sub_borrow(un[i + j], lo, borrow);
      }
      un[j + n] = sub_borrow(un[j + n], carry, borrow);
      if (borrow) {
        // The estimate was one too large: add the divisor back.
        --qhat;
        Limb c = 0;
        for (int i = 0; i < n; ++i) un[i + j] = add_carry(un[i + j], vn[i], c);
        un[j + n] += c;
      }
      q.limbs()[j] = qhat;
    }
    q.set_size(m - n + 1);
    for (int i = 0; i < n; ++i) r.limbs()[i] = (un[i] >> s) | (s ? un[i + 1] << (64 - s) : 0);
    r.set_size(n);
    secure_zero(un, sizeof un);
    secure_zero(vn, sizeof vn);
  }
  if (quotient) *quotient = q;
  if (remainder) *remainder = r;
}

BigNum bn_mod(const BigNum& a, const BigNum& m) noexcept {
  BigNum r;
  bn_divmod(a, m, nullptr, &r);
  return r;
}

BigNum bn_mod_mul(const BigNum& a, const BigNum& b, const BigNum& m) noexcept { return bn_mod(bn_mul(a, b), m); }

BigNum bn_mod_exp(const BigNum& base, const BigNum& exponent, const BigNum& m) noexcept {
  if (m.is_zero() || m.is_one()) return BigNum();
  const BigNum reduced = bn_compare(base, m) < 0 ? base : bn_mod(base, m);
  if (exponent.is_zero()) return BigNum(1);
  if (m.is_odd() && m.size() <= kMontMaxLimbs) return mont_exp(reduced, exponent, m);
  return plain_exp(reduced, exponent, m);
}

bool bn_mod_inverse(const BigNum& a, const BigNum& m, BigNum& inverse) noexcept {
  if (m.is_zero() || m.is_one()) return false;
  // Extended Euclid on non-negative values: the coefficient of a alternates in sign, tracked by `odd`.
  BigNum u1(1), u3 = bn_mod(a, m), v1, v3 = m;
  bool odd = false;
  while (!v3.is_zero()) {
    BigNum q, t3;
    bn_divmod(u3, v3, &q, &t3);
    const BigNum t1 = bn_add(u1, bn_mul(q, v1));
    u1 = v1;
    v1 = t1;
    u3 = v3;
    v3 = t3;
    odd = !odd;
  }
  if (!u3.is_one()) return false;
  inverse = bn_mod(odd ? bn_sub(m, u1) : u1, m);
  return true;
}

BigNum bn_gcd(const BigNum& a, const BigNum& b) noexcept {
  BigNum x = a, y = b;
  while (!y.is_zero()) {
    BigNum r = bn_mod(x, y);
    x = y;
    y = r;
  }
  return x;
}

}  // namespace telvarim
