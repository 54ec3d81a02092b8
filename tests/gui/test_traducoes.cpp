// Qt's own texts read in Portuguese once the program's catalogue is installed; the texts the program sets
// itself stay as they are.
#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "dialogos.h"
#include "traducoes.h"

class TestTraducoes : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(telvarim::InstalaTraducoes()); }

  void StandardButtonsAndLocaleArePortuguese() {
    QCOMPARE(QLocale().name(), QStringLiteral("pt_BR"));
    QDialogButtonBox botoes(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    QCOMPARE(botoes.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Cancelar"));
    QCOMPARE(botoes.button(QDialogButtonBox::Save)->text().remove(QLatin1Char('&')), QStringLiteral("Salvar"));
    QMessageBox caixa(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("x"),
                      QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(caixa.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Sim"));
    QCOMPARE(caixa.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Não"));
  }

  void FileDialogSpeaksPortuguese() {
    QFileDialog dialogo(nullptr, QStringLiteral("Abrir"));
    dialogo.setOption(QFileDialog::DontUseNativeDialog);
    QStringList textos;
    for (const QLabel* l : dialogo.findChildren<QLabel*>()) textos << l->text();
    for (const QAbstractButton* b : dialogo.findChildren<QAbstractButton*>()) textos << b->text();
    const QString todos = textos.join(QLatin1Char('|'));
    QVERIFY2(todos.contains(QStringLiteral("Nome do arquivo"), Qt::CaseInsensitive) ||
                 todos.contains(QStringLiteral("Nome do ficheiro"), Qt::CaseInsensitive),
             qPrintable(todos));
  }

  void TheProgramsOwnDialogTextsStay() {
    // The confirmation keeps its own title and buttons, whatever the catalogue says.
    QString titulo, botoes;
    QTimer::singleShot(0, [&] {
      auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(caixa);
      titulo = caixa->windowTitle();
      for (QAbstractButton* b : caixa->buttons()) botoes += b->text() + QLatin1Char('|');
      caixa->buttons().first()->click();
    });
    telvarim::Confirma(nullptr, QStringLiteral("Continua?"));
    QCOMPARE(titulo, QStringLiteral("Confirm"));
    QVERIFY2(botoes.contains(QStringLiteral("&Yes")) && botoes.contains(QStringLiteral("&No")), qPrintable(botoes));
  }
};

QTEST_MAIN(TestTraducoes)
#include "test_traducoes.moc"
