#include "arquivo.h"

#include <limits>
#include <system_error>
#include <vector>

namespace telvarim {

namespace {
using Traits = std::filebuf::traits_type;
}  // namespace

Arquivo::~Arquivo() { Fecha(); }

bool Arquivo::Abre(const std::filesystem::path& caminho, std::string_view modo) {
  std::ios::openmode m;
  if (modo == ModoLeitura)
    m = std::ios::in | std::ios::binary;
  else if (modo == ModoGravacao)
    m = std::ios::in | std::ios::out | std::ios::trunc | std::ios::binary;
  else
    return false;
  Fecha();
  linha_.clear();
  // Some systems open a folder for reading and fail only at the first read, which would pass for an empty
  // file.
  std::error_code ec;
  if (std::filesystem::is_directory(caminho, ec)) return false;
  auto fb = std::make_unique<std::filebuf>();
  if (!fb->open(caminho, m)) return false;
  arquivo_ = std::move(fb);
  gravacao_ = modo == ModoGravacao;
  ultima_ = Operacao::Nenhuma;
  contador_ = 0;
  return true;
}

void Arquivo::PassaPara(Operacao op) {
  if (ultima_ != Operacao::Nenhuma && ultima_ != op)
    arquivo_->pubseekoff(0, std::ios::cur, std::ios::in | std::ios::out);
  ultima_ = op;
}

bool Arquivo::LeLinha() {
  linha_.clear();
  if (!arquivo_) return false;
  PassaPara(Operacao::Leitura);
  std::filebuf& fb = *arquivo_;
  auto c = fb.sbumpc();
  if (Traits::eq_int_type(c, Traits::eof())) return false;
  // One byte more than the limit is kept, so that a CR before the line end does not count against it.
  bool longa = false;
  for (; !Traits::eq_int_type(c, Traits::eof()) && Traits::to_char_type(c) != '\n'; c = fb.sbumpc()) {
    if (linha_.size() <= kTamanhoMaximoLinha)
      linha_.push_back(Traits::to_char_type(c));
    else
      longa = true;
  }
  if (!longa && !linha_.empty() && linha_.back() == '\r') linha_.pop_back();
  if (contador_ < std::numeric_limits<std::int32_t>::max()) ++contador_;
  if (longa || linha_.size() > kTamanhoMaximoLinha) {
    linha_.clear();
    return false;
  }
  return true;
}

bool Arquivo::TemLinha() {
  if (!arquivo_) return false;
  PassaPara(Operacao::Leitura);
  return !Traits::eq_int_type(arquivo_->sgetc(), Traits::eof());
}

std::int32_t Arquivo::ContaLinhas() {
  contador_ = 0;
  if (!arquivo_) return 0;
  std::filebuf& fb = *arquivo_;
  fb.pubseekpos(0, std::ios::in | std::ios::out);
  ultima_ = Operacao::Leitura;
  std::vector<char> bloco(64 * 1024);
  long long linhas = 0;
  char ultimo = '\n';
  for (;;) {
    const std::streamsize n = fb.sgetn(bloco.data(), static_cast<std::streamsize>(bloco.size()));
    if (n <= 0) break;
    for (std::streamsize i = 0; i < n; ++i)
      if (bloco[static_cast<std::size_t>(i)] == '\n') ++linhas;
    ultimo = bloco[static_cast<std::size_t>(n - 1)];
  }
  if (ultimo != '\n') ++linhas;  // the last line has no line end
  fb.pubseekpos(0, std::ios::in | std::ios::out);
  constexpr long long kMax = std::numeric_limits<std::int32_t>::max();
  contador_ = static_cast<std::int32_t>(linhas < kMax ? linhas : kMax);
  return contador_;
}

bool Arquivo::GravaLinha(std::string_view texto) {
  if (!arquivo_ || !gravacao_) return false;
  PassaPara(Operacao::Escrita);
  std::string disco;
  disco.reserve(texto.size() + 8);
  for (char c : texto) {
    if (c == '\n') disco.push_back('\r');
    disco.push_back(c);
  }
  const auto n = arquivo_->sputn(disco.data(), static_cast<std::streamsize>(disco.size()));
  // A log must hold every line written so far even if the program stops; and a full disk shows only here.
  return n == static_cast<std::streamsize>(disco.size()) && arquivo_->pubsync() == 0;
}

bool Arquivo::Fecha() {
  if (!arquivo_) return true;
  const bool ok = arquivo_->close() != nullptr;
  arquivo_.reset();
  gravacao_ = false;
  ultima_ = Operacao::Nenhuma;
  return ok;
}

}  // namespace telvarim
