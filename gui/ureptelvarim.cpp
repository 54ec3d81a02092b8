#include "ureptelvarim.h"

#include <cmath>

#include "operador.h"

using telvarim::FonteArial;
using telvarim::RotuloRelatorio;

Tfreptelvarim::Tfreptelvarim() : Tfrepgeral(QPageLayout::Landscape) {
  lblClassificacao = {.nome = QStringLiteral("lblClassificacao"), .fonte = FonteArial(8), .left = 8, .top = 72};
  // The base's rule moves down under the order of the listing; a second one closes the column titles.
  qrsLinhaCabecalho = {.left = 0, .top = 94, .width = 1037};
  QRShape2 = {.left = 0, .top = 127, .width = 1037};
  colunas_ = telvarim::ColunasListagem();
  for (std::size_t i = 0; i < titulos.size() && i < colunas_.size(); ++i)
    titulos[i] = {.nome = QStringLiteral("QRLabel%1").arg(i + 1),
                  .texto = telvarim::TextoQt(colunas_[i].titulo),
                  .fonte = FonteArial(10),
                  .top = 102};
  qrllinha = {.nome = QStringLiteral("qrllinha"), .fonte = telvarim::FonteCourierNew(8), .left = 8, .top = 2};
}

void Tfreptelvarim::Preenche(const telvarim::Relatorio& r) {
  Tfrepgeral::Preenche(r);
  lblClassificacao.texto = telvarim::TextoQt(r.lblClassificacao);
  linhas_.clear();
  linhas_.reserve(static_cast<qsizetype>(r.linhas.size()));
  for (const std::string& l : r.linhas) linhas_ << telvarim::TextoQt(l);
}

void Tfreptelvarim::PintaCabecalhoProprio(const telvarim::PintorRelatorio& p, double topo) const {
  p.Texto(lblClassificacao, topo);
  p.Linha(QRShape2, topo);
  // The lines' pitch on this device: every character of a line is this wide.
  const double passo = p.LarguraTexto(qrllinha.fonte, QStringLiteral("0000000000")) / 10;
  for (std::size_t i = 0; i < titulos.size() && i < colunas_.size(); ++i) {
    RotuloRelatorio t = titulos[i];
    const telvarim::ColunaListagem& c = colunas_[i];
    const double esquerda = qrllinha.left + passo * static_cast<double>(c.inicio);
    const double largura = p.LarguraTexto(t.fonte, t.texto);
    // A title wider than its column ("Tipo" over two characters) ends where the column ends, clear of the
    // next title.
    const double coluna = passo * static_cast<double>(c.largura);
    const double x = c.aDireita || largura > coluna ? esquerda + coluna - largura : esquerda;
    t.left = static_cast<int>(std::lround(x));
    p.Texto(t, topo);
  }
}

void Tfreptelvarim::PintaDetalhe(const telvarim::PintorRelatorio& p, double topo, int indice) const {
  p.Texto(qrllinha, topo, linhas_.at(indice));
}
