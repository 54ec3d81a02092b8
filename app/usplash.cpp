#include "usplash.h"

#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "imagens.h"

QPointer<Tfsplash> fsplash;

namespace {

QLabel* Figura(QWidget* pai, const char* nome, const QPixmap& p, int x, int y) {
  auto* l = new QLabel(pai);
  l->setObjectName(QLatin1String(nome));
  l->setPixmap(p);
  l->setGeometry(x, y, p.width(), p.height());
  return l;
}

}  // namespace

Tfsplash::Tfsplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("fsplash"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);

  // Later pieces lie over earlier ones: the label runs between the middle of the tube and its two ends.
  imgTuboCentro = Figura(this, "imgTuboCentro", telvarim::imagens::TuboCentro(), 56, 273);
  imgGauge = Figura(this, "imgGauge", telvarim::imagens::Medidor(), imgTuboCentro->x(), imgTuboCentro->y());
  imgGauge->resize(0, imgGauge->height());
  imgGauge->setScaledContents(true);
  imgPrincipal = Figura(this, "imgPrincipal", telvarim::imagens::SplashPrincipal(), 0, 0);
  lblModulo = new QLabel(this);
  lblModulo->setObjectName(QStringLiteral("lblModulo"));
  QFont f = lblModulo->font();
  f.setPixelSize(13);
  f.setBold(true);
  lblModulo->setFont(f);
  QPalette branco = lblModulo->palette();
  branco.setColor(QPalette::WindowText, Qt::white);
  lblModulo->setPalette(branco);
  lblModulo->setAlignment(Qt::AlignCenter);
  lblModulo->move(0, 278);
  lblModulo->hide();
  imgTuboDir = Figura(this, "imgTuboDir", telvarim::imagens::TuboDireito(), 398, 273);
  imgTuboEsq = Figura(this, "imgTuboEsq", telvarim::imagens::TuboEsquerdo(), 0, 273);

  // Sized once to what it holds, then fixed; the product family's sign-in band has no use here.
  setFixedSize(childrenRect().size());
  if (const QScreen* tela = screen()) move(tela->availableGeometry().center() - rect().center());

  timer01 = new QTimer(this);
  timer01->setObjectName(QStringLiteral("timer01"));
  timer01->setInterval(300);
  connect(timer01, &QTimer::timeout, this, &Tfsplash::timer01Timer);
  timer01->start();
}

void Tfsplash::timer01Timer() {
  if (lblModulo->isHidden()) {
    lblModulo->adjustSize();
    lblModulo->show();
    lblModulo->move(posicaoInicial_, lblModulo->y());
  }
  if (lblModulo->x() + lblModulo->width() > limiteEsquerdo_)
    lblModulo->move(lblModulo->x() - 20, lblModulo->y());
  else
    lblModulo->move(posicaoInicial_, lblModulo->y());
}
