// Work folders of the program and the file lists built from them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

inline constexpr std::string_view MascaraRecebidos = "*_1.rec";
inline constexpr std::string_view MascaraGerados = "*_2.rec";
inline constexpr std::string_view MascaraRascunhos = "*.REC";
inline constexpr std::string_view MascaraRascunhoRetomado = "*_2.REC";

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
