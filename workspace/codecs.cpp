#include "codecs.h"

#include "chaves.h"
#include "crypto/cbc.h"
#include "crypto/digest.h"
#include "envelope.h"
#include "lzw.h"

namespace telvarim {

namespace {

// The envelope and LZW (both ways) answer 0 when done, otherwise the reason.
ResultadoPasso DeCodigo(int codigo) { return codigo == 0 ? ResultadoPasso::Ok() : ResultadoPasso::Falha(codigo); }

}  // namespace

// Only the central system's files: signed (and the signature checked with its key) and encrypted to us. A
// file sealed without a signature would otherwise open as anyone's.
ResultadoPasso Codecs::AbreSelado(const std::filesystem::path& selado, const std::filesystem::path& saida) {
  return DeCodigo(open_file(selado, saida, ChavePrivadaSistema(), ChavePublicaCentral(), 0,
                            {.signature = true, .encryption = true}));
}

// Received files and drafts come from outside: their expansion is capped.
ResultadoPasso Codecs::Expande(const std::filesystem::path& e, const std::filesystem::path& s) {
  return DeCodigo(lzw_expand_file(e, s, {.limiteSaida = kLzwLimiteRecebido}));
}

ResultadoPasso Codecs::Compacta(const std::filesystem::path& e, const std::filesystem::path& s) {
  return DeCodigo(lzw_compress_file(e, s));
}

ResultadoPasso Codecs::Sela(const std::filesystem::path& entrada, const std::filesystem::path& saida) {
  return DeCodigo(
      seal_file(entrada, saida, ChavePrivadaSistema(), {&ChavePublicaCentral(), 1}, {}, kCipherDesCbc, kDigestMd5));
}

Codecs& CodecsProduto() {
  static Codecs c;
  return c;
}

}  // namespace telvarim
