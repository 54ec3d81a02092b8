// Start-up of the desktop program on a work root another program holds: an error box naming the holder,
// and nothing reserved, so the program ends before any window or file.
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <filesystem>

#include "inicio.h"
#include "pastas.h"
#include "safe_file.h"

class TesteInicio : public QObject {
  Q_OBJECT

 private:
  // Answers the next error box, keeping what it showed.
  void FechaCaixa(QString& titulo, QString& texto) {
    QTimer::singleShot(0, this, [&] {
      auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!caixa) return;
      titulo = caixa->windowTitle();
      texto = caixa->text();
      QCOMPARE(caixa->icon(), QMessageBox::Critical);
      caixa->accept();
    });
  }

 private slots:
  void aSecondProgramOnTheSameRootIsRefused() {
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const telvarim::PastasTrabalho pastas(QFile::encodeName(temp.filePath(QStringLiteral("raiz"))).toStdString());
    telvarim::ReservaPasta outro = telvarim::ReservaPastaTrabalho(pastas, "telvarim-cli batch");
    QVERIFY(outro.Reservada());

    QString titulo, texto;
    FechaCaixa(titulo, texto);
    const telvarim::FileLock recusada = telvarim::ReservaPastaPrograma(pastas);
    QVERIFY(!recusada.held());
    QCOMPARE(titulo, QStringLiteral("Telvarim"));
    QCOMPARE(texto, QStringLiteral("A pasta de trabalho %1 está em uso por telvarim-cli batch, pid %2 - Verifique!")
                        .arg(temp.filePath(QStringLiteral("raiz")))
                        .arg(telvarim::current_process_id()));
    QVERIFY2(!std::filesystem::exists(pastas.Recebidos()), "nothing made");

    // Once the other program is gone, the desktop program holds the root for itself.
    outro.trava.release();
    texto.clear();
    const telvarim::FileLock propria = telvarim::ReservaPastaPrograma(pastas);
    QVERIFY(propria.held());
    QVERIFY(texto.isEmpty());
    QVERIFY(telvarim::ReservaPastaTrabalho(pastas, "telvarim").emUso);
  }
};

QTEST_MAIN(TesteInicio)
#include "test_inicio.moc"
