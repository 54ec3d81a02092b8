#include <new>

#include "cadastro_comum.h"
#include "cadastrotelvarim.h"
#include "cp1252.h"
#include "recargaexterna.h"

namespace telvarim {

using namespace literais;
using namespace cadastro;

bool CadastroTelvarim::LocalizaUsuario(const std::string& matricula, const std::string& codigo) {
  UsuarioLocalizado = -1;
  const std::optional<std::int32_t> tipo = LeInteiro(Trim(codigo));
  if (!tipo) return false;
  UsuarioLocalizado = tab_.LocalizaUsuario(Trim(matricula), *tipo, QtdUsuarios);
  return UsuarioLocalizado >= 0;
}

bool CadastroTelvarim::AtualizaValorImportado(double valor, const std::string& codigo) {
  const std::int32_t tipo = InteiroOuPadrao(Trim(codigo), 0);
  if (tipo == 0 || valor < 0 || UsuarioLocalizado < 0 || UsuarioLocalizado >= QtdUsuarios) return false;
  // The holder's own card type sets the limit and the digits kept, not the one on display: the record named
  // it.
  const RegTipoCartao& c = tab_.TipoCartao(tipo);
  Moeda v = 0;
  try {
    v = MoedaDeDouble(valor);
  } catch (const ErroConversao&) {
    return false;
  }
  if (v > MoedaDeDouble(c.ValorMaximo)) return false;
  tab_.Usuarios[static_cast<std::size_t>(UsuarioLocalizado)].Grupos[0].ValorRecarga =
      DoubleDeMoeda(ValorGuardado(v, c));
  return true;
}

Resultado CadastroTelvarim::ImportaValores() {
  const std::string caminho = op_.AbreArquivo("Arquivo Recarga (*.rrm)|*.rrm|Todos os Arquivos (*.*)|*.*", "*.rrm");
  if (Trim(caminho).empty()) return Resultado::Recusa({});
  if (RecargaExterna(*this, relogio_).EhOProprioLog(CaminhoDeTexto(caminho))) {
    // An earlier import's log, reachable under "Todos os Arquivos": its import would write the file it reads.
    const std::string m = "O arquivo escolhido é o próprio Log da importação - Verifique!"_cp;
    UltimaImportacao = false;
    op_.Erro(m);
    return Resultado::Recusa(m);
  }

  ImportandoArquivo = true;
  Progresso = Andamento{.Visivel = true};
  ControlesHabilitados = false;
  struct Restaura {  // on every path, exceptions included
    CadastroTelvarim& c;
    ~Restaura() {
      c.Progresso.Visivel = false;
      c.ControlesHabilitados = true;
      c.op_.ProcessaMensagens();
      c.ImportandoArquivo = false;
    }
  } restaura{*this};

  try {
    RecargaExterna importacao(*this, relogio_);
    UltimaImportacao = importacao.Importa(CaminhoDeTexto(caminho));
    if (UltimaImportacao) {
      op_.Informa("Operação Concluída com Sucesso"_cp);
    } else {
      op_.Adverte("Operação Concluída com Advertências"_cp);
      importacao.MostraResultado("Resultado da Importação das Recargas"_cp,
                                 CabecalhoLido ? Trim(EmpresaExibicao(Cabecalho)) : std::string(), caminho);
    }
    op_.Informa(
        "As Alterações feitas pela importação não estão salvas.\nClique no botão 'Salvar Rascunho' para salvar as alterações."_cp);
    return UltimaImportacao ? Resultado::Ok() : Resultado::Falha("Operação Concluída com Advertências"_cp);
  } catch (const ErroConversao& e) {
    UltimaImportacao = false;
    op_.Erro(e.what());
    return Resultado::Falha(e.what());
  } catch (const std::bad_alloc&) {
    UltimaImportacao = false;
    const std::string m = "Memória insuficiente para importar o arquivo - Verifique!"_cp;
    op_.Erro(m);
    return Resultado::Falha(m);
  }
}

}  // namespace telvarim
