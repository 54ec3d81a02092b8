#include "cli_common.h"

#include <algorithm>
#include <charconv>
#include <iostream>

#include "cp1252.h"

namespace telvarim::cli {

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
