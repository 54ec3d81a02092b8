#include "graderecarga.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

#include "modelograde.h"

namespace telvarim {

QWidget* DelegadoGrade::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
  QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
  if (auto* linha = qobject_cast<QLineEdit*>(w)) {
    linha->setObjectName(QStringLiteral("edValor"));
    linha->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    linha->setFrame(false);
  }
  editor_ = w;
  return w;
}

void DelegadoGrade::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const auto* vista = qobject_cast<const QAbstractItemView*>(option.widget);
  if (!vista || index.column() != ModeloGrade::kColunaValor || index != vista->currentIndex()) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  QStyleOptionViewItem o(option);
  o.state &= ~QStyle::State_Selected;
  if (!(index.flags() & Qt::ItemIsEditable)) {  // keeps the look of a cell that takes no value
    QStyledItemDelegate::paint(painter, o, index);
    return;
  }
  o.backgroundBrush = o.palette.brush(QPalette::ToolTipBase);
  o.palette.setBrush(QPalette::Text, o.palette.brush(QPalette::ToolTipText));
  QStyledItemDelegate::paint(painter, o, index);
}

GradeRecarga::GradeRecarga(QWidget* parent) : QTableView(parent), delegado_(new DelegadoGrade(this)) {
  setItemDelegate(delegado_);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::DoubleClicked);
  setTabKeyNavigation(false);
  setWordWrap(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsClickable(false);
}

bool GradeRecarga::ConfirmaEdicao() {
  QWidget* editor = delegado_->EditorAberto();
  if (!editor || state() != QAbstractItemView::EditingState) return false;
  QTableView::commitData(editor);
  QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  return true;
}

void GradeRecarga::keyPressEvent(QKeyEvent* event) {
  const QModelIndex atual = currentIndex();
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // While typing in a cell the delegate has already queued its own commit for this key; the text is
      // committed here at once instead, and that queued commit is passed over when it comes.
      if (state() == QAbstractItemView::EditingState) {
        enterTratados_.push_back(delegado_->EditorAberto());
        ConfirmaEdicao();
      }
      emit enter();
      return;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        emit teclaVertical(event->key());
        QTableView::keyPressEvent(event);
        return;
      }
      break;
    default:
      // Typing goes to the row's value, whatever cell of the row is picked.
      if (atual.isValid() && state() != QAbstractItemView::EditingState && !event->text().isEmpty() &&
          event->text().at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const QModelIndex valor = model()->index(atual.row(), ModeloGrade::kColunaValor);
        if (valor.isValid() && valor != atual) setCurrentIndex(valor);
        if (valor.isValid() && !(valor.flags() & Qt::ItemIsEditable)) {
          emit digitacaoSemRecarga(valor.row());
          return;
        }
      }
      break;
  }
  QTableView::keyPressEvent(event);
}

void GradeRecarga::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  // The cell being typed into stays in sight when the window (or its page) gets narrower.
  if (currentIndex().isValid()) scrollTo(currentIndex());
}

void GradeRecarga::commitData(QWidget* editor) {
  if (std::find(enterTratados_.begin(), enterTratados_.end(), editor) != enterTratados_.end()) return;
  QTableView::commitData(editor);
}

void GradeRecarga::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  const auto tratado = std::find(enterTratados_.begin(), enterTratados_.end(), editor);
  if (tratado != enterTratados_.end()) {
    if (hint == QAbstractItemDelegate::SubmitModelCache) enterTratados_.erase(tratado);
    return;
  }
  QTableView::closeEditor(editor, hint);
}

}  // namespace telvarim
