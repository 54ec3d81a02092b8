#include "cadastrotelvarim.h"

#include <algorithm>
#include <cmath>

#include "atualizacao.h"
#include "cadastro_comum.h"
#include "cp1252.h"
#include "pedido.h"
#include "totais.h"

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

}  // namespace

void CadastroTelvarim::HabilitaControles(bool habilitado) {
  // "Imprimir" and "Importar Arquivo" are among the controls; the totals may switch them off again while an
  // import runs.
  ControlesHabilitados = btnimpressaoEnabled = btnimportararqEnabled = habilitado;
}

void CadastroTelvarim::MostraProgresso(bool visivel) {
  ProgressoVisivel = visivel;
  Label18.Visible = Label19.Visible = visivel;
}

void CadastroTelvarim::MostraContador(int n) { Label18.Caption = NumeroTexto(n); }

void CadastroTelvarim::DefineValorPadrao(Moeda v) {
  edalteravlr = FormataMoeda(v, edalteravlrDecimais == 2 ? "0.00" : "0");
}

void CadastroTelvarim::EscreveTitulos(bool credito) {
  for (int c = 0; c < 5; ++c) sgRecarga.SetCell(c, 0, Utf8ParaCp1252(kTitulos0a4[c]));
  sgRecarga.SetCell(5, 0, credito ? "Créditos"_cp : std::string("Valor"));
  FormatoValor = credito ? "##0" : "##0.00";
  edalteravlrDecimais = credito ? 0 : 2;
  DefineValorPadrao(0);
}

void CadastroTelvarim::cbtipocartaoChange() {
  Protegido([&] {
    TipoCartaoAtual = TarifaAtual = 0;
    sgRecarga.LimpaCelulas();
    lbltipo.Caption = cbtipocartao.Texto();
    lbltarifa.Caption = cbtarifa.Texto();
    sgRecarga.SetRowCount(1);
    TipoCartaoAtual = TextoParaInteiro(Campo(cbtipocartao.Texto(), 1, 3), "Tipo de Cartão"_cp);
    TarifaAtual = TextoParaInteiro(Campo(cbtarifa.Texto(), 1, 2), "Tarifa");

    sgRecarga.SetRowCount(2);
    sgRecarga.FixedRows = 1;
    static constexpr int kLarguras[9] = {65, 65, 65, 240, 50, 65, 100, 100, 100};
    for (int c = 0; c < 9; ++c) sgRecarga.SetColWidth(c, kLarguras[c]);
    const bool credito = TipoAtual().PorCreditos != 0;
    EscreveTitulos(credito);
    if (!credito) {
      for (int c = 0; c < 3; ++c) sgRecarga.SetCell(6 + c, 0, Utf8ParaCp1252(kTitulosMoeda[c]));
    } else {
      if (sgRecarga.ColCount() < 18) sgRecarga.SetColCount(18);  // never lowered again
      for (int c = 9; c < 18; ++c) sgRecarga.SetColWidth(c, 100);
      for (int c = 0; c < 12; ++c) sgRecarga.SetCell(6 + c, 0, Utf8ParaCp1252(kTitulosCredito[c]));
    }

    op_.Status("Preenchendo Grid. Aguarde...");
    HabilitaControles(true);
    MostraProgresso(false);
    op_.ProcessaMensagens();

    const bool dinheiro = !credito;
    for (std::int32_t i = 0; i < QtdUsuarios; ++i) {
      const RegUsuario& u = tab_.Usuarios[static_cast<std::size_t>(i)];
      if (u.TipoCartao != TipoCartaoAtual) continue;
      const int g = GrupoMostrado(u, TarifaAtual, dinheiro);
      if (g < 0) continue;
      const GrupoRecarga& gr = u.Grupos[static_cast<std::size_t>(g)];
      sgRecarga.SetRowCount(sgRecarga.RowCount() + 1);
      const int row = sgRecarga.RowCount() - 2;
      PreencheLinha(row, RegListagem{u.CodUsuario, u.NumCartao, u.Nome, u.Matricula, u.TipoCartao, gr.Tarifa, gr.CMM,
                                     gr.ValorRecarga});
      for (int k = 0; k < 3; ++k)
        sgRecarga.SetCell(6 + k, row, Formatado(u.UltimasRecargas[static_cast<std::size_t>(3 * g + k)], FormatoValor));
    }

    op_.Status("Grid Preenchido.");
    HabilitaControles(true);
    op_.ProcessaMensagens();

    sgRecarga.SetRowCount(sgRecarga.RowCount() - 1);
    if (sgRecarga.RowCount() > 1) {
      lblqtdrec.Caption = NumeroTexto(sgRecarga.RowCount() - 1);
      CalculaGrid();
    } else {
      sgRecarga.SetRowCount(2);
      sgRecarga.FixedRows = 1;
      lblqtdrec.Caption = "0";
      CalculaGrid();  // an empty grid totals zero, not the previous grid's figures
    }
    sgRecarga.Row = 1;
    sgRecarga.Col = 5;
    CalculaRecargasGeral();
  });
}

