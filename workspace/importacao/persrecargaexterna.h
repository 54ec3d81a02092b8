// Reader of the external recharge value file (*.rrm): one record a line, read and validated one at a time.
//
// Record layout, 1-based byte positions of the line (cp1252 text):
//    1-7   record identifier   integer
//    8-28  matrícula           text, trimmed
//   29-47  recharge value      decimal number with the comma as decimal separator, the comma at position 45
//                              and exactly two characters after it (46-47)
//   48-57  company number      number, used as an integer (fraction cut off)
//   58-59  complement          text, trimmed, no rule
//   60-69  file code           number, used as an integer (fraction cut off)
//   70-71  card-type code      integer; blank or not a number reads as 0
// Positions past the end of a short line read as empty text, so a line of 69 bytes is a valid record with
// card-type code 0.
//
// Conversions, as the program's number module does them:
// - integer (identifier, card type): leading blanks, an optional sign and decimal digits up to the end of the
//   field, within the signed 32-bit range. A trailing blank makes it fail ("1      " is not an identifier; a
//   card-type code "7 " reads as 0), and so does an empty or blank field.
// - number (value, company, file code): blanks around, an optional sign, digits with an optional comma and
//   decimals, an optional exponent; an empty or blank field fails. The company and the file code must also
//   fit a signed 32-bit integer once the fraction is cut off: a larger one is refused with the field's
//   status rather than read as some other number.
//
// Validation stops at the first failing rule and leaves its status (Situacao): identifier 4, value 5,
// company 6, file code 7; a record that passes all of them has status 0. The status is kept instead of
// throwing; MensagemSituacao gives its text.
//
// The field accessors convert their positions of the current record afresh each time and never throw: a
// field that does not convert reads as 0, so they are safe to call on a refused record too. The current
// record is emptied at the start of every LeRegistro, so after a failed read the accessors see no stale line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>

#include "arquivo.h"

namespace telvarim {

inline constexpr std::uint8_t kSituacaoSucesso = 0;
inline constexpr std::uint8_t kSituacaoErroAbertura = 1;
inline constexpr std::uint8_t kSituacaoFimArquivo = 2;
inline constexpr std::uint8_t kSituacaoErroLeitura = 3;  // a line exists but could not be read (too long)
inline constexpr std::uint8_t kSituacaoIdentificadorInvalido = 4;
inline constexpr std::uint8_t kSituacaoValorInvalido = 5;
inline constexpr std::uint8_t kSituacaoEmpresaInvalida = 6;
inline constexpr std::uint8_t kSituacaoCodigoArquivoInvalido = 7;

// The operator's text of a reader status (cp1252); empty for a status without one.
std::string MensagemDaSituacao(std::uint8_t situacao);

class PersRecargaExterna {
 public:
  // Opens the file for reading, unless a file is already open (then true, whatever the path).
  bool Abre(const std::filesystem::path& caminho);

  // Reads and validates the next record, opening the file first when needed. False with status 1 when the
  // file does not open, 2 when no line is left, 3 when the line could not be read, 4-7 when it fails a rule;
  // true with status 0.
  bool LeRegistro(const std::filesystem::path& caminho);

  // Number of records (lines) of the file, counted up to `limite` at most; the next LeRegistro reads from
  // the first again.
  std::int32_t QuantidadeRegistros(std::int32_t limite = std::numeric_limits<std::int32_t>::max());

  std::int32_t IdRegistro() const;
  std::string MatriculaRegistro() const;
  double ValorRegistro() const;
  std::int32_t EmpresaRegistro() const;
  std::string ComplementoRegistro() const;
  std::int32_t CodigoArquivoRegistro() const;
  std::int32_t TipoCartaoRegistro() const;

  std::uint8_t Situacao() const { return situacao_; }
  std::string MensagemSituacao() const { return MensagemDaSituacao(situacao_); }

  const std::string& Registro() const { return registro_; }
  bool Aberto() const { return aberto_; }

 private:
  std::uint8_t Valida() const;

  Arquivo arquivo_;
  std::string registro_;
  bool aberto_ = false;
  std::uint8_t situacao_ = kSituacaoSucesso;
};

}  // namespace telvarim
