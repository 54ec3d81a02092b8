// The process-wide tables and values: they live for the whole run, outside any window, and keep the last
// processed file also across closing and reopening the workspace.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "pastas.h"
#include "records.h"
#include "versao.h"

namespace telvarim {

// One row of the ordering and listing buffer: a holder and the group the row stands for.
struct RegListagem {
  std::int32_t CodUsuario = 0;
  std::int32_t NumCartao = 0;
  std::string Nome;
  std::string Matricula;
  std::int32_t TipoCartao = 0;
  std::int32_t Tarifa = 0;
  std::int32_t CMM = 0;
  double ValorRecarga = 0;
};

struct Tabelas {
  std::vector<RegUsuario> Usuarios = std::vector<RegUsuario>(kMaxUsuarios);
  std::array<RegTipoCartao, kMaxTiposCartao> TiposCartao{};
  std::array<RegTarifa, kMaxTarifas> Tarifas{};
  std::vector<RegListagem> Listagem = std::vector<RegListagem>(kMaxListagem);

  // The card type of a code, or an empty entry (money type, no maximum) for a code outside the table.
  const RegTipoCartao& TipoCartao(std::int32_t codigo) const;
  const RegTarifa& Tarifa(std::int32_t codigo) const;

  // Whoever refills the tables (a processing, in any window) says so here: what was built over their old
  // contents is then built again.
  void Mudaram() { ++mudancas_; }
  // The first holder among the first `qtdUsuarios`, in table order, with that matrícula (trimmed) and card
  // type; -1 when none. The index behind it belongs to these tables: it is rebuilt after they changed.
  std::int32_t LocalizaUsuario(const std::string& matricula, std::int32_t tipoCartao, std::int32_t qtdUsuarios);

 private:
  unsigned mudancas_ = 0;
  struct Indice {
    std::unordered_map<std::string, std::int32_t> mapa;
    std::int32_t qtd = -1;
    unsigned mudancas = 0;
  } indice_;
};

// Values the main window holds for the whole program.
struct ValoresPrograma {
  std::string VersaoModulo = kVersaoModulo;
  double FatorCentavos = kFatorCentavos;
  std::int32_t ModoArredondamento = 0;  // 1 rounds credit prices up, 2 truncates, other values leave them
  // The work folders of this run, decided once at start-up; the windows the shell opens work there.
  PastasTrabalho Pastas;
};

// The single instances of the running program (built empty at start-up, released at exit).
Tabelas& TabelasProcesso();
ValoresPrograma& Programa();

}  // namespace telvarim
