// Work folders of the program and the file lists built from them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace telvarim {

// The work root: TELVARIM_ROOT when set; otherwise C:\Quintaro\Telvarim on Windows and
// $HOME/Quintaro/Telvarim elsewhere.
std::filesystem::path RaizTrabalho();

std::filesystem::path PastaRecebidos();    // received files not yet answered
std::filesystem::path PastaProcessados();  // received files whose request was generated
std::filesystem::path PastaGerados();      // request files and their logs
std::filesystem::path PastaRascunho();     // drafts
std::filesystem::path PastaLog();          // logs of imports of values

inline constexpr std::string_view MascaraRecebidos = "*_1.rec";
inline constexpr std::string_view MascaraGerados = "*_2.rec";
inline constexpr std::string_view MascaraRascunhos = "*.REC";
inline constexpr std::string_view MascaraRascunhoRetomado = "*_2.REC";

// '*' and '?' wildcards, letters compared in any case (cp1252 upper case), as the file lists of the
// original platform match.
bool CasaMascara(std::string_view nome, std::string_view mascara);

// Plain names of the regular files of a folder that match a mask, sorted by name without regard to letter
// case. Hidden files (dot files) and folders are not listed. A missing folder gives an empty list.
std::vector<std::string> ListaArquivos(const std::filesystem::path& pasta, std::string_view mascara);

// Paths and file names as the engine's cp1252 text (messages, logs) and back.
std::string TextoCaminho(const std::filesystem::path& p);
std::filesystem::path CaminhoDeTexto(std::string_view cp1252);

}  // namespace telvarim