void CadastroTelvarim::cbtarifaChange() { cbtipocartaoChange(); }

void CadastroTelvarim::PreencheLinha(int row, const RegListagem& e) {
  sgRecarga.SetCell(0, row, NumeroTexto(e.CodUsuario));
  sgRecarga.SetCell(1, row, NumeroTexto(e.NumCartao));
  sgRecarga.SetCell(2, row, e.Matricula);
  sgRecarga.SetCell(3, row, e.Nome);
  sgRecarga.SetCell(4, row, NumeroTexto(e.CMM));
  sgRecarga.SetCell(5, row, Formatado(e.ValorRecarga, FormatoValor));
}

// --- editing and totals ----------------------------------------------------------------------------------

CadastroTelvarim::Alinhamento CadastroTelvarim::AlinhamentoCelula(int col, int row) {
  if (row == 0) return Alinhamento::Centro;
  return col == 2 || col == 3 ? Alinhamento::Esquerda : Alinhamento::Direita;
}

bool CadastroTelvarim::sgRecargaSelectCell(int col, int row) {
  sgRecarga.Editing = col == 5 && row >= sgRecarga.FixedRows;
  return true;
}

double CadastroTelvarim::ArredondaValor(double x, int casas) const {
  return telvarim::ArredondaValor(x, casas, prog_.ModoArredondamento);
}

double CadastroTelvarim::PrecoCredito(std::int32_t tipoCartao, std::int32_t tarifa) const {
  return telvarim::PrecoCredito(tab_, tipoCartao, tarifa, prog_.ModoArredondamento);
}

