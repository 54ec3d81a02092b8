// The report windows through what they produce: PDFs of synthetic listings and import results read back
// with poppler's pdftotext, the page range of a printer, and the preview with its "Salvar como PDF".
//
// With TELVARIM_AMOSTRAS_PDF=DIR the sample listing and import result are also written to DIR (listagem.pdf,
// importacao.pdf); docs/listagem.png and docs/importacao.png are their first pages:
//   pdftoppm -png -r 60 -f 1 -singlefile DIR/listagem.pdf docs/listagem
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <cstdio>
#include <memory>
#include <optional>

#include "cp1252.h"
#include "operador.h"
#include "tabelas.h"
#include "urepgeral.h"
#include "urepimportacao.h"
#include "ureptelvarim.h"

using telvarim::Relatorio;
using namespace telvarim::literais;

namespace {

const QDateTime kQuando(QDate(2026, 2, 1), QTime(10, 11, 12));
const QString kData = QStringLiteral("Data: 01/02/2026 10:11:12");

std::string Formata(const char* formato, auto... args) {
  char buf[512];
  std::snprintf(buf, sizeof buf, formato, args...);
  return buf;
}

std::string Brl(long long centavos) {
  std::string inteiro = std::to_string(centavos / 100);
  for (int i = static_cast<int>(inteiro.size()) - 3; i > 0; i -= 3) inteiro.insert(static_cast<std::size_t>(i), ".");
  return inteiro + Formata(",%02lld", centavos % 100);
}

std::string Ajusta(std::string s, std::size_t largura) {
  s.resize(largura, ' ');
  return s;
}

// A listing as the engine builds it: per card type a header, the details, a sub-total; then the grand total.
// Names and descriptions keep their 50 characters, so the lines are as wide as real ones.
Relatorio Listagem(int tipos, int detalhesPorTipo) {
  Relatorio r;
  r.tipo = Relatorio::Tipo::Listagem;
  r.qrlnomecadastro = "Listagem de Cartões a Recarregar"_cp;
  r.qrlrelatorio = "000123 - EMPRESA DE TESTE LTDA";
  r.qrlperiodo = "Arquivo : /tmp/Telvarim/Recebidos/RM_000123_0002_2612150900_1.rec";
  r.lblClassificacao = "Classificação : Por Nome Usuário"_cp;
  r.QRVersao = "2.1.1.C01G - Telvarim";
  long long geral = 0;
  int usuario = 0;
  for (int t = 1; t <= tipos; ++t) {
    const bool creditos = t % 2 == 0;
    r.linhas.push_back(Formata("Tipo Cartão : %-02s - %-30s                     Tipo : %-16s"_cp.c_str(),
                               std::to_string(t).c_str(),
                               Ajusta("VALE TRANSPORTE ÔNIBUS "_cp + std::to_string(t), 50).c_str(),
                               creditos ? "Crédito"_cp.c_str() : "Unidade Tarifária"_cp.c_str()));
    r.linhas.emplace_back();
    long long soma = 0;
    for (int d = 0; d < detalhesPorTipo; ++d, ++usuario) {
      const long long centavos = 1550 + 37LL * usuario;
      soma += centavos;
      r.linhas.push_back(Formata("%-16s %-16s %-20s %-40s %-2s %6s %15s %15s", Formata("%06d", 100 + usuario).c_str(),
                                 Formata("%016d", 900000 + usuario).c_str(), Formata("M%05d", usuario).c_str(),
                                 Ajusta("JOÃO DA SILVA "_cp + std::to_string(usuario), 50).c_str(),
                                 std::to_string(t).c_str(), creditos ? "2,30" : " - ", Brl(centavos).c_str(),
                                 Brl(centavos).c_str()));
    }
    geral += soma;
    r.linhas.emplace_back();
    r.linhas.push_back("Sub-Total :" + std::string(105, ' ') + Formata("%15s", Brl(soma).c_str()) +
                       std::string(10, ' ') + Formata("%-15s", Brl(soma).c_str()));
    r.linhas.emplace_back();
  }
  r.linhas.push_back("Total Geral :" + std::string(128, ' ') + Formata("%-30s", Brl(geral).c_str()));
  r.linhas.emplace_back();
  return r;
}

// An import result: line 0 first (the import leaves it empty; here it carries a marker that must not print).
Relatorio Importacao(int recusados) {
  Relatorio r;
  r.tipo = Relatorio::Tipo::Importacao;
  r.qrlnomecadastro = "Resultado da Importação das Recargas"_cp;
  r.qrlrelatorio = "Empresa : 000123 - EMPRESA DE TESTE LTDA";
  r.qrlperiodo = "Arquivo   : /tmp/valores/RECARGA_000123_2602.rrm";
  r.qrlfiltro = "Importado : 01/02/2026";
  r.QRVersao = "2.1.1.C01G - Telvarim";
  r.cabecalhoColunas = "Linha do Arquivo      Matrícula                                 Erro"_cp;
  r.linhas.push_back("LINHA ZERO NUNCA IMPRESSA");
  const char* mensagens[] = {"Valor infomado não é válido", "Empresa infomada não é um número",
                             "Código do arquivo infomado não é um número"};
  for (int i = 0; i < recusados; ++i)
    r.linhas.push_back(Formata("%13d   %-21s", 3 * i + 2, Formata("%d", 12345 + i).c_str()) +
                       telvarim::Utf8ParaCp1252(mensagens[i % 3]));
  return r;
}

QString Normaliza(const std::string& cp1252) { return telvarim::TextoQt(cp1252).simplified(); }

QString Executa(const QString& programa, const QStringList& argumentos) {
  QProcess p;
  p.start(programa, argumentos);
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return QString();
  return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of each page, as pdftotext lays it out.
QStringList Paginas(const QString& pdf) {
  QString texto = Executa(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  QStringList paginas = texto.split(QLatin1Char('\f'));
  if (!paginas.isEmpty() && paginas.last().trimmed().isEmpty()) paginas.removeLast();
  return paginas;
}

// The body of a page: its lines after the one that carries `marcaFim` (the last of the headers),
// whitespace-normalised, blank lines dropped.
QStringList Corpo(const QString& pagina, const QString& marcaFim) {
  QStringList corpo;
  bool depois = false;
  for (const QString& linha : pagina.split(QLatin1Char('\n'))) {
    const QString n = linha.simplified();
    if (!depois) {
      depois = n.contains(marcaFim);
      continue;
    }
    if (!n.isEmpty()) corpo << n;
  }
  return corpo;
}

QStringList Esperadas(const Relatorio& r, int primeira) {
  QStringList e;
  for (std::size_t i = static_cast<std::size_t>(primeira); i < r.linhas.size(); ++i)
    if (const QString n = Normaliza(r.linhas[i]); !n.isEmpty()) e << n;
  return e;
}

// Page sizes and word boxes from pdftotext -bbox: everything printed lies inside its page.
struct Caixas {
  QList<QSizeF> paginas;
  QStringList foraDaPagina;
};

Caixas LeCaixas(const QString& pdf) {
  const QString html = Executa(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
  static const QRegularExpression rePagina(QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)">)re"));
  static const QRegularExpression rePalavra(QStringLiteral(
      R"re(<word xMin="([\d.-]+)" yMin="([\d.-]+)" xMax="([\d.-]+)" yMax="([\d.-]+)">([^<]*)</word>)re"));
  Caixas c;
  for (const QString& bloco : html.split(QStringLiteral("</page>"))) {
    const auto m = rePagina.match(bloco);
    if (!m.hasMatch()) continue;
    const QSizeF tamanho(m.captured(1).toDouble(), m.captured(2).toDouble());
    c.paginas << tamanho;
    for (auto it = rePalavra.globalMatch(bloco); it.hasNext();) {
      const auto w = it.next();
      if (w.captured(1).toDouble() < 0 || w.captured(2).toDouble() < 0 || w.captured(3).toDouble() > tamanho.width() ||
          w.captured(4).toDouble() > tamanho.height())
        c.foraDaPagina << w.captured(5);
    }
  }
  return c;
}

// The words of the first page with their horizontal extent and line (pdftotext -bbox), in reading order.
struct Palavra {
  QString texto;
  double xMin, xMax, y;
};
QList<Palavra> PalavrasPrimeiraPagina(const QString& pdf) {
  const QString html =
      Executa(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                                            QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")});
  static const QRegularExpression rePalavra(QStringLiteral(
      R"re(<word xMin="([\d.-]+)" yMin="([\d.-]+)" xMax="([\d.-]+)" yMax="([\d.-]+)">([^<]*)</word>)re"));
  QList<Palavra> r;
  for (auto it = rePalavra.globalMatch(html); it.hasNext();) {
    const auto w = it.next();
    r << Palavra{w.captured(5), w.captured(1).toDouble(), w.captured(3).toDouble(), w.captured(2).toDouble()};
  }
  return r;
}

void VerificaCabecalhos(const QStringList& paginas, const Relatorio& r, const QStringList& extras,
                        const QString& data = kData) {
  for (int i = 0; i < paginas.size(); ++i) {
    const QString p = paginas[i].simplified();
    QStringList devem{Normaliza(r.qrlnomecadastro),
                      Normaliza(r.qrlrelatorio),
                      Normaliza(r.qrlperiodo),
                      Normaliza(r.QRVersao),
                      data,
                      QStringLiteral("Página: %1").arg(i + 1)};
    if (!r.qrlfiltro.empty()) devem << Normaliza(r.qrlfiltro);
    devem << extras;
    for (const QString& d : devem)
      QVERIFY2(p.contains(d), qPrintable(QStringLiteral("page %1 lacks \"%2\"").arg(i + 1).arg(d)));
    QVERIFY2(!p.contains(QStringLiteral("Página: %1").arg(i + 2)), qPrintable(QStringLiteral("page %1").arg(i + 1)));
  }
}

}  // namespace

class TesteRelatorios : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir temp_;

  QString Pdf(const QString& nome) const { return temp_.filePath(nome); }

  static void GuardaAmostra(const QString& pdf, const QString& nome) {
    const QByteArray pasta = qgetenv("TELVARIM_AMOSTRAS_PDF");
    if (pasta.isEmpty()) return;
    const QString destino = QDir(QFile::decodeName(pasta)).filePath(nome);
    QFile::remove(destino);
    QVERIFY(QFile::copy(pdf, destino));
  }

 private slots:
  void initTestCase() {
    QVERIFY(temp_.isValid());
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
             "pdftotext is missing: scripts/setup.sh installs poppler-utils");
    QApplication::setApplicationName(QStringLiteral("Telvarim"));
  }

