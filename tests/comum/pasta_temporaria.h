// A fresh temporary folder for one test, removed afterwards, with small helpers to write and read files in
// it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

namespace telvarim::teste {

inline std::string LeArquivo(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class PastaTemporaria : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    pasta = std::filesystem::temp_directory_path() / ("telvarim-teste-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(pasta);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(pasta, ec);
  }

  // Writes a file (creating its folder) under the temporary folder.
  std::filesystem::path Grava(const std::filesystem::path& relativo, const std::string& conteudo = "x") {
    const std::filesystem::path p = pasta / relativo;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << conteudo;
    return p;
  }

  std::filesystem::path pasta;
};

}  // namespace telvarim::teste
