#include "lzw.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <istream>
#include <limits>
#include <memory>
#include <new>
#include <ostream>
#include <system_error>

#include "partial_output.h"

namespace telvarim {
namespace {

constexpr std::uint32_t kPrimeiroLivre = 256;
constexpr std::uint32_t kUltimoCodigo = 65534;  // the last code the dictionary assigns
constexpr std::uint32_t kCodigoFim = 65535;
constexpr std::size_t kCodigos = 65535;  // codes 0..65534 name bytes and strings
// The longest string a dictionary can hold: one byte plus one for each of the codes 256..65534. Expansion
// assembles every string in its output buffer, which has room for this one, so every file the compressor
// can write expands.
constexpr std::size_t kMaiorCadeia = 65280;
constexpr int kIntervaloProgresso = 1000;
constexpr std::size_t kTamBuffer = std::size_t{1} << 16;
constexpr std::size_t kTamSaidaExpansao = std::size_t{1} << 17;
static_assert(kTamSaidaExpansao >= kMaiorCadeia);

constexpr const char* kMsgAbertura = "Fatal error opening files.\n";
constexpr const char* kMsgAlocacao = "Fatal error allocating table space!\n";
constexpr const char* kMsgExpansao = "Fatal error during code expansion.\n";
constexpr const char* kMsgEscrita = "Fatal error writing output file.\n";
constexpr const char* kMsgLeitura = "Fatal error reading input file.\n";
constexpr const char* kMsgLimite = "Fatal error: expanded output over its limit.\n";

const char* MensagemDe(int erro) {
  switch (erro) {
    case kLzwErroAbertura:
      return kMsgAbertura;
    case kLzwErroAlocacao:
      return kMsgAlocacao;
    case kLzwErroExpansao:
      return kMsgExpansao;
    case kLzwErroEscrita:
      return kMsgEscrita;
    case kLzwErroLimite:
      return kMsgLimite;
    default:
      return kMsgLeitura;
  }
}

// The call's diagnostics sink. Diagnostics are a courtesy: a sink that fails or throws must not change the
// outcome of an operation.
class Diagnostico {
 public:
  explicit Diagnostico(std::ostream* sink) : sink_(sink) {}
  void operator()(const char* texto) const noexcept {
    if (sink_ == nullptr) return;
    try {
      *sink_ << texto;
    } catch (...) {
    }
  }
  void Progresso() const noexcept {
    if (sink_ == nullptr) return;
    try {
      sink_->put('*');
    } catch (...) {
    }
  }

 private:
  std::ostream* sink_;
};

template <class T>
std::unique_ptr<T[]> Novo(std::size_t n) {
  return std::unique_ptr<T[]>(new (std::nothrow) T[n]);
}

// ---- Where the bytes come from and where they go ------------------------------------------------------

class Fonte {
 public:
  virtual ~Fonte() = default;
  // The next block of the input; empty at its end, and after a read error (then `erro` is set).
  virtual std::span<const std::uint8_t> Bloco() = 0;
  bool erro = false;
};

class FonteMemoria final : public Fonte {
 public:
  explicit FonteMemoria(std::span<const std::uint8_t> dados) : dados_(dados) {}
  std::span<const std::uint8_t> Bloco() override {
    if (entregue_) return {};
    entregue_ = true;
    return dados_;
  }

 private:
  std::span<const std::uint8_t> dados_;
  bool entregue_ = false;
};

class FonteStream final : public Fonte {
 public:
  FonteStream(std::istream& in, std::uint8_t* buffer) : in_(in), buffer_(buffer) {}
  std::span<const std::uint8_t> Bloco() override {
    if (fim_) return {};
    std::streamsize n = 0;
    try {
      in_.read(reinterpret_cast<char*>(buffer_), static_cast<std::streamsize>(kTamBuffer));
      n = in_.gcount();
    } catch (...) {
      erro = true;
    }
    if (erro || in_.bad()) {
      erro = true;
      fim_ = true;
      return {};
    }
    // istream::read comes back short only at the end of the input.
    if (n < static_cast<std::streamsize>(kTamBuffer)) fim_ = true;
    return {buffer_, static_cast<std::size_t>(n)};
  }

