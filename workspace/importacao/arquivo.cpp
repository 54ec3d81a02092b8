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
  bool longa = false;
  for (; !Traits::eq_int_type(c, Traits::eof()); c = fb.sbumpc()) {
    const char ch = Traits::to_char_type(c);
    if (ch == '\n') break;
    if (ch == '\r') {
      if (Traits::eq_int_type(fb.sgetc(), Traits::to_int_type('\n'))) fb.sbumpc();
      break;
    }
    if (linha_.size() < kTamanhoMaximoLinha)
      linha_.push_back(ch);
    else
      longa = true;
  }
  if (contador_ < std::numeric_limits<std::int32_t>::max()) ++contador_;
  if (longa) {
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

std::int32_t Arquivo::ContaLinhas(std::int32_t limite) {
  contador_ = 0;
  if (!arquivo_) return 0;
  std::filebuf& fb = *arquivo_;
  fb.pubseekpos(0, std::ios::in | std::ios::out);
  ultima_ = Operacao::Leitura;
  std::vector<char> bloco(64 * 1024);
  const long long maximo = limite < 0 ? 0 : limite;
  long long linhas = 0;
  // A line is counted at its line end; a CR LF split between two blocks is still one line end.
  bool aposCR = false, emLinha = false;
  while (linhas < maximo) {
    const std::streamsize n = fb.sgetn(bloco.data(), static_cast<std::streamsize>(bloco.size()));
    if (n <= 0) break;
    for (std::streamsize i = 0; i < n; ++i) {
      const char ch = bloco[static_cast<std::size_t>(i)];
      if (ch == '\n' && aposCR) {
        aposCR = false;
        continue;
      }
      aposCR = ch == '\r';
      if (ch == '\r' || ch == '\n') {
        ++linhas;
        emLinha = false;
      } else {
        emLinha = true;
      }
    }
  }
  if (emLinha) ++linhas;  // the last line has no line end
  if (linhas > maximo) linhas = maximo;
  fb.pubseekpos(0, std::ios::in | std::ios::out);
  contador_ = static_cast<std::int32_t>(linhas);
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
