// seal / open / pack / unpack / keygen / sample: the envelope and the keys from the command line.
//
// Defaults are the product's: sign with the system's private key and seal to the central system's public
// key; open with the system's private key and check the central system's signature. --as-central plays the
// central system instead (its private key, the system's public key), which is how test and demo files are
// made. Each failure is one stderr line "telvarim-cli: OP: error CODE: WHAT" with the envelope's or the
// codec's result code.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "amostra.h"
#include "chaves.h"
#include "chaves_central.h"
#include "commands.h"
#include "crypto/cbc.h"
#include "crypto/digest.h"
#include "crypto/keygen.h"
#include "crypto/keys.h"
#include "crypto/os_random.h"
#include "envelope.h"
#include "lzw.h"
#include "records.h"
#include "safe_file.h"

namespace telvarim::cli {

namespace {

namespace fs = std::filesystem;

std::string Aspas(const std::string& s) { return "'" + s + "'"; }

// A scratch file in the system's temporary folder: made new and private before anything is in it (it holds
// a record text in the clear, and the folder is shared), removed on every path, an interruption included.
class Temporario {
 public:
  explicit Temporario(const char* op) {
    std::error_code ec;
    const fs::path pasta = fs::temp_directory_path(ec);
    for (int tentativa = 0; tentativa < 8; ++tentativa) {
      unsigned char r[8] = {};
      os_random_bytes(r, sizeof r);
      char nome[40];
      std::snprintf(nome, sizeof nome, "telvarim-cli-%02x%02x%02x%02x%02x%02x%02x%02x.tmp", r[0], r[1], r[2], r[3],
                    r[4], r[5], r[6], r[7]);
      caminho_ = pasta / nome;
      // Registered before it exists, so that no moment of its life escapes an interruption; exclusive, so
      // that a name that exists (by chance or planted) is never written through.
      registro_.emplace(caminho_);
      ec = create_private_file(caminho_, true);
      if (ec != std::errc::file_exists) break;
      registro_.reset();
    }
    if (ec) {
      registro_.reset();
      const std::string onde = caminho_.string();
      caminho_.clear();
      throw Saida{Falha(op, 0, "cannot create the temporary file " + Aspas(onde) + ": " + system_error_text(ec))};
    }
  }
  ~Temporario() {
    std::error_code ec;
    if (!caminho_.empty()) fs::remove(caminho_, ec);
  }
  Temporario(const Temporario&) = delete;
  Temporario& operator=(const Temporario&) = delete;
  const fs::path& Caminho() const { return caminho_; }
  std::string Texto() const {
    const std::u8string u8 = caminho_.u8string();
    return std::string(u8.begin(), u8.end());
  }

