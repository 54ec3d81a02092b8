// The order of Listagem rows, shared by the grid ordering and the printed listing.
//
// A row's key is its card type ("000"), its tariff ("00"), then the chosen item's part — holder code
// ("00000000000"), name or matrícula in cp1252 upper case — and its card number ("00000000000"). Keys compare
// byte by byte as unsigned values, a prefix first; no collation, no trimming. So ÁLVARO sorts after ZULMIRA,
// and matrícula 12 with card 5 sorts after matrícula 120 with card 1 (the card follows the matrícula
// directly). Rows with equal keys keep their order.
#pragma once

#include <string>
#include <vector>

#include "tabelas.h"

namespace telvarim {

// Items of the ordering radio group.
enum class Classificacao { Codigo = 0, Alfabetica = 1, Matricula = 2 };

// Item index as the radio group gives it; any index other than 1 and 2 (none selected included) orders by
// code.
Classificacao ClassificacaoDoItem(int item);

std::string ChaveClassificacao(const RegListagem& r, Classificacao c);

// Positions of `linhas` in key order: a stable sort, each key built once.
std::vector<int> OrdemClassificacao(const std::vector<RegListagem>& linhas, Classificacao c);

}  // namespace telvarim
