// Shared plumbing of the telvarim-cli commands: argument scanning and the one-line failure report.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec_results.h"
#include "pastas.h"
#include "safe_file.h"

namespace telvarim::cli {

using Argumentos = std::vector<std::string>;

// The program's arguments after its name, as UTF-8 on every platform: Windows hands them over as UTF-16
// (the narrow argv there is in the ANSI code page and loses what it cannot hold).
Argumentos ArgumentosDoPrograma(int argc, char** argv);

// A file named on the command line (UTF-8; elsewhere the bytes as given) as a path.
std::filesystem::path Caminho(const std::string& argumento);

// Exit statuses (the README's table). Every failure is non-zero; these tell the common ones apart.
inline constexpr int kSaidaFalha = 1;               // the operation failed; for batch: no request written
inline constexpr int kSaidaUso = 2;                 // the command line itself is wrong
inline constexpr int kSaidaImportacaoRecusada = 3;  // batch --values: import records refused, no request
inline constexpr int kSaidaPastaEmUso = 4;          // another program holds the work root; nothing was changed
inline constexpr int kSaidaNaoMovido = 5;           // batch: request written (ledger too), the received file not moved
inline constexpr int kSaidaLogNaoGravado = 6;       // batch: request written and file moved, its .LOG not saved
inline constexpr int kSaidaJaRespondido = 7;        // batch: the received file was answered already; nothing written

// Ends the command with this status once its failure line is written (main catches it).
struct Saida {
  int status;
};

// Holds the work root for the rest of the command: `const FileLock trava = ReservaRaiz("listing", pastas);`.
// When another program holds it, writes "telvarim-cli: OP: the work folder DIR is in use by WHO; nothing was
// changed" and ends the command with kSaidaPastaEmUso; when the root cannot be made or locked, says why and
// ends with kSaidaFalha.
FileLock ReservaRaiz(std::string_view op, const PastasTrabalho& pastas);

// Writes "telvarim-cli: OP: error CODE: MESSAGE" (or without the code when code is 0) to stderr and returns
// the exit status to use (never 0).
int Falha(std::string_view op, int code, std::string_view mensagem, int status = 1);
// What a codec's result code means, naming the files, as text for the terminal.
std::string MotivoCodec(Codec codec, int code, const CodecFiles& arquivos);

// A usage error: "telvarim-cli: OP: MESSAGE" plus the command's usage line; exit status 2.
int Uso(std::string_view op, std::string_view mensagem, std::string_view uso);

// Splits arguments into positionals and "--name value" / "--flag" options. Options listed in `flags` take no
// value. Repeated options keep every value in order. Returns false (with `erro` set) on an unknown option or
// a missing value.
struct Linha {
  std::vector<std::string> posicionais;
  std::vector<std::pair<std::string, std::string>> opcoes;

  bool Tem(std::string_view nome) const;
  std::optional<std::string> Valor(std::string_view nome) const;  // last value given
  std::vector<std::string> Valores(std::string_view nome) const;
};
bool Analisa(const Argumentos& args, const std::vector<std::string>& comValor, const std::vector<std::string>& flags,
             Linha& out, std::string& erro);

// Strict decimal integer (optional sign), within [min, max].
std::optional<long long> Inteiro(std::string_view s, long long min, long long max);

}  // namespace telvarim::cli