  void listingPrintsEveryLineInOrderUnderAHeaderOnEveryPage() {
    const Relatorio r = Listagem(3, 60);
    QVERIFY(r.linhas.size() > 190);
    const QString pdf = Pdf(QStringLiteral("listagem.pdf"));
    QVERIFY(telvarim::EscrevePdf(r, pdf, kQuando));
    GuardaAmostra(pdf, QStringLiteral("listagem.pdf"));

    const QStringList paginas = Paginas(pdf);
    QVERIFY2(paginas.size() >= 5, qPrintable(QString::number(paginas.size())));
    VerificaCabecalhos(paginas, r,
                       {QStringLiteral("Classificação : Por Nome Usuário"),
                        QStringLiteral("Usuário Cartão Matrícula Nome Tipo Tarifa Valor Total")});
    QStringList corpo;
    for (const QString& p : paginas) {
      const QStringList c = Corpo(p, QStringLiteral("Tarifa Valor Total"));
      QVERIFY2(!c.isEmpty(), "a page without lines");
      corpo << c;
    }
    QCOMPARE(corpo, Esperadas(r, 0));

    // Landscape, and the widest lines (sub-totals, the grand total) lie inside the paper.
    const Caixas c = LeCaixas(pdf);
    QCOMPARE(c.paginas.size(), paginas.size());
    for (const QSizeF& s : c.paginas) QVERIFY(s.width() > s.height());
    QVERIFY2(c.foraDaPagina.isEmpty(), qPrintable(c.foraDaPagina.join(QLatin1Char(' '))));
  }

