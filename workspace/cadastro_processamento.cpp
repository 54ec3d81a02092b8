#include "cadastrotelvarim.h"

#include <fstream>
#include <system_error>

#include "cadastro_comum.h"
#include "cp1252.h"
#include "lzw.h"

namespace fs = std::filesystem;

namespace telvarim {

using namespace literais;
using namespace cadastro;

ResultadoAbertura CadastroTelvarim::AbreEDescompacta(const fs::path& arquivo) {
  const fs::path pasta = arquivo.parent_path();
  const fs::path tmp1 = pasta / "TMP1.REC", tmp2 = pasta / "TMP2.REC";
  // They hold the file's text in the clear: private before the first byte is in them.
  const Temporarios temporarios({tmp1, tmp2});
  auto privado = [&](const fs::path& p) {
    const std::error_code ec = create_private_file(p);
    if (ec) UltimaFalha = CausaSistema("create", ec, p);
    return !ec;
  };
  if (!RetomandoRascunho) {
    if (!privado(tmp2)) return ResultadoAbertura::FalhaAbertura;
    const ResultadoPasso r = codecs_.AbreSelado(arquivo, tmp2);
    if (!r.Feito()) {
      UltimaFalha = CausaCodec(Codec::kOpen, "open", r.codigo, {arquivo, tmp2});
      return ResultadoAbertura::FalhaAbertura;
    }
  }
  const fs::path comprimido = RetomandoRascunho ? arquivo : tmp2;
  if (!privado(tmp1)) return ResultadoAbertura::FalhaExpansao;
  const ResultadoPasso r = codecs_.Expande(comprimido, tmp1);
  if (!r.Feito()) {
    UltimaFalha = CausaCodec(Codec::kLzw, "expand", r.codigo, {comprimido, tmp1});
    return ResultadoAbertura::FalhaExpansao;
  }
  if (!LinhasArquivo) LinhasArquivo.emplace();
  std::ifstream in(tmp1, std::ios::binary);
  const LeituraLinhas l = in ? LeLinhas(in, kMaxLinhasArquivo, *LinhasArquivo) : LeituraLinhas::ErroLeitura;
  if (l == LeituraLinhas::Lidas) return ResultadoAbertura::Pronto;
  LinhasArquivo->clear();
  UltimaFalha = l == LeituraLinhas::Excesso ? CausaLinhas(kMaxLinhasArquivo)
                                            : CausaCodec(Codec::kLzw, "read", kLzwErroLeitura, {tmp1, {}});
  return ResultadoAbertura::FalhaExpansao;
}

void CadastroTelvarim::RegistraFalha(CausaFalha causa) {
  UltimaFalha = std::move(causa);
  op_.LogAcrescenta(LinhaMotivo(UltimaFalha));
}

void CadastroTelvarim::ReportaFaltaMemoria() noexcept {
  try {
    RegistraFalha(CausaMemoria());
    op_.Erro(MensagemMemoria());
  } catch (...) {  // nothing more can be said
  }
}

void CadastroTelvarim::btnprocessarClick() {
  Protegido([&] { ProcessaArquivo(); });
}

void CadastroTelvarim::ProcessaArquivo() {
  op_.LogLimpa();
  UltimaFalha = {};
  IndiceArquivoRecebido = FLBArquivosRecargaRecebidos.ItemIndex;
  // Draft mode lasts only while the list shows the draft folder: once the file page is back on the received
  // files, a received file is opened from its seal again, and its answer moves it as usual.
  RetomandoRascunho = FLBArquivosRecargaRecebidos.Directory == PastaRascunho;
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
  op_.LogAcrescenta("===============     Data Proc: " + FormataDataHora(relogio_.Agora()) +
                    "     ==========================");
  op_.LogAcrescenta(kIguais);
  op_.LogAcrescenta(" ");
  op_.LogAcrescenta("Carregando Arquivo : " + TextoCaminho(arquivo));
  op_.Status("Carregando Arquivo ....");

  ArquivoEmProcesso = arquivo;
  const ResultadoAbertura r = AbreEDescompacta(arquivo);
  if (r == ResultadoAbertura::FalhaExpansao) {
    op_.Mensagem("Erro ao Descompactar o arquivo Temporário - Verifique!"_cp);
    op_.LogAcrescenta("  ");
    op_.LogAcrescenta(" ==> Erro ao Descompactar o Arquivo ");
    op_.LogAcrescenta(LinhaMotivo(UltimaFalha));
    return;
  }
  if (r == ResultadoAbertura::FalhaAbertura) {
    op_.Mensagem("Erro ao Descriptografar Arquivo - Verifique!"_cp);
    op_.LogAcrescenta("  ");
    op_.LogAcrescenta(" ==> Erro ao Descriptografar o Arquivo ");
    op_.LogAcrescenta(LinhaMotivo(UltimaFalha));
    return;
  }
  op_.LogAcrescenta("  ");
  op_.LogAcrescenta("Arquivo Descriptografado com Sucesso");
  op_.LogAcrescenta("Arquivo Descompactado com Sucesso");
  op_.LogAcrescenta("  ");
  op_.Status("Analisando Arquivo ....");

  cbtipocartao = Caixa{};
  cbtarifa = Caixa{};
  tab_.TiposCartao.fill(RegTipoCartao{});
  tab_.Tarifas.fill(RegTarifa{});
  QtdUsuarios = 0;
  ++geracaoTabelas_;
  // Nothing of the previous file may answer for this one: a file without a header must not inherit the
  // last file's company, sequence or rounding.
  CabecalhoArquivo = RegCabecalho{};
  SeqArquivo.clear();
  RodapeArquivo = RegRodape{};
  prog_.ModoArredondamento = 0;
  lblempresa.Caption.clear();
  lbldata.Caption.clear();
  lblcripta.Caption.clear();
  lblseq.Caption.clear();
  lblregistros.Caption.clear();

  try {
    const auto& linhas = *LinhasArquivo;
    // Card types and tariffs first, in file order: a detail's units come from its card type, and a card
    // type listed after its holders must not turn their money into credits on the way out.
    for (std::size_t i = 0; i < linhas.size(); ++i) {
      const std::string& l = linhas[i];
      if (LinhaEmBranco(l)) continue;
      const std::string_view tipo = Campo(l, 1, 2);
      if (tipo == "04") {
        if (!Proc_tipocartao(i)) ConsisteTipoCartao = false;
      } else if (tipo == "05") {
        if (!Proc_tarifa(i)) ConsisteTarifa = false;
      }
    }
    for (std::size_t i = 0; i < linhas.size(); ++i) {
      const std::string& l = linhas[i];
      if (LinhaEmBranco(l)) continue;
      const std::string tipo(Campo(l, 1, 2));
      if (tipo == "00") {
        if (!Proc_header(i)) ConsisteHeader = false;
      } else if (tipo == "01") {
        if (!Proc_detalhe(i)) ConsisteDetalhe = false;
      } else if (tipo == "04" || tipo == "05") {
        continue;
      } else if (tipo == "99") {
        if (!Proc_trailer(i)) ConsisteTrailer = false;
      } else {
        op_.Mensagem("Evento não reconhecido - "_cp + tipo + " - Verifique!");
        op_.LogAcrescenta("Evento desconhecido - Evento : " + tipo +
                          " - Linha : " + NumeroTexto(static_cast<long long>(i)));
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
                  "Arquivo com mais de "_cp + NumeroTexto(kMaxUsuarios) + " detalhes - Linha : " + NumeroTexto(linha),
                  op_);
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

}  // namespace telvarim
