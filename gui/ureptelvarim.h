// The printed listing "Listagem de Cartões a Recarregar": landscape, the common page header with the order
// of the listing and the column titles added, then one line of the listing per detail band in a fixed-pitch
// font. The lines come built from the engine; the report only lays them out. Each column title stands over
// its column of the lines (the engine says where the columns lie, in characters): over its left edge, or
// over its right edge for the figures and for a title wider than its column.
#pragma once

#include <QStringList>
#include <array>

#include <vector>

#include "listagem.h"
#include "urepgeral.h"

class Tfreptelvarim : public Tfrepgeral {
 public:
  Tfreptelvarim();

  void Preenche(const telvarim::Relatorio& r) override;

  telvarim::RotuloRelatorio lblClassificacao;
  telvarim::LinhaRelatorio QRShape2;                 // the rule under the column titles
  std::array<telvarim::RotuloRelatorio, 8> titulos;  // "Usuário" ... "Total"; `left` is set when painted
  telvarim::RotuloRelatorio qrllinha;                // the detail band's line

 protected:
  int AlturaCabecalho() const override { return 132; }
  void PintaCabecalhoProprio(const telvarim::PintorRelatorio& p, double topo) const override;
  int QuantidadeDetalhes() const override { return static_cast<int>(linhas_.size()); }
  void PintaDetalhe(const telvarim::PintorRelatorio& p, double topo, int indice) const override;

 private:
  QStringList linhas_;
  std::vector<telvarim::ColunaListagem> colunas_;
};
