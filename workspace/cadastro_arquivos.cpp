#include "cadastrotelvarim.h"

#include <system_error>

#include "cadastro_comum.h"
#include "cp1252.h"

namespace fs = std::filesystem;

namespace telvarim {

using namespace literais;
using namespace cadastro;

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
      std::error_code ec;
      fs::remove(PastaRascunho / CaminhoDeTexto(encontrado), ec);
    }
  }
  AtualizaListas();
  return r;
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
