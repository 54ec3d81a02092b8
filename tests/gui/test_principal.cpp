// The main window, its function tree and status bar, start-up, the splash and the background window, with
// real widgets on Qt's offscreen platform.
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "inicio.h"
#include "numbers.h"
#include "tabelas.h"
#include "ucadtelvarim.h"
#include "ucargaarquivos.h"
#include "umdiform.h"
#include "uprincipal.h"
#include "usplash.h"

namespace {

QSettings Configuracao() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quintaro"), QStringLiteral("Telvarim"));
}

void EnviaMovimento(QWidget* w, QPoint p) {
  QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(w->mapToGlobal(p)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

}  // namespace

class TestePrincipal : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir temp_;

  QTreeWidget* Arvore() { return fprincipal->findChild<QTreeWidget*>(QStringLiteral("TVwGeral")); }
  QWidget* Painel() { return fprincipal->findChild<QWidget*>(QStringLiteral("PnlLateral")); }
  QMdiArea* Area() { return fprincipal->AreaCliente(); }

  QTreeWidgetItem* No(const QString& legenda) {
    const auto achados = Arvore()->findItems(legenda, Qt::MatchExactly | Qt::MatchRecursive);
    return achados.value(0);
  }

  void Clica(const QString& legenda) {
    QTreeWidgetItem* no = No(legenda);
    QVERIFY(no);
    if (no->parent()) no->parent()->setExpanded(true);
    const QRect r = Arvore()->visualItemRect(no);
    QVERIFY(r.isValid());
    QTest::mouseClick(Arvore()->viewport(), Qt::LeftButton, {}, r.center());
  }

  QList<QWidget*> JanelasDeFuncao() {
    QList<QWidget*> r;
    for (QMdiSubWindow* s : Area()->subWindowList())
      if (s->widget() && s->widget() != ftelafundo) r.push_back(s->widget());
    return r;
  }

 private slots:
  void initTestCase() {
    QVERIFY(temp_.isValid());
    telvarim::Programa().Pastas =
        telvarim::PastasTrabalho(QFile::encodeName(temp_.filePath(QStringLiteral("raiz"))).toStdString());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, temp_.filePath(QStringLiteral("config")));
    QApplication::setApplicationName(QStringLiteral("test_principal"));
  }

  void init() {
    Configuracao().clear();
    telvarim::IniciaJanelas();
    QVERIFY(fprincipal);
    QVERIFY(QTest::qWaitForWindowExposed(fprincipal));
  }

  void cleanup() {
    delete fprincipal;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::setApplicationName(QStringLiteral("test_principal"));
  }

  void startUpLeavesTheFrameWithTheBackgroundAndNoSplash() {
    QVERIFY(fsplash.isNull());
    for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY(!qobject_cast<Tfsplash*>(w));
    // The title was set before the main window took its caption from it.
    QCOMPARE(QApplication::applicationName(), QStringLiteral("Telvarim"));
    QCOMPARE(fprincipal->windowTitle(), QStringLiteral("Telvarim - Versão:2.1.1.C01G"));

    QVERIFY(ftelafundo);
    QCOMPARE(ftelafundo->objectName(), QStringLiteral("ftelafundo"));
    QCOMPARE(Area()->subWindowList().size(), 1);
    QCOMPARE(Area()->currentSubWindow(), ftelafundo->Janela());
    QVERIFY(ftelafundo->Janela()->isMaximized());

    // The window's values are the process-wide ones the engine works with.
    QCOMPARE(&fprincipal->VersaoModulo(), &telvarim::Programa().VersaoModulo);
    QCOMPARE(&fprincipal->FatorCentavos(), &telvarim::Programa().FatorCentavos);
    QCOMPARE(&fprincipal->ModoArredondamento(), &telvarim::Programa().ModoArredondamento);
    QCOMPARE(fprincipal->VersaoModulo(), std::string("2.1.1.C01G"));
    QCOMPARE(fprincipal->FatorCentavos(), 0.01);
    QCOMPARE(fprincipal->ModoArredondamento(), 0);

    const QFileInfo exe(QCoreApplication::applicationFilePath());
    auto* tamanho = ftelafundo->findChild<QLabel*>(QStringLiteral("Label3"));
    QCOMPARE(tamanho->text(),
             QString::fromStdString(telvarim::FormataInteiro(exe.size(), "##,###,###")) + QStringLiteral(" Bytes"));
    QVERIFY(tamanho->text().contains(QLatin1Char('.')));  // executables here are well over 999 bytes
    QCOMPARE(ftelafundo->findChild<QLabel*>(QStringLiteral("Label6"))->text(),
             exe.lastModified().toString(QStringLiteral("dd/MM/yyyy")));
    QCOMPARE(ftelafundo->findChild<QLabel*>(QStringLiteral("Label11"))->text(), QStringLiteral("2.1.1.C01G"));
  }

  void treeHasTheFourNodesWithTheirImages() {
    QTreeWidget* t = Arvore();
    QCOMPARE(t->topLevelItemCount(), 2);
    QTreeWidgetItem* principal = t->topLevelItem(0);
    QCOMPARE(principal->text(0), QStringLiteral("Principal"));
    QVERIFY(!principal->isExpanded());
    QCOMPARE(principal->childCount(), 2);
    struct Esperado {
      QTreeWidgetItem* no;
      QString legenda;
      int imagem;
    } esperados[] = {{principal, QStringLiteral("Principal"), 2},
                     {principal->child(0), QStringLiteral("Manutenção"), 3},
                     {principal->child(1), QStringLiteral("Carga Arquivos"), 3},
                     {t->topLevelItem(1), QStringLiteral("Sair"), 1}};
    const QList<QPixmap>& imagens = fprincipal->Imagens();
    QCOMPARE(imagens.size(), 12);
    for (const Esperado& e : esperados) {
      QCOMPARE(e.no->text(0), e.legenda);
      QCOMPARE(e.no->data(0, Qt::UserRole).toInt(), e.imagem);
      const QIcon icone = e.no->icon(0);
      QCOMPARE(icone.pixmap(16, 16, QIcon::Normal).toImage(), imagens[e.imagem].toImage());
      QCOMPARE(icone.pixmap(16, 16, QIcon::Selected).toImage(), imagens[0].toImage());
    }
  }

  void clickingManutencaoTwiceGivesAFreshWindow() {
    Clica(QStringLiteral("Manutenção"));
    QPointer<Tfcadtelvarim> primeira = fcadtelvarim;
    QVERIFY(primeira);
    QCOMPARE(primeira->windowTitle(), QStringLiteral("Cadastro Telvarim"));
    QCOMPARE(JanelasDeFuncao(), QList<QWidget*>{primeira.data()});
    auto* sub = qobject_cast<QMdiSubWindow*>(primeira->parentWidget());
    QVERIFY(sub && sub->isMaximized());
    QCOMPARE(Area()->currentSubWindow(), sub);

    Clica(QStringLiteral("Manutenção"));
    QVERIFY(primeira.isNull());
    QVERIFY(fcadtelvarim);
    QCOMPARE(JanelasDeFuncao(), QList<QWidget*>{fcadtelvarim.data()});
    QVERIFY(ftelafundo);
  }

  void principalOnlyClosesTheActiveWindow() {
    Clica(QStringLiteral("Carga Arquivos"));
    QVERIFY(fcargaarquivos);
    QCOMPARE(fcargaarquivos->windowTitle(), QStringLiteral("Cargas de Arquivos"));
    Clica(QStringLiteral("Principal"));
    QVERIFY(fcargaarquivos.isNull());
    QVERIFY(JanelasDeFuncao().isEmpty());
    QVERIFY(ftelafundo);
    // With only the background left, another click destroys nothing.
    Clica(QStringLiteral("Principal"));
    QVERIFY(ftelafundo);
  }

  void collapsingPrincipalStillActsOnTheSelectedNode() {
    Clica(QStringLiteral("Carga Arquivos"));
    QPointer<Tfcargaarquivos> antes = fcargaarquivos;
    QVERIFY(antes);
    QTreeWidgetItem* principal = No(QStringLiteral("Principal"));
    const QRect r = Arvore()->visualItemRect(principal);
    QTest::mouseClick(Arvore()->viewport(), Qt::LeftButton, {}, QPoint(r.left() - 10, r.center().y()));
    QVERIFY(!principal->isExpanded());
    QVERIFY(antes.isNull());
    QVERIFY(fcargaarquivos);
    QCOMPARE(JanelasDeFuncao().size(), 1);
  }

  void withTheBackgroundActiveASecondWindowOpens() {
    Clica(QStringLiteral("Manutenção"));
    QPointer<Tfcadtelvarim> cadastro = fcadtelvarim;
    Area()->setActiveSubWindow(ftelafundo->Janela());
    QCOMPARE(Area()->currentSubWindow(), ftelafundo->Janela());
    Clica(QStringLiteral("Carga Arquivos"));
    QVERIFY(cadastro);
    QVERIFY(fcargaarquivos);
    QCOMPARE(JanelasDeFuncao().size(), 2);
    QVERIFY(ftelafundo);
  }

  void backgroundReReadsOnActivationAndItsLossStopsNothing() {
    Clica(QStringLiteral("Manutenção"));
    fprincipal->VersaoModulo() = "outra";
    ftelafundo->findChild<QLabel*>(QStringLiteral("Label3"))->clear();
    Clica(QStringLiteral("Principal"));  // the workspace goes, the background is active again
    QCOMPARE(Area()->currentSubWindow(), ftelafundo->Janela());
    QCOMPARE(fprincipal->VersaoModulo(), std::string("2.1.1.C01G"));
    QVERIFY(ftelafundo->findChild<QLabel*>(QStringLiteral("Label3"))->text().endsWith(QStringLiteral(" Bytes")));

    ftelafundo->Janela()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(ftelafundo.isNull());
    Clica(QStringLiteral("Manutenção"));
    QVERIFY(fcadtelvarim);
    Clica(QStringLiteral("Carga Arquivos"));
    QVERIFY(fcargaarquivos);
    QCOMPARE(Area()->subWindowList().size(), 1);
  }

  void enterOrSpaceOnANodeOpensIt_data() {
    QTest::addColumn<int>("tecla");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("Space") << int(Qt::Key_Space);
  }

  void enterOrSpaceOnANodeOpensIt() {
    QFETCH(int, tecla);
    QTreeWidget* t = Arvore();
    t->setFocus();
    // From the keyboard alone: the first node, open it, down to its children.
    QTest::keyClick(t, Qt::Key_Home);
    QTest::keyClick(t, Qt::Key_Right);
    QTest::keyClick(t, Qt::Key_Down);
    QCOMPARE(t->currentItem()->text(0), QStringLiteral("Manutenção"));
    QTest::keyClick(t, static_cast<Qt::Key>(tecla));
    QVERIFY(fcadtelvarim);
    QCOMPARE(JanelasDeFuncao(), QList<QWidget*>{fcadtelvarim.data()});
    t->setFocus();
    QTest::keyClick(t, Qt::Key_Down);
    QTest::keyClick(t, static_cast<Qt::Key>(tecla));
    QVERIFY(fcargaarquivos);
    QVERIFY(fcadtelvarim.isNull());  // nothing was typed in it: it went without a question
    QCOMPARE(JanelasDeFuncao(), QList<QWidget*>{fcargaarquivos.data()});
  }

  void captionsAreNeverCut() {
    QTreeWidget* t = Arvore();
    No(QStringLiteral("Principal"))->setExpanded(true);
    QApplication::processEvents();
    // What each caption needs, indentation, picture and margins included, within the tree's width.
    for (QTreeWidgetItem* no : {No(QStringLiteral("Principal")), No(QStringLiteral("Manutenção")),
                                No(QStringLiteral("Carga Arquivos")), No(QStringLiteral("Sair"))}) {
      const QModelIndex i = t->indexFromItem(no);
      const int precisa = t->visualRect(i).left() + static_cast<QAbstractItemView*>(t)->sizeHintForIndex(i).width();
      QVERIFY2(precisa <= t->viewport()->width(), qPrintable(no->text(0)));
    }
  }

  void frameOpensAsLargeAsTheScreenAllows_data() {
    QTest::addColumn<QSize>("tela");
    QTest::addColumn<QSize>("janela");
    QTest::newRow("smaller than the frame") << QSize(640, 480) << QSize(739, 533);
    QTest::newRow("a little larger") << QSize(800, 600) << QSize(784, 552);
    QTest::newRow("room for the whole workspace") << QSize(1920, 1040) << QSize(1100, 720);
  }

  void frameOpensAsLargeAsTheScreenAllows() {
    QFETCH(QSize, tela);
    QFETCH(QSize, janela);
    QCOMPARE(Tfprincipal::TamanhoInicial(tela), janela);
  }

  void sairClosesTheMainWindow() {
    Clica(QStringLiteral("Sair"));
    QVERIFY(!fprincipal->isVisible());
  }

  void autoResizeSlidesThePanelAndIsKept() {
    QWidget* painel = Painel();
    QTreeWidget* arvore = Arvore();
    QWidget* vp = arvore->viewport();
    QAction* opcao = fprincipal->findChild<QAction*>(QStringLiteral("ppmredaut"));
    QVERIFY(opcao && opcao->isCheckable() && !opcao->isChecked());
    QCOMPARE(opcao->text(), QStringLiteral("Redimensionamento Automático"));
    // 133 wide, or as wide as the captions need in the font at hand (see captionsAreNeverCut).
    const int base = painel->width();
    QVERIFY(base >= 133);
    QCOMPARE(arvore->width(), base);

    EnviaMovimento(vp, QPoint(20, 10));  // option off: nothing moves
    QCOMPARE(painel->width(), base);

    opcao->trigger();
    QVERIFY(fprincipal->RedimensionamentoAutomatico());
    QCOMPARE(Configuracao().value(QStringLiteral("ArvoreFuncoes/RedimensionamentoAutomatico")).toBool(), true);

    struct Passo {
      const char* acao;
      int x;
      int painel, arvore;
    } passos[] = {{"move", 131, 281, 280},   {"move", 132, base, base}, {"move", 20, 281, 280},
                  {"solta", 20, base, base}, {"move", 5, 281, 280},     {"move", 250, base, base}};
    for (const Passo& p : passos) {
      if (qstrcmp(p.acao, "move") == 0)
        EnviaMovimento(vp, QPoint(p.x, 10));
      else
        QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(p.x, 10));
      QCOMPARE(painel->width(), p.painel);
      QCOMPARE(arvore->width(), p.arvore);
    }

    // Widths are captured once: a later drag of the splitter is not what the panel returns to.
    fprincipal->DefineLarguraPainelLateral(180);
    QCOMPARE(painel->width(), 180);
    EnviaMovimento(vp, QPoint(20, 10));
    QCOMPARE(painel->width(), 281);
    EnviaMovimento(vp, QPoint(200, 10));
    QCOMPARE(painel->width(), base);

    // The next run starts with the option as the operator left it.
    delete fprincipal;
    fprincipal = new Tfprincipal();
    QVERIFY(fprincipal->RedimensionamentoAutomatico());
    QVERIFY(fprincipal->findChild<QAction*>(QStringLiteral("ppmredaut"))->isChecked());
    fprincipal->findChild<QAction*>(QStringLiteral("ppmredaut"))->trigger();
    QVERIFY(!fprincipal->RedimensionamentoAutomatico());
    QCOMPARE(Configuracao().value(QStringLiteral("ArvoreFuncoes/RedimensionamentoAutomatico")).toBool(), false);
  }

  void statusPanelsTwoToFourStayBlank() {
    QCOMPARE(fprincipal->findChildren<QLabel*>(QRegularExpression(QStringLiteral("^StBGeralPainel\\d$"))).size(), 6);
    QCOMPARE(fprincipal->findChild<QLabel*>(QStringLiteral("StBGeralPainel0"))->width(), Painel()->width());
    for (int i = 0; i < 6; ++i) {
      const QString texto = QStringLiteral("Grid Preenchido. %1").arg(i);
      fprincipal->DefineTextoPainel(i, texto);
      auto* painel = fprincipal->findChild<QLabel*>(QStringLiteral("StBGeralPainel%1").arg(i));
      QCOMPARE(fprincipal->TextoPainel(i), texto);
      QCOMPARE(painel->text(), i >= 2 && i <= 4 ? QString() : texto);
    }
  }

  void backgroundLayoutFollowsTheWindowSize() {
    for (const QSize tamanho : {QSize(900, 700), QSize(739, 533), QSize(1200, 640)}) {
      fprincipal->resize(tamanho);
      QApplication::processEvents();
      const QMdiSubWindow* janela = ftelafundo->Janela();
      QVERIFY(janela->isMaximized());
      const int w = janela->width(), h = janela->height();
      auto* logo = ftelafundo->findChild<QLabel*>(QStringLiteral("imgLogoQuintaro"));
      QCOMPARE(logo->size(), QSize(190, 52));
      QCOMPARE(logo->pos(), QPoint(w - 190 - 30, h - 200));
      const std::pair<const char*, int> linhas[] = {{"lblCopyright", 63},
                                                    {"lblEndereco1", 81},
                                                    {"lblEndereco2", 97},
                                                    {"lblEndereco3", 113},
                                                    {"lblEndereco4", 129}};
      for (const auto& [nome, abaixo] : linhas) {
        auto* l = ftelafundo->findChild<QLabel*>(QLatin1String(nome));
        QCOMPARE(l->x() + l->width(), w - 35);
        QCOMPARE(l->y(), logo->y() + abaixo);
      }
      auto* centro = ftelafundo->findChild<QLabel*>(QStringLiteral("imgCentro"));
      QCOMPARE(centro->pos(), QPoint(w - 171 - 32, logo->y() - 143));
    }
  }

  void productPanelShowsOverTheCentrePicture() {
    auto* produto = ftelafundo->findChild<QWidget*>(QStringLiteral("pnlProduto"));
    auto* centro = ftelafundo->findChild<QLabel*>(QStringLiteral("imgCentro"));
    QVERIFY(produto->isHidden());
    EnviaMovimento(centro, QPoint(50, 50));
    QVERIFY(!produto->isHidden());
    EnviaMovimento(ftelafundo, QPoint(5, 100));
    QVERIFY(produto->isHidden());
  }

  void splashLabelScrollsLeftAndStartsAgain() {
    Tfsplash splash;
    splash.Modulo()->setText(QStringLiteral("Módulo Telvarim de cartões"));
    QVERIFY(splash.Modulo()->isHidden());
    splash.timer01Timer();
    QVERIFY(!splash.Modulo()->isHidden());
    QCOMPARE(splash.Modulo()->x(), 376);
    int voltas = 0;
    for (int i = 0; i < 60; ++i) {
      const int antes = splash.Modulo()->x();
      const bool passou = antes + splash.Modulo()->width() > 86;
      splash.timer01Timer();
      QCOMPARE(splash.Modulo()->x(), passou ? antes - 20 : 396);
      voltas += passou ? 0 : 1;
    }
    QVERIFY(voltas >= 1);
  }
};

QTEST_MAIN(TestePrincipal)
#include "test_principal.moc"
