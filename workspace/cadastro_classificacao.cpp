#include "cadastrotelvarim.h"

#include <algorithm>

#include "cadastro_comum.h"
#include "classificacao.h"
#include "cp1252.h"

namespace telvarim {

using namespace literais;
using namespace cadastro;

void CadastroTelvarim::rbClassificacaoClick() {
  Protegido([&] { ClassificaGrid(); });
}

void CadastroTelvarim::ClassificaGrid() {
  op_.Status("Classificando Grid. Aguarde!!!");
  op_.ProcessaMensagens();
  AtualizaArrayRecargas();

  // A grid that shows no holder (its one empty row) has nothing to order.
  bool vazia = sgRecarga.RowCount() == 2;
  for (int c = 0; vazia && c < sgRecarga.ColCount(); ++c) vazia = sgRecarga.Cell(c, 1).empty();
  if (vazia) {
    op_.Status("Grid Classificado");
    return;
  }

  const int n = std::min(sgRecarga.RowCount() - 1, kMaxListagem);
  struct Extra {
    std::string c6, c7, c8;
  };
  std::vector<RegListagem> copia(static_cast<std::size_t>(n));
  std::vector<Extra> extras(static_cast<std::size_t>(n));
  for (int r = 1; r <= n; ++r) {  // into a copy first: a cell that does not convert leaves the grid as it was
    RegListagem& e = copia[static_cast<std::size_t>(r - 1)];
    e.CodUsuario = TextoParaInteiro(sgRecarga.Cell(0, r), "Usuário"_cp, r);
    e.NumCartao = TextoParaInteiro(sgRecarga.Cell(1, r), "Cartão"_cp, r);
    e.Matricula = sgRecarga.Cell(2, r);
    e.Nome = sgRecarga.Cell(3, r);
    e.CMM = TextoParaInteiro(sgRecarga.Cell(4, r), "CMM", r);
    e.ValorRecarga = DoubleDeMoeda(TextoParaMoeda(sgRecarga.Cell(5, r)));
    e.TipoCartao = TipoCartaoAtual;
    e.Tarifa = TarifaAtual;
    extras[static_cast<std::size_t>(r - 1)] = {sgRecarga.Cell(6, r), sgRecarga.Cell(7, r), sgRecarga.Cell(8, r)};
  }
  std::copy(copia.begin(), copia.end(), tab_.Listagem.begin());

  const std::vector<int> ordem = OrdemClassificacao(copia, ClassificacaoDoItem(rbClassificacao));

  sgRecarga.SetRowCount(2);
  sgRecarga.FixedRows = 1;
  for (int c = 0; c < 5; ++c) sgRecarga.SetCell(c, 0, Utf8ParaCp1252(kTitulos0a4[c]));
  static constexpr int kLarguras[6] = {65, 65, 65, 240, 50, 65};
  for (int c = 0; c < 6; ++c) sgRecarga.SetColWidth(c, kLarguras[c]);
  EscreveTitulos(TipoAtual().PorCreditos != 0);

  for (int k = 0; k < n; ++k) {
    const int i = ordem[static_cast<std::size_t>(k)];
    const RegListagem& e = copia[static_cast<std::size_t>(i)];
    tab_.Listagem[static_cast<std::size_t>(k)] = e;
    const int row = k + 1;
    PreencheLinha(row, e);
    const Extra& x = extras[static_cast<std::size_t>(i)];
    sgRecarga.SetCell(6, row, x.c6);
    sgRecarga.SetCell(7, row, x.c7);
    sgRecarga.SetCell(8, row, x.c8);
    sgRecarga.SetRowCount(sgRecarga.RowCount() + 1);
  }
  sgRecarga.SetRowCount(sgRecarga.RowCount() - 1);
  op_.Status("Grid Classificado");
}

}  // namespace telvarim
