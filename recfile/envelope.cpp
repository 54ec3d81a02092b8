#include "envelope.h"

#include <array>
#include <cstring>
#include <fstream>
#include <new>
#include <system_error>

#include "crypto/cbc.h"
#include "crypto/digest.h"
#include "crypto/errors.h"
#include "crypto/os_random.h"
#include "crypto/random_pool.h"
#include "crypto/rsa.h"
#include "crypto/wipe.h"
#include "partial_output.h"

namespace telvarim {

namespace {

constexpr std::size_t kTrailerLen = 6;
constexpr std::size_t kDigestInfoLen = 34;
constexpr std::size_t kSeedBlock = 8;
constexpr std::uint64_t kMaxPlainLen = 0xFFFFFFFFu;  // the trailer carries the length in 32 bits

// DER prefix of the DigestInfo that PKCS #1 prescribes for MD2 and MD5; byte 13 names the algorithm.
constexpr unsigned char kDigestInfoPrefix[18] = {0x30, 0x20, 0x30, 0x0C, 0x06, 0x08, 0x2A, 0x86, 0x48,
                                                 0x86, 0xF7, 0x0D, 0x02, 0x05, 0x05, 0x00, 0x04, 0x10};

void BuildDigestInfo(int digest, const unsigned char hash[kDigestLength], unsigned char out[kDigestInfoLen]) {
  std::memcpy(out, kDigestInfoPrefix, sizeof kDigestInfoPrefix);
  out[13] = static_cast<unsigned char>(digest);
  std::memcpy(out + sizeof kDigestInfoPrefix, hash, kDigestLength);
}

void PutU16(unsigned char* p, std::uint16_t v) {
  p[0] = static_cast<unsigned char>(v & 0xFF);
  p[1] = static_cast<unsigned char>(v >> 8);
}

void PutU32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>((v >> (8 * i)) & 0xFF);
}

std::uint16_t GetU16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t GetU32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec);
}

// The output of one operation. Unless kept, it is removed when it goes out of scope, so every failure path
// leaves nothing behind; a device or a pipe named as the output is never removed.
class Output {
 public:
  explicit Output(const std::filesystem::path& path) : guard_(path), path_(path) {}

  bool Create() {
    file_.open(path_, std::ios::binary | std::ios::trunc);
    if (!file_.is_open()) return false;
    guard_.Arm();
    return true;
  }
  // false once any write has failed.
  bool Write(const unsigned char* p, std::size_t n) {
    if (n > 0) file_.write(reinterpret_cast<const char*>(p), static_cast<std::streamsize>(n));
    return static_cast<bool>(file_);
  }
  // Closes the file and keeps it when every byte reached it.
  bool Keep() {
    file_.close();
    if (file_.fail()) return false;
    guard_.Disarm();
    return true;
  }

 private:
  PartialOutputGuard guard_;  // before the stream: the file is closed before it is removed
  std::filesystem::path path_;
  std::ofstream file_;
};

// The content cipher of either side, over the CBC context. Whole blocks go through as they fill. Sealing
// keeps the last 0-7 bytes for the padding; opening always holds the last block (1-8 bytes) back, since only
// the finish can strip its padding.
struct ContentCipher {
  CbcContext cbc{};
  unsigned char pending[8]{};
  std::size_t fill = 0;
  std::size_t holdBack = 0;  // 1 when opening: at least one byte stays pending after an update

  // out receives up to len + 8 bytes.
  int Update(unsigned char* out, std::size_t& outLen, const unsigned char* in, std::size_t len) {
    outLen = 0;
    const std::size_t room = 8 - fill;
    if (len < room + holdBack) {
      std::memcpy(pending + fill, in, len);
      fill += len;
      return 0;
    }
    std::memcpy(pending + fill, in, room);
    in += room;
    len -= room;  // at least holdBack bytes are left
    if (int r = cbc_update(cbc, out, pending, 8); r != 0) return r;
    outLen = 8;
    const std::size_t whole = (len - holdBack) / 8 * 8;
    if (whole > 0) {
      if (int r = cbc_update(cbc, out + 8, in, whole); r != 0) return r;
      outLen += whole;
    }
    fill = len - whole;
    std::memcpy(pending, in + whole, fill);
    return 0;
  }

