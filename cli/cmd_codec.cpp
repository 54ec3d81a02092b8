// compress / expand: the LZW codec file to file. The codec's own progress and fatal texts stay on stdout,
// as the product writes them; the one failure line goes to stderr.
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "commands.h"
#include "lzw.h"

namespace telvarim::cli {

namespace {

// The codec tells only that a file could not be opened; say which one.
std::string Abertura(const std::string& in, const std::string& out) {
  std::error_code ec;
  if (std::filesystem::equivalent(in, out, ec)) return "'" + in + "' and '" + out + "' are the same file";
  if (!std::ifstream(in, std::ios::binary)) return "cannot open '" + in + "'";
  return "cannot create '" + out + "'";
}

std::string Motivo(int codigo, const std::string& in, const std::string& out) {
  switch (codigo) {
    case kLzwErroAbertura: return Abertura(in, out);
    case kLzwErroAlocacao: return "out of memory";
    case kLzwErroExpansao: return "'" + in + "' is not a valid compressed file (corrupt or foreign data)";
    case kLzwErroEscrita: return "cannot write '" + out + "' (disk full?)";
    case kLzwErroLeitura: return "cannot read '" + in + "'";
    default: return "failed";
  }
}

}  // namespace

int cmd_compress(const Argumentos& a) {
  constexpr const char* kUso = "compress IN OUT";
  Linha l;
  std::string erro;
  if (!Analisa(a, {}, {}, l, erro)) return Uso("compress", erro, kUso);
  if (l.posicionais.size() != 2) return Uso("compress", "expects IN and OUT", kUso);
  const std::string& in = l.posicionais[0];
  const std::string& out = l.posicionais[1];
  int motivo = 0;
  if (lzw_compress_file(in, out, &motivo) == kLzwCompressaoOk) return 0;
  // The compressor's own result (0) says nothing more; report the reason code, which has the same meaning
  // as expansion's results.
  return Falha("compress", motivo, Motivo(motivo, in, out));
}

int cmd_expand(const Argumentos& a) {
  constexpr const char* kUso = "expand IN OUT";
  Linha l;
  std::string erro;
  if (!Analisa(a, {}, {}, l, erro)) return Uso("expand", erro, kUso);
  if (l.posicionais.size() != 2) return Uso("expand", "expects IN and OUT", kUso);
  const std::string& in = l.posicionais[0];
  const std::string& out = l.posicionais[1];
  const int r = lzw_expand_file(in, out);
  if (r == kLzwExpansaoOk) return 0;
  return Falha("expand", r, Motivo(r, in, out));
}

}  // namespace telvarim::cli
