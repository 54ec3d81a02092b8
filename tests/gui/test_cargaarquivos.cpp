// The disk-exchange window with real widgets on temporary folders; the operator's answers come from a
// script, and the dialogs the operator really sees are checked on their own.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <memory>

#include "cp1252.h"
#include "listapastas.h"
#include "tabelas.h"
#include "trocaarquivos.h"
#include "ucargaarquivos.h"

using telvarim::ListaPastas;

namespace {

class OperadorRoteiro : public telvarim::OperadorTroca {
 public:
  std::deque<bool> disco, apagar;
  QStringList perguntasDisco, perguntasApagar, mensagens, advertencias;

  bool ConfirmaDisco(const std::string& p) override { return Responde(disco, perguntasDisco, p); }
  bool ConfirmaApagar(const std::string& p) override { return Responde(apagar, perguntasApagar, p); }
  void Mensagem(const std::string& t) override { mensagens << Qt_(t); }
  void Advertencia(const std::string& t) override { advertencias << Qt_(t); }

  static QString Qt_(const std::string& cp) { return QString::fromStdU16String(telvarim::Cp1252ParaUtf16(cp)); }

 private:
  static bool Responde(std::deque<bool>& fila, QStringList& vistas, const std::string& p) {
    vistas << Qt_(p);
    if (fila.empty()) return false;
    const bool r = fila.front();
    fila.pop_front();
    return r;
  }
};

QStringList Textos(const QListWidget* l) {
  QStringList r;
  for (int i = 0; i < l->count(); ++i) r << l->item(i)->text();
  return r;
}

void Seleciona(QListWidget* l, const QStringList& nomes) {
  l->clearSelection();
  for (int i = 0; i < l->count(); ++i)
    if (nomes.contains(l->item(i)->text())) l->item(i)->setSelected(true);
}

QStringList Arquivos(const QString& pasta) { return QDir(pasta).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase); }

const QString kPedidoA = QStringLiteral("RM_001234_0007_2612101100_2.REC");
const QString kPedidoB = QStringLiteral("rm_000099_0003_2612101105_2.rec");

}  // namespace