  // Sealing: pads with 1 to 8 bytes of the pad's length (a whole block of 08 when nothing waits): 8 bytes out.
  int Pad(unsigned char out[8]) {
    const auto pad = static_cast<unsigned char>(8 - fill);
    std::memset(pending + fill, pad, pad);
    int r = cbc_update(cbc, out, pending, 8);
    cbc_restart(cbc);
    fill = 0;
    return r;
  }

  // Opening: decrypts the held-back block and strips its padding; out receives up to 7 bytes.
  int Unpad(unsigned char out[8], std::size_t& outLen) {
    outLen = 0;
    if (fill == 0) return 0;
    if (fill != 8) return kErrPadding;
    unsigned char block[8];
    WipeOnExit<unsigned char[8]> wipeBlock(block);
    if (int r = cbc_update(cbc, block, pending, 8); r != 0) return r;
    cbc_restart(cbc);
    fill = 0;
    const unsigned pad = block[7];
    if (pad < 1 || pad > 8) return kErrPadding;
    for (unsigned i = 8 - pad; i < 8; ++i)
      if (block[i] != pad) return kErrPadding;
    outLen = 8 - pad;
    std::memcpy(out, block, outLen);
    return 0;
  }
};

// Seeds a fresh pool from the operating system: 32 blocks of 8 bytes, each drawn anew, so that no two
// sealings share their key material, initialisation vector or key-encryption padding.
int SeedPool(RandomPool& pool) {
  unsigned char seed[kSeedBlock];
  WipeOnExit<unsigned char[kSeedBlock]> wipeSeed(seed);
  random_init(pool);
  while (random_bytes_needed(pool) != 0) {
    if (int r = os_random_bytes(seed, sizeof seed); r != 0) return r;
    random_update(pool, seed, sizeof seed);
  }
  return 0;
}

