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
  bool InputNamed() const { return !f_.input.empty(); }
  // Both named and one file: creating the output would have destroyed the input.
  bool Same() const { return InputNamed() && !f_.output.empty() && SameFile(f_.input, f_.output); }
  // Named and cannot be opened now.
  bool InputMissing() const { return InputNamed() && !Readable(f_.input); }
  const CodecFiles& Files() const { return f_; }

 private:
  const CodecFiles& f_;
};

// One text in both languages (the Portuguese one written in UTF-8 here). "{in}", "{out}" and "{index}"
// stand for the input, the output and the recipient index.
struct Text {
  const char* en;
  const char* pt;
};

constexpr Text kDone{"done", "concluído"};
constexpr Text kSameFile{"{in} and {out} are the same file", "{in} e {out} são o mesmo arquivo"};
constexpr Text kCannotOpen{"cannot open {in}", "não foi possível abrir {in}"};
constexpr Text kNone{"", ""};

Text Lzw(int code, const Names& n) {
  switch (code) {
    case kLzwOk:
      return kDone;
    case kLzwErroAbertura:
      if (n.Same()) return kSameFile;
      if (n.InputMissing()) return kCannotOpen;
      if (n.InputNamed()) return {"cannot create {out}", "não foi possível criar {out}"};
      return {"cannot open the input or create the output, or the output is the input itself",
              "não foi possível abrir a entrada ou criar a saída, ou a saída é a própria entrada"};
    case kLzwErroAlocacao:
      return {"out of memory", "memória insuficiente"};
    case kLzwErroExpansao:
      return {"{in} is not valid compressed data (corrupt or foreign)",
              "{in} não contém dados compactados válidos (danificado ou de outra origem)"};
    case kLzwErroEscrita:
      return {"cannot write {out} (disk full?)", "não foi possível gravar {out} (disco cheio?)"};
    case kLzwErroLeitura:
      return {"cannot read {in}", "não foi possível ler {in}"};
    case kLzwErroLimite:
      return {"{in} expands past the size allowed for it (damaged or foreign data)",
              "{in} se expande além do tamanho permitido (dados danificados ou de outra origem)"};
    default:
      return kNone;
  }
}