  // Each column title stands over its column of the detail lines: over the left edge of a text, over the
  // right edge of a figure.
  void listingColumnTitlesStandOverTheirColumns() {
    const Relatorio r = Listagem(2, 3);
    const QString pdf = Pdf(QStringLiteral("colunas.pdf"));
    QVERIFY(telvarim::EscrevePdf(r, pdf, kQuando));
    const QList<Palavra> palavras = PalavrasPrimeiraPagina(pdf);
    auto Linha = [&](const QString& texto) {
      double y = -1;
      for (const Palavra& p : palavras)
        if (p.texto == texto) y = p.y;
      QList<Palavra> l;
      for (const Palavra& p : palavras)
        if (qAbs(p.y - y) < 1) l << p;
      return l;
    };
    // The titles, each a word of its own: none runs into the next.
    const QList<Palavra> titulos = Linha(QStringLiteral("Matrícula"));
    QStringList textos;
    for (const Palavra& p : titulos) textos << p.texto;
    QCOMPARE(textos, (QStringList{"Usuário", "Cartão", "Matrícula", "Nome", "Tipo", "Tarifa", "Valor", "Total"}));
    // The first detail of the second card type, a credit one: code, card, matrícula, the name's four words
    // ("JOÃO DA SILVA 3"), card type, tariff, quantity, total.
    const QList<Palavra> detalhe = Linha(QStringLiteral("000103"));
    QCOMPARE(detalhe.size(), 11);
    enum Alinhamento { Esquerda, Direita, Sobre };  // texts on the left, figures on the right
    const std::pair<int, Alinhamento> colunas[] = {{0, Esquerda}, {1, Esquerda}, {2, Esquerda}, {3, Esquerda},
                                                   {7, Sobre},    {8, Direita},  {9, Direita},  {10, Direita}};
    const double passo = (detalhe[1].xMin - detalhe[0].xMin) / 17;  // the code's 16 characters and a blank
    for (int i = 0; i < 8; ++i) {
      const Palavra& t = titulos[i];
      const Palavra& campo = detalhe[colunas[i].first];
      const QString onde = QStringLiteral("%1 over %2").arg(t.texto, campo.texto);
      switch (colunas[i].second) {
        case Esquerda:
          QVERIFY2(qAbs(t.xMin - campo.xMin) < passo / 2, qPrintable(onde));
          break;
        case Direita:
          QVERIFY2(qAbs(t.xMax - campo.xMax) < passo / 2, qPrintable(onde));
          break;
        case Sobre:
          QVERIFY2(t.xMin < campo.xMax && campo.xMin < t.xMax, qPrintable(onde));
          break;
      }
    }
  }

