#include <algorithm>
#include <tuple>

#include "cadastro_comum.h"
#include "cadastrotelvarim.h"
#include "cp1252.h"
#include "pedido.h"

namespace telvarim {

using namespace literais;
using namespace cadastro;

namespace {

const char* const kTitulosMoeda[3] = {"Vlr.Última Rec", "Vlr.Penúltima Rec", "Vlr.Antipenúltima Rec"};
const char* const kTitulosCredito[12] = {
    "Vlr.Última Rec Grupo1 ", "Vlr.Penúltima Rec Grupo1", "Vlr.Antipenúltima Rec Grupo1",
    "Vlr.Última Rec Grupo2",  "Vlr.Penúltima Rec Grupo2", "Vlr.Antipenúltima Rec Grupo2",
    "Vlr.Última Rec Grupo3",  "Vlr.Penúltima Rec Grupo3", "Vlr.Antipenúltima Rec Grupo3",
    "Vlr.Última Rec Grupo4",  "Vlr.Penúltima Rec Grupo4", "Vlr.Antipenúltima Rec Grupo4"};

const std::string kValorNegativo = " Não é possível gerar recarga com valor menor do que 0.00 "_cp;

std::string MensagemSemEspaco(int grupo, bool credito) {
  return "Valor Maior que o Permitido no Grupo " + NumeroTexto(grupo + 1) + " do Arquivo (" + LimiteNoPedido(credito) +
         ") - Verifique!";
}

// The least value a row of that card type can take: a centavo, or a whole credit.
Moeda MenorValor(bool credito) { return credito ? kUnidadeMoeda : kUnidadeMoeda / 100; }

// A value as the operator writes it: a full stop is the keypad's decimal point.
std::optional<Moeda> LeValorDigitado(std::string_view texto) {
  std::string t = Trim(texto);
  std::replace(t.begin(), t.end(), '.', ',');
  return LeMoeda(t);
}

}  // namespace

void CadastroTelvarim::Recusa_(std::string mensagem, bool erro) {
  if (erro)
    op_.Erro(mensagem);
  else
    op_.Mensagem(mensagem);
  throw Recusa{std::move(mensagem)};
}

// --- the view ------------------------------------------------------------------------------------------------

Resultado CadastroTelvarim::MostraTipoTarifa(std::int32_t tipo, std::int32_t tarifa) {
  return Protegido([&] {
    TipoCartaoAtual = tipo;
    TarifaAtual = tarifa;
    if (VistaEmCreditos()) colunas_ = 18;  // never lowered again while the window is open
    op_.Status("Preenchendo Grid. Aguarde...");
    ControlesHabilitados = true;
    Progresso.Visivel = false;
    op_.ProcessaMensagens();
    vista_ = MontaVista(tab_, QtdUsuarios, TipoCartaoAtual, TarifaAtual);
    ++mudancasVista_;
    op_.Status("Grid Preenchido.");
    op_.ProcessaMensagens();
    return Resultado::Ok();
  });
}

std::string CadastroTelvarim::TituloColuna(int coluna) const {
  if (coluna >= 0 && coluna < 5) return Utf8ParaCp1252(kTitulos0a4[coluna]);
  if (coluna == 5) return VistaEmCreditos() ? "Créditos"_cp : std::string("Valor");
  if (!VistaEmCreditos()) return coluna >= 6 && coluna < 9 ? Utf8ParaCp1252(kTitulosMoeda[coluna - 6]) : std::string();
  return coluna >= 6 && coluna < 18 ? Utf8ParaCp1252(kTitulosCredito[coluna - 6]) : std::string();
}

int CadastroTelvarim::LarguraColuna(int coluna) {
  static constexpr int kLarguras[9] = {65, 65, 65, 240, 50, 65, 100, 100, 100};
  return coluna >= 0 && coluna < 9 ? kLarguras[coluna] : 100;
}

const RegUsuario& CadastroTelvarim::UsuarioDaLinha(int linha) const {
  return tab_.Usuarios[static_cast<std::size_t>(vista_[static_cast<std::size_t>(linha)].Usuario)];
}

double CadastroTelvarim::ValorDaLinha(int linha) const {
  const LinhaVista& l = vista_[static_cast<std::size_t>(linha)];
  return UsuarioDaLinha(linha).Grupos[static_cast<std::size_t>(l.Grupo)].ValorRecarga;
}

std::string CadastroTelvarim::MotivoSemRecarga(int linha) const {
  if (linha < 0 || linha >= QtdLinhas()) return {};
  const bool credito = VistaEmCreditos();
  const int grupo = vista_[static_cast<std::size_t>(linha)].Grupo;
  if (CabeNoPedido(grupo, credito, MenorValor(credito))) return {};
  // The request writes money in group 1 alone; a holder shown here through another group is recharged
  // under the tariff of its group 1.
  if (!credito)
    return "Recarga não permitida nesta tarifa: o usuário está nela pelo Grupo "_cp + NumeroTexto(grupo + 1) +
           ", e o arquivo só leva valor em dinheiro no Grupo 1."_cp;
  return "Recarga não permitida nesta tarifa: o Grupo "_cp + NumeroTexto(grupo + 1) +
         " do arquivo não comporta valor."_cp;
}

std::string CadastroTelvarim::TextoCelula(int linha, int coluna) const {
  if (linha < 0 || linha >= QtdLinhas()) return {};
  const LinhaVista& l = vista_[static_cast<std::size_t>(linha)];
  const RegUsuario& u = UsuarioDaLinha(linha);
  const GrupoRecarga& g = u.Grupos[static_cast<std::size_t>(l.Grupo)];
  switch (coluna) {
    case 0:
      return NumeroTexto(u.CodUsuario);
    case 1:
      return NumeroTexto(u.NumCartao);
    case 2:
      return u.Matricula;
    case 3:
      return u.Nome;
    case 4:
      return NumeroTexto(g.CMM);
    case 5:
      return Formatado(g.ValorRecarga, FormatoValor());
    case 6:
    case 7:
    case 8:
      return Formatado(u.UltimasRecargas[static_cast<std::size_t>(3 * l.Grupo + coluna - 6)], FormatoValor());
    default:
      return {};
  }
}

// --- finding a holder -----------------------------------------------------------------------------------------

int CadastroTelvarim::ProcuraTitular(std::string_view texto, int linha) {
  const std::string alvo = DobraTexto(Trim(texto));
  if (alvo.empty()) return -1;
  const auto Casa = [&](const RegUsuario& u) {
    return NumeroTexto(u.CodUsuario).find(alvo) != std::string::npos ||
           NumeroTexto(u.NumCartao).find(alvo) != std::string::npos ||
           DobraTexto(u.Matricula).find(alvo) != std::string::npos ||
           DobraTexto(TrimRight(u.Nome)).find(alvo) != std::string::npos;
  };
  const auto Posicao = [](const std::vector<std::int32_t>& codigos, std::int32_t k) {
    return static_cast<std::size_t>(std::find(codigos.begin(), codigos.end(), k) - codigos.begin());
  };

  // Every holder has one place in the search: its row in the view shown, else its row in the first view that
  // shows it (its card type, and the first of its groups' tariffs that the file has), views in the order of
  // the two choices. The places are gone through in that order from the current row, and round again.
  struct Lugar {
    std::size_t tipo, tarifa;
    std::int32_t ordem;  // the row in the view shown, the table position elsewhere
    std::int32_t usuario;
    std::int32_t codigoTarifa;
  };
  std::vector<Lugar> lugares;
  lugares.reserve(static_cast<std::size_t>(std::max(QtdUsuarios, 0)));
  const std::size_t tipoAtual = Posicao(TiposDoArquivo, TipoCartaoAtual);
  const std::size_t tarifaAtual = Posicao(TarifasDoArquivo, TarifaAtual);
  std::vector<bool> naVista(static_cast<std::size_t>(std::max(QtdUsuarios, 0)), false);
  for (int r = 0; r < QtdLinhas(); ++r) {
    const std::int32_t u = vista_[static_cast<std::size_t>(r)].Usuario;
    naVista[static_cast<std::size_t>(u)] = true;
    lugares.push_back({tipoAtual, tarifaAtual, r, u, TarifaAtual});
  }
  for (std::int32_t i = 0; i < QtdUsuarios; ++i) {
    const RegUsuario& u = tab_.Usuarios[static_cast<std::size_t>(i)];
    const std::size_t tipo = Posicao(TiposDoArquivo, u.TipoCartao);
    if (naVista[static_cast<std::size_t>(i)] || tipo == TiposDoArquivo.size()) continue;
    const bool dinheiro = tab_.TipoCartao(u.TipoCartao).PorCreditos == 0;
    for (const GrupoRecarga& g : u.Grupos) {
      const std::size_t tarifa = Posicao(TarifasDoArquivo, g.Tarifa);
      if (tarifa == TarifasDoArquivo.size() || GrupoMostrado(u, g.Tarifa, dinheiro) < 0) continue;
      lugares.push_back({tipo, tarifa, i, i, g.Tarifa});
      break;
    }
  }
  std::sort(lugares.begin(), lugares.end(), [](const Lugar& a, const Lugar& b) {
    return std::tie(a.tipo, a.tarifa, a.ordem) < std::tie(b.tipo, b.tarifa, b.ordem);
  });

  // From the row after `linha` (from the first row of the view when there is none), round to `linha` itself.
  const Lugar daqui{tipoAtual, tarifaAtual, std::clamp(linha, -1, QtdLinhas() - 1), 0, 0};
  const std::size_t inicio = static_cast<std::size_t>(std::upper_bound(lugares.begin(), lugares.end(), daqui,
                                                                       [](const Lugar& a, const Lugar& b) {
                                                                         return std::tie(a.tipo, a.tarifa, a.ordem) <
                                                                                std::tie(b.tipo, b.tarifa, b.ordem);
                                                                       }) -
                                                      lugares.begin());
  for (std::size_t k = 0; k < lugares.size(); ++k) {
    const Lugar& l = lugares[(inicio + k) % lugares.size()];
    if (!Casa(tab_.Usuarios[static_cast<std::size_t>(l.usuario)])) continue;
    if (l.tipo == tipoAtual && l.tarifa == tarifaAtual) return l.ordem;
    if (!MostraTipoTarifa(tab_.Usuarios[static_cast<std::size_t>(l.usuario)].TipoCartao, l.codigoTarifa).Feito())
      return -1;
    for (int r = 0; r < QtdLinhas(); ++r)
      if (vista_[static_cast<std::size_t>(r)].Usuario == l.usuario) return r;
    return -1;
  }
  return -1;
}

// --- values --------------------------------------------------------------------------------------------------

Moeda CadastroTelvarim::ConfereValor(int linha, Moeda v) {
  const RegTipoCartao& c = TipoAtual();
  if (v < 0) Recusa_(kValorNegativo);
  const Moeda maximo = MoedaDeDouble(c.ValorMaximo);
  if (c.PorCreditos == 0 && v > maximo)
    Recusa_("Valor Maior que o Permitido(R$" + FormataPadrao(c.ValorMaximo, "###,##0.00") + ") - Verifique!");
  // Every credit card type has its maximum, whatever number marks it as one.
  if (c.PorCreditos != 0 && v > maximo)
    Recusa_("Valor Maior que o Permitido(" + MoedaFormaCurta(maximo) + ") - Verifique!");
  const Moeda guardado = ValorGuardado(v, c);
  // A value the request has no room for would be lost on the way out (or refuse the whole request): it is
  // refused here, where the operator typed it.
  const int grupo = vista_[static_cast<std::size_t>(linha)].Grupo;
  if (!CabeNoPedido(grupo, c.PorCreditos != 0, guardado)) {
    const std::string motivo = MotivoSemRecarga(linha);
    Recusa_(motivo.empty() ? MensagemSemEspaco(grupo, c.PorCreditos != 0) : motivo);
  }
  return guardado;
}

void CadastroTelvarim::Guarda(int linha, Moeda v) {
  const LinhaVista& l = vista_[static_cast<std::size_t>(linha)];
  tab_.Usuarios[static_cast<std::size_t>(l.Usuario)].Grupos[static_cast<std::size_t>(l.Grupo)].ValorRecarga =
      DoubleDeMoeda(v);
}

Resultado CadastroTelvarim::DigitaValor(int linha, std::string_view texto) {
  return Protegido([&] {
    if (linha < 0 || linha >= QtdLinhas()) return Resultado::Recusa({});
    const std::optional<Moeda> v = LeValorDigitado(texto);
    if (!v) Recusa_("Valor Inválido - Verifique!"_cp, true);
    Guarda(linha, ConfereValor(linha, *v));
    return Resultado::Ok();
  });
}

Resultado CadastroTelvarim::ConfereValorPadrao(std::string_view texto) {
  return Protegido([&] {
    const std::optional<Moeda> v = LeValorDigitado(texto);
    if (v && *v > MoedaDeDouble(TipoAtual().ValorMaximo))
      Recusa_("Valor Maior para o Tipo de Cartão ("_cp + Formatado(TipoAtual().ValorMaximo, FormatoValor()) +
              ") - Verifique!");
    return Resultado::Ok();
  });
}

Resultado CadastroTelvarim::AplicaValorPadrao(std::string_view texto) {
  const Resultado conferido = ConfereValorPadrao(texto);
  if (!conferido.Feito()) return conferido;
  return Protegido([&] {
    const std::optional<Moeda> v = LeValorDigitado(texto);
    if (!v) Recusa_("Valor Inválido - Verifique!"_cp, true);
    if (*v < 0) Recusa_(kValorNegativo);
    op_.LogAcrescenta("Inserido Valor Padrão - Tipo : "_cp + NumeroTexto(TipoCartaoAtual) +
                      " - Tarifa : " + NumeroTexto(TarifaAtual) + " - Valor : " + std::string(texto));
    const RegTipoCartao& c = TipoAtual();
    const Moeda guardado = ValorGuardado(*v, c);
    int zeradas = 0;
    for (int j = 0; j < QtdLinhas(); ++j) {
      const bool cabe = CabeNoPedido(vista_[static_cast<std::size_t>(j)].Grupo, c.PorCreditos != 0, guardado);
      Guarda(j, cabe ? guardado : 0);
      if (!cabe) ++zeradas;
    }
    if (zeradas > 0)
      op_.LogAcrescenta("Valor zerado em "_cp + NumeroTexto(zeradas) +
                        " linha(s): o grupo do arquivo não comporta o valor"_cp);
    return Resultado::Ok();
  });
}

Resultado CadastroTelvarim::CopiaUltimasRecargas() {
  return Protegido([&] {
    op_.LogAcrescenta("Atualizando valor com o último pedido - Tipo : "_cp + NumeroTexto(TipoCartaoAtual) +
                      " - Tarifa : " + NumeroTexto(TarifaAtual));
    const RegTipoCartao& c = TipoAtual();
    const Moeda maximo = MoedaDeDouble(c.ValorMaximo);
    int zeradas = 0, mantidas = 0;
    for (int j = 0; j < QtdLinhas(); ++j) {
      const LinhaVista& l = vista_[static_cast<std::size_t>(j)];
      const Moeda v =
          ValorGuardado(MoedaDeDouble(UsuarioDaLinha(j).UltimasRecargas[static_cast<std::size_t>(3 * l.Grupo)]), c);
      // A last recharge no recharge may carry now (negative, or above the card type's maximum) is refused
      // like a typed one: the row keeps its value.
      if (v < 0 || v > maximo) {
        ++mantidas;
        continue;
      }
      const bool cabe = CabeNoPedido(l.Grupo, c.PorCreditos != 0, v);
      Guarda(j, cabe ? v : 0);
      if (!cabe) ++zeradas;
    }
    if (zeradas > 0)
      op_.LogAcrescenta("Valor zerado em "_cp + NumeroTexto(zeradas) +
                        " linha(s): o grupo do arquivo não comporta o valor"_cp);
    if (mantidas > 0)
      op_.LogAcrescenta("Valor mantido em "_cp + NumeroTexto(mantidas) +
                        " linha(s): a última recarga passa do máximo do tipo de cartão"_cp);
    return Resultado::Ok();
  });
}

// --- totals --------------------------------------------------------------------------------------------------

double CadastroTelvarim::ArredondaValor(double x, int casas) const {
  return telvarim::ArredondaValor(x, casas, prog_.ModoArredondamento);
}

double CadastroTelvarim::PrecoCredito(std::int32_t tipoCartao, std::int32_t tarifa) const {
  return telvarim::PrecoCredito(tab_, tipoCartao, tarifa, prog_.ModoArredondamento);
}

Totais CadastroTelvarim::TotaisVista() const {
  const bool credito = TipoAtual().PorCreditos == 1;
  return TotaisDasLinhas(tab_, vista_, credito,
                         credito ? MoedaDeDouble(PrecoCredito(TipoCartaoAtual, TarifaAtual)) : 0);
}

Totais CadastroTelvarim::TotaisArquivo() const { return TotaisGerais(tab_, QtdUsuarios, prog_.ModoArredondamento); }

}  // namespace telvarim
