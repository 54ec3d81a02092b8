#include <algorithm>

#include "cadastro_comum.h"
#include "cadastrotelvarim.h"
#include "classificacao.h"

namespace telvarim {

using namespace cadastro;

Resultado CadastroTelvarim::Classifica(Classificacao ordem) {
  return Protegido([&] {
    Ordem = ordem;
    op_.Status("Classificando Grid. Aguarde!!!");
    op_.ProcessaMensagens();
    const std::size_t n = std::min(vista_.size(), static_cast<std::size_t>(kMaxListagem));
    std::vector<RegListagem> linhas(n);
    for (std::size_t k = 0; k < n; ++k) {
      const LinhaVista& l = vista_[k];
      const RegUsuario& u = tab_.Usuarios[static_cast<std::size_t>(l.Usuario)];
      const GrupoRecarga& g = u.Grupos[static_cast<std::size_t>(l.Grupo)];
      linhas[k] = RegListagem{u.CodUsuario,    u.NumCartao, u.Nome, u.Matricula,
                              TipoCartaoAtual, TarifaAtual, g.CMM,  g.ValorRecarga};
    }
    const std::vector<int> ordemLinhas = OrdemClassificacao(linhas, ordem);
    std::vector<LinhaVista> ordenada;
    ordenada.reserve(vista_.size());
    for (std::size_t k = 0; k < n; ++k) {
      const auto i = static_cast<std::size_t>(ordemLinhas[k]);
      tab_.Listagem[k] = linhas[i];  // the process-wide buffer holds the rows in their new order
      ordenada.push_back(vista_[i]);
    }
    // Rows past the buffer's reach keep their place after the ordered ones.
    for (std::size_t k = n; k < vista_.size(); ++k) ordenada.push_back(vista_[k]);
    vista_ = std::move(ordenada);
    ++mudancasVista_;
    op_.Status("Grid Classificado");
    return Resultado::Ok();
  });
}

}  // namespace telvarim
