#include "ureptelvarim.h"

#include "operador.h"

using telvarim::FonteArial;
using telvarim::RotuloRelatorio;

Tfreptelvarim::Tfreptelvarim() : Tfrepgeral(QPageLayout::Landscape) {
  lblClassificacao = {.nome = QStringLiteral("lblClassificacao"), .fonte = FonteArial(8), .left = 8, .top = 72};
  // The base's rule moves down under the order of the listing; a second one closes the column titles.
  qrsLinhaCabecalho = {.left = 0, .top = 94, .width = 1037};
  QRShape2 = {.left = 0, .top = 127, .width = 1037};
  struct Titulo {
    const char* texto;
    int left;
  };
  static constexpr Titulo kTitulos[] = {{"Usuário", 8}, {"Cartão", 99},  {"Matrícula", 240}, {"Nome", 368},
                                        {"Tipo", 728},  {"Tarifa", 800}, {"Valor", 904},     {"Total", 976}};
  for (std::size_t i = 0; i < titulos.size(); ++i)
    titulos[i] = {.nome = QStringLiteral("QRLabel%1").arg(i + 1),
                  .texto = QString::fromUtf8(kTitulos[i].texto),
                  .fonte = FonteArial(10),
                  .left = kTitulos[i].left,
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
  for (const RotuloRelatorio& t : titulos) p.Texto(t, topo);
}

void Tfreptelvarim::PintaDetalhe(const telvarim::PintorRelatorio& p, double topo, int indice) const {
  p.Texto(qrllinha, topo, linhas_.at(indice));
}
