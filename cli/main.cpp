// telvarim-cli: the recharge-file codecs, the envelope and the workspace engine from the command line, for
// integrators and for tests.
#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <string_view>

#include "commands.h"
#include "safe_file.h"
#include "versao.h"

namespace {

struct Comando {
  const char* nome;
  const char* uso;
  const char* resumo;
  const char* opcoes;  // one "  --option  meaning" line each; empty when the command has none
  const char* exemplo;
  int (*fn)(const telvarim::cli::Argumentos&);
};

using namespace telvarim::cli;

constexpr Comando kComandos[] = {
    {"compress", "compress IN OUT", "LZW-compress a file (16-bit codes)", "", "telvarim-cli compress TMP1.REC TMP2.REC",
     cmd_compress},
    {"expand", "expand IN OUT", "expand an LZW-compressed file", "", "telvarim-cli expand TMP2.REC TMP1.REC",
     cmd_expand},
    {"seal", "seal IN OUT [--key PRIV] [--to PUB]... [--cipher 0-4] [--digest 0|3|5]",
     "seal a file (sign, encrypt to the recipients)",
     "  --key PRIV      sign with this private key file (default: the system's key)\n"
     "  --to PUB        encrypt to this public (or private) key file; repeat for more recipients\n"
     "                  (default: the central system's key)\n"
     "  --cipher 0-4    0 none, 1 DES-CBC (default), 2 two-key triple DES, 3 three-key triple DES, 4 DESX\n"
     "  --digest 0|3|5  0 no signature, 3 MD2, 5 MD5 (default)\n",
     "telvarim-cli seal pedido.lzw RM_000123_0001_2612101100_2.REC", cmd_seal},
    {"open", "open IN OUT [--key PRIV] [--from PUB] [--index N]", "open a sealed file",
     "  --key PRIV      open with this private key file (default: the system's key)\n"
     "  --from PUB      check the signature with this key file (default: the central system's key)\n"
     "  --index N       the recipient entry to open (default 0)\n",
     "telvarim-cli open RM_000123_0001_2612101100_1.rec recebido.lzw", cmd_open},
    {"pack", "pack TEXT OUT [--as-central]", "compress then seal a record text",
     "  --as-central    play the central system: sign with its key, encrypt to the system\n"
     "                  (builds with the central role only)\n",
     "telvarim-cli pack pedido.txt RM_000123_0001_2612101100_2.REC", cmd_pack},
    {"unpack", "unpack SEALED TEXT [--as-central]", "open then expand a sealed file",
     "  --as-central    play the central system: open with its key, check the system's signature\n"
     "                  (builds with the central role only)\n",
     "telvarim-cli unpack --as-central RM_000123_0001_2612101100_2.REC pedido.txt", cmd_unpack},
    {"keygen", "keygen [--bits 512] NAME", "make a key pair NAME.key / NAME.pub",
     "  --bits N        key size in bits (default 512)\n", "telvarim-cli keygen chaves/system", cmd_keygen},
    {"sample", "sample [--holders N] [--seed S] OUT",
     "write a sample received file, sealed as the central system sends it (builds with the central role only)",
     "  --holders N     card holders, 0 to 10000 (default 50)\n"
     "  --seed S        the same seed gives the same records (default 1)\n",
     "telvarim-cli sample --holders 300 demo/Recebidos/RM_000123_0001_2612101100_1.rec", cmd_sample},
    {"batch", "batch [--root DIR] [--values FILE] NAME",
     "process a received file, import a value file when given, and generate its request",
     "  --root DIR      the work root (default: TELVARIM_ROOT, else the platform's)\n"
     "  --values FILE   import this external value file (*.rrm) before generating; refused records\n"
     "                  write no request and end with status 3\n",
     "telvarim-cli batch --root demo --values valores.rrm RM_000123_0001_2612101100_1.rec", cmd_batch},
#ifdef TELVARIM_COM_RELATORIOS
    {"listing", "listing [--root DIR] [--order codigo|nome|matricula] NAME OUT.pdf",
     "process a received file and write its printed listing as PDF (nothing generated or moved)",
     "  --root DIR      the work root (default: TELVARIM_ROOT, else the platform's)\n"
     "  --order KEY     codigo (default), nome or matricula\n",
     "telvarim-cli listing --root demo --order nome RM_000123_0001_2612101100_1.rec listagem.pdf", cmd_listing},
#endif
};

void Ajuda(std::ostream& o) {
  o << "usage: telvarim-cli COMMAND ARGS...\n       telvarim-cli help COMMAND\n       telvarim-cli --version\n\n"
       "commands:\n";
  for (const auto& c : kComandos) o << "  " << c.uso << "\n      " << c.resumo << "\n";
  o << "\nExit status 0 on success; otherwise non-zero with one line on stderr.\n";
}

void AjudaComando(std::ostream& o, const Comando& c) {
  o << "usage: telvarim-cli " << c.uso << "\n\n" << c.resumo << "\n";
  if (*c.opcoes) o << "\noptions:\n" << c.opcoes;
  o << "\nexample:\n  " << c.exemplo << "\n";
}

const Comando* AchaComando(const std::string& nome) {
  for (const auto& c : kComandos)
    if (nome == c.nome) return &c;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  // Interrupted (Ctrl+C, a terminal closed, kill), a command still removes its temporaries.
  telvarim::remove_temporaries_on_signals();
  const Argumentos todos = ArgumentosDoPrograma(argc, argv);
  if (todos.empty()) {
    Ajuda(std::cerr);
    return 2;
  }
  const std::string& nome = todos[0];
  if (nome == "--version" || nome == "-v") {
    std::cout << "telvarim-cli " << telvarim::kVersaoModulo << "\n";
    return 0;
  }
  if (nome == "--help" || nome == "-h" || nome == "help") {
    if (todos.size() < 2) {
      Ajuda(std::cout);
      return 0;
    }
    const Comando* c = AchaComando(todos[1]);
    if (!c) {
      std::cerr << "telvarim-cli: unknown command '" << todos[1] << "' (see telvarim-cli --help)\n";
      return 2;
    }
    AjudaComando(std::cout, *c);
    return 0;
  }
  if (const Comando* achado = AchaComando(nome)) {
    const Comando& c = *achado;
    const Argumentos args(todos.begin() + 1, todos.end());
    for (const auto& a : args)
      if (a == "--help" || a == "-h") {
        AjudaComando(std::cout, c);
        return 0;
      }
    try {
      return c.fn(args);
    } catch (const Saida& s) {
      return s.status;
    } catch (const std::bad_alloc&) {
      return Falha(c.nome, 0, "out of memory: the operation needed more memory than the system could give");
    } catch (const std::exception& e) {
      return Falha(c.nome, 0, e.what());
    } catch (...) {
      return Falha(c.nome, 0, "unexpected failure");
    }
  }
  std::cerr << "telvarim-cli: unknown command '" << nome << "' (see telvarim-cli --help)\n";
  return 2;
}
