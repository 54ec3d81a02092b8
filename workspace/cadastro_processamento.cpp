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
  // The folder may be shared with another desk: it is held while the file is opened, and the temporaries'
  // names are this run's alone.
  TravaPastas travas;
  if (!ReservaPastas({pasta}, travas)) return ResultadoAbertura::PastaEmUso;
  const fs::path tmp1 = CaminhoTemporario(pasta, "TMP1.REC"), tmp2 = CaminhoTemporario(pasta, "TMP2.REC");
  // They hold the file's text in the clear: private before the first byte is in them, and new.
  const Temporarios temporarios({tmp1, tmp2});
  auto privado = [&](const fs::path& p) {
    const std::error_code ec = create_private_file(p, true);
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
  Marca("arquivo-aberto");
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

std::string CadastroTelvarim::ReportaFaltaMemoria() noexcept {
  try {
    RegistraFalha(CausaMemoria());
    std::string m = MensagemMemoria();
    op_.Erro(m);
    return m;
  } catch (...) {  // nothing more can be said
    return {};
  }
}

Resultado CadastroTelvarim::Processa() {
  return Protegido([&] { return ProcessaArquivo(); });
}

Resultado CadastroTelvarim::ProcessaArquivo() {
  op_.LogLimpa();
  UltimaFalha = {};
  IndiceArquivoRecebido = Recebidos.ItemIndex;
  // Draft mode lasts only while the list shows the draft folder: once the file page is back on the received
  // files, a received file is opened from its seal again, and its answer moves it as usual.
  RetomandoRascunho = Recebidos.Directory == PastaRascunho;
  ConsisteHeader = ConsisteDetalhe = ConsisteTarifa = ConsisteTipoCartao = ConsisteTrailer = ConsisteEventos = true;
  for (auto& m : motivoExcesso_) m.clear();

  if (Recebidos.Count() == 0) {
    const std::string m = "Não Há arquivos a processar - Verifique!"_cp;
    op_.Mensagem(m);
    return Resultado::Recusa(m);
  }
  const fs::path arquivo = Recebidos.Caminho(IndiceArquivoRecebido);
  std::error_code ec;
  if (arquivo.empty() || !fs::is_regular_file(arquivo, ec)) {
    const std::string m = "Arquivo para processar não Encontrado - Verifique!"_cp;
    op_.Mensagem(m);
    return Resultado::Recusa(m);
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
  if (r == ResultadoAbertura::PastaEmUso) return Resultado::Falha(LinhaMotivo(UltimaFalha));
  if (r == ResultadoAbertura::FalhaExpansao) {
    const std::string m = "Erro ao Descompactar o arquivo Temporário - Verifique!"_cp;
    op_.Mensagem(m);
    op_.LogAcrescenta("  ");
    op_.LogAcrescenta(" ==> Erro ao Descompactar o Arquivo ");
    op_.LogAcrescenta(LinhaMotivo(UltimaFalha));
    return Resultado::Falha(m);
  }
  if (r == ResultadoAbertura::FalhaAbertura) {
    const std::string m = "Erro ao Descriptografar Arquivo - Verifique!"_cp;
    op_.Mensagem(m);
    op_.LogAcrescenta("  ");
    op_.LogAcrescenta(" ==> Erro ao Descriptografar o Arquivo ");
    op_.LogAcrescenta(LinhaMotivo(UltimaFalha));
    return Resultado::Falha(m);
  }
  op_.LogAcrescenta("  ");
  op_.LogAcrescenta("Arquivo Descriptografado com Sucesso");
  op_.LogAcrescenta("Arquivo Descompactado com Sucesso");
  op_.LogAcrescenta("  ");
  op_.Status("Analisando Arquivo ....");

  TiposDoArquivo.clear();
  TarifasDoArquivo.clear();
  vista_.clear();
  ++mudancasVista_;
  tab_.TiposCartao.fill(RegTipoCartao{});
  tab_.Tarifas.fill(RegTarifa{});
  QtdUsuarios = 0;
  tab_.Mudaram();
  // Nothing of the previous file may answer for this one: a file without a header must not inherit the
  // last file's company, sequence or rounding.
  Cabecalho = RegCabecalho{};
  CabecalhoLido = false;
  SeqArquivo.clear();
  Rodape = RegRodape{};
  RodapeLido = false;
  prog_.ModoArredondamento = 0;

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
    // One box for the first unknown event and one for all the others: a box per line would hold the
    // operator for hours on a file of strange lines. The log page keeps every one.
    long long desconhecidos = 0;
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
        if (desconhecidos++ == 0) op_.Mensagem("Evento não reconhecido - "_cp + tipo + " - Verifique!");
        op_.LogAcrescenta("Evento desconhecido - Evento : " + tipo +
                          " - Linha : " + NumeroTexto(static_cast<long long>(i)));
        ConsisteEventos = false;
      }
    }
    if (desconhecidos > 1)
      op_.Mensagem("Evento não reconhecido em mais "_cp + NumeroTexto(desconhecidos - 1) +
                   (desconhecidos == 2 ? " linha" : " linhas") + " - Verifique o Log!");
  } catch (const ErroConversao& e) {
    op_.Erro(e.what());  // the tables keep what was read; the file page stays
    return Resultado::Falha(e.what());
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
    if (TiposDoArquivo.empty() || TarifasDoArquivo.empty()) {
      // Without a card type and a tariff there is nothing to show or type.
      const std::string m =
          TiposDoArquivo.empty() ? "Arquivo sem Tipo de Cartão - Verifique!"_cp : "Arquivo sem Tarifa - Verifique!"_cp;
      op_.Mensagem(m);
      op_.LogAcrescenta(m);
      PaginaAtiva = Pagina::Log;
      return Resultado::Falha(m);
    }
    UltimoAcessado = Recebidos.Items[static_cast<std::size_t>(IndiceArquivoRecebido)];
    AtualizaListas();
    PaginaAtiva = Pagina::Digitacao;
    return MostraTipoTarifa(TiposDoArquivo.front(), TarifasDoArquivo.front());
  } else {
    const std::string m = "Arquivo fora do Padrão - Verifique"_cp;
    op_.Mensagem(m);
    if (!ConsisteHeader) op_.LogAcrescenta("Header      ==> Consistencia Inválida "_cp);
    if (!ConsisteDetalhe) op_.LogAcrescenta("Detalhe     ==> Consistencia Inválida "_cp);
    if (!ConsisteTipoCartao) op_.LogAcrescenta("Tipo Cartão ==> Consistencia Inválida"_cp);
    if (!ConsisteTarifa) op_.LogAcrescenta("Tarifa      ==> Consistencia Inválida"_cp);
    if (!ConsisteTrailer) op_.LogAcrescenta("Trailer     ==> Consistencia Inválida"_cp);
    if (!ConsisteEventos) op_.LogAcrescenta("Evento      ==> Evento Inválido "_cp);
    for (const auto& e : motivoExcesso_)
      if (!e.empty()) op_.LogAcrescenta(e);
    PaginaAtiva = Pagina::Log;
    return Resultado::Falha(m);
  }
}

