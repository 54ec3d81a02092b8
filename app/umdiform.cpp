#include "umdiform.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <algorithm>

#include "imagens.h"
#include "numbers.h"
#include "uprincipal.h"
#include "versao.h"

QPointer<Tftelafundo> ftelafundo;

namespace {

QLabel* Rotulo(QWidget* pai, const char* nome, const QString& texto, int pixels, bool negrito) {
  auto* l = new QLabel(texto, pai);
  l->setObjectName(QLatin1String(nome));
  QFont f = l->font();
  f.setPixelSize(pixels);
  f.setBold(negrito);
  l->setFont(f);
  l->adjustSize();
  return l;
}

QLabel* Figura(QWidget* pai, const char* nome, const QPixmap& p) {
  auto* l = new QLabel(pai);
  l->setObjectName(QLatin1String(nome));
  l->setPixmap(p);
  l->setFixedSize(p.size());
  return l;
}

}  // namespace

Tftelafundo::Tftelafundo(Tfprincipal* principal) : principal_(principal) {
  setObjectName(QStringLiteral("ftelafundo"));
  setWindowTitle(QStringLiteral("Principal"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  setMouseTracking(true);
  setMinimumSize(300, 260);

  PnlCadGeral = new QFrame(this);
  PnlCadGeral->setObjectName(QStringLiteral("PnlCadGeral"));
  PnlCadGeral->setGeometry(0, 0, width(), 32);
  imgBarraMDI = new QLabel(PnlCadGeral);
  imgBarraMDI->setObjectName(QStringLiteral("imgBarraMDI"));
  imgBarraMDI->setPixmap(telvarim::imagens::BarraTopo(QSize(600, 35)));
  imgBarraMDI->setScaledContents(true);

  imgCentro = Figura(this, "imgCentro", telvarim::imagens::FiguraCentro());
  imgCentro->setMouseTracking(true);
  imgCentro->installEventFilter(this);
  imgLogoQuintaro = Figura(this, "imgLogoQuintaro", telvarim::imagens::LogoQuintaro());

  lblCopyright = Rotulo(this, "lblCopyright", QStringLiteral("Quintaro Sistemas de Bilhetagem"), 12, true);
  lblCopyright->setWordWrap(true);
  lblCopyright->setAlignment(Qt::AlignRight | Qt::AlignTop);
  // Wrapped only when a line would not fit beside the logo; the rule below aligns its right edge.
  lblCopyright->setFixedWidth(std::min(300, lblCopyright->fontMetrics().horizontalAdvance(lblCopyright->text()) + 2));
  lblCopyright->setFixedHeight(lblCopyright->heightForWidth(lblCopyright->width()));
  lblEndereco1 =
      Rotulo(this, "lblEndereco1", QStringLiteral("Bilhetagem eletrônica para o transporte coletivo"), 11, false);
  lblEndereco2 =
      Rotulo(this, "lblEndereco2", QStringLiteral("Recarga de cartões de vale-transporte para empresas"), 11, false);
  lblEndereco3 =
      Rotulo(this, "lblEndereco3", QStringLiteral("Atendimento: operador de transporte da sua cidade"), 11, false);
  lblEndereco4 = Rotulo(this, "lblEndereco4", QStringLiteral("Telvarim - módulo da empresa"), 11, false);
  for (QLabel* l : {lblEndereco1, lblEndereco2, lblEndereco3, lblEndereco4}) l->setAlignment(Qt::AlignRight);

  pnlProduto = new QFrame(this);
  pnlProduto->setObjectName(QStringLiteral("pnlProduto"));
  pnlProduto->setGeometry(15, 45, 242, 140);
  pnlProduto->setAutoFillBackground(true);
  pnlProduto->setPalette(pal);
  Rotulo(pnlProduto, "ProductName", QStringLiteral("Produto: "), 11, true)->move(2, 1);
  auto* Shape2 = new QFrame(pnlProduto);
  Shape2->setObjectName(QStringLiteral("Shape2"));
  Shape2->setGeometry(2, 19, 209, 2);
  Shape2->setAutoFillBackground(true);
  QPalette cinza = Shape2->palette();
  cinza.setColor(QPalette::Window, Qt::gray);
  Shape2->setPalette(cinza);
  struct Linha {
    int topo;
    const char* legenda;
    const char* nomeLegenda;
    const char* nomeValor;
    QLabel** valor;
  };
  const Linha linhas[] = {{26, "Versão:", "Label17", "Label11", &Label11},
                          {45, "Tamanho:", "Label16", "Label3", &Label3},
                          {64, "Data:", "Label15", "Label6", &Label6},
                          {83, "Hora:", "Label14", "Label7", &Label7}};
  for (const Linha& l : linhas) {
    Rotulo(pnlProduto, l.nomeLegenda, QString::fromUtf8(l.legenda), 11, false)->move(2, l.topo);
    *l.valor = Rotulo(pnlProduto, l.nomeValor, QString(), 11, true);
    (*l.valor)->setGeometry(63, l.topo, 170, 16);
  }
  pnlProduto->hide();

  QMdiArea* area = principal->AreaCliente();
  janela_ = area->addSubWindow(this);
  janela_->setAttribute(Qt::WA_DeleteOnClose);
  connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* s) {
    if (s && s == janela_) FormCreate();
  });
  FormCreate();
  janela_->showMaximized();
  area->setActiveSubWindow(janela_);
  FormResize();
}

void Tftelafundo::FormCreate() {
  const QFileInfo exe(QCoreApplication::applicationFilePath());
  const QDateTime escrita = exe.lastModified();
  Label3->setText(QString::fromStdString(telvarim::FormataInteiro(exe.size(), "##,###,###")) +
                  QStringLiteral(" Bytes"));
  Label6->setText(escrita.toString(QStringLiteral("dd/MM/yyyy")));
  Label7->setText(escrita.toString(QStringLiteral("hh:mm:ss")));
  if (principal_) {
    principal_->VersaoModulo() = telvarim::kVersaoModulo;
    Label11->setText(QString::fromStdString(principal_->VersaoModulo()));
  }
}

void Tftelafundo::FormResize() {
  // W and H are the window's outer size, frame included; the pictures hang from its lower right corner.
  const QWidget* fora = janela_ ? static_cast<const QWidget*>(janela_) : this;
  const int w = fora->width();
  const int h = fora->height();
  PnlCadGeral->setGeometry(0, 0, width(), 32);
  imgBarraMDI->setGeometry(0, 0, width(), 35);
  const int topoLogo = h - 200;
  imgLogoQuintaro->move(w - imgLogoQuintaro->width() - 30, topoLogo);
  const std::pair<QLabel*, int> linhas[] = {
      {lblCopyright, 63}, {lblEndereco1, 81}, {lblEndereco2, 97}, {lblEndereco3, 113}, {lblEndereco4, 129}};
  for (const auto& [l, abaixo] : linhas) l->move(w - l->width() - 35, topoLogo + abaixo);
  imgCentro->move(w - imgCentro->width() - 32, topoLogo - 143);
}

void Tftelafundo::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

void Tftelafundo::mouseMoveEvent(QMouseEvent* event) {
  pnlProduto->hide();
  QWidget::mouseMoveEvent(event);
}

bool Tftelafundo::eventFilter(QObject* objeto, QEvent* evento) {
  // Taken here: the picture would pass the movement on to the window, which hides the panel again.
  if (objeto == imgCentro && evento->type() == QEvent::MouseMove) {
    pnlProduto->show();
    return true;
  }
  return QWidget::eventFilter(objeto, evento);
}
