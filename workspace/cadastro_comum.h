// Small texts and helpers the parts of the workspace engine share.
#pragma once

#include <filesystem>
#include <list>
#include <string>
#include <system_error>
#include <vector>

#include "numbers.h"
#include "safe_file.h"

namespace telvarim::cadastro {

inline const std::string kIguais(81, '=');

inline std::string NumeroTexto(long long v) { return std::to_string(v); }

inline std::string Zeros(long long v, int digitos) {
  return FormataInteiro(v, std::string(static_cast<std::size_t>(digitos), '0'));
}

inline std::string Formatado(double v, const std::string& formato) { return FormataMoeda(MoedaDeDouble(v), formato); }

// The application title the reports' version label carries.
inline constexpr const char* kTituloAplicacao = "Telvarim";

inline constexpr const char* kTitulos0a4[5] = {"Usuário", "Cartão", "Matrícula", "Nome", "CMM"};

// The temporaries of one step: leftovers of an interrupted run are removed when the step begins, and the
// step's own when it ends, however it ends. While they exist, an interrupted command line removes them too.
class Temporarios {
 public:
  explicit Temporarios(std::vector<std::filesystem::path> caminhos) : caminhos_(std::move(caminhos)) {
    Remove();
    for (const auto& p : caminhos_) registros_.emplace_back(p);
  }
  ~Temporarios() { Remove(); }
  Temporarios(const Temporarios&) = delete;
  Temporarios& operator=(const Temporarios&) = delete;

 private:
  void Remove() const {
    std::error_code ec;
    for (const auto& p : caminhos_) std::filesystem::remove(p, ec);
  }
  std::vector<std::filesystem::path> caminhos_;
  std::list<TemporaryRegistration> registros_;  // a registration never moves
};

}  // namespace telvarim::cadastro
