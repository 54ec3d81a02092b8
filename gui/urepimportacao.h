// The result of an import of values: the common page header, the column titles of the result lines, one
// refused record per detail band in a fixed-pitch font (so the padded columns line up), and a closing rule.
// The first line of the result list is the empty line the import puts first: it is never printed.
#pragma once

#include <QStringList>

#include "urepgeral.h"

class Tfrepimportacao : public Tfrepgeral {
 public:
  Tfrepimportacao();

  void Preenche(const telvarim::Relatorio& r) override;

  telvarim::RotuloRelatorio QRLabel1;  // column header band QRBand4
  telvarim::RotuloRelatorio QRLabel2;  // detail band QRBand2
  telvarim::LinhaRelatorio QRShape1;   // summary band QRBand3

 protected:
  int AlturaCabecalhoColunas() const override { return 20; }
  void PintaCabecalhoColunas(const telvarim::PintorRelatorio& p, double topo) const override;
  int QuantidadeDetalhes() const override;
  void PintaDetalhe(const telvarim::PintorRelatorio& p, double topo, int indice) const override;
  int AlturaSumario() const override { return 16; }
  void PintaSumario(const telvarim::PintorRelatorio& p, double topo) const override;

 private:
  QStringList linhas_;  // the whole result list, line 0 included
};
