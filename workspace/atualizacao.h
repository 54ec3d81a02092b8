// The write-back of the grid's values into the holder table, as a plain function.
//
// A grid row names a holder by code (column 0), card number (1) and matrícula (2); the codes read as whole
// numbers, -1 when they are not. Every holder of the card type on display that has a group with the tariff
// on display receives, in the first such group, the value (column 5) of the rows that name it — the last
// one in grid order when several do. Holders are matched through an index of the rows, so the cost is
// linear in holders plus rows.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "gradetexto.h"
#include "tabelas.h"

namespace telvarim {

// `progresso` (may be empty) is called with the number of holders done, every 1000 holders and at the end.
// A value cell that does not parse throws ErroConversao: the holders done keep their new values, the rest
// their old ones.
void AtualizaValoresDaGrade(Tabelas& t, std::int32_t qtdUsuarios, const GradeTexto& grade, std::int32_t tipoCartao,
                            std::int32_t tarifa, const std::function<void(int)>& progresso = {});

// The group the write-back fills for holder `u` from a grid of tariff `tarifa`: its first group with that
// tariff; -1 when none.
int GrupoDestino(const RegUsuario& u, std::int32_t tarifa);

// For every row of the grid (row 0 and rows that name no holder: -1), the group the write-back fills from
// it; when a row names several holders, the highest such group, whose field is the narrowest.
std::vector<int> GruposDasLinhas(const Tabelas& t, std::int32_t qtdUsuarios, const GradeTexto& grade,
                                 std::int32_t tipoCartao, std::int32_t tarifa);
// The same for one row, without an index: for a single value typed.
int GrupoDaLinha(const Tabelas& t, std::int32_t qtdUsuarios, const GradeTexto& grade, int linha,
                 std::int32_t tipoCartao, std::int32_t tarifa);

// The group of holder `u` that a grid for `tarifa` shows: group 1 when its tariff matches (tariff 0 only for
// a money card type), else the first of groups 2-4 with that non-zero tariff; -1 when none.
int GrupoMostrado(const RegUsuario& u, std::int32_t tarifa, bool dinheiro);

}  // namespace telvarim
