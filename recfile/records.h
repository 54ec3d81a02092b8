// The fixed-width record layout shared by received files, request files and drafts: reading each record type
// into the in-memory records and formatting each record as a request writes it.
//
// Text is cp1252 bytes; columns are 1-based byte positions. Money travels as whole centavos and lives in
// memory as reais (double); credits are whole numbers in both places.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace telvarim {

inline constexpr double kFatorCentavos = 0.01;
inline constexpr int kMaxUsuarios = 10000;
inline constexpr int kMaxTiposCartao = 121;  // codes 0..120
inline constexpr int kMaxTarifas = 15;       // codes 0..14
inline constexpr int kMaxListagem = 40000;

inline constexpr std::size_t kTamCabecalho = 276;
inline constexpr std::size_t kTamTipoCartao = 66;
inline constexpr std::size_t kTamTarifa = 42;
inline constexpr std::size_t kTamDetalhe = 273;
inline constexpr std::size_t kTamTrailer = 156;

struct RegCabecalho {
  std::int32_t CodCabecalho = 0;
  std::int32_t CodEmpresa = 0;
  std::string NomeEmpresa;
  std::string DataCriacao, HoraCriacao, DataTermino, HoraTermino;
  std::int32_t Criptografado = 0;
  std::string NomeArquivo, NomeArquivo2;
  std::string VersaoRecarga, VersaoRemota, SequencialArquivo;
  std::string ModoArredondamento = "0";  // text of column 276; blank or absent becomes "0"
};

struct GrupoRecarga {
  std::int32_t Tarifa = 0;  // 0 = group not used
  std::int32_t CMM = 0;     // whole reais (money type) or credits
  double ValorRecarga = 0;  // reais or credits
  // The CMM figure as the file carried it (centavos for a money type): groups 2-4 of a money type go back
  // to the central system as it sent them, not rebuilt from the whole reais above.
  std::int32_t CMMArquivo = 0;
};

struct RegUsuario {
  std::int32_t CodUsuario = 0;
  std::int32_t NumCartao = 0;
  std::string Nome;       // 50 characters with padding
  std::string Matricula;  // trimmed
  std::int32_t TipoCartao = 0;
  std::array<GrupoRecarga, 4> Grupos{};
  std::array<double, 12> UltimasRecargas{};  // group g: last, second-last, third-last at 3g, 3g+1, 3g+2
};

struct RegTipoCartao {
  std::int32_t Codigo = 0;  // 0 marks an unused entry
  std::string Descricao;
  std::int32_t PorCreditos = 0;
  double PercentualTarifa = 0;
  double ValorMaximo = 0;
};

struct RegTarifa {
  std::int32_t Codigo = 0;
  std::string Descricao;  // empty marks an unused entry
  double Valor = 0;       // reais
  std::int32_t Auxiliar = 0;
};

struct RegRodape {
  struct Par {
    std::int32_t Quantidade = 0;
    std::int32_t Total = 0;
  };
  std::int32_t QtdRegistros = 0;
  std::array<Par, 4> Grupos{};
};

// Outcome of reading one record. A record that is not accepted stores nothing. `motivo` is empty for a
// line of the wrong length and says what was exceeded when a code does not fit the tables.
struct Leitura {
  bool aceito = true;
  std::string motivo;
  explicit operator bool() const { return aceito; }
};

// Reading (the lengths each type accepts are fixed by the layout). A numeric field that does not hold a
// number, or holds more than 2147483647, throws ErroConversao naming the field and the line (numLinha as the
// caller counts lines).
Leitura LeCabecalho(std::string_view linha, int numLinha, RegCabecalho& out);
Leitura LeTipoCartao(std::string_view linha, int numLinha, RegTipoCartao& out);
Leitura LeTarifa(std::string_view linha, int numLinha, RegTarifa& out);
// porCreditos: the PorCreditos of the holder's card type as known when the detail is read.
Leitura LeDetalhe(std::string_view linha, int numLinha, std::int32_t porCreditos, RegUsuario& out);
Leitura LeTrailer(std::string_view linha, int numLinha, RegRodape& out);

// Code of the card type a detail line names (columns 93-95), to find its PorCreditos before reading it.
std::int32_t TipoCartaoDoDetalhe(std::string_view linha, int numLinha);

// Display forms of the header.
std::string DataExibicao(const RegCabecalho& c);          // "DD/MM/YY HH:NN:SS"
std::string EmpresaExibicao(const RegCabecalho& c);       // "1234 - NAME..."
std::string CriptografiaExibicao(const RegCabecalho& c);  // "Sim" / "Não" (cp1252)
std::string SeqDoNomeArquivo(const RegCabecalho& c);      // characters 11-14 of NomeArquivo

// A value that does not fit the width of its field when a request is formatted; the record would be longer
// than its layout and the central system could not read it.
class ErroFormato : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Whole centavos of an amount in reais: |reais| × 100 + 0.01, truncated toward zero, with the sign of reais.
long long Centavos(double reais);

// Formatting as a request writes each record (lengths 276, 66, 42, 273, 156; a card type whose maximum
// needs six digits is written 67 long). Texts are padded with blanks or cut to their width; numbers are
// zero-padded and throw ErroFormato when wider than their field.
std::string FormataCabecalho(const RegCabecalho& c);
std::string FormataTipoCartao(const RegTipoCartao& t);
std::string FormataTarifa(const RegTarifa& t);
std::string FormataDetalhe(const RegUsuario& u, std::int32_t porCreditos);
std::string FormataTrailer(const RegRodape& r);

// Lines of a text split at CR LF, lone CR and lone LF; a final line break does not start another line.
std::vector<std::string> SeparaLinhas(std::string_view texto);

// The most lines a received file or a draft may hold once expanded. The largest real file has 10138 (header,
// 121 card types, 15 tariffs, 10000 holders, trailer); this leaves ten times that, while a forged file of
// nothing but line breaks stops long before its lines cost memory (64 MiB of them would be 64 million
// strings).
inline constexpr std::size_t kMaxLinhasArquivo = 100000;

enum class LeituraLinhas { Lidas, Excesso, ErroLeitura };
// The lines of a stream, split as SeparaLinhas splits a text, read block by block and counted on the way:
// as soon as line `limite` + 1 begins, the reading stops with Excesso (`linhas` then holds the first `limite`
// lines and the rest of the stream is never read). ErroLeitura when the stream fails other than by reaching
// its end. `linhas` is replaced.
LeituraLinhas LeLinhas(std::istream& entrada, std::size_t limite, std::vector<std::string>& linhas);

// True when columns 1-2 are blank (an empty line included): such a line is no record.
bool LinhaEmBranco(std::string_view linha);

}  // namespace telvarim
