#include "totais.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

namespace telvarim {

double ArredondaValor(double x, int casas, std::int32_t modo) {
  const double p = std::pow(10.0, casas);
  // Rounded to nine decimals before the integer part is taken, so that a price held in binary just below
  // its decimal value (2,30 is 2,2999...) keeps its last digit.
  auto inteiro = [](double v) { return std::trunc(std::round(v * 1e9) / 1e9); };
  switch (modo) {
    case 1:
      return inteiro((x + 0.9 / p) * p) / p;
    case 2:
      return inteiro(x * p) / p;
    default:
      return x;
  }
}

double PrecoCredito(const Tabelas& t, std::int32_t tipo, std::int32_t tarifa, std::int32_t modo) {
  return ArredondaValor(t.TipoCartao(tipo).PercentualTarifa * 0.01 * t.Tarifa(tarifa).Valor, 2, modo);
}

Totais TotaisDasLinhas(const Tabelas& t, const std::vector<LinhaVista>& linhas, bool credito, Moeda preco) {
  Totais r;
  for (const LinhaVista& l : linhas) {
    const double valor =
        t.Usuarios[static_cast<std::size_t>(l.Usuario)].Grupos[static_cast<std::size_t>(l.Grupo)].ValorRecarga;
    std::optional<Moeda> q;
    try {
      q = MoedaDeDouble(valor);
    } catch (const ErroConversao&) {
    }
    if (!q) continue;
    if (credito) {
      if (preco != 0 && std::llabs(*q) > std::numeric_limits<Moeda>::max() / std::llabs(preco)) continue;
      r.dinheiro += DoubleDeMoeda(*q * preco / 10000);
      r.creditos += *q / 10000;
    } else {
      r.dinheiro += DoubleDeMoeda(*q);
    }
  }
  return r;
}

Totais TotaisGerais(const Tabelas& t, std::int32_t qtdUsuarios, std::int32_t modo) {
  Totais r;
  for (std::int32_t i = 0; i < qtdUsuarios; ++i) {
    const RegUsuario& u = t.Usuarios[static_cast<std::size_t>(i)];
    const RegTipoCartao& c = t.TipoCartao(u.TipoCartao);
    double d = 0;
    long long cr = r.creditos;
    bool ok = true;
    if (c.PorCreditos == 1) {
      for (const auto& g : u.Grupos) {
        d += PrecoCredito(t, u.TipoCartao, g.Tarifa, modo) * g.ValorRecarga;
        const double s = std::trunc(static_cast<double>(cr) + g.ValorRecarga);
        if (!std::isfinite(s) || std::fabs(s) > 9e15) {
          ok = false;
          break;
        }
        cr = static_cast<long long>(s);
      }
    } else {
      for (const auto& g : u.Grupos) d += g.ValorRecarga;
    }
    if (!ok || !std::isfinite(d)) continue;
    r.dinheiro += d;
    r.creditos = cr;
  }
  return r;
}

}  // namespace telvarim
