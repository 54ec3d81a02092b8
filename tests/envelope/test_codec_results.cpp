// The texts of the codecs' result codes: every code each operation can return has its own text, the same
// number reads by the operation that gave it, and with the files named the text says which file failed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "codec_results.h"
#include "crypto/errors.h"
#include "envelope.h"
#include "lzw.h"
#include "pasta_temporaria.h"

namespace telvarim {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

bool Unknown(const std::string& text) { return text.rfind("unknown result code", 0) == 0; }

TEST(CodecResults, EveryCodeOfEachOperationHasItsOwnText) {
  const std::vector<int> crypto = {kErrData,          kErrDigestAlgorithm,    kErrPadding,    kErrLength,
                                   kErrModulusLength, kErrNeedRandom,         kErrPrivateKey, kErrPublicKey,
                                   kErrSignature,     kErrEncryptionAlgorithm};
  std::vector<int> seal = {kErrEnvelopeInput, kErrEnvelopeOutput};
  seal.insert(seal.end(), crypto.begin(), crypto.end());
  std::vector<int> open = seal;
  open.insert(open.end(), {kErrEnvelopeRecipient, kErrEnvelopeNotSigned, kErrEnvelopeNotEncrypted});
  const struct {
    Codec codec;
    std::vector<int> failures;
  } cases[] = {
      {Codec::kLzw,
       {kLzwErroAbertura, kLzwErroAlocacao, kLzwErroExpansao, kLzwErroEscrita, kLzwErroLeitura, kLzwErroLimite}},
      {Codec::kSeal, seal},
      {Codec::kOpen, open},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.codec));
    EXPECT_EQ(codec_result_text(c.codec, 0), "done");
    std::set<std::string> seen{"done"};
    for (int code : c.failures) {
      SCOPED_TRACE(code);
      const std::string text = codec_result_text(c.codec, code);
      EXPECT_FALSE(Unknown(text)) << text;
      EXPECT_TRUE(seen.insert(text).second) << "shared by two codes: " << text;
    }
    EXPECT_EQ(codec_result_text(c.codec, 777), "unknown result code 777");
  }
}

// The spaces overlap: the number alone does not tell what happened.
TEST(CodecResults, TheSameNumberReadsByTheOperation) {
  EXPECT_THAT(codec_result_text(Codec::kLzw, kLzwErroAbertura), HasSubstr("cannot open"));
  EXPECT_TRUE(Unknown(codec_result_text(Codec::kSeal, kLzwErroAbertura)));
  EXPECT_EQ(codec_result_text(Codec::kLzw, kLzwOk), "done");
  EXPECT_NE(codec_result_text(Codec::kSeal, kErrLength), codec_result_text(Codec::kOpen, kErrLength));
  EXPECT_NE(codec_result_text(Codec::kSeal, kErrPrivateKey), codec_result_text(Codec::kOpen, kErrPrivateKey));
  for (int c : {kErrEnvelopeRecipient, kErrEnvelopeNotSigned, kErrEnvelopeNotEncrypted})
    EXPECT_TRUE(Unknown(codec_result_text(Codec::kSeal, c))) << "sealing never gives " << c;
  EXPECT_TRUE(Unknown(codec_result_text(Codec::kLzw, kErrEnvelopeInput)));
  EXPECT_TRUE(Unknown(codec_result_text(Codec::kOpen, kLzwErroExpansao)));
}

