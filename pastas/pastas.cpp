#include "pastas.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <system_error>

#include "cp1252.h"

namespace fs = std::filesystem;

namespace telvarim {

fs::path RaizTrabalho() {
  if (const char* r = std::getenv("TELVARIM_ROOT"); r && *r) return fs::path(r);
#ifdef _WIN32
  return fs::path("C:\\Quintaro\\Telvarim");
#else
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : ".") / "Quintaro" / "Telvarim";
#endif
}

namespace {

bool CasaDesde(std::string_view n, std::string_view m) {
  // Iterative matcher with one back-track point for the last '*': linear enough for file names.
  std::size_t i = 0, j = 0, estrela = std::string_view::npos, marca = 0;
  while (i < n.size()) {
    if (j < m.size() && (m[j] == '?' || m[j] == n[i])) {
      ++i;
      ++j;
    } else if (j < m.size() && m[j] == '*') {
      estrela = j++;
      marca = i;
    } else if (estrela != std::string_view::npos) {
      j = estrela + 1;
      i = ++marca;
    } else {
      return false;
    }
  }
  while (j < m.size() && m[j] == '*') ++j;
  return j == m.size();
}

}  // namespace

bool CasaMascara(std::string_view nome, std::string_view mascara) {
  return CasaDesde(MaiusculasCp1252(nome), MaiusculasCp1252(mascara));
}

std::vector<std::string> ListaArquivos(const fs::path& pasta, std::string_view mascara) {
  std::vector<std::string> nomes;
  std::error_code ec;
  fs::directory_iterator it(pasta, ec), fim;
  for (; !ec && it != fim; it.increment(ec)) {
    std::error_code ec2;
    if (!it->is_regular_file(ec2)) continue;
    std::string nome = TextoCaminho(it->path().filename());
    if (nome.empty() || OcultoPeloSistema(it->path())) continue;
    if (CasaMascara(nome, mascara)) nomes.push_back(std::move(nome));
  }
  std::sort(nomes.begin(), nomes.end(), [](const std::string& a, const std::string& b) {
    int c = ComparaBytes(MaiusculasCp1252(a), MaiusculasCp1252(b));
    return c != 0 ? c < 0 : ComparaBytes(a, b) < 0;
  });
  return nomes;
}

ReservaPasta ReservaPastaTrabalho(const PastasTrabalho& pastas, std::string_view programa) {
  ReservaPasta r;
  fs::create_directories(pastas.Raiz(), r.erro);
  if (r.erro) return r;
  LockAttempt t = try_lock_file(pastas.Raiz() / kArquivoTrava,
                                std::string(programa) + ", pid " + std::to_string(current_process_id()));
  r.trava = std::move(t.lock);
  r.emUso = t.busy;
  r.erro = t.error;
  // Shown to people, in any character set: only the printable ASCII of what another program wrote.
  for (char c : t.holder)
    if (c >= 0x20 && c < 0x7F) r.ocupante += c;
  r.ocupante = Trim(r.ocupante);
  return r;
}

fs::path CaminhoTemporario(const fs::path& pasta, std::string_view base) {
  static std::atomic<unsigned> contador{0};
  return pasta / CaminhoDeTexto(std::string(base) + "." + std::to_string(current_process_id()) + "-" +
                                std::to_string(++contador) + std::string(kSufixoParcial));
}

fs::path CaminhoParcial(const fs::path& final) {
  return CaminhoTemporario(final.parent_path(), TextoCaminho(final.filename()));
}

void RemoveSobras(const fs::path& pasta) {
  std::error_code ec;
  std::vector<fs::path> sobras;
  for (fs::directory_iterator it(pasta, ec), fim; !ec && it != fim; it.increment(ec)) {
    const std::string nome = MaiusculasCp1252(TextoCaminho(it->path().filename()));
    const std::string sufixo = MaiusculasCp1252(std::string(kSufixoParcial));
    const bool parcial =
        nome.size() > sufixo.size() && nome.compare(nome.size() - sufixo.size(), sufixo.size(), sufixo) == 0;
    std::error_code ec2;
    if ((parcial || nome == "TMP1.REC" || nome == "TMP2.REC") && it->is_regular_file(ec2)) sobras.push_back(it->path());
  }
  for (const fs::path& p : sobras) fs::remove(p, ec);
}

TravaPastas TravaPastasDoPasso(std::vector<fs::path> pastas, std::string_view programa,
                               std::chrono::milliseconds espera) {
  // The same folder under two names (a shared folder, a link) is locked once: a second lock on the same file
  // would wait for the first. Everybody takes them in the order of their real paths.
  std::vector<std::pair<fs::path, fs::path>> reais;
  for (const fs::path& p : pastas) {
    std::error_code ec;
    fs::path real = fs::weakly_canonical(p, ec);
    if (ec) real = fs::absolute(p, ec);
    reais.emplace_back(real, p);
  }
  std::sort(reais.begin(), reais.end());
  reais.erase(std::unique(reais.begin(), reais.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
              reais.end());
  TravaPastas r;
  const std::string dono = std::string(programa) + ", pid " + std::to_string(current_process_id());
  for (const auto& [real, pasta] : reais) {
    LockAttempt t = lock_file_waiting(real / kArquivoTrava, dono, espera);
    if (!t.lock.held()) {
      r.emUso = t.busy;
      r.erro = t.error;
      r.pasta = pasta;
      for (char c : t.holder)
        if (c >= 0x20 && c < 0x7F) r.ocupante += c;
      r.ocupante = Trim(r.ocupante);
      r.travas.clear();  // all or none
      return r;
    }
    r.travas.push_back(std::move(t.lock));
  }
  return r;
}

std::vector<std::string> Rascunhos(const fs::path& pasta) {
  std::vector<std::string> r = ListaArquivos(pasta, MascaraRascunhos);
  // The packing's temporaries share the extension; a leftover one is never a draft to resume.
  std::erase_if(r, [](const std::string& n) {
    const std::string m = MaiusculasCp1252(n);
    return m == "TMP1.REC" || m == "TMP2.REC";
  });
  return r;
}

std::string TextoCaminho(const fs::path& p) {
  auto u8 = p.u8string();
  return Utf8ParaCp1252(std::string_view(reinterpret_cast<const char*>(u8.data()), u8.size()));
}

std::string TextoCaminhoGerado(const fs::path& p) {
  std::string t = TextoCaminho(p);
#ifdef _WIN32
  if (t.size() >= 2 && t[1] == ':' && t[0] >= 'A' && t[0] <= 'Z') t[0] = static_cast<char>(t[0] - 'A' + 'a');
#endif
  return t;
}

fs::path CaminhoDeTexto(std::string_view cp1252) {
  std::string u8 = Cp1252ParaUtf8(cp1252);
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(u8.data()), u8.size()));
}

}  // namespace telvarim
