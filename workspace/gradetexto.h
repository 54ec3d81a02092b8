// A plain table of text cells that behaves like the workspace's string grid: row 0 holds the titles, cells
// hold text, rows are appended and removed by setting the row count. The engine's rules read and write cell
// text here, so they run without a display; the window shows it through a model.
#pragma once

#include <string>
#include <vector>

namespace telvarim {

class GradeTexto {
 public:
  GradeTexto(int colunas = 9, int linhas = 2);

  int RowCount() const { return static_cast<int>(celulas_.size()); }
  int ColCount() const { return colunas_; }
  // Growing adds empty rows (columns) at the end; shrinking drops the last ones.
  void SetRowCount(int n);
  void SetColCount(int n);

  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, std::string texto);

  int ColWidth(int col) const;
  void SetColWidth(int col, int largura);

  // Empties every cell of every row.
  void LimpaCelulas();

  int FixedRows = 1;
  int DefaultRowHeight = 16;
  int Row = 1;  // current cell
  int Col = 5;
  bool Editing = false;  // the editing option: only the value column is editable

 private:
  int colunas_;
  std::vector<std::vector<std::string>> celulas_;  // [row][col]
  std::vector<int> larguras_;
};

}  // namespace telvarim
