#include "sessao.h"

#include <algorithm>
#include <iostream>

#include "cli_common.h"
#include "cp1252.h"
#include "pastas.h"

namespace telvarim::cli {

namespace {

void Mostra(const std::string& t) { std::cerr << Cp1252ParaUtf8(t) << '\n'; }

}  // namespace

void OperadorConsole::Mensagem(const std::string& t) { Mostra(t); }
bool OperadorConsole::Confirma(const std::string& t) {
  Mostra(t);
  return false;
}
void OperadorConsole::Informa(const std::string& t) { Mostra(t); }
void OperadorConsole::Adverte(const std::string& t) { Mostra(t); }
void OperadorConsole::Erro(const std::string& t) { Mostra(t); }

void OperadorConsole::LogAcrescenta(const std::string& linha) {
  OperadorRoteirizado::LogAcrescenta(linha);
  std::cout << Cp1252ParaUtf8(linha) << '\n';
}

void OperadorConsole::MostraRelatorio(const Relatorio& r) {
  OperadorRoteirizado::MostraRelatorio(r);
  if (!mostraRelatorios || r.tipo != Relatorio::Tipo::Importacao) return;
  Mostra(r.qrlnomecadastro);
  Mostra(r.cabecalhoColunas);
  for (std::size_t i = 1; i < r.linhas.size(); ++i) Mostra(r.linhas[i]);
}

int FalhaSessao(const char* comando, const CadastroTelvarim& c, const std::string& oQue, const std::string& depois,
                int status) {
  const CausaFalha& causa = c.UltimaFalha;
  const std::string porque = causa.Vazia() ? std::string("see the log") : causa.reason;
  return Falha(comando, causa.codigo, oQue + " (" + porque + ")" + depois, status);
}

int ProcessaRecebido(const char* comando, CadastroTelvarim& c, const std::string& nomeUtf8) {
  c.CriaPastasTrabalho();
  c.AtualizaListas();
  const std::string nome = Utf8ParaCp1252(nomeUtf8);
  auto& lista = c.Recebidos;
  auto it = std::find(lista.Items.begin(), lista.Items.end(), nome);
  if (it == lista.Items.end())
    return Falha(comando, 0,
                 "no received file named " + nomeUtf8 + " in " + Cp1252ParaUtf8(TextoCaminho(c.pastas().Recebidos())));
  lista.ItemIndex = static_cast<int>(it - lista.Items.begin());
  if (!c.Processa().Feito() || c.PaginaAtiva != CadastroTelvarim::Pagina::Digitacao)
    return FalhaSessao(comando, c, "the received file was not processed", "; no request written", kSaidaFalha);
  return 0;
}

}  // namespace telvarim::cli
