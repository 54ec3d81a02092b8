#include "classificacao.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "cp1252.h"
#include "numbers.h"

namespace telvarim {

namespace {

constexpr std::size_t kLarguraNome = 50;       // the name as the file carries it
constexpr std::size_t kLarguraMatricula = 20;  // the matrícula's field in the detail record

std::string Zeros(long long v, std::size_t digitos) { return FormataInteiro(v, std::string(digitos, '0')); }

// What each cp1252 byte reads as when names are compared: its plain upper-case letter; the few that read as
// two letters (Æ, Œ, ß) carry their second one apart.
struct Dobra {
  std::array<char, 256> primeira{};
  std::array<char, 256> segunda{};  // 0: none
};

const Dobra& Dobras() {
  static const Dobra tabela = [] {
    Dobra t;
    for (int c = 0; c < 256; ++c) t.primeira[static_cast<std::size_t>(c)] = static_cast<char>(c);
    for (int c = 'a'; c <= 'z'; ++c) t.primeira[static_cast<std::size_t>(c)] = static_cast<char>(c - 0x20);
    const auto Define = [&t](std::string_view letras, const char* plana) {
      for (const char c : letras) {
        t.primeira[static_cast<unsigned char>(c)] = plana[0];
        t.segunda[static_cast<unsigned char>(c)] = plana[1];
      }
    };
    Define("\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5", "A");
    Define("\xC6\xE6", "AE");
    Define("\xC7\xE7", "C");
    Define("\xD0\xF0", "D");
    Define("\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB", "E");
    Define("\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF", "I");
    Define("\xD1\xF1", "N");
    Define("\xD2\xD3\xD4\xD5\xD6\xD8\xF2\xF3\xF4\xF5\xF6\xF8", "O");
    Define("\x8C\x9C", "OE");
    Define("\x8A\x9A", "S");
    Define("\xDF", "SS");
    Define("\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC", "U");
    Define("\xDD\xFD\xFF\x9F", "Y");
    Define("\x8E\x9E", "Z");
    return t;
  }();
  return tabela;
}

std::string_view SemBrancosAoFim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// Appends the folded text to `k`, then blanks up to `largura` characters of it.
void AcrescentaDobrado(std::string& k, std::string_view texto, std::size_t largura) {
  const Dobra& d = Dobras();
  const std::size_t inicio = k.size();
  for (const char c : texto) {
    const auto b = static_cast<unsigned char>(c);
    k += d.primeira[b];
    if (d.segunda[b] != 0) k += d.segunda[b];
  }
  if (k.size() - inicio < largura) k.append(largura - (k.size() - inicio), ' ');
}

void AcrescentaMatricula(std::string& k, std::string_view matricula) {
  const std::string_view m = TrimView(matricula);
  const bool numerica = !m.empty() && std::all_of(m.begin(), m.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!numerica) {
    k += '1';
    AcrescentaDobrado(k, m, kLarguraMatricula);
    return;
  }
  // The same number written with leading zeros is the same matrícula.
  const std::string_view digitos = m.substr(std::min(m.find_first_not_of('0'), m.size()));
  k += '0';
  if (digitos.size() < kLarguraMatricula) k.append(kLarguraMatricula - digitos.size(), '0');
  k += digitos;
}

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

std::string DobraTexto(std::string_view cp1252) {
  std::string r;
  r.reserve(cp1252.size());
  AcrescentaDobrado(r, cp1252, 0);
  return r;
}

std::string ChaveClassificacao(const RegListagem& r, Classificacao c) {
  std::string k;
  k.reserve(5 + 1 + kLarguraNome + 11);
  k += Zeros(r.TipoCartao, 3);
  k += Zeros(r.Tarifa, 2);
  switch (c) {
    case Classificacao::Alfabetica:
      AcrescentaDobrado(k, SemBrancosAoFim(r.Nome), kLarguraNome);
      break;
    case Classificacao::Matricula:
      AcrescentaMatricula(k, r.Matricula);
      break;
    case Classificacao::Codigo:
      k += Zeros(r.CodUsuario, 11);
      break;
  }
  k += Zeros(r.NumCartao, 11);
  return k;
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
