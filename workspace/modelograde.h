// The recharge grid as a Qt table model over the engine's text grid.
//
// The grid's row 0 holds the titles: they are the horizontal header here, and model row r is grid row r + 1.
// Cells are read from the engine on demand (cp1252 turned into UTF-16), so the model holds no copy of them.
// The engine changes its grid by itself; after each engine operation the window calls Sincroniza, which
// reports the rows and columns the grid gained or lost at its end as inserted or removed, and every cell and
// title as changed. Between an engine change and Sincroniza the counts the model reports are the old ones
// and cells beyond the grid read as empty.
//
// Only the value column of a data row is editable; what the operator types there goes into the engine's
// cell as it is (the engine checks it on Enter).
#pragma once

#include <QAbstractTableModel>

#include "gradetexto.h"

namespace telvarim {

class ModeloGrade : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kColunaValor = 5;

  explicit ModeloGrade(GradeTexto& grade, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  void Sincroniza();

  // Grid row of a model row, and back.
  int LinhaGrade(int linhaModelo) const { return linhaModelo + grade_.FixedRows; }
  int LinhaModelo(int linhaGrade) const { return linhaGrade - grade_.FixedRows; }

 signals:
  // The operator changed the text of a value cell (model row).
  void valorEditado(int linha);

 private:
  GradeTexto& grade_;
  int linhas_ = 0;
  int colunas_ = 0;
};

}  // namespace telvarim
