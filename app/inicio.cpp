#include "inicio.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <exception>

#include "imagens.h"
#include "tabelas.h"
#include "umdiform.h"
#include "uprincipal.h"
#include "usplash.h"

namespace telvarim {

void IniciaJanelas() {
  fsplash = new Tfsplash();
  QApplication::setApplicationName(QStringLiteral("Telvarim"));
  QApplication::setWindowIcon(imagens::IconePrograma());
  fsplash->show();
  fsplash->Modulo()->setText(QStringLiteral("Módulo Telvarim de cartões"));
  fsplash->Modulo()->adjustSize();
  QApplication::processEvents();

  fprincipal = new Tfprincipal();
  fprincipal->show();
  ftelafundo = new Tftelafundo(fprincipal);

  QApplication::processEvents();
  delete fsplash;
}

int ExecutaPrograma(int argc, char** argv) {
  // The process-wide tables exist before any window; the work folders are decided here, once.
  TabelasProcesso();
  Programa().Pastas = PastasTrabalho(RaizTrabalho());
  QApplication app(argc, argv);
  try {
    IniciaJanelas();
    const int status = QApplication::exec();
    delete fprincipal;
    return status;
  } catch (const std::exception& e) {
    delete fsplash;
    QMessageBox::critical(nullptr, QApplication::applicationName(), QString::fromLocal8Bit(e.what()));
  }
  return 0;
}

}  // namespace telvarim
