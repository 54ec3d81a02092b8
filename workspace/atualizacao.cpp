#include "atualizacao.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "cp1252.h"
#include "numbers.h"

namespace telvarim {

namespace {

struct Chave {
  std::int32_t cod, cartao;
  std::string matricula;
  bool operator==(const Chave&) const = default;
};

struct Hash {
  std::size_t operator()(const Chave& k) const {
    return std::hash<std::string>()(k.matricula) ^
           (static_cast<std::size_t>(static_cast<std::uint32_t>(k.cod)) * 0x9E3779B97F4A7C15ull) ^
           static_cast<std::size_t>(static_cast<std::uint32_t>(k.cartao));
  }
};

}  // namespace

void AtualizaValoresDaGrade(Tabelas& t, std::int32_t qtdUsuarios, const GradeTexto& grade, std::int32_t tipoCartao,
                            std::int32_t tarifa, const std::function<void(int)>& progresso) {
  std::unordered_map<Chave, std::vector<int>, Hash> linhasPorChave;
  for (int j = 1; j < grade.RowCount(); ++j)
    linhasPorChave[Chave{InteiroOuPadrao(Trim(grade.Cell(0, j)), -1), InteiroOuPadrao(Trim(grade.Cell(1, j)), -1),
                         grade.Cell(2, j)}]
        .push_back(j);

  for (std::int32_t i = 0; i < qtdUsuarios; ++i) {
    RegUsuario& u = t.Usuarios[static_cast<std::size_t>(i)];
    if (u.TipoCartao == tipoCartao) {
      auto g = std::find_if(u.Grupos.begin(), u.Grupos.end(), [&](const GrupoRecarga& x) { return x.Tarifa == tarifa; });
      if (g != u.Grupos.end()) {
        auto it = linhasPorChave.find(Chave{u.CodUsuario, u.NumCartao, u.Matricula});
        if (it != linhasPorChave.end())
          for (int j : it->second) g->ValorRecarga = DoubleDeMoeda(TextoParaMoeda(Trim(grade.Cell(5, j))));
      }
    }
    if (progresso && ((i + 1) % 1000 == 0 || i + 1 == qtdUsuarios)) progresso(i + 1);
  }
}

int GrupoMostrado(const RegUsuario& u, std::int32_t tarifa, bool dinheiro) {
  if (u.Grupos[0].Tarifa == tarifa && (tarifa != 0 || dinheiro)) return 0;
  for (int g = 1; g < 4; ++g)
    if (tarifa != 0 && u.Grupos[static_cast<std::size_t>(g)].Tarifa == tarifa) return g;
  return -1;
}

}  // namespace telvarim
