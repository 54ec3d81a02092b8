// The recharge grid's view, made to feel like a spreadsheet: pick a row, type the value (the keys replace the
// value cell's text, whatever cell of the row was picked), Enter, type, Enter. The value cell under the
// cursor is painted in the tooltip-background colour.
//
// The view only reports: Enter (also the Enter that ends typing in a cell), the Up/Down keys before it
// moves, and typing on a row that takes no value (its value cell is not editable: the model says why). The window runs
// the engine's handling and puts the cursor where the engine says.
#pragma once

#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <vector>

namespace telvarim {

class DelegadoGrade : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  QWidget* EditorAberto() const { return editor_; }

 private:
  mutable QPointer<QWidget> editor_;
};

class GradeRecarga : public QTableView {
  Q_OBJECT

 public:
  explicit GradeRecarga(QWidget* parent = nullptr);

  // Ends typing in a cell: its text goes into the model. False when no cell was being typed in.
  bool ConfirmaEdicao();

 signals:
  void enter();
  // Up or Down was pressed; the view moves once the receivers have run.
  void teclaVertical(int tecla);
  // A value was typed on a row whose value cell takes none (not editable); nothing was opened.
  void digitacaoSemRecarga(int linha);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void commitData(QWidget* editor) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  DelegadoGrade* delegado_;
  // Editors whose Enter was handled at once; the delegate's late commit of each is passed over. Compared
  // only: by then the editor is closed.
  std::vector<const QWidget*> enterTratados_;
};

}  // namespace telvarim
