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

Chave ChaveDaLinha(const GradeTexto& grade, int j) {
  return Chave{InteiroOuPadrao(Trim(grade.Cell(0, j)), -1), InteiroOuPadrao(Trim(grade.Cell(1, j)), -1),
               grade.Cell(2, j)};
}

using IndiceLinhas = std::unordered_map<Chave, std::vector<int>, Hash>;

// Grid rows by the holder they name.
IndiceLinhas Indexa(const GradeTexto& grade) {
  IndiceLinhas idx;
  for (int j = 1; j < grade.RowCount(); ++j) idx[ChaveDaLinha(grade, j)].push_back(j);
  return idx;
}

}  // namespace

int GrupoDestino(const RegUsuario& u, std::int32_t tarifa) {
  for (int g = 0; g < 4; ++g)
    if (u.Grupos[static_cast<std::size_t>(g)].Tarifa == tarifa) return g;
  return -1;
}

std::vector<int> GruposDasLinhas(const Tabelas& t, std::int32_t qtdUsuarios, const GradeTexto& grade,
                                 std::int32_t tipoCartao, std::int32_t tarifa) {
  std::vector<int> grupos(static_cast<std::size_t>(std::max(grade.RowCount(), 0)), -1);
  const IndiceLinhas idx = Indexa(grade);
  for (std::int32_t i = 0; i < qtdUsuarios; ++i) {
    const RegUsuario& u = t.Usuarios[static_cast<std::size_t>(i)];
    if (u.TipoCartao != tipoCartao) continue;
    const int g = GrupoDestino(u, tarifa);
    if (g < 0) continue;
    auto it = idx.find(Chave{u.CodUsuario, u.NumCartao, u.Matricula});
    if (it == idx.end()) continue;
    for (int j : it->second) grupos[static_cast<std::size_t>(j)] = std::max(grupos[static_cast<std::size_t>(j)], g);
  }
  return grupos;
}

int GrupoDaLinha(const Tabelas& t, std::int32_t qtdUsuarios, const GradeTexto& grade, int linha,
                 std::int32_t tipoCartao, std::int32_t tarifa) {
  const Chave k = ChaveDaLinha(grade, linha);
  int grupo = -1;
  for (std::int32_t i = 0; i < qtdUsuarios; ++i) {
    const RegUsuario& u = t.Usuarios[static_cast<std::size_t>(i)];
    if (u.TipoCartao == tipoCartao && u.CodUsuario == k.cod && u.NumCartao == k.cartao && u.Matricula == k.matricula)
      grupo = std::max(grupo, GrupoDestino(u, tarifa));
  }
  return grupo;
}

void AtualizaValoresDaGrade(Tabelas& t, std::int32_t qtdUsuarios, const GradeTexto& grade, std::int32_t tipoCartao,
                            std::int32_t tarifa, const std::function<void(int)>& progresso) {
  const IndiceLinhas linhasPorChave = Indexa(grade);

  for (std::int32_t i = 0; i < qtdUsuarios; ++i) {
    RegUsuario& u = t.Usuarios[static_cast<std::size_t>(i)];
    if (u.TipoCartao == tipoCartao) {
      const int g = GrupoDestino(u, tarifa);
      if (g >= 0) {
        auto it = linhasPorChave.find(Chave{u.CodUsuario, u.NumCartao, u.Matricula});
        if (it != linhasPorChave.end())
          for (int j : it->second)
            u.Grupos[static_cast<std::size_t>(g)].ValorRecarga = DoubleDeMoeda(TextoParaMoeda(Trim(grade.Cell(5, j))));
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
