#include "listapastas.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace telvarim {

namespace {

constexpr int kCaminho = Qt::UserRole;

QString Limpa(const QString& p) { return QDir::cleanPath(QDir(p).absolutePath()); }

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif

bool Dentro(const QString& raiz, const QString& pasta) {
  if (raiz.isEmpty()) return false;
  if (pasta.compare(raiz, cs) == 0) return true;
  const QString prefixo = raiz.endsWith(QLatin1Char('/')) ? raiz : raiz + QLatin1Char('/');
  return pasta.startsWith(prefixo, cs);
}

}  // namespace

ListaPastas::ListaPastas(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { AbrePasta(item->data(kCaminho).toString()); });
}

void ListaPastas::DefineRaiz(const QString& raiz) { raiz_ = Limpa(raiz); }

void ListaPastas::AbrePasta(const QString& pasta) {
  pasta_ = Limpa(pasta);
  Preenche();
  emit pastaAberta(pasta_);
}

QString ListaPastas::PastaRealcada() const {
  const QListWidgetItem* item = currentItem();
  return item ? item->data(kCaminho).toString() : pasta_;
}

void ListaPastas::Preenche() {
  clear();
  // The chain from the opened folder up to the root, then shown from the top.
  QStringList cadeia;
  QDir d(pasta_);
  const bool sobRaiz = Dentro(raiz_, pasta_);
  while (true) {
    const QString atual = Limpa(d.absolutePath());
    cadeia.prepend(atual);
    if ((sobRaiz && atual.compare(raiz_, cs) == 0) || d.isRoot() || !d.cdUp()) break;
  }
  const QIcon aberta = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon fechada = style()->standardIcon(QStyle::SP_DirClosedIcon);
  int nivel = 0;
  for (const QString& p : cadeia) {
    const QString nome = nivel == 0 ? QDir::toNativeSeparators(p) : QFileInfo(p).fileName();
    auto* item = new QListWidgetItem(aberta, QString(nivel * 2, QLatin1Char(' ')) + nome, this);
    item->setData(kCaminho, p);
    ++nivel;
  }
  // Hidden and system folders stay out, as they do in the file lists.
  const QFileInfoList filhas =
      QDir(pasta_).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& f : filhas) {
    auto* item = new QListWidgetItem(fechada, QString(nivel * 2, QLatin1Char(' ')) + f.fileName(), this);
    item->setData(kCaminho, Limpa(f.absoluteFilePath()));
  }
  // The opened folder is the highlighted entry until the operator moves.
  setCurrentRow(static_cast<int>(cadeia.size()) - 1);
}

}  // namespace telvarim
