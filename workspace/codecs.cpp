#include "codecs.h"

#include "lzw.h"

namespace telvarim {

int Codecs::AbreSelado(const std::filesystem::path&, const std::filesystem::path&) { return 241; }
int Codecs::Expande(const std::filesystem::path& e, const std::filesystem::path& s) { return lzw_expand_file(e, s); }
int Codecs::Compacta(const std::filesystem::path& e, const std::filesystem::path& s) { return lzw_compress_file(e, s); }
int Codecs::Sela(const std::filesystem::path&, const std::filesystem::path&) { return 241; }

Codecs& CodecsProduto() {
  static Codecs c;
  return c;
}

}  // namespace telvarim
