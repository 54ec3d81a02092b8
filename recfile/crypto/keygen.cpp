#include "crypto/keygen.h"

#include <array>
#include <cstring>
#include <utility>

#include "crypto/bignum.h"
#include "crypto/errors.h"
#include "crypto/wipe.h"

namespace telvarim {
namespace {

constexpr unsigned long kPublicExponent = 65537;
constexpr int kMillerRabinRounds = 40;      // each round lets a composite through with probability at most 1/4
constexpr unsigned kSearchSpan = 1u << 16;  // odd candidates tried after one random start

// Odd primes below 2000 for trial division.
constexpr int kSmallPrimeLimit = 2000;
constexpr int count_small_primes() {
  int count = 0;
  for (int n = 3; n < kSmallPrimeLimit; n += 2) {
    bool prime = true;
    for (int d = 3; d * d <= n; d += 2) prime = prime && n % d != 0;
    count += prime ? 1 : 0;
  }
  return count;
}
constexpr int kSmallPrimeCount = count_small_primes();
constexpr std::array<unsigned, kSmallPrimeCount> make_small_primes() {
  std::array<unsigned, kSmallPrimeCount> primes{};
  int count = 0;
  for (int n = 3; n < kSmallPrimeLimit; n += 2) {
    bool prime = true;
    for (int d = 3; d * d <= n; d += 2) prime = prime && n % d != 0;
    if (prime) primes[static_cast<std::size_t>(count++)] = static_cast<unsigned>(n);
  }
  return primes;
}
constexpr auto kSmallPrimes = make_small_primes();

// A uniformly drawn number of `bits` bits or fewer.
int random_number(int bits, const RandomSource& random, BigNum& out) {
  unsigned char bytes[kMaxRsaModulusLen];
  const std::size_t len = (static_cast<std::size_t>(bits) + 7) / 8;
  if (const int rc = random(bytes, len); rc != 0) {
    secure_zero(bytes, sizeof bytes);
    return rc;
  }
  const int extra = static_cast<int>(len * 8) - bits;
  bytes[0] = static_cast<unsigned char>(bytes[0] & (0xffu >> extra));
  out = BigNum::from_bytes(bytes, len);
  secure_zero(bytes, sizeof bytes);
  return 0;
}

// Miller-Rabin with random bases in [2, n - 2]; n odd and well above the small primes.
int probably_prime(const BigNum& n, const RandomSource& random, bool& prime) {
  const BigNum one(1), two(2);
  const BigNum n_minus_1 = bn_sub(n, one);
  int s = 0;
  while (!n_minus_1.bit(s)) ++s;
  BigNum d, power;  // n - 1 = d * 2^s with d odd
  power.set_bit(s);
  bn_divmod(n_minus_1, power, &d, nullptr);
  const BigNum base_range = bn_sub(n, BigNum(3));  // bases are 2 + (x mod (n - 3))
  for (int round = 0; round < kMillerRabinRounds; ++round) {
    BigNum x;
    if (const int rc = random_number(n.bit_length(), random, x); rc != 0) return rc;
    const BigNum a = bn_add(bn_mod(x, base_range), two);
    BigNum y = bn_mod_exp(a, d, n);
    if (y.is_one() || bn_compare(y, n_minus_1) == 0) continue;
    bool witness = true;
    for (int i = 1; i < s && witness; ++i) {
      y = bn_mod_mul(y, y, n);
      if (bn_compare(y, n_minus_1) == 0) witness = false;
      if (y.is_one()) break;  // 1 without passing through n - 1: composite
    }
    if (witness) {
      prime = false;
      return 0;
    }
  }
  prime = true;
  return 0;
}

// A prime of exactly `bits` bits with the top two bits set and p - 1 prime to the public exponent.
int random_prime(int bits, const RandomSource& random, BigNum& prime) {
  for (;;) {
    BigNum start;
    if (const int rc = random_number(bits, random, start); rc != 0) return rc;
    start.set_bit(bits - 1);
    start.set_bit(bits - 2);
    if (!start.is_odd()) start = bn_add(start, BigNum(1));

    std::array<unsigned, kSmallPrimeCount> residues{};  // they say much about the prime: wiped on every exit
    WipeOnExit<std::array<unsigned, kSmallPrimeCount>> wipe(residues);
    for (std::size_t i = 0; i < kSmallPrimes.size(); ++i)
      residues[i] = static_cast<unsigned>(start.mod_limb(kSmallPrimes[i]));
    const unsigned e_residue = static_cast<unsigned>(start.mod_limb(kPublicExponent));

    for (unsigned delta = 0; delta < kSearchSpan; delta += 2) {
      bool divisible = false;
      for (std::size_t i = 0; i < kSmallPrimes.size() && !divisible; ++i)
        divisible = (residues[i] + delta) % kSmallPrimes[i] == 0;
      if (divisible) continue;
      if ((e_residue + delta) % kPublicExponent == 1) continue;  // e would divide candidate - 1
      const BigNum candidate = bn_add(start, BigNum(delta));
      if (candidate.bit_length() != bits) break;  // ran past the top: draw a new start
      bool is_prime = false;
      if (const int rc = probably_prime(candidate, random, is_prime); rc != 0) return rc;
      if (is_prime) {
        prime = candidate;
        return 0;
      }
    }
  }
}

void put(const BigNum& value, unsigned char* field, std::size_t len) { value.to_bytes(field, len); }

}  // namespace

int rsa_generate_keypair(unsigned bits, const RandomSource& random, RsaPublicKey& public_key,
                         RsaPrivateKey& private_key) {
  if (bits < kRsaMinBits || bits > kMaxRsaModulusBits) return kErrModulusLength;
  if (!random) return kErrNeedRandom;
  const int p_bits = static_cast<int>((bits + 1) / 2), q_bits = static_cast<int>(bits / 2);
  const BigNum one(1), e(kPublicExponent);
  BigNum p, q, n;
  for (;;) {
    if (const int rc = random_prime(p_bits, random, p); rc != 0) return rc;
    if (const int rc = random_prime(q_bits, random, q); rc != 0) return rc;
    const int order = bn_compare(p, q);
    if (order == 0) continue;
    if (order < 0) std::swap(p, q);  // the private operation expects p > q
    n = bn_mul(p, q);
    if (n.bit_length() == static_cast<int>(bits)) break;
  }
  const BigNum p1 = bn_sub(p, one), q1 = bn_sub(q, one);
  BigNum d, coefficient;
  if (!bn_mod_inverse(e, bn_mul(p1, q1), d) || !bn_mod_inverse(q, p, coefficient)) {
    return kErrData;  // cannot happen for distinct primes with gcd(e, p - 1) = gcd(e, q - 1) = 1
  }

  std::memset(&private_key, 0, sizeof private_key);
  private_key.bits = static_cast<std::uint16_t>(bits);
  put(n, private_key.modulus, sizeof private_key.modulus);
  put(e, private_key.public_exponent, sizeof private_key.public_exponent);
  put(d, private_key.private_exponent, sizeof private_key.private_exponent);
  put(p, private_key.prime1, sizeof private_key.prime1);
  put(q, private_key.prime2, sizeof private_key.prime2);
  put(bn_mod(d, p1), private_key.prime_exponent1, sizeof private_key.prime_exponent1);
  put(bn_mod(d, q1), private_key.prime_exponent2, sizeof private_key.prime_exponent2);
  put(coefficient, private_key.coefficient, sizeof private_key.coefficient);
  public_key = rsa_public_part(private_key);
  return 0;
}

}  // namespace telvarim
