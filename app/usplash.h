// The splash window shown while the main window and the background window are created.
#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QTimer;

class Tfsplash : public QWidget {
  Q_OBJECT

 public:
  explicit Tfsplash(QWidget* parent = nullptr);

  QLabel* Modulo() const { return lblModulo; }

  void timer01Timer();

 private:
  QLabel* imgTuboCentro = nullptr;
  QLabel* imgGauge = nullptr;
  QLabel* imgPrincipal = nullptr;
  QLabel* lblModulo = nullptr;
  QLabel* imgTuboDir = nullptr;
  QLabel* imgTuboEsq = nullptr;
  QTimer* timer01 = nullptr;

  int limiteEsquerdo_ = 86;   // the label starts again once its right edge reaches this
  int posicaoInicial_ = 396;  // where the label starts
};

extern QPointer<Tfsplash> fsplash;
