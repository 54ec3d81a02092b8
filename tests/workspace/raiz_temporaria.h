// A fresh work root for one test: TELVARIM_ROOT points at a new temporary folder, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace telvarim::teste {

inline void DefineAmbiente(const char* nome, const std::string& valor) {
#ifdef _WIN32
  _putenv_s(nome, valor.c_str());
#else
  setenv(nome, valor.c_str(), 1);
#endif
}

class RaizTemporaria : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    raiz = std::filesystem::temp_directory_path() / ("telvarim-teste-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(raiz);
    DefineAmbiente("TELVARIM_ROOT", raiz.string());
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(raiz, ec);
  }

  // Writes a file (creating its folder) under the root.
  std::filesystem::path Grava(const std::filesystem::path& relativo, const std::string& conteudo = "x") {
    std::filesystem::path p = raiz / relativo;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << conteudo;
    return p;
  }

  std::filesystem::path raiz;
};

}  // namespace telvarim::teste
