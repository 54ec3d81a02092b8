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
  lbltipoultacc.Caption = "Último Arquivo Acessado : "_cp;
  lbltipoultacc.Visible = lblultacesso.Visible = false;
  PastaRascunho = pastas_.Rascunho();
  PastaGerados = pastas_.Gerados();
}

CadastroTelvarim::~CadastroTelvarim() { FormClose(); }

// --- life of the window ----------------------------------------------------------------------------------

void CadastroTelvarim::CriaPastasTrabalho() {
  std::error_code ec;
  for (const fs::path& p : {pastas_.Recebidos(), pastas_.Gerados(), pastas_.Rascunho(), pastas_.Processados()})
    fs::create_directories(p, ec);  // a folder that cannot be made shows as an empty list
}

void CadastroTelvarim::FormCreate() {
  CriaPastasTrabalho();
  IndiceArquivoRecebido = 0;
  UltimoAcessado.clear();
  PaginaAtiva = Pagina::tbarquivos;
  PastaRascunho = pastas_.Rascunho();
  PastaGerados = pastas_.Gerados();
  RetomandoRascunho = false;

  const std::vector<std::string> rascunhos = Rascunhos(PastaRascunho);
  if (!rascunhos.empty()) {
    const std::string encontrado = rascunhos.back();
    if (op_.Confirma("Existe arquivo de Recarga em Alteração.Continua Alteração?"_cp)) {
      FLBArquivosRecargaRecebidos.Mostra(PastaRascunho, MascaraRascunhoRetomado);
      FLBArquivosRecargaRecebidos.ItemIndex = FLBArquivosRecargaRecebidos.Count() > 0 ? 0 : -1;
      RetomandoRascunho = true;
      btnprocessarClick();
    } else {
      std::error_code ec;
      fs::remove(PastaRascunho / CaminhoDeTexto(encontrado), ec);
    }
  }
  PageControl1Change();
}

void CadastroTelvarim::PageControl1Change() {
  ImportandoArquivo = false;
  if (PaginaAtiva != Pagina::tbarquivos) return;

  auto& rec = FLBArquivosRecargaRecebidos;
  rec.Mostra(pastas_.Recebidos(), MascaraRecebidos);
  lblarqproc.Caption = NumeroTexto(rec.Count());
  if (rec.Count() > 0) rec.ItemIndex = 0;

  auto& proc = FLBArquivosRecargaProcessados;
  proc.Mostra(pastas_.Processados(), MascaraRecebidos);
  lblarqjaproc.Caption = NumeroTexto(proc.Count());
  lblultimoarquivo.Caption = proc.Count() > 0 ? proc.Items.back() : "Não Há Arquivos Processados"_cp;

  lblultacesso.Caption = UltimoAcessado;
  lblultacesso.Visible = lbltipoultacc.Visible = !UltimoAcessado.empty();

  auto& ger = FLBArquivosRecargaGerados;
  ger.Mostra(pastas_.Gerados(), MascaraGerados);
  lblarqgerado.Caption = NumeroTexto(ger.Count());
  lblultimogerado.Caption = ger.Count() > 0 ? ger.Items.back() : "Não Há Arquivos Gerados"_cp;
}

void CadastroTelvarim::FormClose() {
  LinhasArquivo.reset();
  LinhasPedido.reset();
}

void CadastroTelvarim::btnFecharClick() {
  PaginaAtiva = Pagina::tbarquivos;
  PageControl1Change();
}

}  // namespace telvarim
