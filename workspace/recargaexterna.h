// The import of recharge values from an employer's external file (*.rrm): every record's holder is found
// by matrícula and card type, the value put into the holder's first tariff group, and everything done is
// written to a log file; the refused records make the result report.
//
// One object per import run. It reads through PersRecargaExterna, logs through Log, and works on the
// workspace through its LocalizaUsuario / AtualizaValorImportado and the operator seam.
//
// Where the rules as first written lose data or mislead, this does the sound thing instead:
// - the log file is the value file's own name with ".log" in place of its extension, in the Log folder, for
//   any name and any path length;
// - a value file that cannot be opened ends the run as a failure, with the reason in the result report;
// - a last line without a line end is a record like any other (the reader's rule).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "datetime.h"
#include "persrecargaexterna.h"

namespace telvarim {

class CadastroTelvarim;

class RecargaExterna {
 public:
  RecargaExterna(CadastroTelvarim& cadastro, const Relogio& relogio);

  // True when every record was applied; false when any record failed or the import could not start.
  bool Importa(const std::filesystem::path& caminho);
  // The result report in the operator's preview (lines from 1 on; line 0 is the empty first line).
  void MostraResultado(const std::string& titulo, const std::string& empresa, const std::string& caminho);
  void AdicionaErro(const std::string& numeroLinha, const std::string& matricula, const std::string& mensagem);

  // The log file of the last Importa (empty before).
  const std::filesystem::path& ArquivoLog() const { return arquivoLog_; }

  std::int32_t IdRegistro = 0, Empresa = 0, CodigoArquivo = 0, TotalOk = 0, TotalErros = 0, TipoCartao = 0;
  std::string Matricula = "0", Complemento = "0";
  double Valor = 0;
  PersRecargaExterna Leitor;
  std::vector<std::string> Resultado;

 private:
  void LimpaRegistro();

  CadastroTelvarim& cad_;
  const Relogio& relogio_;
  std::filesystem::path arquivoLog_;
};

}  // namespace telvarim
