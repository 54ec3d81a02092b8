#include "listagem.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "cp1252.h"
#include "numbers.h"
#include "totais.h"

namespace telvarim {

namespace {

using namespace literais;

// The printf widths of the layout ("%-Ns" and "%Ns"): a minimum, the text is never cut. Done by hand so that
// any byte of a name (a NUL included) prints as it is.
std::string Esq(std::string_view s, std::size_t largura) {
  std::string r(s);
  if (r.size() < largura) r.append(largura - r.size(), ' ');
  return r;
}

std::string Dir(std::string_view s, std::size_t largura) {
  return s.size() < largura ? std::string(largura - s.size(), ' ') + std::string(s) : std::string(s);
}

// The fields of a detail line, in order, one blank between them: code, card, matrícula, name, card type,
// tariff, quantity, total.
struct CampoDetalhe {
  const char* titulo;
  std::size_t largura;  // the layout's width, a minimum
  bool aDireita;
};
constexpr CampoDetalhe kCamposDetalhe[] = {{"Usuário", 16, false}, {"Cartão", 16, false}, {"Matrícula", 20, false},
                                           {"Nome", 40, false},    {"Tipo", 2, false},    {"Tarifa", 6, true},
                                           {"Valor", 15, true},    {"Total", 15, true}};
constexpr std::size_t kCampoNome = 3;
constexpr std::size_t kLarguraNome = 50;  // a name always prints its 50 characters

const std::string kCredito = "Crédito"_cp;
const std::string kUnidade = "Unidade Tarifária"_cp;
const std::string kTipoCartao = "Tipo Cartão : "_cp;

std::string SubTotal(double quantidade, bool credito, double dinheiro) {
  const std::string q = FormataPadrao(quantidade, credito ? "###,####,##0" : "###,####,##0.00");
  return "Sub-Total :" + std::string(105, ' ') + Dir(q, 15) + std::string(10, ' ') +
         Esq(FormataPadrao(dinheiro, "###,####,##0.00"), 15);
}

}  // namespace

std::vector<RegListagem> LinhasDeListagem(const Tabelas& t, std::int32_t qtdUsuarios) {
  std::vector<RegListagem> v;
  v.reserve(static_cast<std::size_t>(qtdUsuarios));
  for (std::int32_t i = 0; i < qtdUsuarios; ++i) {
    const RegUsuario& u = t.Usuarios[static_cast<std::size_t>(i)];
    for (std::size_t g = 0; g < 4; ++g) {
      const GrupoRecarga& gr = u.Grupos[g];
      if (g == 0 || (gr.Tarifa != 0 && gr.CMM != 0 && gr.ValorRecarga != 0))
        v.push_back(RegListagem{u.CodUsuario, u.NumCartao, u.Nome, u.Matricula, u.TipoCartao, gr.Tarifa, gr.CMM,
                                gr.ValorRecarga});
    }
  }
  return v;
}

std::vector<std::string> TextoListagem(const Tabelas& t, const std::vector<RegListagem>& linhas, std::int32_t modo) {
  std::vector<std::string> l;
  l.reserve(linhas.size() + 8);
  double qtdGrupo = 0, dinheiroGrupo = 0, dinheiroGeral = 0;
  bool creditoGrupo = false, primeiro = true;
  std::string chave;
  for (const RegListagem& e : linhas) {
    const RegTipoCartao& c = t.TipoCartao(e.TipoCartao);
    const bool credito = c.PorCreditos != 0;
    const double preco = credito ? ArredondaValor(t.Tarifa(e.Tarifa).Valor * c.PercentualTarifa * 0.01, 2, modo) : 0;
    const double total = credito ? preco * e.ValorRecarga : e.ValorRecarga;

    const std::string codigo = std::to_string(e.TipoCartao);
    if (primeiro || codigo != chave) {
      if (!primeiro) {
        l.emplace_back();
        l.push_back(SubTotal(qtdGrupo, creditoGrupo, dinheiroGrupo));
        l.emplace_back();
        qtdGrupo = dinheiroGrupo = 0;
      }
      l.push_back(kTipoCartao + Esq(codigo, 2) + " - " + Esq(c.Descricao, 30) +
                  "                     Tipo : " + Esq(credito ? kCredito : kUnidade, 16));
      l.emplace_back();
      chave = codigo;
      primeiro = false;
    }
    creditoGrupo = credito;

    const std::string tarifa = credito ? FormataPadrao(t.Tarifa(e.Tarifa).Valor, "###,##0.00") : " - ";
    const std::string quantidade = FormataPadrao(e.ValorRecarga, credito ? "###,####,##0" : "###,####,##0.00");
    const std::string campos[] = {std::to_string(e.CodUsuario),
                                  std::to_string(e.NumCartao),
                                  e.Matricula,
                                  e.Nome,
                                  codigo,
                                  tarifa,
                                  quantidade,
                                  FormataPadrao(total, "###,####,##0.00")};
    std::string detalhe;
    for (std::size_t i = 0; i < std::size(kCamposDetalhe); ++i) {
      const CampoDetalhe& f = kCamposDetalhe[i];
      if (i > 0) detalhe += ' ';
      detalhe += f.aDireita ? Dir(campos[i], f.largura) : Esq(campos[i], f.largura);
    }
    l.push_back(std::move(detalhe));
    qtdGrupo += e.ValorRecarga;
    dinheiroGrupo += total;
    dinheiroGeral += total;
  }
  l.emplace_back();
  l.push_back(SubTotal(qtdGrupo, creditoGrupo, dinheiroGrupo));
  l.emplace_back();
  l.push_back("Total Geral :" + std::string(128, ' ') + Esq(FormataPadrao(dinheiroGeral, "###,####,##0.00"), 30));
  l.emplace_back();
  return l;
}

std::string RotuloClassificacao(Classificacao c) {
  switch (c) {
    case Classificacao::Alfabetica:
      return "Classificação : Por Nome Usuário"_cp;
    case Classificacao::Matricula:
      return "Classificação : Por Matrícula Usuário"_cp;
    case Classificacao::Codigo:
      break;
  }
  return "Classificação : Por Código Usuário"_cp;
}

std::vector<ColunaListagem> ColunasListagem() {
  std::vector<ColunaListagem> colunas;
  std::size_t inicio = 0;
  for (std::size_t i = 0; i < std::size(kCamposDetalhe); ++i) {
    const CampoDetalhe& f = kCamposDetalhe[i];
    const std::size_t largura = i == kCampoNome ? std::max(f.largura, kLarguraNome) : f.largura;
    colunas.push_back({Utf8ParaCp1252(f.titulo), inicio, largura, f.aDireita});
    inicio += largura + 1;
  }
  return colunas;
}

}  // namespace telvarim
