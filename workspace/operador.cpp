#include "operador.h"

namespace telvarim {

void OperadorRoteirizado::Mensagem(const std::string& t) { avisos.push_back({Aviso::Tipo::Mensagem, t}); }

bool OperadorRoteirizado::Confirma(const std::string& t) {
  avisos.push_back({Aviso::Tipo::Confirmacao, t});
  return proximaResposta_ < respostas.size() ? respostas[proximaResposta_++] : respostaPadrao;
}

void OperadorRoteirizado::Informa(const std::string& t) { avisos.push_back({Aviso::Tipo::Informacao, t}); }
void OperadorRoteirizado::Adverte(const std::string& t) { avisos.push_back({Aviso::Tipo::Advertencia, t}); }
void OperadorRoteirizado::Erro(const std::string& t) { avisos.push_back({Aviso::Tipo::Erro, t}); }
void OperadorRoteirizado::Status(const std::string& t) { status.push_back(t); }
void OperadorRoteirizado::LogAcrescenta(const std::string& l) { log.push_back(l); }
void OperadorRoteirizado::LogLimpa() { log.clear(); }
std::vector<std::string> OperadorRoteirizado::LogLinhas() const { return log; }
void OperadorRoteirizado::ProcessaMensagens() { ++mensagensProcessadas; }

std::string OperadorRoteirizado::AbreArquivo(const std::string&, const std::string&) {
  return proximoArquivo_ < arquivos.size() ? arquivos[proximoArquivo_++] : std::string();
}

void OperadorRoteirizado::MostraRelatorio(const Relatorio& r) { relatorios.push_back(r); }

std::vector<std::string> OperadorRoteirizado::Textos() const {
  std::vector<std::string> v;
  for (const auto& a : avisos) v.push_back(a.texto);
  return v;
}

std::vector<std::string> OperadorRoteirizado::Textos(Aviso::Tipo tipo) const {
  std::vector<std::string> v;
  for (const auto& a : avisos)
    if (a.tipo == tipo) v.push_back(a.texto);
  return v;
}

}  // namespace telvarim