 private:
  std::istream& in_;
  std::uint8_t* buffer_;
  bool fim_ = false;
};

class Destino {
 public:
  virtual ~Destino() = default;
  // Both return 0 or the kLzwErro* code of the failure.
  virtual int Grava(const std::uint8_t* dados, std::size_t n) = 0;
  virtual int Conclui() { return 0; }
};

class DestinoVetor final : public Destino {
 public:
  explicit DestinoVetor(std::vector<std::uint8_t>& v) : v_(v) {}
  int Grava(const std::uint8_t* dados, std::size_t n) override {
    try {
      v_.insert(v_.end(), dados, dados + n);
    } catch (...) {
      return kLzwErroAlocacao;
    }
    return 0;
  }

 private:
  std::vector<std::uint8_t>& v_;
};

class DestinoStream final : public Destino {
 public:
  explicit DestinoStream(std::ostream& out) : out_(out) {}
  int Grava(const std::uint8_t* dados, std::size_t n) override {
    try {
      out_.write(reinterpret_cast<const char*>(dados), static_cast<std::streamsize>(n));
    } catch (...) {
      return kLzwErroEscrita;
    }
    return out_ ? 0 : kLzwErroEscrita;
  }
  int Conclui() override {
    try {
      out_.flush();
    } catch (...) {
      return kLzwErroEscrita;
    }
    return out_ ? 0 : kLzwErroEscrita;
  }

 private:
  std::ostream& out_;
};

// ---- Buffered byte access for the hot loops ------------------------------------------------------------

class Entrada {
 public:
  explicit Entrada(Fonte& f) : fonte_(f) {}
  // The next byte, or -1 at the end of the input.
  int Byte() {
    if (p_ == fim_ && !Recarrega()) return -1;
    return *p_++;
  }
  bool Erro() const { return fonte_.erro; }

 private:
  bool Recarrega() {
    if (acabou_) return false;
    auto bloco = fonte_.Bloco();
    if (bloco.empty()) {
      acabou_ = true;
      return false;
    }
    p_ = bloco.data();
    fim_ = p_ + bloco.size();
    return true;
  }

  Fonte& fonte_;
  const std::uint8_t* p_ = nullptr;
  const std::uint8_t* fim_ = nullptr;
  bool acabou_ = false;
};

// Output through a buffer of `tamanho` bytes. The `kFolga` bytes in front of the buffer belong to the
// allocation too, so that expansion may use them as scratch (see Expansor::Expande).
constexpr std::size_t kFolga = 8;

class Saida {
 public:
  Saida(Destino& d, std::uint8_t* alocado, std::size_t tamanho)
      : destino_(d), inicio_(alocado + kFolga), q_(inicio_), fim_(inicio_ + tamanho) {}
  void Byte(std::uint8_t b) {
    *q_++ = b;
    if (q_ == fim_) Esvazia();
  }
  // Room for `n` contiguous bytes (at most the buffer's size), to be filled and then kept with Avanca(n).
  std::uint8_t* Reserva(std::size_t n) {
    if (static_cast<std::size_t>(fim_ - q_) < n) Esvazia();
    return q_;
  }
  void Avanca(std::size_t n) {
    q_ += n;
    if (q_ == fim_) Esvazia();
  }
  // 0, or the code of the first failure; once failed, later bytes are dropped.
  int Erro() const { return erro_; }
  int Conclui() {
    Esvazia();
    if (erro_ == 0) erro_ = destino_.Conclui();
    return erro_;
  }

 private:
  void Esvazia() {
    if (erro_ == 0 && q_ != inicio_) erro_ = destino_.Grava(inicio_, static_cast<std::size_t>(q_ - inicio_));
    q_ = inicio_;
  }

