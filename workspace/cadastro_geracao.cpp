#include "cadastrotelvarim.h"

#include <system_error>

#include "cadastro_comum.h"
#include "cp1252.h"
#include "pedido.h"
#include "respostas.h"

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
    switch (GeraArquivo(PastaGerados, false)) {
      case ResultadoGeracao::Gravado:
      case ResultadoGeracao::RespostaConcluida:
        return Resultado::Ok();
      case ResultadoGeracao::JaRespondido:
        return Resultado::Recusa("Arquivo já respondido pelo pedido "_cp + PedidoAnterior);
      default:
        return Resultado::Falha(LinhaMotivo(UltimaFalha));
    }
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
    // The folder's lock file stays: a step that holds it must keep holding the same file.
    if (it->is_regular_file(ec2) && it->path().filename() != exceto &&
        it->path().filename() != CaminhoDeTexto(std::string(kArquivoTrava)))
      arquivos.push_back(it->path());
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

bool CadastroTelvarim::ReservaPastas(const std::vector<fs::path>& pastas, TravaPastas& travas) {
  travas = TravaPastasDoPasso(pastas, NomeDoPrograma, EsperaPastas);
  if (travas.Travadas()) {
    for (const fs::path& p : pastas) RemoveSobras(p);  // no step of anyone writes there now: leftovers only
    return true;
  }
  const std::string pasta = TextoCaminho(travas.pasta);
  const std::string m = travas.emUso ? "Pasta " + pasta + " em uso por " +
                                           (travas.ocupante.empty() ? std::string("outro programa") : travas.ocupante) +
                                           " - Tente novamente!"
                                     : "Não foi possível reservar a pasta "_cp + pasta + " - Verifique!";
  op_.Mensagem(m);
  op_.LogAcrescenta(m);
  if (travas.erro) RegistraFalha(CausaSistema("lock", travas.erro, travas.pasta));
  return false;
}

void CadastroTelvarim::Marca(std::string_view fase) {
  if (PontoDeControle) PontoDeControle(fase);
}

ResultadoGeracao CadastroTelvarim::RespondeDeNovo(const RegistroResposta& anterior, bool noLivro) {
  const std::string nome = TextoCaminho(ArquivoEmProcesso.filename());
  const fs::path destino = pastas_.Processados() / ArquivoEmProcesso.filename();
  std::error_code ec;
  const bool esperando = !RetomandoRascunho && !ArquivoEmProcesso.empty() && fs::is_regular_file(ArquivoEmProcesso, ec);
  // The same file, still waiting after its answer was put in place: the run that answered it ended before
  // moving it. Its answer is completed, not given again.
  if (esperando && (!noLivro || anterior.recebido == nome) && !fs::exists(destino, ec)) {
    ArquivoGerado = anterior.pedido;
    op_.LogAcrescenta("Arquivo já respondido pelo pedido "_cp + anterior.pedido + ": resposta concluída"_cp);
    if (!noLivro) {
      if (std::error_code e = RegistraResposta(
              pastas_.Raiz(), {anterior.identidade, nome, anterior.pedido, FormataDataHora(relogio_.Agora())}))
        RegistraFalha(CausaSistema("write", e, pastas_.Raiz() / CaminhoDeTexto(std::string(kArquivoRespostas))));
    }
    MoveRecebido();
    UltimaGeracao = ResultadoGeracao::RespostaConcluida;
    return UltimaGeracao;
  }
  PedidoAnterior = anterior.pedido;
  std::string m = "Arquivo já respondido pelo pedido "_cp + anterior.pedido;
  if (!anterior.recebido.empty() && anterior.recebido != nome) m += " (arquivo recebido " + anterior.recebido + ")";
  m += " - Verifique!";
  op_.Mensagem(m);
  op_.LogAcrescenta(m);
  UltimaGeracao = ResultadoGeracao::JaRespondido;
  return UltimaGeracao;
}

