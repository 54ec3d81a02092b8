#include "modelograde.h"

#include <QColor>

#include "cp1252.h"
#include "dialogos.h"

namespace telvarim {

ModeloGrade::ModeloGrade(CadastroTelvarim& cadastro, Digitacao digita, QObject* parent)
    : QAbstractTableModel(parent), cad_(cadastro), digita_(std::move(digita)) {
  linhas_ = cad_.QtdLinhas();
  colunas_ = cad_.Colunas();
  mudancas_ = cad_.MudancasVista();
}

int ModeloGrade::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : linhas_; }
int ModeloGrade::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : colunas_; }

QVariant ModeloGrade::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid) || index.row() >= cad_.QtdLinhas()) return {};
  switch (role) {
    case Qt::DisplayRole:  // names come padded with blanks, which would only make them look cut short
      return ParaQt(TrimRight(cad_.TextoCelula(index.row(), index.column())));
    case Qt::EditRole:
      return ParaQt(cad_.TextoCelula(index.row(), index.column()));
    case Qt::ToolTipRole: {
      // A row that can take no value says why wherever the pointer rests on it.
      const std::string motivo = cad_.MotivoSemRecarga(index.row());
      return motivo.empty() ? QVariant() : QVariant(ParaQt(motivo));
    }
    case Qt::BackgroundRole:
      if (index.column() == kColunaValor && SemRecarga(index.row())) return QColor(0xE4, 0xE4, 0xE4);
      return {};
    case Qt::ForegroundRole:
      if (index.column() == kColunaValor && SemRecarga(index.row())) return QColor(0x80, 0x80, 0x80);
      return {};
    case Qt::TextAlignmentRole:
      // Numbers line up on the right; the matrícula and the name read from the left.
      return QVariant::fromValue(index.column() == 2 || index.column() == 3
                                     ? Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter)
                                     : Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    default:
      return {};
  }
}

QVariant ModeloGrade::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= colunas_) return {};
  if (role == Qt::DisplayRole) return ParaQt(cad_.TituloColuna(section));
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  return {};
}

Qt::ItemFlags ModeloGrade::flags(const QModelIndex& index) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == kColunaValor && !SemRecarga(index.row())) f |= Qt::ItemIsEditable;
  return f;
}

bool ModeloGrade::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid) || index.column() != kColunaValor ||
      index.row() >= cad_.QtdLinhas())
    return false;
  const std::string texto = ParaCp1252(value.toString());
  if (texto == cad_.TextoCelula(index.row(), kColunaValor)) return true;  // left as it was shown
  const int linha = index.row();
  const Resultado r = digita_ ? digita_(linha, texto) : cad_.DigitaValor(linha, texto);
  if (linha < linhas_) emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  emit valorDigitado(linha, r.Feito());
  return r.Feito();
}

bool ModeloGrade::SemRecarga(int linha) const { return !cad_.MotivoSemRecarga(linha).empty(); }

void ModeloGrade::Sincroniza() {
  if (mudancas_ != cad_.MudancasVista() || linhas_ != cad_.QtdLinhas() || colunas_ != cad_.Colunas()) {
    beginResetModel();
    linhas_ = cad_.QtdLinhas();
    colunas_ = cad_.Colunas();
    mudancas_ = cad_.MudancasVista();
    endResetModel();
    return;
  }
  if (colunas_ > 0) emit headerDataChanged(Qt::Horizontal, 0, colunas_ - 1);
  if (linhas_ > 0 && colunas_ > 0)
    emit dataChanged(index(0, 0), index(linhas_ - 1, colunas_ - 1), {Qt::DisplayRole, Qt::EditRole});
}

}  // namespace telvarim
