// The workspace window with real widgets on a temporary work root: the sample received file sealed as the
// central system seals it, clicks and keys into the grid, and every box the operator sees answered by a
// watcher that reads its title and text and presses a button.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <deque>
#include <memory>

#include "amostra_selada.h"
#include "cadastrotelvarim.h"
#include "classificacao.h"
#include "cp1252.h"
#include "dialogos.h"
#include "inicio.h"
#include "records.h"
#include "tabelas.h"
#include "ucadtelvarim.h"
#include "ucargaarquivos.h"
#include "uprincipal.h"

namespace fs = std::filesystem;

namespace {

const QString kRecebido = QStringLiteral("RM_000123_0001_2612101100_1.rec");

struct Caixa {
  QString titulo, texto;
};

// Answers every modal box as it opens: message boxes with the scripted button (the escape button when the
// script has run out), the file dialog with the scripted file (cancelled when there is none), and closes a
// print preview. Remembers what it saw.
class Operador : public QObject {
 public:
  std::deque<QString> botoes;
  QStringList arquivos;
  QList<Caixa> caixas;
  int dialogosArquivo = 0;
  QStringList filtros;  // of the last file dialog
  QStringList pastas;   // where each file dialog opened
  int previas = 0;

  Operador() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &Operador::Olha);
    timer_.start();
  }

  QStringList Textos() const {
    QStringList r;
    for (const Caixa& c : caixas) r << c.texto;
    return r;
  }

 private:
  void Olha() {
    QWidget* w = QApplication::activeModalWidget();
    if (auto* m = qobject_cast<QMessageBox*>(w)) {
      if (!m->isVisible()) return;
      caixas << Caixa{m->windowTitle(), m->text()};
      const QString botao = botoes.empty() ? QString() : botoes.front();
      if (!botoes.empty()) botoes.pop_front();
      for (QAbstractButton* b : m->buttons())
        if (b->text() == botao) {
          b->click();
          return;
        }
      if (m->escapeButton())
        m->escapeButton()->click();
      else
        m->buttons().constFirst()->click();
    } else if (auto* d = qobject_cast<QFileDialog*>(w)) {
      if (!d->isVisible()) return;
      ++dialogosArquivo;
      filtros = d->nameFilters();
      pastas << d->directory().absolutePath();
      if (arquivos.isEmpty()) {
        d->reject();
      } else {
        d->selectFile(arquivos.takeFirst());
        static_cast<QDialog*>(d)->accept();
      }
    } else if (auto* p = qobject_cast<QPrintPreviewDialog*>(w)) {
      if (!p->isVisible()) return;
      ++previas;
      p->reject();
    }
  }

  QTimer timer_;
};

QString Qt_(const std::string& cp) { return telvarim::ParaQt(cp); }

// "1.234,56" as a number, rounded to centavos so that totals compare exactly.
double Reais(QString t) {
  t.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.'));
  return std::round(t.toDouble() * 100) / 100;
}

}  // namespace

