#include "ucargaarquivos.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <algorithm>

#include "dialogos.h"
#include "listapastas.h"
#include "pastas.h"
#include "tabelas.h"

using namespace telvarim;
namespace fs = std::filesystem;

QPointer<Tfcargaarquivos> fcargaarquivos;

namespace {

constexpr int kNome = Qt::UserRole;  // the entry's file name as cp1252 bytes

fs::path CaminhoFs(const QString& p) { return fs::path(QDir::toNativeSeparators(p).toStdU16String()); }
QString CaminhoQt(const fs::path& p) { return QDir::cleanPath(QString::fromStdU16String(p.u16string())); }

// The stretched bar across the top of the window.
QPixmap Barra() {
  QPixmap p(400, 32);
  QPainter g(&p);
  QLinearGradient grad(0, 0, 400, 0);
  grad.setColorAt(0, QColor(0x0b, 0x3c, 0x7d));
  grad.setColorAt(0.6, QColor(0x2f, 0x74, 0xc0));
  grad.setColorAt(1, QColor(0xa6, 0xca, 0xf0));
  g.fillRect(p.rect(), grad);
  g.fillRect(0, 29, 400, 3, QColor(0xf0, 0xa0, 0x20));
  return p;
}

// Button glyphs: an arrow going into the tray (load) or out of it (generate).
QIcon Glifo(bool entrando) {
  QPixmap p(20, 20);
  p.fill(Qt::transparent);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(QPen(QColor(0x33, 0x33, 0x33), 1.5));
  g.setBrush(QColor(0xdd, 0xe6, 0xf0));
  g.drawRoundedRect(QRectF(2.5, 12.5, 15, 6), 1.5, 1.5);
  QPainterPath seta;
  if (entrando) {
    seta.moveTo(10, 14);
    seta.lineTo(4.5, 7.5);
    seta.lineTo(8, 7.5);
    seta.lineTo(8, 1.5);
    seta.lineTo(12, 1.5);
    seta.lineTo(12, 7.5);
    seta.lineTo(15.5, 7.5);
  } else {
    seta.moveTo(10, 1);
    seta.lineTo(15.5, 7.5);
    seta.lineTo(12, 7.5);
    seta.lineTo(12, 13);
    seta.lineTo(8, 13);
    seta.lineTo(8, 7.5);
    seta.lineTo(4.5, 7.5);
  }
  seta.closeSubpath();
  g.setPen(QPen(entrando ? QColor(0x1b, 0x6e, 0x20) : QColor(0x0b, 0x3c, 0x7d), 1));
  g.setBrush(entrando ? QColor(0x4c, 0xaf, 0x50) : QColor(0x2f, 0x74, 0xc0));
  g.drawPath(seta);
  return QIcon(p);
}

QLabel* Rotulo(const QString& texto, QWidget* pai, int x, int y, const char* nome, bool marrom = false) {
  auto* l = new QLabel(texto, pai);
  l->setObjectName(QLatin1String(nome));
  l->move(x, y);
  if (marrom) {
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(128, 0, 0));
    l->setPalette(pal);
  }
  l->adjustSize();
  return l;
}

QListWidget* ListaArquivosWidget(QWidget* pai, const char* nome, const QRect& r) {
  auto* l = new QListWidget(pai);
  l->setObjectName(QLatin1String(nome));
  l->setGeometry(r);
  l->setSelectionMode(QAbstractItemView::ExtendedSelection);
  return l;
}

QPushButton* BotaoEmPainel(QWidget* pai, const char* nome, const QString& texto, const QIcon& glifo, int x, int y) {
  auto* painel = new QFrame(pai);
  painel->setFrameShape(QFrame::StyledPanel);
  painel->setGeometry(x, y, 105, 33);
  auto* b = new QPushButton(glifo, texto, painel);
  b->setObjectName(QLatin1String(nome));
  b->setGeometry(4, 4, 97, 25);
  return b;
}

std::vector<std::string> Selecionados(const QListWidget* lista) {
  std::vector<std::string> nomes;
  for (int i = 0; i < lista->count(); ++i) {
    const QListWidgetItem* item = lista->item(i);
    if (item->isSelected()) nomes.push_back(item->data(kNome).toByteArray().toStdString());
  }
  return nomes;
}

void Enche(QListWidget* lista, const QString& pasta, std::string_view mascara) {
  lista->clear();
  for (const std::string& nome : ListaArquivos(CaminhoFs(pasta), mascara)) {
    auto* item = new QListWidgetItem(ParaQt(nome), lista);
    item->setData(kNome, QByteArray::fromStdString(nome));
  }
}

}  // namespace

