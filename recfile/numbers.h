// Number conventions of the program, independent of the machine's locale.
//
// Brazilian conventions throughout: comma as decimal separator, full stop as thousands separator. Money in
// grids and labels goes through the currency type (a signed 64-bit count of ten-thousandths).
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace telvarim {

// A text that had to be a number and is not. Ends the operation that met it; the window shows an error box
// with what(), which quotes the text with its control bytes written as \xNN (texto() keeps it as it came).
class ErroConversao : public std::runtime_error {
 public:
  explicit ErroConversao(std::string texto, std::string campo = {}, int linha = -1);
  const std::string& texto() const { return texto_; }
  const std::string& campo() const { return campo_; }
  int linha() const { return linha_; }  // -1 when not known

 private:
  std::string texto_, campo_;
  int linha_;
};

// Currency: count of ten-thousandths.
using Moeda = std::int64_t;
inline constexpr Moeda kUnidadeMoeda = 10000;

// value × 10000 rounded to nearest, ties to even. Throws ErroConversao when out of the currency's range.
Moeda MoedaDeDouble(double v);
inline double DoubleDeMoeda(Moeda m) { return static_cast<double>(m) / 10000.0; }

// Text to currency with the comma as decimal separator: blanks around, optional sign, digits, optional comma
// and decimals, optional exponent. No thousands separators. Rounded to four decimals, ties to even.
std::optional<Moeda> LeMoeda(std::string_view texto);
Moeda TextoParaMoeda(std::string_view texto);  // throws ErroConversao

// Text to double with the comma as decimal separator (same syntax as LeMoeda).
std::optional<double> LeDouble(std::string_view texto);

// The leading numeric part of a text: leading blanks skipped, optional sign, digits, full stop as decimal
// point; the reading stops at the first other character. An empty or non-numeric text reads 0.
double LeParteNumerica(std::string_view texto);

// Whole number: leading blanks, optional sign, decimal digits to the end; must fit a signed 32-bit integer.
std::optional<std::int32_t> LeInteiro(std::string_view texto);
// As LeInteiro; throws ErroConversao naming the text (and the field and line when given).
std::int32_t TextoParaInteiro(std::string_view texto, std::string_view campo = {}, int linha = -1);
std::int32_t InteiroOuPadrao(std::string_view texto, std::int32_t padrao);

// Pattern formatting: "0" a digit always shown, "#" a digit shown unless it is a leading (or trailing
// decimal) zero, "." the decimal point, "," anywhere: thousands in groups of three. Rounds half away from
// zero at the last digit shown. Doubles are first taken to 15 significant digits.
std::string FormataPadrao(double v, std::string_view padrao);
std::string FormataMoeda(Moeda m, std::string_view padrao);
std::string FormataInteiro(long long v, std::string_view padrao);

// Shortest general form of a double, 15 significant digits ("50,5", "250", "1,5E-6").
std::string FormaGeral(double v);
// Shortest form of a currency value ("250", "250,5", "0,0001").
std::string MoedaFormaCurta(Moeda m);

}  // namespace telvarim
