// The compressed byte stream: exact encodings, round trips, the frozen dictionary, corrupt and truncated
// input, I/O failures of the stream forms, and the results every form gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <unordered_map>
#include <vector>

#include "lzw.h"
#include "pasta_temporaria.h"
#include "records.h"

using namespace telvarim;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }
Bytes B(std::initializer_list<int> v) {
  Bytes r;
  for (int x : v) r.push_back(static_cast<std::uint8_t>(x));
  return r;
}

// Codes of a compressed stream (two bytes each, most significant first).
std::vector<std::uint32_t> Codigos(const Bytes& z) {
  std::vector<std::uint32_t> c;
  for (std::size_t i = 0; i + 1 < z.size(); i += 2) c.push_back(std::uint32_t{z[i]} << 8 | z[i + 1]);
  return c;
}

Bytes Aleatorios(std::size_t n, std::uint32_t semente, int alfabeto = 256) {
  std::mt19937 g(semente);
  std::uniform_int_distribution<int> d(0, alfabeto - 1);
  Bytes r(n);
  for (auto& b : r) b = static_cast<std::uint8_t>(d(g));
  return r;
}

// A few recharge records as a request lays them out: zero-padded numbers and blank-padded names.
Bytes TextoDeRecarga(int detalhes) {
  std::string t;
  RegTipoCartao tipo;
  tipo.Codigo = 3;
  tipo.Descricao = "VALE TRANSPORTE COMUM";
  tipo.PercentualTarifa = 100;
  tipo.ValorMaximo = 600;
  t += FormataTipoCartao(tipo) + "\r\n";
  for (int i = 0; i < detalhes; ++i) {
    RegUsuario u;
    u.CodUsuario = 1000 + i;
    u.NumCartao = 55000000 + 37 * i;
    u.Nome = i % 2 ? "MARIA DA SILVA" : "JOÃO PEREIRA DOS SANTOS";
    u.Matricula = std::to_string(9000 + i);
    u.TipoCartao = 3;
    u.Grupos[0] = {1 + i % 4, 120, 44.5 * (i % 7)};
    u.UltimasRecargas[0] = 12.3 * (i % 5);
    t += FormataDetalhe(u, 0) + "\r\n";
  }
  return B(t);
}

// The dictionary as a plain map: which code every string gets does not depend on how the compressor
// finds its strings, so this simple form must write the very same bytes.
Bytes Referencia(const Bytes& in) {
  std::unordered_map<std::uint32_t, std::uint32_t> dicionario;
  Bytes z;
  auto escreve = [&](std::uint32_t c) {
    z.push_back(static_cast<std::uint8_t>(c >> 8));
    z.push_back(static_cast<std::uint8_t>(c));
  };
  if (!in.empty()) {
    std::uint32_t atual = in[0], proximo = 256;
    for (std::size_t i = 1; i < in.size(); ++i) {
      auto it = dicionario.find(atual << 8 | in[i]);
      if (it != dicionario.end()) {
        atual = it->second;
        continue;
      }
      if (proximo <= 65534) dicionario[atual << 8 | in[i]] = proximo++;
      escreve(atual);
      atual = in[i];
    }
    escreve(atual);
  }
  escreve(65535);
  escreve(0);
  return z;
}

Bytes Comprime(const Bytes& in) {
  Bytes z;
  EXPECT_EQ(lzw_compress(in, z), kLzwOk);
  return z;
}

class Lzw : public ::testing::Test {
 protected:
  LzwOpcoes Op() { return {.diagnostico = &diag}; }
  std::ostringstream diag;
};

