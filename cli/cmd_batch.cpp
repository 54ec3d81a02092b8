// batch: what the operator does in the workspace, without a window: process a received file, then generate
// its request. The log page's lines go to stdout and the message-box texts to stderr, as UTF-8.
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

}  // namespace

int cmd_batch(const Argumentos& a) {
  static constexpr const char* kUso = "batch [--root DIR] [--values FILE] NAME";
  Linha l;
  std::string erro;
  if (!Analisa(a, {"root", "values"}, {}, l, erro)) return Uso("batch", erro, kUso);
  if (l.posicionais.size() != 1) return Uso("batch", "needs the name of one received file", kUso);
  if (l.Tem("values")) return Falha("batch", 0, "importing a value file is not available in this build", 2);
  const PastasTrabalho pastas(l.Tem("root") ? Caminho(*l.Valor("root")) : RaizTrabalho());

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
    return Falha("batch", 0, "the received file was not processed; no request written");
  c.btngerararquivoClick();
  if (c.UltimaGeracao != ResultadoGeracao::Gravado) return Falha("batch", 0, "the request could not be written");
  return 0;
}

}  // namespace telvarim::cli
