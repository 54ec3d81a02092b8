// What the workspace benchmarks share: a received file sealed as the central system sends it, a quiet
// operator, and the median of repeated runs.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "chaves.h"
#include "chaves_central.h"
#include "envelope.h"
#include "lzw.h"
#include "operador.h"

namespace telvarim::bench {

// Compressed, signed with the central's key, encrypted to the system.
inline void GravaRecebido(const std::filesystem::path& destino, const std::string& conteudo) {
  const std::filesystem::path texto = destino.parent_path() / "texto.tmp", lzw = destino.parent_path() / "lzw.tmp";
  std::ofstream(texto, std::ios::binary) << conteudo;
  if (lzw_compress_file(texto, lzw) != kLzwCompressaoOk) std::abort();
  const RsaPublicKey destinatario = ChavePublicaSistema();
  if (seal_file(lzw, destino, *ChavePrivadaCentral(), {&destinatario, 1}, {}, 1, 5) != 0) std::abort();
  std::filesystem::remove(texto);
  std::filesystem::remove(lzw);
}

template <class F>
double Mediana(int vezes, F&& f) {
  std::vector<double> t;
  for (int i = 0; i < vezes; ++i) {
    auto a = std::chrono::steady_clock::now();
    f();
    t.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - a).count());
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

}  // namespace telvarim::bench