void CadastroTelvarim::MoveRecebido() {
  const fs::path destino = pastas_.Processados() / ArquivoEmProcesso.filename();
  std::error_code ec;
  if (ArquivoEmProcesso.empty() || !fs::is_regular_file(ArquivoEmProcesso, ec))
    ec = std::make_error_code(std::errc::no_such_file_or_directory);
  else if ((ec = move_file_no_replace(ArquivoEmProcesso, destino)) && file_in_place(ArquivoEmProcesso, destino)) {
    // Moved, only its new place perhaps not yet on the disk: what the folders hold is what counts.
    op_.LogAcrescenta(LinhaMotivo(CausaSistema("flush", ec, pastas_.Processados())));
    ec.clear();
  }
  MovimentoRecebido = ec ? Desfecho::Falhou : Desfecho::Feito;
  op_.LogAcrescenta((ec ? "Erro ao Mover Arquivo para " : "Arquivo Movido para ") +
                    TextoCaminho(pastas_.Processados()) + " ");
  if (ec)
    RegistraFalha(CausaSistema("move", ec, ec == std::errc::no_such_file_or_directory ? ArquivoEmProcesso : destino));
}

ResultadoGeracao CadastroTelvarim::GeraArquivo(const fs::path& pasta, bool rascunho) {
  UltimaGeracao = ResultadoGeracao::NadaGravado;
  LogGerado = MovimentoRecebido = Desfecho::NaoTentado;
  UltimaFalha = {};
  PedidoAnterior.clear();
  ArquivoGerado.clear();
  ArquivoLog.clear();
  // The names come first: a sequence that is not a number ends the generation before any file, the
  // operator's draft included, is touched.
  const DataHora agora = relogio_.Agora();
  const std::int32_t seq = TextoParaInteiro(Trim(SeqArquivo), "SeqArquivo");
  const std::string pedido = NomePedido(Cabecalho.CodEmpresa, seq, agora, ".REC");
  const std::string nomeLog = NomePedido(Cabecalho.CodEmpresa, seq, agora, ".LOG");

  // Every folder this step writes is held from the first check to the last write, so that a desk sharing
  // one of them neither writes between the two nor answers the same file meanwhile.
  const bool moveRecebido = !RetomandoRascunho;
  std::vector<fs::path> escritas{pasta, PastaRascunho};
  if (moveRecebido) escritas.insert(escritas.end(), {ArquivoEmProcesso.parent_path(), pastas_.Processados()});
  TravaPastas travas;
  if (!ReservaPastas(escritas, travas)) return UltimaGeracao;

  const std::string recebido = TextoCaminho(ArquivoEmProcesso.filename());
  const IdentidadeRecebido id{Cabecalho.CodEmpresa, seq};
  if (!rascunho) {
    if (std::optional<RegistroResposta> r = RespostaRegistrada(pastas_.Raiz(), id)) return RespondeDeNovo(*r, true);
    if (std::optional<std::string> p = PedidoEmGerados(PastaGerados, id))
      return RespondeDeNovo({id, {}, *p, {}}, false);
  }
  // A request is written only for a received file that can follow it into Processados; a draft saved
  // earlier in this window has already taken it there (and the move below says it could not).
  if (!rascunho && moveRecebido && !RecebidoComRascunho) {
    std::error_code ec;
    if (ArquivoEmProcesso.empty() || !fs::is_regular_file(ArquivoEmProcesso, ec)) {
      const std::string m = "Arquivo para processar não Encontrado - Verifique!"_cp;
      op_.Mensagem(m);
      op_.LogAcrescenta(m);
      return UltimaGeracao;
    }
    if (fs::symlink_status(pastas_.Processados() / ArquivoEmProcesso.filename(), ec).type() !=
        fs::file_type::not_found) {
      const std::string m =
          "Já existe um arquivo "_cp + recebido + " em " + TextoCaminho(pastas_.Processados()) + " - Verifique!";
      op_.Mensagem(m);
      op_.LogAcrescenta(m);
      return UltimaGeracao;
    }
  }
  ArquivoGerado = pedido;
  ArquivoLog = nomeLog;

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
  Marca("pedido-gravado");
  if (!rascunho) {
    // Before the received file moves, the ledger knows the answer: a run that ends in between leaves a
    // file whose next run completes the move instead of answering again.
    if (std::error_code ec = RegistraResposta(pastas_.Raiz(), {id, recebido, ArquivoGerado, FormataDataHora(agora)}))
      RegistraFalha(CausaSistema("write", ec, pastas_.Raiz() / CaminhoDeTexto(std::string(kArquivoRespostas))));
    Marca("resposta-registrada");
  }
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
    else if ((ec = commit_file(parcial, log)) && file_in_place(parcial, log))
      op_.LogAcrescenta(LinhaMotivo(CausaSistema("flush", ec, pasta)));  // whole and in place; said, not failed
    else if (ec)
      causa = CausaSistema("rename", ec, log);
    LogGerado = causa.Vazia() ? Desfecho::Feito : Desfecho::Falhou;
    if (!causa.Vazia()) {
      op_.Mensagem("Erro ao Gravar o arquivo LOG - Verifique!");
      op_.LogAcrescenta("Erro ao Gravar o arquivo LOG - Verifique!");
      RegistraFalha(std::move(causa));
    }
  }

  if (moveRecebido) {
    MoveRecebido();
    if (rascunho && MovimentoRecebido == Desfecho::Feito) RecebidoComRascunho = true;
    Marca("recebido-movido");
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
  // Names of this run alone: a desk that shares the folder never writes into them, nor they into its.
  const fs::path tmp1 = CaminhoTemporario(pasta, "TMP1.REC"), tmp2 = CaminhoTemporario(pasta, "TMP2.REC");
  const fs::path final = pasta / CaminhoDeTexto(ArquivoGerado), parcial = CaminhoParcial(final);
  std::error_code ec;
  const Temporarios temporarios({tmp1, tmp2, parcial});
  auto falha = [&](ResultadoEmpacotamento r, CausaFalha causa) {
    UltimaFalha = std::move(causa);
    return r;
  };
  auto& linhas = *LinhasPedido;
  while (!linhas.empty() && TrimView(linhas.back()).empty()) linhas.pop_back();
  // The text in the clear, and its compressed form, are private from their first byte, and new: a name
  // that exists already is not ours.
  if ((ec = create_private_file(tmp1, true)) || (ec = SalvaLinhas(tmp1, linhas, true)))
    return falha(ResultadoEmpacotamento::FalhaCompactacao, CausaSistema("write", ec, tmp1));
  // A draft is compressed straight into its temporary name; a request goes through TMP2.REC to the seal.
  const fs::path comprimido = rascunho ? parcial : tmp2;
  if ((ec = create_private_file(comprimido, true)))
    return falha(ResultadoEmpacotamento::FalhaCompactacao, CausaSistema("create", ec, comprimido));
  if (const ResultadoPasso r = codecs_.Compacta(tmp1, comprimido); !r.Feito())
    return falha(ResultadoEmpacotamento::FalhaCompactacao,
                 CausaCodec(Codec::kLzw, "compress", r.codigo, {tmp1, comprimido}));
  if (!rascunho) {
    if (const ResultadoPasso r = codecs_.Sela(tmp2, parcial); !r.Feito())
      return falha(ResultadoEmpacotamento::FalhaSelagem, CausaCodec(Codec::kSeal, "seal", r.codigo, {tmp2, parcial}));
  }
  Marca("antes-do-pedido");
  // The name is given last, replacing an older file of the same name in one step. A failure after the
  // rename (the folder's flush) leaves the whole file in place: the folder says which it was.
  if ((ec = commit_file(parcial, final))) {
    if (!file_in_place(parcial, final))
      return falha(rascunho ? ResultadoEmpacotamento::FalhaCompactacao : ResultadoEmpacotamento::FalhaSelagem,
                   CausaSistema("rename", ec, final));
    op_.LogAcrescenta(LinhaMotivo(CausaSistema("flush", ec, pasta)));
  }
  return ResultadoEmpacotamento::Gravado;
}

}  // namespace telvarim
