#include "cadastrotelvarim.h"

#include <system_error>

#include "cadastro_comum.h"
#include "cp1252.h"
#include "pedido.h"

namespace fs = std::filesystem;

namespace telvarim {

using namespace literais;
using namespace cadastro;

Resultado CadastroTelvarim::GeraPedido() {
  return Protegido([&] {
    // Every holder counts, not only the card type and tariff on display.
    if (AchaValorNegativo()) Recusa_(" Não é possível gerar recarga com valor menor do que 0.00 "_cp);
    op_.LogAcrescenta("Geração de Arquivo Definitivo "_cp);
    struct Pagina_ {
      CadastroTelvarim& c;
      ~Pagina_() { c.PaginaAtiva = Pagina::Log; }  // whatever the outcome
    } pagina{*this};
    return GeraArquivo(PastaGerados, false) == ResultadoGeracao::Gravado ? Resultado::Ok()
                                                                         : Resultado::Falha(LinhaMotivo(UltimaFalha));
  });
}

bool CadastroTelvarim::AchaValorNegativo() {
  for (std::int32_t i = 0; i < QtdUsuarios; ++i) {
    const RegUsuario& u = tab_.Usuarios[static_cast<std::size_t>(i)];
    for (const auto& g : u.Grupos)
      if (g.ValorRecarga < 0) {
        op_.LogAcrescenta("Valor negativo - Usuário : "_cp + NumeroTexto(u.CodUsuario) + " - Matrícula : "_cp +
                          u.Matricula + " - Tipo : " + NumeroTexto(u.TipoCartao) +
                          " - Tarifa : " + NumeroTexto(g.Tarifa));
        return true;
      }
  }
  return false;
}

Resultado CadastroTelvarim::SalvaRascunho() {
  return Protegido([&] {
    op_.LogAcrescenta("Geração de Arquivo Rascunho"_cp);
    if (GeraArquivo(PastaRascunho, true) != ResultadoGeracao::Gravado)
      return Resultado::Falha(LinhaMotivo(UltimaFalha));
    op_.Mensagem("Arquivo de Rascunho Gravado com Sucesso!!");
    return Resultado::Ok();
  });
}

void CadastroTelvarim::ApagaRascunhos(const fs::path& exceto) {
  PastaRascunho = pastas_.Rascunho();
  std::error_code ec;
  std::vector<fs::path> arquivos;
  for (fs::directory_iterator it(PastaRascunho, ec), fim; !ec && it != fim; it.increment(ec)) {
    std::error_code ec2;
    if (it->is_regular_file(ec2) && it->path().filename() != exceto) arquivos.push_back(it->path());
  }
  for (const auto& a : arquivos) fs::remove(a, ec);  // files that cannot be deleted are passed over
}

std::error_code CadastroTelvarim::SalvaLinhas(const fs::path& arquivo, const std::vector<std::string>& linhas,
                                              bool privado) const {
  std::size_t tamanho = 0;
  for (const auto& l : linhas) tamanho += l.size() + 2;
  std::string texto;
  texto.reserve(tamanho);
  for (const auto& l : linhas) texto.append(l).append("\r\n");
  return write_file(arquivo, texto, {.ownerOnly = privado});
}

ResultadoGeracao CadastroTelvarim::GeraArquivo(const fs::path& pasta, bool rascunho) {
  UltimaGeracao = ResultadoGeracao::NadaGravado;
  LogGerado = MovimentoRecebido = Desfecho::NaoTentado;
  UltimaFalha = {};
  ArquivoGerado.clear();
  ArquivoLog.clear();
  // The names come first: a sequence that is not a number ends the generation before any file, the
  // operator's draft included, is touched.
  const DataHora agora = relogio_.Agora();
  const std::int32_t seq = TextoParaInteiro(Trim(SeqArquivo), "SeqArquivo");
  ArquivoGerado = NomePedido(Cabecalho.CodEmpresa, seq, agora, ".REC");
  ArquivoLog = NomePedido(Cabecalho.CodEmpresa, seq, agora, ".LOG");

  const DataHora inicio = relogio_.Agora();
  CorpoPedido corpo;
  try {
    corpo = MontaCorpoPedido(tab_, QtdUsuarios);
  } catch (const ErroFormato& e) {
    // A value the layout cannot carry: nothing is written.
    LinhasPedido.emplace();
    op_.Mensagem(e.what());
    op_.LogAcrescenta("  ");
    op_.LogAcrescenta(e.what());
    return ResultadoGeracao::NadaGravado;
  }
  const DataHora termino = relogio_.Agora();
  LinhasPedido =
      telvarim::LinhasPedido(CabecalhoPedido(Cabecalho, inicio, termino, ArquivoGerado, prog_.VersaoModulo), corpo);

  const ResultadoEmpacotamento r = CompactaCriptografa(rascunho);
  if (r == ResultadoEmpacotamento::FalhaCompactacao) {
    UltimaGeracao = ResultadoGeracao::FalhaCompactacao;
    op_.Mensagem("Erro ao Compactar o arquivo Temporário - Verifique!"_cp);
    op_.LogAcrescenta("  ");
    op_.LogAcrescenta("Erro ao Compactar Arquivo - Verifique");
    op_.LogAcrescenta(LinhaMotivo(UltimaFalha));
    return UltimaGeracao;
  }
  if (r == ResultadoEmpacotamento::FalhaSelagem) {
    UltimaGeracao = ResultadoGeracao::FalhaSelagem;
    op_.Mensagem("Erro ao Criptografar Arquivo - Verifique!");
    op_.LogAcrescenta("  ");
    op_.LogAcrescenta("Erro ao Criptograr Arquivo - Verifique");
    op_.LogAcrescenta(LinhaMotivo(UltimaFalha));
    return UltimaGeracao;
  }
  UltimaGeracao = ResultadoGeracao::Gravado;
  // Only now that the new file is in place are the older drafts cleared.
  ApagaRascunhos(rascunho ? CaminhoDeTexto(ArquivoGerado) : fs::path());

  op_.LogAcrescenta(" ");
  // The holders the request carries, one detail record each.
  op_.LogAcrescenta("Total de Registros Gerados ==>  " + NumeroTexto(QtdUsuarios));
  const Totais totais = TotaisArquivo();
  op_.LogAcrescenta("Total em Créditos          ==>  "_cp + FormataInteiro(totais.creditos, "###,##0"));
  op_.LogAcrescenta("Total em Valor             ==>  " + FormataPadrao(totais.dinheiro, "###,##0.00"));
  op_.LogAcrescenta("  ");
  op_.LogAcrescenta("Arquivo Criptografado com Sucesso");
  op_.LogAcrescenta("Arquivo Compactado com Sucesso");
  op_.LogAcrescenta("  ");
  op_.LogAcrescenta("Arquivo Gerado ==> " + TextoCaminhoGerado(pasta / CaminhoDeTexto(ArquivoGerado)));
  op_.LogAcrescenta("Geração de Arquivo LOG"_cp);
  op_.LogAcrescenta("Arquivo Gerado ==> " + TextoCaminhoGerado(pasta / CaminhoDeTexto(ArquivoLog)));

  *LinhasPedido = op_.LogLinhas();
  {
    // Like the request, the log reaches its name only when it is whole.
    const fs::path log = pasta / CaminhoDeTexto(ArquivoLog), parcial = CaminhoParcial(log);
    const Temporarios temporario({parcial});
    CausaFalha causa;
    if (std::error_code ec = SalvaLinhas(parcial, *LinhasPedido, false))
      causa = CausaSistema("write", ec, parcial);
    else if ((ec = commit_file(parcial, log)))
      causa = CausaSistema("rename", ec, log);
    LogGerado = causa.Vazia() ? Desfecho::Feito : Desfecho::Falhou;
    if (!causa.Vazia()) {
      op_.Mensagem("Erro ao Gravar o arquivo LOG - Verifique!");
      op_.LogAcrescenta("Erro ao Gravar o arquivo LOG - Verifique!");
      RegistraFalha(std::move(causa));
    }
  }

  if (!RetomandoRascunho) {
    const fs::path destino = pastas_.Processados() / ArquivoEmProcesso.filename();
    std::error_code ec;
    if (ArquivoEmProcesso.empty() || !fs::is_regular_file(ArquivoEmProcesso, ec))
      ec = std::make_error_code(std::errc::no_such_file_or_directory);
    else
      ec = move_file_no_replace(ArquivoEmProcesso, destino);
    MovimentoRecebido = ec ? Desfecho::Falhou : Desfecho::Feito;
    op_.LogAcrescenta((ec ? "Erro ao Mover Arquivo para " : "Arquivo Movido para ") +
                      TextoCaminho(pastas_.Processados()) + " ");
    if (ec)
      RegistraFalha(CausaSistema("move", ec, ec == std::errc::no_such_file_or_directory ? ArquivoEmProcesso : destino));
  }

  op_.LogAcrescenta(" ");
  op_.LogAcrescenta(kIguais);
  op_.LogAcrescenta("===============  Fim de Processamento - Telvarim   ========================");
  op_.LogAcrescenta("===============     Data Proc: " + FormataDataHora(relogio_.Agora()) +
                    "     ==========================");
  op_.LogAcrescenta(kIguais);
  return UltimaGeracao;
}

ResultadoEmpacotamento CadastroTelvarim::CompactaCriptografa(bool rascunho) {
  const fs::path pasta = rascunho ? PastaRascunho : PastaGerados;
  const fs::path tmp1 = pasta / "TMP1.REC", tmp2 = pasta / "TMP2.REC", final = pasta / CaminhoDeTexto(ArquivoGerado);
  const fs::path parcial = CaminhoParcial(final);
  // What an interrupted generation left under a temporary name is of no use to anyone.
  std::error_code ec;
  for (const std::string& sobra : ListaArquivos(pasta, "*" + std::string(kSufixoParcial)))
    fs::remove(pasta / CaminhoDeTexto(sobra), ec);
  const Temporarios temporarios({tmp1, tmp2, parcial});
  auto falha = [&](ResultadoEmpacotamento r, CausaFalha causa) {
    UltimaFalha = std::move(causa);
    return r;
  };
  auto& linhas = *LinhasPedido;
  while (!linhas.empty() && TrimView(linhas.back()).empty()) linhas.pop_back();
  // The text in the clear, and its compressed form, are private from their first byte.
  if ((ec = SalvaLinhas(tmp1, linhas, true)))
    return falha(ResultadoEmpacotamento::FalhaCompactacao, CausaSistema("write", ec, tmp1));
  // A draft is compressed straight into its temporary name; a request goes through TMP2.REC to the seal.
  const fs::path comprimido = rascunho ? parcial : tmp2;
  if ((ec = create_private_file(comprimido)))
    return falha(ResultadoEmpacotamento::FalhaCompactacao, CausaSistema("create", ec, comprimido));
  if (const ResultadoPasso r = codecs_.Compacta(tmp1, comprimido); !r.Feito())
    return falha(ResultadoEmpacotamento::FalhaCompactacao,
                 CausaCodec(Codec::kLzw, "compress", r.codigo, {tmp1, comprimido}));
  if (!rascunho) {
    if (const ResultadoPasso r = codecs_.Sela(tmp2, parcial); !r.Feito())
      return falha(ResultadoEmpacotamento::FalhaSelagem, CausaCodec(Codec::kSeal, "seal", r.codigo, {tmp2, parcial}));
  }
  // The name is given last, replacing an older file of the same name in one step.
  if ((ec = commit_file(parcial, final)))
    return falha(rascunho ? ResultadoEmpacotamento::FalhaCompactacao : ResultadoEmpacotamento::FalhaSelagem,
                 CausaSistema("rename", ec, final));
  return ResultadoEmpacotamento::Gravado;
}

}  // namespace telvarim
