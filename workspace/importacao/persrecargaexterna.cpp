#include "persrecargaexterna.h"

#include <cmath>
#include <optional>
#include <string_view>

#include "cp1252.h"
#include "numbers.h"

namespace telvarim {

using namespace literais;

namespace {

struct Posicoes {
  std::size_t primeira, ultima;
};
constexpr Posicoes kIdentificador{1, 7};
constexpr Posicoes kMatricula{8, 28};
constexpr Posicoes kValor{29, 47};
constexpr Posicoes kEmpresa{48, 57};
constexpr Posicoes kComplemento{58, 59};
constexpr Posicoes kCodigoArquivo{60, 69};
constexpr Posicoes kTipoCartao{70, 71};

// The comma of the value stands at this offset of its field: position 45 of the line.
constexpr std::size_t kPosicaoVirgula = 45 - kValor.primeira;
constexpr std::size_t kTamanhoValor = kValor.ultima - kValor.primeira + 1;

std::string_view CampoDe(const std::string& linha, Posicoes p) { return Campo(linha, p.primeira, p.ultima); }

// A number used as an integer: the fraction cut off; it must then fit the integer.
std::optional<std::int32_t> LeNumeroInteiro(std::string_view campo) {
  const auto v = LeDouble(campo);
  if (!v) return std::nullopt;
  const double t = std::trunc(*v);
  if (!(t >= -2147483648.0 && t <= 2147483647.0)) return std::nullopt;
  return static_cast<std::int32_t>(t);
}

bool ValorValido(std::string_view campo) {
  return LeDouble(campo).has_value() && campo.size() == kTamanhoValor && campo.find(',') == kPosicaoVirgula;
}

}  // namespace

std::string MensagemDaSituacao(std::uint8_t situacao) {
  switch (situacao) {
    case kSituacaoSucesso:
      return "Sucesso";
    case kSituacaoErroAbertura:
      return "Erro ao abrir/criar o arquivo";
    case kSituacaoFimArquivo:
      return "Fim do arquivo";
    case kSituacaoErroLeitura:
      return "Não conseguiu ler o registro"_cp;
    case kSituacaoIdentificadorInvalido:
      return "O identificador do registro infomado não é um número válido"_cp;
    case kSituacaoValorInvalido:
      return "Valor infomado não é válido"_cp;
    case kSituacaoEmpresaInvalida:
      return "Empresa infomada não é um número"_cp;
    case kSituacaoCodigoArquivoInvalido:
      return "Código do arquivo infomado não é um número"_cp;
    default:
      return {};
  }
}

bool PersRecargaExterna::Abre(const std::filesystem::path& caminho) {
  if (!aberto_) aberto_ = arquivo_.Abre(caminho, Arquivo::ModoLeitura);
  return aberto_;
}

bool PersRecargaExterna::LeRegistro(const std::filesystem::path& caminho) {
  registro_.clear();
  if (!Abre(caminho)) {
    situacao_ = kSituacaoErroAbertura;
  } else if (!arquivo_.TemLinha()) {
    situacao_ = kSituacaoFimArquivo;
  } else if (arquivo_.LeLinha()) {
    registro_ = arquivo_.Linha();
    situacao_ = Valida();
  } else {
    situacao_ = kSituacaoErroLeitura;
  }
  return situacao_ == kSituacaoSucesso;
}

std::uint8_t PersRecargaExterna::Valida() const {
  if (!LeInteiro(CampoDe(registro_, kIdentificador))) return kSituacaoIdentificadorInvalido;
  if (!ValorValido(CampoDe(registro_, kValor))) return kSituacaoValorInvalido;
  if (!LeNumeroInteiro(CampoDe(registro_, kEmpresa))) return kSituacaoEmpresaInvalida;
  if (!LeNumeroInteiro(CampoDe(registro_, kCodigoArquivo))) return kSituacaoCodigoArquivoInvalido;
  return kSituacaoSucesso;
}

std::int32_t PersRecargaExterna::QuantidadeRegistros(std::int32_t limite) { return arquivo_.ContaLinhas(limite); }

std::int32_t PersRecargaExterna::IdRegistro() const {
  return LeInteiro(CampoDe(registro_, kIdentificador)).value_or(0);
}

std::string PersRecargaExterna::MatriculaRegistro() const { return Trim(CampoDe(registro_, kMatricula)); }

double PersRecargaExterna::ValorRegistro() const { return LeDouble(CampoDe(registro_, kValor)).value_or(0.0); }

std::int32_t PersRecargaExterna::EmpresaRegistro() const {
  return LeNumeroInteiro(CampoDe(registro_, kEmpresa)).value_or(0);
}

std::string PersRecargaExterna::ComplementoRegistro() const { return Trim(CampoDe(registro_, kComplemento)); }

std::int32_t PersRecargaExterna::CodigoArquivoRegistro() const {
  return LeNumeroInteiro(CampoDe(registro_, kCodigoArquivo)).value_or(0);
}

std::int32_t PersRecargaExterna::TipoCartaoRegistro() const {
  return LeInteiro(CampoDe(registro_, kTipoCartao)).value_or(0);
}

}  // namespace telvarim
