#include "codecs.h"

#include "chaves.h"
#include "crypto/cbc.h"
#include "crypto/digest.h"
#include "envelope.h"
#include "lzw.h"

namespace telvarim {

int Codecs::AbreSelado(const std::filesystem::path& selado, const std::filesystem::path& saida) {
  return open_file(selado, saida, ChavePrivadaSistema(), ChavePublicaCentral(), 0);
}
// Received files and drafts come from outside: their expansion is capped.
int Codecs::Expande(const std::filesystem::path& e, const std::filesystem::path& s) {
  return lzw_expand_file(e, s, {.limiteSaida = kLzwLimiteRecebido});
}
int Codecs::Compacta(const std::filesystem::path& e, const std::filesystem::path& s) { return lzw_compress_file(e, s); }
int Codecs::Sela(const std::filesystem::path& entrada, const std::filesystem::path& saida) {
  return seal_file(entrada, saida, ChavePrivadaSistema(), {&ChavePublicaCentral(), 1}, {}, kCipherDesCbc,
                   kDigestMd5);
}

Codecs& CodecsProduto() {
  static Codecs c;
  return c;
}

}  // namespace telvarim