void CadastroTelvarim::ValidaValorDigitado() {
  const int r = sgRecarga.Row;
  std::string texto = Trim(sgRecarga.Cell(5, r));
  std::replace(texto.begin(), texto.end(), '.', ',');
  const std::string zero = FormataMoeda(0, FormatoValor);
  std::optional<Moeda> v = LeMoeda(texto);
  if (!v) {
    op_.Erro("Valor Inválido - Verifique!"_cp);
    sgRecarga.SetCell(5, r, zero);
    throw Abortado{};
  }
  const RegTipoCartao& c = TipoAtual();
  if (c.PorCreditos == 0 && *v > MoedaDeDouble(c.ValorMaximo)) {
    op_.Mensagem("Valor Maior que o Permitido(R$" + FormataPadrao(c.ValorMaximo, "###,##0.00") + ") - Verifique!");
    sgRecarga.SetCell(5, r, zero);
    throw Abortado{};
  }
  if (c.PorCreditos == 1 && *v > MoedaDeDouble(c.ValorMaximo)) {
    op_.Mensagem("Valor Maior que o Permitido(" + MoedaFormaCurta(MoedaDeDouble(c.ValorMaximo)) + ") - Verifique!");
    sgRecarga.SetCell(5, r, zero);
    throw Abortado{};
  }
  const std::string formatado = FormataMoeda(*v, FormatoValor);
  // A value the request has no room for would be lost on the way out (or refuse the whole request): it is
  // refused here, where the operator typed it.
  const int grupo = GrupoDaLinha(tab_, QtdUsuarios, sgRecarga, r, TipoCartaoAtual, TarifaAtual);
  const bool credito = c.PorCreditos != 0;
  if (!CabeNoPedido(grupo, credito, TextoParaMoeda(formatado))) {
    op_.Mensagem(MensagemSemEspaco(grupo, credito));
    sgRecarga.SetCell(5, r, zero);
    throw Abortado{};
  }
  sgRecarga.SetCell(5, r, formatado);

  // Quick store while the grid rows stand at their holders' positions in the table.
  if (r - 1 < 0 || r - 1 >= QtdUsuarios) return;
  RegUsuario& u = tab_.Usuarios[static_cast<std::size_t>(r - 1)];
  if (InteiroOuPadrao(Trim(sgRecarga.Cell(0, r)), -1) != u.CodUsuario) return;
  if (InteiroOuPadrao(Trim(sgRecarga.Cell(1, r)), -1) != u.NumCartao) return;
  if (Trim(sgRecarga.Cell(2, r)) != Trim(u.Matricula)) return;
  if (u.TipoCartao != TipoCartaoAtual) return;
  for (auto& g : u.Grupos)
    if (g.Tarifa == TarifaAtual) {
      g.ValorRecarga = DoubleDeMoeda(TextoParaMoeda(sgRecarga.Cell(5, r)));
      break;
    }
}

void CadastroTelvarim::Enter() {
  const std::string texto = sgRecarga.Cell(sgRecarga.Col, sgRecarga.Row);
  const double v = LeDouble(texto).value_or(0);
  if (v < 0) {
    op_.Mensagem(" Não é possível gerar recarga com valor menor do que 0.00 "_cp);
    sgRecarga.SetCell(sgRecarga.Col, sgRecarga.Row, FormaGeral(std::fabs(v)));
    return;  // the operator confirms the positive value with Enter again
  }
  ValidaValorDigitado();
  CalculaRecargasGeral();
  CalculaGrid();
  if (sgRecarga.Row < sgRecarga.RowCount() - 1) ++sgRecarga.Row;
  sgRecarga.Col = 5;
}

std::string CadastroTelvarim::MensagemSemEspaco(int grupo, bool credito) {
  return "Valor Maior que o Permitido no Grupo " + NumeroTexto(grupo + 1) + " do Arquivo (" + LimiteNoPedido(credito) +
         ") - Verifique!";
}

void CadastroTelvarim::ZeraSemEspaco() {
  const bool credito = TipoAtual().PorCreditos != 0;
  const std::vector<int> grupos = GruposDasLinhas(tab_, QtdUsuarios, sgRecarga, TipoCartaoAtual, TarifaAtual);
  const std::string zero = FormataMoeda(0, FormatoValor);
  int zeradas = 0;
  for (int j = 1; j < sgRecarga.RowCount(); ++j) {
    const std::optional<Moeda> v = LeMoeda(Trim(sgRecarga.Cell(5, j)));
    if (v && !CabeNoPedido(grupos[static_cast<std::size_t>(j)], credito, *v)) {
      sgRecarga.SetCell(5, j, zero);
      ++zeradas;
    }
  }
  if (zeradas > 0)
    op_.LogAcrescenta("Valor zerado em "_cp + NumeroTexto(zeradas) +
                      " linha(s): o grupo do arquivo não comporta o valor"_cp);
}

void CadastroTelvarim::sgRecargaKeyPress(char tecla) {
  if (tecla != '\r') return;
  Protegido([&] { Enter(); });
}

void CadastroTelvarim::sgRecargaKeyDown(Tecla tecla) {
  if (tecla == Tecla::Cima || tecla == Tecla::Baixo) sgRecarga.Col = 5;
}

