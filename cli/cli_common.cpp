#include "cli_common.h"

#include <algorithm>
#include <charconv>
#include <iostream>

#include "cp1252.h"
#include "windows_sistema.h"

#ifdef _WIN32
// After windows.h, whose types it uses.
#include <shellapi.h>
#endif

namespace telvarim::cli {

Argumentos ArgumentosDoPrograma(int argc, char** argv) {
#ifdef _WIN32
  (void)argc;
  (void)argv;
  // Console output in UTF-8, as the program writes it.
  SetConsoleOutputCP(CP_UTF8);
  int n = 0;
  LPWSTR* largos = CommandLineToArgvW(GetCommandLineW(), &n);
  Argumentos r;
  for (int i = 1; largos != nullptr && i < n; ++i) {
    const int tamanho = WideCharToMultiByte(CP_UTF8, 0, largos[i], -1, nullptr, 0, nullptr, nullptr);
    std::string a(tamanho > 0 ? static_cast<std::size_t>(tamanho) : 1u, '\0');
    WideCharToMultiByte(CP_UTF8, 0, largos[i], -1, a.data(), tamanho, nullptr, nullptr);
    a.resize(a.size() - 1);  // the terminating zero
    r.push_back(std::move(a));
  }
  LocalFree(largos);
  return r;
#else
  return Argumentos(argv + (argc > 0 ? 1 : 0), argv + argc);
#endif
}

std::filesystem::path Caminho(const std::string& argumento) {
#ifdef _WIN32
  return std::filesystem::path(std::u8string(argumento.begin(), argumento.end()));
#else
  return std::filesystem::path(argumento);
#endif
}

int Falha(std::string_view op, int code, std::string_view mensagem, int status) {
  std::cerr << "telvarim-cli: " << op << ": ";
  if (code != 0) std::cerr << "error " << code << ": ";
  std::cerr << mensagem << '\n';
  return status == 0 ? 1 : status;
}

FileLock ReservaRaiz(std::string_view op, const PastasTrabalho& pastas) {
  ReservaPasta r = ReservaPastaTrabalho(pastas, "telvarim-cli " + std::string(op));
  if (r.Reservada()) return std::move(r.trava);
  const std::string pasta = "'" + Cp1252ParaUtf8(TextoCaminho(pastas.Raiz())) + "'";
  if (r.emUso)
    throw Saida{Falha(op, 0,
                      "the work folder " + pasta + " is in use by " +
                          (r.ocupante.empty() ? std::string("another program") : r.ocupante) + "; nothing was changed",
                      kSaidaPastaEmUso)};
  throw Saida{Falha(op, r.erro.value(), "cannot reserve the work folder " + pasta + ": " + system_error_text(r.erro))};
}

std::string MotivoCodec(Codec codec, int code, const CodecFiles& arquivos) {
  return Cp1252ParaUtf8(codec_result_text(codec, code, arquivos));
}

int Uso(std::string_view op, std::string_view mensagem, std::string_view uso) {
  std::cerr << "telvarim-cli: " << op << ": " << mensagem << " (usage: telvarim-cli " << uso << ")\n";
  return 2;
}

bool Linha::Tem(std::string_view nome) const {
  return std::any_of(opcoes.begin(), opcoes.end(), [&](const auto& o) { return o.first == nome; });
}

std::optional<std::string> Linha::Valor(std::string_view nome) const {
  std::optional<std::string> v;
  for (const auto& o : opcoes)
    if (o.first == nome) v = o.second;
  return v;
}

std::vector<std::string> Linha::Valores(std::string_view nome) const {
  std::vector<std::string> v;
  for (const auto& o : opcoes)
    if (o.first == nome) v.push_back(o.second);
  return v;
}

bool Analisa(const Argumentos& args, const std::vector<std::string>& comValor, const std::vector<std::string>& flags,
             Linha& out, std::string& erro) {
  auto contem = [](const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() > 2 && a.rfind("--", 0) == 0) {
      std::string nome = a.substr(2), valor;
      bool temIgual = false;
      if (auto eq = nome.find('='); eq != std::string::npos) {
        valor = nome.substr(eq + 1);
        nome = nome.substr(0, eq);
        temIgual = true;
      }
      if (contem(flags, nome) && !temIgual) {
        out.opcoes.emplace_back(nome, "");
      } else if (contem(comValor, nome)) {
        if (!temIgual) {
          if (i + 1 >= args.size()) {
            erro = "option --" + nome + " needs a value";
            return false;
          }
          valor = args[++i];
        }
        out.opcoes.emplace_back(nome, valor);
      } else {
        erro = "unknown option " + a;
        return false;
      }
    } else {
      out.posicionais.push_back(a);
    }
  }
  return true;
}

std::optional<long long> Inteiro(std::string_view s, long long min, long long max) {
  long long v = 0;
  if (!s.empty() && s[0] == '+') s.remove_prefix(1);
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || p != s.data() + s.size() || v < min || v > max) return std::nullopt;
  return v;
}

}  // namespace telvarim::cli
