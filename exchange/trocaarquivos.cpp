#include "trocaarquivos.h"

#include <optional>
#include <system_error>

#include "cp1252.h"
#include "pastas.h"

namespace fs = std::filesystem;

namespace telvarim {

using namespace literais;

std::string NomeEntregue(std::string_view nome) {
  const std::size_t corte = nome.size() > SufixoEntregue.size() ? nome.size() - SufixoEntregue.size() : 0;
  std::string r(nome.substr(0, corte));
  r += SufixoEntregue;
  return r;
}

std::string CodigoEmpresa(std::string_view nome) {
  if (nome.size() <= 3) return {};
  return std::string(nome.substr(3, 6));
}

std::string PerguntaDisco(std::string_view codigoEmpresa, std::string_view textoDrive) {
  std::string p = "       Coloque o Disco da Empresa ";
  p += '\n';
  p += codigoEmpresa;
  p += ' ';
  p += '\n';
  p += "      no Drive ";
  p += textoDrive;
  p += '!';
  return p;
}

std::string PerguntaApagar() { return "No local escolhido há arquivos de Recarga. Apaga os arquivos ?"_cp; }

namespace {

// What can be said against a copy before anything on the disk is touched.
std::optional<std::string> RecusaCopia(const fs::path& de, const fs::path& para) {
  for (const fs::path* p : {&de, &para}) {
    std::string texto = TextoCaminho(*p);
    if (texto.size() > kMaxCaminhoCopia) return "caminho com mais de 255 caracteres: "_cp + texto;
  }
  // Copying a folder onto itself would at best fail; on the generate side the clearing of the destination
  // would first delete the very files waiting to be handed over.
  std::error_code ec;
  if (fs::equivalent(de.parent_path(), para.parent_path(), ec) && !ec)
    return "a pasta de destino é a própria pasta de origem"_cp;
  return std::nullopt;
}

// The copy is made beside the target under a name no list shows and takes the target's name only once
// complete, so a file it replaces is never left half-written. It also keeps clear of copy_file's
// overwrite_existing, which MinGW's library refuses whenever the target exists.
std::optional<std::string> Copia(const fs::path& de, const fs::path& para) {
  std::error_code ec;
  if (!fs::is_regular_file(de, ec)) return "arquivo de origem não encontrado"_cp;
  const fs::path pasta = para.parent_path();
  if (!fs::is_directory(pasta, ec)) return "pasta de destino não encontrada: "_cp + TextoCaminho(pasta);
  fs::path temporario = para;
  temporario += "~";
  fs::remove(temporario, ec);  // a leftover of an interrupted copy
  fs::copy_file(de, temporario, ec);
  if (!ec) fs::rename(temporario, para, ec);
  if (ec) {
    std::error_code ec2;
    fs::remove(temporario, ec2);
    return "falha na cópia ("_cp + ec.message() + ")";
  }
  return std::nullopt;
}

// The source keeps its name when the rename fails: the copy is in place all the same, and the file simply
// stays in its list.
void MarcaEntregue(const fs::path& pasta, const std::string& nome) {
  std::error_code ec;
  fs::rename(pasta / CaminhoDeTexto(nome), pasta / CaminhoDeTexto(NomeEntregue(nome)), ec);
}

// Hands one file over: copies it from origem into destino and marks it in origem, or records why not.
// `antesDaCopia` runs once nothing stands against the copy, just before it. The work folder of the two
// (`trabalho`: Recebidos receiving, Gerados handing over) may be shared with another desk: it is held for
// the copy and the mark, as the workspace holds it for its own steps.
template <class AntesDaCopia>
void Entrega(const fs::path& origem, const std::string& nome, const fs::path& destino, const fs::path& trabalho,
             std::chrono::milliseconds espera, ResultadoTroca& r, AntesDaCopia&& antesDaCopia) {
  const fs::path de = origem / CaminhoDeTexto(nome);
  const fs::path para = destino / CaminhoDeTexto(nome);
  std::optional<std::string> motivo = RecusaCopia(de, para);
  TravaPastas trava;
  if (!motivo) {
    // A folder that cannot hold a lock at all (missing, read-only) is left to the copy to report.
    trava = TravaPastasDoPasso({trabalho}, "telvarim", espera);
    if (trava.emUso)
      motivo = "pasta "_cp + TextoCaminho(trabalho) + " em uso por " +
               (trava.ocupante.empty() ? std::string("outro programa") : trava.ocupante);
  }
  if (!motivo) {
    antesDaCopia();
    motivo = Copia(de, para);
  }
  if (motivo) {
    r.falhas.push_back({nome, std::move(*motivo)});
    return;
  }
  r.copiados.push_back(nome);
  MarcaEntregue(origem, nome);
}

}  // namespace

ResultadoTroca CarregaArquivos(const fs::path& origem, const std::vector<std::string>& nomes, const fs::path& destino,
                               std::chrono::milliseconds espera) {
  ResultadoTroca r;
  for (const std::string& nome : nomes) Entrega(origem, nome, destino, destino, espera, r, [] {});
  return r;
}

void ApagaDisco(const fs::path& pasta, OperadorTroca& operador) {
  const std::vector<std::string> achados = ListaArquivos(pasta, MascaraArquivosRecarga);
  if (achados.empty()) return;
  if (!operador.ConfirmaApagar(PerguntaApagar())) return;
  for (const std::string& nome : achados) {
    std::error_code ec;
    fs::remove(pasta / CaminhoDeTexto(nome), ec);
  }
}

ResultadoTroca GeraArquivos(const fs::path& origem, const std::vector<std::string>& nomes, const fs::path& destino,
                            std::string_view textoDrive, OperadorTroca& operador, std::chrono::milliseconds espera) {
  ResultadoTroca r;
  for (const std::string& nome : nomes) {
    if (!operador.ConfirmaDisco(PerguntaDisco(CodigoEmpresa(nome), textoDrive))) {
      ++r.recusados;
      continue;
    }
    Entrega(origem, nome, destino, origem, espera, r, [&] { ApagaDisco(destino, operador); });
  }
  return r;
}

std::string TextoResultado(const ResultadoTroca& r) {
  if (r.Completo()) return std::string(TextoProcessadosComSucesso);
  std::string t = r.falhas.size() == 1 ? "Arquivo não copiado:"_cp : "Arquivos não copiados:"_cp;
  for (const FalhaCopia& f : r.falhas) {
    t += '\n';
    t += f.arquivo;
    t += ": ";
    t += f.motivo;
  }
  return t;
}

void InformaResultado(const ResultadoTroca& r, OperadorTroca& operador) {
  if (r.Completo())
    operador.Mensagem(TextoResultado(r));
  else
    operador.Advertencia(TextoResultado(r));
}

}  // namespace telvarim
