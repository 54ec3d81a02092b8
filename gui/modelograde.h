// The recharge grid as a Qt table model over the workspace engine's view: a row is a holder shown for the
// card type and tariff on display, a cell is what the engine says that holder's figure reads. The model
// holds no copy of any value, as Qt's address-book model owns its list: setData writes the typed value
// straight through the engine, which stores it into the holder or refuses it (telling the operator why);
// either way the cell then reads the holder again.
//
// A row whose value the request cannot carry (CadastroTelvarim::MotivoSemRecarga) is read-only, greyed, and
// carries the engine's reason as its tooltip.
//
// The engine changes the view by itself (a new card type or tariff, an ordering, an import); after each
// engine operation the window calls Sincroniza, which resets the model when the rows changed and reports
// every cell as changed otherwise.
#pragma once

#include <QAbstractTableModel>
#include <functional>

#include "cadastrotelvarim.h"

namespace telvarim {

class ModeloGrade : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kColunaValor = 5;

  // `digita` runs the engine's DigitaValor for a row and the typed text (cp1252), as the window wants it
  // run (its outcome shown); when empty, the model calls the engine itself.
  using Digitacao = std::function<Resultado(int linha, const std::string& texto)>;
  explicit ModeloGrade(CadastroTelvarim& cadastro, Digitacao digita = {}, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  void Sincroniza();

  // The row's value can be nothing but 0 (the request has no room for another): its cell is not editable
  // and looks so, and the row's tooltip says why.
  bool SemRecarga(int linha) const;

 signals:
  // A value typed for a row went through the engine: stored, or refused (nothing stored).
  void valorDigitado(int linha, bool guardado);

 private:
  CadastroTelvarim& cad_;
  Digitacao digita_;
  int linhas_ = 0;
  int colunas_ = 0;
  unsigned mudancas_ = 0;
};

}  // namespace telvarim
