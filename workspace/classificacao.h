// The order of Listagem rows, shared by the grid ordering and the printed listing.
//
// A row's key is its card type ("000"), its tariff ("00"), then the chosen item's part and its card number
// ("00000000000"). The parts are made so that keys compared byte by byte give the order a Portuguese reader
// expects:
//   - code: the holder code ("00000000000");
//   - name: the name folded (DobraTexto: upper case, accents dropped), so ÁLVARO sits with the As and
//     "beatriz" with BEATRIZ; padded with blanks to the name's 50 characters, so ANA comes before ANA MARIA
//     and the card number never runs into the name;
//   - matrícula: a matrícula of digits only as its number (8527 before 831840, 12 before 120), then every
//     other matrícula as folded text after all the numeric ones; both padded to the field's 20 characters.
// Rows with equal keys keep their order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tabelas.h"

namespace telvarim {

// Items of the ordering radio group.
enum class Classificacao { Codigo = 0, Alfabetica = 1, Matricula = 2 };

// Item index as the radio group gives it; any index other than 1 and 2 (none selected included) orders by
// code.
Classificacao ClassificacaoDoItem(int item);

// A cp1252 text as names are compared and found: upper case, accented letters as their plain letters (Ç as
// C, Ñ as N; Æ, Œ and ß as two letters). Other bytes stay as they are.
std::string DobraTexto(std::string_view cp1252);

std::string ChaveClassificacao(const RegListagem& r, Classificacao c);

// Positions of `linhas` in key order: a stable sort, each key built once.
std::vector<int> OrdemClassificacao(const std::vector<RegListagem>& linhas, Classificacao c);

}  // namespace telvarim
