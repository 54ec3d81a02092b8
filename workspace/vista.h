// The view of one card type and tariff, and the one rule that turns a value into what a holder keeps.
//
// A view is a list of references to (holder, group) in the holder table: it holds no value of its own. A
// value typed, imported, defaulted or copied from the last recharge is made what the grid shows (money to
// the centavo, credits to whole credits, half away from zero) and stored into its holder at once, so the
// grid, the totals, the listing, the draft and the request read the same figure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "numbers.h"
#include "tabelas.h"

namespace telvarim {

// One row of the view: the holder (its index in the table) and the group (0 for group 1) it shows.
struct LinhaVista {
  std::int32_t Usuario = 0;
  int Grupo = 0;
  bool operator==(const LinhaVista&) const = default;
};

// The group of holder `u` that a view of `tarifa` shows: group 1 when its tariff matches (tariff 0 only for
// a money card type), else the first of groups 2-4 with that non-zero tariff; -1 when none.
int GrupoMostrado(const RegUsuario& u, std::int32_t tarifa, bool dinheiro);

// Every holder of card type `tipo` with a group shown for `tarifa`, in table order.
std::vector<LinhaVista> MontaVista(const Tabelas& t, std::int32_t qtdUsuarios, std::int32_t tipo, std::int32_t tarifa);

// The pattern values of a card type are shown, typed and kept with: "##0" for credits (PorCreditos not 0),
// "##0.00" for money.
const char* FormatoDoTipo(const RegTipoCartao& c);

// What a value becomes when a holder keeps it: rounded, half away from zero, to the digits of its card
// type's pattern (12,5 credits are 13; 12,345 reais are 12,35).
Moeda ValorGuardado(Moeda v, const RegTipoCartao& c);

// Texts of the card-type and tariff choices: "004 - " + the description with its padding; "02 - " + the
// description + " - " + the price ("#,##0.00"), or "00 - " + the description for tariff 0.
std::string TextoTipoCartao(const RegTipoCartao& c);
std::string TextoTarifa(const RegTarifa& t);

}  // namespace telvarim