bool CadastroTelvarim::Proc_header(std::size_t i) {
  RegCabecalho c;
  const int linha = static_cast<int>(i) + 1;
  if (!LeCabecalho((*LinhasArquivo)[i], linha, c)) return false;
  Cabecalho = c;
  CabecalhoLido = true;
  prog_.ModoArredondamento = TextoParaInteiro(c.ModoArredondamento, "ModoArredondamento", linha);
  SeqArquivo = SeqDoNomeArquivo(c);
  op_.LogAcrescenta("Empresa : " + EmpresaExibicao(c));
  op_.LogAcrescenta("Data : " + DataExibicao(c));
  op_.LogAcrescenta("Criptografia : " + CriptografiaExibicao(c));
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
  TiposDoArquivo.push_back(t.Codigo);
  TipoCartaoAtual = t.Codigo;
  tab_.TiposCartao[static_cast<std::size_t>(t.Codigo)] = std::move(t);
  return true;
}

bool CadastroTelvarim::Proc_tarifa(std::size_t i) {
  RegTarifa t;
  Leitura r = LeTarifa((*LinhasArquivo)[i], static_cast<int>(i) + 1, t);
  if (!r) return r.motivo.empty() ? false : Excede(motivoExcesso_[2], r.motivo, op_);
  TarifasDoArquivo.push_back(t.Codigo);
  TarifaAtual = t.Codigo;
  tab_.Tarifas[static_cast<std::size_t>(t.Codigo)] = std::move(t);
  return true;
}

bool CadastroTelvarim::Proc_trailer(std::size_t i) {
  RegRodape r;
  if (!LeTrailer((*LinhasArquivo)[i], static_cast<int>(i) + 1, r)) return false;
  Rodape = r;
  RodapeLido = true;
  return true;
}

}  // namespace telvarim
