#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "volumes.h"
#include "windows_sistema.h"

using namespace telvarim;
namespace fs = std::filesystem;

TEST(Volumes, DriveListTextNamesTheVolumeOfFixedDrivesOnly) {
  EXPECT_EQ(TextoVolume("a:", "", true), "a:");
  EXPECT_EQ(TextoVolume("e:", "PENDRIVE", true), "e:");
  EXPECT_EQ(TextoVolume("c:", "SISTEMA", false), "c: [SISTEMA]");
  EXPECT_EQ(TextoVolume("/", "vda", false), "/ [vda]");
}

TEST(Volumes, AFolderBelongsToTheDeepestRootThatHoldsIt) {
  const std::vector<Volume> v = {{fs::path("/"), "/", false},
                                 {fs::path("/media/usb"), "/media/usb", true},
                                 {fs::path("/media/usb2"), "/media/usb2", true}};
  struct Caso {
    const char* pasta;
    std::size_t volume;
  } casos[] = {{"/media/usb2/pedidos", 2}, {"/media/usb/pedidos", 1}, {"/media/usb", 1},
               {"/media/usbx", 0},         {"/home/ana", 0},          {"/", 0}};
  for (const auto& c : casos) EXPECT_EQ(VolumeDe(v, fs::path(c.pasta)), c.volume) << c.pasta;
}

TEST(Volumes, TheMachineListHasARootAndPutsRemovableDisksFirst) {
  const std::vector<Volume> v = ListaVolumes();
  ASSERT_FALSE(v.empty());
  bool fixoVisto = false;
  for (const Volume& x : v) {
    EXPECT_FALSE(x.texto.empty());
    EXPECT_FALSE(x.removivel && fixoVisto) << x.texto;
    fixoVisto = fixoVisto || !x.removivel;
  }
  // Every folder of this machine belongs to one of them.
  const std::size_t i = VolumeDe(v, fs::current_path());
  ASSERT_LT(i, v.size());
  EXPECT_EQ(fs::current_path().string().rfind(v[i].raiz.string(), 0), 0u);
}

// Windows: one entry per drive letter, as the original drive list shows it. Under Wine in CI the harness makes
// A: a floppy drive and names it in TELVARIM_TESTE_REMOVIVEL, so the removable branch runs too.
TEST(Volumes, DriveLettersReadAsTheDriveListShowsThem) {
#ifndef _WIN32
  GTEST_SKIP() << "drive letters are Windows' own";
#else
  const std::vector<Volume> v = ListaVolumes();
  std::size_t c = v.size();
  for (std::size_t i = 0; i < v.size(); ++i) {
    const Volume& x = v[i];
    const std::wstring raiz = x.raiz.wstring();
    ASSERT_EQ(raiz.size(), 3u) << x.texto;
    ASSERT_EQ(raiz.substr(1), L":\\") << x.texto;
    const std::string letra{static_cast<char>(std::tolower(static_cast<int>(raiz[0]))), ':'};
    EXPECT_EQ(x.removivel, GetDriveTypeW(raiz.c_str()) == DRIVE_REMOVABLE) << x.texto;
    if (x.removivel) {
      EXPECT_EQ(x.texto, letra);
    } else {
      EXPECT_TRUE(x.texto == letra || (x.texto.rfind(letra + " [", 0) == 0 && x.texto.back() == ']')) << x.texto;
    }
    if (i > 0 && v[i - 1].removivel == x.removivel) {
      EXPECT_LT(v[i - 1].raiz.wstring(), raiz) << "letter order";
    }
    if (letra == "c:") c = i;
  }
  ASSERT_LT(c, v.size()) << "no drive C:";
  // Folders of drive C, written in either case, belong to it.
  EXPECT_EQ(VolumeDe(v, fs::path("c:\\Windows\\System32")), c);
  EXPECT_EQ(VolumeDe(v, fs::path("C:\\")), c);
  if (const char* removivel = std::getenv("TELVARIM_TESTE_REMOVIVEL"); removivel && *removivel) {
    EXPECT_EQ(v.front().texto, removivel);
    EXPECT_TRUE(v.front().removivel);
  }
#endif
}
