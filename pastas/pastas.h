// Work folders of the program and the file lists built from them.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "safe_file.h"

namespace telvarim {

// The work root the program uses when none is handed to it: TELVARIM_ROOT when set; otherwise
// C:\Quintaro\Telvarim on Windows and $HOME/Quintaro/Telvarim elsewhere. Read once, at the program's edge
// (the desktop program's start-up, the command line); everything below takes the folders as a value.
std::filesystem::path RaizTrabalho();

// The work folders under one root.
class PastasTrabalho {
 public:
  PastasTrabalho() = default;
  explicit PastasTrabalho(std::filesystem::path raiz) : raiz_(std::move(raiz)) {}

  const std::filesystem::path& Raiz() const { return raiz_; }
  std::filesystem::path Recebidos() const { return raiz_ / "Recebidos"; }      // received files not yet answered
  std::filesystem::path Processados() const { return raiz_ / "Processados"; }  // received files answered
  std::filesystem::path Gerados() const { return raiz_ / "Gerados"; }          // request files and their logs
  std::filesystem::path Rascunho() const { return raiz_ / "Rascunho"; }        // drafts
  std::filesystem::path Log() const { return raiz_ / "Log"; }                  // logs of imports of values

 private:
  std::filesystem::path raiz_;
};

// One writer at a time on a work root: the desktop program for its whole run, each command-line run that
// touches the root for its own. The hold is a lock on this dot file in the root (no file list shows it),
// dropped by the operating system however the holder ends, even killed.
inline constexpr std::string_view kArquivoTrava = ".telvarim.lock";

struct ReservaPasta {
  FileLock trava;        // held when the root is reserved
  bool emUso = false;    // another program holds the root
  std::string ocupante;  // when in use: who, as the holder wrote itself ("telvarim-cli batch, pid 4242"); may be empty
  std::error_code erro;  // neither reserved nor in use: why (the root cannot be made, no locks on its file system)
  bool Reservada() const { return trava.held(); }
};
// Makes the root when missing and reserves it for `programa` (the program as its users call it: "telvarim",
// "telvarim-cli batch"), which is written into the lock file with the process number.
ReservaPasta ReservaPastaTrabalho(const PastasTrabalho& pastas, std::string_view programa);

// One writer at a time on a folder, for the step that writes it: roots that share a folder (two desks, one
// network folder) share its lock, because the lock file lies in the folder itself. The step holds the locks
// of every folder it writes, from its first check to its last write.
struct TravaPastas {
  std::vector<FileLock> travas;
  bool emUso = false;           // another program kept a folder past the wait
  std::string ocupante;         // who, as the holder wrote itself; may be empty
  std::error_code erro;         // neither locked nor in use: why
  std::filesystem::path pasta;  // the folder that could not be locked
  bool Travadas() const { return !emUso && !erro; }
};
// Locks the folders (each once, however many names reach it, in one order for everyone, so two steps
// never wait for each other), waiting at most `espera` for each.
TravaPastas TravaPastasDoPasso(std::vector<std::filesystem::path> pastas, std::string_view programa,
                               std::chrono::milliseconds espera);

// A temporary name for `base` ("TMP1.REC") in `pasta` that no other step, process or root uses: it carries
// the process number and a counter, and ends in kSufixoParcial like every half-written file.
std::filesystem::path CaminhoTemporario(const std::filesystem::path& pasta, std::string_view base);

// Removes what interrupted steps left in `pasta`: files ending in kSufixoParcial, and the fixed TMP1.REC and
// TMP2.REC older versions used. Only for a caller that holds the folder's lock: then no step that writes
// there is running, and every such file is a leftover whose owner is gone.
void RemoveSobras(const std::filesystem::path& pasta);

inline constexpr std::string_view MascaraRecebidos = "*_1.rec";
inline constexpr std::string_view MascaraGerados = "*_2.rec";
inline constexpr std::string_view MascaraRascunhos = "*.REC";
inline constexpr std::string_view MascaraRascunhoRetomado = "*_2.REC";

// What a file being written is called until it is complete: its final name, a mark of its writer (see
// CaminhoTemporario) and this suffix, which no mask matches, so no list ever offers a half-written request,
// log or draft.
inline constexpr std::string_view kSufixoParcial = ".parcial";
std::filesystem::path CaminhoParcial(const std::filesystem::path& final);

// The drafts a workspace may resume from the draft folder (mask MascaraRascunhos, temporaries excluded),
// in list order.
std::vector<std::string> Rascunhos(const std::filesystem::path& pasta);

// '*' and '?' wildcards, letters compared in any case (cp1252 upper case), as the file lists of the
// original platform match.
bool CasaMascara(std::string_view nome, std::string_view mascara);

// Plain names of the regular files of a folder that match a mask, sorted by name without regard to letter
// case. Files the system hides (OcultoPeloSistema) and folders are not listed. A missing folder gives an
// empty list.
std::vector<std::string> ListaArquivos(const std::filesystem::path& pasta, std::string_view mascara);

// Whether the system keeps a file out of its folder listings: the hidden or the system attribute on
// Windows, a name that begins with a dot elsewhere (pastas_plataforma.cpp).
bool OcultoPeloSistema(const std::filesystem::path& p);

// Paths and file names as the engine's cp1252 text (messages, logs) and back.
std::string TextoCaminho(const std::filesystem::path& p);
// A file in a generation folder as the generation's log names it: on Windows the drive letter in lower case
// ("c:\Quintaro\Telvarim\Gerados\RM_..._2.REC"), as that log has always read; elsewhere TextoCaminho.
std::string TextoCaminhoGerado(const std::filesystem::path& p);
std::filesystem::path CaminhoDeTexto(std::string_view cp1252);

}  // namespace telvarim
