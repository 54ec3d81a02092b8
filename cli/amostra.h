// A realistic received file's record text, as the central system would write it before compressing and
// sealing it: for integrators and tests that need a file to process.
#pragma once

#include <cstdint>
#include <string>

namespace telvarim::cli {

inline constexpr int kAmostraTitularesPadrao = 50;
inline constexpr std::uint64_t kAmostraSementePadrao = 1;

// The cp1252 lines (CR LF after each) of a received file with `titulares` holders (0 to 10000): a header
// whose NomeArquivo carries the sequence at characters 11-14, money and credit card types (with and
// without ValorMaximo, in all three record lengths), tariffs, the details (some with groups 2-4, last
// recharges, accented names) and a trailer. The same seed always gives the same bytes, on every platform.
std::string TextoAmostra(int titulares, std::uint64_t semente);

}  // namespace telvarim::cli