class TesteCargaArquivos : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> temp_;
  QString raiz_, disco_, destino_;
  std::unique_ptr<Tfcargaarquivos> janela_;
  OperadorRoteiro op_;

  QString Caminho(const QString& relativo) const { return temp_->filePath(relativo); }
  void Grava(const QString& relativo, const QByteArray& conteudo) {
    const QString p = Caminho(relativo);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(conteudo);
  }
  QByteArray Le(const QString& relativo) const {
    QFile f(Caminho(relativo));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<sem arquivo>");
  }
  template <typename T>
  T* Filho(const char* nome) {
    T* w = janela_->findChild<T*>(QLatin1String(nome));
    if (!w) qFatal("no child %s", nome);
    return w;
  }

 private slots:
  void init() {
    temp_ = std::make_unique<QTemporaryDir>();
    QVERIFY(temp_->isValid());
    raiz_ = Caminho(QStringLiteral("raiz"));
    disco_ = Caminho(QStringLiteral("disco"));
    destino_ = Caminho(QStringLiteral("destino"));
    telvarim::Programa().Pastas = telvarim::PastasTrabalho(QFile::encodeName(raiz_).toStdString());
    QApplication::setApplicationName(QStringLiteral("Telvarim"));
    QDir().mkpath(raiz_ + QStringLiteral("/Recebidos"));
    QDir().mkpath(destino_);
    Grava(QStringLiteral("raiz/Gerados/") + kPedidoA, "pedido A");
    Grava(QStringLiteral("raiz/Gerados/") + kPedidoB, "pedido B");
    Grava(QStringLiteral("raiz/Gerados/RM_000001_0001_2612101100_4.REC"), "entregue");
    Grava(QStringLiteral("raiz/Gerados/RM_001234_0007_2612101100_2.LOG"), "log");
    Grava(QStringLiteral("disco/b_1.rec"), "recebido b");
    Grava(QStringLiteral("disco/A_1.REC"), "recebido a");
    Grava(QStringLiteral("disco/c_2.rec"), "outro");
    // The load side opens at the process's current folder.
    QVERIFY(QDir::setCurrent(disco_));
    op_ = OperadorRoteiro();
    janela_ = std::make_unique<Tfcargaarquivos>();
    janela_->DefineOperador(&op_);
    janela_->resize(620, 500);
    janela_->show();
    QVERIFY(QTest::qWaitForWindowExposed(janela_.get()));
  }

  void cleanup() {
    janela_.reset();
    QDir::setCurrent(QDir::tempPath());
    temp_.reset();
  }

  void openingListsBothSidesWithTheirCounts() {
    QCOMPARE(janela_->windowTitle(), QStringLiteral("Cargas de Arquivos"));
    auto* carga = Filho<QListWidget>("FileListBox1");
    auto* gerados = Filho<QListWidget>("FileListBox2");
    QCOMPARE(Textos(carga), (QStringList{QStringLiteral("A_1.REC"), QStringLiteral("b_1.rec")}));
    QCOMPARE(Filho<QLabel>("lblarqcarga")->text(), QStringLiteral("2"));
    QCOMPARE(Textos(gerados), (QStringList{kPedidoB, kPedidoA}));
    QCOMPARE(Filho<QLabel>("lblarqgerados")->text(), QStringLiteral("2"));
    QCOMPARE(carga->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(gerados->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(Filho<ListaPastas>("DirectoryListBox1")->Pasta(), QDir(disco_).canonicalPath());
    QVERIFY(Filho<QComboBox>("DriveComboBox1")->count() >= 1);
    QCOMPARE(Filho<QPushButton>("btnprocesso_in")->text(), QStringLiteral("Carregar"));
    QCOMPARE(Filho<QPushButton>("BitBtn1")->text(), QStringLiteral("Gerar"));
  }

  void nothingSelectedOnEitherSideOnlyTellsSo() {
    for (const char* botao : {"btnprocesso_in", "BitBtn1"}) {
      QTest::mouseClick(Filho<QPushButton>(botao), Qt::LeftButton);
      QCOMPARE(op_.mensagens.takeLast(), QStringLiteral("Selecione os arquivos a carregar"));
    }
    QVERIFY(op_.perguntasDisco.isEmpty());
    QCOMPARE(Arquivos(disco_).size(), 3);
    QVERIFY(Arquivos(raiz_ + QStringLiteral("/Recebidos")).isEmpty());
  }

  void loadCopiesMarksAndRereadsTheList() {
    Grava(QStringLiteral("raiz/Recebidos/A_1.REC"), "copia antiga");
    auto* carga = Filho<QListWidget>("FileListBox1");
    Seleciona(carga, {QStringLiteral("A_1.REC")});
    QTest::mouseClick(Filho<QPushButton>("btnprocesso_in"), Qt::LeftButton);

    QCOMPARE(Le(QStringLiteral("raiz/Recebidos/A_1.REC")), QByteArray("recebido a"));
    QCOMPARE(Arquivos(disco_),
             (QStringList{QStringLiteral("A_4.REC"), QStringLiteral("b_1.rec"), QStringLiteral("c_2.rec")}));
    QCOMPARE(Textos(carga), QStringList{QStringLiteral("b_1.rec")});
    QCOMPARE(Filho<QLabel>("lblarqcarga")->text(), QStringLiteral("1"));
    QCOMPARE(op_.mensagens, QStringList{QStringLiteral("Arquivos Processados com Sucesso!")});
    QVERIFY(op_.advertencias.isEmpty());
  }

  void loadThatCannotCopyWarnsWithTheFileName() {
    QVERIFY(QDir(raiz_ + QStringLiteral("/Recebidos")).removeRecursively());
    Seleciona(Filho<QListWidget>("FileListBox1"), {QStringLiteral("b_1.rec")});
    QTest::mouseClick(Filho<QPushButton>("btnprocesso_in"), Qt::LeftButton);
    QVERIFY(op_.mensagens.isEmpty());
    QCOMPARE(op_.advertencias.size(), 1);
    QVERIFY2(op_.advertencias[0].contains(QStringLiteral("b_1.rec: pasta de destino não encontrada")),
             qPrintable(op_.advertencias[0]));
    QVERIFY(Arquivos(disco_).contains(QStringLiteral("b_1.rec")));
  }

  void openingAnotherFolderRereadsTheLoadList() {
    Grava(QStringLiteral("outra/z_1.rec"), "z");
    Grava(QStringLiteral("outra/y_1.rec"), "y");
    Grava(QStringLiteral("outra/x_1.rec"), "x");
    auto* pastas = Filho<ListaPastas>("DirectoryListBox1");
    pastas->AbrePasta(Caminho(QStringLiteral("outra")));
    auto* carga = Filho<QListWidget>("FileListBox1");
    QCOMPARE(Textos(carga),
             (QStringList{QStringLiteral("x_1.rec"), QStringLiteral("y_1.rec"), QStringLiteral("z_1.rec")}));
    QCOMPARE(Filho<QLabel>("lblarqcarga")->text(), QStringLiteral("3"));
    QCOMPARE(carga->currentRow(), 0);
    QVERIFY(carga->selectedItems().isEmpty());

    // The folder list: the chain down to the opened folder, then its subfolders; Enter on one opens it.
    QDir().mkpath(Caminho(QStringLiteral("outra/sub")));
    pastas->AbrePasta(Caminho(QStringLiteral("outra")));
    QCOMPARE(pastas->item(pastas->count() - 1)->text().trimmed(), QStringLiteral("sub"));
    pastas->setCurrentRow(pastas->count() - 1);
    QTest::keyClick(pastas, Qt::Key_Return);
    QCOMPARE(pastas->Pasta(), QDir(Caminho(QStringLiteral("outra/sub"))).absolutePath());
    QVERIFY(Textos(carga).isEmpty());
    QCOMPARE(Filho<QLabel>("lblarqcarga")->text(), QStringLiteral("0"));
  }

  void generateAsksPerCompanyClearsTheDiskAndSkipsOnCancel() {
    Grava(QStringLiteral("destino/velho_1.rec"), "velho");
    Grava(QStringLiteral("destino/OUTRO_4.REC"), "outro");
    Grava(QStringLiteral("destino/leia.txt"), "leia");
    // The destination is the highlighted entry of the folder list, opened or not.
    auto* pastas = Filho<ListaPastas>("DirectoryListBox2");
    pastas->AbrePasta(temp_->path());
    const auto achados = pastas->findItems(QStringLiteral("destino"), Qt::MatchEndsWith);
    QCOMPARE(achados.size(), 1);
    pastas->setCurrentItem(achados[0]);
    QCOMPARE(pastas->Pasta(), QDir(temp_->path()).absolutePath());

    auto* gerados = Filho<QListWidget>("FileListBox2");
    Seleciona(gerados, {kPedidoA, kPedidoB});
    op_.disco = {false, true};  // the first disk (000099) is not at hand
    op_.apagar = {true};
    QTest::mouseClick(Filho<QPushButton>("BitBtn1"), Qt::LeftButton);

    const QString drive = Filho<QComboBox>("DriveComboBox2")->currentText();
    QVERIFY(!drive.isEmpty());
    QCOMPARE(op_.perguntasDisco,
             (QStringList{QStringLiteral("       Coloque o Disco da Empresa \n000099 \n      no Drive ") + drive +
                              QLatin1Char('!'),
                          QStringLiteral("       Coloque o Disco da Empresa \n001234 \n      no Drive ") + drive +
                              QLatin1Char('!')}));
    QCOMPARE(op_.perguntasApagar,
             QStringList{QStringLiteral("No local escolhido há arquivos de Recarga. Apaga os arquivos ?")});
    QCOMPARE(Arquivos(destino_), (QStringList{QStringLiteral("leia.txt"), kPedidoA}));
    QCOMPARE(Le(QStringLiteral("destino/") + kPedidoA), QByteArray("pedido A"));
    QCOMPARE(Arquivos(raiz_ + QStringLiteral("/Gerados")),
             (QStringList{QStringLiteral("RM_000001_0001_2612101100_4.REC"), kPedidoB,
                          QStringLiteral("RM_001234_0007_2612101100_2.LOG"),
                          QStringLiteral("RM_001234_0007_2612101100_4.REC")}));
    QCOMPARE(Textos(gerados), QStringList{kPedidoB});
    QCOMPARE(Filho<QLabel>("lblarqgerados")->text(), QStringLiteral("2"));  // the count from the opening
    QCOMPARE(op_.mensagens, QStringList{QStringLiteral("Arquivos Processados com Sucesso!")});
  }

  void changingTheDestinationLeavesTheGeneratedList() {
    auto* gerados = Filho<QListWidget>("FileListBox2");
    Seleciona(gerados, {kPedidoA});
    auto* pastas = Filho<ListaPastas>("DirectoryListBox2");
    pastas->AbrePasta(destino_);
    auto* drives = Filho<QComboBox>("DriveComboBox2");
    // Another drive when the machine has one; otherwise the only one chosen again.
    const int outro = (drives->currentIndex() + 1) % drives->count();
    if (outro == drives->currentIndex()) drives->setCurrentIndex(-1);
    drives->setCurrentIndex(outro);
    QCOMPARE(Textos(gerados), (QStringList{kPedidoB, kPedidoA}));
    QCOMPARE(gerados->selectedItems().size(), 1);
    QCOMPARE(gerados->selectedItems()[0]->text(), kPedidoA);
    // Choosing a drive moves the folder list to its root.
    QCOMPARE(pastas->Pasta(), QDir::cleanPath(drives->currentData().toString()));
  }

  void generateThatCannotCopyWarns() {
    auto* pastas = Filho<ListaPastas>("DirectoryListBox2");
    pastas->AbrePasta(destino_);
    QVERIFY(QDir(destino_).removeRecursively());  // the disk was taken out
    Seleciona(Filho<QListWidget>("FileListBox2"), {kPedidoA});
    op_.disco = {true};
    QTest::mouseClick(Filho<QPushButton>("BitBtn1"), Qt::LeftButton);
    QVERIFY(op_.mensagens.isEmpty());
    QCOMPARE(op_.advertencias.size(), 1);
    QVERIFY2(op_.advertencias[0].startsWith(QStringLiteral("Arquivo não copiado:\n") + kPedidoA + QStringLiteral(": ")),
             qPrintable(op_.advertencias[0]));
    QVERIFY(Arquivos(raiz_ + QStringLiteral("/Gerados")).contains(kPedidoA));
  }

  void theDialogsHaveTheirTitlesButtonsAndIcons_data() {
    QTest::addColumn<int>("qual");
    QTest::addColumn<QString>("titulo");
    QTest::addColumn<int>("icone");
    QTest::addColumn<QStringList>("botoes");
    QTest::addColumn<QString>("clicar");
    QTest::addColumn<bool>("resposta");
    QTest::newRow("disk, yes") << 0 << "Confirm" << int(QMessageBox::Question) << QStringList{"&Yes", "Cancel"}
                               << "&Yes" << true;
    QTest::newRow("disk, cancel") << 0 << "Confirm" << int(QMessageBox::Question) << QStringList{"&Yes", "Cancel"}
                                  << "Cancel" << false;
    QTest::newRow("delete, yes") << 1 << "Error" << int(QMessageBox::Critical) << QStringList{"&Yes", "&No"} << "&Yes"
                                 << true;
    QTest::newRow("delete, no") << 1 << "Error" << int(QMessageBox::Critical) << QStringList{"&No", "&Yes"} << "&No"
                                << false;
    QTest::newRow("notice") << 2 << "Telvarim" << int(QMessageBox::NoIcon) << QStringList{"OK"} << "OK" << false;
    QTest::newRow("warning") << 3 << "Warning" << int(QMessageBox::Warning) << QStringList{"OK"} << "OK" << false;
  }

  void theDialogsHaveTheirTitlesButtonsAndIcons() {
    QFETCH(int, qual);
    QFETCH(QString, titulo);
    QFETCH(int, icone);
    QFETCH(QStringList, botoes);
    QFETCH(QString, clicar);
    QFETCH(bool, resposta);
    const std::string texto = "No local escolhido h\xE1 arquivos";
    QString vistoTitulo, vistoTexto;
    int vistoIcone = -1;
    QStringList vistosBotoes;
    bool achou = false;
    QTimer::singleShot(0, this, [&] {
      auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!caixa) return;
      achou = true;
      vistoTitulo = caixa->windowTitle();
      vistoTexto = caixa->text();
      vistoIcone = caixa->icon();
      for (QAbstractButton* b : caixa->buttons()) vistosBotoes << b->text();
      for (QAbstractButton* b : caixa->buttons())
        if (b->text() == clicar) b->click();
    });
    telvarim::DialogosTroca dialogos(janela_.get());
    bool r = false;
    switch (qual) {
      case 0:
        r = dialogos.ConfirmaDisco(texto);
        break;
      case 1:
        r = dialogos.ConfirmaApagar(texto);
        break;
      case 2:
        dialogos.Mensagem(texto);
        break;
      default:
        dialogos.Advertencia(texto);
        break;
    }
    QVERIFY(achou);
    QCOMPARE(vistoTitulo, titulo);
    QCOMPARE(vistoTexto, QStringLiteral("No local escolhido há arquivos"));
    QCOMPARE(vistoIcone, icone);
    vistosBotoes.sort();
    botoes.sort();
    QCOMPARE(vistosBotoes, botoes);
    QCOMPARE(r, resposta);
  }
};

QTEST_MAIN(TesteCargaArquivos)
#include "test_cargaarquivos.moc"
