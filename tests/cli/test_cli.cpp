// The telvarim-cli contract, run as integrators run it: exit status, the one stderr line with the result
// code, the files made and the files not left behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "cp1252.h"
#include "linha_comando.h"
#include "pasta_temporaria.h"
#include "records.h"
#include "safe_file.h"

#if !defined(_WIN32)
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace telvarim {
namespace {

namespace fs = std::filesystem;

void WriteAll(const fs::path& p, const std::string& s) { std::ofstream(p, std::ios::binary) << s; }

using Resultado = teste::ResultadoComando;

class Cli : public teste::PastaTemporaria {
 protected:
  std::string P(const std::string& name) const { return (pasta / name).string(); }
  static std::string Q(const std::string& s) { return teste::Aspas(s); }

  Resultado Cmd(const std::string& args) const { return teste::Executa(Q(TELVARIM_CLI) + " " + args, pasta); }
  // Runs and expects success with nothing on either stream.
  void Ok(const std::string& args) const {
    const Resultado r = Cmd(args);
    EXPECT_EQ(r.status, 0) << args << "\n" << r.err;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_EQ(r.err, "") << args;
  }

  const std::string text_ = Utf8ParaCp1252("00 CABEÇALHO JOÃO\r\n01 DETALHE ÁLVARO\r\n") + std::string(3000, 'z');
};

TEST_F(Cli, PackAndUnpackInEitherRole) {
  WriteAll(P("t.txt"), text_);
  Ok("pack --as-central " + Q(P("t.txt")) + " " + Q(P("a_1.rec")));
  Ok("unpack " + Q(P("a_1.rec")) + " " + Q(P("a.txt")));
  EXPECT_EQ(teste::LeArquivo(P("a.txt")), text_);

  Ok("pack " + Q(P("t.txt")) + " " + Q(P("b_2.rec")));
  Ok("unpack --as-central " + Q(P("b_2.rec")) + " " + Q(P("b.txt")));
  EXPECT_EQ(teste::LeArquivo(P("b.txt")), text_);
  // DES-CBC and MD5 with one 512-bit recipient.
  const std::string sealed = teste::LeArquivo(P("b_2.rec"));
  ASSERT_GT(sealed.size(), 180u);
  EXPECT_EQ(sealed[29], 1);
  EXPECT_EQ(sealed[30], 5);
}

TEST_F(Cli, SealAndOpenWithKeyFilesAndOptions) {
  Ok("keygen " + Q(P("k1")));
  Ok("keygen --bits 768 " + Q(P("k2")));
  EXPECT_EQ(fs::file_size(P("k1.key")), 706u);
  EXPECT_EQ(fs::file_size(P("k1.pub")), 258u);
  WriteAll(P("in"), text_);

  // A private key file stands for its public half after --to.
  Ok("seal " + Q(P("in")) + " " + Q(P("s")) + " --key " + Q(P("k1.key")) + " --to " + Q(P("k2.pub")) + " --to " +
     Q(P("k1.key")) + " --cipher 3 --digest 3");
  const std::string s = teste::LeArquivo(P("s"));
  EXPECT_EQ(s[29], 3);
  EXPECT_EQ(s[30], 3);
  EXPECT_EQ(s[41], 2) << "two recipients";
  Ok("open " + Q(P("s")) + " " + Q(P("o1")) + " --key " + Q(P("k1.key")) + " --from " + Q(P("k1.pub")) + " --index 1");
  EXPECT_EQ(teste::LeArquivo(P("o1")), text_);
  Ok("open " + Q(P("s")) + " " + Q(P("o0")) + " --key " + Q(P("k2.key")) + " --from " + Q(P("k1.key")));
  EXPECT_EQ(teste::LeArquivo(P("o0")), text_);

  Ok("seal " + Q(P("in")) + " " + Q(P("plain")) + " --cipher 0 --digest 0");
  EXPECT_EQ(fs::file_size(P("plain")), text_.size() + 39);
  Ok("open " + Q(P("plain")) + " " + Q(P("o2")));
  EXPECT_EQ(teste::LeArquivo(P("o2")), text_);
}

// Each failure: a non-zero status, one stderr line of the given form, and no output file.
TEST_F(Cli, FailuresGiveOneLineWithTheResultCode) {
  WriteAll(P("t.txt"), text_);
  Ok("pack " + Q(P("t.txt")) + " " + Q(P("req_2.rec")));  // sealed to the central system
  Ok("pack --as-central " + Q(P("t.txt")) + " " + Q(P("rec_1.rec")));
  std::string tampered = teste::LeArquivo(P("rec_1.rec"));
  tampered[120] = static_cast<char>(tampered[120] ^ 1);
  WriteAll(P("tampered.rec"), tampered);
  const std::string keys = TELVARIM_KEYS_DIR;
  // Sealed as the central system would, but of text that is not LZW data.
  Ok("seal " + Q(P("t.txt")) + " " + Q(P("raw.rec")) + " --key " + Q(keys + "/central.key") + " --to " +
     Q(keys + "/system.key"));

  struct Case {
    std::string args;
    std::string line;  // regular expression for the whole stderr
    int status;        // 0: any non-zero
  };
  const std::string out = Q(P("out"));
  const Case cases[] = {
      {"open " + Q(P("missing")) + " " + out, "telvarim-cli: open: error 241: cannot open '.*missing'\n", 0},
      {"open " + Q(P("t.txt")) + " " + out, "telvarim-cli: open: error 241: .*not a sealed file.*\n", 0},
      {"open " + Q(P("tampered.rec")) + " " + out, "telvarim-cli: open: error 1035: .*\n", 0},
      {"open " + Q(P("rec_1.rec")) + " " + out + " --index 1", "telvarim-cli: open: error 243: .*index 1\n", 0},
      {"open " + Q(P("req_2.rec")) + " " + out, "telvarim-cli: open: error 1033: .*\n", 0},
      {"unpack " + Q(P("req_2.rec")) + " " + out, "telvarim-cli: unpack: error 1033: open: .*\n", 0},
      {"unpack " + Q(P("raw.rec")) + " " + out, "telvarim-cli: unpack: error 3: expand: .*\n", 0},
      {"pack " + Q(P("missing")) + " " + out, "telvarim-cli: pack: error 1: compress: cannot open .*\n", 0},
      {"seal " + Q(P("t.txt")) + " " + Q(P("no-folder/out")), "telvarim-cli: seal: error 242: .*\n", 0},
      {"seal " + Q(P("t.txt")) + " " + out + " --key " + Q(P("missing.key")),
       "telvarim-cli: seal: cannot load private key .*\n", 0},
      {"seal " + Q(P("t.txt")) + " " + out + " --cipher 5", "telvarim-cli: seal: --cipher must be 0 to 4 .*\n", 2},
      {"seal " + Q(P("t.txt")) + " " + out + " --digest 4", "telvarim-cli: seal: --digest must be .*\n", 2},
      {"open " + Q(P("t.txt")) + " " + out + " --bogus 1", "telvarim-cli: open: unknown option --bogus .*\n", 2},
      {"keygen --bits 100 " + Q(P("k")), "telvarim-cli: keygen: --bits must be 256 to 1024 .*\n", 2},
      {"sample --holders 10001 " + out, "telvarim-cli: sample: --holders must be 0 to 10000 .*\n", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const Resultado r = Cmd(c.args);
    if (c.status == 0) {
      EXPECT_NE(r.status, 0);
    } else {
      EXPECT_EQ(r.status, c.status);
    }
    EXPECT_LT(r.status, 128) << "not a crash";
    EXPECT_TRUE(std::regex_match(r.err, std::regex(c.line))) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(fs::exists(P("out")));
  }
}

// The command line is UTF-8 on every platform (Windows hands the program UTF-16); files and folders named
// with accented letters are found and made under their real names.
TEST_F(Cli, AccentedNamesOnTheCommandLine) {
  auto u8 = [](const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
  };
  WriteAll(P("t.txt"), text_);
  const fs::path selado = pasta / fs::path(u8"ação_1.rec"), aberto = pasta / fs::path(u8"saída.txt");
  Ok("pack --as-central " + Q(P("t.txt")) + " " + Q(u8(selado)));
  Ok("unpack " + Q(u8(selado)) + " " + Q(u8(aberto)));
  EXPECT_EQ(teste::LeArquivo(aberto), text_);

  const fs::path raiz = pasta / fs::path(u8"Raiz Ação");
  const std::string nome = "RM_000123_0001_2612101100_1.rec";
  fs::create_directories(raiz / "Recebidos");
  Ok("sample --holders 3 " + Q(u8(raiz / "Recebidos" / nome)));
  const Resultado r = Cmd("batch --root " + Q(u8(raiz)) + " " + nome);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Carregando Arquivo : " + u8(raiz / "Recebidos" / nome) + "\n"), std::string::npos) << r.out;
  EXPECT_TRUE(fs::exists(raiz / "Processados" / nome));
}

// The sample's records, as the record readers take them.
struct Amostra {
  RegCabecalho cabecalho;
  std::vector<RegTipoCartao> tipos;
  std::set<std::size_t> comprimentosTipo;
  std::set<int> tarifas;
  std::vector<RegUsuario> usuarios;
  RegRodape rodape;
  int linhas = 0;
};

Amostra LeAmostra(const std::string& texto) {
  Amostra a;
  std::vector<std::int32_t> porCreditos(kMaxTiposCartao, -1);
  for (const std::string& l : SeparaLinhas(texto)) {
    ++a.linhas;
    const std::string tipo = l.substr(0, 2);
    if (tipo == "00") {
      EXPECT_TRUE(LeCabecalho(l, a.linhas, a.cabecalho)) << l;
    } else if (tipo == "04") {
      RegTipoCartao t;
      EXPECT_TRUE(LeTipoCartao(l, a.linhas, t)) << l;
      porCreditos[static_cast<std::size_t>(t.Codigo)] = t.PorCreditos;
      a.comprimentosTipo.insert(l.size());
      a.tipos.push_back(t);
    } else if (tipo == "05") {
      RegTarifa t;
      EXPECT_TRUE(LeTarifa(l, a.linhas, t)) << l;
      a.tarifas.insert(t.Codigo);
    } else if (tipo == "01") {
      const std::int32_t codigo = TipoCartaoDoDetalhe(l, a.linhas);
      EXPECT_GE(porCreditos.at(static_cast<std::size_t>(codigo)), 0) << "card type given before its details";
      RegUsuario u;
      EXPECT_TRUE(LeDetalhe(l, a.linhas, porCreditos.at(static_cast<std::size_t>(codigo)), u)) << l;
      a.usuarios.push_back(u);
    } else {
      EXPECT_EQ(tipo, "99");
      EXPECT_TRUE(LeTrailer(l, a.linhas, a.rodape)) << l;
    }
  }
  return a;
}

TEST_F(Cli, SampleIsARealisticReceivedFileAndTheSameForASeed) {
  Ok("sample --holders 400 --seed 7 " + Q(P("a_1.rec")));
  Ok("sample --seed 7 --holders 400 " + Q(P("b_1.rec")));
  Ok("sample --holders 400 --seed 8 " + Q(P("c_1.rec")));
  EXPECT_NE(teste::LeArquivo(P("a_1.rec")), teste::LeArquivo(P("b_1.rec"))) << "each sealing has its own key material";
  for (const char* f : {"a", "b", "c"}) Ok("unpack " + Q(P(std::string(f) + "_1.rec")) + " " + Q(P(f)));
  const std::string texto = teste::LeArquivo(P("a"));
  EXPECT_EQ(teste::LeArquivo(P("b")), texto);
  EXPECT_NE(teste::LeArquivo(P("c")), texto);
  EXPECT_EQ(texto.substr(texto.size() - 2), "\r\n");

  const Amostra a = LeAmostra(texto);
  EXPECT_TRUE(std::regex_match(a.cabecalho.NomeArquivo, std::regex("RM_[0-9]{6}_[0-9]{4}_[0-9]{10}_1\\.REC *")))
      << a.cabecalho.NomeArquivo;
  EXPECT_TRUE(std::regex_match(SeqDoNomeArquivo(a.cabecalho), std::regex("[0-9]{4}")));
  EXPECT_EQ(a.cabecalho.Criptografado, 1);

  bool dinheiro = false, creditos = false;
  for (const auto& t : a.tipos) {
    EXPECT_GE(t.Codigo, 1);
    EXPECT_LE(t.Codigo, 120);
    (t.PorCreditos == 0 ? dinheiro : creditos) = true;
  }
  EXPECT_TRUE(dinheiro && creditos);
  EXPECT_EQ(a.comprimentosTipo, (std::set<std::size_t>{61, 66, 67})) << "with and without ValorMaximo";
  EXPECT_GE(a.tarifas.size(), 3u);
  for (int t : a.tarifas) EXPECT_TRUE(t >= 1 && t <= 14) << t;

  ASSERT_EQ(a.usuarios.size(), 400u);
  std::array<int, 4> grupos{};
  bool acentos = false;
  for (const auto& u : a.usuarios) {
    for (std::size_t g = 0; g < 4; ++g) {
      const int t = u.Grupos[g].Tarifa;
      if (t == 0) continue;
      ++grupos[g];
      EXPECT_EQ(a.tarifas.count(t), 1u) << "tariff " << t << " has a record";
    }
    for (unsigned char c : u.Nome) acentos = acentos || c >= 0x80;
  }
  EXPECT_EQ(grupos[0], 400);
  EXPECT_GT(grupos[1], 0);
  EXPECT_GT(grupos[3], 0);
  EXPECT_TRUE(acentos);
  for (std::size_t g = 0; g < 4; ++g) EXPECT_EQ(a.rodape.Grupos[g].Quantidade, grupos[g]);
  EXPECT_EQ(a.rodape.QtdRegistros, a.linhas);
  // Every value also fits the request that answers the file.
  std::vector<std::int32_t> porCreditos(kMaxTiposCartao, 0);
  for (const auto& t : a.tipos) {
    EXPECT_NO_THROW(FormataTipoCartao(t)) << t.Codigo;
    porCreditos[static_cast<std::size_t>(t.Codigo)] = t.PorCreditos;
  }
  for (const auto& u : a.usuarios)
    EXPECT_NO_THROW(FormataDetalhe(u, porCreditos[static_cast<std::size_t>(u.TipoCartao)])) << u.CodUsuario;

  Ok("sample " + Q(P("d_1.rec")));
  Ok("unpack " + Q(P("d_1.rec")) + " " + Q(P("d")));
  EXPECT_EQ(LeAmostra(teste::LeArquivo(P("d"))).usuarios.size(), 50u) << "the default holder count";
}

// --- batch on a work root: one writer at a time, the move's outcome, only the central system's files ---

class Lote : public Cli {
 protected:
  const std::string nome_ = "RM_000123_0001_2612101100_1.rec";
  fs::path Raiz() const { return pasta / "raiz"; }
  fs::path Recebido() const { return Raiz() / "Recebidos" / nome_; }
  std::string Batch() const { return "batch --root " + Q(Raiz().string()) + " " + nome_; }

  // A sample received file in the root's Recebidos; its bytes.
  std::string Amostra(int titulares = 40) const {
    fs::create_directories(Raiz() / "Recebidos");
    Ok("sample --holders " + std::to_string(titulares) + " " + Q(Recebido().string()));
    return teste::LeArquivo(Recebido());
  }
  // Every file under the root, relative to it, sorted.
  std::vector<std::string> Arquivos() const {
    std::vector<std::string> r;
    // The root's own lock is listed; the folders' locks, there once a step held them, are not.
    for (const auto& e : fs::recursive_directory_iterator(Raiz()))
      if (e.is_regular_file() && (e.path().filename() != ".telvarim.lock" || e.path().parent_path() == Raiz()))
        r.push_back(fs::relative(e.path(), Raiz()).generic_string());
    std::sort(r.begin(), r.end());
    return r;
  }
  std::vector<std::string> Em(const std::string& pastaRaiz) const {
    std::vector<std::string> r;
    for (const std::string& a : Arquivos())
      if (a.rfind(pastaRaiz + "/", 0) == 0) r.push_back(a.substr(pastaRaiz.size() + 1));
    return r;
  }
  static std::string UltimaLinha(const std::string& s) {
    const std::size_t fim = s.size() > 0 && s.back() == '\n' ? s.size() - 1 : s.size();
    const std::size_t ini = s.rfind('\n', fim == 0 ? 0 : fim - 1);
    return s.substr(ini == std::string::npos ? 0 : ini + 1);
  }
  // The request in Gerados opens on the central side.
  void PedidoAbre(const std::string& pedido) const {
    Ok("unpack --as-central " + Q((Raiz() / "Gerados" / pedido).string()) + " " + Q(P("pedido.txt")));
  }
};

TEST_F(Lote, RefusedWhileAnotherProgramHoldsTheRootAndNothingChanges) {
  const std::string bytes = Amostra();
  LockAttempt outro = try_lock_file(Raiz() / ".telvarim.lock", "telvarim, pid 4242");
  ASSERT_TRUE(outro.lock.held()) << outro.error.message();
  const Resultado r = Cmd(Batch());
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, "telvarim-cli: batch: the work folder '" + Raiz().string() +
                       "' is in use by telvarim, pid 4242; nothing was changed\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Arquivos(), (std::vector<std::string>{".telvarim.lock", "Recebidos/" + nome_}));
  EXPECT_EQ(teste::LeArquivo(Recebido()), bytes);

  outro.lock.release();
  const Resultado depois = Cmd(Batch());
  ASSERT_EQ(depois.status, 0) << depois.err;
  EXPECT_EQ(teste::LeArquivo(Raiz() / "Processados" / nome_), bytes);
}

#if !defined(_WIN32)
// Started together on one root: one processes and writes, the other is turned away naming the first, and
// nothing is mixed. (Should the second start only after the first ended, it finds no file to answer: the
// round is run again, a few times at most, until the two met.)
TEST_F(Lote, TwoRunsStartedTogetherOneWritesTheOtherIsTurnedAway) {
  const std::string bytes = Amostra(10000);
  int encontros = 0;
  for (int rodada = 0; rodada < 5 && encontros == 0; ++rodada) {
    SCOPED_TRACE(rodada);
    fs::remove_all(Raiz() / "Gerados");
    if (!fs::exists(Recebido())) fs::rename(Raiz() / "Processados" / nome_, Recebido());
    std::string linha;
    for (const char* n : {"1", "2"})
      linha += "( " + Q(TELVARIM_CLI) + " " + Batch() + " >" + Q(P(std::string("o") + n)) + " 2>" +
               Q(P(std::string("e") + n)) + "; echo $? >" + Q(P(std::string("s") + n)) + " ) & ";
    ASSERT_EQ(std::system((linha + "wait").c_str()), 0);
    const int s1 = std::stoi(teste::LeArquivo(P("s1"))), s2 = std::stoi(teste::LeArquivo(P("s2")));
    ASSERT_TRUE((s1 == 0) != (s2 == 0)) << s1 << " " << s2 << "\n"
                                        << teste::LeArquivo(P("e1")) << teste::LeArquivo(P("e2"));
    const std::string n = s1 == 0 ? "2" : "1";
    const int outro = s1 == 0 ? s2 : s1;
    const std::string erro = teste::LeArquivo(P("e" + n));
    if (outro == 4) {
      ++encontros;
      EXPECT_TRUE(std::regex_match(
          erro, std::regex("telvarim-cli: batch: the work folder '.*' is in use by telvarim-cli batch, pid "
                           "[0-9]+; nothing was changed\n")))
          << erro;
      EXPECT_EQ(teste::LeArquivo(P("o" + n)), "");
    } else {
      EXPECT_EQ(outro, 1) << erro;
      EXPECT_NE(erro.find("no received file named"), std::string::npos) << erro;
    }
    const std::vector<std::string> gerados = Em("Gerados");
    ASSERT_EQ(gerados.size(), 2u) << "one request and its log";
    PedidoAbre(gerados[1]);
    EXPECT_EQ(Em("Recebidos"), std::vector<std::string>{});
    EXPECT_EQ(teste::LeArquivo(Raiz() / "Processados" / nome_), bytes);
  }
  EXPECT_EQ(encontros, 1) << "the two runs never overlapped";
}
#endif

// A received file whose name is taken in Processados could not follow its request: none is written, on
// every run. (A folder under the name refuses the move for any user, root included.)
TEST_F(Lote, NameTakenInProcessadosWritesNoRequest) {
  const std::string bytes = Amostra();
  fs::create_directories(Raiz() / "Processados" / nome_ / "ocupa");
  for (int vez = 0; vez < 2; ++vez) {
    SCOPED_TRACE(vez);
    const Resultado r = Cmd(Batch());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Já existe um arquivo " + nome_ + " em "), std::string::npos) << r.err;
    EXPECT_EQ(UltimaLinha(r.err),
              "telvarim-cli: batch: the request could not be written (see the log); no request "
              "written\n");
    EXPECT_EQ(Em("Gerados"), std::vector<std::string>{});
    EXPECT_EQ(teste::LeArquivo(Recebido()), bytes);
  }
}

#if !defined(_WIN32)
// The request is out but the received file stays: a distinct status and a last line with the system's
// reason, not a success; the next run moves the file and writes no second request. (The run is stopped
// after its answer was recorded, and the name taken in Processados meanwhile.)
TEST_F(Lote, RequestWrittenButFileNotMovedIsNotASuccessAndTheNextRunCompletesIt) {
  const std::string bytes = Amostra();
  const std::string linha = "TELVARIM_TESTE_PARADA=resposta-registrada " + Q(TELVARIM_CLI) + " " + Batch() + " >" +
                            Q(P("o")) + " 2>" + Q(P("e")) + " & pid=$!; " +
                            "while [ \"$(cut -d' ' -f3 /proc/$pid/stat)\" != T ]; do sleep 0.01; done; " + "mkdir -p " +
                            Q((Raiz() / "Processados" / nome_ / "ocupa").string()) +
                            "; kill -CONT $pid; wait $pid; echo $? >" + Q(P("s"));
  WriteAll(P("roda.sh"), linha + "\n");
  ASSERT_EQ(std::system(("bash " + Q(P("roda.sh"))).c_str()), 0);
  EXPECT_EQ(std::stoi(teste::LeArquivo(P("s"))), 5);
  const std::string ultima = UltimaLinha(teste::LeArquivo(P("e")));
  EXPECT_TRUE(std::regex_match(
      ultima, std::regex("telvarim-cli: batch: error " + std::to_string(static_cast<int>(std::errc::file_exists)) +
                         ": the request RM_[0-9_]+_2\\.REC was written, but the received file could not be moved "
                         "to .*Processados \\(move: '.*" +
                         nome_ +
                         "': .+\\); the ledger knows the answer: a later run moves the file without a second "
                         "request\n")))
      << ultima;
  const std::vector<std::string> gerados = Em("Gerados");
  ASSERT_EQ(gerados.size(), 2u);
  PedidoAbre(gerados[1]);
  EXPECT_EQ(teste::LeArquivo(Recebido()), bytes);
  EXPECT_NE(teste::LeArquivo(P("o")).find("Erro ao Mover Arquivo para "), std::string::npos);

  fs::remove_all(Raiz() / "Processados" / nome_);
  const Resultado r = Cmd(Batch());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Arquivo já respondido pelo pedido " + gerados[1] + ": resposta concluída"), std::string::npos)
      << r.out;
  EXPECT_EQ(Em("Gerados"), gerados) << "no second request";
  EXPECT_EQ(teste::LeArquivo(Raiz() / "Processados" / nome_), bytes);

  // And a copy of it under another name is refused, naming the request that answered it.
  fs::copy_file(Raiz() / "Processados" / nome_, Raiz() / "Recebidos" / "COPIA_1.rec");
  const Resultado copia = Cmd("batch --root " + Q(Raiz().string()) + " COPIA_1.rec");
  EXPECT_EQ(copia.status, 7);
  EXPECT_EQ(UltimaLinha(copia.err), "telvarim-cli: batch: the received file was answered already by the request " +
                                        gerados[1] + "; nothing written\n");
  EXPECT_EQ(Em("Gerados"), gerados);
}
#endif

// The workspace takes a received file only as the central system sends it: signed with its key and
// encrypted to us. Anything else is refused like a file that does not open, with the reason on the log and
// the code on the last line; nothing is written, no temporary stays.
TEST_F(Lote, OnlyFilesSignedByTheCentralSystemAndEncryptedToUsAreProcessed) {
  Amostra();
  const std::string keys = TELVARIM_KEYS_DIR;
  Ok("unpack " + Q(Recebido().string()) + " " + Q(P("texto")));
  ASSERT_EQ(Cmd("compress " + Q(P("texto")) + " " + Q(P("lzw"))).status, 0);  // with the codec's progress
  std::string semAssinatura = teste::LeArquivo(Recebido());
  semAssinatura[30] = 0;  // the digest byte of a genuine file
  WriteAll(P("sem-assinatura"), semAssinatura);
  Ok("seal " + Q(P("lzw")) + " " + Q(P("plano")) + " --cipher 0 --digest 0");
  Ok("seal " + Q(P("lzw")) + " " + Q(P("aberto")) + " --cipher 0 --key " + Q(keys + "/central.key"));
  Ok("seal " + Q(P("lzw")) + " " + Q(P("outro")) + " --key " + Q(keys + "/system.key") + " --to " +
     Q(keys + "/system.pub"));
  const struct {
    const char* arquivo;
    std::string codigo;  // regular expression
  } casos[] = {{"sem-assinatura", "244"}, {"plano", "244"}, {"aberto", "245"}, {"outro", "103[45]"}};
  for (const auto& c : casos) {
    SCOPED_TRACE(c.arquivo);
    fs::remove_all(Raiz());
    fs::create_directories(Raiz() / "Recebidos");
    fs::copy_file(P(c.arquivo), Recebido());
    const Resultado r = Cmd(Batch());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("Erro ao Descriptografar Arquivo - Verifique!\n", 0), 0u) << r.err;
    EXPECT_TRUE(std::regex_match(UltimaLinha(r.err),
                                 std::regex("telvarim-cli: batch: error " + c.codigo +
                                            ": the received file was not processed \\(open: .+\\); no request "
                                            "written\n")))
        << r.err;
    EXPECT_TRUE(std::regex_search(
        r.out, std::regex(" ==> Erro ao Descriptografar o Arquivo \n ==> Motivo : erro " + c.codigo + " - ")))
        << r.out;
    EXPECT_EQ(Arquivos(), (std::vector<std::string>{".telvarim.lock", "Recebidos/" + nome_}));
  }
}

#if !defined(_WIN32)
TEST_F(Cli, KeygenWritesThePrivateKeyForItsOwnerOnly) {
  const mode_t antes = ::umask(0);  // a mode left to the umask would show
  const Resultado r = Cmd("keygen " + Q(P("k")));
  ::umask(antes);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(fs::status(P("k.key")).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_NE(fs::status(P("k.pub")).permissions() & fs::perms::others_read, fs::perms::none);
}

// Interrupted while its scratch file exists, a command removes it on the way out and ends by the signal.
// The scratch file is private from the moment it is seen.
TEST_F(Cli, InterruptedCommandRemovesItsPrivateTemporaries) {
  const fs::path tmp = pasta / "tmp";
  fs::create_directories(tmp);
  const std::string ambiente = "TMPDIR=" + tmp.string();
  int interrompidos = 0;
  for (int tentativa = 0; tentativa < 20 && interrompidos < 3; ++tentativa) {
    SCOPED_TRACE(tentativa);
    const std::string saida = P("s_1.rec");
    char* const argv[] = {const_cast<char*>(TELVARIM_CLI),  const_cast<char*>("sample"),
                          const_cast<char*>("--holders"),   const_cast<char*>("10000"),
                          const_cast<char*>(saida.c_str()), nullptr};
    char* const envp[] = {const_cast<char*>(ambiente.c_str()), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, TELVARIM_CLI, nullptr, nullptr, argv, envp), 0);
    bool visto = false;
    for (int espera = 0; espera < 20000 && !visto; ++espera) {
      for (const auto& e : fs::directory_iterator(tmp)) {
        std::error_code ec;
        const fs::perms modo = fs::status(e.path(), ec).permissions();
        if (ec) continue;
        visto = true;
        EXPECT_EQ(modo, fs::perms::owner_read | fs::perms::owner_write) << e.path();
      }
      if (!visto) ::usleep(100);
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    if (WIFSIGNALED(status)) {
      EXPECT_EQ(WTERMSIG(status), SIGTERM);
      ++interrompidos;
    } else {
      EXPECT_EQ(WEXITSTATUS(status), 0) << "finished before the signal";
    }
    std::string sobras;
    for (const auto& e : fs::directory_iterator(tmp)) sobras += e.path().filename().string() + " ";
    EXPECT_EQ(sobras, "") << "temporaries left behind; " << (WIFSIGNALED(status) ? "signal " : "exit ")
                          << (WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status));
  }
  EXPECT_GE(interrompidos, 1);
}
#endif

}  // namespace
}  // namespace telvarim