// The workspace's log speaks Portuguese: every code has its own text there too, and never an English one.
TEST(CodecResults, EveryCodeHasItsOwnPortugueseText) {
  const struct {
    Codec codec;
    std::vector<int> codes;
  } cases[] = {
      {Codec::kLzw, {0, 1, 2, 3, 4, 5, 6}},
      {Codec::kSeal, {0, kErrEnvelopeInput, kErrEnvelopeOutput, kErrLength, kErrPrivateKey, kErrPublicKey}},
      {Codec::kOpen,
       {0, kErrEnvelopeInput, kErrEnvelopeOutput, kErrEnvelopeRecipient, kErrEnvelopeNotSigned,
        kErrEnvelopeNotEncrypted, kErrData, kErrDigestAlgorithm, kErrPadding, kErrLength, kErrModulusLength,
        kErrNeedRandom, kErrPrivateKey, kErrPublicKey, kErrSignature, kErrEncryptionAlgorithm}},
  };
  for (const auto& c : cases) {
    std::set<std::string> seen;
    for (int code : c.codes) {
      SCOPED_TRACE(std::to_string(static_cast<int>(c.codec)) + "/" + std::to_string(code));
      const std::string pt = codec_result_text(c.codec, code, {}, Language::kPortuguese);
      EXPECT_NE(pt, codec_result_text(c.codec, code)) << "not translated";
      EXPECT_TRUE(seen.insert(pt).second) << "shared by two codes: " << pt;
      EXPECT_EQ(pt.find('{'), std::string::npos) << "a placeholder left: " << pt;
    }
  }
  // cp1252, as all engine text; unnamed files and unknown codes in Portuguese too.
  EXPECT_EQ(codec_result_text(Codec::kLzw, kLzwErroEscrita, {}, Language::kPortuguese),
            "n\xE3o foi poss\xEDvel gravar a sa\xED"
            "da (disco cheio?)");
  EXPECT_EQ(codec_result_text(Codec::kOpen, kErrEnvelopeRecipient, {"R_1.rec", {}, 2}, Language::kPortuguese),
            "'R_1.rec' n\xE3o traz chave para o destinat\xE1rio de \xEDndice 2");
  EXPECT_EQ(codec_result_text(Codec::kOpen, 777, {}, Language::kPortuguese),
            "c\xF3"
            "digo de resultado desconhecido 777");
}

class CodecResultFiles : public teste::PastaTemporaria {};

// Codes that stand for more than one cause: the files say which.
TEST_F(CodecResultFiles, NamedFilesTellWhichOneFailed) {
  const auto in = Grava("TMP2.REC", "abc");
  const auto missing = pasta / "NADA.REC";
  const auto noFolder = pasta / "sem" / "TMP1.REC";
  const std::string q = "'" + in.string() + "'";
  const struct {
    const char* what;
    Codec codec;
    int code;
    CodecFiles files;
    std::string text;
  } cases[] = {
      {"lzw: input missing",
       Codec::kLzw,
       kLzwErroAbertura,
       {missing, pasta / "x"},
       "cannot open '" + missing.string() + "'"},
      {"lzw: output cannot be created",
       Codec::kLzw,
       kLzwErroAbertura,
       {in, noFolder},
       "cannot create '" + noFolder.string() + "'"},
      {"lzw: output is the input",
       Codec::kLzw,
       kLzwErroAbertura,
       {in, pasta / "." / "TMP2.REC"},
       q + " and '" + (pasta / "." / "TMP2.REC").string() + "' are the same file"},
      {"lzw: corrupt input",
       Codec::kLzw,
       kLzwErroExpansao,
       {in, noFolder},
       q + " is not valid compressed data (corrupt or foreign)"},
      {"open: input missing",
       Codec::kOpen,
       kErrEnvelopeInput,
       {missing, pasta / "x"},
       "cannot open '" + missing.string() + "'"},
      {"open: not sealed",
       Codec::kOpen,
       kErrEnvelopeInput,
       {in, pasta / "x"},
       q + " is not a sealed file (no header end or trailer), or cannot be read"},
      {"seal: input opens, a read fails", Codec::kSeal, kErrEnvelopeInput, {in, pasta / "x"}, "cannot read " + q},
      {"seal: output is the input", Codec::kSeal, kErrEnvelopeOutput, {in, in}, q + " and " + q + " are the same file"},
      {"seal: output cannot be created",
       Codec::kSeal,
       kErrEnvelopeOutput,
       {in, noFolder},
       "cannot create or write '" + noFolder.string() + "'"},
      {"open: recipient index",
       Codec::kOpen,
       kErrEnvelopeRecipient,
       {in, pasta / "x", 3},
       q + " holds no key for recipient index 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(codec_result_text(c.codec, c.code, c.files), c.text);
  }
  // Unnamed, the same codes speak of the input and the output.
  EXPECT_THAT(codec_result_text(Codec::kLzw, kLzwErroExpansao), StartsWith("the input is not"));
  EXPECT_THAT(codec_result_text(Codec::kLzw, kLzwErroEscrita), HasSubstr("the output"));
}

}  // namespace
}  // namespace telvarim
