// What the operating system says about a file beyond what std::filesystem tells: the one platform file of
// the work folders.
#include "pastas.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace telvarim {

bool OcultoPeloSistema(const std::filesystem::path& p) {
#ifdef _WIN32
  const DWORD atributos = GetFileAttributesW(p.c_str());
  return atributos != INVALID_FILE_ATTRIBUTES && (atributos & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
#else
  const std::string nome = p.filename().native();
  return !nome.empty() && nome[0] == '.';
#endif
}

}  // namespace telvarim
