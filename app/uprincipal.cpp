#include "uprincipal.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QTreeWidgetItem>
#include <exception>

#include "cp1252.h"
#include "dialogos.h"
#include "tabelas.h"
#include "ucadtelvarim.h"
#include "ucargaarquivos.h"
#include "versao.h"

QPointer<Tfprincipal> fprincipal;

namespace {

constexpr int kImagem = Qt::UserRole;      // the node's index into the image list
constexpr int kFuncao = Qt::UserRole + 1;  // what the node opens: the tree dispatches on it, not on captions

enum class Funcao { Principal, Manutencao, CargaArquivos, Sair };

// The client area the frame was drawn for, and one where the workspace's typing page needs no scrolling.
constexpr QSize kTamanhoPadrao(739, 533);
constexpr QSize kTamanhoAmplo(1100, 720);
// Room left on the screen for the frame's title bar and borders.
constexpr QSize kMolduraJanela(16, 48);

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
  const QScreen* tela = screen();
  resize(tela ? TamanhoInicial(tela->availableGeometry().size()) : kTamanhoPadrao);
  if (tela) move(tela->availableGeometry().center() - rect().center());
  ModoArredondamento() = 0;
  FormCreate();
  telvarim::DefinePainelStatus([janela = QPointer<Tfprincipal>(this)](const QString& texto) {
    if (janela) janela->DefineTextoPainel(1, texto);
  });
  telvarim::DefineAvisoStatus([janela = QPointer<Tfprincipal>(this)](const QString& texto) {
    if (!janela) return;
    if (texto.isEmpty())
      janela->StBGeral->clearMessage();
    else
      janela->StBGeral->showMessage(texto);
  });
}

std::string& Tfprincipal::VersaoModulo() { return telvarim::Programa().VersaoModulo; }
double& Tfprincipal::FatorCentavos() { return telvarim::Programa().FatorCentavos; }
std::int32_t& Tfprincipal::ModoArredondamento() { return telvarim::Programa().ModoArredondamento; }

void Tfprincipal::FormCreate() {
  // Dates read dd/mm/yyyy whatever the machine's locale: the engine formats them itself and the windows use
  // that same pattern, so there is no process-wide format to set here.
  TVwGeral->clear();
  auto No = [this](QTreeWidgetItem* pai, QTreeWidget* arvore, const QString& legenda, int imagem, Funcao f) {
    auto* no = pai ? new QTreeWidgetItem(pai, QStringList{legenda}) : new QTreeWidgetItem(arvore, QStringList{legenda});
    no->setIcon(0, IconeNo(imagem));
    no->setData(0, kImagem, imagem);
    no->setData(0, kFuncao, static_cast<int>(f));
    return no;
  };
  auto* principal = No(nullptr, TVwGeral, QStringLiteral("Principal"), 2, Funcao::Principal);

  VersaoModulo() = telvarim::kVersaoModulo;
  setWindowTitle(Titulo() + QStringLiteral(" - Versão:") +
                 QString::fromStdU16String(telvarim::Cp1252ParaUtf16(VersaoModulo())));

  No(principal, nullptr, QStringLiteral("Manutenção"), 3, Funcao::Manutencao);
  No(principal, nullptr, QStringLiteral("Carga Arquivos"), 3, Funcao::CargaArquivos);
  No(nullptr, TVwGeral, QStringLiteral("Sair"), 1, Funcao::Sair);
  principal->setExpanded(false);

  FatorCentavos() = telvarim::kFatorCentavos;

  AjustaPainelAsLegendas();
  // The tree fills the side panel, whose width is fixed; the tree itself is laid out only when shown.
  paineis_[0]->setMaximumWidth(PnlLateral->maximumWidth());
  paineis_[0]->DefineLargura(PnlLateral->maximumWidth());
}

QSize Tfprincipal::TamanhoInicial(const QSize& areaLivre) {
  const QSize cabe = areaLivre - kMolduraJanela;
  return kTamanhoPadrao.expandedTo(kTamanhoAmplo.boundedTo(cabe));
}

QMdiSubWindow* Tfprincipal::AbreJanelaFilha(QWidget* janela) {
  QMdiSubWindow* sub = AreaCliente()->addSubWindow(janela);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  // Restored from maximised, the window comes back inside the area, where its pages scroll.
  connect(sub, &QMdiSubWindow::windowStateChanged, sub,
          [sub, area = AreaCliente()](Qt::WindowStates antes, Qt::WindowStates agora) {
            const Qt::WindowStates cheia = Qt::WindowMaximized | Qt::WindowMinimized;
            if ((antes & Qt::WindowMaximized) && !(agora & cheia))
              sub->setGeometry(sub->geometry().intersected(area->viewport()->rect()));
          });
  sub->showMaximized();
  AreaCliente()->setActiveSubWindow(sub);
  return sub;
}

void Tfprincipal::VoltaAoNoAtivo() {
  TVwGeral->setCurrentItem(noAtivo_);
  if (!noAtivo_) TVwGeral->clearSelection();
}

void Tfprincipal::TVwGeralClick() {
  QMdiSubWindow* ativa = AreaCliente()->currentSubWindow();
  QTreeWidgetItem* no = TVwGeral->currentItem();
  const bool selecionado = no && no->isSelected();
  const auto funcao = selecionado ? static_cast<Funcao>(no->data(0, kFuncao).toInt()) : Funcao::Principal;
  // The background window stays; any other function window goes, and asks first about what it holds unsaved.
  const bool fundo = ativa && ativa->widget() && ativa->widget()->objectName() == QLatin1String("ftelafundo");
  if (selecionado && funcao == Funcao::Sair) {
    // Leaving the program asks about every unsaved workspace, which must still be there to be saved.
    if (!close()) {
      VoltaAoNoAtivo();
      return;
    }
  } else if (auto* cadastro = ativa && !fundo ? qobject_cast<Tfcadtelvarim*>(ativa->widget()) : nullptr;
             cadastro && !cadastro->ConfirmaFechamento()) {
    VoltaAoNoAtivo();
    return;
  }

  TravaAtualizacao trava(this);
  if (ativa && !fundo) delete ativa;
  noAtivo_ = nullptr;
  if (!selecionado) return;
  try {
    switch (funcao) {
      case Funcao::Sair:
        break;
      case Funcao::Manutencao:
        fcadtelvarim = new Tfcadtelvarim();
        AbreJanelaFilha(fcadtelvarim);
        noAtivo_ = no;
        break;
      case Funcao::CargaArquivos:
        fcargaarquivos = new Tfcargaarquivos();
        AbreJanelaFilha(fcargaarquivos);
        noAtivo_ = no;
        break;
      case Funcao::Principal:
        break;
    }
  } catch (const std::exception& e) {
    QMessageBox::critical(this, Titulo(), QString::fromLocal8Bit(e.what()));
  }
}

void Tfprincipal::closeEvent(QCloseEvent* event) {
  for (QMdiSubWindow* s : AreaCliente()->subWindowList())
    if (auto* cadastro = qobject_cast<Tfcadtelvarim*>(s->widget()); cadastro && !cadastro->ConfirmaFechamento()) {
      event->ignore();
      return;
    }
  Tfgeral::closeEvent(event);
}