namespace telvarim {

bool DialogosTroca::ConfirmaDisco(const std::string& pergunta) {
  return Pergunta(pai_, QMessageBox::Question, QStringLiteral("Confirm"), ParaQt(pergunta), QStringLiteral("&Yes"),
                  QStringLiteral("Cancel"), QMessageBox::RejectRole);
}

bool DialogosTroca::ConfirmaApagar(const std::string& pergunta) {
  return Pergunta(pai_, QMessageBox::Critical, QStringLiteral("Error"), ParaQt(pergunta), QStringLiteral("&Yes"),
                  QStringLiteral("&No"), QMessageBox::NoRole);
}

void DialogosTroca::Mensagem(const std::string& texto) { MostraMensagem(pai_, ParaQt(texto)); }

void DialogosTroca::Advertencia(const std::string& texto) { MostraAviso(pai_, TipoAviso::Advertencia, ParaQt(texto)); }

}  // namespace telvarim

Tfcargaarquivos::Tfcargaarquivos(QWidget* parent) : QWidget(parent), dialogos_(this) {
  setObjectName(QStringLiteral("fcargaarquivos"));
  setWindowTitle(QStringLiteral("Cargas de Arquivos"));
  setMinimumSize(594, 480);
  // The placements below were drawn for the classic 8-point sans serif: keep text of that size so that
  // captions and counts fit where they stand.
  QFont fonte(QStringLiteral("Arial"));
  fonte.setPixelSize(11);
  setFont(fonte);

  PnlCadGeral = new QFrame(this);
  PnlCadGeral->setObjectName(QStringLiteral("PnlCadGeral"));
  PnlCadGeral->setGeometry(0, 0, width(), 32);
  imgBarraFer1 = new QLabel(PnlCadGeral);
  imgBarraFer1->setObjectName(QStringLiteral("imgBarraFer1"));
  imgBarraFer1->setPixmap(Barra());
  imgBarraFer1->setScaledContents(true);
  imgBarraFer1->setGeometry(PnlCadGeral->rect());

  GroupBox2 = new QGroupBox(QStringLiteral("    Cargas dos Arquivos    "), this);
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  GroupBox2->setGeometry(9, 35, 576, 217);
  GroupBox1 = new QGroupBox(QStringLiteral("   Selecione o Local do Arquivo a carregar     "), GroupBox2);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  GroupBox1->setGeometry(16, 24, 417, 145);
  DriveComboBox1 = new QComboBox(GroupBox1);
  DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
  DriveComboBox1->setGeometry(16, 16, 177, 21);
  DirectoryListBox1 = new ListaPastas(GroupBox1);
  DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
  DirectoryListBox1->setGeometry(16, 40, 177, 97);
  FileListBox1 = ListaArquivosWidget(GroupBox1, "FileListBox1", QRect(216, 16, 185, 121));
  Label1 = Rotulo(QStringLiteral("Total de Arquivos : "), GroupBox2, 16, 176, "Label1");
  lblarqcarga =
      Rotulo(QStringLiteral("0"), GroupBox2, std::max(120, Label1->geometry().right() + 1), 176, "lblarqcarga", true);
  btnprocesso_in = BotaoEmPainel(GroupBox2, "btnprocesso_in", QStringLiteral("Carregar"), Glifo(true), 456, 172);

  GroupBox3 = new QGroupBox(QStringLiteral("    Geração dos Arquivos para a Central     "), this);
  GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
  GroupBox3->setGeometry(9, 260, 576, 214);
  FileListBox2 = ListaArquivosWidget(GroupBox3, "FileListBox2", QRect(16, 24, 185, 137));
  GroupBox4 = new QGroupBox(QStringLiteral("   Selecione o Local do Arquivo a Gerar   "), GroupBox3);
  GroupBox4->setObjectName(QStringLiteral("GroupBox4"));
  GroupBox4->setGeometry(216, 19, 217, 145);
  DriveComboBox2 = new QComboBox(GroupBox4);
  DriveComboBox2->setObjectName(QStringLiteral("DriveComboBox2"));
  DriveComboBox2->setGeometry(16, 16, 185, 21);
  DirectoryListBox2 = new ListaPastas(GroupBox4);
  DirectoryListBox2->setObjectName(QStringLiteral("DirectoryListBox2"));
  DirectoryListBox2->setGeometry(16, 40, 185, 97);
  Label2 = Rotulo(QStringLiteral("Total de Arquivos : "), GroupBox3, 24, 171, "Label2");
  lblarqgerados =
      Rotulo(QStringLiteral("0"), GroupBox3, std::max(128, Label2->geometry().right() + 1), 171, "lblarqgerados", true);
  BitBtn1 = BotaoEmPainel(GroupBox3, "BitBtn1", QStringLiteral("Gerar"), Glifo(false), 456, 168);

  FormCreate();

  connect(DriveComboBox1, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i < 0) return;
    DirectoryListBox1->DefineRaiz(DriveComboBox1->itemData(i).toString());
    DirectoryListBox1->AbrePasta(DriveComboBox1->itemData(i).toString());
  });
  connect(DriveComboBox2, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i < 0) return;
    DirectoryListBox2->DefineRaiz(DriveComboBox2->itemData(i).toString());
    DirectoryListBox2->AbrePasta(DriveComboBox2->itemData(i).toString());
  });
  connect(DirectoryListBox1, &ListaPastas::pastaAberta, this, &Tfcargaarquivos::DirectoryListBox1Change);
  connect(DirectoryListBox2, &ListaPastas::pastaAberta, this, &Tfcargaarquivos::DirectoryListBox2Change);
  connect(FileListBox1, &QListWidget::currentRowChanged, this, &Tfcargaarquivos::FileListBox1Change);
  connect(btnprocesso_in, &QPushButton::clicked, this, &Tfcargaarquivos::btnprocesso_inClick);
  connect(BitBtn1, &QPushButton::clicked, this, &Tfcargaarquivos::BitBtn1Click);
}

