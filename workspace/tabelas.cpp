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

std::int32_t Tabelas::LocalizaUsuario(const std::string& matricula, std::int32_t tipoCartao, std::int32_t qtdUsuarios) {
  // One index per loaded file: a 10000-record import must not walk the table for every record.
  if (indice_.qtd != qtdUsuarios || indice_.mudancas != mudancas_) {
    indice_.mapa.clear();
    for (std::int32_t i = qtdUsuarios - 1; i >= 0; --i) {  // backwards, so the first in table order wins
      const RegUsuario& u = Usuarios[static_cast<std::size_t>(i)];
      indice_.mapa[u.Matricula + '\n' + std::to_string(u.TipoCartao)] = i;
    }
    indice_.qtd = qtdUsuarios;
    indice_.mudancas = mudancas_;
  }
  const auto it = indice_.mapa.find(matricula + '\n' + std::to_string(tipoCartao));
  return it == indice_.mapa.end() ? -1 : it->second;
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