TEST_F(Lzw, ExactEncodingsExpandBack) {
  struct Caso {
    const char* nome;
    Bytes texto, comprimido;
  } casos[] = {
      {"abc", B("abc"), B({0x00, 0x61, 0x00, 0x62, 0x00, 0x63, 0xFF, 0xFF, 0x00, 0x00})},
      // Code 258 is written while it is being defined; expansion rebuilds it from the old string.
      {"ABABABA", B("ABABABA"), B({0x00, 0x41, 0x00, 0x42, 0x01, 0x00, 0x01, 0x02, 0xFF, 0xFF, 0x00, 0x00})},
      {"one byte", B("Z"), B({0x00, 0x5A, 0xFF, 0xFF, 0x00, 0x00})},
      // Byte FF is code 255, not to be confused with the end code.
      {"byte FF", B({0xFF}), B({0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
      {"empty", Bytes{}, B({0xFF, 0xFF, 0x00, 0x00})},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    EXPECT_EQ(Comprime(c.texto), c.comprimido);
    Bytes volta;
    EXPECT_EQ(lzw_expand(c.comprimido, volta, Op()), kLzwOk);
    EXPECT_EQ(volta, c.texto);
  }
}

// The end of the input stands for the end code: what was read up to the reader's look-ahead is kept.
TEST_F(Lzw, TruncatedAndOddInputsEndWhereTheLookAheadMeetsTheEnd) {
  struct Caso {
    const char* nome;
    Bytes comprimido, texto;
  } casos[] = {
      {"ABABABA without its last four bytes", B({0x00, 0x41, 0x00, 0x42, 0x01, 0x00, 0x01, 0x02}), B("ABAB")},
      {"no input at all", Bytes{}, Bytes{}},
      {"end code first", B({0xFF, 0xFF, 0x00, 0x00}), Bytes{}},
      {"a lone code", B({0x00, 0x41}), Bytes{}},
      {"odd length", B({0x00, 0x41, 0x00, 0x42, 0x01}), B("A")},
      {"data after the end code is ignored", B({0x00, 0x61, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x62}), B("a")},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    Bytes volta{'x'};
    EXPECT_EQ(lzw_expand(c.comprimido, volta, Op()), kLzwOk);
    EXPECT_EQ(volta, c.texto);
  }
}

TEST_F(Lzw, CorruptCodesFailWithoutEndingTheProcess) {
  struct Caso {
    const char* nome;
    Bytes comprimido;
  } casos[] = {
      {"first code names a string", B({0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00})},
      {"first code far above the bytes", B({0x12, 0x34, 0x00, 0x41, 0xFF, 0xFF})},
      {"code one past the next free code", B({0x00, 0x41, 0x01, 0x01, 0xFF, 0xFF, 0x00, 0x00})},
      {"code far above the next free code", B({0x00, 0x41, 0x00, 0x42, 0xFF, 0x00, 0xFF, 0xFF, 0x00, 0x00})},
      {"good codes, then a bad one", B({0x00, 0x41, 0x00, 0x42, 0x01, 0x00, 0x02, 0x00, 0xFF, 0xFF})},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    diag.str("");
    Bytes volta;
    EXPECT_EQ(lzw_expand(c.comprimido, volta, Op()), kLzwErroExpansao);
    EXPECT_EQ(diag.str(), "Expanding...\nFatal error during code expansion.\n");
  }
}

TEST_F(Lzw, VariedInputsRoundTripThroughEveryForm) {
  Bytes todos(256);
  for (int i = 0; i < 256; ++i) todos[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  Bytes repetido;
  for (int i = 0; i < 3000; ++i) repetido.insert(repetido.end(), todos.begin(), todos.end());
  struct Caso {
    const char* nome;
    Bytes texto;
  } casos[] = {
      {"two bytes", B("AA")},
      {"every byte value", todos},
      {"every byte value, repeated", repetido},
      {"recharge records", TextoDeRecarga(300)},
      {"random bytes", Aleatorios(50000, 1)},
      {"random over four letters", Aleatorios(120000, 2, 4)},
      // Around the size of the I/O blocks.
      {"one block", Aleatorios(65536, 3, 16)},
      {"one block and a byte", Aleatorios(65537, 4, 16)},
      {"one byte short of a block", Aleatorios(65535, 5, 16)},
      {"a run of one byte", Bytes(70000, 'x')},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    const Bytes z = Comprime(c.texto);
    EXPECT_TRUE(z == Referencia(c.texto));
    ASSERT_GE(z.size(), 4u);
    EXPECT_EQ(z.size() % 2, 0u);
    EXPECT_EQ(Bytes(z.end() - 4, z.end()), B({0xFF, 0xFF, 0x00, 0x00}));

    Bytes volta;
    EXPECT_EQ(lzw_expand(z, volta, Op()), kLzwOk);
    EXPECT_TRUE(volta == c.texto);

    // The stream forms write the same bytes.
    std::istringstream in(std::string(c.texto.begin(), c.texto.end()));
    std::ostringstream out;
    EXPECT_EQ(lzw_compress(in, out, Op()), kLzwOk);
    EXPECT_TRUE(B(out.str()) == z);
    std::istringstream zin(out.str());
    std::ostringstream dout;
    EXPECT_EQ(lzw_expand(zin, dout, Op()), kLzwOk);
    EXPECT_TRUE(B(dout.str()) == c.texto);
  }
}

// Random data fills the dictionary quickly; repeating it then reuses the strings defined last, so the
// compressor writes code 65534 and the expander must have frozen its dictionary at the same point.
TEST_F(Lzw, DictionaryFreezesAfterItsLastCodeOnBothSides) {
  Bytes texto = Aleatorios(300000, 7);
  texto.insert(texto.end(), texto.begin(), texto.end());
  const Bytes z = Comprime(texto);
  EXPECT_TRUE(z == Referencia(texto));
  const auto codigos = Codigos(z);
  ASSERT_GE(codigos.size(), 2u);
  EXPECT_EQ(codigos[codigos.size() - 2], 65535u);
  std::uint32_t maior = 0;
  for (std::size_t i = 0; i + 2 < codigos.size(); ++i) maior = std::max(maior, codigos[i]);
  EXPECT_EQ(maior, 65534u);
  // Far more codes than the dictionary holds: most were written with it frozen.
  EXPECT_GT(codigos.size(), 2u * 65279u);

  Bytes volta;
  EXPECT_EQ(lzw_expand(z, volta, Op()), kLzwOk);
  EXPECT_TRUE(volta == texto);
}

// A long run of one byte defines ever longer strings: code 256 + k stands for k + 2 bytes. Strings past
// 4000 bytes must still expand.
TEST_F(Lzw, LongStringsOfALongRunExpand) {
  const Bytes texto(9'000'000, 0);
  const Bytes z = Comprime(texto);
  std::uint32_t maior = 0;
  for (auto c : Codigos(z))
    if (c != 65535) maior = std::max(maior, c);
  EXPECT_GT(maior, 256u + 4000u);
  Bytes volta;
  EXPECT_EQ(lzw_expand(z, volta, Op()), kLzwOk);
  EXPECT_TRUE(volta == texto);
}

// Accepts `limite` bytes, then fails like a full disk.
class StreambufCheio : public std::streambuf {
 public:
  explicit StreambufCheio(std::size_t limite) : limite_(limite) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (escritos_ >= limite_) return traits_type::eof();
    ++escritos_;
    return c;
  }
  std::streamsize xsputn(const char*, std::streamsize n) override {
    const auto k = std::min<std::streamsize>(n, static_cast<std::streamsize>(limite_ - escritos_));
    escritos_ += static_cast<std::size_t>(k);
    return k;
  }

 private:
  std::size_t limite_, escritos_ = 0;
};

// A small input that asks for a huge output: the byte 0, then codes 256, 257, ... each naming the string
// being defined (one zero longer every time), so code 256 + i stands for i + 2 zeros; `repeticoes` more
// codes of the last string follow. 20000 codes expand to about 200 MB; once the dictionary is full, every
// code stands for 65,280 bytes.
Bytes Bomba(std::uint32_t codigos, std::size_t repeticoes = 0) {
  Bytes z{0x00, 0x00};
  auto escreve = [&](std::uint32_t c) {
    z.insert(z.end(), {static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c)});
  };
  for (std::uint32_t c = 256; c < 256 + codigos; ++c) escreve(c);
  for (std::size_t i = 0; i < repeticoes; ++i) escreve(255 + codigos);
  escreve(65535);
  escreve(0);
  return z;
}

// Serves its bytes a little at a time and counts how many were taken.
class StreambufContado : public std::streambuf {
 public:
  explicit StreambufContado(const Bytes& dados) : dados_(dados.begin(), dados.end()) {}
  std::size_t entregues = 0;

 protected:
  int_type underflow() override {
    if (entregues == dados_.size()) return traits_type::eof();
    const std::size_t n = std::min<std::size_t>(4096, dados_.size() - entregues);
    char* p = dados_.data() + entregues;
    setg(p, p, p + n);
    entregues += n;
    return traits_type::to_int_type(*p);
  }

 private:
  std::string dados_;
};

TEST_F(Lzw, ExpansionStopsBeforeItPassesItsCap) {
  const Bytes z = Comprime(B("ABABABA"));
  struct Caso {
    std::uint64_t limite;
    int resultado;
  } casos[] = {{0, kLzwOk}, {7, kLzwOk}, {1000, kLzwOk}, {6, kLzwErroLimite}, {1, kLzwErroLimite}};
  for (const auto& c : casos) {
    SCOPED_TRACE(c.limite);
    diag.str("");
    LzwOpcoes op = Op();
    op.limiteSaida = c.limite;
    Bytes volta;
    EXPECT_EQ(lzw_expand(z, volta, op), c.resultado);
    std::istringstream in(std::string(z.begin(), z.end()));
    std::ostringstream out;
    EXPECT_EQ(lzw_expand(in, out, op), c.resultado);
    if (c.resultado == kLzwOk) {
      EXPECT_EQ(volta, B("ABABABA"));
      EXPECT_EQ(out.str(), "ABABABA");
    } else {
      EXPECT_LE(volta.size(), c.limite);
      EXPECT_LE(out.str().size(), c.limite);
      EXPECT_EQ(diag.str(),
                "Expanding...\nFatal error: expanded output over its limit.\n"
                "Expanding...\nFatal error: expanded output over its limit.\n");
    }
  }
}

// 40 KB that would make 200 MB: refused under the cap for received files, having held no more than the cap.
// With a dictionary full of the longest strings the input goes on for half a megabyte, and expansion stops
// long before reading it all.
TEST_F(Lzw, ABombIsRefusedEarlyWithBoundedOutput) {
  const Bytes bomba = Bomba(20000);
  ASSERT_LT(bomba.size(), 41000u);
  Bytes volta;
  EXPECT_EQ(lzw_expand(bomba, volta, {.limiteSaida = kLzwLimiteRecebido}), kLzwErroLimite);
  EXPECT_LE(volta.size(), kLzwLimiteRecebido);

  const Bytes longa = Bomba(65279, 200000);
  StreambufContado sb(longa);
  std::istream in(&sb);
  StreambufCheio descarte(kLzwLimiteRecebido);
  std::ostream out(&descarte);
  EXPECT_EQ(lzw_expand(in, out, {.limiteSaida = kLzwLimiteRecebido}), kLzwErroLimite);
  EXPECT_LT(sb.entregues, longa.size() / 4);
}

// Delivers `dados`, then fails like a bad sector.
class StreambufDefeituoso : public std::streambuf {
 public:
  explicit StreambufDefeituoso(std::string dados) : dados_(std::move(dados)) {
    setg(dados_.data(), dados_.data(), dados_.data() + dados_.size());
  }

 protected:
  int_type underflow() override { throw std::ios_base::failure("read error"); }

 private:
  std::string dados_;
};

TEST_F(Lzw, WriteFailuresAreReported) {
  const Bytes texto = TextoDeRecarga(2000);
  const Bytes z = Comprime(texto);
  for (std::size_t limite : {std::size_t{0}, std::size_t{100}, z.size() - 1}) {
    SCOPED_TRACE(limite);
    StreambufCheio sb(limite);
    std::ostream out(&sb);
    std::istringstream in(std::string(texto.begin(), texto.end()));
    EXPECT_EQ(lzw_compress(in, out, Op()), kLzwErroEscrita);
  }
  for (std::size_t limite : {std::size_t{0}, texto.size() - 1}) {
    SCOPED_TRACE(limite);
    StreambufCheio sb(limite);
    std::ostream out(&sb);
    std::istringstream in(std::string(z.begin(), z.end()));
    EXPECT_EQ(lzw_expand(in, out, Op()), kLzwErroEscrita);
  }
  EXPECT_NE(diag.str().find("Fatal error writing output file.\n"), std::string::npos);
}

// A read error is not the end of the input: the shortened result must not pass as good.
TEST_F(Lzw, ReadFailuresAreReported) {
  {
    StreambufDefeituoso sb(std::string(5000, 'a'));
    std::istream in(&sb);
    std::ostringstream out;
    EXPECT_EQ(lzw_compress(in, out, Op()), kLzwErroLeitura);
  }
  {
    StreambufDefeituoso sb(std::string("\0a\0a\0a", 6));  // good codes, then the failure
    std::istream in(&sb);
    std::ostringstream out;
    EXPECT_EQ(lzw_expand(in, out, Op()), kLzwErroLeitura);
  }
}

enum class Sentido { kCompressao, kExpansao };

class LzwResultados : public teste::PastaTemporaria {};

// Callers check compression and expansion alike and print one text for a code, whichever direction gave
// it: in every form, both answer kLzwOk when done and the same code for the same kind of failure.
TEST_F(LzwResultados, CompressionAndExpansionAnswerAlikeInEveryForm) {
  namespace fs = std::filesystem;
  const Bytes texto = TextoDeRecarga(50);
  const Bytes comprimido = Comprime(texto);
  // What each direction takes in: records to compress, or their compressed form to expand.
  auto entrada = [&](Sentido s) -> const Bytes& { return s == Sentido::kCompressao ? texto : comprimido; };
  auto comoTexto = [](const Bytes& b) { return std::string(b.begin(), b.end()); };
  const fs::path arquivoTexto = Grava("TMP1.REC", comoTexto(texto));
  const fs::path arquivoComprimido = Grava("TMP2.REC", comoTexto(comprimido));
  auto arquivo = [&](Sentido s) { return s == Sentido::kCompressao ? arquivoTexto : arquivoComprimido; };
  auto porArquivo = [](Sentido s, const fs::path& e, const fs::path& saida) {
    return s == Sentido::kCompressao ? lzw_compress_file(e, saida) : lzw_expand_file(e, saida);
  };
  auto porStream = [](Sentido s, std::istream& e, std::ostream& saida) {
    return s == Sentido::kCompressao ? lzw_compress(e, saida) : lzw_expand(e, saida);
  };
  const struct {
    const char* nome;
    int resultado;
    std::function<int(Sentido)> chama;
  } casos[] = {
      {"file, done", kLzwOk, [&](Sentido s) { return porArquivo(s, arquivo(s), pasta / "SAIDA"); }},
      {"file, the input cannot be opened", kLzwErroAbertura,
       [&](Sentido s) { return porArquivo(s, pasta / "NAO_EXISTE", pasta / "SAIDA"); }},
      {"file, the output cannot be created", kLzwErroAbertura,
       [&](Sentido s) { return porArquivo(s, arquivo(s), pasta / "NAO" / "SAIDA"); }},
      {"file, the output is the input", kLzwErroAbertura,
       [&](Sentido s) { return porArquivo(s, arquivo(s), arquivo(s)); }},
      {"stream, done", kLzwOk,
       [&](Sentido s) {
         std::istringstream in(comoTexto(entrada(s)));
         std::ostringstream out;
         return porStream(s, in, out);
       }},
      {"stream, the output fails", kLzwErroEscrita,
       [&](Sentido s) {
         std::istringstream in(comoTexto(entrada(s)));
         StreambufCheio sb(100);
         std::ostream out(&sb);
         return porStream(s, in, out);
       }},
      // Good data up to the failure: the compressed form loses only its end code.
      {"stream, the input fails", kLzwErroLeitura,
       [&](Sentido s) {
         const Bytes& e = entrada(s);
         StreambufDefeituoso sb(std::string(e.begin(), e.end() - 4));
         std::istream in(&sb);
         std::ostringstream out;
         return porStream(s, in, out);
       }},
      {"bytes, done", kLzwOk,
       [&](Sentido s) {
         Bytes out;
         return s == Sentido::kCompressao ? lzw_compress(entrada(s), out) : lzw_expand(entrada(s), out);
       }},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    EXPECT_EQ(c.chama(Sentido::kCompressao), c.resultado) << "compression";
    EXPECT_EQ(c.chama(Sentido::kExpansao), c.resultado) << "expansion";
  }
  EXPECT_EQ(teste::LeArquivo(arquivoTexto), comoTexto(texto)) << "an output that is the input is left alone";
  EXPECT_FALSE(fs::exists(pasta / "NAO"));
}

TEST_F(Lzw, ProgressMarksEveryThousandBytesOrCodes) {
  Bytes z;
  lzw_compress(Bytes(2001, 0xAA), z, Op());  // 2000 bytes after the first
  EXPECT_EQ(diag.str(), "Compressing...\n**\n");

  diag.str("");
  Bytes codigos;
  for (int i = 0; i < 2000; ++i) codigos.insert(codigos.end(), {0x00, 0x61});  // 1999 after the first
  codigos.insert(codigos.end(), {0xFF, 0xFF, 0x00, 0x00});
  Bytes volta;
  EXPECT_EQ(lzw_expand(codigos, volta, Op()), kLzwOk);
  EXPECT_EQ(volta, Bytes(2000, 'a'));
  EXPECT_EQ(diag.str(), "Expanding...\n*\n");

  // Without a sink the calls say nothing.
  diag.str("");
  EXPECT_EQ(lzw_compress(B("abc"), z), kLzwOk);
  EXPECT_EQ(lzw_expand(B({0x01, 0x00}), volta), kLzwOk);
  EXPECT_EQ(lzw_expand(B({0x01, 0x01, 0, 0}), volta), kLzwErroExpansao);
  EXPECT_EQ(diag.str(), "");
}

// Nothing reaches standard output unless the call names it as the sink.
TEST(LzwDiagnostics, GoToTheSinkOfTheCallOnly) {
  testing::internal::CaptureStdout();
  Bytes z, volta;
  lzw_compress(B("abc"), z);
  lzw_expand(z, volta);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  testing::internal::CaptureStdout();
  lzw_compress(B("abc"), z, {.diagnostico = &std::cout});
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Compressing...\n\n");
}

}  // namespace
