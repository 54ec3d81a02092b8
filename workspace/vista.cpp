#include "vista.h"

#include "cp1252.h"

namespace telvarim {

int GrupoMostrado(const RegUsuario& u, std::int32_t tarifa, bool dinheiro) {
  if (u.Grupos[0].Tarifa == tarifa && (tarifa != 0 || dinheiro)) return 0;
  for (int g = 1; g < 4; ++g)
    if (tarifa != 0 && u.Grupos[static_cast<std::size_t>(g)].Tarifa == tarifa) return g;
  return -1;
}

std::vector<LinhaVista> MontaVista(const Tabelas& t, std::int32_t qtdUsuarios, std::int32_t tipo, std::int32_t tarifa) {
  const bool dinheiro = t.TipoCartao(tipo).PorCreditos == 0;
  std::vector<LinhaVista> v;
  for (std::int32_t i = 0; i < qtdUsuarios; ++i) {
    const RegUsuario& u = t.Usuarios[static_cast<std::size_t>(i)];
    if (u.TipoCartao != tipo) continue;
    const int g = GrupoMostrado(u, tarifa, dinheiro);
    if (g >= 0) v.push_back({i, g});
  }
  return v;
}

const char* FormatoDoTipo(const RegTipoCartao& c) { return c.PorCreditos != 0 ? "##0" : "##0.00"; }

Moeda ValorGuardado(Moeda v, const RegTipoCartao& c) {
  const Moeda unidade = c.PorCreditos != 0 ? kUnidadeMoeda : kUnidadeMoeda / 100;
  const Moeda resto = v % unidade;
  Moeda q = v / unidade;
  if (2 * (resto < 0 ? -resto : resto) >= unidade) q += v < 0 ? -1 : 1;
  return q * unidade;
}

std::string TextoTipoCartao(const RegTipoCartao& c) { return FormataInteiro(c.Codigo, "000") + " - " + c.Descricao; }

std::string TextoTarifa(const RegTarifa& t) {
  if (t.Codigo == 0) return "00 - " + t.Descricao;
  return FormataInteiro(t.Codigo, "00") + " - " + t.Descricao + " - " + FormataPadrao(t.Valor, "#,##0.00");
}

}  // namespace telvarim