  void importResultSkipsLineZeroAndKeepsItsColumnHeader_data() {
    QTest::addColumn<int>("recusados");
    QTest::addColumn<int>("paginas");
    QTest::newRow("a few refused records") << 5 << 1;
    QTest::newRow("none: line 0 alone") << 0 << 1;
    QTest::newRow("over two pages") << 90 << 2;
  }

  void importResultSkipsLineZeroAndKeepsItsColumnHeader() {
    QFETCH(int, recusados);
    QFETCH(int, paginas);
    const Relatorio r = Importacao(recusados);
    const QString pdf = Pdf(QStringLiteral("importacao.pdf"));
    QVERIFY(telvarim::EscrevePdf(r, pdf, kQuando));
    if (recusados == 5) GuardaAmostra(pdf, QStringLiteral("importacao.pdf"));

    const QStringList texto = Paginas(pdf);
    QCOMPARE(texto.size(), paginas);
    VerificaCabecalhos(texto, r, {QStringLiteral("Linha do Arquivo Matrícula Erro")});
    QStringList corpo;
    for (const QString& p : texto) corpo << Corpo(p, QStringLiteral("Linha do Arquivo"));
    QCOMPARE(corpo, Esperadas(r, 1));
    QVERIFY(!texto.join(QString()).contains(QStringLiteral("LINHA ZERO")));

    const Caixas c = LeCaixas(pdf);
    for (const QSizeF& s : c.paginas) QVERIFY(s.width() < s.height());
    QVERIFY2(c.foraDaPagina.isEmpty(), qPrintable(c.foraDaPagina.join(QLatin1Char(' '))));
  }

  void reportsWithoutLinesStillPrintTheirHeader() {
    Relatorio listagem = Listagem(0, 0);
    listagem.linhas.clear();
    Relatorio importacao = Importacao(0);
    importacao.linhas.clear();
    for (const Relatorio& r : {listagem, importacao}) {
      const QString pdf = Pdf(QStringLiteral("vazio.pdf"));
      QVERIFY(telvarim::EscrevePdf(r, pdf, kQuando));
      const QStringList paginas = Paginas(pdf);
      QCOMPARE(paginas.size(), 1);
      VerificaCabecalhos(paginas, r, {});
    }
  }

  void printerPageRangeKeepsTheReportsPageNumbers() {
    Tfreptelvarim rep;
    rep.Preenche(Listagem(3, 60));
    const QString pdf = Pdf(QStringLiteral("faixa.pdf"));
    {
      QPdfWriter w(pdf);
      w.setPageLayout(rep.Layout());
      QPageRanges faixa;
      faixa.addRange(2, 3);
      w.setPageRanges(faixa);
      QVERIFY(rep.Imprime(&w, kQuando));
    }
    const QStringList paginas = Paginas(pdf);
    QCOMPARE(paginas.size(), 2);
    QVERIFY(paginas[0].contains(QStringLiteral("Página: 2")));
    QVERIFY(paginas[1].contains(QStringLiteral("Página: 3")));
  }

