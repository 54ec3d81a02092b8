// What the operating system says about a file beyond what std::filesystem tells: the one platform file of
// the work folders.
#include "pastas.h"
#include "windows_sistema.h"

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