  Destino& destino_;
  std::uint8_t* inicio_;
  std::uint8_t* q_;
  std::uint8_t* fim_;
  int erro_ = 0;
};

// ---- Code writer and reader: 32-bit bit buffers filled from the top --------------------------------------
// With every code 16 bits wide, a written code always leaves as two whole bytes, most significant first.

class EscritorCodigos {
 public:
  explicit EscritorCodigos(Saida& s) : saida_(s) {}
  void Escreve(std::uint32_t codigo) {
    bits_ |= codigo << (16 - contagem_);
    contagem_ += 16;
    while (contagem_ >= 8) {
      saida_.Byte(static_cast<std::uint8_t>(bits_ >> 24));
      bits_ <<= 8;
      contagem_ -= 8;
    }
  }

 private:
  Saida& saida_;
  std::uint32_t bits_ = 0;
  int contagem_ = 0;
};

// Reads two bytes ahead of the code it returns. A byte missing at the end of the input counts as all ones,
// which sets every bit from its position up: the code being returned reads as the end code, so an input
// that stops without its end code ends there (the last complete code before that point is lost).
class LeitorCodigos {
 public:
  explicit LeitorCodigos(Entrada& e) : entrada_(e) {}
  std::uint32_t Le() {
    while (contagem_ <= 24) {
      const int b = entrada_.Byte();
      bits_ |= static_cast<std::uint32_t>(b) << (24 - contagem_);
      contagem_ += 8;
    }
    const std::uint32_t codigo = bits_ >> 16;
    bits_ <<= 16;
    contagem_ -= 16;
    return codigo;
  }

 private:
  Entrada& entrada_;
  std::uint32_t bits_ = 0;
  int contagem_ = 0;
};

// ---- Compression -----------------------------------------------------------------------------------------
// The codes written depend only on which strings the dictionary holds and in which order they got their
// codes, not on how the compressor finds them. It finds them in a hash table of (prefix code, byte) keys
// with linear probing, kept at most half full even once the dictionary is complete: a lookup, found or
// not, takes one or two probes, nearly always within one cache line.

constexpr std::uint32_t kSlotsBits = 17;
constexpr std::uint32_t kSlots = std::uint32_t{1} << kSlotsBits;
static_assert(kSlots >= 2 * kCodigos);
constexpr std::uint32_t kSlotVazio = 0xFFFFFFFF;  // no key has its top byte set

class Compressor {
 public:
  explicit Compressor(const LzwOpcoes& opcoes) : diag_(opcoes.diagnostico) {}
  bool Aloca() {
    chaves_ = Novo<std::uint32_t>(kSlots);
    codigos_ = Novo<std::uint16_t>(kSlots);
    entrada_ = Novo<std::uint8_t>(kTamBuffer);
    saida_ = Novo<std::uint8_t>(kFolga + kTamBuffer);
    return chaves_ && codigos_ && entrada_ && saida_;
  }
  std::uint8_t* BufferEntrada() { return entrada_.get(); }

  // Returns 0 or the kLzwErro* code, after writing its diagnostics.
  int Executa(Fonte& fonte, Destino& destino) {
    Entrada in(fonte);
    Saida out(destino, saida_.get(), kTamBuffer);
    EscritorCodigos codigos(out);
    std::uint32_t* const chaves = chaves_.get();
    std::uint16_t* const codigoDoSlot = codigos_.get();
    std::fill(chaves, chaves + kSlots, kSlotVazio);
    diag_("Compressing...\n");

    // An empty input is written as the end code alone, which expands back to nothing.
    int c = in.Byte();
    if (c >= 0) {
      std::uint32_t atual = static_cast<std::uint32_t>(c);
      std::uint32_t proximo = kPrimeiroLivre;
      int contagem = 0;
      while ((c = in.Byte()) >= 0) {
        if (++contagem == kIntervaloProgresso) {
          contagem = 0;
          diag_.Progresso();
        }
        const std::uint32_t byte = static_cast<std::uint32_t>(c);
        const std::uint32_t chave = (atual << 8) | byte;  // below 2^24
        std::uint32_t slot = (chave * 2654435761u) >> (32 - kSlotsBits);
        std::uint32_t k;
        while ((k = chaves[slot]) != chave && k != kSlotVazio) slot = (slot + 1) & (kSlots - 1);
        if (k == chave) {
          atual = codigoDoSlot[slot];
          continue;
        }
        // Once the last code is assigned the dictionary stays as it is to the end of the input.
        if (proximo <= kUltimoCodigo) {
          chaves[slot] = chave;
          codigoDoSlot[slot] = static_cast<std::uint16_t>(proximo++);
        }
        codigos.Escreve(atual);
        atual = byte;
        if (out.Erro() != 0) break;
      }
      if (out.Erro() == 0) codigos.Escreve(atual);
    }
    codigos.Escreve(kCodigoFim);
    codigos.Escreve(0);

    int erro = out.Conclui();
    if (erro == 0 && in.Erro()) erro = kLzwErroLeitura;
    diag_(erro == 0 ? "\n" : MensagemDe(erro));
    return erro;
  }

