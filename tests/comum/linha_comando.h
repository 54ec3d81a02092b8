// Runs a command line through the shell, as integrators run the programs, and collects its exit status and
// both streams (each written to a file in `pasta`).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "pasta_temporaria.h"

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace telvarim::teste {

struct ResultadoComando {
  int status = -1;
  std::string out, err;
};

inline std::string Aspas(const std::string& s) { return "\"" + s + "\""; }

inline ResultadoComando Executa(const std::string& linhaComando, const std::filesystem::path& pasta) {
  const std::string out = (pasta / "stdout").string(), err = (pasta / "stderr").string();
  const std::string line = linhaComando + " >" + Aspas(out) + " 2>" + Aspas(err);
#if defined(_WIN32)
  const int status = std::system(("\"" + line + "\"").c_str());
#else
  const int raw = std::system(line.c_str());
  const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
#endif
  return {status, LeArquivo(out), LeArquivo(err)};
}

}  // namespace telvarim::teste
