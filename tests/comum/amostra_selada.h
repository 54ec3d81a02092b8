// A sample received file as the central system sends it: the sample's records compressed, signed with the
// central system's (demo) key and encrypted to the system. For the window tests, the screenshots and the
// benchmarks.
#pragma once

#include <filesystem>
#include <fstream>
#include <system_error>

#include "amostra.h"
#include "chaves_central.h"
#include "envelope.h"
#include "lzw.h"

namespace telvarim::teste {

inline bool GravaAmostraSelada(const std::filesystem::path& destino, const OpcoesAmostra& opcoes) {
  std::filesystem::path texto = destino, compactado = destino;
  texto += ".txt.tmp";
  compactado += ".lzw.tmp";
  std::ofstream(texto, std::ios::binary) << TextoAmostra(opcoes);
  const RsaPublicKey destinatario = ChavePublicaSistema();
  const bool ok = ChavePrivadaCentral() && lzw_compress_file(texto, compactado) == kLzwOk &&
                  seal_file(compactado, destino, *ChavePrivadaCentral(), {&destinatario, 1}, {}, 1, 5) == 0;
  std::error_code ec;
  std::filesystem::remove(texto, ec);
  std::filesystem::remove(compactado, ec);
  return ok;
}

}  // namespace telvarim::teste