class TesteCadTelvarim : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> temp_;
  fs::path raiz_;
  std::unique_ptr<Operador> op_;
  std::unique_ptr<Tfcadtelvarim> janela_;
  QStringList status_;
  QStringList avisos_;  // notices across the status bar

  template <typename T>
  T* Filho(const char* nome) {
    T* w = janela_->findChild<T*>(QLatin1String(nome));
    if (!w) qFatal("no child %s", nome);
    return w;
  }
  QTableView* Grade() { return Filho<QTableView>("sgRecarga"); }
  QAbstractItemModel* Modelo() { return Grade()->model(); }
  QString Celula(int linha, int coluna) { return Modelo()->index(linha, coluna).data().toString(); }
  QString Texto(const char* rotulo) { return Filho<QLabel>(rotulo)->text(); }
  QWidget* Pagina() { return Filho<QStackedWidget>("PageControl1")->currentWidget(); }

  void Abre() {
    janela_ = std::make_unique<Tfcadtelvarim>();
    janela_->resize(1000, 700);
    janela_->show();
    janela_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(janela_.get()));
  }

  void Clica(const char* botao) { QTest::mouseClick(Filho<QAbstractButton>(botao), Qt::LeftButton); }

  void Processa() {
    Clica("btnprocessar");
    QCOMPARE(Pagina()->objectName(), QStringLiteral("tbDigitacao"));
    QVERIFY2(op_->caixas.isEmpty(), qPrintable(op_->Textos().join(QLatin1Char('|'))));
  }

  // Picks a cell with the mouse, as the operator does.
  void Seleciona(int linha, int coluna) {
    const QModelIndex i = Modelo()->index(linha, coluna);
    Grade()->scrollTo(i);
    QTest::mouseClick(Grade()->viewport(), Qt::LeftButton, {}, Grade()->visualRect(i).center());
    QCOMPARE(Grade()->currentIndex(), i);
  }

  // Types into the grid: the first key opens the value cell, the others go where the focus is.
  void Digita(const QString& texto) {
    for (const QChar c : texto) {
      QWidget* alvo = QApplication::focusWidget() ? QApplication::focusWidget() : Grade();
      QTest::keyClick(alvo, c.toLatin1());
    }
  }
  // Enter, and whatever the key queued (the item delegate commits late) has run.
  void Enter() {
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : Grade(), Qt::Key_Return);
    QTest::qWait(20);
  }

  // The engine's holder of grid row `linha` (model row) by its code.
  const telvarim::RegUsuario* Titular(int linha) {
    const auto& c = janela_->Cadastro();
    for (int i = 0; i < c.QtdUsuarios; ++i)
      if (QString::number(telvarim::TabelasProcesso().Usuarios[static_cast<std::size_t>(i)].CodUsuario) ==
          Celula(linha, 0))
        return &telvarim::TabelasProcesso().Usuarios[static_cast<std::size_t>(i)];
    return nullptr;
  }

  fs::path Pasta(const char* nome) const { return raiz_ / nome; }

  // --- the main window around the workspace ---
  QTreeWidget* Arvore() { return fprincipal->findChild<QTreeWidget*>(QStringLiteral("TVwGeral")); }
  QTreeWidgetItem* No(const QString& legenda) {
    return Arvore()->findItems(legenda, Qt::MatchExactly | Qt::MatchRecursive).value(0);
  }
  // A click on the tree as the operator makes it: on a node's caption or, with no caption, below the nodes.
  void ClicaArvore(const QString& legenda) {
    QPoint ponto(20, Arvore()->viewport()->height() - 4);
    if (!legenda.isEmpty()) {
      QTreeWidgetItem* no = No(legenda);
      QVERIFY(no);
      if (no->parent()) no->parent()->setExpanded(true);
      ponto = Arvore()->visualItemRect(no).center();
    }
    QTest::mouseClick(Arvore()->viewport(), Qt::LeftButton, {}, ponto);
  }
  // The main window, a workspace opened from its tree, the sample processed and 7 typed on the first row.
  QPointer<Tfcadtelvarim> CadastroComValorDigitado() {
    janela_.reset();
    telvarim::IniciaJanelas();
    ClicaArvore(QStringLiteral("Manutenção"));
    QPointer<Tfcadtelvarim> c = fcadtelvarim;
    if (!c) return c;
    QTest::mouseClick(c->findChild<QPushButton*>(QStringLiteral("btnprocessar")), Qt::LeftButton);
    auto* grade = c->findChild<QTableView*>(QStringLiteral("sgRecarga"));
    grade->setCurrentIndex(grade->model()->index(0, 5));
    grade->setFocus();
    QTest::keyClick(grade, Qt::Key_7);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    return c;
  }

  // Whether the operator can see the whole of `w` in the main window, and a click on its middle lands on it.
  static bool Visivel(QWidget* w) {
    QWidget* topo = w->window();
    const QRect r(w->mapTo(topo, QPoint(0, 0)), w->size());
    QRect visto = r & topo->rect();
    for (QWidget* p = w->parentWidget(); p && p != topo; p = p->parentWidget())
      visto &= QRect(p->mapTo(topo, QPoint(0, 0)), p->size());
    QWidget* alvo = topo->childAt(r.center());
    return w->isVisible() && visto == r && alvo && (alvo == w || w->isAncestorOf(alvo));
  }
  // Scrolls the page that holds `w` until `w` is in sight, as the operator would with the page's bars: a bar
  // that had to move is itself in sight.
  static bool Alcanca(QWidget* w) {
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
      auto* rolagem = qobject_cast<QScrollArea*>(p);
      if (!rolagem || !rolagem->widget() || !rolagem->widget()->isAncestorOf(w)) continue;
      QScrollBar* barras[] = {rolagem->horizontalScrollBar(), rolagem->verticalScrollBar()};
      const int antes[] = {barras[0]->value(), barras[1]->value()};
      rolagem->ensureWidgetVisible(w, 0, 0);
      QApplication::processEvents();
      for (int i = 0; i < 2; ++i)
        if (barras[i]->value() != antes[i] && !Visivel(barras[i])) return false;
      break;
    }
    QApplication::processEvents();
    return Visivel(w);
  }
  // A click through the main window's own surface: it reaches whatever the operator sees at that point.
  static void ClicaNaJanela(QWidget* w) {
    QWidget* topo = w->window();
    QTest::mouseClick(topo->windowHandle(), Qt::LeftButton, {}, w->mapTo(topo, w->rect().center()));
  }

  // The group 1 value of every holder in request `pedido` of Gerados, opened as the central system opens it
  // (money card types: the sample's first card type is one).
  std::map<int, double> ValoresDoPedido(const QString& pedido) {
    std::map<int, double> valores;
    const fs::path aberto = raiz_ / "aberto.lzw", texto = raiz_ / "texto.txt";
    if (telvarim::open_file(Pasta("Gerados") / pedido.toStdString(), aberto, *telvarim::ChavePrivadaCentral(),
                            telvarim::ChavePublicaSistema(), 0) != 0 ||
        telvarim::lzw_expand_file(aberto, texto) != telvarim::kLzwOk) {
      qWarning("the request does not open");
      return valores;
    }
    QFile f(QString::fromStdU16String(texto.u16string()));
    if (!f.open(QIODevice::ReadOnly)) return valores;
    int n = 0;
    for (const std::string& l : telvarim::SeparaLinhas(f.readAll().toStdString()))
      if (l.rfind("01", 0) == 0) {
        telvarim::RegUsuario u;
        if (telvarim::LeDetalhe(l, ++n, 0, u)) valores[u.CodUsuario] = u.Grupos[0].ValorRecarga;
      }
    return valores;
  }
  QStringList Arquivos(const char* pasta) const {
    return QDir(QString::fromStdU16String(Pasta(pasta).u16string())).entryList(QDir::Files, QDir::Name);
  }

 private slots:
  void initTestCase() { QApplication::setApplicationName(QStringLiteral("Telvarim")); }

  void init() {
    temp_ = std::make_unique<QTemporaryDir>();
    QVERIFY(temp_->isValid());
    raiz_ = fs::path(temp_->path().toStdU16String()) / "Telvarim";
    telvarim::Programa().Pastas = telvarim::PastasTrabalho(raiz_);
    fs::create_directories(raiz_ / "Recebidos");
    QVERIFY(telvarim::teste::GravaAmostraSelada(raiz_ / "Recebidos" / kRecebido.toStdString(), {}));
    status_.clear();
    telvarim::DefinePainelStatus([this](const QString& t) { status_ << t; });
    avisos_.clear();
    telvarim::DefineAvisoStatus([this](const QString& t) { avisos_ << t; });
    op_ = std::make_unique<Operador>();
    Abre();
  }

  void cleanup() {
    delete fprincipal;
    janela_.reset();
    op_.reset();
    temp_.reset();
  }

  void filePageListsTheSampleWaiting() {
    QCOMPARE(janela_->windowTitle(), QStringLiteral("Cadastro Telvarim"));
    QCOMPARE(Pagina()->objectName(), QStringLiteral("tbarquivos"));
    auto* recebidos = Filho<QListWidget>("FLBArquivosRecargaRecebidos");
    QCOMPARE(recebidos->count(), 1);
    QCOMPARE(recebidos->item(0)->text(), kRecebido);
    QCOMPARE(recebidos->currentRow(), 0);
    QCOMPARE(Texto("lblarqproc"), QStringLiteral("1"));
    QCOMPARE(Texto("lblarqjaproc"), QStringLiteral("0"));
    QCOMPARE(Texto("lblultimoarquivo"), QStringLiteral("Não Há Arquivos Processados"));
    QCOMPARE(Texto("lblarqgerado"), QStringLiteral("0"));
    QCOMPARE(Texto("lblultimogerado"), QStringLiteral("Não Há Arquivos Gerados"));
    QVERIFY(Filho<QLabel>("lbltipoultacc")->isHidden());
    QCOMPARE(Filho<QPushButton>("btnprocessar")->text(), QStringLiteral("&Processar Arquivo"));  // Alt+P
    for (const char* pasta : {"Recebidos", "Gerados", "Rascunho", "Processados"})
      QVERIFY(fs::is_directory(Pasta(pasta)));
    QVERIFY(op_->caixas.isEmpty());
  }

  void processingOpensTheTypingPageOnTheFirstCardTypeAndTariff() {
    auto* tester =
        new QAbstractItemModelTester(Modelo(), QAbstractItemModelTester::FailureReportingMode::QtTest, janela_.get());
    Q_UNUSED(tester);
    Processa();
    QCOMPARE(status_, (QStringList{"Carregando Arquivo ....", "Analisando Arquivo ....", "Preenchendo Grid. Aguarde...",
                                   "Grid Preenchido."}));
    auto* tipo = Filho<QComboBox>("cbtipocartao");
    auto* tarifa = Filho<QComboBox>("cbtarifa");
    QCOMPARE(tipo->currentIndex(), 0);
    QVERIFY(tipo->currentText().startsWith(QStringLiteral("001 - VALE-TRANSPORTE COMUM")));
    QCOMPARE(tarifa->currentIndex(), 0);
    QCOMPARE(tarifa->currentText(), QStringLiteral("01 - URBANA     - 4,70"));
    QCOMPARE(Texto("lbltipo"), tipo->currentText());
    QCOMPARE(Texto("lbltarifa"), tarifa->currentText());
    QVERIFY(Texto("lblempresa").contains(QStringLiteral(" - ")));
    QCOMPARE(Texto("lblcripta"), QStringLiteral("Sim"));
    QCOMPARE(Filho<QLineEdit>("edalteravlr")->text(), QStringLiteral("0,00"));
    QVERIFY(Filho<QRadioButton>("rbClassificacao0")->isChecked());
    QVERIFY(Filho<QWidget>("CGauge1")->isHidden());
    QVERIFY(Filho<QPlainTextEdit>("memolog")->toPlainText().contains(QStringLiteral("Eventos     ==> OK ")));

    // One row per holder shown, titles as the header, widths and alignment from the engine.
    const int linhas = Texto("lblqtdrec").toInt();
    QVERIFY(linhas > 0);
    QCOMPARE(Modelo()->rowCount(), linhas);
    QCOMPARE(Modelo()->columnCount(), 9);
    const QStringList titulos{"Usuário",
                              "Cartão",
                              "Matrícula",
                              "Nome",
                              "CMM",
                              "Valor",
                              "Vlr.Última Rec",
                              "Vlr.Penúltima Rec",
                              "Vlr.Antipenúltima Rec"};
    for (int c = 0; c < 9; ++c) {
      QCOMPARE(Modelo()->headerData(c, Qt::Horizontal).toString(), titulos[c]);
      QCOMPARE(Modelo()->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
               Qt::Alignment(Qt::AlignCenter));
      // The engine's widths, widened alike when the font's digits are wider than the classic font's.
      const int largura = telvarim::CadastroTelvarim::LarguraColuna(c);
      QVERIFY(Grade()->horizontalHeader()->sectionSize(c) >= largura);
      QVERIFY(qAbs(Grade()->horizontalHeader()->sectionSize(c) * 65 -
                   Grade()->horizontalHeader()->sectionSize(0) * largura) <= 65);
      const Qt::Alignment alinhamento = Modelo()->index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
      QCOMPARE(alinhamento & Qt::AlignHorizontal_Mask, c == 2 || c == 3 ? Qt::AlignLeft : Qt::AlignRight);
      QCOMPARE(bool(Modelo()->flags(Modelo()->index(0, c)) & Qt::ItemIsEditable), c == 5);
    }
    QVERIFY(QRegularExpression(QStringLiteral("^\\d+,\\d\\d$")).match(Celula(0, 5)).hasMatch());
    QCOMPARE(Grade()->currentIndex(), Modelo()->index(0, 5));
    QCOMPARE(QApplication::focusWidget(), Grade());

    // A credit card type widens the grid to 18 columns, and it stays so for a money type again.
    int credito = -1;
    for (int i = 0; i < tipo->count() && credito < 0; ++i)
      if (tipo->itemText(i).startsWith(QStringLiteral("002"))) credito = i;
    QVERIFY(credito > 0);
    tipo->setCurrentIndex(credito);
    QCOMPARE(Modelo()->columnCount(), 18);
    QCOMPARE(Modelo()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Créditos"));
    QCOMPARE(Modelo()->headerData(17, Qt::Horizontal).toString(), QStringLiteral("Vlr.Antipenúltima Rec Grupo4"));
    QCOMPARE(Filho<QLineEdit>("edalteravlr")->text(), QStringLiteral("0"));
    tipo->setCurrentIndex(0);
    QCOMPARE(Modelo()->columnCount(), 18);
    QCOMPARE(Modelo()->headerData(9, Qt::Horizontal).toString(), QString());
    QCOMPARE(Modelo()->rowCount(), linhas);
    QVERIFY(op_->caixas.isEmpty());
  }

  void typingThenEnterChecksTheValue_data() {
    QTest::addColumn<QString>("digitado");
    QTest::addColumn<QString>("celula");
    QTest::addColumn<QString>("titulo");
    QTest::addColumn<QString>("mensagem");
    QTest::addColumn<bool>("desce");
    QTest::newRow("point as decimal separator") << "12.5"
                                                << "12,50"
                                                << ""
                                                << "" << true;
    QTest::newRow("comma") << "7,25"
                           << "7,25"
                           << ""
                           << "" << true;
    QTest::newRow("the maximum itself") << "300"
                                        << "300,00"
                                        << ""
                                        << "" << true;
    // A refused value leaves the holder's value as it was ("" below: the cell reads as before).
    QTest::newRow("letters") << "abc"
                             << ""
                             << "Error"
                             << "Valor Inválido - Verifique!" << false;
    QTest::newRow("above the maximum") << "300,01"
                                       << ""
                                       << "Telvarim"
                                       << "Valor Maior que o Permitido(R$300,00) - Verifique!" << false;
    QTest::newRow("negative") << "-3"
                              << ""
                              << "Telvarim"
                              << " Não é possível gerar recarga com valor menor do que 0.00 " << false;
  }

  void typingThenEnterChecksTheValue() {
    QFETCH(QString, digitado);
    QFETCH(QString, celula);
    QFETCH(QString, titulo);
    QFETCH(QString, mensagem);
    QFETCH(bool, desce);
    Processa();
    const double total = Reais(Texto("lblvlrrecdig")), geral = Reais(Texto("lblgervlrdig")),
                 antes = Reais(Celula(1, 5));
    const QString celulaAntes = Celula(1, 5);
    // Any cell of the row: the keys go to its value, replacing what it held.
    Seleciona(1, 3);
    Digita(digitado);
    QVERIFY(Grade()->findChild<QLineEdit*>(QStringLiteral("edValor")));
    Enter();
    QCOMPARE(Celula(1, 5), celula.isEmpty() ? celulaAntes : celula);
    if (titulo.isEmpty()) {
      QVERIFY2(op_->caixas.isEmpty(), qPrintable(op_->Textos().join(QLatin1Char('|'))));
      QCOMPARE(Reais(Texto("lblvlrrecdig")), total - antes + Reais(celula));
      // The file's total follows each Enter too.
      QCOMPARE(Reais(Texto("lblgervlrdig")), std::round((geral - antes + Reais(celula)) * 100) / 100);
      QVERIFY(janela_->AlteracoesPendentes());
    } else {
      QCOMPARE(op_->caixas.size(), 1);
      QCOMPARE(op_->caixas[0].titulo, titulo);
      QCOMPARE(op_->caixas[0].texto, mensagem);
      QCOMPARE(Reais(Texto("lblvlrrecdig")), total);  // nothing was stored
      QCOMPARE(Reais(Texto("lblgervlrdig")), geral);
      // The box took the cell's editor with it: the keys still go to the grid.
      QCOMPARE(janela_->focusWidget(), static_cast<QWidget*>(Grade()));
    }
    QCOMPARE(Grade()->currentIndex(), Modelo()->index(desce ? 2 : 1, 5));

    // Enter, type, Enter: the next row without touching the mouse.
    op_->caixas.clear();
    Digita(QStringLiteral("1"));
    Enter();
    QCOMPARE(Celula(desce ? 2 : 1, 5), QStringLiteral("1,00"));
  }

  void upAndDownKeepTheValueColumnAndEnterOnTheLastRowStays() {
    Processa();
    Seleciona(2, 3);
    QTest::keyClick(Grade(), Qt::Key_Down);
    QCOMPARE(Grade()->currentIndex(), Modelo()->index(3, 5));
    Seleciona(3, 1);
    QTest::keyClick(Grade(), Qt::Key_Up);
    QCOMPARE(Grade()->currentIndex(), Modelo()->index(2, 5));
    const int ultima = Modelo()->rowCount() - 1;
    Seleciona(ultima, 0);
    Enter();
    QCOMPARE(Grade()->currentIndex(), Modelo()->index(ultima, 5));
  }

  void aClickWhileTypingKeepsTheValue_data() {
    QTest::addColumn<QString>("controle");
    QTest::addColumn<QStringList>("caixas");
    QTest::newRow("ordering item") << "rbClassificacao1" << QStringList{};
    QTest::newRow("Imprimir") << "btnimpressao" << QStringList{};
    QTest::newRow("Importar Arquivo, cancelled") << "btnimportararq" << QStringList{};
    QTest::newRow("Salvar Rascunho") << "btnsalvarrascunho" << QStringList{"Arquivo de Rascunho Gravado com Sucesso!!"};
    QTest::newRow("Gerar Arquivo") << "btngerararquivo" << QStringList{};
    QTest::newRow("card type box") << "cbtipocartao" << QStringList{};
  }

  void aClickWhileTypingKeepsTheValue() {
    QFETCH(QString, controle);
    QFETCH(QStringList, caixas);
    Processa();
    const telvarim::RegUsuario* u = Titular(2);
    QVERIFY(u);
    const QString codigo = Celula(2, 0);
    Seleciona(2, 3);
    Digita(QStringLiteral("42"));
    QTest::mouseClick(Filho<QWidget>(controle.toLatin1().constData()), Qt::LeftButton);
    if (auto* caixa = qobject_cast<QComboBox*>(Filho<QWidget>(controle.toLatin1().constData()))) {
      // Another card type, then the first again.
      caixa->hidePopup();
      caixa->setCurrentIndex(1);
      caixa->setCurrentIndex(0);
    }
    QCOMPARE(op_->Textos(), caixas);
    // The value typed but never confirmed went through the grid's exit into the table.
    QCOMPARE(u->Grupos[0].ValorRecarga, 42.0);
    if (Pagina() == Filho<QWidget>("tbDigitacao")) {
      int linha = -1;
      for (int r = 0; r < Modelo()->rowCount(); ++r)
        if (Celula(r, 0) == codigo) linha = r;
      QVERIFY(linha >= 0);
      QCOMPARE(Celula(linha, 5), QStringLiteral("42,00"));
    }
  }

  void aValueRefusedOnTheWayOutStopsTheButton() {
    Processa();
    Seleciona(0, 5);
    const QString antes = Celula(0, 5);
    Digita(QStringLiteral("xyz"));
    Clica("btngerararquivo");
    QCOMPARE(op_->Textos(), QStringList{QStringLiteral("Valor Inválido - Verifique!")});
    QCOMPARE(Celula(0, 5), antes);
    QCOMPARE(Pagina()->objectName(), QStringLiteral("tbDigitacao"));
    QVERIFY(Arquivos("Gerados").isEmpty());
    // The ordering item refused the same way stays where it was.
    Seleciona(0, 5);
    Digita(QStringLiteral("-"));
    QTest::mouseClick(Filho<QRadioButton>("rbClassificacao2"), Qt::LeftButton);
    QCOMPARE(op_->Textos().size(), 2);
    QVERIFY(Filho<QRadioButton>("rbClassificacao0")->isChecked());
  }

  void orderingByNameAsAPortugueseReaderDoes() {
    Processa();
    QTest::mouseClick(Filho<QRadioButton>("rbClassificacao1"), Qt::LeftButton);
    QCOMPARE(status_.constLast(), QStringLiteral("Grid Classificado"));
    QCOMPARE(Modelo()->rowCount(), Texto("lblqtdrec").toInt());
    // Case and accents do not move a name: Á sits with the As, before every B.
    int primeiroA = -1, primeiroB = -1;
    for (int r = 0; r < Modelo()->rowCount(); ++r) {
      const std::string nome = telvarim::DobraTexto(telvarim::ParaCp1252(Celula(r, 3)));
      if (r > 0) {
        const std::string anterior = telvarim::DobraTexto(telvarim::ParaCp1252(Celula(r - 1, 3)));
        QVERIFY2(telvarim::ComparaBytes(anterior, nome) <= 0,
                 qPrintable(Celula(r - 1, 3) + QStringLiteral(" > ") + Celula(r, 3)));
      }
      if (primeiroA < 0 && Celula(r, 3).startsWith(QChar(0xC1))) primeiroA = r;
      if (primeiroB < 0 && nome.front() == 'B') primeiroB = r;
    }
    QVERIFY2(primeiroA >= 0, "the sample has a name that starts with Á");
    QVERIFY(primeiroB < 0 || primeiroA < primeiroB);
    QVERIFY(op_->caixas.isEmpty());
  }

  void defaultValueFillsEveryRowButNeverAboveTheMaximum() {
    Processa();
    auto* edit = Filho<QLineEdit>("edalteravlr");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("15.5"));
    QCOMPARE(edit->text(), QStringLiteral("15,5"));
    Clica("btnalteravlr");
    QVERIFY2(op_->caixas.isEmpty(), qPrintable(op_->Textos().join(QLatin1Char('|'))));
    // Every row takes it, but for rows whose group the request cannot carry it in: they are zeroed and
    // counted on the log page.
    const QString log = Filho<QPlainTextEdit>("memolog")->toPlainText();
    QVERIFY(log.contains(QStringLiteral("Inserido Valor Padrão - Tipo : 1 - Tarifa : 1 - Valor : 15,50")));
    QStringList valores;
    for (int r = 0; r < Modelo()->rowCount(); ++r) valores << Celula(r, 5);
    const auto zerados = valores.count(QStringLiteral("0,00"));
    QCOMPARE(valores.count(QStringLiteral("15,50")) + zerados, Modelo()->rowCount());
    QCOMPARE(log.contains(QStringLiteral("Valor zerado em %1 linha(s)").arg(zerados)), zerados > 0);
    QVERIFY(zerados < Modelo()->rowCount() / 2);
    QVERIFY(janela_->AlteracoesPendentes());

    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("301"));
    Clica("btnalteravlr");
    QCOMPARE(op_->caixas.size(), 1);
    QCOMPARE(op_->caixas[0].titulo, QStringLiteral("Telvarim"));
    QCOMPARE(op_->caixas[0].texto, QStringLiteral("Valor Maior para o Tipo de Cartão (300,00) - Verifique!"));
    for (int r = 0; r < Modelo()->rowCount(); ++r) QCOMPARE(Celula(r, 5), valores[r]);
    QTRY_COMPARE(janela_->focusWidget(), static_cast<QWidget*>(edit));
  }

  void lastRechargeCopiesColumnSix() {
    Processa();
    Clica("BitBtn1");
    QVERIFY(op_->caixas.isEmpty());
    for (int r = 0; r < Modelo()->rowCount(); ++r) QCOMPARE(Celula(r, 5), Celula(r, 6));
    QVERIFY(janela_->AlteracoesPendentes());
  }

  void draftSavedThenResumedByANewWindow() {
    Processa();
    Seleciona(0, 5);
    Digita(QStringLiteral("9,9"));
    Enter();
    Clica("btnsalvarrascunho");
    QCOMPARE(op_->Textos(), QStringList{QStringLiteral("Arquivo de Rascunho Gravado com Sucesso!!")});
    QVERIFY(!janela_->AlteracoesPendentes());
    QCOMPARE(Arquivos("Rascunho").filter(QStringLiteral("_2.REC")).size(), 1);
    QCOMPARE(Arquivos("Processados"), QStringList{kRecebido});
    const QString codigo = Celula(0, 0);

    janela_.reset();
    op_->caixas.clear();
    op_->botoes = {QStringLiteral("&Yes")};
    Abre();
    QCOMPARE(op_->caixas.size(), 1);
    QCOMPARE(op_->caixas[0].titulo, QStringLiteral("Confirm"));
    QCOMPARE(op_->caixas[0].texto, QStringLiteral("Existe arquivo de Recarga em Alteração.Continua Alteração?"));
    QCOMPARE(Pagina()->objectName(), QStringLiteral("tbDigitacao"));
    QCOMPARE(Celula(0, 0), codigo);
    QCOMPARE(Celula(0, 5), QStringLiteral("9,90"));
    QVERIFY(!janela_->AlteracoesPendentes());
  }

  void generationWritesARequestTheCentralSystemOpens() {
    Processa();
    const telvarim::RegUsuario* a = Titular(0);
    const telvarim::RegUsuario* b = Titular(3);
    QVERIFY(a && b);
    Seleciona(0, 5);
    Digita(QStringLiteral("12.5"));
    Enter();
    Seleciona(3, 2);
    Digita(QStringLiteral("33"));
    Clica("btngerararquivo");
    QVERIFY2(op_->caixas.isEmpty(), qPrintable(op_->Textos().join(QLatin1Char('|'))));
    QCOMPARE(Pagina()->objectName(), QStringLiteral("tblog"));
    QVERIFY(!janela_->AlteracoesPendentes());
    const QString log = Filho<QPlainTextEdit>("memolog")->toPlainText();
    QVERIFY(log.contains(QStringLiteral("Geração de Arquivo Definitivo ")));
    QVERIFY(log.contains(QStringLiteral("Arquivo Criptografado com Sucesso")));
    const QString pedido = Qt_(janela_->Cadastro().ArquivoGerado);
    QVERIFY(Arquivos("Gerados").contains(pedido));
    QCOMPARE(Arquivos("Gerados").filter(QStringLiteral(".LOG")).size(), 1);
    QCOMPARE(Arquivos("Processados"), QStringList{kRecebido});

    Clica("btnFechar");
    QCOMPARE(Pagina()->objectName(), QStringLiteral("tbarquivos"));
    QCOMPARE(Filho<QListWidget>("FLBArquivosRecargaRecebidos")->count(), 0);
    QCOMPARE(Texto("lblarqjaproc"), QStringLiteral("1"));
    QCOMPARE(Texto("lblultimoarquivo"), kRecebido);
    QCOMPARE(Texto("lblultimogerado"), pedido);
    QVERIFY(!Filho<QLabel>("lbltipoultacc")->isHidden());
    QCOMPARE(Texto("lblultacesso"), kRecebido);

    // The central system's side: its key opens the request, the system's signature checks, the typed
    // values are in the holders' details.
    const std::map<int, double> valores = ValoresDoPedido(pedido);
    QCOMPARE(static_cast<int>(valores.size()), janela_->Cadastro().QtdUsuarios);
    QCOMPARE(valores.at(a->CodUsuario), 12.5);
    QCOMPARE(valores.at(b->CodUsuario), 33.0);
  }

  void aNegativeValueIsRefusedAtOnceAndNeverReachesTheRequest() {
    Processa();
    const telvarim::RegUsuario* u = Titular(1);
    QVERIFY(u);
    const double antes = u->Grupos[0].ValorRecarga;
    const QString celula = Celula(1, 5);
    // Typed and left for "Gerar Arquivo": refused, nothing stored, the click does nothing more.
    Seleciona(1, 5);
    Digita(QStringLiteral("-700"));
    Clica("btngerararquivo");
    QCOMPARE(op_->Textos(), QStringList{QStringLiteral(" Não é possível gerar recarga com valor menor do que 0.00 ")});
    QCOMPARE(Celula(1, 5), celula);
    QCOMPARE(u->Grupos[0].ValorRecarga, antes);
    QVERIFY(Arquivos("Gerados").isEmpty());
    // The second click finds nothing to refuse: the request carries the holder's value as it was.
    op_->caixas.clear();
    QTest::qWait(20);  // the operator's second click comes later
    Clica("btngerararquivo");
    QVERIFY2(op_->caixas.isEmpty(), qPrintable(op_->Textos().join(QLatin1Char('|'))));
    QCOMPARE(Pagina()->objectName(), QStringLiteral("tblog"));
    QCOMPARE(ValoresDoPedido(Qt_(janela_->Cadastro().ArquivoGerado)).at(u->CodUsuario), antes);
  }

  void importingAValueFileThroughTheDialog() {
    Processa();
    const telvarim::RegUsuario* u = Titular(1);
    QVERIFY(u);
    // One record for the holder on row 1 (card type 0: the one on display), value 10,00.
    const QString arquivo = temp_->filePath(QStringLiteral("RECARGA_000123_0001_01.rrm"));
    {
      QFile f(arquivo);
      QVERIFY(f.open(QIODevice::WriteOnly));
      const QString linha = QStringLiteral("%1%2%3%4%5%6%7")
                                .arg(1, 7, 10, QLatin1Char('0'))
                                .arg(Qt_(u->Matricula), -21)
                                .arg(QStringLiteral("0000000000000010,00"))
                                .arg(123, 10, 10, QLatin1Char('0'))
                                .arg(QStringLiteral("  "))
                                .arg(1, 10, 10, QLatin1Char('0'))
                                .arg(QStringLiteral("00"));
      f.write(linha.toLatin1() + "\r\n");
    }
    op_->arquivos << arquivo;
    Clica("btnimportararq");
    if (op_->dialogosArquivo == 0)
      QSKIP("the import handler (CadastroTelvarim::btnimportararqClick) is still a stub: it opens no file dialog");
    QVERIFY(op_->arquivos.isEmpty());
    const QStringList textos = op_->Textos();
    QVERIFY2(textos.contains(QStringLiteral("Operação Concluída com Sucesso")), qPrintable(textos.join('|')));
    QVERIFY(textos.constLast().startsWith(QStringLiteral("As Alterações feitas pela importação não estão salvas.")));
    QCOMPARE(Celula(1, 5), QStringLiteral("10,00"));
    QVERIFY(janela_->AlteracoesPendentes());
    QVERIFY(Filho<QPushButton>("btnimportararq")->isEnabled());
    QVERIFY(Filho<QWidget>("CGauge1")->isHidden());
  }

  void printingOpensThePreview() {
    Processa();
    Clica("btnimpressao");
    if (op_->previas == 0)
      QSKIP("the listing handler (CadastroTelvarim::btnimpressaoClick) is still a stub: it shows no preview");
    QCOMPARE(op_->previas, 1);
    QVERIFY(op_->caixas.isEmpty());
  }

  void closingTheProgramOffersToSaveTheDraft_data() {
    QTest::addColumn<QString>("resposta");
    QTest::addColumn<bool>("fecha");
    QTest::addColumn<bool>("rascunho");
    QTest::addColumn<bool>("pelaArvore");
    QTest::newRow("yes saves") << "&Yes" << true << true << false;
    QTest::newRow("no closes") << "&No" << true << false << false;
    QTest::newRow("cancel stays") << "Cancel" << false << false << false;
    QTest::newRow("Sair, cancel stays") << "Cancel" << false << false << true;
    QTest::newRow("Sair, yes saves") << "&Yes" << true << true << true;
  }

  void closingTheProgramOffersToSaveTheDraft() {
    QFETCH(QString, resposta);
    QFETCH(bool, fecha);
    QFETCH(bool, rascunho);
    QFETCH(bool, pelaArvore);
    janela_.reset();
    telvarim::IniciaJanelas();
    auto* arvore = fprincipal->findChild<QTreeWidget*>(QStringLiteral("TVwGeral"));
    arvore->topLevelItem(0)->setExpanded(true);
    arvore->setCurrentItem(arvore->topLevelItem(0)->child(0));
    fprincipal->TVwGeralClick();
    QPointer<Tfcadtelvarim> cadastro = fcadtelvarim;
    QVERIFY(cadastro);

    // Nothing typed yet: no question.
    QVERIFY(cadastro->ConfirmaFechamento());
    QVERIFY(op_->caixas.isEmpty());

    QTest::mouseClick(cadastro->findChild<QPushButton*>(QStringLiteral("btnprocessar")), Qt::LeftButton);
    // The status bar's panel 1 carries the workspace's progress texts.
    QCOMPARE(fprincipal->TextoPainel(1), QStringLiteral("Grid Preenchido."));
    auto* grade = cadastro->findChild<QTableView*>(QStringLiteral("sgRecarga"));
    grade->setCurrentIndex(grade->model()->index(0, 5));
    grade->setFocus();
    QTest::keyClick(grade, Qt::Key_5);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(cadastro->AlteracoesPendentes());
    QVERIFY(op_->caixas.isEmpty());

    op_->botoes = {resposta};
    if (pelaArvore) {
      arvore->setCurrentItem(arvore->topLevelItem(1));
      fprincipal->TVwGeralClick();
    } else {
      fprincipal->close();
    }
    QVERIFY(!op_->caixas.isEmpty());
    QCOMPARE(op_->caixas[0].titulo, QStringLiteral("Confirm"));
    QVERIFY(op_->caixas[0].texto.contains(QStringLiteral("Salvar Rascunho")));
    QCOMPARE(fprincipal->isVisible(), !fecha);
    QCOMPARE(!cadastro.isNull(), !fecha || !pelaArvore);
    QCOMPARE(Arquivos("Rascunho").filter(QStringLiteral("_2.REC")).size(), rascunho ? 1 : 0);
    if (rascunho) QCOMPARE(op_->caixas.constLast().texto, QStringLiteral("Arquivo de Rascunho Gravado com Sucesso!!"));
    delete fprincipal;
  }

  // Every way the workspace can go asks the closing question when values were typed and not saved.
  void everyWayTheWorkspaceGoesAsksFirst_data() {
    QTest::addColumn<QString>("como");  // a tree caption, "" for below the nodes, "fechar" for the window's own close
    QTest::addColumn<QStringList>("respostas");
    QTest::addColumn<QString>("depois");  // "fica", "sai", "rascunho"
    QTest::newRow("Principal, cancel") << "Principal" << QStringList{"Cancel"} << "fica";
    QTest::newRow("below the nodes, cancel") << "" << QStringList{"Cancel"} << "fica";
    QTest::newRow("Manutenção again, cancel") << "Manutenção" << QStringList{"Cancel"} << "fica";
    QTest::newRow("Carga Arquivos, cancel") << "Carga Arquivos" << QStringList{"Cancel"} << "fica";
    QTest::newRow("the window's close, cancel") << "fechar" << QStringList{"Cancel"} << "fica";
    QTest::newRow("Principal, no") << "Principal" << QStringList{"&No"} << "sai";
    QTest::newRow("below the nodes, no") << "" << QStringList{"&No"} << "sai";
    QTest::newRow("Carga Arquivos, yes") << "Carga Arquivos" << QStringList{"&Yes", "OK"} << "rascunho";
    // The fresh workspace offers the draft just saved, and the operator takes it up.
    QTest::newRow("Manutenção again, yes") << "Manutenção" << QStringList{"&Yes", "OK", "&Yes"} << "rascunho";
    QTest::newRow("the window's close, yes") << "fechar" << QStringList{"&Yes", "OK"} << "rascunho";
  }

  void everyWayTheWorkspaceGoesAsksFirst() {
    QFETCH(QString, como);
    QFETCH(QStringList, respostas);
    QFETCH(QString, depois);
    const QPointer<Tfcadtelvarim> cadastro = CadastroComValorDigitado();
    QVERIFY(cadastro && cadastro->AlteracoesPendentes());
    auto* grade = cadastro->findChild<QTableView*>(QStringLiteral("sgRecarga"));
    QCOMPARE(grade->model()->index(0, 5).data().toString(), QStringLiteral("7,00"));
    QVERIFY(op_->caixas.isEmpty());

    op_->botoes.assign(respostas.begin(), respostas.end());
    if (como == QLatin1String("fechar"))
      qobject_cast<QMdiSubWindow*>(cadastro->parentWidget())->close();
    else
      ClicaArvore(como);
    QTRY_VERIFY(op_->botoes.empty());
    QVERIFY(!op_->caixas.isEmpty());
    QCOMPARE(op_->caixas[0].titulo, QStringLiteral("Confirm"));
    QCOMPARE(op_->caixas[0].texto, QStringLiteral("Há valores digitados que não foram salvos em rascunho nem gerados.\n"
                                                  "Salvar Rascunho antes de sair?"));
    const QStringList rascunhos = Arquivos("Rascunho").filter(QStringLiteral("_2.REC"));
    if (depois == QLatin1String("fica")) {
      // Cancel: the click did nothing, the values and the tree's node are as they were.
      QCOMPARE(op_->caixas.size(), 1);
      QVERIFY(cadastro);
      QVERIFY(cadastro->AlteracoesPendentes());
      QCOMPARE(grade->model()->index(0, 5).data().toString(), QStringLiteral("7,00"));
      QCOMPARE(fprincipal->AreaCliente()->currentSubWindow()->widget(), static_cast<QWidget*>(cadastro.data()));
      QVERIFY(Arvore()->currentItem() && Arvore()->currentItem()->text(0) == QStringLiteral("Manutenção"));
      QVERIFY(rascunhos.isEmpty());
      QVERIFY(fcargaarquivos.isNull() || como != QLatin1String("Carga Arquivos"));
    } else {
      QTRY_VERIFY(cadastro.isNull());  // a window closed by its own button goes once the event loop runs
      QCOMPARE(rascunhos.size(), depois == QLatin1String("rascunho") ? 1 : 0);
      if (como == QLatin1String("Carga Arquivos")) QVERIFY(fcargaarquivos);
    }
    if (como == QLatin1String("Manutenção") && depois == QLatin1String("rascunho")) {
      // The new window resumed the draft: the value typed in the old one is there.
      QVERIFY(fcadtelvarim);
      QCOMPARE(op_->caixas.constLast().texto,
               QStringLiteral("Existe arquivo de Recarga em Alteração.Continua Alteração?"));
      QCOMPARE(
          fcadtelvarim->findChild<QTableView*>(QStringLiteral("sgRecarga"))->model()->index(0, 5).data().toString(),
          QStringLiteral("7,00"));
    }
  }

  void decliningTheDraftSendsItsReceivedFileBack() {
    Processa();
    Seleciona(0, 5);
    Digita(QStringLiteral("9,9"));
    Enter();
    Clica("btnsalvarrascunho");
    QCOMPARE(Arquivos("Processados"), QStringList{kRecebido});
    QVERIFY(Arquivos("Recebidos").isEmpty());

    janela_.reset();
    op_->caixas.clear();
    op_->botoes = {QStringLiteral("&No")};
    Abre();
    QCOMPARE(op_->caixas.size(), 2);
    QCOMPARE(op_->caixas[0].texto, QStringLiteral("Existe arquivo de Recarga em Alteração.Continua Alteração?"));
    // Told what will be done before it is done.
    QCOMPARE(op_->caixas[1].titulo, QStringLiteral("Information"));
    const QString recebidos = Qt_(telvarim::TextoCaminho(Pasta("Recebidos")));
    QVERIFY2(op_->caixas[1].texto.endsWith(QStringLiteral(" será apagado e o arquivo ") + kRecebido +
                                           QStringLiteral(" voltará para ") + recebidos +
                                           QStringLiteral(", para ser processado novamente.")),
             qPrintable(op_->caixas[1].texto));
    // The log page says what was done.
    QCOMPARE(Pagina()->objectName(), QStringLiteral("tblog"));
    const QString log = Filho<QPlainTextEdit>("memolog")->toPlainText();
    QVERIFY2(log.contains(QStringLiteral("Arquivo ") + kRecebido + QStringLiteral(" Movido para ") + recebidos),
             qPrintable(log));
    QVERIFY(log.contains(QStringLiteral("Arquivo Apagado ==> ")));
    QVERIFY(Arquivos("Rascunho").isEmpty());
    QVERIFY(Arquivos("Processados").isEmpty());

    // Back on the file page the file waits, and processes afresh.
    Clica("btnFechar");
    QCOMPARE(Pagina()->objectName(), QStringLiteral("tbarquivos"));
    QCOMPARE(Filho<QListWidget>("FLBArquivosRecargaRecebidos")->item(0)->text(), kRecebido);
    op_->caixas.clear();
    Processa();
  }

  void aRowThatTakesNoValueSaysWhy() {
    Processa();
    auto* tipo = Filho<QComboBox>("cbtipocartao");
    auto* tarifa = Filho<QComboBox>("cbtarifa");
    int semValor = -1, comValor = -1;
    for (int t = 0; t < tipo->count() && semValor < 0; ++t) {
      tipo->setCurrentIndex(t);
      for (int f = 0; f < tarifa->count() && semValor < 0; ++f) {
        tarifa->setCurrentIndex(f);
        semValor = comValor = -1;
        for (int r = 0; r < Modelo()->rowCount(); ++r)
          (Modelo()->flags(Modelo()->index(r, 5)) & Qt::ItemIsEditable ? comValor : semValor) = r;
        if (comValor < 0) semValor = -1;
      }
    }
    QVERIFY2(semValor >= 0, "the sample has a money holder shown through groups 2-4 beside others");
    const QString motivo = Qt_(janela_->Cadastro().MotivoSemRecarga(semValor));
    QVERIFY(motivo.startsWith(QStringLiteral("Recarga não permitida nesta tarifa: o usuário está nela pelo Grupo ")));

    // Greyed, with the reason wherever the pointer rests on the row.
    const QModelIndex valor = Modelo()->index(semValor, 5);
    QVERIFY(valor.data(Qt::BackgroundRole).isValid());
    QVERIFY(!Modelo()->index(comValor, 5).data(Qt::BackgroundRole).isValid());
    for (int c = 0; c < Modelo()->columnCount(); ++c)
      QCOMPARE(Modelo()->index(semValor, c).data(Qt::ToolTipRole).toString(), motivo);
    QVERIFY(Modelo()->index(comValor, 3).data(Qt::ToolTipRole).isNull());

    // The status bar says it while the row is the current one, and no more on the next row.
    Seleciona(semValor, 3);
    QCOMPARE(avisos_.constLast(), motivo);
    const QString antes = valor.data().toString();
    QTest::keyClick(Grade(), Qt::Key_5);
    QCOMPARE(op_->caixas.size(), 1);
    QCOMPARE(op_->caixas[0].titulo, QStringLiteral("Telvarim"));
    QCOMPARE(op_->caixas[0].texto, motivo);
    QVERIFY(!Grade()->findChild<QLineEdit*>(QStringLiteral("edValor")));
    QCOMPARE(valor.data().toString(), antes);
    QTest::mouseDClick(Grade()->viewport(), Qt::LeftButton, {}, Grade()->visualRect(valor).center());
    QVERIFY(!Grade()->findChild<QLineEdit*>(QStringLiteral("edValor")));
    Seleciona(comValor, 3);
    QCOMPARE(avisos_.constLast(), QString());
    QVERIFY(!janela_->AlteracoesPendentes());
  }

  void enterInTheDefaultValueAppliesIt_data() {
    QTest::addColumn<QString>("digitado");
    QTest::addColumn<QString>("celula");  // every row that takes a value; "" leaves them as they were
    QTest::addColumn<QString>("mensagem");
    QTest::newRow("applied") << "15.5"
                             << "15,50"
                             << "";
    QTest::newRow("above the maximum") << "301"
                                       << ""
                                       << "Valor Maior para o Tipo de Cartão (300,00) - Verifique!";
    QTest::newRow("negative, at the first Enter") << "-5"
                                                  << ""
                                                  << " Não é possível gerar recarga com valor menor do que 0.00 ";
  }

  void enterInTheDefaultValueAppliesIt() {
    QFETCH(QString, digitado);
    QFETCH(QString, celula);
    QFETCH(QString, mensagem);
    Processa();
    QStringList antes;
    for (int r = 0; r < Modelo()->rowCount(); ++r) antes << Celula(r, 5);
    auto* edit = Filho<QLineEdit>("edalteravlr");
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, digitado);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(op_->Textos(), mensagem.isEmpty() ? QStringList{} : QStringList{mensagem});
    for (int r = 0; r < Modelo()->rowCount(); ++r) {
      const bool aceita = Modelo()->flags(Modelo()->index(r, 5)) & Qt::ItemIsEditable;
      QCOMPARE(Celula(r, 5), celula.isEmpty() ? antes[r] : aceita ? celula : QStringLiteral("0,00"));
    }
    QCOMPARE(janela_->AlteracoesPendentes(), !celula.isEmpty());
    // A refused value leaves the operator in the box to correct it.
    if (!mensagem.isEmpty()) QTRY_COMPARE(janela_->focusWidget(), static_cast<QWidget*>(edit));
  }

  void aNegativeValueFromTheKeypadIsRefusedAtTheFirstEnter() {
    Processa();
    const QString antes = Celula(2, 5);
    Seleciona(2, 3);
    QTest::keyClick(Grade(), Qt::Key_Minus, Qt::KeypadModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_4, Qt::KeypadModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QTest::qWait(20);
    QCOMPARE(op_->Textos(), QStringList{QStringLiteral(" Não é possível gerar recarga com valor menor do que 0.00 ")});
    QCOMPARE(Celula(2, 5), antes);
    QCOMPARE(Grade()->currentIndex(), Modelo()->index(2, 5));
  }

  void tabFollowsEachPageTopToBottom() {
    auto Caminho = [](QWidget* primeiro, int passos) {
      primeiro->setFocus(Qt::TabFocusReason);
      QStringList nomes{QApplication::focusWidget()->objectName()};
      for (int i = 0; i < passos; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        nomes << QApplication::focusWidget()->objectName();
      }
      return nomes;
    };
    QCOMPARE(Caminho(Filho<QWidget>("FLBArquivosRecargaRecebidos"), 3),
             (QStringList{"FLBArquivosRecargaRecebidos", "btnprocessar", "FLBArquivosRecargaProcessados",
                          "FLBArquivosRecargaGerados"}));
    Processa();
    const QStringList digitacao{"rbClassificacao0", "edalteravlr",       "btnalteravlr",   "cbtipocartao",
                                "cbtarifa",         "sgRecarga",         "BitBtn1",        "btnimportararq",
                                "btnimpressao",     "btnsalvarrascunho", "btngerararquivo"};
    QCOMPARE(Caminho(Filho<QWidget>("rbClassificacao0"), digitacao.size() - 1), digitacao);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("btnsalvarrascunho"));
    // The find box, once open, comes between the choices and the grid.
    QTest::keyClick(Grade(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("sgRecarga"));
    QVERIFY(op_->caixas.isEmpty());
  }

  void mnemonicsReachTheButtonsWithoutCollisions() {
    QMap<QChar, QString> letras;
    const QRegularExpression mnemonico(QStringLiteral("&([^&])"));
    auto Confere = [&](const QString& dono, const QString& texto) {
      const auto m = mnemonico.match(texto);
      if (!m.hasMatch()) return;
      const QChar letra = m.captured(1).at(0).toLower();
      QVERIFY2(!letras.contains(letra),
               qPrintable(QStringLiteral("%1 and %2: Alt+%3").arg(letras[letra], dono, letra)));
      letras[letra] = dono;
    };
    for (QAbstractButton* b : janela_->findChildren<QAbstractButton*>()) Confere(b->objectName(), b->text());
    for (QLabel* l : janela_->findChildren<QLabel*>()) Confere(l->objectName(), l->text());
    for (QGroupBox* g : janela_->findChildren<QGroupBox*>()) Confere(g->objectName(), g->title());
    for (const char* b :
         {"btnprocessar", "btnFechar", "BitBtn1", "btnimportararq", "btnimpressao", "btnsalvarrascunho",
          "btngerararquivo", "btnalteravlr", "rbClassificacao0", "rbClassificacao1", "rbClassificacao2"})
      QVERIFY2(letras.values().contains(QLatin1String(b)), b);

    // Alt and the letter, from wherever the focus is; a button pressed so clicks itself a moment later.
    auto Alt = [this](Qt::Key tecla) {
      // Offscreen, no window manager gives the window back its focus after a dialog: the test does.
      if (QApplication::activeWindow() != janela_.get()) {
        janela_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(janela_.get()));
      }
      QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : janela_.get(), tecla,
                      Qt::AltModifier);
    };
    Filho<QWidget>("FLBArquivosRecargaRecebidos")->setFocus();
    Alt(Qt::Key_P);
    QTRY_COMPARE(Pagina()->objectName(), QStringLiteral("tbDigitacao"));
    Alt(Qt::Key_L);
    QTRY_VERIFY(Filho<QRadioButton>("rbClassificacao1")->isChecked());
    Alt(Qt::Key_C);
    QTRY_VERIFY(Filho<QRadioButton>("rbClassificacao0")->isChecked());
    Alt(Qt::Key_A);
    QTRY_VERIFY(janela_->AlteracoesPendentes());
    for (int r = 0; r < Modelo()->rowCount(); ++r)
      if (Modelo()->flags(Modelo()->index(r, 5)) & Qt::ItemIsEditable) QCOMPARE(Celula(r, 5), Celula(r, 6));
    Alt(Qt::Key_D);
    QCOMPARE(QApplication::focusWidget(), Filho<QWidget>("edalteravlr"));
    Alt(Qt::Key_T);
    QCOMPARE(QApplication::focusWidget(), Filho<QWidget>("cbtipocartao"));
    Alt(Qt::Key_R);
    QCOMPARE(QApplication::focusWidget(), Filho<QWidget>("cbtarifa"));
    Alt(Qt::Key_V);
    QTRY_VERIFY(Filho<QPlainTextEdit>("memolog")->toPlainText().contains(QStringLiteral("Inserido Valor Padrão")));
    Alt(Qt::Key_I);
    QTRY_COMPARE(op_->previas, 1);
    Alt(Qt::Key_O);
    QTRY_COMPARE(op_->dialogosArquivo, 1);
    Alt(Qt::Key_S);
    QTRY_COMPARE(op_->Textos(), QStringList{QStringLiteral("Arquivo de Rascunho Gravado com Sucesso!!")});
    Alt(Qt::Key_G);
    QTRY_COMPARE(Pagina()->objectName(), QStringLiteral("tblog"));
    Alt(Qt::Key_F);
    QTRY_COMPARE(Pagina()->objectName(), QStringLiteral("tbarquivos"));
  }

  void ctrlFFindsEveryHolderOfTheFile() {
    Processa();
    janela_->resize(560, 600);  // narrower than the grid's columns: the code column has to be kept in sight
    const telvarim::CadastroTelvarim& c = janela_->Cadastro();
    const auto& usuarios = telvarim::TabelasProcesso().Usuarios;
    auto Simples = [](const QString& t) {
      return t.normalized(QString::NormalizationForm_D).remove(QRegularExpression(QStringLiteral("\\p{Mn}"))).toLower();
    };
    // An accented word of a name, looked for in lower case and without its accents, and every holder of the
    // file whose name holds it: one such word that holders of more than one card type have.
    QString procura;
    QSet<int> esperados;
    for (int i = 0; i < c.QtdUsuarios && procura.isEmpty(); ++i)
      for (const QString& palavra :
           Qt_(usuarios[static_cast<std::size_t>(i)].Nome).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (Simples(palavra) == palavra.toLower()) continue;
        QSet<int> com;
        QSet<std::int32_t> tipos;
        for (int k = 0; k < c.QtdUsuarios; ++k)
          if (Simples(Qt_(usuarios[static_cast<std::size_t>(k)].Nome)).contains(Simples(palavra))) {
            com << usuarios[static_cast<std::size_t>(k)].CodUsuario;
            tipos << usuarios[static_cast<std::size_t>(k)].TipoCartao;
          }
        if (tipos.size() > 1) {
          procura = Simples(palavra);
          esperados = com;
          break;
        }
      }
    QVERIFY2(!procura.isEmpty(), "the sample has an accented name in more than one card type");

    Seleciona(0, 5);
    QTest::keyClick(Grade(), Qt::Key_F, Qt::ControlModifier);
    auto* caixa = Filho<QLineEdit>("edLocalizar");
    QVERIFY(caixa->isVisible());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(caixa));
    QTest::keyClicks(caixa, procura);
    // Enter after Enter visits every holder that holds the name once, then starts again.
    auto Achado = [&] {
      const QModelIndex atual = Grade()->currentIndex();
      const telvarim::RegUsuario& u = c.UsuarioDaLinha(atual.row());
      [&] {
        QCOMPARE(atual.column(), 5);  // the keys go to the value
        QCOMPARE(Filho<QComboBox>("cbtipocartao")->currentData().toInt(), u.TipoCartao);
        QVERIFY(Simples(Qt_(u.Nome)).contains(procura));
        const QRect codigo = Grade()->visualRect(Modelo()->index(atual.row(), 0));
        QVERIFY2(Grade()->viewport()->rect().contains(codigo), "the code column is in sight");
      }();
      return u.CodUsuario;
    };
    QList<int> achados;
    for (int k = 0; k < esperados.size(); ++k) {
      QTest::keyClick(caixa, Qt::Key_Return);
      achados << Achado();
    }
    QCOMPARE(QSet<int>(achados.begin(), achados.end()), esperados);
    QTest::keyClick(caixa, Qt::Key_Return);
    QCOMPARE(Achado(), achados.front());

    // By card number and by matrícula, in another card type than the one shown.
    const std::int32_t mostrado = Filho<QComboBox>("cbtipocartao")->currentData().toInt();
    const telvarim::RegUsuario* outro = nullptr;
    for (int i = 0; i < c.QtdUsuarios && !outro; ++i)
      if (usuarios[static_cast<std::size_t>(i)].TipoCartao != mostrado) outro = &usuarios[static_cast<std::size_t>(i)];
    QVERIFY(outro);
    for (const QString& chave : {QString::number(outro->NumCartao), Qt_(outro->Matricula)}) {
      caixa->clear();
      QTest::keyClicks(caixa, chave.toLower());
      QTest::keyClick(caixa, Qt::Key_Return);
      QCOMPARE(Achado(), outro->CodUsuario);
    }

    caixa->clear();
    QTest::keyClicks(caixa, QStringLiteral("zzzz-nao-existe"));
    QTest::keyClick(caixa, Qt::Key_Return);
    QCOMPARE(Texto("lblLocalizar"), QStringLiteral("Não encontrado"));
    QTest::keyClick(caixa, Qt::Key_Escape);
    QVERIFY(!caixa->isVisible());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Grade()));
    QVERIFY(op_->caixas.isEmpty());
  }

  // At the frame's own size (client area 739 x 533) every enabled button of every page can be brought into
  // sight and clicked through the frame, the window maximised or restored.
  void everyControlIsReachableAtTheFramesSize() {
    janela_.reset();
    // Enough holders for the grid to scroll.
    QVERIFY(telvarim::teste::GravaAmostraSelada(raiz_ / "Recebidos" / kRecebido.toStdString(),
                                                {.titulares = 300, .semente = 1}));
    telvarim::IniciaJanelas();
    fprincipal->resize(739, 533);
    QCOMPARE(fprincipal->size(), QSize(739, 533));
    ClicaArvore(QStringLiteral("Manutenção"));
    QPointer<Tfcadtelvarim> cadastro = fcadtelvarim;
    QVERIFY(cadastro);
    auto* sub = qobject_cast<QMdiSubWindow*>(cadastro->parentWidget());
    QApplication::processEvents();
    auto Pagina_ = [&] {
      return cadastro->findChild<QStackedWidget*>(QStringLiteral("PageControl1"))->currentWidget();
    };
    auto Botoes = [&] {
      QList<QAbstractButton*> r;
      for (QAbstractButton* b : Pagina_()->findChildren<QAbstractButton*>())
        if (b->isVisibleTo(Pagina_()) && b->isEnabled() && !qobject_cast<QAbstractItemView*>(b->parentWidget())) r << b;
      return r;
    };
    auto Clica_ = [&](QAbstractButton* b) {
      QVERIFY2(Alcanca(b), qPrintable(b->objectName()));
      QSignalSpy clique(b, &QAbstractButton::clicked);
      ClicaNaJanela(b);
      QCOMPARE(clique.count(), 1);
    };

    for (const char* lista :
         {"FLBArquivosRecargaRecebidos", "FLBArquivosRecargaProcessados", "FLBArquivosRecargaGerados"})
      QVERIFY2(Alcanca(cadastro->findChild<QWidget*>(QLatin1String(lista))), lista);
    QCOMPARE(Botoes().size(), 1);
    Clica_(Botoes().constFirst());
    QCOMPARE(Pagina_()->objectName(), QStringLiteral("tbDigitacao"));

    auto* grade = cadastro->findChild<QTableView*>(QStringLiteral("sgRecarga"));
    QVERIFY(grade->verticalScrollBar()->isVisible());
    QVERIFY(Alcanca(grade->verticalScrollBar()));
    QList<QAbstractButton*> botoes = Botoes();
    QVERIFY(botoes.size() >= 9);
    // Restored, the window and its page still bring every button into sight.
    sub->showNormal();
    QApplication::processEvents();
    QVERIFY(fprincipal->AreaCliente()->viewport()->rect().contains(sub->geometry()));
    for (QAbstractButton* b : botoes) QVERIFY2(Alcanca(b), qPrintable(b->objectName() + QStringLiteral(", restored")));
    sub->showMaximized();
    QApplication::processEvents();
    // "Gerar Arquivo" last: it leaves the page.
    std::stable_partition(botoes.begin(), botoes.end(),
                          [](QAbstractButton* b) { return b->objectName() != QLatin1String("btngerararquivo"); });
    for (QAbstractButton* b : botoes) Clica_(b);
    QTRY_COMPARE(Pagina_()->objectName(), QStringLiteral("tblog"));
    QCOMPARE(op_->previas, 1);
    QCOMPARE(op_->dialogosArquivo, 1);

    QCOMPARE(Botoes().size(), 1);
    Clica_(Botoes().constFirst());
    QCOMPARE(Pagina_()->objectName(), QStringLiteral("tbarquivos"));
    QVERIFY(Alcanca(cadastro->findChild<QWidget*>(QStringLiteral("FLBArquivosRecargaGerados"))));
  }

  // Where the screen has room, the frame opens large enough for the whole typing page, nothing scrolled.
  void onALargeScreenTheFrameShowsTheWholeWorkspace() {
    janela_.reset();
    telvarim::IniciaJanelas();
    fprincipal->resize(Tfprincipal::TamanhoInicial(QSize(1920, 1040)));
    ClicaArvore(QStringLiteral("Manutenção"));
    QVERIFY(fcadtelvarim);
    QTest::mouseClick(fcadtelvarim->findChild<QPushButton*>(QStringLiteral("btnprocessar")), Qt::LeftButton);
    QApplication::processEvents();
    auto* rolagem = fcadtelvarim->findChild<QScrollArea*>(QStringLiteral("tbDigitacaoRolagem"));
    QVERIFY(rolagem->isVisible());
    QVERIFY(!rolagem->horizontalScrollBar()->isVisible());
    QVERIFY(!rolagem->verticalScrollBar()->isVisible());
    for (QAbstractButton* b : rolagem->widget()->findChildren<QAbstractButton*>())
      if (!qobject_cast<QAbstractItemView*>(b->parentWidget())) QVERIFY2(Visivel(b), qPrintable(b->objectName()));
  }

  void theImportDialogOpensWhereTheOperatorWasLast() {
    Processa();
    const QString raiz = QString::fromStdU16String(raiz_.u16string());
    Clica("btnimportararq");  // cancelled
    QCOMPARE(op_->pastas.constLast(), raiz);

    const QString outra = temp_->filePath(QStringLiteral("valores"));
    QVERIFY(QDir().mkpath(outra));
    QFile f(outra + QStringLiteral("/vazio.rrm"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    op_->arquivos << f.fileName();
    Clica("btnimportararq");
    QTRY_VERIFY(op_->arquivos.isEmpty());
    QTest::qWait(20);
    Clica("btnimportararq");
    QCOMPARE(op_->pastas.constLast(), outra);
    // A folder that is gone is not offered again.
    QVERIFY(QDir(outra).removeRecursively());
    Clica("btnimportararq");
    QCOMPARE(op_->pastas.constLast(), raiz);
  }

  void theWorkspaceDialogsHaveTheirTitlesAndButtons_data() {
    QTest::addColumn<int>("qual");
    QTest::addColumn<QString>("titulo");
    QTest::addColumn<int>("icone");
    QTest::addColumn<QStringList>("botoes");
    QTest::addColumn<QString>("clicar");
    QTest::addColumn<int>("resposta");
    QTest::newRow("plain") << 0 << "Telvarim" << int(QMessageBox::NoIcon) << QStringList{"OK"} << "OK" << 0;
    QTest::newRow("confirm yes") << 1 << "Confirm" << int(QMessageBox::Question) << QStringList{"&No", "&Yes"} << "&Yes"
                                 << 1;
    QTest::newRow("confirm no") << 1 << "Confirm" << int(QMessageBox::Question) << QStringList{"&No", "&Yes"} << "&No"
                                << 0;
    QTest::newRow("information") << 2 << "Information" << int(QMessageBox::Information) << QStringList{"OK"} << "OK"
                                 << 0;
    QTest::newRow("warning") << 3 << "Warning" << int(QMessageBox::Warning) << QStringList{"OK"} << "OK" << 0;
    QTest::newRow("error") << 4 << "Error" << int(QMessageBox::Critical) << QStringList{"OK"} << "OK" << 0;
    QTest::newRow("save first, cancel") << 5 << "Confirm" << int(QMessageBox::Question)
                                        << QStringList{"&No", "&Yes", "Cancel"} << "Cancel" << 2;
  }

  void theWorkspaceDialogsHaveTheirTitlesAndButtons() {
    QFETCH(int, qual);
    QFETCH(QString, titulo);
    QFETCH(int, icone);
    QFETCH(QStringList, botoes);
    QFETCH(QString, clicar);
    QFETCH(int, resposta);
    op_.reset();  // this test answers by itself
    const std::string texto = "Arquivo n\xE3o encontrado";
    QString vistoTitulo, vistoTexto;
    int vistoIcone = -1;
    QStringList vistos;
    QTimer relogio;
    relogio.setInterval(5);
    connect(&relogio, &QTimer::timeout, this, [&] {
      auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!caixa || !caixa->isVisible()) return;
      relogio.stop();
      vistoTitulo = caixa->windowTitle();
      vistoTexto = caixa->text();
      vistoIcone = caixa->icon();
      for (QAbstractButton* b : caixa->buttons()) vistos << b->text();
      for (QAbstractButton* b : caixa->buttons())
        if (b->text() == clicar) b->click();
    });
    relogio.start();
    telvarim::DialogosQt d(janela_.get());
    int r = 0;
    switch (qual) {
      case 0:
        d.Mensagem(texto);
        break;
      case 1:
        r = d.Confirma(texto) ? 1 : 0;
        break;
      case 2:
        d.Informa(texto);
        break;
      case 3:
        d.Adverte(texto);
        break;
      case 4:
        d.Erro(texto);
        break;
      default:
        r = static_cast<int>(telvarim::ConfirmaOuCancela(janela_.get(), Qt_(texto)));
        break;
    }
    QCOMPARE(vistoTitulo, titulo);
    QCOMPARE(vistoTexto, QStringLiteral("Arquivo não encontrado"));
    QCOMPARE(vistoIcone, icone);
    vistos.sort();
    QCOMPARE(vistos, botoes);
    QCOMPARE(r, resposta);
    QCOMPARE(d.Avisos(), qual == 1 || qual == 5 ? 0 : 1);
  }

  void theFileDialogAndThePreviewOfTheSeam() {
    telvarim::DialogosQt d(janela_.get());
    const QString arquivo = temp_->filePath(QStringLiteral("valores_açúcar.rrm"));
    QFile f(arquivo);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    op_->arquivos << arquivo;
    const std::string escolhido = d.AbreArquivo("Arquivo Recarga (*.rrm)|*.rrm|Todos os Arquivos (*.*)|*.*", "*.rrm");
    QCOMPARE(Qt_(escolhido), QDir::toNativeSeparators(arquivo));  // the engine's cp1252 text of the path
    QCOMPARE(op_->filtros, (QStringList{"Arquivo Recarga (*.rrm)", "Todos os Arquivos (*.*)"}));
    QCOMPARE(d.ArquivosEscolhidos(), 1);
    QCOMPARE(d.AbreArquivo("Arquivo Recarga (*.rrm)|*.rrm", "*.rrm"), std::string());  // cancelled
    QCOMPARE(d.ArquivosEscolhidos(), 1);
    QCOMPARE(op_->dialogosArquivo, 2);

    telvarim::Relatorio r;
    r.qrlnomecadastro =
        "Listagem de Cart\xF5"
        "es a Recarregar";
    r.linhas = {"linha 1", "linha 2"};
    d.MostraRelatorio(r);
    QCOMPARE(op_->previas, 1);
  }

  void fileFiltersReadAsTheDialogTakesThem() {
    const std::pair<const char*, const char*> casos[] = {
        {"Arquivo Recarga (*.rrm)|*.rrm|Todos os Arquivos (*.*)|*.*",
         "Arquivo Recarga (*.rrm);;Todos os Arquivos (*.*)"},
        {"Textos|*.txt;*.log", "Textos (*.txt *.log)"},
        {"Sem padr\xE3o", ""},
    };
    for (const auto& [classico, esperado] : casos)
      QCOMPARE(telvarim::FiltroArquivos(classico), QString::fromUtf8(esperado));
  }
};

QTEST_MAIN(TesteCadTelvarim)
#include "test_cadtelvarim.moc"
