#include "cadastrotelvarim.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <system_error>

#include "cadastro_comum.h"
#include "cp1252.h"
#include "lzw.h"
#include "respostas.h"

namespace fs = std::filesystem;

namespace telvarim {

using namespace literais;
using namespace cadastro;

namespace {

// The received file a draft's log names: the last "Carregando Arquivo : " line that names a received file
// (a draft saved after resuming one names the draft it resumed instead). Its plain name; empty when none.
std::string RecebidoDoLog(const fs::path& log) {
  static const std::string kMarca = "Carregando Arquivo : ";
  std::ifstream entrada(log, std::ios::binary);
  std::string linha, nome;
  while (std::getline(entrada, linha)) {
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    if (linha.rfind(kMarca, 0) != 0) continue;
    // The path as it was written, with either separator, whatever system reads it now.
    const std::string caminho = linha.substr(kMarca.size());
    const std::size_t barra = caminho.find_last_of("\\/");
    std::string n = barra == std::string::npos ? caminho : caminho.substr(barra + 1);
    if (CasaMascara(n, MascaraRecebidos)) nome = std::move(n);
  }
  return nome;
}

// The identity of the received file a draft answers: the company of its header and the sequence in the
// header's file name (characters 11-14), the draft being the request it would have become.
std::optional<IdentidadeRecebido> IdentidadeDoRascunho(const fs::path& rascunho) {
  std::ifstream entrada(rascunho, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(entrada)), std::istreambuf_iterator<char>());
  std::vector<std::uint8_t> texto;
  if (lzw_expand(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), texto,
                 {.limiteSaida = kLzwLimiteRecebido}) != kLzwOk)
    return std::nullopt;
  const std::string_view t(reinterpret_cast<const char*>(texto.data()), texto.size());
  RegCabecalho c;
  try {
    if (!LeCabecalho(t.substr(0, t.find_first_of("\r\n")), 1, c)) return std::nullopt;
  } catch (const ErroConversao&) {
    return std::nullopt;
  }
  const std::optional<std::int32_t> seq = LeInteiro(Trim(SeqDoNomeArquivo(c)));
  if (!seq) return std::nullopt;
  return IdentidadeRecebido{c.CodEmpresa, *seq};
}

// The identity a received file's name carries: "RM_" + company (6 digits) + "_" + sequence (4 digits) + "_".
std::optional<IdentidadeRecebido> IdentidadeDoNome(std::string_view nome) {
  const auto Digitos = [&](std::size_t de, std::size_t n) {
    const std::string_view d = nome.substr(de, n);
    return std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (nome.size() < 15 || MaiusculasCp1252(nome.substr(0, 3)) != "RM_" || nome[9] != '_' || nome[14] != '_' ||
      !Digitos(3, 6) || !Digitos(10, 4))
    return std::nullopt;
  return IdentidadeRecebido{*LeInteiro(nome.substr(3, 6)), *LeInteiro(nome.substr(10, 4))};
}

}  // namespace

void ListaArquivosTela::Mostra(const fs::path& pasta, std::string_view mascara) {
  Directory = pasta;
  Mask = std::string(mascara);
  Update();
}

void ListaArquivosTela::Update() {
  Items = ListaArquivos(Directory, Mask);
  if (ItemIndex >= Count()) ItemIndex = Count() - 1;
}

fs::path ListaArquivosTela::Caminho(int i) const {
  if (i < 0 || i >= Count()) return {};
  return Directory / CaminhoDeTexto(Items[static_cast<std::size_t>(i)]);
}

CadastroTelvarim::CadastroTelvarim(Operador& operador, const PastasTrabalho& pastas, Tabelas& tabelas,
                                   ValoresPrograma& programa, const Relogio& relogio, Codecs& codecs)
    : op_(operador), pastas_(pastas), tab_(tabelas), prog_(programa), relogio_(relogio), codecs_(codecs) {
  PastaRascunho = pastas_.Rascunho();
  PastaGerados = pastas_.Gerados();
}

CadastroTelvarim::~CadastroTelvarim() { Fecha(); }

// --- opening and closing ---------------------------------------------------------------------------------

void CadastroTelvarim::CriaPastasTrabalho() {
  std::error_code ec;
  for (const fs::path& p : {pastas_.Recebidos(), pastas_.Gerados(), pastas_.Rascunho(), pastas_.Processados()})
    fs::create_directories(p, ec);  // a folder that cannot be made shows as an empty list
}

Resultado CadastroTelvarim::Abre() {
  CriaPastasTrabalho();
  IndiceArquivoRecebido = 0;
  UltimoAcessado.clear();
  PaginaAtiva = Pagina::Arquivos;
  PastaRascunho = pastas_.Rascunho();
  PastaGerados = pastas_.Gerados();
  RetomandoRascunho = false;

  Resultado r;
  const std::vector<std::string> rascunhos = Rascunhos(PastaRascunho);
  if (!rascunhos.empty()) {
    const std::string encontrado = rascunhos.back();
    if (op_.Confirma("Existe arquivo de Recarga em Alteração.Continua Alteração?"_cp)) {
      Recebidos.Mostra(PastaRascunho, MascaraRascunhoRetomado);
      Recebidos.ItemIndex = Recebidos.Count() > 0 ? 0 : -1;
      RetomandoRascunho = true;
      r = Processa();
    } else {
      DescartaRascunho(encontrado);
      AtualizaListas();
      PaginaAtiva = Pagina::Log;  // the log page says what became of the draft and its received file
      return r;
    }
  }
  AtualizaListas();
  return r;
}

