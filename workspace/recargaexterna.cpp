#include "recargaexterna.h"

#include <system_error>

#include "cadastro_comum.h"
#include "cadastrotelvarim.h"
#include "cp1252.h"
#include "log.h"
#include "numbers.h"
#include "resultadoimportacao.h"

namespace fs = std::filesystem;

namespace telvarim {

using namespace literais;
using namespace cadastro;

RecargaExterna::RecargaExterna(CadastroTelvarim& cadastro, const Relogio& relogio)
    : cad_(cadastro), relogio_(relogio) {}

void RecargaExterna::LimpaRegistro() {
  IdRegistro = Empresa = CodigoArquivo = TipoCartao = 0;
  Matricula = Complemento = "0";
  Valor = 0;
}

void RecargaExterna::AdicionaErro(const std::string& numeroLinha, const std::string& matricula,
                                  const std::string& mensagem) {
  Resultado.push_back(LinhaResultadoImportacao(numeroLinha, matricula, mensagem));
}

bool RecargaExterna::Importa(const fs::path& caminho) {
  Operador& op = cad_.operador();
  const fs::path pastaLog = cad_.pastas().Log();
  std::error_code ec;
  fs::create_directories(pastaLog, ec);
  arquivoLog_ = pastaLog / fs::path(caminho.filename()).replace_extension(".log");
  Log log(relogio_);
  if (!log.Abre(arquivoLog_)) return false;

  const std::string texto = TextoCaminho(caminho);
  log.Titulo("Arquivo - " + texto + " - Log de importação da recarga"_cp);
  TotalOk = TotalErros = 0;
  Resultado.assign(1, std::string());
  bool resultado = true;

  if (Leitor.Abre(caminho)) cad_.Progresso.Maximo = Leitor.QuantidadeRegistros();

  for (int linha = 0;;) {
    LimpaRegistro();
    ++linha;
    const std::string numero = NumeroTexto(linha);
    if (!Leitor.LeRegistro(caminho)) {
      const std::string mensagem = Leitor.MensagemSituacao();
      if (Leitor.Situacao() == kSituacaoFimArquivo) break;
      if (Leitor.Situacao() == kSituacaoErroAbertura) {
        // Nothing was imported: a failure, with its reason in the report, never "Sucesso".
        log.Erro(mensagem);
        AdicionaErro(numero, "", mensagem);
        ++TotalErros;
        resultado = false;
        break;
      }
      AdicionaErro(numero, Trim(Campo(Leitor.Registro(), 8, 28)), mensagem);
      ++TotalErros;
      resultado = false;
      log.Erro(mensagem);
      continue;
    }
    IdRegistro = Leitor.IdRegistro();
    Empresa = Leitor.EmpresaRegistro();
    CodigoArquivo = Leitor.CodigoArquivoRegistro();
    Matricula = Leitor.MatriculaRegistro();
    Complemento = Leitor.ComplementoRegistro();
    Valor = Leitor.ValorRegistro();
    TipoCartao = Leitor.TipoCartaoRegistro();
    if (TipoCartao == 0) TipoCartao = cad_.TipoCartaoAtual;
    const std::string tipo = NumeroTexto(TipoCartao);
    const std::string valor = FormaGeral(Valor);

    if (cad_.LocalizaUsuario(Matricula, tipo)) {
      if (cad_.AtualizaValorImportado(Valor, tipo)) {
        ++TotalOk;
        log.Info("Matrícula - "_cp + Matricula + " Tipo : " + tipo + " -  Valor : " + valor);
      } else if (Valor > 600.00) {
        AdicionaErro(numero, Matricula, "O valor da recarga excede 600.00");
        log.Erro("Matrícula - "_cp + Matricula + ". Valor : " + valor +
                 ". O valor para recarga não pode exceder 600.00"_cp);
        ++TotalErros;
        resultado = false;
      } else {
        AdicionaErro(numero, Matricula, "Erro na atualização do valor da recarga"_cp);
        log.Erro("Matrícula - "_cp + Matricula + ". Erro na atualização do valor da recarga"_cp);
        ++TotalErros;
        resultado = false;
      }
    } else {
      AdicionaErro(numero, Matricula, "Matrícula não encontrada"_cp);
      log.Erro("Matrícula - "_cp + Matricula + " não encontrada"_cp);
      ++TotalErros;
      resultado = false;
    }
    cad_.Progresso.Feitos = linha;
    op.ProcessaMensagens();
  }

  // The view shows the holders in table order again, as after choosing its card type and tariff.
  cad_.MostraTipoTarifa(cad_.TipoCartaoAtual, cad_.TarifaAtual);
  log.Titulo("Total de OK: " + NumeroTexto(TotalOk) + " - Total de erros: " + NumeroTexto(TotalErros));
  log.Titulo("Fim do Log de importação da recarga"_cp);
  log.Fecha();
  op.Informa("Log da operação gerado em \n"_cp + TextoCaminho(arquivoLog_));
  return resultado;
}

void RecargaExterna::MostraResultado(const std::string& titulo, const std::string& empresa,
                                     const std::string& caminho) {
  Relatorio r;
  r.tipo = Relatorio::Tipo::Importacao;
  r.qrlnomecadastro = titulo;
  r.qrlrelatorio = "Empresa : " + empresa;
  r.qrlperiodo = "Arquivo   : " + caminho;
  r.qrlfiltro = "Importado : " + FormataData(relogio_.Agora());
  r.QRVersao = cad_.programa().VersaoModulo + " - " + kTituloAplicacao;
  r.cabecalhoColunas = CabecalhoResultadoImportacao();
  r.linhas = Resultado;
  cad_.operador().MostraRelatorio(r);
}

}  // namespace telvarim
