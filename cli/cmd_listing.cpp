// listing: process a received file as `batch` does and write its printed listing ("Imprimir") as a PDF, in
// the chosen order; nothing is generated and nothing is moved.
#include <QDateTime>
#include <QGuiApplication>
#include <QString>
#include <cstdlib>
#include <memory>

#include "cadastrotelvarim.h"
#include "commands.h"
#include "cp1252.h"
#include "pastas.h"
#include "sessao.h"
#include "urepgeral.h"

namespace telvarim::cli {

int cmd_listing(const Argumentos& a) {
  static constexpr const char* kUso = "listing [--root DIR] [--order codigo|nome|matricula] NAME OUT.pdf";
  Linha l;
  std::string erro;
  if (!Analisa(a, {"root", "order"}, {}, l, erro)) return Uso("listing", erro, kUso);
  if (l.posicionais.size() != 2)
    return Uso("listing", "needs the name of one received file and the PDF to write", kUso);
  const std::string ordem = l.Valor("order").value_or("codigo");
  int item = 0;
  if (ordem == "nome")
    item = 1;
  else if (ordem == "matricula")
    item = 2;
  else if (ordem != "codigo")
    return Uso("listing", "--order takes codigo, nome or matricula", kUso);
  const PastasTrabalho pastas(l.Tem("root") ? Caminho(*l.Valor("root")) : RaizTrabalho());

  const FileLock trava = ReservaRaiz("listing", pastas);

  OperadorConsole op;
  op.mostraRelatorios = false;
  CadastroTelvarim c(op, pastas);
  if (int s = ProcessaRecebido("listing", c, l.posicionais[0]); s != 0) return s;
  c.Ordem = ClassificacaoDoItem(item);
  c.Imprime();
  if (op.relatorios.empty()) return Falha("listing", 0, "the listing could not be made");

  // Painting a PDF needs Qt's fonts, not a screen: without a display the offscreen platform does.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char nomePrograma[] = "telvarim-cli";
  char* argv[] = {nomePrograma, nullptr};
  QGuiApplication app(argc, argv);
  const QString saida = QString::fromUtf8(l.posicionais[1]);
  if (!EscrevePdf(op.relatorios.back(), saida, QDateTime::currentDateTime()))
    return Falha("listing", 0, "cannot write " + l.posicionais[1]);
  return 0;
}

}  // namespace telvarim::cli
