// The common report of the product family: an A4 page whose header repeats on every page (title, subtitle,
// period, filter, date and time of printing, page number, version, a rule), the bands a derived report adds
// under it, one detail band per line, and a closing summary band.
//
// Geometry is kept in form pixels, 96 to the inch, measured from the top left of the printable area; fonts
// in points. One painting routine (`Imprime`) serves the preview, the printer and the PDF file, so what the
// operator previews is what prints.
//
// Pagination: under the page header (and the column header a derived report adds) go as many detail bands
// as fit; the page header repeats on every page. A report without lines still prints one page with its
// headers. The summary band follows the last detail, on a new page when it does not fit.
//
// Painting needs a QGuiApplication (the font database lives there); without one the routines return false
// and paint nothing. Texts arrive from the engine as cp1252 bytes.
#pragma once

#include <QDateTime>
#include <QFont>
#include <QPageLayout>
#include <QString>
#include <memory>
#include <string>

class QPagedPaintDevice;
class QPainter;
class QWidget;

namespace telvarim {

struct Relatorio;

// A label of a band: caption, font and position in form pixels from the band's top left. A centred label
// is centred on the band's width; a right-aligned one keeps its right edge `left` pixels from the band's.
struct RotuloRelatorio {
  enum class Alinhamento { Esquerda, Centro, Direita };
  QString nome{};
  QString texto{};
  QFont fonte{};
  int left = 0;
  int top = 0;
  Alinhamento alinhamento = Alinhamento::Esquerda;
};

// A horizontal rule of a band; width 0 runs it across the whole band.
struct LinhaRelatorio {
  int left = 0;
  int top = 0;
  int width = 0;
};

// The engine's cp1252 text as the painter takes it.
QString TextoQt(const std::string& cp1252);

// Fonts of the reports. Arial and Courier New are asked for by name; where they are missing the
// metric-compatible Liberation faces (or the platform's sans-serif and typewriter faces) take their place.
QFont FonteArial(double pontos, bool negrito = false, bool italico = false);
QFont FonteCourierNew(double pontos);

// The painter of one page: maps form pixels to the device and draws labels and rules at a band's top.
class PintorRelatorio {
 public:
  PintorRelatorio(QPainter& pintor, double escala, double largura);

  double Largura() const { return largura_; }  // the band's width, in form pixels
  // How wide a text prints in that font on this device, in form pixels.
  double LarguraTexto(const QFont& fonte, const QString& texto) const;
  void Texto(const RotuloRelatorio& rotulo, double topoBanda) const;
  void Texto(const RotuloRelatorio& rotulo, double topoBanda, const QString& texto) const;
  void Linha(const LinhaRelatorio& linha, double topoBanda) const;

 private:
  QPainter& pintor_;
  double escala_;  // device pixels per form pixel
  double largura_;
};

}  // namespace telvarim

class Tfrepgeral {
 public:
  static constexpr int kMargemMm = 10;

  explicit Tfrepgeral(QPageLayout::Orientation orientacao = QPageLayout::Portrait);
  virtual ~Tfrepgeral();
  Tfrepgeral(const Tfrepgeral&) = delete;
  Tfrepgeral& operator=(const Tfrepgeral&) = delete;

  // Takes the page-header labels (and what a derived report shows) from the engine's report.
  virtual void Preenche(const telvarim::Relatorio& r);

  // A4 in the report's orientation, with its margins.
  QPageLayout Layout() const;

  // Paints the whole report on the device, `quando` being the printing time shown in every page header.
  // A page range the device carries (a printer's "pages 2 to 3") is honoured; page numbers stay those of
  // the whole report. False when the device cannot be painted on or did not finish.
  bool Imprime(QPagedPaintDevice* dispositivo, const QDateTime& quando) const;

  // Writes the report as a PDF file; a file that could not be written whole is removed.
  bool EscrevePdf(const QString& caminho, const QDateTime& quando) const;

  // The modal print preview, with a "Salvar como PDF" action beside the print button; returns when it is
  // closed. The printing time is taken when the preview opens.
  void MostraPrevia(QWidget* pai) const;

  // Pages the report takes on a device with this printable height (form pixels).
  int QuantidadePaginas(double alturaUtil) const;

  telvarim::RotuloRelatorio qrlnomecadastro, qrlrelatorio, qrlperiodo, qrlfiltro, QRVersao;
  telvarim::RotuloRelatorio qrsData, qrsPagina;  // "Data:" and "Página:" with their values
  telvarim::LinhaRelatorio qrsLinhaCabecalho;    // the rule under the page header

 protected:
  // The page header: the base labels, then what the derived report adds.
  virtual int AlturaCabecalho() const { return 92; }
  virtual void PintaCabecalhoProprio(const telvarim::PintorRelatorio&, double) const {}
  // A column header band under the page header, on every page.
  virtual int AlturaCabecalhoColunas() const { return 0; }
  virtual void PintaCabecalhoColunas(const telvarim::PintorRelatorio&, double) const {}
  // The detail band, once per line.
  virtual int AlturaDetalhe() const { return 16; }
  virtual int QuantidadeDetalhes() const { return 0; }
  virtual void PintaDetalhe(const telvarim::PintorRelatorio&, double, int) const {}
  // The summary band after the last detail; a report without one gives it no height.
  virtual int AlturaSumario() const { return 0; }
  virtual void PintaSumario(const telvarim::PintorRelatorio&, double) const {}

 private:
  // How the pages divide the details; the summary may need a page of its own.
  struct Paginacao {
    int detalhesPorPagina = 1;
    int paginasDetalhe = 1;
    bool sumarioSozinho = false;
  };
  Paginacao Divide(double alturaUtil) const;
  bool Pinta(QPainter& pintor, QPagedPaintDevice* dispositivo, const QDateTime& quando) const;
  void PintaCabecalho(const telvarim::PintorRelatorio& p, int pagina, const QDateTime& quando) const;
  void SalvaComoPdf(QWidget* pai, const QDateTime& quando) const;

  QPageLayout::Orientation orientacao_;
};

namespace telvarim {

// The report window of an engine report: the printed listing or the import result.
std::unique_ptr<Tfrepgeral> CriaRelatorio(const Relatorio& r);
bool EscrevePdf(const Relatorio& r, const QString& caminho, const QDateTime& quando);
void MostraPrevia(const Relatorio& r, QWidget* pai);

}  // namespace telvarim