int Seal(const std::filesystem::path& inPath, const std::filesystem::path& outPath, const RsaPrivateKey& key,
         std::span<const RsaPublicKey> recipients, std::span<const unsigned char> extra, int cipher, int digest) {
  if (key.bits > kMaxRsaModulusBits) return kErrModulusLength;
  for (const RsaPublicKey& r : recipients)
    if (r.bits > kMaxRsaModulusBits) return kErrModulusLength;
  // Fields that cannot carry the request would give a file no one can read.
  const bool encrypt = cipher != 0;
  if (encrypt && recipients.size() > kEnvelopeMaxRecipients) return kErrLength;
  if (extra.size() > 0xFFFF) return kErrLength;

  std::ifstream in(inPath, std::ios::binary);
  if (!in) return kErrEnvelopeInput;
  // Creating the output would truncate the input before it is read.
  if (SameFile(inPath, outPath)) return kErrEnvelopeOutput;
  Output out(outPath);
  if (!out.Create()) return kErrEnvelopeOutput;

  RandomPool pool{};
  DigestContext dctx{};
  ContentCipher cc{};
  unsigned char material[24]{};
  unsigned char iv[8]{};
  unsigned char rsaBlock[kMaxRsaModulusLen]{};
  unsigned char chunk[kEnvelopeChunk]{};
  unsigned char sealed[kEnvelopeChunk + 8]{};
  unsigned char hash[kDigestLength]{};
  unsigned char info[kDigestInfoLen]{};
  WipeOnExit<RandomPool> w1(pool);
  WipeOnExit<DigestContext> w2(dctx);
  WipeOnExit<ContentCipher> w3(cc);
  WipeOnExit<unsigned char[24]> w4(material);
  WipeOnExit<unsigned char[8]> w5(iv);
  WipeOnExit<unsigned char[kMaxRsaModulusLen]> w6(rsaBlock);
  WipeOnExit<unsigned char[kEnvelopeChunk]> w7(chunk);
  WipeOnExit<unsigned char[kEnvelopeChunk + 8]> w8(sealed);
  WipeOnExit<unsigned char[kDigestLength]> w9(hash);
  WipeOnExit<unsigned char[kDigestInfoLen]> w10(info);

  unsigned char field[4];
  bool written = out.Write(kEnvelopeHeader, kEnvelopeHeaderLen);
  PutU16(field, static_cast<std::uint16_t>(extra.size()));
  written = written && out.Write(field, 2) && out.Write(extra.data(), extra.size());
  const unsigned char algorithms[4] = {static_cast<unsigned char>(cipher), static_cast<unsigned char>(digest), 0, 0};
  written = written && out.Write(algorithms, 4);
  if (!written) return kErrEnvelopeOutput;

  if (int r = SeedPool(pool); r != 0) return r;
  const bool sign = digest != 0;
  if (sign)
    if (int r = digest_init(dctx, digest); r != 0) return r;

  if (encrypt) {
    const std::size_t materialLen = cipher == kCipherDesCbc ? 8 : 24;
    if (int r = random_generate(pool, material, materialLen); r != 0) return r;
    if (cipher == kCipherDesEde2Cbc) std::memcpy(material + 16, material, 8);
    if (int r = random_generate(pool, iv, sizeof iv); r != 0) return r;
    if (int r = cbc_init(cc.cbc, cipher, material, iv, CipherDirection::kEncrypt); r != 0) return r;
    written = out.Write(iv, sizeof iv);
    const auto count = static_cast<unsigned char>(recipients.size());
    written = written && out.Write(&count, 1);
    for (const RsaPublicKey& recipient : recipients) {
      std::size_t len = 0;
      if (rsa_public_encrypt(rsaBlock, len, material, materialLen, recipient, pool) != 0) return kErrPublicKey;
      PutU16(field, static_cast<std::uint16_t>(len));
      written = written && out.Write(field, 2) && out.Write(rsaBlock, len);
    }
    if (!written) return kErrEnvelopeOutput;
  }

  std::uint64_t plainLen = 0;
  std::uint16_t crc = 0xFFFF;
  for (;;) {
    in.read(reinterpret_cast<char*>(chunk), static_cast<std::streamsize>(sizeof chunk));
    if (in.bad()) return kErrEnvelopeInput;
    const auto n = static_cast<std::size_t>(in.gcount());
    if (n == 0) break;
    plainLen += n;
    if (plainLen > kMaxPlainLen) return kErrLength;
    crc = crc16_ccitt(chunk, n, crc);
    if (sign) digest_update(dctx, chunk, n);
    if (encrypt) {
      std::size_t outLen = 0;
      if (int r = cc.Update(sealed, outLen, chunk, n); r != 0) return r;
      if (!out.Write(sealed, outLen)) return kErrEnvelopeOutput;
    } else if (!out.Write(chunk, n)) {
      return kErrEnvelopeOutput;
    }
    if (n < sizeof chunk) break;  // a short read comes only at the end of the input
  }

  if (encrypt) {
    if (int r = cc.Pad(sealed); r != 0) return r;
    if (!out.Write(sealed, 8)) return kErrEnvelopeOutput;
  }
  if (sign) {
    unsigned hashLen = 0;
    digest_final(dctx, hash, hashLen);
    BuildDigestInfo(digest, hash, info);
    std::size_t len = 0;
    if (rsa_private_encrypt(rsaBlock, len, info, sizeof info, key) != 0) return kErrPrivateKey;
    PutU16(field, static_cast<std::uint16_t>(len));
    if (!out.Write(field, 2) || !out.Write(rsaBlock, len)) return kErrEnvelopeOutput;
  }
  unsigned char trailer[kTrailerLen];
  PutU32(trailer, static_cast<std::uint32_t>(plainLen));
  PutU16(trailer + 4, crc);
  if (!out.Write(trailer, sizeof trailer) || !out.Keep()) return kErrEnvelopeOutput;
  return 0;
}

// The sealed input, read within the bytes before the trailer: a field or a length that reaches past them
// is a length error rather than a read into the trailer or past the end.
class SealedInput {
 public:
  explicit SealedInput(const std::filesystem::path& path) : file_(path, std::ios::binary) {}
  bool IsOpen() const { return file_.is_open(); }

  // Reads the trailer and goes back to the start. false when the file has no room for one.
  bool ReadTrailer(std::uint32_t& plainLen) {
    file_.seekg(0, std::ios::end);
    const std::streamoff size = file_.tellg();
    if (!file_ || size < static_cast<std::streamoff>(kTrailerLen)) return false;
    limit_ = static_cast<std::uint64_t>(size) - kTrailerLen;
    unsigned char trailer[kTrailerLen];
    file_.seekg(static_cast<std::streamoff>(limit_));
    file_.read(reinterpret_cast<char*>(trailer), kTrailerLen);
    if (!file_) return false;
    plainLen = GetU32(trailer);
    file_.seekg(0);
    pos_ = 0;
    return static_cast<bool>(file_);
  }

