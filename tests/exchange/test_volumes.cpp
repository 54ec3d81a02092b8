#include <gtest/gtest.h>

#include <filesystem>

#include "volumes.h"

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
