// Renders the README's screenshots from the real windows, on a throw-away work root:
//   xvfb-run -a build/bin/telvarim_capturas docs
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
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
  QTest::mouseClick(fcadtelvarim->findChild<QPushButton*>(QStringLiteral("btngerararquivo")), Qt::LeftButton);
  ok = Salva(fprincipal, docs + QStringLiteral("/cadtelvarim_log.png")) && ok;

  delete fprincipal;
  return ok ? 0 : 1;
}