 private:
  fs::path caminho_;
  std::optional<TemporaryRegistration> registro_;
};

struct Papeis {
  const RsaPrivateKey* privada = nullptr;  // signs when sealing, opens the content key when opening
  RsaPublicKey outro{};                    // recipient when sealing, sender when opening
};

// The product's roles, or the central system's with --as-central. false (after the failure line, exit
// status 2) when this build has no central role: then it carries no central private key.
bool PapeisPadrao(bool comoCentral, const char* op, Papeis& p, int& status) {
  if (!comoCentral) {
    p.privada = &ChavePrivadaSistema();
    p.outro = ChavePublicaCentral();
    return true;
  }
  p.privada = ChavePrivadaCentral();
  if (p.privada == nullptr) {
    status = Falha(op, 0,
                   "this build has no central role: sample and --as-central need the central system's private "
                   "key, which only a build made with -DTELVARIM_CENTRAL=ON carries (tests and demos, never a "
                   "deployment)",
                   kSaidaUso);
    return false;
  }
  p.outro = ChavePublicaSistema();
  return true;
}

// Compress then seal (pack, sample).
int Empacota(const char* op, const fs::path& texto, const fs::path& saida, const Papeis& p) {
  Temporario comprimido(op);
  const int c = lzw_compress_file(texto, comprimido.Caminho());
  if (c != kLzwOk) return Falha(op, c, "compress: " + MotivoCodec(Codec::kLzw, c, {texto, comprimido.Caminho()}));
  const int r = seal_file(comprimido.Caminho(), saida, *p.privada, {&p.outro, 1}, {}, kCipherDesCbc, kDigestMd5);
  if (r != 0) return Falha(op, r, "seal: " + MotivoCodec(Codec::kSeal, r, {comprimido.Caminho(), saida}));
  return 0;
}

bool CarregaPrivada(const char* op, const std::string& arquivo, RsaPrivateKey& k, int& status) {
  std::string erro;
  if (rsa_load_private_key(Caminho(arquivo), k, &erro)) return true;
  status = Falha(op, 0, "cannot load private key " + Aspas(arquivo) + ": " + erro);
  return false;
}

bool CarregaPublica(const char* op, const std::string& arquivo, RsaPublicKey& k, int& status) {
  std::string erro;
  if (rsa_load_public_or_private_key(Caminho(arquivo), k, &erro)) return true;
  status = Falha(op, 0, "cannot load public key " + Aspas(arquivo) + ": " + erro);
  return false;
}

}  // namespace

int cmd_seal(const Argumentos& a) {
  constexpr const char* kUso = "seal IN OUT [--key PRIV] [--to PUB]... [--cipher 0-4] [--digest 0|3|5]";
  Linha l;
  std::string erro;
  if (!Analisa(a, {"key", "to", "cipher", "digest"}, {}, l, erro)) return Uso("seal", erro, kUso);
  if (l.posicionais.size() != 2) return Uso("seal", "expects IN and OUT", kUso);
  int cifra = kCipherDesCbc, resumo = kDigestMd5;
  if (auto v = l.Valor("cipher")) {
    auto n = Inteiro(*v, 0, 4);
    if (!n) return Uso("seal", "--cipher must be 0 to 4", kUso);
    cifra = static_cast<int>(*n);
  }
  if (auto v = l.Valor("digest")) {
    auto n = Inteiro(*v, 0, 5);
    if (!n || (*n != 0 && *n != kDigestMd2 && *n != kDigestMd5)) return Uso("seal", "--digest must be 0, 3 or 5", kUso);
    resumo = static_cast<int>(*n);
  }
  int status = 0;
  RsaPrivateKey privada = ChavePrivadaSistema();
  if (auto k = l.Valor("key"); k && !CarregaPrivada("seal", *k, privada, status)) return status;
  std::vector<RsaPublicKey> destinos;
  for (const auto& arquivo : l.Valores("to")) {
    RsaPublicKey k{};
    if (!CarregaPublica("seal", arquivo, k, status)) return status;
    destinos.push_back(k);
  }
  if (destinos.empty()) destinos.push_back(ChavePublicaCentral());
  const fs::path in = Caminho(l.posicionais[0]);
  const fs::path out = Caminho(l.posicionais[1]);
  const int r = seal_file(in, out, privada, destinos, {}, cifra, resumo);
  if (r != 0) return Falha("seal", r, MotivoCodec(Codec::kSeal, r, {in, out}));
  return 0;
}

int cmd_open(const Argumentos& a) {
  constexpr const char* kUso = "open IN OUT [--key PRIV] [--from PUB] [--index N]";
  Linha l;
  std::string erro;
  if (!Analisa(a, {"key", "from", "index"}, {}, l, erro)) return Uso("open", erro, kUso);
  if (l.posicionais.size() != 2) return Uso("open", "expects IN and OUT", kUso);
  int indice = 0;
  if (auto v = l.Valor("index")) {
    auto n = Inteiro(*v, 0, 2147483647);
    if (!n) return Uso("open", "--index must be a number from 0", kUso);
    indice = static_cast<int>(*n);
  }
  int status = 0;
  RsaPrivateKey privada = ChavePrivadaSistema();
  if (auto k = l.Valor("key"); k && !CarregaPrivada("open", *k, privada, status)) return status;
  RsaPublicKey remetente = ChavePublicaCentral();
  if (auto k = l.Valor("from"); k && !CarregaPublica("open", *k, remetente, status)) return status;
  const fs::path in = Caminho(l.posicionais[0]);
  const fs::path out = Caminho(l.posicionais[1]);
  const int r = open_file(in, out, privada, remetente, indice);
  if (r != 0) return Falha("open", r, MotivoCodec(Codec::kOpen, r, {in, out, indice}));
  return 0;
}

int cmd_pack(const Argumentos& a) {
  constexpr const char* kUso = "pack TEXT OUT [--as-central]";
  Linha l;
  std::string erro;
  if (!Analisa(a, {}, {"as-central"}, l, erro)) return Uso("pack", erro, kUso);
  if (l.posicionais.size() != 2) return Uso("pack", "expects TEXT and OUT", kUso);
  Papeis p;
  int status = 0;
  if (!PapeisPadrao(l.Tem("as-central"), "pack", p, status)) return status;
  return Empacota("pack", Caminho(l.posicionais[0]), Caminho(l.posicionais[1]), p);
}

int cmd_unpack(const Argumentos& a) {
  constexpr const char* kUso = "unpack SEALED TEXT [--as-central]";
  Linha l;
  std::string erro;
  if (!Analisa(a, {}, {"as-central"}, l, erro)) return Uso("unpack", erro, kUso);
  if (l.posicionais.size() != 2) return Uso("unpack", "expects SEALED and TEXT", kUso);
  Papeis p;
  int status = 0;
  if (!PapeisPadrao(l.Tem("as-central"), "unpack", p, status)) return status;
  const fs::path selado = Caminho(l.posicionais[0]);
  const fs::path texto = Caminho(l.posicionais[1]);
  Temporario aberto("unpack");
  const int r = open_file(selado, aberto.Caminho(), *p.privada, p.outro, 0);
  if (r != 0) return Falha("unpack", r, "open: " + MotivoCodec(Codec::kOpen, r, {selado, aberto.Caminho()}));
  const int e = lzw_expand_file(aberto.Caminho(), texto);
  if (e != kLzwOk) return Falha("unpack", e, "expand: " + MotivoCodec(Codec::kLzw, e, {aberto.Caminho(), texto}));
  return 0;
}

int cmd_keygen(const Argumentos& a) {
  constexpr const char* kUso = "keygen [--bits 512] NAME";
  Linha l;
  std::string erro;
  if (!Analisa(a, {"bits"}, {}, l, erro)) return Uso("keygen", erro, kUso);
  if (l.posicionais.size() != 1) return Uso("keygen", "expects NAME", kUso);
  unsigned bits = kRsaDefaultBits;
  if (auto v = l.Valor("bits")) {
    auto n = Inteiro(*v, kRsaMinBits, kMaxRsaModulusBits);
    if (!n) return Uso("keygen", "--bits must be 256 to 1024", kUso);
    bits = static_cast<unsigned>(*n);
  }
  RsaPublicKey publica{};
  RsaPrivateKey privada{};
  const int r = rsa_generate_keypair(bits, os_random_bytes, publica, privada);
  if (r != 0) return Falha("keygen", r, "key generation failed");
  const std::string nome = l.posicionais[0];
  // Only the owner can read the private key, from its first byte on.
  if (!rsa_save_private_key(Caminho(nome + ".key"), privada, &erro)) return Falha("keygen", 0, erro);
  if (!rsa_save_public_key(Caminho(nome + ".pub"), publica, &erro)) return Falha("keygen", 0, erro);
  return 0;
}

int cmd_sample(const Argumentos& a) {
  const std::string uso = "sample [--holders N] [--seed S] OUT; N 0 to 10000, default " +
                          std::to_string(kAmostraTitularesPadrao) + "; S default " +
                          std::to_string(kAmostraSementePadrao);
  Linha l;
  std::string erro;
  if (!Analisa(a, {"holders", "seed"}, {}, l, erro)) return Uso("sample", erro, uso);
  if (l.posicionais.size() != 1) return Uso("sample", "expects OUT", uso);
  int titulares = kAmostraTitularesPadrao;
  if (auto v = l.Valor("holders")) {
    auto n = Inteiro(*v, 0, kMaxUsuarios);
    if (!n) return Uso("sample", "--holders must be 0 to 10000", uso);
    titulares = static_cast<int>(*n);
  }
  std::uint64_t semente = kAmostraSementePadrao;
  if (auto v = l.Valor("seed")) {
    auto n = Inteiro(*v, 0, 9223372036854775807LL);
    if (!n) return Uso("sample", "--seed must be a number from 0", uso);
    semente = static_cast<std::uint64_t>(*n);
  }
  Papeis p;
  int status = 0;
  if (!PapeisPadrao(true, "sample", p, status)) return status;

  const std::string texto = TextoAmostra({titulares, semente});
  Temporario plano("sample");
  if (const std::error_code ec = write_file(plano.Caminho(), texto, {.ownerOnly = true}))
    return Falha("sample", 0, "cannot write the temporary file " + Aspas(plano.Texto()) + ": " + system_error_text(ec));
  return Empacota("sample", plano.Caminho(), Caminho(l.posicionais[0]), p);
}

}  // namespace telvarim::cli
