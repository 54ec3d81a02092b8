// A realistic received file's record text, as the central system would write it before compressing and
// sealing it: for the command line's `sample`, the benchmarks and the tests that need a whole file.
#pragma once

#include <cstdint>
#include <string>

namespace telvarim {

struct OpcoesAmostra {
  int titulares = 50;
  std::uint64_t semente = 1;
  // Every holder in the first card type (money) and the first tariff, group 1 only: the largest grid the
  // workspace can show.
  bool umTipoUmaTarifa = false;
};

inline constexpr int kAmostraTitularesPadrao = OpcoesAmostra{}.titulares;
inline constexpr std::uint64_t kAmostraSementePadrao = OpcoesAmostra{}.semente;

// The cp1252 lines (CR LF after each) of a received file: a header whose NomeArquivo carries the sequence at
// characters 11-14, money and credit card types (with and without ValorMaximo, in all three record
// lengths), tariffs, the details (some with groups 2-4, last recharges, accented names) and a trailer. The
// same options always give the same bytes, on every platform. More than 10000 holders make a text larger
// than the workspace holds (for the codec benchmarks); a negative count throws std::invalid_argument.
std::string TextoAmostra(const OpcoesAmostra& opcoes);

}  // namespace telvarim
