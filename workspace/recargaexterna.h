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
// - a value file that is that log itself (an earlier import's log chosen as values) is refused before
//   anything is written: read while it is written, it would never end;
// - a value file that cannot be opened ends the run as a failure, with the reason in the result report;
// - a last line without a line end is a record like any other (the reader's rule);
// - a value the currency cannot hold is refused as an invalid value, like any other refused record, and the
//   run goes on;
// - at most kMaxLinhasArquivo lines are read, as for a received file; past them the run stops, saying so;
// - after kMaxRecusasListadas refusals the report and the log list no more refused lines one by one: one
//   line per message then says how many more there were, so a hostile file cannot flood either;
// - a log that cannot be created or written whole is said on the log page, in an error box and in the
//   report, and the run ends with warnings: the log is the only record of what an import did.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "datetime.h"
#include "persrecargaexterna.h"

namespace telvarim {

class CadastroTelvarim;
class Log;

// Refused records listed one by one in the report and the log before the rest are only counted.
inline constexpr std::int32_t kMaxRecusasListadas = 2000;

class RecargaExterna {
 public:
  RecargaExterna(CadastroTelvarim& cadastro, const Relogio& relogio);

  // The log file of an import of `caminho`: its name with ".log", in the Log folder.
  std::filesystem::path CaminhoLog(const std::filesystem::path& caminho) const;
  // Whether `caminho` is that log file itself (the same file, by whatever name or link it is reached).
  bool EhOProprioLog(const std::filesystem::path& caminho) const;

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
  // One refused record: counted, and listed in the report and the log while fewer than kMaxRecusasListadas
  // were.
  void Recusa(const std::string& numeroLinha, const std::string& matricula, const std::string& mensagem,
              const std::string& linhaLog);
  // Remembers a log line that did not reach the file.
  void Gravou(bool ok) { logIncompleto_ = logIncompleto_ || !ok; }
  // A failure of the log itself: in the report, on the log page and in an error box.
  void AvisaFalhaLog(const std::string& mensagem, const std::string& reason);

  CadastroTelvarim& cad_;
  const Relogio& relogio_;
  std::filesystem::path arquivoLog_;
  Log* log_ = nullptr;  // the open log of the run
  bool resultado_ = true;
  bool logIncompleto_ = false;
  std::int32_t listadas_ = 0;
  std::vector<std::pair<std::string, std::int32_t>> naoListadas_;  // per message, in order of first refusal
};

}  // namespace telvarim
