// batch: what the operator does in the workspace, without a window: process a received file, then generate
// its request. The log page's lines go to stdout and the message-box texts to stderr, as UTF-8; the last
// stderr line of a failure says what failed, why, and with which code. The work root is held for the whole
// run: a second program on the same root is refused before anything changes.
#include <algorithm>
#include <iostream>

#include "cadastrotelvarim.h"
#include "commands.h"
#include "cp1252.h"
#include "pastas.h"

namespace telvarim::cli {

namespace {

class OperadorConsole : public OperadorRoteirizado {
 public:
  void Mensagem(const std::string& t) override { Mostra(t); }
  bool Confirma(const std::string& t) override {
    Mostra(t);
    return false;
  }
  void Informa(const std::string& t) override { Mostra(t); }
  void Adverte(const std::string& t) override { Mostra(t); }
  void Erro(const std::string& t) override { Mostra(t); }
  void LogAcrescenta(const std::string& linha) override {
    OperadorRoteirizado::LogAcrescenta(linha);
    std::cout << Cp1252ParaUtf8(linha) << '\n';
  }

 private:
  void Mostra(const std::string& t) { std::cerr << Cp1252ParaUtf8(t) << '\n'; }
};

// The last stderr line: what went wrong, the cause the engine found and its code.
int FalhaLote(const CadastroTelvarim& c, const std::string& oQue, const std::string& depois, int status) {
  const CausaFalha& causa = c.UltimaFalha;
  const std::string porque = causa.Vazia() ? std::string("see the log") : causa.reason;
  return Falha("batch", causa.codigo, oQue + " (" + porque + ")" + depois, status);
}

}  // namespace

int cmd_batch(const Argumentos& a) {
  static constexpr const char* kUso = "batch [--root DIR] [--values FILE] NAME";
  Linha l;
  std::string erro;
  if (!Analisa(a, {"root", "values"}, {}, l, erro)) return Uso("batch", erro, kUso);
  if (l.posicionais.size() != 1) return Uso("batch", "needs the name of one received file", kUso);
  if (l.Tem("values")) return Falha("batch", 0, "importing a value file is not available in this build", 2);
  const PastasTrabalho pastas(l.Tem("root") ? std::filesystem::path(*l.Valor("root")) : RaizTrabalho());
  const FileLock trava = ReservaRaiz("batch", pastas);

  OperadorConsole op;
  CadastroTelvarim c(op, pastas);
  c.CriaPastasTrabalho();
  c.PageControl1Change();
  const std::string nome = Utf8ParaCp1252(l.posicionais[0]);
  auto& lista = c.FLBArquivosRecargaRecebidos;
  auto it = std::find(lista.Items.begin(), lista.Items.end(), nome);
  if (it == lista.Items.end())
    return Falha(
        "batch", 0,
        "no received file named " + l.posicionais[0] + " in " + Cp1252ParaUtf8(TextoCaminho(pastas.Recebidos())));
  lista.ItemIndex = static_cast<int>(it - lista.Items.begin());

  c.btnprocessarClick();
  if (c.PaginaAtiva != CadastroTelvarim::Pagina::tbDigitacao)
    return FalhaLote(c, "the received file was not processed", "; no request written", kSaidaFalha);
  c.btngerararquivoClick();
  if (c.UltimaGeracao != ResultadoGeracao::Gravado)
    return FalhaLote(c, "the request could not be written", "", kSaidaFalha);
  // The request is out; what follows it still decides whether the run is done.
  const std::string pedido = "the request " + Cp1252ParaUtf8(c.ArquivoGerado) + " was written, but ";
  if (c.MovimentoRecebido == Desfecho::Falhou)
    return FalhaLote(
        c, pedido + "the received file could not be moved to " + Cp1252ParaUtf8(TextoCaminho(pastas.Processados())), "",
        kSaidaNaoMovido);
  if (c.LogGerado == Desfecho::Falhou)
    return FalhaLote(c, pedido + "its .LOG could not be saved", "", kSaidaLogNaoGravado);
  return 0;
}

}  // namespace telvarim::cli
