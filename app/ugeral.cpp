#include "ugeral.h"

#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QStatusBar>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "imagens.h"

using namespace telvarim;

namespace {

constexpr int kLarguraPainelLateral = 133;
constexpr int kLarguraDivisor = 6;
constexpr int kLarguraMinima = 30;  // neither the side panel nor the client area goes below it
// Pointer positions left of this, in tree coordinates, widen the side panel.
constexpr int kLimiteDeslize = 132;
constexpr int kPainelLargo = 281;
constexpr int kArvoreLarga = 280;
constexpr std::array<int, Tfgeral::kPaineisStatus> kLargurasStatus = {107, 170, 130, 130, 130, 50};
const QColor kAzulCeu(0xa6, 0xca, 0xf0);
const char* const kChaveRedimensiona = "ArvoreFuncoes/RedimensionamentoAutomatico";

// The operator's choice outlives the run; the product family kept it in a database this program does not have.
QSettings Configuracao() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quintaro"), QStringLiteral("Telvarim"));
}

QFrame* PainelBranco(QWidget* pai, const char* nome) {
  auto* p = new QFrame(pai);
  p->setObjectName(QLatin1String(nome));
  p->setFrameShape(QFrame::NoFrame);
  p->setAutoFillBackground(true);
  QPalette pal = p->palette();
  pal.setColor(QPalette::Window, Qt::white);
  p->setPalette(pal);
  return p;
}

}  // namespace

namespace telvarim {

ArvoreFuncoes::ArvoreFuncoes(QWidget* parent) : QTreeWidget(parent) { viewport()->setMouseTracking(true); }

void ArvoreFuncoes::mouseMoveEvent(QMouseEvent* event) {
  QTreeWidget::mouseMoveEvent(event);
  emit movido(viewport()->mapTo(this, event->position().toPoint()));
}

void ArvoreFuncoes::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeWidget::mouseDoubleClickEvent(event);
  duplo_ = event->button() == Qt::LeftButton;
}

void ArvoreFuncoes::mouseReleaseEvent(QMouseEvent* event) {
  QTreeWidget::mouseReleaseEvent(event);
  emit solto(viewport()->mapTo(this, event->position().toPoint()));
  const bool duplo = std::exchange(duplo_, false);
  if (event->button() == Qt::LeftButton && !duplo) emit clicado();
}

void ArvoreFuncoes::keyPressEvent(QKeyEvent* event) {
  const bool abre = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space;
  if (abre && currentItem() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    // The node under the keyboard's cursor is the one acted on, as a click on it would be.
    currentItem()->setSelected(true);
    emit clicado();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

PainelStatus::PainelStatus(int largura, QWidget* parent) : QLabel(parent), largura_(largura) {}

void PainelStatus::DefineLargura(int largura) {
  largura_ = largura;
  updateGeometry();
}

QSize PainelStatus::sizeHint() const { return {largura_, QLabel::sizeHint().height()}; }
QSize PainelStatus::minimumSizeHint() const { return {0, QLabel::minimumSizeHint().height()}; }

DivisorLateral::DivisorLateral(QWidget* alvo, QWidget* parent) : QWidget(parent), alvo_(alvo) {
  setFixedWidth(kLarguraDivisor);
  setCursor(Qt::SplitHCursor);
}

void DivisorLateral::paintEvent(QPaintEvent*) {
  QPainter g(this);
  g.fillRect(rect(), kAzulCeu);
  g.setPen(kAzulCeu.lighter(125));
  g.drawLine(0, 0, 0, height() - 1);
  g.setPen(kAzulCeu.darker(140));
  g.drawLine(width() - 1, 0, width() - 1, height() - 1);
}

void DivisorLateral::mousePressEvent(QMouseEvent* event) {
  inicioX_ = qRound(event->globalPosition().x());
  larguraInicial_ = alvo_->width();
}

void DivisorLateral::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  emit arrastado(larguraInicial_ + qRound(event->globalPosition().x()) - inicioX_);
}

}  // namespace telvarim

