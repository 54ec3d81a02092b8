// Runs a command line through the shell (comando.h), as integrators run the programs, and collects its exit status and
// both streams (each written to a file in `pasta`).
#pragma once

#include <filesystem>
#include <string>

#include "comando.h"
#include "pasta_temporaria.h"

namespace telvarim::teste {

struct ResultadoComando {
  int status = -1;
  std::string out, err;
};

inline std::string Aspas(const std::string& s) { return "\"" + s + "\""; }

inline ResultadoComando Executa(const std::string& linhaComando, const std::filesystem::path& pasta) {
  const std::string out = (pasta / "stdout").string(), err = (pasta / "stderr").string();
  const int status = ExecutaComando(linhaComando + " >" + Aspas(out) + " 2>" + Aspas(err));
  // Windows' text mode ends a line in "\r\n"; the contract is about lines, so the checks read "\n" alone.
  auto linhas = [](std::string t) {
    std::erase(t, '\r');
    return t;
  };
  return {status, linhas(LeArquivo(out)), linhas(LeArquivo(err))};
}

}  // namespace telvarim::teste
