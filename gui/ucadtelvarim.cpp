#include "ucadtelvarim.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>

#include "cadastrotelvarim.h"
#include "cp1252.h"
#include "graderecarga.h"
#include "modelograde.h"
#include "numbers.h"
#include "tabelas.h"

using telvarim::CadastroTelvarim;
using telvarim::ParaCp1252;
using telvarim::ParaQt;
using Pagina = telvarim::CadastroTelvarim::Pagina;

QPointer<Tfcadtelvarim> fcadtelvarim;

namespace {

const QString kPerguntaFechamento = QStringLiteral(
    "Há valores digitados que não foram salvos em rascunho nem gerados.\nSalvar Rascunho antes de sair?");

QLabel* Rotulo(QWidget* pai, const char* nome, const QString& texto = {}) {
  auto* l = new QLabel(texto, pai);
  if (nome) l->setObjectName(QLatin1String(nome));
  return l;
}

// A label that shows a value: maroon, as the counts of the product's windows.
QLabel* Valor(QWidget* pai, const char* nome) {
  QLabel* l = Rotulo(pai, nome);
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, QColor(128, 0, 0));
  l->setPalette(p);
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return l;
}

QListWidget* ListaArquivos(QWidget* pai, const char* nome) {
  auto* l = new QListWidget(pai);
  l->setObjectName(QLatin1String(nome));
  l->setSelectionMode(QAbstractItemView::SingleSelection);
  l->setMinimumHeight(72);  // four names, and the list gives up the rest of its height first
  return l;
}

// A page of the stack whose controls scroll when the window is smaller than they need: the grid, the lists
// and the log give up their height first, and scroll bars appear only below their least. Returns the widget
// the page's controls go on.
QWidget* PaginaRolavel(QStackedWidget* pilha, QWidget*& pagina, const char* nome) {
  pagina = new QWidget(pilha);
  pagina->setObjectName(QLatin1String(nome));
  pilha->addWidget(pagina);
  auto* l = new QVBoxLayout(pagina);
  l->setContentsMargins(0, 0, 0, 0);
  auto* rolagem = new QScrollArea(pagina);
  rolagem->setObjectName(QLatin1String(nome) + QStringLiteral("Rolagem"));
  rolagem->setFrameShape(QFrame::NoFrame);
  rolagem->setWidgetResizable(true);
  rolagem->setFocusPolicy(Qt::NoFocus);
  auto* conteudo = new QWidget;
  conteudo->setObjectName(QLatin1String(nome) + QStringLiteral("Conteudo"));
  rolagem->setWidget(conteudo);
  l->addWidget(rolagem);
  return conteudo;
}

// A label of a value that may be longer than the room it has: it gives up its width, and its whole text
// stays in its tooltip.
void Encolhe(QLabel* l, int minimo) {
  l->setMinimumWidth(minimo);
  l->setSizePolicy(QSizePolicy::Ignored, l->sizePolicy().verticalPolicy());
}

void Enche(QListWidget* lista, std::vector<std::string>& mostrados, const std::vector<std::string>& itens) {
  if (mostrados == itens && lista->count() == static_cast<int>(itens.size())) return;
  const QSignalBlocker bloqueio(lista);
  lista->clear();
  for (const std::string& nome : itens) lista->addItem(ParaQt(nome));
  mostrados = itens;
}

// The choices carry their codes; the texts are made from the tables.
template <class Texto>
void Enche(QComboBox* caixa, std::vector<std::int32_t>& mostrados, const std::vector<std::int32_t>& codigos,
           std::int32_t atual, Texto texto) {
  const QSignalBlocker bloqueio(caixa);
  if (mostrados != codigos || caixa->count() != static_cast<int>(codigos.size())) {
    caixa->clear();
    for (const std::int32_t k : codigos) caixa->addItem(ParaQt(texto(k)), k);
    mostrados = codigos;
  }
  if (caixa->currentIndex() < 0 || caixa->currentData().toInt() != atual)
    caixa->setCurrentIndex(caixa->findData(atual));
}

}  // namespace

Tfcadtelvarim::Tfcadtelvarim(QWidget* parent)
    : QWidget(parent),
      dialogos_(this),
      cadastro_(std::make_unique<CadastroTelvarim>(dialogos_, telvarim::Programa().Pastas)) {
  setObjectName(QStringLiteral("fcadtelvarim"));
  setWindowTitle(QStringLiteral("Cadastro Telvarim"));
  // The column widths the engine gives were drawn for the classic 8-point sans serif.
  QFont fonte(QStringLiteral("Arial"));
  fonte.setPixelSize(11);
  setFont(fonte);

  PageControl1 = new QStackedWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  auto* principal = new QVBoxLayout(this);
  principal->setContentsMargins(0, 0, 0, 0);
  principal->addWidget(PageControl1);
  CriaPaginaArquivos();
  CriaPaginaDigitacao();
  CriaPaginaLog();

  // Tab follows each page top to bottom, left to right.
  const auto Ordena = [](std::initializer_list<QWidget*> controles) {
    QWidget* anterior = nullptr;
    for (QWidget* c : controles) {
      if (anterior) setTabOrder(anterior, c);
      anterior = c;
    }
  };
  Ordena({FLBArquivosRecargaRecebidos, btnprocessar, FLBArquivosRecargaProcessados, FLBArquivosRecargaGerados});
  Ordena({itensClassificacao_->button(0), itensClassificacao_->button(1), itensClassificacao_->button(2), edalteravlr,
          btnalteravlr, cbtipocartao, cbtarifa, edLocalizar, sgRecarga, BitBtn1, btnimportararq, btnimpressao,
          btnsalvarrascunho, btngerararquivo});
  Ordena({memolog, btnFechar});

  dialogos_.DefineLog(memolog);
  dialogos_.DefineAntesDeProcessar([this] { AtualizaProgresso(); });
  connect(qApp, &QApplication::focusChanged, this, &Tfcadtelvarim::FocoMudou);

  Executa([this] { return cadastro_->Abre(); });
}

