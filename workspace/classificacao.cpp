#include "classificacao.h"

#include <algorithm>
#include <numeric>

#include "cp1252.h"
#include "numbers.h"

namespace telvarim {

namespace {

std::string Zeros(long long v, std::size_t digitos) { return FormataInteiro(v, std::string(digitos, '0')); }

}  // namespace

Classificacao ClassificacaoDoItem(int item) {
  switch (item) {
    case 1:
      return Classificacao::Alfabetica;
    case 2:
      return Classificacao::Matricula;
    default:
      return Classificacao::Codigo;
  }
}

std::string ChaveClassificacao(const RegListagem& r, Classificacao c) {
  std::string k = Zeros(r.TipoCartao, 3) + Zeros(r.Tarifa, 2);
  switch (c) {
    case Classificacao::Alfabetica:
      k += MaiusculasCp1252(r.Nome);
      break;
    case Classificacao::Matricula:
      k += MaiusculasCp1252(r.Matricula);
      break;
    case Classificacao::Codigo:
      k += Zeros(r.CodUsuario, 11);
      break;
  }
  return k + Zeros(r.NumCartao, 11);
}

std::vector<int> OrdemClassificacao(const std::vector<RegListagem>& linhas, Classificacao c) {
  std::vector<std::string> chaves;
  chaves.reserve(linhas.size());
  for (const auto& l : linhas) chaves.push_back(ChaveClassificacao(l, c));
  std::vector<int> ordem(linhas.size());
  std::iota(ordem.begin(), ordem.end(), 0);
  std::stable_sort(ordem.begin(), ordem.end(), [&](int a, int b) {
    return ComparaBytes(chaves[static_cast<std::size_t>(a)], chaves[static_cast<std::size_t>(b)]) < 0;
  });
  return ordem;
}

}  // namespace telvarim