Text Envelope(int code, const Names& n, bool opening) {
  switch (code) {
    case kCryptoOk:
      return kDone;
    case kErrEnvelopeInput:
      if (n.InputMissing()) return kCannotOpen;
      if (!opening) {
        if (n.InputNamed()) return {"cannot read {in}", "não foi possível ler {in}"};
        return {"cannot open or read the input", "não foi possível abrir ou ler a entrada"};
      }
      if (n.InputNamed())
        return {"{in} is not a sealed file (no header end or trailer), or cannot be read",
                "{in} não é um arquivo selado (sem fim de cabeçalho ou trailer) ou não pôde ser lido"};
      return {"the input cannot be opened or read, or is not a sealed file (no header end or trailer)",
              "a entrada não pôde ser aberta ou lida, ou não é um arquivo selado (sem fim de cabeçalho ou trailer)"};
    case kErrEnvelopeOutput:
      if (n.Same()) return kSameFile;
      return {"cannot create or write {out}", "não foi possível criar ou gravar {out}"};
    case kErrEnvelopeRecipient:
      if (!opening) return kNone;
      return {"{in} holds no key for recipient index {index}",
              "{in} não traz chave para o destinatário de índice {index}"};
    case kErrEnvelopeNotSigned:
      if (!opening) return kNone;
      return {"{in} is not signed, and only a signed file is accepted",
              "{in} não está assinado, e só se aceita arquivo assinado"};
    case kErrEnvelopeNotEncrypted:
      if (!opening) return kNone;
      return {"{in} is not encrypted, and only an encrypted file is accepted",
              "{in} não está criptografado, e só se aceita arquivo criptografado"};
    case kErrData:
      return {"data error (an RSA block without the expected form)",
              "erro de dados (um bloco RSA fora da forma esperada)"};
    case kErrDigestAlgorithm:
      return {"unknown digest algorithm (not 3 or 5)", "algoritmo de resumo desconhecido (não é 3 nem 5)"};
    case kErrPadding:
      return {"bad padding in the last block (wrong key or damaged file)",
              "preenchimento inválido no último bloco (chave errada ou arquivo danificado)"};
    case kErrLength:
      if (opening)
        return {
            "length error: an encrypted key or signature over 128 bytes, or a length that runs past the end of "
            "{in} (damaged file)",
            "erro de comprimento: chave cifrada ou assinatura com mais de 128 bytes, ou um comprimento que passa "
            "do fim de {in} (arquivo danificado)"};
      return {"length error (too many recipients, too much extra data or an input of 4 GiB or more)",
              "erro de comprimento (destinatários demais, dados extras demais ou entrada de 4 GiB ou mais)"};
    case kErrModulusLength:
      return {"a key's modulus is longer than 1024 bits", "o módulo de uma chave tem mais de 1024 bits"};
    case kErrNeedRandom:
      return {"the operating system gave no random bytes", "o sistema operacional não forneceu bytes aleatórios"};
    case kErrPrivateKey:
      if (opening)
        return {"cannot recover the content key (wrong private key?)",
                "não foi possível recuperar a chave do conteúdo (chave privada errada?)"};
      return {"signing failed (bad private key)", "falha na assinatura (chave privada inválida)"};
    case kErrPublicKey:
      if (opening)
        return {"cannot open the signature (wrong sender key or damaged signature)",
                "não foi possível abrir a assinatura (chave do remetente errada ou assinatura danificada)"};
      return {"cannot encrypt the content key to a recipient (bad public key)",
              "não foi possível cifrar a chave do conteúdo para um destinatário (chave pública inválida)"};
    case kErrSignature:
      return {"the signature does not match the data (wrong sender key or altered file)",
              "a assinatura não confere com os dados (chave do remetente errada ou arquivo alterado)"};
    case kErrEncryptionAlgorithm:
      return {"unknown encryption algorithm (not 1 to 4)", "algoritmo de criptografia desconhecido (não é de 1 a 4)"};
    default:
      return kNone;
  }
}

// The text in the language asked for, its placeholders filled in (cp1252, as all engine text).
std::string Fill(const Text& t, Language language, const CodecFiles& f) {
  const bool pt = language == Language::kPortuguese;
  std::string text = pt ? Utf8ParaCp1252(t.pt) : std::string(t.en);
  const struct {
    std::string_view key;
    std::string value;
  } values[] = {
      {"{in}", f.input.empty() ? (pt ? "a entrada" : "the input") : Quoted(f.input)},
      {"{out}", f.output.empty() ? (pt ? Utf8ParaCp1252("a saída") : "the output") : Quoted(f.output)},
      {"{index}", std::to_string(f.recipientIndex)},
  };
  for (const auto& v : values)
    for (std::size_t at = text.find(v.key); at != std::string::npos; at = text.find(v.key, at + v.value.size()))
      text.replace(at, v.key.size(), v.value);
  return text;
}

}  // namespace

std::string codec_result_text(Codec codec, int code, const CodecFiles& files, Language language) {
  const Names names(files);
  Text text = kNone;
  switch (codec) {
    case Codec::kLzw:
      text = Lzw(code, names);
      break;
    case Codec::kSeal:
      text = Envelope(code, names, false);
      break;
    case Codec::kOpen:
      text = Envelope(code, names, true);
      break;
  }
  if (*text.en == '\0') {
    return language == Language::kPortuguese
               ? Utf8ParaCp1252("código de resultado desconhecido ") + std::to_string(code)
               : "unknown result code " + std::to_string(code);
  }
  return Fill(text, language, files);
}

}  // namespace telvarim
