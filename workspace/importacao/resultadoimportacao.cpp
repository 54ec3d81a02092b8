#include "resultadoimportacao.h"

#include "cp1252.h"

namespace telvarim {

namespace {
constexpr std::size_t kLarguraLinha = 13;
constexpr std::size_t kLarguraMatricula = 21;
}  // namespace

std::string LinhaResultadoImportacao(std::string_view numeroLinha, std::string_view matricula,
                                     std::string_view mensagem) {
  std::string r;
  if (numeroLinha.size() < kLarguraLinha) r.append(kLarguraLinha - numeroLinha.size(), ' ');
  r += numeroLinha;
  r += "   ";
  r += matricula;
  if (matricula.size() < kLarguraMatricula) r.append(kLarguraMatricula - matricula.size(), ' ');
  r += mensagem;
  return r;
}

std::string CabecalhoResultadoImportacao() {
  using namespace literais;
  return "Linha do Arquivo      Matrícula                                 Erro"_cp;
}

}  // namespace telvarim