Tfgeral::Tfgeral(QWidget* parent) : QMainWindow(parent) {
  auto* centro = new QWidget(this);
  centro->setObjectName(QStringLiteral("pnlCentro"));
  auto* linha = new QHBoxLayout(centro);
  linha->setContentsMargins(0, 0, 0, 0);
  linha->setSpacing(0);

  PnlLateral = PainelBranco(centro, "PnlLateral");
  PnlLateral->setFixedWidth(kLarguraPainelLateral);
  auto* coluna = new QVBoxLayout(PnlLateral);
  coluna->setContentsMargins(0, 0, 0, 0);
  coluna->setSpacing(0);

  pnlImgGeral = PainelBranco(PnlLateral, "pnlImgGeral");
  pnlImgGeral->setFixedHeight(32);
  pnlImgGeral->installEventFilter(this);
  imgBarra2 = new QLabel(pnlImgGeral);
  imgBarra2->setObjectName(QStringLiteral("imgBarra2"));
  imgBarra2->setPixmap(imagens::BarraTopo(QSize(300, 32)));
  imgBarra2->setScaledContents(true);
  ImgGeral = new QLabel(pnlImgGeral);
  ImgGeral->setObjectName(QStringLiteral("ImgGeral"));
  ImgGeral->setPixmap(imagens::LogoPequeno());
  ImgGeral->setGeometry(6, 6, 85, 20);
  ImgGeral->setAttribute(Qt::WA_TranslucentBackground);
  coluna->addWidget(pnlImgGeral);

  pnlSeparador = PainelBranco(PnlLateral, "pnlSeparador");
  pnlSeparador->setFixedHeight(8);
  coluna->addWidget(pnlSeparador);

  ImLGeral = imagens::ImagensArvore();
  TVwGeral = new ArvoreFuncoes(PnlLateral);
  TVwGeral->setObjectName(QStringLiteral("TVwGeral"));
  TVwGeral->setFrameShape(QFrame::NoFrame);
  TVwGeral->setHeaderHidden(true);
  TVwGeral->setIndentation(19);
  TVwGeral->setIconSize(QSize(16, 16));
  TVwGeral->setEditTriggers(QAbstractItemView::NoEditTriggers);
  TVwGeral->setSelectionMode(QAbstractItemView::SingleSelection);
  TVwGeral->setContextMenuPolicy(Qt::CustomContextMenu);
  // The classic 8-point sans serif the panel's width was drawn for.
  QFont fonteArvore(QStringLiteral("Arial"));
  fonteArvore.setPixelSize(11);
  TVwGeral->setFont(fonteArvore);
  coluna->addWidget(TVwGeral, 1);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  ppmredaut = PopupMenu1->addAction(QStringLiteral("Redimensionamento Automático"));
  ppmredaut->setObjectName(QStringLiteral("ppmredaut"));
  ppmredaut->setCheckable(true);
  redimensionaAutomatico_ = Configuracao().value(QLatin1String(kChaveRedimensiona), false).toBool();
  ppmredaut->setChecked(redimensionaAutomatico_);

  splitterGeral = new DivisorLateral(PnlLateral, centro);
  splitterGeral->setObjectName(QStringLiteral("splitterGeral"));

  areaCliente_ = new QMdiArea(centro);
  areaCliente_->setObjectName(QStringLiteral("AreaCliente"));
  // A function window restored from maximised and larger than the area stays within reach.
  areaCliente_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  areaCliente_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

  linha->addWidget(PnlLateral);
  linha->addWidget(splitterGeral);
  linha->addWidget(areaCliente_, 1);
  setCentralWidget(centro);

  StBGeral = new QStatusBar(this);
  StBGeral->setObjectName(QStringLiteral("StBGeral"));
  StBGeral->setFixedHeight(23);
  for (int i = 0; i < kPaineisStatus; ++i) {
    auto* p = new PainelStatus(kLargurasStatus[static_cast<std::size_t>(i)], StBGeral);
    p->setObjectName(QStringLiteral("StBGeralPainel%1").arg(i));
    p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    if (i < kPaineisStatus - 1) p->setMaximumWidth(kLargurasStatus[static_cast<std::size_t>(i)]);
    StBGeral->addWidget(p, i == kPaineisStatus - 1 ? 1 : 0);
    paineis_[static_cast<std::size_t>(i)] = p;
  }
  setStatusBar(StBGeral);

  connect(TVwGeral, &ArvoreFuncoes::movido, this, &Tfgeral::TVwGeralMouseMove);
  connect(TVwGeral, &ArvoreFuncoes::solto, this, [this](QPoint) { TVwGeralMouseUp(); });
  connect(TVwGeral, &ArvoreFuncoes::clicado, this, [this] { TVwGeralClick(); });
  connect(TVwGeral, &QWidget::customContextMenuRequested, this,
          [this](QPoint pos) { PopupMenu1->popup(TVwGeral->viewport()->mapToGlobal(pos)); });
  connect(ppmredaut, &QAction::triggered, this, &Tfgeral::ppmredautClick);
  connect(splitterGeral, &DivisorLateral::arrastado, this, [this](int largura) {
    const int maximo = std::max(kLarguraMinima, centralWidget()->width() - kLarguraDivisor - kLarguraMinima);
    DefineLarguraPainelLateral(std::clamp(largura, kLarguraMinima, maximo));
  });
}

