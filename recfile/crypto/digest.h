// Message digests chosen by the algorithm number carried in sealed files.
#pragma once

#include <cstddef>

#include "crypto/md2.h"
#include "crypto/md5.h"

namespace telvarim {

inline constexpr int kDigestMd2 = 3;
inline constexpr int kDigestMd5 = 5;
inline constexpr unsigned kDigestLength = 16;  // both algorithms give 16 bytes

struct DigestContext {
  int algorithm;  // kDigestMd2 or kDigestMd5 once initialised
  Md2Context md2;
  Md5Context md5;
};

// 0, or kErrDigestAlgorithm for a number other than 3 or 5 (the context is then unusable).
int digest_init(DigestContext& ctx, int algorithm) noexcept;
int digest_update(DigestContext& ctx, const unsigned char* data, std::size_t len) noexcept;
// Writes the 16-byte digest, sets digest_len to 16 and zeros the context.
int digest_final(DigestContext& ctx, unsigned char digest[16], unsigned& digest_len) noexcept;

}  // namespace telvarim