 private:
  Diagnostico diag_;
  std::unique_ptr<std::uint32_t[]> chaves_;   // by slot: prefix code << 8 | byte, or kSlotVazio
  std::unique_ptr<std::uint16_t[]> codigos_;  // by slot: the code of that string
  std::unique_ptr<std::uint8_t[]> entrada_, saida_;
};

// ---- Expansion -------------------------------------------------------------------------------------------
// Strings are written straight into the output buffer, last byte first, up to four bytes per step: every
// code keeps the last bytes of its string (as many as four, and always fewer than its length) and the code
// of the string that remains before them. Only codes below the next free code are ever looked up, and each
// of those was filled in before, so the tables need no clearing and every walk ends at the string's start.

struct Passo {
  std::uint16_t anterior;  // the code of the string without its last `n` bytes
  std::uint8_t n;          // 1..4
  std::uint8_t bytes[4];   // the last `n` bytes at the end: bytes[4 - n] .. bytes[3]
};
static_assert(sizeof(Passo) == 8);

class Expansor {
 public:
  explicit Expansor(const LzwOpcoes& opcoes)
      : diag_(opcoes.diagnostico),
        limite_(opcoes.limiteSaida == 0 ? std::numeric_limits<std::uint64_t>::max() : opcoes.limiteSaida) {}
  bool Aloca() {
    prefixo_ = Novo<std::uint32_t>(kCodigos);
    tamanho_ = Novo<std::uint16_t>(kCodigos);
    passo_ = Novo<Passo>(kCodigos);
    entrada_ = Novo<std::uint8_t>(kTamBuffer);
    saida_ = Novo<std::uint8_t>(kFolga + kTamSaidaExpansao);
    if (saida_) std::fill_n(saida_.get(), kFolga, std::uint8_t{0});
    return prefixo_ && tamanho_ && passo_ && entrada_ && saida_;
  }
  std::uint8_t* BufferEntrada() { return entrada_.get(); }

  int Executa(Fonte& fonte, Destino& destino) {
    Entrada in(fonte);
    Saida out(destino, saida_.get(), kTamSaidaExpansao);
    LeitorCodigos codigos(in);
    diag_("Expanding...\n");
    int erro = Expande(codigos, out);
    if (erro == 0) erro = out.Conclui();
    if (erro == 0 && in.Erro()) erro = kLzwErroLeitura;
    diag_(erro == 0 ? "\n" : MensagemDe(erro));
    return erro;
  }

 private:
  // Writes the string of `codigo` so that it ends just before `fim` and returns where it starts. A step
  // stores four bytes, of which those before its own `n` are rewritten by the following steps, or fall
  // into the three bytes before the string, which are put back.
  std::uint8_t* Decodifica(std::uint32_t codigo, std::uint8_t* fim, std::size_t tamanho) {
    std::uint8_t* const inicio = fim - tamanho;
    std::uint8_t guarda[4];
    std::memcpy(guarda, inicio - 4, 4);
    const Passo* const passos = passo_.get();
    std::uint8_t* p = fim;
    while (codigo > 255) {
      const Passo& s = passos[codigo];
      std::memcpy(p - 4, s.bytes, 4);
      p -= s.n;
      codigo = s.anterior;
    }
    *--p = static_cast<std::uint8_t>(codigo);
    std::memcpy(inicio - 4, guarda, 4);
    return p;
  }

