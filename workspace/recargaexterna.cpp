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

fs::path RecargaExterna::CaminhoLog(const fs::path& caminho) const {
  return cad_.pastas().Log() / fs::path(caminho.filename()).replace_extension(".log");
}

bool RecargaExterna::EhOProprioLog(const fs::path& caminho) const {
  // By identity, not by name: "X.LOG" on Windows, a link or another path to the same file are that log too.
  std::error_code ec;
  return fs::equivalent(caminho, CaminhoLog(caminho), ec) && !ec;
}

void RecargaExterna::Recusa(const std::string& numeroLinha, const std::string& matricula, const std::string& mensagem,
                            const std::string& linhaLog) {
  ++TotalErros;
  resultado_ = false;
  if (listadas_ < kMaxRecusasListadas) {
    ++listadas_;
    AdicionaErro(numeroLinha, matricula, mensagem);
    if (log_) Gravou(log_->Erro(linhaLog));
    return;
  }
  for (auto& [texto, quantos] : naoListadas_)
    if (texto == mensagem) {
      ++quantos;
      return;
    }
  naoListadas_.emplace_back(mensagem, 1);
}

void RecargaExterna::AvisaFalhaLog(const std::string& mensagem, const std::string& reason) {
  resultado_ = false;
  AdicionaErro("", "", mensagem);
  cad_.UltimaFalha = CausaFalha{0, mensagem, reason};
  cad_.operador().LogAcrescenta(mensagem);
  cad_.operador().Erro(mensagem);
}

namespace {

bool CabeEmMoeda(double v) {
  try {
    MoedaDeDouble(v);
    return true;
  } catch (const ErroConversao&) {
    return false;
  }
}

}  // namespace

