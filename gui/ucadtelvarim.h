// The recharge workspace window ("Cadastro Telvarim"): a thin view over one CadastroTelvarim. The window
// hands each click, key and choice to the engine's handler of the same name and then shows the engine's
// state again (page, labels, lists, grid); the engine asks and tells the operator through DialogosQt.
//
// Pages without tabs, switched by the engine: the files (tbarquivos), the typing page with the grid
// (tbDigitacao) and the log (tblog).
//
// A value typed in the grid goes through the engine when its typing ends (Enter, or leaving the cell): stored
// into its holder, or refused with the reason. Every button and choice on the typing page first ends
// typing, and does nothing more when the value was refused.
//
// Every page scrolls when the window is smaller than its controls need (the grid, the lists and the log give
// up their height first), so that every control stays within reach at the main window's size.
//
// A row that can take no value (the request has no room for it) is read-only and greyed; its tooltip, the
// status bar while it is the current row, and a notice when something is typed on it say why.
//
// Beyond the engine: Ctrl+F finds a holder among all the file's holders (the engine shows its card type and
// tariff), and the window remembers whether it holds typed or imported values that were neither saved as a
// draft nor generated, so that every way it can go (closing it, the program, the function tree) offers to
// save them first.
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cadastrotelvarim.h"
#include "dialogos.h"

class QButtonGroup;
class QCloseEvent;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QValidator;

namespace telvarim {
class GradeRecarga;
class ModeloGrade;
}  // namespace telvarim

class Tfcadtelvarim : public QWidget {
  Q_OBJECT

 public:
  // The engine works on the program's work folders and the process-wide tables.
  explicit Tfcadtelvarim(QWidget* parent = nullptr);
  ~Tfcadtelvarim() override;

  telvarim::CadastroTelvarim& Cadastro() { return *cadastro_; }

  // Typed, defaulted, copied or imported values that no draft or request holds yet.
  bool AlteracoesPendentes() const { return alterado_; }
  // Asked before the window goes, however it goes: with values pending, offers to save a draft first. True
  // when the window may go (nothing pending, saved, or the operator said no); false to stay.
  bool ConfirmaFechamento();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CriaPaginaArquivos();
  void CriaPaginaDigitacao();
  void CriaPaginaLog();
  QPushButton* Botao(QWidget* pai, const char* nome, const QString& texto);

  // Shows the engine's state: everything, or the progress of a long operation only.
  void Atualiza();
  void AtualizaProgresso();
  void AtualizaListas();
  void AtualizaGrade();

  // Runs an engine operation and shows the engine's state afterwards; its result.
  template <class F>
  telvarim::Resultado Executa(F&& operacao);
  // Ends typing in the grid (the typed value goes through the engine); false when the value was refused,
  // so that the click that ended it does nothing more.
  bool SaiDaGrade();
  void FocoMudou(QWidget* antigo, QWidget* novo);
  telvarim::Resultado Digita(int linha, const std::string& texto);

  // Handlers, one per control and event.
  void FLBArquivosRecargaRecebidosChange();
  void btnprocessarClick();
  void cbtipocartaoChange(int indice);
  void cbtarifaChange(int indice);
  void rbClassificacaoClick(int item);
  void sgRecargaKeyPress();
  void sgRecargaKeyDown(int tecla);
  void sgRecargaSelectCell(int linha);
  void MostraSemRecarga(int linha);
  void edalteravlrChange(const QString& texto);
  bool edalteravlrExit();
  void btnalteravlrClick();
  void BitBtn1Click();
  void btnimportararqClick();
  void btnimpressaoClick();
  void btnsalvarrascunhoClick();
  void btngerararquivoClick();
  void btnFecharClick();

  // The find box (Ctrl+F).
  void MostraLocalizar();
  void LocalizaProximo();
  void EscondeLocalizar();

  telvarim::DialogosQt dialogos_;
  std::unique_ptr<telvarim::CadastroTelvarim> cadastro_;
  telvarim::ModeloGrade* modelo_ = nullptr;

  QStackedWidget* PageControl1 = nullptr;
  QWidget* tbarquivos = nullptr;
  QWidget* tbDigitacao = nullptr;
  QWidget* tblog = nullptr;

  // File page.
  QListWidget* FLBArquivosRecargaRecebidos = nullptr;
  QListWidget* FLBArquivosRecargaProcessados = nullptr;
  QListWidget* FLBArquivosRecargaGerados = nullptr;
  QLabel* lblarqproc = nullptr;
  QLabel* lbltipoultacc = nullptr;
  QLabel* lblultacesso = nullptr;
  QLabel* lblarqjaproc = nullptr;
  QLabel* lblultimoarquivo = nullptr;
  QLabel* lblarqgerado = nullptr;
  QLabel* lblultimogerado = nullptr;
  QPushButton* btnprocessar = nullptr;

  // Typing page.
  QLabel* lblempresa = nullptr;
  QLabel* lbldata = nullptr;
  QLabel* lblcripta = nullptr;
  QLabel* lblseq = nullptr;
  QLabel* lblregistros = nullptr;
  QGroupBox* rbClassificacao = nullptr;
  QButtonGroup* itensClassificacao_ = nullptr;
  QComboBox* cbtipocartao = nullptr;
  QComboBox* cbtarifa = nullptr;
  QLabel* lbltipo = nullptr;
  QLabel* lbltarifa = nullptr;
  QFrame* pnlLocalizar = nullptr;
  QLineEdit* edLocalizar = nullptr;
  QLabel* lblLocalizar = nullptr;
  telvarim::GradeRecarga* sgRecarga = nullptr;
  QProgressBar* CGauge1 = nullptr;
  QLabel* Label18 = nullptr;
  QLabel* Label19 = nullptr;
  QLineEdit* edalteravlr = nullptr;
  QPushButton* btnalteravlr = nullptr;
  QLabel* lblqtdrec = nullptr;
  QLabel* lblvlrrecdig = nullptr;
  QLabel* lblqtdrecdig = nullptr;
  QLabel* lblgervlrdig = nullptr;
  QLabel* lblgerqtddig = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* btnimportararq = nullptr;
  QPushButton* btnimpressao = nullptr;
  QPushButton* btnsalvarrascunho = nullptr;
  QPushButton* btngerararquivo = nullptr;

  // Log page.
  QPlainTextEdit* memolog = nullptr;
  QPushButton* btnFechar = nullptr;

  std::vector<std::string> itensRecebidos_, itensProcessados_, itensGerados_;
  std::vector<std::int32_t> itensTipo_, itensTarifa_;
  unsigned mudancasVista_ = 0;  // of the view whose widths and default value are shown
  int decimaisValorPadrao_ = -1;
  bool emOperacao_ = false;         // an engine operation is running: focus moves are not the operator's
  bool digitacaoRecusada_ = false;  // the last value typed was refused: Enter keeps the row
  bool alterado_ = false;
  bool mostrado_ = false;
  bool motivoNoStatus_ = false;  // the status bar shows why the current row takes no value
};

// The workspace window the function tree opened last; nothing reads it back.
extern QPointer<Tfcadtelvarim> fcadtelvarim;
