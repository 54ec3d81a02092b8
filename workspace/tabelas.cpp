#include "tabelas.h"

namespace telvarim {

const RegTipoCartao& Tabelas::TipoCartao(std::int32_t codigo) const {
  static const RegTipoCartao vazio{};
  return codigo >= 0 && codigo < kMaxTiposCartao ? TiposCartao[static_cast<std::size_t>(codigo)] : vazio;
}

const RegTarifa& Tabelas::Tarifa(std::int32_t codigo) const {
  static const RegTarifa vazia{};
  return codigo >= 0 && codigo < kMaxTarifas ? Tarifas[static_cast<std::size_t>(codigo)] : vazia;
}

Tabelas& TabelasProcesso() {
  static Tabelas t;
  return t;
}

ValoresPrograma& Programa() {
  static ValoresPrograma v;
  return v;
}

}  // namespace telvarim
