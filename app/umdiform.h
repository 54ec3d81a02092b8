// The background window: the first child of the main window, maximised behind every function window, with
// the maker's logo and lines and, while the pointer rests on the centre picture, the product panel.
#pragma once

#include <QPointer>
#include <QWidget>

class QFrame;
class QLabel;
class QMdiSubWindow;
class Tfprincipal;

class Tftelafundo : public QWidget {
  Q_OBJECT

 public:
  // Creates the window as a maximised, visible child of the main window's frame.
  explicit Tftelafundo(Tfprincipal* principal);

  QMdiSubWindow* Janela() const { return janela_; }

  void FormCreate();
  void FormResize();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* objeto, QEvent* evento) override;

 private:
  QPointer<Tfprincipal> principal_;
  QMdiSubWindow* janela_ = nullptr;

  QFrame* PnlCadGeral = nullptr;
  QLabel* imgBarraMDI = nullptr;
  QLabel* imgCentro = nullptr;
  QLabel* imgLogoQuintaro = nullptr;
  QLabel* lblCopyright = nullptr;
  QLabel* lblEndereco1 = nullptr;
  QLabel* lblEndereco2 = nullptr;
  QLabel* lblEndereco3 = nullptr;
  QLabel* lblEndereco4 = nullptr;
  QFrame* pnlProduto = nullptr;
  QLabel* Label11 = nullptr;  // version
  QLabel* Label3 = nullptr;   // executable size
  QLabel* Label6 = nullptr;   // executable date
  QLabel* Label7 = nullptr;   // executable time
};

extern QPointer<Tftelafundo> ftelafundo;
