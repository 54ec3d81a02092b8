#include "crypto/digest.h"

#include "crypto/errors.h"
#include "crypto/wipe.h"

namespace telvarim {

int digest_init(DigestContext& ctx, int algorithm) noexcept {
  secure_zero(&ctx, sizeof ctx);
  switch (algorithm) {
    case kDigestMd2:
      md2_init(ctx.md2);
      break;
    case kDigestMd5:
      md5_init(ctx.md5);
      break;
    default:
      return kErrDigestAlgorithm;
  }
  ctx.algorithm = algorithm;
  return 0;
}

int digest_update(DigestContext& ctx, const unsigned char* data, std::size_t len) noexcept {
  switch (ctx.algorithm) {
    case kDigestMd2:
      md2_update(ctx.md2, data, len);
      return 0;
    case kDigestMd5:
      md5_update(ctx.md5, data, len);
      return 0;
    default:
      return kErrDigestAlgorithm;
  }
}

int digest_final(DigestContext& ctx, unsigned char digest[16], unsigned& digest_len) noexcept {
  int result = 0;
  switch (ctx.algorithm) {
    case kDigestMd2:
      md2_final(ctx.md2, digest);
      break;
    case kDigestMd5:
      md5_final(ctx.md5, digest);
      break;
    default:
      result = kErrDigestAlgorithm;
      break;
  }
  digest_len = result == 0 ? kDigestLength : 0;
  secure_zero(&ctx, sizeof ctx);
  return result;
}

}  // namespace telvarim
