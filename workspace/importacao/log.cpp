#include "log.h"

#include <string>

namespace telvarim {

bool Log::Abre(const std::filesystem::path& caminho) { return arquivo_.Abre(caminho, Arquivo::ModoGravacao); }

bool Log::Erro(std::string_view texto) { return Grava("  *** Erro: ", texto, "\n"); }

bool Log::Info(std::string_view texto) { return Grava("      Info: ", texto, "\n"); }

bool Log::Titulo(std::string_view texto) { return Grava(" +------  ", texto, "  -----+\n"); }

bool Log::Grava(std::string_view prefixo, std::string_view texto, std::string_view sufixo) {
  const DataHora agora = relogio_.Agora();
  std::string linha = FormataData(agora);
  linha += ' ';
  linha += FormataHora(agora);
  linha += prefixo;
  linha += texto;
  linha += sufixo;
  return arquivo_.GravaLinha(linha);
}

}  // namespace telvarim
