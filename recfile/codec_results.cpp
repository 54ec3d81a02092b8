#include "codec_results.h"

#include <fstream>
#include <string_view>
#include <system_error>

#include "cp1252.h"
#include "crypto/errors.h"
#include "envelope.h"
#include "lzw.h"

namespace telvarim {

namespace {

namespace fs = std::filesystem;

std::string Quoted(const fs::path& p) {
  const std::u8string u = p.u8string();
  return "'" + Utf8ParaCp1252(std::string_view(reinterpret_cast<const char*>(u.data()), u.size())) + "'";
}

bool Readable(const fs::path& p) { return std::ifstream(p, std::ios::binary).is_open(); }

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec);
}

class Names {
 public:
  explicit Names(const CodecFiles& f) : f_(f) {}
  std::string In() const { return f_.input.empty() ? "the input" : Quoted(f_.input); }
  std::string Out() const { return f_.output.empty() ? "the output" : Quoted(f_.output); }
  bool InputNamed() const { return !f_.input.empty(); }
  // Both named and one file: creating the output would have destroyed the input.
  bool Same() const { return InputNamed() && !f_.output.empty() && SameFile(f_.input, f_.output); }
  // Named and cannot be opened now.
  bool InputMissing() const { return InputNamed() && !Readable(f_.input); }

 private:
  const CodecFiles& f_;
};

std::string SameFileText(const Names& n) { return n.In() + " and " + n.Out() + " are the same file"; }

std::string Lzw(int code, const Names& n) {
  switch (code) {
    case kLzwExpansaoOk:
      return "done";
    case kLzwErroAbertura:
      if (n.Same()) return SameFileText(n);
      if (n.InputMissing()) return "cannot open " + n.In();
      if (n.InputNamed()) return "cannot create " + n.Out();
      return "cannot open the input or create the output, or the output is the input itself";
    case kLzwErroAlocacao:
      return "out of memory";
    case kLzwErroExpansao:
      return n.In() + " is not valid compressed data (corrupt or foreign)";
    case kLzwErroEscrita:
      return "cannot write " + n.Out() + " (disk full?)";
    case kLzwErroLeitura:
      return "cannot read " + n.In();
    case kLzwErroLimite:
      return n.In() + " expands past the size allowed for it (damaged or foreign data)";
    default:
      return {};
  }
}

std::string Envelope(int code, const Names& n, bool opening, int recipientIndex) {
  switch (code) {
    case kCryptoOk:
      return "done";
    case kErrEnvelopeInput:
      if (n.InputMissing()) return "cannot open " + n.In();
      if (!opening) return n.InputNamed() ? "cannot read " + n.In() : "cannot open or read the input";
      return n.InputNamed() ? n.In() + " is not a sealed file (no header end or trailer), or cannot be read"
                            : "the input cannot be opened or read, or is not a sealed file (no header end or "
                              "trailer)";
    case kErrEnvelopeOutput:
      if (n.Same()) return SameFileText(n);
      return "cannot create or write " + n.Out();
    case kErrEnvelopeRecipient:
      if (!opening) return {};
      return n.In() + " holds no key for recipient index " + std::to_string(recipientIndex);
    case kErrData:
      return "data error (an RSA block without the expected form)";
    case kErrDigestAlgorithm:
      return "unknown digest algorithm (not 3 or 5)";
    case kErrPadding:
      return "bad padding in the last block (wrong key or damaged file)";
    case kErrLength:
      return opening ? "length error: an encrypted key or signature over 128 bytes, or a length that runs past "
                       "the end of " +
                           n.In() + " (damaged file)"
                     : "length error (too many recipients, too much extra data or an input of 4 GiB or more)";
    case kErrModulusLength:
      return "a key's modulus is longer than 1024 bits";
    case kErrNeedRandom:
      return "the operating system gave no random bytes";
    case kErrPrivateKey:
      return opening ? "cannot recover the content key (wrong private key?)" : "signing failed (bad private key)";
    case kErrPublicKey:
      return opening ? "cannot open the signature (wrong sender key or damaged signature)"
                     : "cannot encrypt the content key to a recipient (bad public key)";
    case kErrSignature:
      return "the signature does not match the data (wrong sender key or altered file)";
    case kErrEncryptionAlgorithm:
      return "unknown encryption algorithm (not 1 to 4)";
    default:
      return {};
  }
}

}  // namespace

std::string codec_result_text(Codec codec, int code, const CodecFiles& files) {
  const Names names(files);
  std::string text;
  switch (codec) {
    case Codec::kLzwCompression:
      if (code == kLzwCompressaoOk) text = "done";
      if (code == kLzwCompressaoFalhou) text = "compression failed";
      break;
    case Codec::kLzw:
      text = Lzw(code, names);
      break;
    case Codec::kSeal:
      text = Envelope(code, names, false, files.recipientIndex);
      break;
    case Codec::kOpen:
      text = Envelope(code, names, true, files.recipientIndex);
      break;
  }
  if (text.empty()) text = "unknown result code " + std::to_string(code);
  return text;
}

}  // namespace telvarim
