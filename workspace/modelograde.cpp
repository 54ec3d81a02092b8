#include "modelograde.h"

#include <algorithm>

#include "cadastrotelvarim.h"
#include "cp1252.h"
#include "dialogos.h"

namespace telvarim {

ModeloGrade::ModeloGrade(GradeTexto& grade, QObject* parent) : QAbstractTableModel(parent), grade_(grade) {
  linhas_ = std::max(0, grade_.RowCount() - grade_.FixedRows);
  colunas_ = grade_.ColCount();
}

int ModeloGrade::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : linhas_; }
int ModeloGrade::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : colunas_; }

QVariant ModeloGrade::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const int linha = LinhaGrade(index.row());
  switch (role) {
    case Qt::DisplayRole:  // names come padded with blanks, which would only make them look cut short
      return ParaQt(TrimRight(grade_.Cell(index.column(), linha)));
    case Qt::EditRole:
      return ParaQt(grade_.Cell(index.column(), linha));
    case Qt::TextAlignmentRole:
      switch (CadastroTelvarim::AlinhamentoCelula(index.column(), linha)) {
        case CadastroTelvarim::Alinhamento::Centro:
          return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        case CadastroTelvarim::Alinhamento::Esquerda:
          return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        case CadastroTelvarim::Alinhamento::Direita:
          return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
      }
      return {};
    default:
      return {};
  }
}

QVariant ModeloGrade::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= colunas_) return {};
  if (role == Qt::DisplayRole) return ParaQt(grade_.Cell(section, 0));
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  return {};
}

Qt::ItemFlags ModeloGrade::flags(const QModelIndex& index) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == kColunaValor) f |= Qt::ItemIsEditable;
  return f;
}

bool ModeloGrade::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid) || index.column() != kColunaValor)
    return false;
  const int linha = LinhaGrade(index.row());
  if (linha >= grade_.RowCount()) return false;
  std::string texto = ParaCp1252(value.toString());
  if (texto == grade_.Cell(kColunaValor, linha)) return true;
  grade_.SetCell(kColunaValor, linha, std::move(texto));
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  emit valorEditado(index.row());
  return true;
}

void ModeloGrade::Sincroniza() {
  const int colunas = grade_.ColCount();
  if (colunas > colunas_) {
    beginInsertColumns({}, colunas_, colunas - 1);
    colunas_ = colunas;
    endInsertColumns();
  } else if (colunas < colunas_) {
    beginRemoveColumns({}, colunas, colunas_ - 1);
    colunas_ = colunas;
    endRemoveColumns();
  }
  const int linhas = std::max(0, grade_.RowCount() - grade_.FixedRows);
  if (linhas > linhas_) {
    beginInsertRows({}, linhas_, linhas - 1);
    linhas_ = linhas;
    endInsertRows();
  } else if (linhas < linhas_) {
    beginRemoveRows({}, linhas, linhas_ - 1);
    linhas_ = linhas;
    endRemoveRows();
  }
  if (colunas_ > 0) emit headerDataChanged(Qt::Horizontal, 0, colunas_ - 1);
  if (linhas_ > 0 && colunas_ > 0)
    emit dataChanged(index(0, 0), index(linhas_ - 1, colunas_ - 1), {Qt::DisplayRole, Qt::EditRole});
}

}  // namespace telvarim
