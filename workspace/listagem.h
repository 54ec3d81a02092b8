// The printed listing "Listagem de Cartões a Recarregar" as text: its rows and its lines, as plain functions
// over the tables. The report window only prints the lines, one per band, in a fixed-pitch font.
//
// Rows: every holder in table order gives a row for group 1 (even with value 0) and one more for each of
// groups 2-4 whose tariff, CMM and value are all not 0; the rows are then ordered by card type, tariff, the
// chosen part of the key and the card number (classificacao.h).
//
// Lines (C printf widths: a minimum, nothing is ever cut, so 50-character names and descriptions push the
// columns after them to the right):
//   group header  "Tipo Cartão : %-02s - %-30s                     Tipo : %-16s"
//                 code; description; "Crédito" when PorCreditos is not 0, else "Unidade Tarifária"
//   detail        "%-16s %-16s %-20s %-40s %-2s %6s %15s %15s"
//                 code, card, matrícula, name, card type, tariff, quantity, total
//   sub-total     "Sub-Total :" + 105 blanks + "%15s" + 10 blanks + "%-15s"   quantity, money
//   grand total   "Total Geral :" + 128 blanks + "%-30s"                        money
// A credit row (PorCreditos not 0) shows the tariff's value ("###,##0.00"), the credits ("###,####,##0") and
// credits × the credit's price ("###,####,##0.00"); a money row shows " - " and its value twice
// ("###,####,##0.00"). Each card type opens with its header and an empty line and closes with an empty
// line, its sub-total and an empty line; the grand total and an empty line end the listing. A listing
// without rows still has a sub-total of zeros and a grand total of 0,00.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classificacao.h"
#include "tabelas.h"

namespace telvarim {

std::vector<RegListagem> LinhasDeListagem(const Tabelas& t, std::int32_t qtdUsuarios);

// `ordenadas`: the rows in printing order. `modo`: the file's rounding mode for credit prices.
std::vector<std::string> TextoListagem(const Tabelas& t, const std::vector<RegListagem>& ordenadas, std::int32_t modo);

// "Classificação : Por Código Usuário", "... Por Nome Usuário", "... Por Matrícula Usuário" (cp1252).
std::string RotuloClassificacao(Classificacao c);

// A column of the detail lines, in characters from the line's start: where its title stands. Names print in
// full, so the columns after the name lie where a 50-character name puts them. Figures line up on the
// right, so their titles do too.
struct ColunaListagem {
  std::string titulo;  // "Usuário", "Cartão", "Matrícula", "Nome", "Tipo", "Tarifa", "Valor", "Total" (cp1252)
  std::size_t inicio = 0;
  std::size_t largura = 0;
  bool aDireita = false;
};
std::vector<ColunaListagem> ColunasListagem();

}  // namespace telvarim
