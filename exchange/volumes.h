// The volumes the drive lists offer: on Windows the drive letters, elsewhere the mounted file systems.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace telvarim {

struct Volume {
  std::filesystem::path raiz;  // "a:\", "c:\" on Windows; the mount point elsewhere
  std::string texto;           // as the drive list shows it (cp1252)
  bool removivel = false;
};

// Windows: a lower-case drive letter and a colon ("a:"), then, for a drive that is not removable, a blank
// and its volume name in brackets ("c: [SISTEMA]"). Elsewhere the mount point takes the letter's place.
std::string TextoVolume(const std::string& raiz, const std::string& rotulo, bool removivel);

// The volumes of the machine, removable ones first, each group in the order of its roots. Never empty: the
// root of the file system (or of the current drive) is always there.
std::vector<Volume> ListaVolumes();

// The volume that holds a folder: the one whose root is the longest leading part of the path; 0 when none.
std::size_t VolumeDe(const std::vector<Volume>& volumes, const std::filesystem::path& pasta);

// The platform's own list, in no particular order (volumes_plataforma.cpp).
std::vector<Volume> VolumesDoSistema();

}  // namespace telvarim