  void pdfThatCannotBeWrittenFailsAndLeavesNoFile() {
    const QString pdf = Pdf(QStringLiteral("nao/existe/listagem.pdf"));
    QVERIFY(!telvarim::EscrevePdf(Listagem(1, 3), pdf, kQuando));
    QVERIFY(!QFile::exists(pdf));
  }

  // The preview opens with the page as wide as the window and a close button in sight; its "Salvar como PDF"
  // dialog opens in the work root.
  void previewOpensAtPageWidthWithACloseButton() {
    const QString raiz = temp_.filePath(QStringLiteral("Telvarim"));
    QVERIFY(QDir().mkpath(raiz));
    telvarim::Programa().Pastas = telvarim::PastasTrabalho(std::filesystem::path(raiz.toStdU16String()));
    QPrintPreviewWidget::ZoomMode modo = QPrintPreviewWidget::CustomZoom;
    QString pastaPdf;
    bool botaoVisivel = false;
    QTimer::singleShot(0, this, [&] {
      auto* previa = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
      if (!previa) return;
      if (auto* w = previa->findChild<QPrintPreviewWidget*>()) modo = w->zoomMode();
      for (QAction* a : previa->findChild<QToolBar*>()->actions())
        if (a->text() == QStringLiteral("Salvar como PDF")) {
          QTimer::singleShot(0, previa, [&] {
            if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
              pastaPdf = d->directory().absolutePath();
              d->reject();
            }
          });
          a->trigger();
        }
      auto* fechar = previa->findChild<QPushButton*>(QStringLiteral("btnFecharPrevia"));
      if (!fechar) return;
      botaoVisivel = fechar->isVisible() && fechar->text() == QStringLiteral("&Fechar");
      QTest::mouseClick(fechar, Qt::LeftButton);
    });
    QTimer::singleShot(30000, this, [] {
      while (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    telvarim::MostraPrevia(Listagem(1, 3), nullptr);  // returns once the button closed it
    QCOMPARE(modo, QPrintPreviewWidget::FitToWidth);
    QVERIFY(botaoVisivel);
    QCOMPARE(pastaPdf, raiz);
  }

  // The preview opens modal on the same painting as the PDF, and its "Salvar como PDF" writes the file
  // the operator names.
  void previewOpensAndSavesAsPdf() {
    const Relatorio r = Listagem(3, 60);
    const QString pdf = Pdf(QStringLiteral("da_previa.pdf"));
    int paginasPrevia = -1;
    bool achouAcao = false, modal = false;
    QTimer::singleShot(0, this, [&] {
      auto* previa = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
      if (!previa) return;
      modal = previa->isModal() && previa->isVisible();
      if (auto* w = previa->findChild<QPrintPreviewWidget*>()) {
        w->updatePreview();
        paginasPrevia = w->pageCount();
      }
      QAction* salvar = nullptr;
      for (QAction* a : previa->findChild<QToolBar*>()->actions())
        if (a->text() == QStringLiteral("Salvar como PDF")) salvar = a;
      achouAcao = salvar != nullptr;
      if (salvar) {
        QTimer::singleShot(0, previa, [&] {
          if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            d->selectFile(pdf);
            static_cast<QDialog*>(d)->accept();  // QFileDialog takes the typed name first
          }
        });
        salvar->trigger();
      }
      previa->reject();
    });
    // Whatever happens above, nothing stays open.
    QTimer::singleShot(30000, this, [] {
      while (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    const QDate antes = QDate::currentDate();
    telvarim::MostraPrevia(r, nullptr);
    const QDate depois = QDate::currentDate();

    QVERIFY(modal);
    QVERIFY(achouAcao);
    QVERIFY(QFile::exists(pdf));
    const QStringList paginas = Paginas(pdf);
    QCOMPARE(paginasPrevia, paginas.size());
    // Printed at the time the preview opened.
    const QString data = QStringLiteral("Data: ");
    VerificaCabecalhos(paginas, r, {}, antes == depois ? data + antes.toString(QStringLiteral("dd/MM/yyyy")) : data);
  }
};

QTEST_MAIN(TesteRelatorios)
#include "test_relatorios.moc"