  // Defines the string of `codigo`: that of `anterior` followed by `byte`.
  void Define(std::uint32_t codigo, std::uint32_t anterior, std::uint8_t byte) {
    std::uint32_t* const prefixo = prefixo_.get();
    prefixo[codigo] = (anterior << 8) | byte;
    const std::uint32_t tamanho = tamanho_[anterior] + 1u;
    tamanho_[codigo] = static_cast<std::uint16_t>(tamanho);
    Passo& s = passo_[codigo];
    s.n = static_cast<std::uint8_t>(std::min<std::uint32_t>(4, tamanho - 1));
    std::uint32_t k = codigo;
    for (int i = 3; i >= 4 - s.n; --i) {
      s.bytes[i] = static_cast<std::uint8_t>(prefixo[k]);
      k = prefixo[k] >> 8;
    }
    for (int i = 0; i < 4 - s.n; ++i) s.bytes[i] = 0;
    s.anterior = static_cast<std::uint16_t>(k);
  }

  int Expande(LeitorCodigos& codigos, Saida& out) {
    std::uint32_t antigo = codigos.Le();
    // A stream that starts with the end code (the empty input's encoding, or no input at all) is empty.
    if (antigo == kCodigoFim) return 0;
    // The first code can only be a byte: no string is defined yet.
    if (antigo > 255) return kLzwErroExpansao;
    for (std::uint32_t b = 0; b < 256; ++b) tamanho_[b] = 1;
    std::uint8_t primeiro = static_cast<std::uint8_t>(antigo);
    // What the cap still allows; checked before each string is written, so nothing past it is ever made.
    std::uint64_t resta = limite_ - 1;
    out.Byte(primeiro);

    const std::uint16_t* const tamanhos = tamanho_.get();
    std::uint32_t proximo = kPrimeiroLivre;
    int contagem = 0;
    for (;;) {
      const std::uint32_t novo = codigos.Le();
      if (novo == kCodigoFim) return 0;
      if (++contagem == kIntervaloProgresso) {
        contagem = 0;
        diag_.Progresso();
      }
      // A code at the next free code is the one the compressor wrote while defining it: the old string plus
      // its own first byte. Any code further on names a string that does not exist yet.
      const bool definido = novo < proximo;
      if (novo > proximo) return kLzwErroExpansao;
      const std::size_t tamanho = definido ? tamanhos[novo] : tamanhos[antigo] + std::size_t{1};
      if (tamanho > resta) return kLzwErroLimite;
      resta -= tamanho;
      std::uint8_t* const q = out.Reserva(tamanho);
      std::uint8_t* inicio;
      if (definido) {
        inicio = Decodifica(novo, q + tamanho, tamanho);
      } else {
        q[tamanho - 1] = primeiro;
        inicio = Decodifica(antigo, q + tamanho - 1, tamanho - 1);
      }
      primeiro = *inicio;
      out.Avanca(tamanho);
      if (proximo <= kUltimoCodigo) Define(proximo++, antigo, primeiro);
      antigo = novo;
      if (out.Erro() != 0) return out.Erro();
    }
  }

