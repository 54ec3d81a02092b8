// The operator's dialogs as every window shows them: plain notices titled with the application title, typed
// dialogs titled by their type ("Confirm", "Information", "Warning", "Error") with the buttons the operator
// knows ("&Yes", "&No", "Cancel", "OK"), the file-open dialog, and panel 1 of the main window's status bar.
// The disk exchange and the workspace both ask and tell through these; the workspace reaches them through
// the engine's operator seam (DialogosQt).
//
// Texts arrive as the engine keeps them, cp1252 bytes, or as QString where a window made them.
#pragma once

#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "operador.h"

class QWidget;

namespace telvarim {

// The engine's cp1252 text in a window's hands, and back (characters outside the code page become '?').
QString ParaQt(const std::string& cp1252);
std::string ParaCp1252(const QString& texto);

// The application title ("Telvarim").
QString TituloAplicacao();

// Plain notice with an OK button, titled with the application title, no icon.
void MostraMensagem(QWidget* pai, const QString& texto);

enum class TipoAviso { Informacao, Advertencia, Erro };
// Typed notice with an OK button: "Information", "Warning" or "Error" with its icon.
void MostraAviso(QWidget* pai, TipoAviso tipo, const QString& texto);

// A question with two buttons; true only when the operator chose `sim` (Escape chooses `nao`).
bool Pergunta(QWidget* pai, QMessageBox::Icon icone, const QString& titulo, const QString& texto, const QString& sim,
              const QString& nao, QMessageBox::ButtonRole papelNao);
// "Confirm" with "&Yes" and "&No".
bool Confirma(QWidget* pai, const QString& texto);

enum class Resposta { Sim, Nao, Cancela };
// "Confirm" with "&Yes", "&No" and "Cancel" (Escape cancels).
Resposta ConfirmaOuCancela(QWidget* pai, const QString& texto);

// A filter of the classic form "Description|patterns|Description|patterns" (patterns separated by ';') as
// the file dialog takes it: "Description (patterns);;...". A description that already names its patterns
// in brackets keeps them as they are.
QString FiltroArquivos(std::string_view filtro);
// The file-open dialog; the chosen path, or an empty text when cancelled. `extensaoPadrao` like "*.rrm".
// It opens in `pasta` (when empty, wherever the system likes).
QString EscolheArquivo(QWidget* pai, const QString& filtro, const QString& extensaoPadrao, const QString& pasta = {});

// Where a file dialog of the program opens: the folder of the last file chosen in one, while it exists, else
// the work root.
QString PastaDosDialogos();
// Remembers the folder of a file the operator chose (or named) in a file dialog, for the next one.
void LembraPastaDosDialogos(const QString& arquivo);

// Panel 1 of the main window's status bar. The main window says where the text goes; without a main
// window the text goes nowhere.
void DefinePainelStatus(std::function<void(const QString&)> escritor);
void EscrevePainelStatus(const QString& texto);
// A notice across the whole status bar, over its panels, until an empty text takes it away: for words too
// long for a panel. Without a main window it goes nowhere.
void DefineAvisoStatus(std::function<void(const QString&)> escritor);
void EscreveAvisoStatus(const QString& texto);

// The engine's operator seam with the dialogs above, the log page of a window and the report preview.
class DialogosQt final : public Operador {
 public:
  explicit DialogosQt(QWidget* pai) : pai_(pai) {}

  // The multi-line box that shows the log page; the lines themselves are kept here, byte for byte.
  void DefineLog(QPlainTextEdit* memolog) { memolog_ = memolog; }
  // Runs whenever the engine lets pending window messages run, before they do: the window shows the
  // engine's progress there.
  void DefineAntesDeProcessar(std::function<void()> f) { antesDeProcessar_ = std::move(f); }

  // Notices (plain and typed) shown so far: an operation that showed none went through unrefused.
  int Avisos() const { return avisos_; }
  // Files chosen in the file-open dialog so far.
  int ArquivosEscolhidos() const { return arquivosEscolhidos_; }

  void Mensagem(const std::string& texto) override;
  bool Confirma(const std::string& texto) override;
  void Informa(const std::string& texto) override;
  void Adverte(const std::string& texto) override;
  void Erro(const std::string& texto) override;
  void Status(const std::string& texto) override;
  void LogAcrescenta(const std::string& linha) override;
  void LogLimpa() override;
  std::vector<std::string> LogLinhas() const override { return log_; }
  // Repaints and lets timers run; the operator's clicks and keys wait until the operation ends, so none of
  // them starts another operation in the middle of this one.
  void ProcessaMensagens() override;
  std::string AbreArquivo(const std::string& filtro, const std::string& extensaoPadrao) override;
  void MostraRelatorio(const Relatorio& r) override;

 private:
  QPointer<QWidget> pai_;
  QPointer<QPlainTextEdit> memolog_;
  std::vector<std::string> log_;
  std::function<void()> antesDeProcessar_;
  int avisos_ = 0;
  int arquivosEscolhidos_ = 0;
  qint64 ultimoProcessamento_ = -1;
};

}  // namespace telvarim
