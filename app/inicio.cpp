#include "inicio.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <exception>

#include "imagens.h"
#include "tabelas.h"
#include "traducoes.h"
#include "umdiform.h"
#include "uprincipal.h"
#include "usplash.h"

namespace telvarim {

FileLock ReservaPastaPrograma(const PastasTrabalho& pastas) {
  ReservaPasta r = ReservaPastaTrabalho(pastas, "telvarim");
  if (r.Reservada()) return std::move(r.trava);
  const QString pasta = QString::fromStdU16String(pastas.Raiz().u16string());
  const QString texto =
      r.emUso ? QStringLiteral("A pasta de trabalho %1 está em uso por %2 - Verifique!")
                    .arg(pasta, r.ocupante.empty() ? QStringLiteral("outro programa") : QString::fromLatin1(r.ocupante))
              : QStringLiteral("Não foi possível reservar a pasta de trabalho %1: %2 - Verifique!")
                    .arg(pasta, QString::fromStdString(system_error_text(r.erro)));
  QMessageBox::critical(nullptr, QStringLiteral("Telvarim"), texto);
  return {};
}

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
  InstalaTraducoes();
  // One program at a time on the work folders, for the whole run.
  const FileLock trava = ReservaPastaPrograma(Programa().Pastas);
  if (!trava.held()) return 1;
  // Ended from outside (SIGTERM, SIGINT, SIGHUP; a closed console or session on Windows), the program still
  // takes its temporaries and partial files away; the system drops its locks.
  remove_temporaries_on_signals();
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