Tfcadtelvarim::~Tfcadtelvarim() {
  disconnect(qApp, &QApplication::focusChanged, this, &Tfcadtelvarim::FocoMudou);
  if (motivoNoStatus_) telvarim::EscreveAvisoStatus(QString());
  dialogos_.DefineAntesDeProcessar({});
  // The widgets read the engine while they go: they go first.
  delete PageControl1;
  delete modelo_;
}

QPushButton* Tfcadtelvarim::Botao(QWidget* pai, const char* nome, const QString& texto) {
  auto* b = new QPushButton(texto, pai);
  b->setObjectName(QLatin1String(nome));
  b->setAutoDefault(false);
  return b;
}

void Tfcadtelvarim::CriaPaginaArquivos() {
  QWidget* pagina = PaginaRolavel(PageControl1, tbarquivos, "tbarquivos");
  auto* linha = new QHBoxLayout(pagina);

  auto Quadro = [&](const char* nome, const QString& titulo, QListWidget*& lista, const char* nomeLista) {
    auto* g = new QGroupBox(titulo, pagina);
    g->setObjectName(QLatin1String(nome));
    lista = ListaArquivos(g, nomeLista);
    auto* v = new QVBoxLayout(g);
    v->addWidget(lista, 1);
    linha->addWidget(g, 1);
    return v;
  };
  auto ParContagem = [](QWidget* pai, QLayout* layout, const char* nomeRotulo, const QString& texto,
                        const char* nomeValor) {
    auto* h = new QHBoxLayout;
    h->addWidget(Rotulo(pai, nomeRotulo, texto));
    QLabel* v = Valor(pai, nomeValor);
    h->addWidget(v, 1);
    static_cast<QBoxLayout*>(layout)->addLayout(h);
    return v;
  };

  QVBoxLayout* rec = Quadro("GroupBox1", QStringLiteral("   Arquivos a Processar   "), FLBArquivosRecargaRecebidos,
                            "FLBArquivosRecargaRecebidos");
  QWidget* gRec = FLBArquivosRecargaRecebidos->parentWidget();
  lblarqproc = ParContagem(gRec, rec, "Label1", QStringLiteral("Total de Arquivos : "), "lblarqproc");
  {
    auto* h = new QHBoxLayout;
    lbltipoultacc = Rotulo(gRec, "lbltipoultacc");
    lblultacesso = Valor(gRec, "lblultacesso");
    h->addWidget(lbltipoultacc);
    h->addWidget(lblultacesso, 1);
    rec->addLayout(h);
  }
  Encolhe(lblultacesso, 40);
  btnprocessar = Botao(gRec, "btnprocessar", QStringLiteral("&Processar Arquivo"));
  rec->addWidget(btnprocessar, 0, Qt::AlignRight);

  QVBoxLayout* proc = Quadro("GroupBox2", QStringLiteral("   Arquivos Já Processados    "),
                             FLBArquivosRecargaProcessados, "FLBArquivosRecargaProcessados");
  QWidget* gProc = FLBArquivosRecargaProcessados->parentWidget();
  lblarqjaproc = ParContagem(gProc, proc, "Label2", QStringLiteral("Total de Arquivos : "), "lblarqjaproc");
  lblultimoarquivo = ParContagem(gProc, proc, "Label3", QStringLiteral("Último : "), "lblultimoarquivo");

  QVBoxLayout* ger = Quadro("GroupBox3", QStringLiteral("   Arquivos Gerados   "), FLBArquivosRecargaGerados,
                            "FLBArquivosRecargaGerados");
  QWidget* gGer = FLBArquivosRecargaGerados->parentWidget();
  lblarqgerado = ParContagem(gGer, ger, "Label4", QStringLiteral("Total de Arquivos : "), "lblarqgerado");
  lblultimogerado = ParContagem(gGer, ger, "Label5", QStringLiteral("Último : "), "lblultimogerado");
  Encolhe(lblultimoarquivo, 40);
  Encolhe(lblultimogerado, 40);
  // The three lists end level with each other.
  proc->addSpacing(btnprocessar->sizeHint().height() + rec->spacing());
  ger->addSpacing(btnprocessar->sizeHint().height() + rec->spacing());

  connect(FLBArquivosRecargaRecebidos, &QListWidget::currentRowChanged, this,
          &Tfcadtelvarim::FLBArquivosRecargaRecebidosChange);
  connect(FLBArquivosRecargaRecebidos, &QListWidget::itemActivated, this, &Tfcadtelvarim::btnprocessarClick);
  connect(btnprocessar, &QPushButton::clicked, this, &Tfcadtelvarim::btnprocessarClick);
}

