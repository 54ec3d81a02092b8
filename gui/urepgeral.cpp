#include "urepgeral.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLayout>
#include <QMessageBox>
#include <QPageRanges>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <algorithm>
#include <cmath>

#include "cp1252.h"
#include "operador.h"
#include "tabelas.h"
#include "urepimportacao.h"
#include "ureptelvarim.h"

using telvarim::LinhaRelatorio;
using telvarim::PintorRelatorio;
using telvarim::RotuloRelatorio;

namespace {

constexpr double kPixelsPorPolegada = 96.0;  // the form's unit
constexpr int kResolucaoPdf = 1200;

bool TemAplicacaoGrafica() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

}  // namespace

namespace telvarim {

QString TextoQt(const std::string& cp1252) { return QString::fromStdU16String(Cp1252ParaUtf16(cp1252)); }

QFont FonteArial(double pontos, bool negrito, bool italico) {
  QFont f;
  f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(pontos);
  f.setBold(negrito);
  f.setItalic(italico);
  return f;
}

QFont FonteCourierNew(double pontos) {
  QFont f;
  f.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("Cousine")});
  // Report lines are plain Latin text in one fixed pitch: there is nothing to shape, and skipping it saves
  // a fifth of the time a long listing takes to write.
  f.setStyleHint(QFont::TypeWriter, QFont::PreferNoShaping);
  f.setKerning(false);
  f.setFixedPitch(true);
  f.setPointSizeF(pontos);
  return f;
}

PintorRelatorio::PintorRelatorio(QPainter& pintor, double escala, double largura)
    : pintor_(pintor), escala_(escala), largura_(largura) {}

void PintorRelatorio::Texto(const RotuloRelatorio& rotulo, double topoBanda) const {
  Texto(rotulo, topoBanda, rotulo.texto);
}

void PintorRelatorio::Texto(const RotuloRelatorio& rotulo, double topoBanda, const QString& texto) const {
  if (texto.isEmpty()) return;
  if (pintor_.font() != rotulo.fonte) pintor_.setFont(rotulo.fonte);
  const QFontMetricsF fm(pintor_.font(), pintor_.device());
  double x = rotulo.left * escala_;
  switch (rotulo.alinhamento) {
    case RotuloRelatorio::Alinhamento::Esquerda:
      break;
    case RotuloRelatorio::Alinhamento::Centro:
      x = (largura_ * escala_ - fm.horizontalAdvance(texto)) / 2;
      break;
    case RotuloRelatorio::Alinhamento::Direita:
      x = (largura_ - rotulo.left) * escala_ - fm.horizontalAdvance(texto);
      break;
  }
  pintor_.drawText(QPointF(x, (topoBanda + rotulo.top) * escala_ + fm.ascent()), texto);
}

double PintorRelatorio::LarguraTexto(const QFont& fonte, const QString& texto) const {
  return QFontMetricsF(fonte, pintor_.device()).horizontalAdvance(texto) / escala_;
}

void PintorRelatorio::Linha(const LinhaRelatorio& linha, double topoBanda) const {
  const double largura = linha.width > 0 ? linha.width : largura_ - linha.left;
  // A pen rather than a filled strip: a preview zoomed out still shows the rule as one pixel.
  pintor_.setPen(QPen(Qt::black, escala_, Qt::SolidLine, Qt::FlatCap));
  const double y = (topoBanda + linha.top + 0.5) * escala_;
  pintor_.drawLine(QPointF(linha.left * escala_, y), QPointF((linha.left + largura) * escala_, y));
}

}  // namespace telvarim

Tfrepgeral::Tfrepgeral(QPageLayout::Orientation orientacao) : orientacao_(orientacao) {
  using A = RotuloRelatorio::Alinhamento;
  using telvarim::FonteArial;
  QRVersao = {.nome = QStringLiteral("QRVersao"), .fonte = FonteArial(8), .left = 8, .top = 4};
  qrsData = {.nome = QStringLiteral("qrsData"), .fonte = FonteArial(8), .left = 8, .top = 4, .alinhamento = A::Direita};
  qrsPagina = {
      .nome = QStringLiteral("qrsPagina"), .fonte = FonteArial(8), .left = 8, .top = 18, .alinhamento = A::Direita};
  qrlnomecadastro = {
      .nome = QStringLiteral("qrlnomecadastro"), .fonte = FonteArial(14, true), .top = 4, .alinhamento = A::Centro};
  qrlrelatorio = {
      .nome = QStringLiteral("qrlrelatorio"), .fonte = FonteArial(12, true), .top = 28, .alinhamento = A::Centro};
  qrlperiodo = {
      .nome = QStringLiteral("qrlperiodo"), .fonte = FonteArial(10, false, true), .top = 48, .alinhamento = A::Centro};
  qrlfiltro = {.nome = QStringLiteral("qrlfiltro"), .fonte = FonteArial(10), .left = 8, .top = 66};
  qrsLinhaCabecalho = LinhaRelatorio{0, 86, 0};
}

