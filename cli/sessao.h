// The workspace engine on the command line: an operator that writes the log page to stdout and every
// message-box text to stderr (UTF-8), and the common first step of `batch` and `listing`.
#pragma once

#include <string>

#include "cadastrotelvarim.h"
#include "operador.h"

namespace telvarim::cli {

class OperadorConsole : public OperadorRoteirizado {
 public:
  void Mensagem(const std::string& t) override;
  bool Confirma(const std::string& t) override;  // answers No: nothing is ever asked of a script
  void Informa(const std::string& t) override;
  void Adverte(const std::string& t) override;
  void Erro(const std::string& t) override;
  void LogAcrescenta(const std::string& linha) override;
  // The import's result report: its lines (from line 1) on stderr.
  void MostraRelatorio(const Relatorio& r) override;
  // Reports are only kept (the listing writes them as PDF), not shown.
  bool mostraRelatorios = true;
};

// The last stderr line of a failed workspace step: what went wrong, the cause the engine found and its code.
int FalhaSessao(const char* comando, const CadastroTelvarim& c, const std::string& oQue, const std::string& depois,
                int status);

// Selects received file `nomeUtf8` of the root's Recebidos and processes it ("Processar Arquivo"). 0 when the
// typing page opened; otherwise the failure was reported on stderr and this is the exit status.
int ProcessaRecebido(const char* comando, CadastroTelvarim& c, const std::string& nomeUtf8);

}  // namespace telvarim::cli