  // Skips the header: every byte up to and including the first 00.
  bool SkipHeader() {
    while (pos_ < limit_) {
      const int c = file_.get();
      if (c == std::char_traits<char>::eof()) return false;
      ++pos_;
      if (c == 0) return true;
    }
    return false;
  }

  std::uint64_t Left() const { return limit_ - pos_; }

  int Read(unsigned char* p, std::size_t n) {
    if (n > Left()) return kErrLength;
    file_.read(reinterpret_cast<char*>(p), static_cast<std::streamsize>(n));
    if (static_cast<std::size_t>(file_.gcount()) != n) return kErrEnvelopeInput;
    pos_ += n;
    return 0;
  }

  int Skip(std::uint64_t n) {
    if (n > Left()) return kErrLength;
    pos_ += n;
    file_.seekg(static_cast<std::streamoff>(pos_));
    return file_ ? 0 : kErrEnvelopeInput;
  }

  int ReadU16(std::uint16_t& v) {
    unsigned char b[2];
    const int r = Read(b, 2);
    v = GetU16(b);
    return r;
  }

 private:
  std::ifstream file_;
  std::uint64_t pos_ = 0;
  std::uint64_t limit_ = 0;
};

int Open(const std::filesystem::path& inPath, const std::filesystem::path& outPath, const RsaPrivateKey& key,
         const RsaPublicKey& sender, int recipientIndex, OpenRequirements requirements) {
  if (sender.bits > kMaxRsaModulusBits || key.bits > kMaxRsaModulusBits) return kErrModulusLength;

  SealedInput in(inPath);
  if (!in.IsOpen()) return kErrEnvelopeInput;
  if (SameFile(inPath, outPath)) return kErrEnvelopeOutput;
  Output out(outPath);
  if (!out.Create()) return kErrEnvelopeOutput;

  std::uint32_t plainLen = 0;
  if (!in.ReadTrailer(plainLen) || !in.SkipHeader()) return kErrEnvelopeInput;

  std::uint16_t extraLen = 0;
  if (int r = in.ReadU16(extraLen); r != 0) return r;
  if (int r = in.Skip(extraLen); r != 0) return r;
  unsigned char algorithms[4];
  if (int r = in.Read(algorithms, 4); r != 0) return r;
  const int cipher = algorithms[0];
  const int digest = algorithms[1];
  const bool encrypt = cipher != 0;
  const bool sign = digest != 0;
  if (requirements.signature && !sign) return kErrEnvelopeNotSigned;
  if (requirements.encryption && !encrypt) return kErrEnvelopeNotEncrypted;

  ContentCipher cd{};
  cd.holdBack = 1;
  DigestContext dctx{};
  unsigned char material[kMaxRsaModulusLen]{};
  unsigned char rsaBlock[kMaxRsaModulusLen]{};
  unsigned char chunk[kEnvelopeChunk]{};
  unsigned char plain[kEnvelopeChunk + 8]{};
  unsigned char hash[kDigestLength]{};
  unsigned char info[kDigestInfoLen]{};
  WipeOnExit<ContentCipher> w1(cd);
  WipeOnExit<DigestContext> w2(dctx);
  WipeOnExit<unsigned char[kMaxRsaModulusLen]> w3(material);
  WipeOnExit<unsigned char[kMaxRsaModulusLen]> w4(rsaBlock);
  WipeOnExit<unsigned char[kEnvelopeChunk]> w5(chunk);
  WipeOnExit<unsigned char[kEnvelopeChunk + 8]> w6(plain);
  WipeOnExit<unsigned char[kDigestLength]> w7(hash);
  WipeOnExit<unsigned char[kDigestInfoLen]> w8(info);

  std::uint64_t bodyLen = plainLen;
  if (encrypt) {
    unsigned char iv[8];
    if (int r = in.Read(iv, sizeof iv); r != 0) return r;
    unsigned char countByte = 0;
    if (int r = in.Read(&countByte, 1); r != 0) return r;
    const int count = static_cast<signed char>(countByte);
    std::size_t encryptedLen = 0;
    bool found = false;
    for (int i = 0; i < count; ++i) {
      std::uint16_t len = 0;
      if (int r = in.ReadU16(len); r != 0) return r;
      if (i == recipientIndex) {
        if (len > kMaxRsaModulusLen) return kErrLength;
        if (int r = in.Read(rsaBlock, len); r != 0) return r;
        encryptedLen = len;
        found = true;
      } else if (int r = in.Skip(len); r != 0) {
        return r;
      }
    }
    if (!found) return kErrEnvelopeRecipient;
    std::size_t materialLen = 0;
    if (rsa_private_decrypt(material, materialLen, rsaBlock, encryptedLen, key) != 0) return kErrPrivateKey;
    if (materialLen != (cipher == kCipherDesCbc ? 8u : 24u)) return kErrPrivateKey;
    if (int r = cbc_init(cd.cbc, cipher, material, iv, CipherDirection::kDecrypt); r != 0) return r;
    bodyLen = (static_cast<std::uint64_t>(plainLen) / 8 + 1) * 8;
  }
  if (sign)
    if (int r = digest_init(dctx, digest); r != 0) return r;
  // A body that runs into the trailer means a damaged length: stop before writing anything.
  if (bodyLen > in.Left()) return kErrLength;

  auto emit = [&](const unsigned char* p, std::size_t n) {
    if (sign) digest_update(dctx, p, n);
    return out.Write(p, n);
  };
  for (std::uint64_t left = bodyLen; left > 0;) {
    const std::size_t n = left < kEnvelopeChunk ? static_cast<std::size_t>(left) : kEnvelopeChunk;
    if (int r = in.Read(chunk, n); r != 0) return r;
    left -= n;
    if (encrypt) {
      std::size_t outLen = 0;
      if (int r = cd.Update(plain, outLen, chunk, n); r != 0) return r;
      if (!emit(plain, outLen)) return kErrEnvelopeOutput;
    } else if (!emit(chunk, n)) {
      return kErrEnvelopeOutput;
    }
  }
  if (encrypt) {
    std::size_t outLen = 0;
    if (int r = cd.Unpad(plain, outLen); r != 0) return r;
    if (!emit(plain, outLen)) return kErrEnvelopeOutput;
  }

  if (sign) {
    std::uint16_t sigLen = 0;
    if (int r = in.ReadU16(sigLen); r != 0) return r;
    if (sigLen > kMaxRsaModulusLen) return kErrLength;
    if (int r = in.Read(rsaBlock, sigLen); r != 0) return r;
    std::size_t openedLen = 0;
    if (rsa_public_decrypt(material, openedLen, rsaBlock, sigLen, sender) != 0) return kErrPublicKey;
    unsigned hashLen = 0;
    digest_final(dctx, hash, hashLen);
    BuildDigestInfo(digest, hash, info);
    if (openedLen != kDigestInfoLen || std::memcmp(material, info, kDigestInfoLen) != 0) return kErrSignature;
  }
  if (!out.Keep()) return kErrEnvelopeOutput;
  return 0;
}

}  // namespace

