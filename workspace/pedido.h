// What a request (or a draft) holds, as plain functions over the tables and the received header: the
// workspace reads the clock, calls these, and packs the lines.
//
// A request is: the header; a card-type record for every table entry whose code is not 0, in code order; a
// tariff record for every entry whose description is not empty, in code order; one detail per holder in
// table order (every holder, whatever its values); the trailer. The trailer counts the header, the trailer,
// the card types and the tariffs (not the details), then per group the details whose tariff is not 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datetime.h"
#include "numbers.h"
#include "records.h"
#include "tabelas.h"

namespace telvarim {

// What a detail's value field can carry for group `grupo` (0 = group 1): group 1 has 18 digits; groups 2-4
// have three, which carry whole credits from -99 to 999 and nothing of a money card type (their value is
// written as 0 whatever it holds). `credito`: the card type's PorCreditos is not 0.
bool CabeNoPedido(int grupo, bool credito, Moeda valor);
// The largest value groups 2-4 carry, as messages show it ("999", "0,00").
std::string LimiteNoPedido(bool credito);

// "RM_" + company (6 digits) + "_" + sequence (4 digits) + "_" + YYMMDDHHNN + "_2" + extension (".REC" or
// ".LOG").
std::string NomePedido(std::int32_t codEmpresa, std::int32_t seq, const DataHora& quando, const char* extensao);

// The records between the header and the trailer, and the trailer they make. Throws ErroFormato when a
// value does not fit its field.
struct CorpoPedido {
  std::vector<std::string> linhas;
  RegRodape rodape;
};
CorpoPedido MontaCorpoPedido(const Tabelas& t, std::int32_t qtdUsuarios);

// The header a request carries: the received header with this writing's start and end, the sealed flag set,
// its own file name and this program's version.
RegCabecalho CabecalhoPedido(const RegCabecalho& recebido, const DataHora& inicio, const DataHora& termino,
                             const std::string& arquivoGerado, const std::string& versaoModulo);

// The whole request: header, body, trailer.
std::vector<std::string> LinhasPedido(const RegCabecalho& cabecalho, const CorpoPedido& corpo);

}  // namespace telvarim