bool Tfgeral::eventFilter(QObject* objeto, QEvent* evento) {
  if (objeto == pnlImgGeral && evento->type() == QEvent::Resize) imgBarra2->setGeometry(0, 0, pnlImgGeral->width(), 32);
  return QMainWindow::eventFilter(objeto, evento);
}

QIcon Tfgeral::IconeNo(int indice) const {
  QIcon icone;
  icone.addPixmap(ImLGeral.value(indice), QIcon::Normal);
  icone.addPixmap(ImLGeral.value(0), QIcon::Selected);
  return icone;
}

void Tfgeral::DefineTextoPainel(int indice, const QString& texto) {
  if (indice < 0 || indice >= kPaineisStatus) return;
  textos_[static_cast<std::size_t>(indice)] = texto;
  if (indice >= 2 && indice <= 4) return;
  QLabel* p = paineis_[static_cast<std::size_t>(indice)];
  p->setText(texto);
  // Progress texts are set right before long work on this same thread: show them now.
  if (p->isVisible()) p->repaint();
}

QString Tfgeral::TextoPainel(int indice) const {
  return indice >= 0 && indice < kPaineisStatus ? textos_[static_cast<std::size_t>(indice)] : QString();
}

void Tfgeral::DefineLarguraPainelLateral(int largura) {
  PnlLateral->setFixedWidth(largura);
  centralWidget()->layout()->activate();
}

void Tfgeral::AjustaPainelAsLegendas() {
  // The tree measures only the nodes it shows: every parent is opened for the measure, and put back.
  QList<QTreeWidgetItem*> fechados;
  for (QTreeWidgetItemIterator it(TVwGeral); *it; ++it)
    if ((*it)->childCount() > 0 && !(*it)->isExpanded()) {
      fechados << *it;
      (*it)->setExpanded(true);
    }
  const int necessaria =
      static_cast<const QAbstractItemView*>(TVwGeral)->sizeHintForColumn(0) + TVwGeral->frameWidth() * 2;
  for (QTreeWidgetItem* no : fechados) no->setExpanded(false);
  if (necessaria > PnlLateral->maximumWidth()) DefineLarguraPainelLateral(necessaria);
}

void Tfgeral::TVwGeralMouseMove(QPoint pos) {
  if (!redimensionaAutomatico_) return;
  if (larguraPainelSalva_ == 0 || larguraArvoreSalva_ == 0) {
    larguraPainelSalva_ = PnlLateral->width();
    larguraArvoreSalva_ = TVwGeral->width();
  }
  if (pos.x() < kLimiteDeslize) {
    DefineLarguraPainelLateral(kPainelLargo);
    TVwGeral->resize(kArvoreLarga, TVwGeral->height());
  } else {
    RestauraLarguras();
  }
}

void Tfgeral::TVwGeralMouseUp() {
  if (!redimensionaAutomatico_) return;
  RestauraLarguras();
}

void Tfgeral::RestauraLarguras() {
  // Widths not captured yet have nothing to go back to.
  if (larguraPainelSalva_ == 0 || larguraArvoreSalva_ == 0) return;
  DefineLarguraPainelLateral(larguraPainelSalva_);
  TVwGeral->resize(larguraArvoreSalva_, TVwGeral->height());
}

void Tfgeral::ppmredautClick() {
  // The action is checkable: Qt has already turned the check mark over when this runs.
  redimensionaAutomatico_ = ppmredaut->isChecked();
  Configuracao().setValue(QLatin1String(kChaveRedimensiona), redimensionaAutomatico_);
}
