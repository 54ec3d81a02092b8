// The price of a credit and the two totals of the typing page, as plain functions over the holder table:
// the workspace only shows what they return.
#pragma once

#include <cstdint>

#include "numbers.h"
#include "tabelas.h"
#include "vista.h"

namespace telvarim {

// Rounding of credit prices by the file's rounding mode: 1 raises any remainder of at least a thousandth of
// the last kept digit, 2 truncates, any other mode leaves the price as it is.
double ArredondaValor(double x, int casas, std::int32_t modo);

// Price of one credit of card type `tipo` at tariff `tarifa`: the tariff's value times the card type's
// percentage, rounded by `modo` to two decimals.
double PrecoCredito(const Tabelas& t, std::int32_t tipo, std::int32_t tarifa, std::int32_t modo);

struct Totais {
  double dinheiro = 0;
  long long creditos = 0;
};

// Totals of the values of the rows of a view of one card type and tariff. Only PorCreditos 1 counts as
// credits (priced at `precoCredito`, in fixed point, the product truncated); a row whose product would not
// fit adds nothing.
Totais TotaisDasLinhas(const Tabelas& t, const std::vector<LinhaVista>& linhas, bool credito, Moeda precoCredito);

// Totals of every holder of the file, each priced with its own card type; a holder whose figures do not
// compute adds nothing.
Totais TotaisGerais(const Tabelas& t, std::int32_t qtdUsuarios, std::int32_t modo);

}  // namespace telvarim