Tfcargaarquivos::~Tfcargaarquivos() = default;

void Tfcargaarquivos::DefineOperador(OperadorTroca* operador) { operador_ = operador; }

OperadorTroca& Tfcargaarquivos::Operador() {
  if (operador_) return *operador_;
  return dialogos_;
}

void Tfcargaarquivos::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PnlCadGeral->setGeometry(0, 0, width(), 32);
  imgBarraFer1->setGeometry(PnlCadGeral->rect());
}

void Tfcargaarquivos::PreencheDrives(QComboBox* combo) {
  const QSignalBlocker bloqueio(combo);
  combo->clear();
  for (const Volume& v : volumes_) combo->addItem(ParaQt(v.texto), CaminhoQt(v.raiz));
}

void Tfcargaarquivos::SincronizaDrive(QComboBox* combo, const QString& pasta) {
  const QSignalBlocker bloqueio(combo);
  combo->setCurrentIndex(static_cast<int>(VolumeDe(volumes_, CaminhoFs(pasta))));
}

void Tfcargaarquivos::FormCreate() {
  volumes_ = ListaVolumes();
  const QString atual = QDir::currentPath();
  for (auto [combo, lista] :
       {std::pair{DriveComboBox1, DirectoryListBox1}, std::pair{DriveComboBox2, DirectoryListBox2}}) {
    PreencheDrives(combo);
    SincronizaDrive(combo, atual);
    lista->DefineRaiz(combo->currentData().toString());
    lista->AbrePasta(atual);
  }

  pastaGerados_ = CaminhoQt(telvarim::Programa().Pastas.Gerados());
  LeFileListBox2();
  lblarqgerados->setText(QString::number(FileListBox2->count()));
  lblarqgerados->adjustSize();

  pastaCarga_ = DirectoryListBox1->Pasta();
  LeFileListBox1();
}

void Tfcargaarquivos::LeFileListBox1() {
  Enche(FileListBox1, pastaCarga_, MascaraRecebidos);
  FileListBox1Change();
}

void Tfcargaarquivos::LeFileListBox2() { Enche(FileListBox2, pastaGerados_, MascaraGerados); }

void Tfcargaarquivos::FileListBox1Change() {
  lblarqcarga->setText(QString::number(FileListBox1->count()));
  lblarqcarga->adjustSize();
}

void Tfcargaarquivos::DirectoryListBox1Change() {
  SincronizaDrive(DriveComboBox1, DirectoryListBox1->Pasta());
  pastaCarga_ = DirectoryListBox1->Pasta();
  LeFileListBox1();
  if (FileListBox1->count() > 0)
    FileListBox1->selectionModel()->setCurrentIndex(FileListBox1->model()->index(0, 0), QItemSelectionModel::NoUpdate);
}

void Tfcargaarquivos::DirectoryListBox2Change() {
  // Only the destination moves: the generated files and their selection stay as they are.
  SincronizaDrive(DriveComboBox2, DirectoryListBox2->Pasta());
}

void Tfcargaarquivos::btnprocesso_inClick() {
  const std::vector<std::string> nomes = Selecionados(FileListBox1);
  if (nomes.empty()) {
    Operador().Mensagem(std::string(TextoSelecioneArquivos));
    return;
  }
  const ResultadoTroca r = CarregaArquivos(CaminhoFs(pastaCarga_), nomes, telvarim::Programa().Pastas.Recebidos());
  pastaCarga_ = DirectoryListBox1->Pasta();
  LeFileListBox1();
  InformaResultado(r, Operador());
}

void Tfcargaarquivos::BitBtn1Click() {
  const std::vector<std::string> nomes = Selecionados(FileListBox2);
  if (nomes.empty()) {
    Operador().Mensagem(std::string(TextoSelecioneArquivos));
    return;
  }
  const ResultadoTroca r = GeraArquivos(CaminhoFs(pastaGerados_), nomes, CaminhoFs(DirectoryListBox2->PastaRealcada()),
                                        ParaCp1252(DriveComboBox2->currentText()), Operador());
  LeFileListBox2();
  InformaResultado(r, Operador());
}
