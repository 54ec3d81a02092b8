#include <new>

#include "cadastro_comum.h"
#include "cadastrotelvarim.h"
#include "cp1252.h"
#include "urecargaexterna.h"

namespace telvarim {

using namespace literais;
using namespace cadastro;

bool CadastroTelvarim::LocalizaUsuario(const std::string& matricula, const std::string& codigo) {
  UsuarioLocalizado = -1;
  const std::optional<std::int32_t> tipo = LeInteiro(Trim(codigo));
  if (!tipo) return false;
  // One index per loaded file: a 10000-record import must not walk the table for every record.
  if (indiceUsuarios_.qtd != QtdUsuarios || indiceUsuarios_.geracao != geracaoTabelas_) {
    indiceUsuarios_.mapa.clear();
    for (std::int32_t i = QtdUsuarios - 1; i >= 0; --i) {  // backwards, so the first in table order wins
      const RegUsuario& u = tab_.Usuarios[static_cast<std::size_t>(i)];
      indiceUsuarios_.mapa[u.Matricula + '\n' + std::to_string(u.TipoCartao)] = i;
    }
    indiceUsuarios_.qtd = QtdUsuarios;
    indiceUsuarios_.geracao = geracaoTabelas_;
  }
  auto it = indiceUsuarios_.mapa.find(Trim(matricula) + '\n' + std::to_string(*tipo));
  if (it == indiceUsuarios_.mapa.end()) return false;
  UsuarioLocalizado = it->second;
  return true;
}

bool CadastroTelvarim::AtualizaValorImportado(double valor, const std::string& codigo) {
  const std::int32_t tipo = InteiroOuPadrao(Trim(codigo), 0);
  if (tipo == 0 || valor < 0 || UsuarioLocalizado < 0 || UsuarioLocalizado >= QtdUsuarios) return false;
  // The holder's own card type sets the limit, not the one on display: the record named it.
  if (MoedaDeDouble(valor) > MoedaDeDouble(tab_.TipoCartao(tipo).ValorMaximo)) return false;
  tab_.Usuarios[static_cast<std::size_t>(UsuarioLocalizado)].Grupos[0].ValorRecarga = valor;
  return true;
}

void CadastroTelvarim::btnimportararqClick() {
  const std::string caminho = op_.AbreArquivo("Arquivo Recarga (*.rrm)|*.rrm|Todos os Arquivos (*.*)|*.*", "*.rrm");
  if (Trim(caminho).empty()) return;

  ImportandoArquivo = true;
  Label19.Caption = "Registros Processados: ";
  HabilitaControles(false);
  MostraProgresso(true);
  struct Restaura {  // on every path, exceptions included
    CadastroTelvarim& c;
    ~Restaura() {
      c.MostraProgresso(false);
      c.HabilitaControles(true);
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
      importacao.MostraResultado("Resultado da Importação das Recargas"_cp, Trim(lblempresa.Caption), caminho);
    }
    op_.Informa(
        "As Alterações feitas pela importação não estão salvas.\nClique no botão 'Salvar Rascunho' para salvar as alterações."_cp);
  } catch (const ErroConversao& e) {
    UltimaImportacao = false;
    op_.Erro(e.what());
  } catch (const std::bad_alloc&) {
    UltimaImportacao = false;
    op_.Erro("Memória insuficiente para importar o arquivo - Verifique!"_cp);
  }
}

}  // namespace telvarim
