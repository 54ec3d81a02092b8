// A fresh work root for one test: a new temporary folder, handed to the engine as its work folders and
// removed afterwards. The process environment is never touched.
#pragma once

#include "pasta_temporaria.h"
#include "pastas.h"

namespace telvarim::teste {

class RaizTemporaria : public PastaTemporaria {
 protected:
  void SetUp() override {
    PastaTemporaria::SetUp();
    raiz = pasta;
  }

  PastasTrabalho Pastas() const { return PastasTrabalho(raiz); }

  std::filesystem::path raiz;
};

}  // namespace telvarim::teste
