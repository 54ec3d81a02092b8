// telvarim-cli: the recharge-file codecs, the envelope and the workspace engine from the command line, for
// integrators and for tests.
#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <string_view>

#include "commands.h"
#include "safe_file.h"

namespace {

struct Comando {
  const char* nome;
  const char* uso;
  const char* resumo;
  int (*fn)(const telvarim::cli::Argumentos&);
};

using namespace telvarim::cli;

constexpr Comando kComandos[] = {
    {"compress", "compress IN OUT", "LZW-compress a file (16-bit codes)", cmd_compress},
    {"expand", "expand IN OUT", "expand an LZW-compressed file", cmd_expand},
    {"seal", "seal IN OUT [--key PRIV] [--to PUB]... [--cipher 0-4] [--digest 0|3|5]",
     "seal a file (sign, encrypt to the recipients)", cmd_seal},
    {"open", "open IN OUT [--key PRIV] [--from PUB] [--index N]", "open a sealed file", cmd_open},
    {"pack", "pack TEXT OUT [--as-central]", "compress then seal a record text", cmd_pack},
    {"unpack", "unpack SEALED TEXT [--as-central]", "open then expand a sealed file", cmd_unpack},
    {"keygen", "keygen [--bits 512] NAME", "make a key pair NAME.key / NAME.pub", cmd_keygen},
    {"sample", "sample [--holders N] [--seed S] OUT",
     "write a sample received file, sealed as the central system sends it (N 0-10000, default 50; seed "
     "default 1)",
     cmd_sample},
    {"batch", "batch [--root DIR] [--values FILE] NAME",
     "process a received file, import a value file when given, and generate its request", cmd_batch},
#ifdef TELVARIM_COM_RELATORIOS
    {"listing", "listing [--root DIR] [--order codigo|nome|matricula] NAME OUT.pdf",
     "process a received file and write its printed listing as PDF (nothing generated or moved)", cmd_listing},
#endif
};

void Ajuda(std::ostream& o) {
  o << "usage: telvarim-cli COMMAND ARGS...\n\ncommands:\n";
  for (const auto& c : kComandos) o << "  " << c.uso << "\n      " << c.resumo << "\n";
  o << "\nExit status 0 on success; otherwise non-zero with one line on stderr.\n";
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
  if (nome == "--help" || nome == "-h" || nome == "help") {
    Ajuda(std::cout);
    return 0;
  }
  for (const auto& c : kComandos) {
    if (nome != c.nome) continue;
    const Argumentos args(todos.begin() + 1, todos.end());
    for (const auto& a : args)
      if (a == "--help" || a == "-h") {
        std::cout << "usage: telvarim-cli " << c.uso << "\n";
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
