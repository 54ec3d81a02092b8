#include <algorithm>

#include "cadastro_comum.h"
#include "cadastrotelvarim.h"
#include "cp1252.h"
#include "listagem.h"

namespace telvarim {

using namespace literais;
using namespace cadastro;

Relatorio CadastroTelvarim::RelatorioListagem() {
  const Classificacao c = Ordem;
  std::vector<RegListagem> linhas = LinhasDeListagem(tab_, QtdUsuarios);
  const std::vector<int> ordem = OrdemClassificacao(linhas, c);
  std::vector<RegListagem> ordenadas;
  ordenadas.reserve(linhas.size());
  for (int k : ordem) ordenadas.push_back(std::move(linhas[static_cast<std::size_t>(k)]));
  // The process-wide buffer holds the rows printed, as far as it reaches.
  std::copy_n(ordenadas.begin(), std::min<std::size_t>(ordenadas.size(), tab_.Listagem.size()), tab_.Listagem.begin());

  Relatorio r;
  r.tipo = Relatorio::Tipo::Listagem;
  r.qrlnomecadastro = "Listagem de Cartões a Recarregar"_cp;
  r.qrlrelatorio = CabecalhoLido ? Trim(EmpresaExibicao(Cabecalho)) : std::string();
  // The file actually worked on: after its request it is no longer where the received list points.
  r.qrlperiodo = "Arquivo : " + TextoCaminho(ArquivoEmProcesso);
  r.lblClassificacao = RotuloClassificacao(c);
  r.QRVersao = prog_.VersaoModulo + " - " + kTituloAplicacao;
  r.linhas = TextoListagem(tab_, ordenadas, prog_.ModoArredondamento);
  return r;
}

Resultado CadastroTelvarim::Imprime() {
  return Protegido([&] {
    op_.MostraRelatorio(RelatorioListagem());
    return Resultado::Ok();
  });
}

}  // namespace telvarim