  Diagnostico diag_;
  std::uint64_t limite_;                      // the most bytes this expansion may produce (at least 1)
  std::unique_ptr<std::uint32_t[]> prefixo_;  // by code: prefix code << 8 | last byte
  std::unique_ptr<std::uint16_t[]> tamanho_;  // by code: length of its string (at most kMaiorCadeia)
  std::unique_ptr<Passo[]> passo_;            // by code: how to write its string backwards
  std::unique_ptr<std::uint8_t[]> entrada_, saida_;
};

// ---- Shared drivers --------------------------------------------------------------------------------------

template <class Codec>
int EmMemoria(std::span<const std::uint8_t> entrada, std::vector<std::uint8_t>& saida, const LzwOpcoes& opcoes) {
  Codec codec(opcoes);
  if (!codec.Aloca()) {
    Diagnostico(opcoes.diagnostico)(kMsgAlocacao);
    return kLzwErroAlocacao;
  }
  saida.clear();
  FonteMemoria fonte(entrada);
  DestinoVetor destino(saida);
  return codec.Executa(fonte, destino);
}

template <class Codec>
int EmStream(std::istream& entrada, std::ostream& saida, const LzwOpcoes& opcoes) {
  Codec codec(opcoes);
  if (!codec.Aloca()) {
    Diagnostico(opcoes.diagnostico)(kMsgAlocacao);
    return kLzwErroAlocacao;
  }
  FonteStream fonte(entrada, codec.BufferEntrada());
  DestinoStream destino(saida);
  return codec.Executa(fonte, destino);
}

// The input is opened first and the tables allocated before the output is created, so a failure at either
// step leaves no output behind. Once created, the output is removed again when the operation fails.
template <class Codec>
int EmArquivo(const std::filesystem::path& entrada, const std::filesystem::path& saida, const LzwOpcoes& opcoes) {
  const Diagnostico diag(opcoes.diagnostico);
  std::ifstream in(entrada, std::ios::binary);
  if (!in) {
    diag(kMsgAbertura);
    return kLzwErroAbertura;
  }
  // Creating the output would truncate the input before it is read.
  std::error_code ec;
  if (std::filesystem::equivalent(entrada, saida, ec)) {
    diag(kMsgAbertura);
    return kLzwErroAbertura;
  }
  Codec codec(opcoes);
  if (!codec.Aloca()) {
    diag(kMsgAlocacao);
    return kLzwErroAlocacao;
  }
  PartialOutputGuard guarda(saida);
  std::ofstream out(saida, std::ios::binary | std::ios::trunc);
  if (!out) {
    diag(kMsgAbertura);
    return kLzwErroAbertura;
  }
  guarda.Arm();
  FonteStream fonte(in, codec.BufferEntrada());
  DestinoStream destino(out);
  int erro = codec.Executa(fonte, destino);
  out.close();
  if (erro == 0 && out.fail()) {
    diag(kMsgEscrita);
    erro = kLzwErroEscrita;
  }
  if (erro == 0) guarda.Disarm();
  return erro;
}

// The codecs never raise: whatever escapes (only allocation can) becomes a failure result.
template <class F>
int SemExcecao(const LzwOpcoes& opcoes, F&& f) noexcept {
  try {
    return f();
  } catch (const std::bad_alloc&) {
    Diagnostico(opcoes.diagnostico)(kMsgAlocacao);
    return kLzwErroAlocacao;
  } catch (...) {
    Diagnostico(opcoes.diagnostico)(kMsgAbertura);
    return kLzwErroAbertura;
  }
}

}  // namespace

int lzw_compress_file(const std::filesystem::path& entrada, const std::filesystem::path& saida, LzwOpcoes opcoes) {
  return SemExcecao(opcoes, [&] { return EmArquivo<Compressor>(entrada, saida, opcoes); });
}

int lzw_expand_file(const std::filesystem::path& entrada, const std::filesystem::path& saida, LzwOpcoes opcoes) {
  return SemExcecao(opcoes, [&] { return EmArquivo<Expansor>(entrada, saida, opcoes); });
}

int lzw_compress(std::istream& entrada, std::ostream& saida, LzwOpcoes opcoes) {
  return SemExcecao(opcoes, [&] { return EmStream<Compressor>(entrada, saida, opcoes); });
}

int lzw_expand(std::istream& entrada, std::ostream& saida, LzwOpcoes opcoes) {
  return SemExcecao(opcoes, [&] { return EmStream<Expansor>(entrada, saida, opcoes); });
}

int lzw_compress(std::span<const std::uint8_t> entrada, std::vector<std::uint8_t>& saida, LzwOpcoes opcoes) {
  return SemExcecao(opcoes, [&] { return EmMemoria<Compressor>(entrada, saida, opcoes); });
}

int lzw_expand(std::span<const std::uint8_t> entrada, std::vector<std::uint8_t>& saida, LzwOpcoes opcoes) {
  return SemExcecao(opcoes, [&] { return EmMemoria<Expansor>(entrada, saida, opcoes); });
}

}  // namespace telvarim