void Tfcadtelvarim::CriaPaginaDigitacao() {
  QWidget* pagina = PaginaRolavel(PageControl1, tbDigitacao, "tbDigitacao");
  auto* v = new QVBoxLayout(pagina);

  // The file's data, the ordering and the default value.
  auto* topo = new QHBoxLayout;
  v->addLayout(topo);
  auto* dados = new QGroupBox(QStringLiteral("   Dados do Arquivo    "), pagina);
  dados->setObjectName(QStringLiteral("GroupBox4"));
  auto* gd = new QGridLayout(dados);
  struct Dado {
    const char* nomeRotulo;
    const char* texto;
    QLabel** valor;
    const char* nomeValor;
  };
  const Dado campos[] = {{"Label6", "Empresa : ", &lblempresa, "lblempresa"},
                         {"Label7", "Data : ", &lbldata, "lbldata"},
                         {"Label8", "Criptografado : ", &lblcripta, "lblcripta"},
                         {"Label9", "Sequencial : ", &lblseq, "lblseq"}};
  int linhaDado = 0;
  for (const Dado& d : campos) {
    gd->addWidget(Rotulo(dados, d.nomeRotulo, QString::fromUtf8(d.texto)), linhaDado, 0);
    *d.valor = Valor(dados, d.nomeValor);
    Encolhe(*d.valor, 48);
    gd->addWidget(*d.valor, linhaDado++, 1);
  }
  lblregistros = Rotulo(dados, "lblregistros");
  lblregistros->hide();
  gd->setColumnStretch(1, 1);
  topo->addWidget(dados, 3);

  rbClassificacao = new QGroupBox(QStringLiteral("  Classificação   "), pagina);
  rbClassificacao->setObjectName(QStringLiteral("rbClassificacao"));
  itensClassificacao_ = new QButtonGroup(rbClassificacao);
  auto* gc = new QVBoxLayout(rbClassificacao);
  int item = 0;
  for (const char* texto : {"&Código", "A&lfabética", "&Matricula"}) {
    auto* r = new QRadioButton(QString::fromUtf8(texto), rbClassificacao);
    r->setObjectName(QStringLiteral("rbClassificacao%1").arg(item));
    itensClassificacao_->addButton(r, item++);
    gc->addWidget(r);
  }
  topo->addWidget(rbClassificacao);

  auto* padrao = new QGroupBox(QStringLiteral("  Valor Pa&drão  "), pagina);
  padrao->setObjectName(QStringLiteral("GroupBox5"));
  auto* gp = new QHBoxLayout(padrao);
  edalteravlr = new QLineEdit(padrao);
  edalteravlr->setObjectName(QStringLiteral("edalteravlr"));
  edalteravlr->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  edalteravlr->setMaximumWidth(90);
  btnalteravlr = Botao(padrao, "btnalteravlr", QStringLiteral("Alterar &Vlr."));
  gp->addWidget(edalteravlr);
  gp->addWidget(btnalteravlr);
  topo->addWidget(padrao, 0, Qt::AlignTop);

  // Card type and tariff.
  auto* escolha = new QHBoxLayout;
  v->addLayout(escolha);
  QLabel* rotuloTipo = Rotulo(pagina, "Label10", QStringLiteral("&Tipo de Cartão : "));
  escolha->addWidget(rotuloTipo);
  cbtipocartao = new QComboBox(pagina);
  rotuloTipo->setBuddy(cbtipocartao);
  cbtipocartao->setObjectName(QStringLiteral("cbtipocartao"));
  // Descriptions run to 50 characters: the box takes the room there is and shows them whole when open.
  cbtipocartao->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbtipocartao->setMinimumContentsLength(12);
  escolha->addWidget(cbtipocartao, 2);
  escolha->addSpacing(12);
  QLabel* rotuloTarifa = Rotulo(pagina, "Label11", QStringLiteral("Ta&rifa : "));
  escolha->addWidget(rotuloTarifa);
  cbtarifa = new QComboBox(pagina);
  rotuloTarifa->setBuddy(cbtarifa);
  cbtarifa->setObjectName(QStringLiteral("cbtarifa"));
  cbtarifa->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbtarifa->setMinimumContentsLength(12);
  escolha->addWidget(cbtarifa, 1);
  escolha->addStretch(1);

  // The grid's caption (what it shows) and the find box.
  auto* legenda = new QHBoxLayout;
  v->addLayout(legenda);
  QFont negrito = font();
  negrito.setBold(true);
  lbltipo = Rotulo(pagina, "lbltipo");
  lbltipo->setFont(negrito);
  Encolhe(lbltipo, 60);
  lbltarifa = Rotulo(pagina, "lbltarifa");
  lbltarifa->setFont(negrito);
  legenda->addWidget(lbltipo, 3);
  legenda->addSpacing(24);
  legenda->addWidget(lbltarifa, 2);
  pnlLocalizar = new QFrame(pagina);
  pnlLocalizar->setObjectName(QStringLiteral("pnlLocalizar"));
  auto* hl = new QHBoxLayout(pnlLocalizar);
  hl->setContentsMargins(0, 0, 0, 0);
  hl->addWidget(Rotulo(pnlLocalizar, "Label12", QStringLiteral("Localizar : ")));
  edLocalizar = new QLineEdit(pnlLocalizar);
  edLocalizar->setObjectName(QStringLiteral("edLocalizar"));
  edLocalizar->setPlaceholderText(QStringLiteral("código, cartão, matrícula ou nome"));
  edLocalizar->setMinimumWidth(160);
  hl->addWidget(edLocalizar);
  lblLocalizar = Valor(pnlLocalizar, "lblLocalizar");
  hl->addWidget(lblLocalizar);
  pnlLocalizar->hide();
  legenda->addWidget(pnlLocalizar);

  sgRecarga = new telvarim::GradeRecarga(pagina);
  sgRecarga->setObjectName(QStringLiteral("sgRecarga"));
  modelo_ = new telvarim::ModeloGrade(
      *cadastro_, [this](int linha, const std::string& texto) { return Digita(linha, texto); }, this);
  sgRecarga->setModel(modelo_);
  // Six rows at least; below that the page scrolls rather than the grid shrinking out of use.
  sgRecarga->setMinimumHeight(150);
  v->addWidget(sgRecarga, 1);

  // Totals, the progress of long operations, and the buttons.
  auto* baixo = new QHBoxLayout;
  v->addLayout(baixo);
  auto* totais = new QGridLayout;
  struct Total {
    int linha, coluna;
    const char* nomeRotulo;
    const char* texto;
    QLabel** valor;
    const char* nomeValor;
  };
  const Total campoTotais[] = {
      {0, 0, "Label13", "Quant.de Recargas : ", &lblqtdrec, "lblqtdrec"},
      {0, 2, "Label14", "Vlr. Recargas : ", &lblvlrrecdig, "lblvlrrecdig"},
      {0, 4, "Label15", "Qtd. Créditos : ", &lblqtdrecdig, "lblqtdrecdig"},
      {1, 2, "Label16", "Vlr.Geral Recargas : ", &lblgervlrdig, "lblgervlrdig"},
      {1, 4, "Label17", "Qtd. Geral Créditos : ", &lblgerqtddig, "lblgerqtddig"},
  };
  for (const Total& t : campoTotais) {
    totais->addWidget(Rotulo(pagina, t.nomeRotulo, QString::fromUtf8(t.texto)), t.linha, t.coluna, Qt::AlignRight);
    *t.valor = Valor(pagina, t.nomeValor);
    (*t.valor)->setMinimumWidth(64);
    (*t.valor)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    totais->addWidget(*t.valor, t.linha, t.coluna + 1);
  }
  totais->setHorizontalSpacing(6);
  baixo->addLayout(totais);
  baixo->addStretch(1);
  // The progress of an import on a line of its own, so that the page stays narrow enough for the frame.
  auto* progresso = new QHBoxLayout;
  v->addLayout(progresso);
  CGauge1 = new QProgressBar(pagina);
  CGauge1->setObjectName(QStringLiteral("CGauge1"));
  // Not wider than it was drawn: a progress bar repaints at once for every pixel it grows, and an import
  // moves it 10000 times.
  CGauge1->setMinimumWidth(120);
  CGauge1->setMaximumWidth(200);
  CGauge1->setMaximumHeight(16);
  Label19 = Rotulo(pagina, "Label19", QStringLiteral("Registros Processados: "));
  Label18 = Valor(pagina, "Label18");
  Label18->setMinimumWidth(48);
  for (QWidget* w : std::initializer_list<QWidget*>{CGauge1, Label19, Label18}) {
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);  // the page does not jump when the progress shows
    w->setSizePolicy(p);
  }
  progresso->addWidget(CGauge1, 1);
  progresso->addSpacing(12);
  progresso->addWidget(Label19);
  progresso->addWidget(Label18);
  progresso->addStretch(2);

  auto* botoes = new QHBoxLayout;
  v->addLayout(botoes);
  BitBtn1 = Botao(pagina, "BitBtn1", QStringLiteral("&Atualiza valor com a última recarga"));
  btnimportararq = Botao(pagina, "btnimportararq", QStringLiteral("Imp&ortar Arquivo"));
  btnimpressao = Botao(pagina, "btnimpressao", QStringLiteral("&Imprimir"));
  btnsalvarrascunho = Botao(pagina, "btnsalvarrascunho", QStringLiteral("&Salvar Rascunho"));
  btngerararquivo = Botao(pagina, "btngerararquivo", QStringLiteral("&Gerar Arquivo"));
  botoes->addWidget(BitBtn1);
  botoes->addWidget(btnimportararq);
  botoes->addWidget(btnimpressao);
  botoes->addStretch(1);
  botoes->addWidget(btnsalvarrascunho);
  botoes->addWidget(btngerararquivo);

  connect(cbtipocartao, &QComboBox::currentIndexChanged, this, &Tfcadtelvarim::cbtipocartaoChange);
  connect(cbtarifa, &QComboBox::currentIndexChanged, this, &Tfcadtelvarim::cbtarifaChange);
  connect(itensClassificacao_, &QButtonGroup::idToggled, this, [this](int id, bool marcado) {
    if (marcado) rbClassificacaoClick(id);
  });
  connect(sgRecarga, &telvarim::GradeRecarga::enter, this, &Tfcadtelvarim::sgRecargaKeyPress);
  connect(sgRecarga, &telvarim::GradeRecarga::teclaVertical, this, &Tfcadtelvarim::sgRecargaKeyDown);
  connect(edalteravlr, &QLineEdit::textEdited, this, &Tfcadtelvarim::edalteravlrChange);
  // Enter in the box does what its button does, with the same checks.
  connect(edalteravlr, &QLineEdit::returnPressed, this, &Tfcadtelvarim::btnalteravlrClick);
  connect(sgRecarga, &telvarim::GradeRecarga::digitacaoSemRecarga, this, &Tfcadtelvarim::MostraSemRecarga);
  connect(sgRecarga->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& atual) { sgRecargaSelectCell(atual.row()); });
  connect(btnalteravlr, &QPushButton::clicked, this, &Tfcadtelvarim::btnalteravlrClick);
  connect(BitBtn1, &QPushButton::clicked, this, &Tfcadtelvarim::BitBtn1Click);
  connect(btnimportararq, &QPushButton::clicked, this, &Tfcadtelvarim::btnimportararqClick);
  connect(btnimpressao, &QPushButton::clicked, this, &Tfcadtelvarim::btnimpressaoClick);
  connect(btnsalvarrascunho, &QPushButton::clicked, this, &Tfcadtelvarim::btnsalvarrascunhoClick);
  connect(btngerararquivo, &QPushButton::clicked, this, &Tfcadtelvarim::btngerararquivoClick);

  auto* localizar = new QShortcut(QKeySequence::Find, pagina);
  localizar->setContext(Qt::WidgetWithChildrenShortcut);
  connect(localizar, &QShortcut::activated, this, &Tfcadtelvarim::MostraLocalizar);
  auto* fechaLocalizar = new QShortcut(QKeySequence(Qt::Key_Escape), pnlLocalizar);
  fechaLocalizar->setContext(Qt::WidgetWithChildrenShortcut);
  connect(fechaLocalizar, &QShortcut::activated, this, &Tfcadtelvarim::EscondeLocalizar);
  connect(edLocalizar, &QLineEdit::returnPressed, this, &Tfcadtelvarim::LocalizaProximo);
  connect(edLocalizar, &QLineEdit::textEdited, lblLocalizar, &QLabel::clear);
}

