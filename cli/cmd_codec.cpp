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
  int motivo = 0;
  if (lzw_compress_file(in, out, {.diagnostico = &std::cout}, &motivo) == kLzwCompressaoOk) return 0;
  // The compressor's own result (0) says nothing more; report the reason code, which has the same meaning
  // as expansion's results.
  return Falha("compress", motivo, MotivoCodec(Codec::kLzw, motivo, {in, out}));
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
  if (r == kLzwExpansaoOk) return 0;
  return Falha("expand", r, MotivoCodec(Codec::kLzw, r, {in, out}));
}

}  // namespace telvarim::cli
