// Renders the README's screenshots from the real windows, on a throw-away work root:
//   xvfb-run -a build/bin/telvarim_capturas docs
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QToolTip>
#include <QTreeWidget>
#include <cstdio>

#include "amostra_selada.h"
#include "inicio.h"
#include "tabelas.h"
#include "ucadtelvarim.h"
#include "umdiform.h"
#include "uprincipal.h"
#include "usplash.h"

namespace {

void Grava(const QString& caminho) {
  QDir().mkpath(QFileInfo(caminho).absolutePath());
  QFile f(caminho);
  if (f.open(QIODevice::WriteOnly)) f.write("x");
}

void Espera() {
  for (int i = 0; i < 20; ++i) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
}

bool Salva(QWidget* w, const QString& arquivo) {
  Espera();
  if (w->grab().save(arquivo)) return true;
  std::fprintf(stderr, "telvarim_capturas: cannot write %s\n", qPrintable(arquivo));
  return false;
}

// Where the tooltip of LinhaSemRecarga shows, in the grid's window: a tooltip is a window of its own, placed
// by the screen (xvfb-run's is small), so the picture puts it back where it belongs.
QPoint pontoDica;

// Shows the first view with a row that takes no value, that row current, the pointer's tooltip on it.
bool LinhaSemRecarga(QWidget* janela) {
  auto* tipo = janela->findChild<QComboBox*>(QStringLiteral("cbtipocartao"));
  auto* tarifa = janela->findChild<QComboBox*>(QStringLiteral("cbtarifa"));
  auto* grade = janela->findChild<QTableView*>(QStringLiteral("sgRecarga"));
  for (int t = 0; t < tipo->count(); ++t) {
    tipo->setCurrentIndex(t);
    for (int f = 0; f < tarifa->count(); ++f) {
      tarifa->setCurrentIndex(f);
      QAbstractItemModel* m = grade->model();
      for (int r = 0; r < m->rowCount(); ++r) {
        const QModelIndex valor = m->index(r, 5);
        if (m->flags(valor) & Qt::ItemIsEditable) continue;
        grade->scrollTo(valor, QAbstractItemView::PositionAtCenter);
        const QPoint ponto = grade->visualRect(m->index(r, 3)).center();
        QTest::mouseClick(grade->viewport(), Qt::LeftButton, {}, ponto);
        pontoDica = grade->viewport()->mapTo(grade->window(), ponto + QPoint(8, 16));
        QToolTip::showText(grade->viewport()->mapToGlobal(ponto + QPoint(8, 16)),
                           m->index(r, 3).data(Qt::ToolTipRole).toString(), grade->viewport());
        return true;
      }
    }
  }
  return false;
}

// The window with the tooltip that shows over it, which is a window of its own.
bool SalvaComDica(QWidget* w, const QString& arquivo) {
  Espera();
  QPixmap imagem = w->grab();
  for (QWidget* t : QApplication::topLevelWidgets())
    if (t->inherits("QTipLabel") && t->isVisible()) {
      QPainter p(&imagem);
      p.drawPixmap(pontoDica, t->grab());
    }
  if (imagem.save(arquivo)) return true;
  std::fprintf(stderr, "telvarim_capturas: cannot write %s\n", qPrintable(arquivo));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: telvarim_capturas DOCS_FOLDER\n");
    return 2;
  }
  const QString docs = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  QTemporaryDir temp;
  const QString raiz = temp.filePath(QStringLiteral("Telvarim"));
  const QString disco = temp.filePath(QStringLiteral("PENDRIVE"));
  telvarim::Programa().Pastas = telvarim::PastasTrabalho(QFile::encodeName(raiz).toStdString());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, temp.filePath(QStringLiteral("config")));
  for (const char* n : {"RM_000123_0001_2612101100_2.REC", "RM_000456_0003_2612101130_2.REC"})
    Grava(raiz + QStringLiteral("/Gerados/") + QLatin1String(n));
  QDir().mkpath(raiz + QStringLiteral("/Recebidos"));
  // The demo's received file (scripts/run.sh makes the same one), waiting to be processed.
  if (!telvarim::teste::GravaAmostraSelada(
          std::filesystem::path(raiz.toStdU16String()) / "Recebidos" / "RM_000123_0001_2612101100_1.rec",
          {.titulares = 300, .semente = 1})) {
    std::fprintf(stderr, "telvarim_capturas: cannot write the sample received file\n");
    return 1;
  }
  for (const char* n : {"RM_000123_0002_2612150900_1.rec", "RM_000123_0003_2612160900_1.rec"})
    Grava(disco + QLatin1Char('/') + QLatin1String(n));
  QDir::setCurrent(disco);

  bool ok = true;
  {
    Tfsplash splash;
    splash.Modulo()->setText(QStringLiteral("Módulo Telvarim de cartões"));
    splash.show();
    for (int i = 0; i < 8; ++i) splash.timer01Timer();
    ok = Salva(&splash, docs + QStringLiteral("/splash.png")) && ok;
  }

  telvarim::IniciaJanelas();
  fprincipal->resize(960, 640);
  auto* arvore = fprincipal->findChild<QTreeWidget*>(QStringLiteral("TVwGeral"));
  arvore->topLevelItem(0)->setExpanded(true);
  Espera();
  if (auto* centro = ftelafundo->findChild<QLabel*>(QStringLiteral("imgCentro"))) {
    QMouseEvent e(QEvent::MouseMove, QPointF(40, 40), centro->mapToGlobal(QPointF(40, 40)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(centro, &e);
  }
  ok = Salva(fprincipal, docs + QStringLiteral("/principal.png")) && ok;

  QTreeWidgetItem* carga = arvore->topLevelItem(0)->child(1);
  arvore->setCurrentItem(carga);
  fprincipal->TVwGeralClick();
  if (auto* lista = fprincipal->findChild<QListWidget*>(QStringLiteral("FileListBox2")))
    if (lista->count() > 0) lista->item(0)->setSelected(true);
  ok = Salva(fprincipal, docs + QStringLiteral("/cargaarquivos.png")) && ok;

  // The workspace: the file page with the sample waiting, the typing page with a few values typed, and the
  // log page after the request was generated.
  fprincipal->resize(1100, 720);
  arvore->setCurrentItem(arvore->topLevelItem(0)->child(0));
  fprincipal->TVwGeralClick();
  ok = Salva(fprincipal, docs + QStringLiteral("/cadtelvarim_arquivos.png")) && ok;
  QTest::mouseClick(fcadtelvarim->findChild<QPushButton*>(QStringLiteral("btnprocessar")), Qt::LeftButton);
  auto* grade = fcadtelvarim->findChild<QTableView*>(QStringLiteral("sgRecarga"));
  for (const char* valor : {"25", "30,5", "12.75"}) {
    QTest::keyClicks(grade, QString::fromLatin1(valor).left(1));
    QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(valor).mid(1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  }
  QTest::keyClicks(grade, QStringLiteral("4"));
  ok = Salva(fprincipal, docs + QStringLiteral("/cadtelvarim_digitacao.png")) && ok;

  // A row that takes no value: greyed, its reason in its tooltip and across the status bar.
  if (!LinhaSemRecarga(fcadtelvarim)) {
    std::fprintf(stderr, "telvarim_capturas: the sample has no row that takes no value\n");
    ok = false;
  } else {
    ok = SalvaComDica(fprincipal, docs + QStringLiteral("/cadtelvarim_sem_recarga.png")) && ok;
  }

  // The frame at the size it was drawn for: the workspace's page scrolls rather than hide a control.
  QToolTip::hideText();
  fprincipal->resize(739, 533);
  for (const char* caixa : {"cbtipocartao", "cbtarifa"})
    if (auto* c = fcadtelvarim->findChild<QComboBox*>(QLatin1String(caixa))) c->setCurrentIndex(0);
  grade->setCurrentIndex(grade->model()->index(0, 5));
  ok = Salva(fprincipal, docs + QStringLiteral("/cadtelvarim_tamanho_padrao.png")) && ok;
  fprincipal->resize(1100, 720);
  QTest::mouseClick(fcadtelvarim->findChild<QPushButton*>(QStringLiteral("btngerararquivo")), Qt::LeftButton);
  ok = Salva(fprincipal, docs + QStringLiteral("/cadtelvarim_log.png")) && ok;

  delete fprincipal;
  return ok ? 0 : 1;
}
