#include "cadastrotelvarim.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <numeric>
#include <system_error>
#include <unordered_map>

#include "cp1252.h"
#include "pastas.h"

namespace fs = std::filesystem;

namespace telvarim {

using namespace literais;

namespace {

const std::string kIguais(81, '=');

std::string NumeroTexto(long long v) { return std::to_string(v); }

std::string Zeros(long long v, int digitos) { return FormataInteiro(v, std::string(static_cast<std::size_t>(digitos), '0')); }

const char* const kTitulosMoeda[3] = {"Vlr.Última Rec", "Vlr.Penúltima Rec", "Vlr.Antipenúltima Rec"};
const char* const kTitulosCredito[12] = {
    "Vlr.Última Rec Grupo1 ",       "Vlr.Penúltima Rec Grupo1", "Vlr.Antipenúltima Rec Grupo1",
    "Vlr.Última Rec Grupo2",        "Vlr.Penúltima Rec Grupo2", "Vlr.Antipenúltima Rec Grupo2",
    "Vlr.Última Rec Grupo3",        "Vlr.Penúltima Rec Grupo3", "Vlr.Antipenúltima Rec Grupo3",
    "Vlr.Última Rec Grupo4",        "Vlr.Penúltima Rec Grupo4", "Vlr.Antipenúltima Rec Grupo4"};
const char* const kTitulos0a4[5] = {"Usuário", "Cartão", "Matrícula", "Nome", "CMM"};

// The group a holder shows for a tariff: group 1 when its tariff matches (tariff 0 only for money types),
// else the first of groups 2-4 with that non-zero tariff; -1 when none.
int GrupoMostrado(const RegUsuario& u, std::int32_t tarifa, bool dinheiro) {
  if (u.Grupos[0].Tarifa == tarifa && (tarifa != 0 || dinheiro)) return 0;
  for (int g = 1; g < 4; ++g)
    if (tarifa != 0 && u.Grupos[static_cast<std::size_t>(g)].Tarifa == tarifa) return g;
  return -1;
}

std::string Formatado(double v, const std::string& formato) { return FormataMoeda(MoedaDeDouble(v), formato); }

}  // namespace

// ---------------------------------------------------------------------------------------------------------

void ListaArquivosTela::Update() {
  Items = ListaArquivos(Directory, Mask);
  if (ItemIndex >= Count()) ItemIndex = Count() - 1;
}

fs::path ListaArquivosTela::Caminho(int i) const {
  if (i < 0 || i >= Count()) return {};
  return Directory / CaminhoDeTexto(Items[static_cast<std::size_t>(i)]);
}

CadastroTelvarim::CadastroTelvarim(Operador& operador, Tabelas& tabelas, ValoresPrograma& programa,
                                   const Relogio& relogio, Codecs& codecs)
    : op_(operador), tab_(tabelas), prog_(programa), relogio_(relogio), codecs_(codecs) {
  lbltipoultacc.Caption = "Último Arquivo Acessado : "_cp;
  lbltipoultacc.Visible = lblultacesso.Visible = false;
  PastaRascunho = telvarim::PastaRascunho();
  PastaGerados = telvarim::PastaGerados();
}

CadastroTelvarim::~CadastroTelvarim() { FormClose(); }

template <class F>
void CadastroTelvarim::Protegido(F&& f) {
  try {
    f();
  } catch (const Abortado&) {
  } catch (const ErroConversao& e) {
    op_.Erro(e.what());
  }
}

// --- life of the window ----------------------------------------------------------------------------------

void CadastroTelvarim::CriaPastasTrabalho() {
  std::error_code ec;
  for (const fs::path& p : {PastaRecebidos(), telvarim::PastaGerados(), telvarim::PastaRascunho(), PastaProcessados()})
    fs::create_directories(p, ec);  // a folder that cannot be made shows as an empty list
}

void CadastroTelvarim::FormCreate() {
  CriaPastasTrabalho();
  IndiceArquivoRecebido = 0;
  UltimoAcessado.clear();
  PaginaAtiva = Pagina::tbarquivos;
  PastaRascunho = telvarim::PastaRascunho();
  PastaGerados = telvarim::PastaGerados();
  RetomandoRascunho = false;

  std::vector<std::string> rascunhos = ListaArquivos(PastaRascunho, MascaraRascunhos);
  if (!rascunhos.empty()) {
    const std::string encontrado = rascunhos.back();
    if (op_.Confirma("Existe arquivo de Recarga em Alteração.Continua Alteração?"_cp)) {
      FLBArquivosRecargaRecebidos.Directory = PastaRascunho;
      FLBArquivosRecargaRecebidos.Mask = std::string(MascaraRascunhoRetomado);
      FLBArquivosRecargaRecebidos.Update();
      FLBArquivosRecargaRecebidos.ItemIndex = FLBArquivosRecargaRecebidos.Count() > 0 ? 0 : -1;
      RetomandoRascunho = true;
      btnprocessarClick();
    } else {
      std::error_code ec;
      fs::remove(PastaRascunho / CaminhoDeTexto(encontrado), ec);
    }
  }
  PageControl1Change();
}

void CadastroTelvarim::PageControl1Change() {
  ImportandoArquivo = false;
  if (PaginaAtiva != Pagina::tbarquivos) return;

  auto& rec = FLBArquivosRecargaRecebidos;
  rec.Directory = PastaRecebidos();
  rec.Mask = std::string(MascaraRecebidos);
  rec.Update();
  lblarqproc.Caption = NumeroTexto(rec.Count());
  if (rec.Count() > 0) rec.ItemIndex = 0;

  auto& proc = FLBArquivosRecargaProcessados;
  proc.Directory = PastaProcessados();
  proc.Mask = std::string(MascaraRecebidos);
  proc.Update();
  lblarqjaproc.Caption = NumeroTexto(proc.Count());
  lblultimoarquivo.Caption = proc.Count() > 0 ? proc.Items.back() : "Não Há Arquivos Processados"_cp;

  lblultacesso.Caption = UltimoAcessado;
  lblultacesso.Visible = lbltipoultacc.Visible = !UltimoAcessado.empty();

  auto& ger = FLBArquivosRecargaGerados;
  ger.Directory = telvarim::PastaGerados();
  ger.Mask = std::string(MascaraGerados);
  ger.Update();
  lblarqgerado.Caption = NumeroTexto(ger.Count());
  lblultimogerado.Caption = ger.Count() > 0 ? ger.Items.back() : "Não Há Arquivos Gerados"_cp;
}

void CadastroTelvarim::FormClose() {
  LinhasArquivo.reset();
  LinhasPedido.reset();
}

void CadastroTelvarim::btnFecharClick() {
  PaginaAtiva = Pagina::tbarquivos;
  PageControl1Change();
}

// --- processing ------------------------------------------------------------------------------------------

int CadastroTelvarim::AbreEDescompacta(const fs::path& arquivo) {
  const fs::path pasta = arquivo.parent_path();
  const fs::path tmp1 = pasta / "TMP1.REC", tmp2 = pasta / "TMP2.REC";
  std::error_code ec;
  fs::remove(tmp1, ec);
  fs::remove(tmp2, ec);
  if (RetomandoRascunho) return codecs_.Expande(arquivo, tmp1) != 0 ? 2 : 1;
  if (codecs_.AbreSelado(arquivo, tmp2) != 0) return 3;
  if (codecs_.Expande(tmp2, tmp1) != 0) return 2;
  return 1;
}

void CadastroTelvarim::btnprocessarClick() {
  op_.LogLimpa();
  IndiceArquivoRecebido = FLBArquivosRecargaRecebidos.ItemIndex;
  ConsisteHeader = ConsisteDetalhe = ConsisteTarifa = ConsisteTipoCartao = ConsisteTrailer = ConsisteEventos = true;
  for (auto& m : motivoExcesso_) m.clear();

  if (FLBArquivosRecargaRecebidos.Count() == 0) {
    op_.Mensagem("Não Há arquivos a processar - Verifique!"_cp);
    return;
  }
  const fs::path arquivo = FLBArquivosRecargaRecebidos.Caminho(IndiceArquivoRecebido);
  std::error_code ec;
  if (arquivo.empty() || !fs::is_regular_file(arquivo, ec)) {
    op_.Mensagem("Arquivo para processar não Encontrado - Verifique!"_cp);
    return;
  }

  LinhasArquivo.emplace();
  struct Libera {  // the line lists are released however the processing ends
    CadastroTelvarim& c;
    ~Libera() {
      c.LinhasArquivo.reset();
      c.LinhasPedido.reset();
    }
  } libera{*this};

  op_.LogAcrescenta(kIguais);
  op_.LogAcrescenta("=============== Quintaro - Telvarim - ORVAN PLUS ==========================");
  op_.LogAcrescenta("===============     Data Proc: " + FormataDataHora(relogio_.Agora()) + "     ==========================");
  op_.LogAcrescenta(kIguais);
  op_.LogAcrescenta(" ");
  op_.LogAcrescenta("Carregando Arquivo : " + TextoCaminho(arquivo));
  op_.Status("Carregando Arquivo ....");

  ArquivoEmProcesso = arquivo;
  const int r = AbreEDescompacta(arquivo);
  if (r == 2) {
    op_.Mensagem("Erro ao Descompactar o arquivo Temporário - Verifique!"_cp);
    op_.LogAcrescenta("  ");
    op_.LogAcrescenta(" ==> Erro ao Descompactar o Arquivo ");
    return;
  }
  if (r == 3) {
    op_.Mensagem("Erro ao Descriptografar Arquivo - Verifique!"_cp);
    op_.LogAcrescenta("  ");
    op_.LogAcrescenta(" ==> Erro ao Descriptografar o Arquivo ");
    return;
  }
  op_.LogAcrescenta("  ");
  op_.LogAcrescenta("Arquivo Descriptografado com Sucesso");
  op_.LogAcrescenta("Arquivo Descompactado com Sucesso");
  op_.LogAcrescenta("  ");

  const fs::path pasta = arquivo.parent_path();
  {
    std::ifstream in(pasta / "TMP1.REC", std::ios::binary);
    std::string texto((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
      op_.Mensagem("Erro ao Descompactar o arquivo Temporário - Verifique!"_cp);
      op_.LogAcrescenta(" ==> Erro ao Descompactar o Arquivo ");
      return;
    }
    *LinhasArquivo = SeparaLinhas(texto);
  }
  fs::remove(pasta / "TMP1.REC", ec);
  fs::remove(pasta / "TMP2.REC", ec);
  op_.Status("Analisando Arquivo ....");

  cbtipocartao = Caixa{};
  cbtarifa = Caixa{};
  tab_.TiposCartao.fill(RegTipoCartao{});
  tab_.Tarifas.fill(RegTarifa{});
  QtdUsuarios = 0;

  try {
    const auto& linhas = *LinhasArquivo;
    for (std::size_t i = 0; i < linhas.size(); ++i) {
      const std::string& l = linhas[i];
      if (LinhaEmBranco(l)) continue;
      const std::string tipo(Campo(l, 1, 2));
      if (tipo == "00") {
        if (!Proc_header(i)) ConsisteHeader = false;
      } else if (tipo == "01") {
        if (!Proc_detalhe(i)) ConsisteDetalhe = false;
      } else if (tipo == "04") {
        if (!Proc_tipocartao(i)) ConsisteTipoCartao = false;
      } else if (tipo == "05") {
        if (!Proc_tarifa(i)) ConsisteTarifa = false;
      } else if (tipo == "99") {
        if (!Proc_trailer(i)) ConsisteTrailer = false;
      } else {
        op_.Mensagem("Evento não reconhecido - "_cp + tipo + " - Verifique!");
        op_.LogAcrescenta("Evento desconhecido - Evento : " + tipo + " - Linha : " + NumeroTexto(static_cast<long long>(i)));
        ConsisteEventos = false;
      }
    }
  } catch (const ErroConversao& e) {
    op_.Erro(e.what());  // the tables keep what was read; the file page stays
    return;
  }

  const bool consistente =
      ConsisteHeader && ConsisteDetalhe && ConsisteTipoCartao && ConsisteTarifa && ConsisteTrailer && ConsisteEventos;
  if (consistente) {
    op_.LogAcrescenta("Header      ==> OK ");
    op_.LogAcrescenta("Detalhe     ==> OK ");
    op_.LogAcrescenta("Tipo Cartão ==> OK "_cp);
    op_.LogAcrescenta("Tarifa      ==> OK ");
    op_.LogAcrescenta("Trailer     ==> OK ");
    op_.LogAcrescenta("Eventos     ==> OK ");
    if (cbtipocartao.Items.empty() || cbtarifa.Items.empty()) {
      // Without a card type and a tariff there is nothing to show or type.
      const std::string m = cbtipocartao.Items.empty() ? "Arquivo sem Tipo de Cartão - Verifique!"_cp
                                                       : "Arquivo sem Tarifa - Verifique!"_cp;
      op_.Mensagem(m);
      op_.LogAcrescenta(m);
      PaginaAtiva = Pagina::tblog;
      return;
    }
    UltimoAcessado = FLBArquivosRecargaRecebidos.Items[static_cast<std::size_t>(IndiceArquivoRecebido)];
    PageControl1Change();
    PaginaAtiva = Pagina::tbDigitacao;
    cbtarifa.ItemIndex = 0;
    cbtipocartao.ItemIndex = 0;
    cbtipocartaoChange();
  } else {
    op_.Mensagem("Arquivo fora do Padrão - Verifique"_cp);
    if (!ConsisteHeader) op_.LogAcrescenta("Header      ==> Consistencia Inválida "_cp);
    if (!ConsisteDetalhe) op_.LogAcrescenta("Detalhe     ==> Consistencia Inválida "_cp);
    if (!ConsisteTipoCartao) op_.LogAcrescenta("Tipo Cartão ==> Consistencia Inválida"_cp);
    if (!ConsisteTarifa) op_.LogAcrescenta("Tarifa      ==> Consistencia Inválida"_cp);
    if (!ConsisteTrailer) op_.LogAcrescenta("Trailer     ==> Consistencia Inválida"_cp);
    if (!ConsisteEventos) op_.LogAcrescenta("Evento      ==> Evento Inválido "_cp);
    for (const auto& m : motivoExcesso_)
      if (!m.empty()) op_.LogAcrescenta(m);
    PaginaAtiva = Pagina::tblog;
  }
}

bool CadastroTelvarim::Proc_header(std::size_t i) {
  RegCabecalho c;
  const int linha = static_cast<int>(i) + 1;
  if (!LeCabecalho((*LinhasArquivo)[i], linha, c)) return false;
  CabecalhoArquivo = c;
  prog_.ModoArredondamento = TextoParaInteiro(c.ModoArredondamento, "ModoArredondamento", linha);
  lblseq.Caption = Trim(c.SequencialArquivo);
  SeqArquivo = SeqDoNomeArquivo(c);
  lblempresa.Caption = EmpresaExibicao(c);
  lbldata.Caption = DataExibicao(c);
  lblcripta.Caption = CriptografiaExibicao(c);
  op_.LogAcrescenta("Empresa : " + lblempresa.Caption);
  op_.LogAcrescenta("Data : " + lbldata.Caption);
  op_.LogAcrescenta("Criptografia : " + lblcripta.Caption);
  op_.LogAcrescenta(" ");
  op_.LogAcrescenta("Versão Recarga : "_cp + c.VersaoRecarga);
  op_.LogAcrescenta("Versão Remota : "_cp + prog_.VersaoModulo);
  op_.LogAcrescenta("Sequencial Arquivo : " + c.SequencialArquivo);
  op_.LogAcrescenta(" ");
  return true;
}

namespace {

// Tells the operator once per record kind that a file does not fit the tables.
bool Excede(std::string& primeiro, const std::string& motivo, Operador& op) {
  if (primeiro.empty()) {
    primeiro = motivo;
    op.Mensagem(motivo);
  }
  return false;
}

}  // namespace

bool CadastroTelvarim::Proc_detalhe(std::size_t i) {
  const std::string& l = (*LinhasArquivo)[i];
  const int linha = static_cast<int>(i) + 1;
  if (l.size() != kTamDetalhe) return false;
  if (QtdUsuarios >= kMaxUsuarios)
    return Excede(motivoExcesso_[1],
                  "Arquivo com mais de "_cp + NumeroTexto(kMaxUsuarios) + " detalhes - Linha : " + NumeroTexto(linha), op_);
  const std::int32_t tipo = TipoCartaoDoDetalhe(l, linha);
  RegUsuario u;
  Leitura r = LeDetalhe(l, linha, tab_.TipoCartao(tipo).PorCreditos, u);
  if (!r) return r.motivo.empty() ? false : Excede(motivoExcesso_[1], r.motivo, op_);
  tab_.Usuarios[static_cast<std::size_t>(QtdUsuarios)] = std::move(u);
  ++QtdUsuarios;
  return true;
}

bool CadastroTelvarim::Proc_tipocartao(std::size_t i) {
  RegTipoCartao t;
  Leitura r = LeTipoCartao((*LinhasArquivo)[i], static_cast<int>(i) + 1, t);
  if (!r) return r.motivo.empty() ? false : Excede(motivoExcesso_[3], r.motivo, op_);
  cbtipocartao.Items.push_back(Zeros(t.Codigo, 3) + " - " + t.Descricao);
  TipoCartaoAtual = t.Codigo;
  tab_.TiposCartao[static_cast<std::size_t>(t.Codigo)] = std::move(t);
  return true;
}

bool CadastroTelvarim::Proc_tarifa(std::size_t i) {
  RegTarifa t;
  Leitura r = LeTarifa((*LinhasArquivo)[i], static_cast<int>(i) + 1, t);
  if (!r) return r.motivo.empty() ? false : Excede(motivoExcesso_[2], r.motivo, op_);
  if (t.Codigo != 0)
    cbtarifa.Items.push_back(Zeros(t.Codigo, 2) + " - " + t.Descricao + " - " + FormataPadrao(t.Valor, "#,##0.00"));
  else
    cbtarifa.Items.push_back("00 - " + t.Descricao);
  TarifaAtual = t.Codigo;
  tab_.Tarifas[static_cast<std::size_t>(t.Codigo)] = std::move(t);
  return true;
}

bool CadastroTelvarim::Proc_trailer(std::size_t i) {
  RegRodape r;
  if (!LeTrailer((*LinhasArquivo)[i], static_cast<int>(i) + 1, r)) return false;
  RodapeArquivo = r;
  lblregistros.Caption = NumeroTexto(r.QtdRegistros);
  return true;
}

// --- views -----------------------------------------------------------------------------------------------

void CadastroTelvarim::HabilitaControles(bool habilitado) { ControlesHabilitados = habilitado; }

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
  const double p = std::pow(10.0, casas);
  // Rounded to nine decimals before the integer part is taken, so that a price held in binary just below
  // its decimal value (2,30 is 2,2999...) keeps its last digit.
  auto inteiro = [](double v) { return std::trunc(std::round(v * 1e9) / 1e9); };
  switch (prog_.ModoArredondamento) {
    case 1:
      return inteiro((x + 0.9 / p) * p) / p;
    case 2:
      return inteiro(x * p) / p;
    default:
      return x;
  }
}

double CadastroTelvarim::PrecoCredito(std::int32_t tipoCartao, std::int32_t tarifa) const {
  return ArredondaValor(tab_.TipoCartao(tipoCartao).PercentualTarifa * 0.01 * tab_.Tarifa(tarifa).Valor, 2);
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
  sgRecarga.SetCell(5, r, FormataMoeda(*v, FormatoValor));

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

  // Grid rows by holder code, card and employee number: every holder meets the rows that name it in grid
  // order, the last one giving the value, exactly as comparing every holder with every row would.
  struct Chave {
    std::int32_t cod, cartao;
    std::string matricula;
    bool operator==(const Chave&) const = default;
  };
  struct Hash {
    std::size_t operator()(const Chave& k) const {
      return std::hash<std::string>()(k.matricula) ^ (static_cast<std::size_t>(static_cast<std::uint32_t>(k.cod)) * 0x9E3779B97F4A7C15ull) ^
             static_cast<std::size_t>(static_cast<std::uint32_t>(k.cartao));
    }
  };
  std::unordered_map<Chave, std::vector<int>, Hash> linhasPorChave;
  for (int j = 1; j < sgRecarga.RowCount(); ++j)
    linhasPorChave[Chave{InteiroOuPadrao(Trim(sgRecarga.Cell(0, j)), -1), InteiroOuPadrao(Trim(sgRecarga.Cell(1, j)), -1),
                         sgRecarga.Cell(2, j)}]
        .push_back(j);

  for (std::int32_t i = 0; i < QtdUsuarios; ++i) {
    RegUsuario& u = tab_.Usuarios[static_cast<std::size_t>(i)];
    if (u.TipoCartao == TipoCartaoAtual) {
      auto g = std::find_if(u.Grupos.begin(), u.Grupos.end(), [&](const GrupoRecarga& x) { return x.Tarifa == TarifaAtual; });
      if (g != u.Grupos.end()) {
        auto it = linhasPorChave.find(Chave{u.CodUsuario, u.NumCartao, u.Matricula});
        if (it != linhasPorChave.end())
          for (int j : it->second) g->ValorRecarga = DoubleDeMoeda(TextoParaMoeda(Trim(sgRecarga.Cell(5, j))));
      }
    }
    if ((i + 1) % 1000 == 0 || i + 1 == QtdUsuarios) {
      GaugeProgresso = i + 1;
      MostraContador(i + 1);
      op_.ProcessaMensagens();
    }
  }
  CalculaRecargasGeral();
  CalculaGrid();
}

void CadastroTelvarim::CalculaGrid() {
  const RegTipoCartao& c = TipoAtual();
  double dinheiro = 0;
  long long creditos = 0;
  const bool credito = c.PorCreditos == 1;
  const Moeda preco = credito ? MoedaDeDouble(PrecoCredito(TipoCartaoAtual, TarifaAtual)) : 0;
  for (int j = 1; j < sgRecarga.RowCount(); ++j) {
    std::optional<Moeda> q = LeMoeda(sgRecarga.Cell(5, j));
    if (!q) continue;
    if (credito) {
      if (preco != 0 && std::llabs(*q) > std::numeric_limits<Moeda>::max() / std::llabs(preco)) continue;
      dinheiro += DoubleDeMoeda(*q * preco / 10000);
      creditos += *q / 10000;
    } else {
      dinheiro += DoubleDeMoeda(*q);
    }
  }
  lblvlrrecdig.Caption = FormataPadrao(dinheiro, "###,##0.00");
  lblqtdrecdig.Caption = FormataInteiro(creditos, "###,##0");
}

void CadastroTelvarim::CalculaRecargasGeral() {
  double dinheiro = 0;
  long long creditos = 0;
  for (std::int32_t i = 0; i < QtdUsuarios; ++i) {
    const RegUsuario& u = tab_.Usuarios[static_cast<std::size_t>(i)];
    const RegTipoCartao& c = tab_.TipoCartao(u.TipoCartao);
    double d = 0;
    long long cr = creditos;
    bool ok = true;
    if (c.PorCreditos == 1) {
      for (const auto& g : u.Grupos) {
        d += PrecoCredito(u.TipoCartao, g.Tarifa) * g.ValorRecarga;
        const double t = std::trunc(static_cast<double>(cr) + g.ValorRecarga);
        if (!std::isfinite(t) || std::fabs(t) > 9e15) {
          ok = false;
          break;
        }
        cr = static_cast<long long>(t);
      }
    } else {
      for (const auto& g : u.Grupos) d += g.ValorRecarga;
    }
    if (!ok || !std::isfinite(d)) continue;  // a holder whose figures do not compute adds nothing
    dinheiro += d;
    creditos = cr;
  }
  lblgervlrdig.Caption = FormataPadrao(dinheiro, "###,##0.00");
  lblgerqtddig.Caption = FormataInteiro(creditos, "###,##0");
  btnimpressaoEnabled = btnimportararqEnabled = !ImportandoArquivo;
}

void CadastroTelvarim::btnalteravlrClick() {
  Protegido([&] {
    if (LeMoeda(edalteravlr).value_or(0) < 0) {
      op_.Mensagem(" Não é possível gerar recarga com valor menor do que 0.00 "_cp);
      return;
    }
    op_.LogAcrescenta("Inserido Valor Padrão - Tipo : "_cp + NumeroTexto(TipoCartaoAtual) + " - Tarifa : " +
                      NumeroTexto(TarifaAtual) + " - Valor : " + edalteravlr);
    const std::string v = Trim(edalteravlr);
    for (int j = 1; j < sgRecarga.RowCount(); ++j) sgRecarga.SetCell(5, j, v);
    AtualizaArrayRecargas();
    CalculaRecargasGeral();
    CalculaGrid();
  });
}

bool CadastroTelvarim::edalteravlrExit() {
  const std::optional<Moeda> v = LeMoeda(edalteravlr);
  if (v && *v > MoedaDeDouble(TipoAtual().ValorMaximo)) {
    op_.Mensagem("Valor Maior para o Tipo de Cartão ("_cp + Formatado(TipoAtual().ValorMaximo, FormatoValor) + ") - Verifique!");
    return false;
  }
  return true;
}

void CadastroTelvarim::BitBtn1Click() {
  Protegido([&] {
    op_.LogAcrescenta("Atualizando valor com o último pedido - Tipo : "_cp + NumeroTexto(TipoCartaoAtual) +
                      " - Tarifa : " + NumeroTexto(TarifaAtual));
    for (int j = 1; j < sgRecarga.RowCount(); ++j) sgRecarga.SetCell(5, j, sgRecarga.Cell(6, j));
    AtualizaArrayRecargas();
    CalculaRecargasGeral();
    CalculaGrid();
  });
}

// --- request file and drafts -----------------------------------------------------------------------------

void CadastroTelvarim::btngerararquivoClick() {
  Protegido([&] {
    for (int j = 1; j < sgRecarga.RowCount(); ++j)
      if (LeParteNumerica(sgRecarga.Cell(5, j)) < 0) {
        op_.Mensagem(" Não é possível gerar recarga com valor menor do que 0.00 "_cp);
        return;
      }
    AtualizaArrayRecargas();
    op_.LogAcrescenta("Geração de Arquivo Definitivo "_cp);
    struct Pagina_ {
      CadastroTelvarim& c;
      ~Pagina_() { c.PaginaAtiva = Pagina::tblog; }  // whatever the outcome
    } pagina{*this};
    GeraArquivo(PastaGerados, false);
  });
}

void CadastroTelvarim::btnsalvarrascunhoClick() {
  Protegido([&] {
    AtualizaArrayRecargas();
    op_.LogAcrescenta("Geração de Arquivo Rascunho"_cp);
    if (GeraArquivo(PastaRascunho, true) == 1) op_.Mensagem("Arquivo de Rascunho Gravado com Sucesso!!");
  });
}

void CadastroTelvarim::ApagaRascunhos(const fs::path& exceto) {
  PastaRascunho = telvarim::PastaRascunho();
  std::error_code ec;
  std::vector<fs::path> arquivos;
  for (fs::directory_iterator it(PastaRascunho, ec), fim; !ec && it != fim; it.increment(ec)) {
    std::error_code ec2;
    if (it->is_regular_file(ec2) && it->path().filename() != exceto) arquivos.push_back(it->path());
  }
  for (const auto& a : arquivos) fs::remove(a, ec);  // files that cannot be deleted are passed over
}

bool CadastroTelvarim::SalvaLinhas(const fs::path& arquivo, const std::vector<std::string>& linhas) const {
  std::ofstream out(arquivo, std::ios::binary | std::ios::trunc);
  for (const auto& l : linhas) out << l << "\r\n";
  out.flush();
  return static_cast<bool>(out);
}

int CadastroTelvarim::GeraArquivo(const fs::path& pasta, bool rascunho) {
  UltimaGeracao = 0;
  ArquivoGerado.clear();
  ArquivoLog.clear();
  // The names come first: a sequence that is not a number ends the generation before any file, the
  // operator's draft included, is touched.
  const DataHora agora = relogio_.Agora();
  const std::string base = "RM_" + Zeros(CabecalhoArquivo.CodEmpresa, 6) + "_" +
                           Zeros(TextoParaInteiro(Trim(SeqArquivo), "SeqArquivo"), 4) + "_" + FormataYYMMDDHHNN(agora) + "_2";
  ArquivoGerado = base + ".REC";
  ArquivoLog = base + ".LOG";

  LinhasPedido.emplace();
  auto& linhas = *LinhasPedido;
  const DataHora inicio = relogio_.Agora();
  int registros = 2;
  RegRodape rodape;
  try {
    for (const auto& t : tab_.TiposCartao)
      if (t.Codigo != 0) {
        linhas.push_back(FormataTipoCartao(t));
        ++registros;
      }
    for (const auto& t : tab_.Tarifas)
      if (!t.Descricao.empty()) {
        linhas.push_back(FormataTarifa(t));
        ++registros;
      }
    for (std::int32_t i = 0; i < QtdUsuarios; ++i) {
      const RegUsuario& u = tab_.Usuarios[static_cast<std::size_t>(i)];
      linhas.push_back(FormataDetalhe(u, tab_.TipoCartao(u.TipoCartao).PorCreditos));
      for (std::size_t g = 0; g < 4; ++g)
        if (u.Grupos[g].Tarifa != 0) ++rodape.Grupos[g].Quantidade;
    }
  } catch (const ErroFormato& e) {
    // A value the layout cannot carry: nothing is written.
    op_.Mensagem(e.what());
    op_.LogAcrescenta("  ");
    op_.LogAcrescenta(e.what());
    return 0;
  }
  const DataHora termino = relogio_.Agora();
  RegCabecalho h = CabecalhoArquivo;
  h.DataCriacao = FormataDDMMYY(inicio);
  h.HoraCriacao = FormataHHNNSS(inicio);
  h.DataTermino = FormataDDMMYY(termino);
  h.HoraTermino = FormataHHNNSS(termino);
  h.Criptografado = 1;
  h.NomeArquivo = ArquivoGerado;
  h.VersaoRemota = prog_.VersaoModulo;
  linhas.insert(linhas.begin(), FormataCabecalho(h));
  rodape.QtdRegistros = registros;
  linhas.push_back(FormataTrailer(rodape));

  const int r = CompactaCriptografa(rascunho);
  UltimaGeracao = r;
  if (r == 2) {
    op_.Mensagem("Erro ao Compactar o arquivo Temporário - Verifique!"_cp);
    op_.LogAcrescenta("  ");
    op_.LogAcrescenta("Erro ao Compactar Arquivo - Verifique");
    return r;
  }
  if (r == 3) {
    op_.Mensagem("Erro ao Criptografar Arquivo - Verifique!");
    op_.LogAcrescenta("  ");
    op_.LogAcrescenta("Erro ao Criptograr Arquivo - Verifique");
    return r;
  }
  // Only now that the new file is in place are the older drafts cleared.
  ApagaRascunhos(rascunho ? CaminhoDeTexto(ArquivoGerado) : fs::path());

  op_.LogAcrescenta(" ");
  op_.LogAcrescenta("Total de Registros Gerados ==>  " + lblqtdrec.Caption);
  op_.LogAcrescenta("Total em Créditos          ==>  "_cp + lblgerqtddig.Caption);
  op_.LogAcrescenta("Total em Valor             ==>  " + lblgervlrdig.Caption);
  op_.LogAcrescenta("  ");
  op_.LogAcrescenta("Arquivo Criptografado com Sucesso");
  op_.LogAcrescenta("Arquivo Compactado com Sucesso");
  op_.LogAcrescenta("  ");
  op_.LogAcrescenta("Arquivo Gerado ==> " + TextoCaminho(pasta / CaminhoDeTexto(ArquivoGerado)));
  op_.LogAcrescenta("Geração de Arquivo LOG"_cp);
  op_.LogAcrescenta("Arquivo Gerado ==> " + TextoCaminho(pasta / CaminhoDeTexto(ArquivoLog)));

  *LinhasPedido = op_.LogLinhas();
  if (!SalvaLinhas(pasta / CaminhoDeTexto(ArquivoLog), *LinhasPedido)) {
    op_.Mensagem("Erro ao Gravar o arquivo LOG - Verifique!");
    op_.LogAcrescenta("Erro ao Gravar o arquivo LOG - Verifique!");
  }

  if (!RetomandoRascunho) {
    const fs::path destino = PastaProcessados() / ArquivoEmProcesso.filename();
    std::error_code ec;
    bool movido = false;
    if (!ArquivoEmProcesso.empty() && fs::is_regular_file(ArquivoEmProcesso, ec) && !fs::exists(destino, ec)) {
      fs::rename(ArquivoEmProcesso, destino, ec);
      movido = !ec;
    }
    op_.LogAcrescenta((movido ? "Arquivo Movido para " : "Erro ao Mover Arquivo para ") + TextoCaminho(PastaProcessados()) + " ");
  }

  op_.LogAcrescenta(" ");
  op_.LogAcrescenta(kIguais);
  op_.LogAcrescenta("===============  Fim de Processamento - Telvarim   ========================");
  op_.LogAcrescenta("===============     Data Proc: " + FormataDataHora(relogio_.Agora()) + "     ==========================");
  op_.LogAcrescenta(kIguais);
  return r;
}

int CadastroTelvarim::CompactaCriptografa(bool rascunho) {
  const fs::path pasta = rascunho ? PastaRascunho : PastaGerados;
  const fs::path tmp1 = pasta / "TMP1.REC", tmp2 = pasta / "TMP2.REC", final = pasta / CaminhoDeTexto(ArquivoGerado);
  std::error_code ec;
  fs::remove(tmp1, ec);
  fs::remove(tmp2, ec);
  auto& linhas = *LinhasPedido;
  while (!linhas.empty() && TrimView(linhas.back()).empty()) linhas.pop_back();
  if (!SalvaLinhas(tmp1, linhas)) return 2;
  if (codecs_.Compacta(tmp1, tmp2) != 1) return 2;
  if (rascunho) {
    // The draft reaches its name only once it is complete, replacing an older one of the same name.
    fs::rename(tmp2, final, ec);
    if (ec) return 2;
    fs::remove(tmp1, ec);
    return 1;
  }
  if (codecs_.Sela(tmp2, final) != 0) {
    fs::remove(final, ec);  // never a half-sealed file under a request's name
    return 3;
  }
  fs::remove(tmp1, ec);
  fs::remove(tmp2, ec);
  return 1;
}

// --- ordering --------------------------------------------------------------------------------------------

std::string CadastroTelvarim::ChaveClassificacao(const RegListagem& r, int item) {
  std::string k = Zeros(r.TipoCartao, 3) + Zeros(r.Tarifa, 2);
  switch (item) {
    case 1:
      k += MaiusculasCp1252(r.Nome);
      break;
    case 2:
      k += MaiusculasCp1252(r.Matricula);
      break;
    default:
      k += Zeros(r.CodUsuario, 11);
  }
  return k + Zeros(r.NumCartao, 11);
}

void CadastroTelvarim::rbClassificacaoClick() {
  Protegido([&] { ClassificaGrid(); });
}

void CadastroTelvarim::ClassificaGrid() {
  op_.Status("Classificando Grid. Aguarde!!!");
  op_.ProcessaMensagens();
  AtualizaArrayRecargas();

  // A grid that shows no holder (its one empty row) has nothing to order.
  bool vazia = sgRecarga.RowCount() == 2;
  for (int c = 0; vazia && c < sgRecarga.ColCount(); ++c) vazia = sgRecarga.Cell(c, 1).empty();
  if (vazia) {
    op_.Status("Grid Classificado");
    return;
  }

  const int n = std::min(sgRecarga.RowCount() - 1, kMaxListagem);
  struct Extra {
    std::string c6, c7, c8;
  };
  std::vector<RegListagem> copia(static_cast<std::size_t>(n));
  std::vector<Extra> extras(static_cast<std::size_t>(n));
  for (int r = 1; r <= n; ++r) {  // into a copy first: a cell that does not convert leaves the grid as it was
    RegListagem& e = copia[static_cast<std::size_t>(r - 1)];
    e.CodUsuario = TextoParaInteiro(sgRecarga.Cell(0, r), "Usuário"_cp, r);
    e.NumCartao = TextoParaInteiro(sgRecarga.Cell(1, r), "Cartão"_cp, r);
    e.Matricula = sgRecarga.Cell(2, r);
    e.Nome = sgRecarga.Cell(3, r);
    e.CMM = TextoParaInteiro(sgRecarga.Cell(4, r), "CMM", r);
    e.ValorRecarga = DoubleDeMoeda(TextoParaMoeda(sgRecarga.Cell(5, r)));
    e.TipoCartao = TipoCartaoAtual;
    e.Tarifa = TarifaAtual;
    extras[static_cast<std::size_t>(r - 1)] = {sgRecarga.Cell(6, r), sgRecarga.Cell(7, r), sgRecarga.Cell(8, r)};
  }
  std::copy(copia.begin(), copia.end(), tab_.Listagem.begin());

  // Keys built once per row; a stable sort keeps rows with equal keys in their previous order.
  std::vector<std::string> chaves(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) chaves[static_cast<std::size_t>(k)] = ChaveClassificacao(copia[static_cast<std::size_t>(k)], rbClassificacao);
  std::vector<int> ordem(static_cast<std::size_t>(n));
  std::iota(ordem.begin(), ordem.end(), 0);
  std::stable_sort(ordem.begin(), ordem.end(), [&](int a, int b) {
    return ComparaBytes(chaves[static_cast<std::size_t>(a)], chaves[static_cast<std::size_t>(b)]) < 0;
  });

  sgRecarga.SetRowCount(2);
  sgRecarga.FixedRows = 1;
  for (int c = 0; c < 5; ++c) sgRecarga.SetCell(c, 0, Utf8ParaCp1252(kTitulos0a4[c]));
  static constexpr int kLarguras[6] = {65, 65, 65, 240, 50, 65};
  for (int c = 0; c < 6; ++c) sgRecarga.SetColWidth(c, kLarguras[c]);
  EscreveTitulos(TipoAtual().PorCreditos != 0);

  for (int k = 0; k < n; ++k) {
    const int i = ordem[static_cast<std::size_t>(k)];
    const RegListagem& e = copia[static_cast<std::size_t>(i)];
    tab_.Listagem[static_cast<std::size_t>(k)] = e;
    const int row = k + 1;
    PreencheLinha(row, e);
    const Extra& x = extras[static_cast<std::size_t>(i)];
    sgRecarga.SetCell(6, row, x.c6);
    sgRecarga.SetCell(7, row, x.c7);
    sgRecarga.SetCell(8, row, x.c8);
    sgRecarga.SetRowCount(sgRecarga.RowCount() + 1);
  }
  sgRecarga.SetRowCount(sgRecarga.RowCount() - 1);
  op_.Status("Grid Classificado");
}

}  // namespace telvarim
