#include <cstdio>
#include <cstring>

#include "inicio.h"
#include "versao.h"

int main(int argc, char** argv) {
  // Answered before any window or display is needed: packagers and scripts ask it on headless machines.
  if (argc == 2 && (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "-v") == 0)) {
    std::printf("telvarim %s\n", telvarim::kVersaoModulo);
    return 0;
  }
  return telvarim::ExecutaPrograma(argc, argv);
}
