#include "urepimportacao.h"

#include <algorithm>

#include "operador.h"

Tfrepimportacao::Tfrepimportacao() : Tfrepgeral(QPageLayout::Portrait) {
  QRLabel1 = {.nome = QStringLiteral("QRLabel1"),
              .texto = QStringLiteral("Linha do Arquivo      Matrícula                                 Erro"),
              .fonte = telvarim::FonteArial(8, true),
              .left = 8,
              .top = 4};
  QRLabel2 = {.nome = QStringLiteral("QRLabel2"), .fonte = telvarim::FonteCourierNew(8), .left = 8, .top = 2};
  QRShape1 = {.left = 0, .top = 6, .width = 0};
}

void Tfrepimportacao::Preenche(const telvarim::Relatorio& r) {
  Tfrepgeral::Preenche(r);
  if (!r.cabecalhoColunas.empty()) QRLabel1.texto = telvarim::TextoQt(r.cabecalhoColunas);
  linhas_.clear();
  linhas_.reserve(static_cast<qsizetype>(r.linhas.size()));
  for (const std::string& l : r.linhas) linhas_ << telvarim::TextoQt(l);
}

int Tfrepimportacao::QuantidadeDetalhes() const { return std::max(0, static_cast<int>(linhas_.size()) - 1); }

void Tfrepimportacao::PintaCabecalhoColunas(const telvarim::PintorRelatorio& p, double topo) const {
  p.Texto(QRLabel1, topo);
}

void Tfrepimportacao::PintaDetalhe(const telvarim::PintorRelatorio& p, double topo, int indice) const {
  p.Texto(QRLabel2, topo, linhas_.at(indice + 1));
}

void Tfrepimportacao::PintaSumario(const telvarim::PintorRelatorio& p, double topo) const { p.Linha(QRShape1, topo); }
