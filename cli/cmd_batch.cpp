// batch: what the operator does in the workspace, without a window: process a received file, import a value
// file when asked, then generate its request. The log page's lines go to stdout and the message-box texts
// to stderr, as UTF-8.
#include "cadastrotelvarim.h"
#include "commands.h"
#include "cp1252.h"
#include "pastas.h"
#include "sessao.h"

namespace telvarim::cli {

int cmd_batch(const Argumentos& a) {
  static constexpr const char* kUso = "batch [--root DIR] [--values FILE] NAME";
  Linha l;
  std::string erro;
  if (!Analisa(a, {"root", "values"}, {}, l, erro)) return Uso("batch", erro, kUso);
  if (l.posicionais.size() != 1) return Uso("batch", "needs the name of one received file", kUso);
  const PastasTrabalho pastas(l.Tem("root") ? Caminho(*l.Valor("root")) : RaizTrabalho());

  OperadorConsole op;
  CadastroTelvarim c(op, pastas);
  if (int s = ProcessaRecebido("batch", c, l.posicionais[0]); s != 0) return s;

  if (auto valores = l.Valor("values")) {
    // The first card type and tariff of the file are on display, as after processing in the window.
    op.arquivos = {TextoCaminho(Caminho(*valores))};
    c.btnimportararqClick();
    if (!c.UltimaImportacao)
      return Falha("batch", 0, "the value file was not imported whole (see the result lines above); no request written",
                   3);
  }

  c.btngerararquivoClick();
  if (c.UltimaGeracao != ResultadoGeracao::Gravado) return Falha("batch", 0, "the request could not be written");
  return 0;
}

}  // namespace telvarim::cli
