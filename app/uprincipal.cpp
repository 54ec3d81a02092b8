#include "uprincipal.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QScreen>
#include <QTreeWidgetItem>
#include <exception>

#include "cp1252.h"
#include "tabelas.h"
#include "ucadtelvarim.h"
#include "ucargaarquivos.h"

QPointer<Tfprincipal> fprincipal;

namespace {

constexpr int kImagem = Qt::UserRole;  // the node's index into the image list

const char* const kVersaoModulo = "2.1.1.C01G";

QString Titulo() { return QCoreApplication::applicationName(); }

// Keeps the frame from repainting while one function window replaces another; lets go on every path.
class TravaAtualizacao {
 public:
  explicit TravaAtualizacao(QWidget* w) : w_(w), antes_(w->updatesEnabled()) { w_->setUpdatesEnabled(false); }
  ~TravaAtualizacao() { w_->setUpdatesEnabled(antes_); }
  TravaAtualizacao(const TravaAtualizacao&) = delete;
  TravaAtualizacao& operator=(const TravaAtualizacao&) = delete;

 private:
  QWidget* w_;
  bool antes_;
};

}  // namespace

Tfprincipal::Tfprincipal(QWidget* parent) : Tfgeral(parent) {
  setObjectName(QStringLiteral("fprincipal"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  resize(739, 533);
  if (const QScreen* tela = screen()) move(tela->availableGeometry().center() - rect().center());
  ModoArredondamento() = 0;
  FormCreate();
}

std::string& Tfprincipal::VersaoModulo() { return telvarim::Programa().VersaoModulo; }
double& Tfprincipal::FatorCentavos() { return telvarim::Programa().FatorCentavos; }
std::int32_t& Tfprincipal::ModoArredondamento() { return telvarim::Programa().ModoArredondamento; }

void Tfprincipal::FormCreate() {
  // Dates read dd/mm/yyyy whatever the machine's locale: the engine formats them itself and the windows use
  // that same pattern, so there is no process-wide format to set here.
  TVwGeral->clear();
  auto* principal = new QTreeWidgetItem(TVwGeral, QStringList{QStringLiteral("Principal")});
  principal->setIcon(0, IconeNo(2));
  principal->setData(0, kImagem, 2);

  VersaoModulo() = kVersaoModulo;
  setWindowTitle(Titulo() + QStringLiteral(" - Versão:") +
                 QString::fromStdU16String(telvarim::Cp1252ParaUtf16(VersaoModulo())));

  for (const QString& nome : {QStringLiteral("Manutenção"), QStringLiteral("Carga Arquivos")}) {
    auto* no = new QTreeWidgetItem(principal, QStringList{nome});
    no->setIcon(0, IconeNo(3));
    no->setData(0, kImagem, 3);
  }
  auto* sair = new QTreeWidgetItem(TVwGeral, QStringList{QStringLiteral("Sair")});
  sair->setIcon(0, IconeNo(1));
  sair->setData(0, kImagem, 1);
  principal->setExpanded(false);

  FatorCentavos() = telvarim::kFatorCentavos;

  // The tree fills the side panel, whose width is fixed; the tree itself is laid out only when shown.
  paineis_[0]->setFixedWidth(PnlLateral->maximumWidth());
}

QMdiSubWindow* Tfprincipal::AbreJanelaFilha(QWidget* janela) {
  QMdiSubWindow* sub = AreaCliente()->addSubWindow(janela);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->showMaximized();
  AreaCliente()->setActiveSubWindow(sub);
  return sub;
}

void Tfprincipal::TVwGeralClick() {
  QMdiSubWindow* ativa = AreaCliente()->currentSubWindow();
  TravaAtualizacao trava(this);
  // The background window stays; any other function window goes at once, with whatever it held.
  if (ativa && !(ativa->widget() && ativa->widget()->objectName() == QLatin1String("ftelafundo"))) delete ativa;

  const QTreeWidgetItem* no = TVwGeral->currentItem();
  if (!no || !no->isSelected()) return;
  const QString legenda = no->text(0);
  try {
    if (legenda == QLatin1String("Sair")) {
      close();
    } else if (legenda == QStringLiteral("Manutenção")) {
      fcadtelvarim = new Tfcadtelvarim();
      AbreJanelaFilha(fcadtelvarim);
    } else if (legenda == QLatin1String("Carga Arquivos")) {
      fcargaarquivos = new Tfcargaarquivos();
      AbreJanelaFilha(fcargaarquivos);
    }
  } catch (const std::exception& e) {
    QMessageBox::critical(this, Titulo(), QString::fromLocal8Bit(e.what()));
  }
}