namespace {

// The register after shifting each possible top byte through the eight steps, one table look-up per byte.
constexpr std::array<std::uint16_t, 256> kCrcTable = [] {
  std::array<std::uint16_t, 256> t{};
  for (unsigned v = 0; v < 256; ++v) {
    auto crc = static_cast<std::uint16_t>(v << 8);
    for (int b = 0; b < 8; ++b) crc = static_cast<std::uint16_t>((crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1);
    t[v] = crc;
  }
  return t;
}();

}  // namespace

std::uint16_t crc16_ccitt(const unsigned char* data, std::size_t len, std::uint16_t crc) noexcept {
  for (std::size_t i = 0; i < len; ++i)
    crc = static_cast<std::uint16_t>((crc << 8) ^ kCrcTable[((crc >> 8) ^ data[i]) & 0xFF]);
  return crc;
}

// The envelope never raises: whatever escapes the streams (only allocation can) becomes a failure result,
// and the output's destructor has already removed a partial file.
int seal_file(const std::filesystem::path& in, const std::filesystem::path& out, const RsaPrivateKey& key,
              std::span<const RsaPublicKey> recipients, std::span<const unsigned char> extra, int cipher, int digest) {
  try {
    return Seal(in, out, key, recipients, extra, cipher, digest);
  } catch (...) {
    return kErrEnvelopeOutput;
  }
}

int open_file(const std::filesystem::path& in, const std::filesystem::path& out, const RsaPrivateKey& key,
              const RsaPublicKey& sender, int recipientIndex, OpenRequirements requirements) {
  try {
    return Open(in, out, key, sender, recipientIndex, requirements);
  } catch (...) {
    return kErrEnvelopeOutput;
  }
}

}  // namespace telvarim