void CadastroTelvarim::DescartaRascunho(const std::string& encontrado) {
  const fs::path rascunho = PastaRascunho / CaminhoDeTexto(encontrado);
  const std::vector<std::string> logs =
      ListaArquivos(PastaRascunho, TextoCaminho(CaminhoDeTexto(encontrado).stem()) + ".LOG");
  const fs::path log = logs.empty() ? fs::path() : PastaRascunho / CaminhoDeTexto(logs.front());
  const fs::path processados = pastas_.Processados(), recebidos = pastas_.Recebidos();

  // Saving the draft took its received file to Processados; with the draft gone, nothing else would lead
  // back to it. Its log names it; else its identity does.
  std::optional<IdentidadeRecebido> id = IdentidadeDoRascunho(rascunho);
  std::string recebido;
  std::error_code ec;
  if (!log.empty()) {
    std::string nome = RecebidoDoLog(log);
    if (!nome.empty() && fs::is_regular_file(processados / CaminhoDeTexto(nome), ec)) recebido = std::move(nome);
  }
  if (recebido.empty() && id) {
    const std::vector<std::string> mesmos =
        ListaArquivos(processados, "RM_" + Zeros(id->empresa, 6) + "_" + Zeros(id->sequencia, 4) + "_" +
                                       std::string(MascaraRecebidos));
    if (!mesmos.empty()) recebido = mesmos.back();
  }
  if (!id && !recebido.empty()) id = IdentidadeDoNome(recebido);
  // A received file already answered stays where answered files belong.
  std::string pedido;
  if (id) {
    if (const std::optional<RegistroResposta> r = RespostaRegistrada(pastas_.Raiz(), *id))
      pedido = r->pedido;
    else if (const std::optional<std::string> p = PedidoEmGerados(pastas_.Gerados(), *id))
      pedido = *p;
  }
  const bool volta = id && !recebido.empty() && pedido.empty();

  std::string aviso = "O Rascunho "_cp + encontrado + " será apagado"_cp;
  if (volta)
    aviso +=
        " e o arquivo " + recebido + " voltará para "_cp + TextoCaminho(recebidos) + ", para ser processado novamente.";
  else if (!pedido.empty())
    aviso += ". O arquivo recebido já foi respondido pelo pedido "_cp + pedido + ".";
  else
    aviso += ". O arquivo recebido do rascunho não foi encontrado em "_cp + TextoCaminho(processados) + ".";
  op_.Informa(aviso);
  op_.LogAcrescenta("Rascunho não retomado : "_cp + TextoCaminho(rascunho));

  std::vector<fs::path> escritas{PastaRascunho};
  if (volta) escritas.insert(escritas.end(), {processados, recebidos});
  TravaPastas travas;
  if (!ReservaPastas(escritas, travas)) return;  // the draft stays, and so does the question

  if (volta) {
    const fs::path de = processados / CaminhoDeTexto(recebido), para = recebidos / CaminhoDeTexto(recebido);
    ec = move_file_no_replace(de, para);
    if (ec && file_in_place(de, para)) {
      op_.LogAcrescenta(LinhaMotivo(CausaSistema("flush", ec, recebidos)));
      ec.clear();
    }
    if (ec) {
      // Without its received file in reach, the draft is the only way back to the work: it stays.
      const std::string m = "Erro ao Mover Arquivo "_cp + recebido + " para " + TextoCaminho(recebidos) +
                            " - O Rascunho foi mantido. Verifique!"_cp;
      op_.Mensagem(m);
      op_.LogAcrescenta(m);
      RegistraFalha(CausaSistema("move", ec, ec == std::errc::file_exists ? para : de));
      return;
    }
    op_.LogAcrescenta("Arquivo " + recebido + " Movido para " + TextoCaminho(recebidos) + " ");
  } else if (!pedido.empty()) {
    op_.LogAcrescenta("Arquivo já respondido pelo pedido "_cp + pedido + ": o arquivo recebido fica em "_cp +
                      TextoCaminho(processados));
  } else {
    op_.LogAcrescenta("Arquivo recebido do rascunho não encontrado em "_cp + TextoCaminho(processados));
  }
  for (const fs::path& p : {rascunho, log}) {
    if (p.empty()) continue;
    const bool apagado = fs::remove(p, ec);
    op_.LogAcrescenta((apagado ? "Arquivo Apagado ==> " : "Erro ao Apagar Arquivo ==> ") + TextoCaminho(p));
  }
}

void CadastroTelvarim::AtualizaListas() {
  ImportandoArquivo = false;
  if (PaginaAtiva != Pagina::Arquivos) return;
  Recebidos.Mostra(pastas_.Recebidos(), MascaraRecebidos);
  if (Recebidos.Count() > 0) Recebidos.ItemIndex = 0;
  Processados.Mostra(pastas_.Processados(), MascaraRecebidos);
  Gerados.Mostra(pastas_.Gerados(), MascaraGerados);
}

void CadastroTelvarim::Fecha() {
  LinhasArquivo.reset();
  LinhasPedido.reset();
}

void CadastroTelvarim::VoltaAosArquivos() {
  PaginaAtiva = Pagina::Arquivos;
  AtualizaListas();
}

}  // namespace telvarim
