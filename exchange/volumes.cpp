#include "volumes.h"

#include <algorithm>
#include <system_error>

#include "cp1252.h"
#include "pastas.h"

namespace fs = std::filesystem;

namespace telvarim {

std::string TextoVolume(const std::string& raiz, const std::string& rotulo, bool removivel) {
  std::string t = raiz;
  if (!removivel && !rotulo.empty()) t += " [" + rotulo + "]";
  return t;
}

std::vector<Volume> ListaVolumes() {
  std::vector<Volume> v = VolumesDoSistema();
  if (v.empty()) {
    std::error_code ec;
    fs::path raiz = fs::current_path(ec).root_path();
    if (raiz.empty()) raiz = fs::path("/");
    v.push_back({raiz, TextoCaminho(raiz), false});
  }
  std::stable_sort(v.begin(), v.end(), [](const Volume& a, const Volume& b) {
    if (a.removivel != b.removivel) return a.removivel;
    return ComparaBytes(MaiusculasCp1252(TextoCaminho(a.raiz)), MaiusculasCp1252(TextoCaminho(b.raiz))) < 0;
  });
  return v;
}

namespace {

// Components compared one by one, letters in any case on Windows, so "/media/usb" does not hold
// "/media/usb2".
bool Contem(const fs::path& raiz, const fs::path& pasta) {
  auto r = raiz.begin(), p = pasta.begin();
  for (; r != raiz.end(); ++r, ++p) {
    if (r->empty()) continue;  // the empty last component of a root with a trailing separator
    if (p == pasta.end()) return false;
#ifdef _WIN32
    if (MaiusculasCp1252(TextoCaminho(*r)) != MaiusculasCp1252(TextoCaminho(*p))) return false;
#else
    if (*r != *p) return false;
#endif
  }
  return true;
}

std::size_t Profundidade(const fs::path& p) { return static_cast<std::size_t>(std::distance(p.begin(), p.end())); }

}  // namespace

std::size_t VolumeDe(const std::vector<Volume>& volumes, const fs::path& pasta) {
  std::size_t melhor = 0, fundo = 0;
  bool achou = false;
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    if (!Contem(volumes[i].raiz, pasta)) continue;
    const std::size_t d = Profundidade(volumes[i].raiz);
    if (!achou || d > fundo) {
      melhor = i;
      fundo = d;
      achou = true;
    }
  }
  return melhor;
}

}  // namespace telvarim
