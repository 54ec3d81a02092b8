#include "crypto/cbc.h"

#include "crypto/errors.h"
#include "crypto/wipe.h"

namespace telvarim {
namespace {

inline std::uint32_t load_be32(const unsigned char* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

inline void store_be32(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v >> 24);
  p[1] = static_cast<unsigned char>(v >> 16);
  p[2] = static_cast<unsigned char>(v >> 8);
  p[3] = static_cast<unsigned char>(v);
}

// The per-algorithm block operation without chaining, as the CBC loops below use it.
struct Des1 {
  const CbcContext& c;
  void operator()(std::uint32_t& l, std::uint32_t& r) const { des_block(l, r, c.schedule[0]); }
};
struct Des3 {
  const CbcContext& c;
  void operator()(std::uint32_t& l, std::uint32_t& r) const {
    des_block3(l, r, c.schedule[0], c.schedule[1], c.schedule[2]);
  }
};

template <class Block>
void encrypt_blocks(CbcContext& ctx, Block block, unsigned char* out, const unsigned char* in, std::size_t len,
                    bool whiten) {
  std::uint32_t v0 = ctx.chain[0], v1 = ctx.chain[1];
  const std::uint32_t wi0 = ctx.input_whitener[0], wi1 = ctx.input_whitener[1];
  const std::uint32_t wo0 = ctx.output_whitener[0], wo1 = ctx.output_whitener[1];
  for (std::size_t i = 0; i < len; i += 8) {
    std::uint32_t l = load_be32(in + i) ^ v0;
    std::uint32_t r = load_be32(in + i + 4) ^ v1;
    if (whiten) {
      l ^= wi0;
      r ^= wi1;
    }
    block(l, r);
    if (whiten) {
      l ^= wo0;
      r ^= wo1;
    }
    v0 = l;
    v1 = r;
    store_be32(out + i, l);
    store_be32(out + i + 4, r);
  }
  ctx.chain[0] = v0;
  ctx.chain[1] = v1;
}

template <class Block>
void decrypt_blocks(CbcContext& ctx, Block block, unsigned char* out, const unsigned char* in, std::size_t len,
                    bool whiten) {
  std::uint32_t v0 = ctx.chain[0], v1 = ctx.chain[1];
  const std::uint32_t wi0 = ctx.input_whitener[0], wi1 = ctx.input_whitener[1];
  const std::uint32_t wo0 = ctx.output_whitener[0], wo1 = ctx.output_whitener[1];
  for (std::size_t i = 0; i < len; i += 8) {
    const std::uint32_t c0 = load_be32(in + i), c1 = load_be32(in + i + 4);
    std::uint32_t l = c0, r = c1;
    if (whiten) {
      l ^= wo0;
      r ^= wo1;
    }
    block(l, r);
    l ^= v0;
    r ^= v1;
    if (whiten) {
      l ^= wi0;
      r ^= wi1;
    }
    v0 = c0;
    v1 = c1;
    store_be32(out + i, l);
    store_be32(out + i + 4, r);
  }
  ctx.chain[0] = v0;
  ctx.chain[1] = v1;
}

}  // namespace

int cbc_init(CbcContext& ctx, int algorithm, const unsigned char* key, const unsigned char iv[8],
             CipherDirection direction) noexcept {
  secure_zero(&ctx, sizeof ctx);
  if (algorithm < kCipherDesCbc || algorithm > kCipherDesxCbc) return kErrEncryptionAlgorithm;
  ctx.algorithm = algorithm;
  ctx.direction = direction;
  const bool enc = direction == CipherDirection::kEncrypt;
  if (algorithm == kCipherDesEde2Cbc || algorithm == kCipherDesEde3Cbc) {
    // Encryption is E_K3(D_K2(E_K1(x))), decryption D_K1(E_K2(D_K3(x))): the schedules are kept in the order
    // they are applied.
    const CipherDirection outer = direction;
    const CipherDirection inner = enc ? CipherDirection::kDecrypt : CipherDirection::kEncrypt;
    des_key_schedule(enc ? key : key + 16, outer, ctx.schedule[0]);
    des_key_schedule(key + 8, inner, ctx.schedule[1]);
    des_key_schedule(enc ? key + 16 : key, outer, ctx.schedule[2]);
  } else {
    des_key_schedule(key, direction, ctx.schedule[0]);
  }
  if (algorithm == kCipherDesxCbc) {
    ctx.input_whitener[0] = load_be32(key + 8);
    ctx.input_whitener[1] = load_be32(key + 12);
    ctx.output_whitener[0] = load_be32(key + 16);
    ctx.output_whitener[1] = load_be32(key + 20);
  }
  ctx.iv[0] = ctx.chain[0] = load_be32(iv);
  ctx.iv[1] = ctx.chain[1] = load_be32(iv + 4);
  return 0;
}

int cbc_update(CbcContext& ctx, unsigned char* output, const unsigned char* input, std::size_t len) noexcept {
  if (len % 8 != 0) return kErrLength;
  const bool whiten = ctx.algorithm == kCipherDesxCbc;
  const bool triple = ctx.algorithm == kCipherDesEde2Cbc || ctx.algorithm == kCipherDesEde3Cbc;
  if (ctx.algorithm < kCipherDesCbc || ctx.algorithm > kCipherDesxCbc) return kErrEncryptionAlgorithm;
  if (ctx.direction == CipherDirection::kEncrypt) {
    if (triple)
      encrypt_blocks(ctx, Des3{ctx}, output, input, len, false);
    else
      encrypt_blocks(ctx, Des1{ctx}, output, input, len, whiten);
  } else {
    if (triple)
      decrypt_blocks(ctx, Des3{ctx}, output, input, len, false);
    else
      decrypt_blocks(ctx, Des1{ctx}, output, input, len, whiten);
  }
  return 0;
}

int cbc_restart(CbcContext& ctx) noexcept {
  ctx.chain[0] = ctx.iv[0];
  ctx.chain[1] = ctx.iv[1];
  return 0;
}

}  // namespace telvarim
