// A fresh work root for one test: TELVARIM_ROOT points at a new temporary folder, removed afterwards.
#pragma once

#include <cstdlib>
#include <string>

#include "pasta_temporaria.h"

namespace telvarim::teste {

inline void DefineAmbiente(const char* nome, const std::string& valor) {
#ifdef _WIN32
  _putenv_s(nome, valor.c_str());
#else
  setenv(nome, valor.c_str(), 1);
#endif
}

class RaizTemporaria : public PastaTemporaria {
 protected:
  void SetUp() override {
    PastaTemporaria::SetUp();
    raiz = pasta;
    DefineAmbiente("TELVARIM_ROOT", raiz.string());
  }

  std::filesystem::path raiz;
};

}  // namespace telvarim::teste
