// Small texts and helpers the parts of the workspace engine share.
#pragma once

#include <string>

#include "numbers.h"

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

}  // namespace telvarim::cadastro
