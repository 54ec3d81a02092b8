// compress / expand: the LZW codec file to file. The codec's own progress and fatal texts stay on stdout,
// as the product writes them; the one failure line goes to stderr.
#include <iostream>
#include <string>

#include "commands.h"
#include "lzw.h"

namespace telvarim::cli {

int cmd_compress(const Argumentos& a) {
  constexpr const char* kUso = "compress IN OUT";
  Linha l;
  std::string erro;
  if (!Analisa(a, {}, {}, l, erro)) return Uso("compress", erro, kUso);
  if (l.posicionais.size() != 2) return Uso("compress", "expects IN and OUT", kUso);
  const std::filesystem::path in = Caminho(l.posicionais[0]);
  const std::filesystem::path out = Caminho(l.posicionais[1]);
  const int r = lzw_compress_file(in, out, {.diagnostico = &std::cout});
  if (r == kLzwOk) return 0;
  return Falha("compress", r, MotivoCodec(Codec::kLzw, r, {in, out}));
}

int cmd_expand(const Argumentos& a) {
  constexpr const char* kUso = "expand IN OUT";
  Linha l;
  std::string erro;
  if (!Analisa(a, {}, {}, l, erro)) return Uso("expand", erro, kUso);
  if (l.posicionais.size() != 2) return Uso("expand", "expects IN and OUT", kUso);
  const std::filesystem::path in = Caminho(l.posicionais[0]);
  const std::filesystem::path out = Caminho(l.posicionais[1]);
  const int r = lzw_expand_file(in, out, {.diagnostico = &std::cout});
  if (r == kLzwOk) return 0;
  return Falha("expand", r, MotivoCodec(Codec::kLzw, r, {in, out}));
}

}  // namespace telvarim::cli
