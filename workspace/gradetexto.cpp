#include "gradetexto.h"

#include <stdexcept>

namespace telvarim {

GradeTexto::GradeTexto(int colunas, int linhas)
    : colunas_(colunas),
      celulas_(static_cast<std::size_t>(linhas), std::vector<std::string>(static_cast<std::size_t>(colunas))),
      larguras_(static_cast<std::size_t>(colunas), 64) {}

void GradeTexto::SetRowCount(int n) {
  if (n < 0) n = 0;
  celulas_.resize(static_cast<std::size_t>(n), std::vector<std::string>(static_cast<std::size_t>(colunas_)));
  if (Row >= n) Row = n > 0 ? n - 1 : 0;
}

void GradeTexto::SetColCount(int n) {
  if (n < 1) n = 1;
  colunas_ = n;
  for (auto& l : celulas_) l.resize(static_cast<std::size_t>(n));
  larguras_.resize(static_cast<std::size_t>(n), 64);
  if (Col >= n) Col = n - 1;
}

const std::string& GradeTexto::Cell(int col, int row) const {
  static const std::string vazio;
  if (row < 0 || row >= RowCount() || col < 0 || col >= colunas_) return vazio;
  return celulas_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void GradeTexto::SetCell(int col, int row, std::string texto) {
  if (row < 0 || row >= RowCount() || col < 0 || col >= colunas_) throw std::out_of_range("c\xE9lula fora da grade");
  celulas_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = std::move(texto);
}

int GradeTexto::ColWidth(int col) const {
  return col >= 0 && col < colunas_ ? larguras_[static_cast<std::size_t>(col)] : 0;
}

void GradeTexto::SetColWidth(int col, int largura) {
  if (col >= 0 && col < colunas_) larguras_[static_cast<std::size_t>(col)] = largura;
}

void GradeTexto::LimpaCelulas() {
  for (auto& l : celulas_)
    for (auto& c : l) c.clear();
}

}  // namespace telvarim