void Tfcadtelvarim::CriaPaginaLog() {
  QWidget* pagina = PaginaRolavel(PageControl1, tblog, "tblog");
  auto* v = new QVBoxLayout(pagina);
  memolog = new QPlainTextEdit(pagina);
  memolog->setMinimumHeight(96);
  memolog->setTabChangesFocus(true);
  memolog->setObjectName(QStringLiteral("memolog"));
  memolog->setReadOnly(true);
  memolog->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The log's lines line up in columns of blanks.
  memolog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  v->addWidget(memolog, 1);
  btnFechar = Botao(pagina, "btnFechar", QStringLiteral("&Fechar"));
  v->addWidget(btnFechar, 0, Qt::AlignRight);
  connect(btnFechar, &QPushButton::clicked, this, &Tfcadtelvarim::btnFecharClick);
}

void Tfcadtelvarim::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!mostrado_ && cadastro_->PaginaAtiva == Pagina::Digitacao) sgRecarga->setFocus();
  mostrado_ = true;
}

void Tfcadtelvarim::closeEvent(QCloseEvent* event) {
  if (!ConfirmaFechamento()) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

// --- showing the engine's state ---------------------------------------------------------------------------

void Tfcadtelvarim::Atualiza() {
  const CadastroTelvarim& c = *cadastro_;
  QWidget* pagina = c.PaginaAtiva == Pagina::Digitacao ? tbDigitacao
                    : c.PaginaAtiva == Pagina::Log     ? tblog
                                                       : tbarquivos;
  if (PageControl1->currentWidget() != pagina) PageControl1->setCurrentWidget(pagina);

  AtualizaListas();
  lblarqproc->setText(QString::number(c.Recebidos.Count()));
  const bool acessado = !c.UltimoAcessado.empty();
  lbltipoultacc->setText(acessado ? QStringLiteral("Último Arquivo Acessado : ") : QString());
  lbltipoultacc->setVisible(acessado);
  lblultacesso->setText(ParaQt(c.UltimoAcessado));
  lblultacesso->setVisible(acessado);
  lblarqjaproc->setText(QString::number(c.Processados.Count()));
  lblultimoarquivo->setText(c.Processados.Count() > 0 ? ParaQt(c.Processados.Items.back())
                                                      : QStringLiteral("Não Há Arquivos Processados"));
  lblarqgerado->setText(QString::number(c.Gerados.Count()));
  lblultimogerado->setText(c.Gerados.Count() > 0 ? ParaQt(c.Gerados.Items.back())
                                                 : QStringLiteral("Não Há Arquivos Gerados"));

  const telvarim::RegCabecalho& cab = c.Cabecalho;
  lblempresa->setText(c.CabecalhoLido ? ParaQt(telvarim::EmpresaExibicao(cab)) : QString());
  lbldata->setText(c.CabecalhoLido ? ParaQt(telvarim::DataExibicao(cab)) : QString());
  lblcripta->setText(c.CabecalhoLido ? ParaQt(telvarim::CriptografiaExibicao(cab)) : QString());
  lblseq->setText(c.CabecalhoLido ? ParaQt(telvarim::Trim(cab.SequencialArquivo)) : QString());
  lblregistros->setText(c.RodapeLido ? QString::number(c.Rodape.QtdRegistros) : QString());

  const telvarim::Tabelas& tab = c.tabelas();
  Enche(cbtipocartao, itensTipo_, c.TiposDoArquivo, c.TipoCartaoAtual,
        [&](std::int32_t k) { return TextoTipoCartao(tab.TipoCartao(k)); });
  Enche(cbtarifa, itensTarifa_, c.TarifasDoArquivo, c.TarifaAtual,
        [&](std::int32_t k) { return TextoTarifa(tab.Tarifa(k)); });
  lbltipo->setText(cbtipocartao->currentText());
  lbltarifa->setText(cbtarifa->currentText());
  for (QLabel* l : {lblempresa, lbldata, lblcripta, lblseq, lbltipo, lblultacesso, lblultimoarquivo, lblultimogerado})
    l->setToolTip(l->text());
  {
    const QSignalBlocker bloqueio(itensClassificacao_);
    if (QAbstractButton* b = itensClassificacao_->button(static_cast<int>(c.Ordem))) b->setChecked(true);
  }
  const int decimais = c.VistaEmCreditos() ? 0 : 2;
  if (decimaisValorPadrao_ != decimais) {
    decimaisValorPadrao_ = decimais;
    const QString padrao =
        decimais > 0 ? QStringLiteral("-?\\d{0,9}([,.]\\d{0,%1})?").arg(decimais) : QStringLiteral("-?\\d{0,9}");
    delete edalteravlr->validator();
    edalteravlr->setValidator(new QRegularExpressionValidator(QRegularExpression(padrao), edalteravlr));
  }

  lblqtdrec->setText(QString::number(c.QtdLinhas()));
  const telvarim::Totais vista = c.TotaisVista(), arquivo = c.TotaisArquivo();
  lblvlrrecdig->setText(ParaQt(telvarim::FormataPadrao(vista.dinheiro, "###,##0.00")));
  lblqtdrecdig->setText(ParaQt(telvarim::FormataInteiro(vista.creditos, "###,##0")));
  lblgervlrdig->setText(ParaQt(telvarim::FormataPadrao(arquivo.dinheiro, "###,##0.00")));
  lblgerqtddig->setText(ParaQt(telvarim::FormataInteiro(arquivo.creditos, "###,##0")));
  AtualizaGrade();
  AtualizaProgresso();
}

void Tfcadtelvarim::AtualizaListas() {
  const CadastroTelvarim& c = *cadastro_;
  Enche(FLBArquivosRecargaRecebidos, itensRecebidos_, c.Recebidos.Items);
  Enche(FLBArquivosRecargaProcessados, itensProcessados_, c.Processados.Items);
  Enche(FLBArquivosRecargaGerados, itensGerados_, c.Gerados.Items);
  const QSignalBlocker bloqueio(FLBArquivosRecargaRecebidos);
  const int i = c.Recebidos.ItemIndex;
  FLBArquivosRecargaRecebidos->setCurrentRow(i >= 0 && i < FLBArquivosRecargaRecebidos->count() ? i : -1);
}

void Tfcadtelvarim::AtualizaGrade() {
  const CadastroTelvarim& c = *cadastro_;
  const QModelIndex antes = sgRecarga->currentIndex();
  modelo_->Sincroniza();
  if (mudancasVista_ == c.MudancasVista()) return;
  // A view filled or ordered anew: the engine's widths, the default value back to zero, the first row's
  // value current.
  mudancasVista_ = c.MudancasVista();
  QHeaderView* cabecalho = sgRecarga->horizontalHeader();
  // The engine's widths fit digits 5 to 6 pixels wide; a font with wider digits widens every column alike.
  const double escala = std::max(1.0, sgRecarga->fontMetrics().horizontalAdvance(QLatin1Char('0')) / 5.5);
  for (int col = 0; col < c.Colunas(); ++col)
    cabecalho->resizeSection(col, static_cast<int>(std::lround(CadastroTelvarim::LarguraColuna(col) * escala)));
  const int altura = std::max(16, sgRecarga->fontMetrics().height() + 4);
  if (sgRecarga->verticalHeader()->defaultSectionSize() != altura)
    sgRecarga->verticalHeader()->setDefaultSectionSize(altura);
  edalteravlr->setText(decimaisValorPadrao_ > 0 ? QStringLiteral("0,00") : QStringLiteral("0"));
  const QModelIndex primeiro = modelo_->index(0, telvarim::ModeloGrade::kColunaValor);
  if (primeiro.isValid() && primeiro != antes) {
    sgRecarga->selectionModel()->setCurrentIndex(primeiro, QItemSelectionModel::ClearAndSelect);
    sgRecarga->scrollTo(primeiro);
  }
}

void Tfcadtelvarim::AtualizaProgresso() {
  const CadastroTelvarim& c = *cadastro_;
  const telvarim::Andamento& p = c.Progresso;
  CGauge1->setMaximum(std::max(p.Maximo, 1));
  CGauge1->setValue(std::clamp(p.Feitos, 0, std::max(p.Maximo, 1)));
  CGauge1->setVisible(p.Visivel);
  Label18->setText(QString::number(p.Feitos));
  Label18->setVisible(p.Visivel);
  Label19->setVisible(p.Visivel);

  const bool h = c.ControlesHabilitados;
  for (QWidget* w : std::initializer_list<QWidget*>{btnalteravlr, btnsalvarrascunho, btngerararquivo, cbtipocartao,
                                                    cbtarifa, edalteravlr, rbClassificacao, sgRecarga})
    w->setEnabled(h);
  btnimpressao->setEnabled(h && !c.ImportandoArquivo);
  btnimportararq->setEnabled(h && !c.ImportandoArquivo);
}

// --- running the engine -------------------------------------------------------------------------------------

template <class F>
telvarim::Resultado Tfcadtelvarim::Executa(F&& operacao) {
  const QPointer<QWidget> foco = QApplication::focusWidget();
  const bool antes = emOperacao_;
  emOperacao_ = true;
  telvarim::Resultado r;
  try {
    r = operacao();
  } catch (const std::exception& e) {
    // The engine reports its own failures; anything else must not reach the event loop.
    const std::string m = ParaCp1252(QString::fromLocal8Bit(e.what()));
    dialogos_.Erro(m);
    r = telvarim::Resultado::Falha(m);
  }
  Atualiza();
  // Controls the operation disabled for a while gave the focus away.
  if (foco && foco != QApplication::focusWidget() && isAncestorOf(foco) && foco->isVisible() && foco->isEnabled())
    foco->setFocus();
  emOperacao_ = antes;
  return r;
}

telvarim::Resultado Tfcadtelvarim::Digita(int linha, const std::string& texto) {
  const QWidget* foco = QApplication::focusWidget();
  const bool naGrade = foco && (foco == sgRecarga || sgRecarga->isAncestorOf(foco));
  const telvarim::Resultado r = Executa([&] { return cadastro_->DigitaValor(linha, texto); });
  // The cell's editor is gone with its box: the operator goes on typing in the grid.
  if (naGrade && QApplication::focusWidget() != sgRecarga && !sgRecarga->isAncestorOf(QApplication::focusWidget()))
    sgRecarga->setFocus();
  if (r.Feito()) {
    alterado_ = true;
  } else {
    // The refusal answers the key or click that ended the typing, and nothing after it: a button pressed to
    // leave the cell does nothing more, the next one works again.
    digitacaoRecusada_ = true;
    QTimer::singleShot(0, this, [this] { digitacaoRecusada_ = false; });
  }
  return r;
}

bool Tfcadtelvarim::SaiDaGrade() {
  sgRecarga->ConfirmaEdicao();
  return !digitacaoRecusada_;
}

void Tfcadtelvarim::FocoMudou(QWidget* antigo, QWidget* novo) {
  if (emOperacao_ || !novo || !isAncestorOf(novo)) return;
  // Leaving the default value for anything but its own button checks it there.
  if (antigo == edalteravlr && novo != btnalteravlr) edalteravlrExit();
}

// --- handlers -----------------------------------------------------------------------------------------------

void Tfcadtelvarim::FLBArquivosRecargaRecebidosChange() {
  cadastro_->Recebidos.ItemIndex = FLBArquivosRecargaRecebidos->currentRow();
}

void Tfcadtelvarim::btnprocessarClick() {
  Executa([this] {
    cadastro_->Recebidos.ItemIndex = FLBArquivosRecargaRecebidos->currentRow();
    return cadastro_->Processa();
  });
  if (cadastro_->PaginaAtiva != Pagina::Arquivos) alterado_ = false;  // the tables hold another file now
  if (cadastro_->PaginaAtiva == Pagina::Digitacao) sgRecarga->setFocus();
}

void Tfcadtelvarim::cbtipocartaoChange(int indice) {
  if (!SaiDaGrade() || indice < 0 || indice >= static_cast<int>(itensTipo_.size())) {
    Atualiza();  // the boxes show the engine's choice again
    return;
  }
  const std::int32_t tipo = itensTipo_[static_cast<std::size_t>(indice)];
  Executa([this, tipo] { return cadastro_->MostraTipoTarifa(tipo, cadastro_->TarifaAtual); });
}

void Tfcadtelvarim::cbtarifaChange(int indice) {
  if (!SaiDaGrade() || indice < 0 || indice >= static_cast<int>(itensTarifa_.size())) {
    Atualiza();
    return;
  }
  const std::int32_t tarifa = itensTarifa_[static_cast<std::size_t>(indice)];
  Executa([this, tarifa] { return cadastro_->MostraTipoTarifa(cadastro_->TipoCartaoAtual, tarifa); });
}

void Tfcadtelvarim::rbClassificacaoClick(int item) {
  if (!SaiDaGrade()) {
    Atualiza();
    return;
  }
  Executa([this, item] { return cadastro_->Classifica(telvarim::ClassificacaoDoItem(item)); });
}

void Tfcadtelvarim::sgRecargaKeyPress() {
  // The Enter that ended typing has had its value checked; a refused one keeps the row.
  const bool recusada = digitacaoRecusada_;
  digitacaoRecusada_ = false;
  const QModelIndex atual = sgRecarga->currentIndex();
  if (recusada || !atual.isValid()) return;
  const int linha = std::min(atual.row() + 1, modelo_->rowCount() - 1);
  sgRecarga->setCurrentIndex(modelo_->index(linha, telvarim::ModeloGrade::kColunaValor));
}

void Tfcadtelvarim::sgRecargaKeyDown(int) {
  // Up and Down move within the value column.
  const QModelIndex atual = sgRecarga->currentIndex();
  const QModelIndex alvo = modelo_->index(atual.row(), telvarim::ModeloGrade::kColunaValor);
  if (alvo.isValid() && alvo != atual) sgRecarga->setCurrentIndex(alvo);
}

void Tfcadtelvarim::sgRecargaSelectCell(int linha) {
  // While the current row takes no value, the status bar says why, across its panels (the words are longer
  // than a panel); the next row takes the notice away.
  const std::string motivo = linha >= 0 ? cadastro_->MotivoSemRecarga(linha) : std::string();
  if (!motivo.empty()) {
    telvarim::EscreveAvisoStatus(ParaQt(motivo));
    motivoNoStatus_ = true;
  } else if (motivoNoStatus_) {
    telvarim::EscreveAvisoStatus(QString());
    motivoNoStatus_ = false;
  }
}

void Tfcadtelvarim::MostraSemRecarga(int linha) {
  const std::string motivo = cadastro_->MotivoSemRecarga(linha);
  if (motivo.empty()) return;
  sgRecargaSelectCell(linha);
  dialogos_.Mensagem(motivo);
}

void Tfcadtelvarim::edalteravlrChange(const QString& texto) {
  if (texto.contains(QLatin1Char('.'))) {  // the keypad's decimal point
    QString t = texto;
    t.replace(QLatin1Char('.'), QLatin1Char(','));
    edalteravlr->setText(t);
  }
}

bool Tfcadtelvarim::edalteravlrExit() {
  // The box holds a number, as a numeric edit does: what does not read as one is zero.
  const std::optional<telvarim::Moeda> v = telvarim::LeMoeda(ParaCp1252(edalteravlr->text()));
  const QString texto = ParaQt(telvarim::FormataMoeda(v.value_or(0), decimaisValorPadrao_ > 0 ? "0.00" : "0"));
  if (edalteravlr->text() != texto) edalteravlr->setText(texto);
  const bool aceito = Executa([this, texto] { return cadastro_->ConfereValorPadrao(ParaCp1252(texto)); }).Feito();
  if (!aceito)
    QTimer::singleShot(0, edalteravlr, [e = edalteravlr] {
      e->setFocus();
      e->selectAll();
    });
  return aceito;
}

void Tfcadtelvarim::btnalteravlrClick() {
  if (!SaiDaGrade()) return;
  // A default above the card type's maximum never reaches the rows.
  if (!edalteravlrExit()) return;
  const std::string texto = ParaCp1252(edalteravlr->text());
  if (Executa([this, &texto] { return cadastro_->AplicaValorPadrao(texto); }).Feito()) alterado_ = true;
}

void Tfcadtelvarim::BitBtn1Click() {
  if (!SaiDaGrade()) return;
  if (Executa([this] { return cadastro_->CopiaUltimasRecargas(); }).Feito()) alterado_ = true;
}

void Tfcadtelvarim::btnimportararqClick() {
  if (!SaiDaGrade()) return;
  // Records applied change values even when others were refused; only a file not chosen changes nothing.
  if (Executa([this] { return cadastro_->ImportaValores(); }).estado != telvarim::Resultado::Estado::Recusado)
    alterado_ = true;
}

void Tfcadtelvarim::btnimpressaoClick() {
  if (!SaiDaGrade()) return;
  Executa([this] { return cadastro_->Imprime(); });
}

void Tfcadtelvarim::btnsalvarrascunhoClick() {
  if (!SaiDaGrade()) return;
  if (Executa([this] { return cadastro_->SalvaRascunho(); }).Feito()) alterado_ = false;
}

void Tfcadtelvarim::btngerararquivoClick() {
  if (!SaiDaGrade()) return;
  if (Executa([this] { return cadastro_->GeraPedido(); }).Feito()) alterado_ = false;
}

void Tfcadtelvarim::btnFecharClick() {
  Executa([this] {
    cadastro_->VoltaAosArquivos();
    return telvarim::Resultado::Ok();
  });
}

bool Tfcadtelvarim::ConfirmaFechamento() {
  if (!SaiDaGrade()) return false;
  if (!alterado_) return true;
  switch (telvarim::ConfirmaOuCancela(this, kPerguntaFechamento)) {
    case telvarim::Resposta::Nao:
      return true;
    case telvarim::Resposta::Cancela:
      return false;
    case telvarim::Resposta::Sim:
      break;
  }
  btnsalvarrascunhoClick();
  return !alterado_;
}

// --- finding a holder ---------------------------------------------------------------------------------------

void Tfcadtelvarim::MostraLocalizar() {
  pnlLocalizar->show();
  edLocalizar->setFocus();
  edLocalizar->selectAll();
}

void Tfcadtelvarim::EscondeLocalizar() {
  pnlLocalizar->hide();
  lblLocalizar->clear();
  sgRecarga->setFocus();
}

void Tfcadtelvarim::LocalizaProximo() {
  const std::string alvo = ParaCp1252(edLocalizar->text().trimmed());
  if (alvo.empty() || !SaiDaGrade()) return;
  const QModelIndex atual = sgRecarga->currentIndex();
  int achada = -1;
  Executa([&] {
    achada = cadastro_->ProcuraTitular(alvo, atual.isValid() ? atual.row() : -1);
    return telvarim::Resultado::Ok();
  });
  if (achada < 0) {
    lblLocalizar->setText(QStringLiteral("Não encontrado"));
    return;
  }
  sgRecarga->setCurrentIndex(modelo_->index(achada, telvarim::ModeloGrade::kColunaValor));
  // The holder's code says which row was found: it stays in view, however narrow the grid.
  sgRecarga->scrollTo(modelo_->index(achada, 0), QAbstractItemView::PositionAtCenter);
  lblLocalizar->clear();
}