Tfrepgeral::~Tfrepgeral() = default;

void Tfrepgeral::Preenche(const telvarim::Relatorio& r) {
  qrlnomecadastro.texto = telvarim::TextoQt(r.qrlnomecadastro);
  qrlrelatorio.texto = telvarim::TextoQt(r.qrlrelatorio);
  qrlperiodo.texto = telvarim::TextoQt(r.qrlperiodo);
  qrlfiltro.texto = telvarim::TextoQt(r.qrlfiltro);
  QRVersao.texto = telvarim::TextoQt(r.QRVersao);
}

QPageLayout Tfrepgeral::Layout() const {
  return QPageLayout(QPageSize(QPageSize::A4), orientacao_, QMarginsF(kMargemMm, kMargemMm, kMargemMm, kMargemMm),
                     QPageLayout::Millimeter);
}

Tfrepgeral::Paginacao Tfrepgeral::Divide(double alturaUtil) const {
  Paginacao pg;
  const double cabecalhos = AlturaCabecalho() + AlturaCabecalhoColunas();
  // A page too short for even one band still takes one, or the report would never end.
  pg.detalhesPorPagina = std::max(1, static_cast<int>(std::floor((alturaUtil - cabecalhos) / AlturaDetalhe())));
  const int n = QuantidadeDetalhes();
  pg.paginasDetalhe = std::max(1, (n + pg.detalhesPorPagina - 1) / pg.detalhesPorPagina);
  const int naUltima = n - (pg.paginasDetalhe - 1) * pg.detalhesPorPagina;
  pg.sumarioSozinho =
      AlturaSumario() > 0 && naUltima > 0 && cabecalhos + naUltima * AlturaDetalhe() + AlturaSumario() > alturaUtil;
  return pg;
}

int Tfrepgeral::QuantidadePaginas(double alturaUtil) const {
  const Paginacao pg = Divide(alturaUtil);
  return pg.paginasDetalhe + (pg.sumarioSozinho ? 1 : 0);
}

void Tfrepgeral::PintaCabecalho(const PintorRelatorio& p, int pagina, const QDateTime& quando) const {
  p.Texto(QRVersao, 0);
  p.Texto(qrsData, 0, QStringLiteral("Data: ") + quando.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")));
  p.Texto(qrsPagina, 0, QStringLiteral("Página: ") + QString::number(pagina));
  p.Texto(qrlnomecadastro, 0);
  p.Texto(qrlrelatorio, 0);
  p.Texto(qrlperiodo, 0);
  p.Texto(qrlfiltro, 0);
  p.Linha(qrsLinhaCabecalho, 0);
  PintaCabecalhoProprio(p, 0);
}

bool Tfrepgeral::Pinta(QPainter& pintor, QPagedPaintDevice* dispositivo, const QDateTime& quando) const {
  const double escala = dispositivo->logicalDpiY() / kPixelsPorPolegada;
  const QRectF util = dispositivo->pageLayout().paintRectPixels(dispositivo->logicalDpiY());
  const PintorRelatorio p(pintor, escala, util.width() / escala);

  const Paginacao pg = Divide(util.height() / escala);
  const int n = QuantidadeDetalhes();
  const int paginas = pg.paginasDetalhe + (pg.sumarioSozinho ? 1 : 0);
  const QPageRanges faixas = dispositivo->pageRanges();
  bool algumaPintada = false;
  for (int pagina = 1; pagina <= paginas; ++pagina) {
    if (!faixas.isEmpty() && !faixas.contains(pagina)) continue;
    if (algumaPintada && !dispositivo->newPage()) return false;
    algumaPintada = true;
    PintaCabecalho(p, pagina, quando);
    double topo = AlturaCabecalho();
    PintaCabecalhoColunas(p, topo);
    topo += AlturaCabecalhoColunas();
    const int primeiro = std::min(n, (pagina - 1) * pg.detalhesPorPagina);
    const int ultimo = std::min(n, primeiro + pg.detalhesPorPagina);
    for (int i = primeiro; i < ultimo; ++i, topo += AlturaDetalhe()) PintaDetalhe(p, topo, i);
    if (pagina == paginas && AlturaSumario() > 0) PintaSumario(p, topo);
  }
  return true;
}

bool Tfrepgeral::Imprime(QPagedPaintDevice* dispositivo, const QDateTime& quando) const {
  if (!dispositivo || !TemAplicacaoGrafica()) return false;
  QPainter pintor;
  if (!pintor.begin(dispositivo)) return false;
  const bool ok = Pinta(pintor, dispositivo, quando);
  return pintor.end() && ok;
}

bool Tfrepgeral::EscrevePdf(const QString& caminho, const QDateTime& quando) const {
  if (!TemAplicacaoGrafica()) return false;
  bool ok = false;
  {
    QPdfWriter pdf(caminho);
    pdf.setResolution(kResolucaoPdf);
    pdf.setPageLayout(Layout());
    pdf.setTitle(qrlnomecadastro.texto);
    pdf.setCreator(QStringLiteral("Telvarim"));
    QPainter pintor;
    // Opening the file is the painter's first step: a path that cannot be created is left as it was.
    if (!pintor.begin(&pdf)) return false;
    ok = Pinta(pintor, &pdf, quando);
    ok = pintor.end() && ok;
  }
  // The writer has closed the file; a PDF cut short must not pass for a report.
  if (ok && QFileInfo(caminho).size() > 0) return true;
  QFile::remove(caminho);
  return false;
}

void Tfrepgeral::SalvaComoPdf(QWidget* pai, const QDateTime& quando) const {
  // The folder the last PDF went to, while it exists; else the work root.
  static QString ultimaPasta;
  QFileDialog dialogo(pai, QStringLiteral("Salvar como PDF"));
  dialogo.setDirectory(!ultimaPasta.isEmpty() && QFileInfo(ultimaPasta).isDir()
                           ? ultimaPasta
                           : QString::fromStdU16String(telvarim::Programa().Pastas.Raiz().u16string()));
  dialogo.setAcceptMode(QFileDialog::AcceptSave);
  dialogo.setNameFilter(QStringLiteral("Arquivos PDF (*.pdf)"));
  dialogo.setDefaultSuffix(QStringLiteral("pdf"));
  dialogo.selectFile(qrlnomecadastro.texto.isEmpty() ? QStringLiteral("relatorio.pdf")
                                                     : qrlnomecadastro.texto + QStringLiteral(".pdf"));
  if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) return;
  const QString caminho = dialogo.selectedFiles().constFirst();
  ultimaPasta = QFileInfo(caminho).absolutePath();
  if (!EscrevePdf(caminho, quando)) {
    QMessageBox caixa(QMessageBox::Warning, QStringLiteral("Warning"),
                      QStringLiteral("Não foi possível gravar o arquivo ") + QDir::toNativeSeparators(caminho),
                      QMessageBox::Ok, pai);
    caixa.exec();
  }
}

