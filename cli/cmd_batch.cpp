// batch: what the operator does in the workspace, without a window: process a received file, import a value
// file when asked, then generate its request. The log page's lines go to stdout and the message-box texts
// to stderr, as UTF-8; the last stderr line of a failure says what failed, why, and with which code. The
// work root is held for the whole run: a second program on the same root is refused before anything
// changes.
#include <csignal>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cadastrotelvarim.h"
#include "commands.h"
#include "cp1252.h"
#include "pastas.h"
#include "sessao.h"

namespace telvarim::cli {

namespace {

// Tests stop a run at a named point of its generation (TELVARIM_TESTE_PARADA=antes-do-pedido,
// pedido-gravado, resposta-registrada or recebido-movido) to kill it exactly there.
void PontoDeParadaDosTestes(CadastroTelvarim& c) {
#if !defined(_WIN32)
  const char* fase = std::getenv("TELVARIM_TESTE_PARADA");
  if (!fase || !*fase) return;
  c.PontoDeControle = [alvo = std::string(fase)](std::string_view f) {
    if (f == alvo) std::raise(SIGSTOP);
  };
#else
  (void)c;
#endif
}

}  // namespace

int cmd_batch(const Argumentos& a) {
  static constexpr const char* kUso = "batch [--root DIR] [--values FILE] NAME";
  Linha l;
  std::string erro;
  if (!Analisa(a, {"root", "values"}, {}, l, erro)) return Uso("batch", erro, kUso);
  if (l.posicionais.size() != 1) return Uso("batch", "needs the name of one received file", kUso);
  const PastasTrabalho pastas(l.Tem("root") ? Caminho(*l.Valor("root")) : RaizTrabalho());
  const FileLock trava = ReservaRaiz("batch", pastas);

  OperadorConsole op;
  CadastroTelvarim c(op, pastas);
  c.NomeDoPrograma = "telvarim-cli batch";
  PontoDeParadaDosTestes(c);
  if (int s = ProcessaRecebido("batch", c, l.posicionais[0]); s != 0) return s;

  if (auto valores = l.Valor("values")) {
    // The first card type and tariff of the file are on display, as after processing in the window.
    op.arquivos = {TextoCaminho(Caminho(*valores))};
    const Resultado importacao = c.ImportaValores();
    if (!importacao.Feito()) {
      // A file refused whole, or a log that could not be kept, says why; refused records are listed above.
      if (!c.UltimaFalha.Vazia())
        return FalhaSessao("batch", c, "the value file was not imported", "; no request written",
                           kSaidaImportacaoRecusada);
      if (importacao.estado == Resultado::Estado::Recusado)
        return Falha("batch", 0,
                     "the value file was refused (" + Cp1252ParaUtf8(importacao.motivo) + "); no request written",
                     kSaidaImportacaoRecusada);
      return Falha("batch", 0, "the value file was not imported whole (see the result lines above); no request written",
                   kSaidaImportacaoRecusada);
    }
  }

  c.GeraPedido();
  if (c.UltimaGeracao == ResultadoGeracao::JaRespondido)
    return Falha("batch", 0,
                 "the received file was answered already by the request " + Cp1252ParaUtf8(c.PedidoAnterior) +
                     "; nothing written",
                 kSaidaJaRespondido);
  const bool concluida = c.UltimaGeracao == ResultadoGeracao::RespostaConcluida;
  if (!concluida && c.UltimaGeracao != ResultadoGeracao::Gravado)
    return FalhaSessao("batch", c, "the request could not be written", "; no request written", kSaidaFalha);
  // The request is out; what follows it still decides whether the run is done.
  const std::string pedido = "the request " + Cp1252ParaUtf8(c.ArquivoGerado) +
                             (concluida ? " had been written by an interrupted run, but " : " was written, but ");
  if (c.MovimentoRecebido == Desfecho::Falhou)
    return FalhaSessao(
        "batch", c,
        pedido + "the received file could not be moved to " + Cp1252ParaUtf8(TextoCaminho(pastas.Processados())),
        "; the ledger knows the answer: a later run moves the file without a second request", kSaidaNaoMovido);
  if (c.LogGerado == Desfecho::Falhou)
    return FalhaSessao("batch", c, pedido + "its .LOG could not be saved", "", kSaidaLogNaoGravado);
  return 0;
}

}  // namespace telvarim::cli
