// The one place that asks the operating system which volumes exist.
#include "cp1252.h"
#include "volumes.h"
#include "windows_sistema.h"

#ifndef _WIN32
#include <fstream>
#include <sstream>
#include <system_error>
#endif

namespace fs = std::filesystem;

namespace telvarim {

#ifdef _WIN32

std::vector<Volume> VolumesDoSistema() {
  std::vector<Volume> v;
  // An empty floppy or card reader must not stop the list with a "no disk" box.
  DWORD modoAntigo = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS, &modoAntigo);
  const DWORD letras = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(letras & (1u << i))) continue;
    const wchar_t raiz[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', 0};
    const bool removivel = GetDriveTypeW(raiz) == DRIVE_REMOVABLE;
    std::string rotulo;
    if (!removivel) {
      wchar_t nome[MAX_PATH + 1] = {};
      if (GetVolumeInformationW(raiz, nome, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0))
        rotulo = Utf16ParaCp1252(reinterpret_cast<const char16_t*>(nome));
    }
    const std::string letra{static_cast<char>('a' + i), ':'};
    v.push_back({fs::path(raiz), TextoVolume(letra, rotulo, removivel), removivel});
  }
  SetThreadErrorMode(modoAntigo, nullptr);
  return v;
}

#else

namespace {

// Mount tables write blanks and a few other bytes as three-digit octal escapes ("\040").
std::string DesfazEscapes(const std::string& s) {
  std::string r;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '7' && s[i + 2] >= '0' && s[i + 2] <= '7' &&
        s[i + 3] >= '0' && s[i + 3] <= '7') {
      r += static_cast<char>(((s[i + 1] - '0') << 6) | ((s[i + 2] - '0') << 3) | (s[i + 3] - '0'));
      i += 3;
    } else {
      r += s[i];
    }
  }
  return r;
}

bool LeUm(const fs::path& arquivo) {
  std::ifstream in(arquivo);
  char c = 0;
  return in.get(c) && c == '1';
}

// A partition (sdb1) is removable when its disk (sdb) is.
bool DispositivoRemovivel(const fs::path& dispositivo) {
  std::error_code ec;
  const fs::path no = fs::canonical(fs::path("/sys/class/block") / dispositivo.filename(), ec);
  if (ec) return false;
  return LeUm(no / "removable") || LeUm(no.parent_path() / "removable");
}

std::string RotuloDe(const fs::path& dispositivo) {
  std::error_code ec;
  const fs::path real = fs::canonical(dispositivo, ec);
  if (!ec) {
    fs::directory_iterator it("/dev/disk/by-label", ec), fim;
    for (; !ec && it != fim; it.increment(ec)) {
      std::error_code ec2;
      if (fs::canonical(it->path(), ec2) == real && !ec2) return DesfazEscapes(it->path().filename().string());
    }
  }
  return dispositivo.filename().string();
}

bool PontoDeMidia(const std::string& ponto) {
  return ponto.rfind("/media/", 0) == 0 || ponto.rfind("/run/media/", 0) == 0;
}

}  // namespace

std::vector<Volume> VolumesDoSistema() {
  std::vector<Volume> v;
  bool temRaiz = false;
  std::ifstream tabela("/proc/self/mounts");
  std::string linha;
  while (std::getline(tabela, linha)) {
    std::istringstream campos(linha);
    std::string origem, ponto, tipo;
    if (!(campos >> origem >> ponto >> tipo)) continue;
    origem = DesfazEscapes(origem);
    ponto = DesfazEscapes(ponto);
    const bool raiz = ponto == "/";
    // Only file systems on block devices hold the operator's folders; snap images are read-only packages.
    if (!raiz && (origem.rfind("/dev/", 0) != 0 || origem.rfind("/dev/loop", 0) == 0 || tipo == "squashfs")) continue;
    std::error_code ec;
    if (!fs::is_directory(ponto, ec)) continue;  // files bound into containers
    bool repetido = false;
    for (const Volume& x : v) repetido = repetido || x.raiz == fs::path(ponto);
    if (repetido) continue;
    temRaiz = temRaiz || raiz;
    const bool removivel = !raiz && (DispositivoRemovivel(origem) || PontoDeMidia(ponto));
    const std::string rotulo = origem.rfind("/dev/", 0) == 0 ? RotuloDe(origem) : tipo;
    v.push_back({fs::path(ponto), TextoVolume(Utf8ParaCp1252(ponto), Utf8ParaCp1252(rotulo), removivel), removivel});
  }
  if (!temRaiz) v.push_back({fs::path("/"), "/", false});
  return v;
}

#endif

}  // namespace telvarim
