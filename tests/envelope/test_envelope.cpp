// The sealed file envelope: round trips over every algorithm, the exact layout and sizes, files read and
// written by OpenSSL as an independent peer, and what damaged files, wrong keys and bad arguments give.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "crypto/errors.h"
#include "crypto/keygen.h"
#include "crypto/random_pool.h"
#include "envelope.h"
#include "oracle.h"
#include "pasta_temporaria.h"

namespace telvarim::test {
namespace {

namespace fs = std::filesystem;
using ::testing::AnyOf;

struct Pair {
  RsaPublicKey pub{};
  RsaPrivateKey priv{};
};

// Three 512-bit pairs, the same on every run: 0 signs, 1 and 2 receive.
const Pair& Keys(int i) {
  static const std::vector<Pair> pairs = [] {
    std::vector<Pair> v(3);
    for (std::size_t k = 0; k < v.size(); ++k) {
      RandomPool pool = seeded_pool(7000 + k);
      const RandomSource source = [&pool](unsigned char* out, std::size_t n) { return random_generate(pool, out, n); };
      if (rsa_generate_keypair(512, source, v[k].pub, v[k].priv) != 0) throw std::runtime_error("keygen");
    }
    return v;
  }();
  return pairs[static_cast<std::size_t>(i)];
}

Bytes ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& p, const Bytes& b) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

Bytes Plain(std::size_t n, std::uint64_t seed = 1) {
  std::mt19937_64 rng(seed);
  return random_bytes(rng, n);
}

std::uint16_t U16(const Bytes& f, std::size_t at) { return static_cast<std::uint16_t>(f[at] | (f[at + 1] << 8)); }
std::uint32_t U32(const Bytes& f, std::size_t at) {
  return static_cast<std::uint32_t>(f[at]) | static_cast<std::uint32_t>(f[at + 1]) << 8 |
         static_cast<std::uint32_t>(f[at + 2]) << 16 | static_cast<std::uint32_t>(f[at + 3]) << 24;
}
void PutU16(Bytes& f, std::size_t at, std::uint16_t v) {
  f[at] = static_cast<unsigned char>(v);
  f[at + 1] = static_cast<unsigned char>(v >> 8);
}
void PutU32(Bytes& f, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) f[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// Offsets in a file sealed with one recipient, no extra data and 512-bit keys.
constexpr std::size_t kIv = 33, kCount = 41, kKeyLen = 42, kBody = 108;

class Envelope : public teste::PastaTemporaria {
 protected:
  fs::path P(const std::string& name) const { return pasta / name; }

  // Seals `plain` from key 0 to key 1 (or to `to`).
  int Seal(const Bytes& plain, const fs::path& out, int cipher = 1, int digest = 5,
           std::vector<RsaPublicKey> to = {Keys(1).pub}, std::span<const unsigned char> extra = {}) {
    WriteAll(P("plain.in"), plain);
    return seal_file(P("plain.in"), out, Keys(0).priv, to, extra, cipher, digest);
  }
  int Open(const fs::path& in, const fs::path& out, int receiver = 1, int index = 0, int sender = 0) {
    return open_file(in, out, Keys(receiver).priv, Keys(sender).pub, index);
  }
  Bytes SealedFile(const Bytes& plain, int cipher = 1, int digest = 5) {
    EXPECT_EQ(Seal(plain, P("base.rec"), cipher, digest), 0);
    return ReadAll(P("base.rec"));
  }
};

TEST(Crc16, CcittFalseCheckValueAndContinuation) {
  const unsigned char digits[] = "123456789";
  EXPECT_EQ(crc16_ccitt(digits, 9), 0x29B1);
  EXPECT_EQ(crc16_ccitt(digits, 0), 0xFFFF);
  EXPECT_EQ(crc16_ccitt(digits + 4, 5, crc16_ccitt(digits, 4)), 0x29B1);
}

TEST_F(Envelope, RoundTripsEveryCipherDigestAndLength) {
  const std::size_t lengths[] = {0, 1, 7, 8, 9, 23, 24, 25, 100003};
  for (int cipher = 0; cipher <= 4; ++cipher) {
    for (int digest : {0, 3, 5}) {
      for (std::size_t len : lengths) {
        SCOPED_TRACE("cipher " + std::to_string(cipher) + " digest " + std::to_string(digest) + " length " +
                     std::to_string(len));
        const Bytes plain = Plain(len, len + 1);
        ASSERT_EQ(Seal(plain, P("s.rec"), cipher, digest), 0);
        const Bytes sealed = ReadAll(P("s.rec"));
        const std::size_t body = cipher != 0 ? (len / 8 + 1) * 8 : len;
        const std::size_t expected =
            27 + 2 + 4 + (cipher != 0 ? 8 + 1 + 2 + 64 : 0) + body + (digest != 0 ? 2 + 64 : 0) + 6;
        ASSERT_EQ(sealed.size(), expected);
        EXPECT_EQ(sealed[29], cipher);
        EXPECT_EQ(sealed[30], digest);
        EXPECT_EQ(U32(sealed, sealed.size() - 6), len);
        EXPECT_EQ(U16(sealed, sealed.size() - 2), crc16_ccitt(plain.data(), plain.size()));
        if (cipher == 0) {
          EXPECT_TRUE(std::equal(plain.begin(), plain.end(), sealed.begin() + 33)) << "the body is the plain bytes";
        }
        ASSERT_EQ(Open(P("s.rec"), P("s.out")), 0);
        EXPECT_EQ(ReadAll(P("s.out")), plain);
      }
    }
  }
}

TEST_F(Envelope, ProductLayoutIsBytePerByte) {
  const Bytes plain = Plain(100);
  const Bytes f = SealedFile(plain);
  const std::size_t b = 104;
  ASSERT_EQ(f.size(), b + 180);
  const std::string header = "Quintaro Encrypted File\r\n\x1a";
  EXPECT_EQ(std::string(f.begin(), f.begin() + 26), header);
  EXPECT_EQ(f[26], 0);
  EXPECT_EQ(U16(f, 27), 0) << "no extra data";
  EXPECT_EQ(f[29], 1);
  EXPECT_EQ(f[30], 5);
  EXPECT_EQ(U16(f, 31), 0);
  EXPECT_EQ(f[kCount], 1);
  EXPECT_EQ(U16(f, kKeyLen), 64);
  EXPECT_EQ(U16(f, kBody + b), 64) << "signature length after the body";

  // An empty input still gets one whole padding block.
  const Bytes empty = SealedFile({});
  EXPECT_EQ(empty.size(), 8u + 180u);
  EXPECT_EQ(U32(empty, empty.size() - 6), 0u);
  ASSERT_EQ(Open(P("base.rec"), P("empty.out")), 0);
  EXPECT_TRUE(fs::exists(P("empty.out")));
  EXPECT_EQ(fs::file_size(P("empty.out")), 0u);
}

TEST_F(Envelope, EverySealingDrawsFreshKeyMaterial) {
  const Bytes plain = Plain(64);
  const Bytes a = SealedFile(plain);
  const Bytes b = SealedFile(plain);
  EXPECT_FALSE(std::equal(a.begin() + kIv, a.begin() + kIv + 8, b.begin() + kIv)) << "same IV twice";
  EXPECT_FALSE(std::equal(a.begin() + kBody, a.begin() + kBody + 72, b.begin() + kBody)) << "same ciphertext";
}

// OpenSSL as the peer: it opens what we seal, and we open what it seals.
TEST_F(Envelope, OpenSslReadsOurFile) {
  TELVARIM_PRECISA_ORACULO();
  const Bytes plain = Plain(1000);
  const Bytes f = SealedFile(plain);
  const Pkey receiver = openssl_key_from(Keys(1).priv);
  const Pkey sender = openssl_key_from(Keys(0).priv);
  const Bytes encryptedKey(f.begin() + kKeyLen + 2, f.begin() + kBody);
  const Bytes key = openssl_decrypt(receiver.get(), encryptedKey, RSA_PKCS1_PADDING);
  ASSERT_EQ(key.size(), 8u);
  const Bytes iv(f.begin() + kIv, f.begin() + kIv + 8);
  const std::size_t b = 1008;
  Bytes padded = openssl_cbc("DES-CBC", key, iv, Bytes(f.begin() + kBody, f.begin() + kBody + b), false);
  ASSERT_EQ(padded.size(), b);
  EXPECT_EQ(Bytes(padded.begin() + 1000, padded.end()), Bytes(8, 8));
  padded.resize(1000);
  EXPECT_EQ(padded, plain);
  // PKCS #1 v1.5 signatures are deterministic: OpenSSL's must be ours.
  EXPECT_EQ(Bytes(f.begin() + kBody + b + 2, f.end() - 6), openssl_sign_md5(sender.get(), plain));
}

TEST_F(Envelope, WeOpenAnOpenSslFileWithOtherHeaderExtraDataAndTwoRecipients) {
  TELVARIM_PRECISA_ORACULO();
  const Bytes plain = Plain(333);
  const Bytes material = Plain(24, 99), iv = Plain(8, 98);
  const Pkey other = openssl_key_from(Keys(2).pub), ours = openssl_key_from(Keys(1).pub);
  const Pkey sender = openssl_key_from(Keys(0).priv);
  Bytes padded = plain;
  padded.insert(padded.end(), 3, 3);  // 333 + 3 = 336
  const Bytes body = openssl_cbc("DES-EDE3-CBC", material, iv, padded, true);

  Bytes f = bytes_of("Another writer");
  f.push_back(0);
  f.insert(f.end(), {3, 0, 'x', 'y', 'z', 3, 5, 0, 0});
  f.insert(f.end(), iv.begin(), iv.end());
  f.push_back(2);
  for (const Pkey* k : {&other, &ours}) {
    const Bytes e = openssl_encrypt(k->get(), material, RSA_PKCS1_PADDING);
    f.insert(f.end(), {static_cast<unsigned char>(e.size()), 0});
    f.insert(f.end(), e.begin(), e.end());
  }
  f.insert(f.end(), body.begin(), body.end());
  const Bytes sig = openssl_sign_md5(sender.get(), plain);
  f.insert(f.end(), {static_cast<unsigned char>(sig.size()), 0});
  f.insert(f.end(), sig.begin(), sig.end());
  f.insert(f.end(), 6, 0);
  PutU32(f, f.size() - 6, 333);
  PutU16(f, f.size() - 2, crc16_ccitt(plain.data(), plain.size()));
  WriteAll(P("theirs.rec"), f);

  ASSERT_EQ(Open(P("theirs.rec"), P("theirs.out"), 1, 1), 0);
  EXPECT_EQ(ReadAll(P("theirs.out")), plain);
}

TEST_F(Envelope, EachRecipientOpensItsOwnEntry) {
  const Bytes plain = Plain(50);
  ASSERT_EQ(Seal(plain, P("m.rec"), 2, 3, {Keys(2).pub, Keys(1).pub, Keys(0).pub}), 0);
  EXPECT_EQ(fs::file_size(P("m.rec")), 27 + 2 + 4 + 9 + 3 * 66 + 56 + 66 + 6u);
  for (int index = 0; index < 3; ++index) {
    SCOPED_TRACE(index);
    ASSERT_EQ(Open(P("m.rec"), P("m.out"), 2 - index, index), 0);
    EXPECT_EQ(ReadAll(P("m.out")), plain);
  }
  EXPECT_EQ(Open(P("m.rec"), P("m.out"), 1, 3), kErrEnvelopeRecipient);
  EXPECT_EQ(Open(P("m.rec"), P("m.out"), 1, -1), kErrEnvelopeRecipient);
  EXPECT_THAT(Open(P("m.rec"), P("m.out"), 1, 0), AnyOf(kErrPrivateKey, kErrPadding, kErrSignature))
      << "another recipient's entry";
}

TEST_F(Envelope, ExtraDataTravelsUnencryptedAndIsSkipped) {
  const unsigned char extra[] = {'A', 'B', 'C'};
  const Bytes plain = Plain(20);
  ASSERT_EQ(Seal(plain, P("x.rec"), 1, 5, {Keys(1).pub}, extra), 0);
  const Bytes f = ReadAll(P("x.rec"));
  EXPECT_EQ(U16(f, 27), 3);
  EXPECT_EQ(std::string(f.begin() + 29, f.begin() + 32), "ABC");
  ASSERT_EQ(Open(P("x.rec"), P("x.out")), 0);
  EXPECT_EQ(ReadAll(P("x.out")), plain);
}

TEST_F(Envelope, AnyHeaderEndingInZeroIsAccepted) {
  const Bytes plain = Plain(40);
  const Bytes f = SealedFile(plain);
  for (std::size_t len : {1u, 2u, 26u, 27u, 500u}) {
    SCOPED_TRACE(len);
    Bytes g(len - 1, 0xC3);
    g.push_back(0);
    g.insert(g.end(), f.begin() + 27, f.end());
    WriteAll(P("h.rec"), g);
    ASSERT_EQ(Open(P("h.rec"), P("h.out")), 0);
    EXPECT_EQ(ReadAll(P("h.out")), plain);
  }
}

TEST_F(Envelope, WrongKeysAreRefused) {
  SealedFile(Plain(100));
  // Another key gives a block of the key form with the right length once in about 10^7 sealings.
  EXPECT_EQ(Open(P("base.rec"), P("o"), 2), kErrPrivateKey);
  EXPECT_EQ(Open(P("base.rec"), P("o"), 1, 0, 2), kErrPublicKey) << "another sender's key";
  EXPECT_FALSE(fs::exists(P("o")));
}

// A reader that takes files from one sender only asks for a signature and for encryption: a file without
// either is refused right after its header, whatever its body holds, and leaves no output. Without the
// requirements every form still opens.
TEST_F(Envelope, RequiredSignatureAndEncryptionRefuseOtherForms) {
  const Bytes plain = Plain(100);
  const OpenRequirements ambos{.signature = true, .encryption = true};
  const struct {
    int cipher, digest;
    OpenRequirements exige;
    int esperado;
  } cases[] = {
      {1, 5, ambos, 0},
      {0, 0, ambos, kErrEnvelopeNotSigned},
      {1, 0, ambos, kErrEnvelopeNotSigned},
      {0, 5, ambos, kErrEnvelopeNotEncrypted},
      {0, 5, {.signature = true}, 0},
      {1, 0, {.encryption = true}, 0},
      {0, 0, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.cipher) + "/" + std::to_string(c.digest));
    SealedFile(plain, c.cipher, c.digest);
    WriteAll(P("o"), {1, 2, 3});
    EXPECT_EQ(open_file(P("base.rec"), P("o"), Keys(1).priv, Keys(0).pub, 0, c.exige), c.esperado);
    if (c.esperado == 0) {
      EXPECT_EQ(ReadAll(P("o")), plain);
    } else {
      EXPECT_FALSE(fs::exists(P("o")));
    }
  }
  // A genuine file whose digest byte was set to 0 (a signature stripped in transit) is refused as unsigned.
  Bytes f = SealedFile(plain);
  f[30] = 0;
  WriteAll(P("sem.rec"), f);
  EXPECT_EQ(open_file(P("sem.rec"), P("o"), Keys(1).priv, Keys(0).pub, 0, ambos), kErrEnvelopeNotSigned);
}

TEST_F(Envelope, SignatureOfOtherDataDoesNotMatch) {
  Bytes a = SealedFile(Plain(100, 1));
  const Bytes b = SealedFile(Plain(100, 2));
  std::copy(b.end() - 6 - 64, b.end() - 6, a.end() - 6 - 64);
  WriteAll(P("a.rec"), a);
  EXPECT_EQ(Open(P("a.rec"), P("a.out")), kErrSignature);
  EXPECT_FALSE(fs::exists(P("a.out")));
}

// Damage to a sealed file (100 plain bytes, B = 104): the code, and the output removed even where a file of
// that name existed before.
TEST_F(Envelope, DamagedFilesFailWithTheirCodeAndLeaveNoOutput) {
  constexpr std::size_t kSig = kBody + 104;  // signature length field
  struct Case {
    const char* what;
    int cipher;
    std::function<void(Bytes&)> damage;
    std::vector<int> codes;
  };
  const auto trailerOf = [](const Bytes& f) { return Bytes(f.end() - 6, f.end()); };
  const Case cases[] = {
      {"shorter than a trailer", 1, [](Bytes& f) { f.resize(5); }, {kErrEnvelopeInput}},
      {"no 00 ends the header",
       1,
       [](Bytes& f) {
         f.assign(40, 'A');
         f.insert(f.end(), 6, 0);
       },
       {kErrEnvelopeInput}},
      {"header 00 only inside the trailer",
       1,
       [](Bytes& f) {
         f.assign(10, 'A');
         f.insert(f.end(), 6, 0);
       },
       {kErrEnvelopeInput}},
      {"extra-data length past the end", 1, [](Bytes& f) { PutU16(f, 27, 0xFFFF); }, {kErrLength}},
      {"algorithm bytes cut off",
       1,
       [&](Bytes& f) {
         const Bytes t = trailerOf(f);
         f.resize(30);
         f.insert(f.end(), t.begin(), t.end());
       },
       {kErrLength}},
      {"encrypted key over 128 bytes", 1, [](Bytes& f) { PutU16(f, kKeyLen, 129); }, {kErrLength}},
      {"encrypted key past the end",
       1,
       [&](Bytes& f) {
         const Bytes t = trailerOf(f);
         f.resize(kKeyLen + 12);
         f.insert(f.end(), t.begin(), t.end());
       },
       {kErrLength}},
      {"recipient count 0", 1, [](Bytes& f) { f[kCount] = 0; }, {kErrEnvelopeRecipient}},
      {"negative recipient count", 1, [](Bytes& f) { f[kCount] = 0x80; }, {kErrEnvelopeRecipient}},
      {"plain length past the end", 1, [](Bytes& f) { PutU32(f, f.size() - 6, 1000); }, {kErrLength}},
      {"plain length near 4 GiB", 1, [](Bytes& f) { PutU32(f, f.size() - 6, 0xFFFFFFFF); }, {kErrLength}},
      {"body cut short",
       1,
       [&](Bytes& f) {
         const Bytes t = trailerOf(f);
         f.resize(kBody + 40);
         f.insert(f.end(), t.begin(), t.end());
       },
       {kErrLength}},
      {"signature over 128 bytes", 1, [](Bytes& f) { PutU16(f, kSig, 129); }, {kErrLength}},
      {"signature past the end", 1, [](Bytes& f) { PutU16(f, kSig, 100); }, {kErrLength}},
      {"signature length field cut off",
       1,
       [&](Bytes& f) {
         const Bytes t = trailerOf(f);
         f.resize(kSig + 1);
         f.insert(f.end(), t.begin(), t.end());
       },
       {kErrLength}},
      {"unknown digest algorithm", 1, [](Bytes& f) { f[30] = 7; }, {kErrDigestAlgorithm}},
      {"cipher whose key is 24 bytes on an 8-byte key", 1, [](Bytes& f) { f[29] = 3; }, {kErrPrivateKey}},
      {"unknown encryption algorithm", 3, [](Bytes& f) { f[29] = 9; }, {kErrEncryptionAlgorithm}},
      {"first body block altered", 1, [](Bytes& f) { f[kBody] ^= 1; }, {kErrSignature}},
      {"last body block altered", 1, [](Bytes& f) { f[kBody + 100] ^= 0x55; }, {kErrPadding, kErrSignature}},
      {"signature altered", 1, [](Bytes& f) { f[kSig + 2 + 10] ^= 1; }, {kErrPublicKey}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes f = SealedFile(Plain(100), c.cipher);
    c.damage(f);
    WriteAll(P("d.rec"), f);
    WriteAll(P("d.out"), bytes_of("a temporary left from before"));
    const int r = Open(P("d.rec"), P("d.out"));
    EXPECT_THAT(c.codes, ::testing::Contains(r)) << "got " << r;
    EXPECT_FALSE(fs::exists(P("d.out")));
  }
}

TEST_F(Envelope, OversizeKeysAreRefusedBeforeAnyFileIsTouched) {
  RsaPrivateKey bigPrivate = Keys(0).priv;
  bigPrivate.bits = 1025;
  RsaPublicKey bigPublic = Keys(1).pub;
  bigPublic.bits = 1025;
  const Bytes old = bytes_of("previous contents");
  WriteAll(P("in"), Plain(10));
  const std::vector<RsaPublicKey> good{Keys(1).pub}, twoWithBig{Keys(1).pub, bigPublic};
  const std::function<int()> calls[] = {
      [&] { return seal_file(P("in"), P("out"), bigPrivate, good, {}, 1, 5); },
      [&] { return seal_file(P("in"), P("out"), Keys(0).priv, twoWithBig, {}, 1, 5); },
      [&] { return seal_file(P("missing"), P("out"), bigPrivate, good, {}, 0, 0); },
      [&] { return open_file(P("in"), P("out"), bigPrivate, Keys(0).pub, 0); },
      [&] { return open_file(P("missing"), P("out"), Keys(1).priv, bigPublic, 0); },
  };
  for (const auto& call : calls) {
    WriteAll(P("out"), old);
    EXPECT_EQ(call(), kErrModulusLength);
    EXPECT_EQ(ReadAll(P("out")), old);
  }
}

TEST_F(Envelope, FileErrors) {
  const Bytes plain = Plain(30);
  const Bytes f = SealedFile(plain);
  WriteAll(P("in"), plain);
  const RsaPublicKey to = Keys(1).pub;
  auto seal = [&](const fs::path& in, const fs::path& out) {
    return seal_file(in, out, Keys(0).priv, {&to, 1}, {}, 1, 5);
  };

  EXPECT_EQ(seal(P("missing"), P("out")), kErrEnvelopeInput);
  EXPECT_EQ(Open(P("missing"), P("out")), kErrEnvelopeInput);
  EXPECT_FALSE(fs::exists(P("out")));
  EXPECT_EQ(seal(P("in"), P("no-such-folder") / "out"), kErrEnvelopeOutput);
  EXPECT_EQ(Open(P("base.rec"), P("no-such-folder") / "out"), kErrEnvelopeOutput);

  // The output naming the input would destroy it.
  EXPECT_EQ(seal(P("in"), P(".") / "in"), kErrEnvelopeOutput);
  EXPECT_EQ(ReadAll(P("in")), plain);
  EXPECT_EQ(Open(P("base.rec"), P("base.rec")), kErrEnvelopeOutput);
  EXPECT_EQ(ReadAll(P("base.rec")), f);
}

TEST_F(Envelope, WriteErrorsAreReportedAndADeviceIsNotRemoved) {
  const fs::path full = "/dev/full";
  if (!fs::exists(full)) GTEST_SKIP() << "no /dev/full here";
  SealedFile(Plain(5000));
  WriteAll(P("in"), Plain(5000));
  const RsaPublicKey to = Keys(1).pub;
  EXPECT_EQ(seal_file(P("in"), full, Keys(0).priv, {&to, 1}, {}, 1, 5), kErrEnvelopeOutput);
  EXPECT_EQ(Open(P("base.rec"), full), kErrEnvelopeOutput);
  EXPECT_TRUE(fs::exists(full));
}

TEST_F(Envelope, BadSealingArgumentsFailAndLeaveNoOutput) {
  const std::vector<unsigned char> extra(70000, 0);
  struct Case {
    const char* what;
    int cipher, digest;
    std::size_t recipients, extraLen;
    int code;
  };
  const Case cases[] = {
      {"encryption algorithm 7", 7, 5, 1, 0, kErrEncryptionAlgorithm},
      {"digest algorithm 4", 1, 4, 1, 0, kErrDigestAlgorithm},
      {"128 recipients", 1, 5, 128, 0, kErrLength},
      {"extra data over 65535 bytes", 1, 5, 1, 65536, kErrLength},
  };
  const std::vector<RsaPublicKey> many(128, Keys(1).pub);
  WriteAll(P("in"), Plain(10));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteAll(P("out"), bytes_of("old"));
    EXPECT_EQ(seal_file(P("in"), P("out"), Keys(0).priv, std::span(many).first(c.recipients),
                        std::span(extra).first(c.extraLen), c.cipher, c.digest),
              c.code);
    if (c.code == kErrLength) {
      EXPECT_EQ(ReadAll(P("out")), bytes_of("old")) << "refused before touching the output";
    } else {
      EXPECT_FALSE(fs::exists(P("out"))) << "the partial sealed file is removed";
    }
  }
}

}  // namespace
}  // namespace telvarim::test