void CadastroTelvarim::sgRecargaExit() {
  Protegido([&] {
    Enter();
    AtualizaArrayRecargas();
    CalculaRecargasGeral();
  });
}

void CadastroTelvarim::AtualizaArrayRecargas() {
  Label19.Caption = "Registros Atualizados: ";
  op_.ProcessaMensagens();
  // The write-back runs without letting clicks in between: the controls stay disabled until it ends.
  HabilitaControles(false);
  MostraProgresso(true);
  GaugeMaximo = QtdUsuarios;
  GaugeProgresso = 0;
  struct Fim {
    CadastroTelvarim& c;
    ~Fim() {
      c.MostraProgresso(false);
      c.HabilitaControles(true);
    }
  } fim{*this};

  AtualizaValoresDaGrade(tab_, QtdUsuarios, sgRecarga, TipoCartaoAtual, TarifaAtual, [&](int feitos) {
    GaugeProgresso = feitos;
    MostraContador(feitos);
    op_.ProcessaMensagens();
  });
  CalculaRecargasGeral();
  CalculaGrid();
}

void CadastroTelvarim::CalculaGrid() {
  const bool credito = TipoAtual().PorCreditos == 1;
  const Totais t =
      TotaisGrade(sgRecarga, credito, credito ? MoedaDeDouble(PrecoCredito(TipoCartaoAtual, TarifaAtual)) : 0);
  lblvlrrecdig.Caption = FormataPadrao(t.dinheiro, "###,##0.00");
  lblqtdrecdig.Caption = FormataInteiro(t.creditos, "###,##0");
}

void CadastroTelvarim::CalculaRecargasGeral() {
  const Totais t = TotaisGerais(tab_, QtdUsuarios, prog_.ModoArredondamento);
  lblgervlrdig.Caption = FormataPadrao(t.dinheiro, "###,##0.00");
  lblgerqtddig.Caption = FormataInteiro(t.creditos, "###,##0");
  btnimpressaoEnabled = btnimportararqEnabled = !ImportandoArquivo;
}

void CadastroTelvarim::btnalteravlrClick() {
  Protegido([&] {
    if (LeMoeda(edalteravlr).value_or(0) < 0) {
      op_.Mensagem(" Não é possível gerar recarga com valor menor do que 0.00 "_cp);
      return;
    }
    op_.LogAcrescenta("Inserido Valor Padrão - Tipo : "_cp + NumeroTexto(TipoCartaoAtual) +
                      " - Tarifa : " + NumeroTexto(TarifaAtual) + " - Valor : " + edalteravlr);
    const std::string v = Trim(edalteravlr);
    for (int j = 1; j < sgRecarga.RowCount(); ++j) sgRecarga.SetCell(5, j, v);
    ZeraSemEspaco();
    AtualizaArrayRecargas();
    CalculaRecargasGeral();
    CalculaGrid();
  });
}

bool CadastroTelvarim::edalteravlrExit() {
  const std::optional<Moeda> v = LeMoeda(edalteravlr);
  if (v && *v > MoedaDeDouble(TipoAtual().ValorMaximo)) {
    op_.Mensagem("Valor Maior para o Tipo de Cartão ("_cp + Formatado(TipoAtual().ValorMaximo, FormatoValor) +
                 ") - Verifique!");
    return false;
  }
  return true;
}

void CadastroTelvarim::BitBtn1Click() {
  Protegido([&] {
    op_.LogAcrescenta("Atualizando valor com o último pedido - Tipo : "_cp + NumeroTexto(TipoCartaoAtual) +
                      " - Tarifa : " + NumeroTexto(TarifaAtual));
    for (int j = 1; j < sgRecarga.RowCount(); ++j) sgRecarga.SetCell(5, j, sgRecarga.Cell(6, j));
    ZeraSemEspaco();
    AtualizaArrayRecargas();
    CalculaRecargasGeral();
    CalculaGrid();
  });
}

}  // namespace telvarim