void Tfrepgeral::MostraPrevia(QWidget* pai) const {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  const QDateTime quando = QDateTime::currentDateTime();
  QPrinter impressora(QPrinter::HighResolution);
  impressora.setPageLayout(Layout());
  impressora.setDocName(qrlnomecadastro.texto);
  QPrintPreviewDialog previa(&impressora, pai);
  previa.setObjectName(QStringLiteral("previa"));
  previa.setWindowTitle(qrlnomecadastro.texto.isEmpty() ? QStringLiteral("Visualização") : qrlnomecadastro.texto);
  QObject::connect(&previa, &QPrintPreviewDialog::paintRequested, [this, quando](QPrinter* p) { Imprime(p, quando); });
  if (auto* barra = previa.findChild<QToolBar*>()) {
    barra->addSeparator();
    QAction* salvar =
        barra->addAction(previa.style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Salvar como PDF"));
    salvar->setObjectName(QStringLiteral("acaoSalvarPdf"));
    QObject::connect(salvar, &QAction::triggered, &previa, [this, &previa, quando] { SalvaComoPdf(&previa, quando); });
  }
  // A way out that reads as one, where a dialog keeps it.
  if (QLayout* layout = previa.layout()) {
    auto* botoes = new QDialogButtonBox(&previa);
    QPushButton* fechar = botoes->addButton(QStringLiteral("&Fechar"), QDialogButtonBox::RejectRole);
    fechar->setObjectName(QStringLiteral("btnFecharPrevia"));
    QObject::connect(botoes, &QDialogButtonBox::rejected, &previa, &QDialog::reject);
    layout->addWidget(botoes);
  }
  // The page as wide as the window lets the lines be read; the window takes most of the screen.
  if (auto* pagina = previa.findChild<QPrintPreviewWidget*>()) pagina->fitToWidth();
  for (QAction* a : previa.findChildren<QAction*>())
    if (a->objectName() == QLatin1String("fitWidthAction")) a->setChecked(true);
  if (const QScreen* tela = pai ? pai->screen() : QGuiApplication::primaryScreen())
    previa.resize(tela->availableGeometry().size() * 0.9);
  previa.exec();
}

namespace telvarim {

std::unique_ptr<Tfrepgeral> CriaRelatorio(const Relatorio& r) {
  std::unique_ptr<Tfrepgeral> relatorio;
  if (r.tipo == Relatorio::Tipo::Importacao)
    relatorio = std::make_unique<Tfrepimportacao>();
  else
    relatorio = std::make_unique<Tfreptelvarim>();
  relatorio->Preenche(r);
  return relatorio;
}

bool EscrevePdf(const Relatorio& r, const QString& caminho, const QDateTime& quando) {
  return CriaRelatorio(r)->EscrevePdf(caminho, quando);
}

void MostraPrevia(const Relatorio& r, QWidget* pai) { CriaRelatorio(r)->MostraPrevia(pai); }

}  // namespace telvarim