bool RecargaExterna::Importa(const fs::path& caminho) {
  Operador& op = cad_.operador();
  arquivoLog_ = CaminhoLog(caminho);
  TotalOk = TotalErros = 0;
  Resultado.assign(1, std::string());
  resultado_ = true;
  logIncompleto_ = false;
  listadas_ = 0;
  naoListadas_.clear();
  const std::string textoLog = TextoCaminho(arquivoLog_);
  if (EhOProprioLog(caminho)) {
    // Opening the log would empty the values, and reading them would read the lines being written.
    AdicionaErro("", "", "O arquivo escolhido é o próprio Log da importação - Verifique!"_cp);
    return false;
  }

  // The values are opened before the log is made: a value file that did not exist is never the new log.
  const bool aberto = Leitor.Abre(caminho);
  std::error_code ec;
  fs::create_directories(arquivoLog_.parent_path(), ec);
  Log log(relogio_);
  if (!log.Abre(arquivoLog_)) {
    AvisaFalhaLog("Não foi possível criar o Log da importação "_cp + textoLog + " - Verifique!",
                  "the import log " + Cp1252ParaUtf8(textoLog) + " could not be created");
    return false;
  }
  log_ = &log;
  struct Solta {  // the log lives only inside this call
    Log*& l;
    ~Solta() { l = nullptr; }
  } solta{log_};

  const std::string texto = TextoCaminho(caminho);
  Gravou(log.Titulo("Arquivo - " + texto + " - Log de importação da recarga"_cp));

  const auto limite = static_cast<std::int32_t>(kMaxLinhasArquivo);
  if (aberto) cad_.Progresso.Maximo = Leitor.QuantidadeRegistros(limite);

  for (std::int32_t linha = 0;;) {
    LimpaRegistro();
    ++linha;
    const std::string numero = NumeroTexto(linha);
    if (!aberto) {
      // Nothing was imported: a failure, with its reason in the report, never "Sucesso".
      const std::string mensagem = MensagemDaSituacao(kSituacaoErroAbertura);
      Gravou(log.Erro(mensagem));
      AdicionaErro(numero, "", mensagem);
      ++TotalErros;
      resultado_ = false;
      break;
    }
    const bool lido = Leitor.LeRegistro(caminho);
    if (Leitor.Situacao() == kSituacaoFimArquivo) break;
    if (linha > limite) {
      const std::string mensagem = "Arquivo com mais de "_cp + NumeroTexto(limite) +
                                   " linhas - a importação parou na linha "_cp + NumeroTexto(limite) + " - Verifique!";
      AdicionaErro("", "", mensagem);
      Gravou(log.Erro(mensagem));
      resultado_ = false;
      break;
    }
    if (!lido) {
      const std::string mensagem = Leitor.MensagemSituacao();
      Recusa(numero, Trim(Campo(Leitor.Registro(), 8, 28)), mensagem, mensagem);
      continue;
    }
    IdRegistro = Leitor.IdRegistro();
    Empresa = Leitor.EmpresaRegistro();
    CodigoArquivo = Leitor.CodigoArquivoRegistro();
    Matricula = Leitor.MatriculaRegistro();
    Complemento = Leitor.ComplementoRegistro();
    Valor = Leitor.ValorRegistro();
    if (!CabeEmMoeda(Valor)) {
      // Sixteen digits fit the field but not the currency: an invalid value, not the end of the import.
      const std::string mensagem = MensagemDaSituacao(kSituacaoValorInvalido);
      Recusa(numero, Matricula, mensagem, mensagem);
      continue;
    }
    TipoCartao = Leitor.TipoCartaoRegistro();
    if (TipoCartao == 0) TipoCartao = cad_.TipoCartaoAtual;
    const std::string tipo = NumeroTexto(TipoCartao);
    const std::string valor = FormaGeral(Valor);

    try {
      if (cad_.LocalizaUsuario(Matricula, tipo)) {
        if (cad_.AtualizaValorImportado(Valor, tipo)) {
          ++TotalOk;
          Gravou(log.Info("Matrícula - "_cp + Matricula + " Tipo : " + tipo + " -  Valor : " + valor));
        } else if (Valor > 600.00) {
          Recusa(numero, Matricula, "O valor da recarga excede 600.00",
                 "Matrícula - "_cp + Matricula + ". Valor : " + valor +
                     ". O valor para recarga não pode exceder 600.00"_cp);
        } else {
          Recusa(numero, Matricula, "Erro na atualização do valor da recarga"_cp,
                 "Matrícula - "_cp + Matricula + ". Erro na atualização do valor da recarga"_cp);
        }
      } else {
        Recusa(numero, Matricula, "Matrícula não encontrada"_cp, "Matrícula - "_cp + Matricula + " não encontrada"_cp);
      }
    } catch (const ErroConversao& e) {
      // A record's error is that record's refusal: the records after it are still read. The only number
      // converted here is the value.
      Recusa(numero, Matricula, MensagemDaSituacao(kSituacaoValorInvalido), e.what());
      continue;
    }
    cad_.Progresso.Feitos = linha;
    op.ProcessaMensagens();
  }

  for (const auto& [mensagem, quantos] : naoListadas_) {
    const std::string resumo = "Mais " + NumeroTexto(quantos) +
                               (quantos == 1 ? " registro recusado" : " registros recusados") +
                               " com o erro: " + mensagem;
    AdicionaErro("", "", resumo);
    Gravou(log.Erro(resumo));
  }
  // The view shows the holders in table order again, as after choosing its card type and tariff.
  cad_.MostraTipoTarifa(cad_.TipoCartaoAtual, cad_.TarifaAtual);
  Gravou(log.Titulo("Total de OK: " + NumeroTexto(TotalOk) + " - Total de erros: " + NumeroTexto(TotalErros)));
  Gravou(log.Titulo("Fim do Log de importação da recarga"_cp));
  Gravou(log.Fecha());
  if (logIncompleto_)
    AvisaFalhaLog("O Log da importação "_cp + textoLog + " está incompleto: falha ao gravar no arquivo - Verifique!"_cp,
                  "the import log " + Cp1252ParaUtf8(textoLog) + " could not be written whole (disk full?)");
  else
    op.Informa("Log da operação gerado em \n"_cp + textoLog);
  return resultado_;
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
