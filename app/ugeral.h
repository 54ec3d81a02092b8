// The base main window of the product family: the side panel with the function tree, the splitter, the
// status bar, the tree's image list and the sliding side panel.
#pragma once

#include <QLabel>
#include <QList>
#include <QMainWindow>
#include <QPixmap>
#include <QString>
#include <QTreeWidget>
#include <array>

class QAction;
class QFrame;
class QLabel;
class QMdiArea;
class QMenu;
class QStatusBar;

namespace telvarim {

// The function tree: a click anywhere on it counts, also on an expand button or on empty space, and so do
// Enter and Space on a node; the pointer's movements are reported in the tree's own coordinates.
class ArvoreFuncoes : public QTreeWidget {
  Q_OBJECT

 public:
  explicit ArvoreFuncoes(QWidget* parent = nullptr);

 signals:
  void clicado();
  void movido(QPoint pos);
  void solto(QPoint pos);

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool duplo_ = false;  // the release that ends a double click is not a second click
};

// A panel of the status bar: as wide as it is set to when there is room, narrower when the frame is smaller
// than the panels together (the last panel takes what is left), so that the bar never keeps the frame from
// its size.
class PainelStatus : public QLabel {
  Q_OBJECT

 public:
  PainelStatus(int largura, QWidget* parent);
  void DefineLargura(int largura);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 private:
  int largura_;
};

// The 6-pixel bar right of the side panel; dragging it sets the panel's width.
class DivisorLateral : public QWidget {
  Q_OBJECT

 public:
  // alvo: the panel on the left whose width the bar sets.
  DivisorLateral(QWidget* alvo, QWidget* parent);

 signals:
  void arrastado(int largura);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QWidget* alvo_;
  int inicioX_ = 0;
  int larguraInicial_ = 0;
};

}  // namespace telvarim

class Tfgeral : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kPaineisStatus = 6;

  explicit Tfgeral(QWidget* parent = nullptr);

  // Text of a status panel. Panels 2 to 4 are drawn by their owner, and nothing draws them in this program:
  // they keep the text they are given and show none.
  void DefineTextoPainel(int indice, const QString& texto);
  QString TextoPainel(int indice) const;

  void DefineLarguraPainelLateral(int largura);
  // Widens the side panel when the tree's captions, every node shown, need more than it has.
  void AjustaPainelAsLegendas();
  bool RedimensionamentoAutomatico() const { return redimensionaAutomatico_; }

  QMdiArea* AreaCliente() const { return areaCliente_; }
  const QList<QPixmap>& Imagens() const { return ImLGeral; }

  void TVwGeralMouseMove(QPoint pos);
  void TVwGeralMouseUp();
  void ppmredautClick();
  virtual void TVwGeralClick() {}

 protected:
  // The tree node's picture: image `indice` normally, image 0 while the node is selected.
  QIcon IconeNo(int indice) const;
  bool eventFilter(QObject* objeto, QEvent* evento) override;

  QFrame* PnlLateral = nullptr;
  QFrame* pnlImgGeral = nullptr;
  QLabel* imgBarra2 = nullptr;
  QLabel* ImgGeral = nullptr;
  QFrame* pnlSeparador = nullptr;
  telvarim::ArvoreFuncoes* TVwGeral = nullptr;
  telvarim::DivisorLateral* splitterGeral = nullptr;
  QStatusBar* StBGeral = nullptr;
  std::array<telvarim::PainelStatus*, kPaineisStatus> paineis_{};
  QList<QPixmap> ImLGeral;
  QMenu* PopupMenu1 = nullptr;
  QAction* ppmredaut = nullptr;

 private:
  void RestauraLarguras();

  QMdiArea* areaCliente_ = nullptr;
  std::array<QString, kPaineisStatus> textos_;
  int larguraPainelSalva_ = 0;
  int larguraArvoreSalva_ = 0;
  bool redimensionaAutomatico_ = false;
};
