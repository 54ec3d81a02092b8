// Fixtures of the workspace tests: a temporary work root, packing steps that can be made to fail, and
// builders for received files made with the project's own record formatters and LZW codec.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "cadastrotelvarim.h"
#include "cp1252.h"
#include "lzw.h"
#include "pastas.h"
#include "raiz_temporaria.h"
#include "records.h"

namespace telvarim::teste {

using namespace telvarim::literais;

// A stand-in for the envelope: "sealing" puts a four-byte mark before the compressed bytes and "opening"
// takes it off again, so a received file that is only compressed does not pass as sealed. Any step can be
// told to fail.
class CodecsTeste : public Codecs {
 public:
  static constexpr const char* kMarca = "\xFF\x00\xFF\x00";
  int falhaAbre = 0, falhaSela = 0;
  bool falhaExpande = false, falhaCompacta = false;
  int abertos = 0, selados = 0;

  ResultadoPasso AbreSelado(const std::filesystem::path& e, const std::filesystem::path& s) override {
    ++abertos;
    if (falhaAbre) return ResultadoPasso::Falha(falhaAbre);
    std::string b = LeArquivo(e);
    if (b.compare(0, 4, std::string(kMarca, 4)) != 0) return ResultadoPasso::Falha(1035);
    std::ofstream(s, std::ios::binary) << b.substr(4);
    return ResultadoPasso::Ok();
  }
  ResultadoPasso Expande(const std::filesystem::path& e, const std::filesystem::path& s) override {
    return falhaExpande ? ResultadoPasso::Falha(kLzwErroExpansao) : Codecs::Expande(e, s);
  }
  ResultadoPasso Compacta(const std::filesystem::path& e, const std::filesystem::path& s) override {
    return falhaCompacta ? ResultadoPasso::Falha(kLzwErroEscrita) : Codecs::Compacta(e, s);
  }
  ResultadoPasso Sela(const std::filesystem::path& e, const std::filesystem::path& s) override {
    ++selados;
    if (falhaSela) {
      std::ofstream(s, std::ios::binary) << "meio";  // a failed seal may leave part of its output
      return ResultadoPasso::Falha(falhaSela);
    }
    std::ofstream(s, std::ios::binary) << std::string(kMarca, 4) << LeArquivo(e);
    return ResultadoPasso::Ok();
  }
};

inline std::string Junta(const std::vector<std::string>& linhas) {
  std::string t;
  for (const auto& l : linhas) t += l + "\r\n";
  return t;
}

inline std::string Compacta(const std::string& texto) {
  std::vector<std::uint8_t> saida;
  EXPECT_EQ(
      lzw_compress(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(texto.data()), texto.size()),
                   saida),
      kLzwOk);
  return std::string(saida.begin(), saida.end());
}

inline std::string Expande(const std::string& comprimido) {
  std::vector<std::uint8_t> saida;
  EXPECT_EQ(lzw_expand(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(comprimido.data()),
                                                     comprimido.size()),
                       saida),
            kLzwOk);
  return std::string(saida.begin(), saida.end());
}

// Lines of a request or draft written by the test codecs.
inline std::vector<std::string> LinhasDe(const std::filesystem::path& p, bool selado) {
  std::string b = LeArquivo(p);
  if (selado) b = b.substr(4);
  return SeparaLinhas(Expande(b));
}

inline RegCabecalho Cabecalho(int empresa = 1234, const char* seq = "0056", const char* modo = "0") {
  RegCabecalho c;
  c.CodCabecalho = 42;
  c.CodEmpresa = empresa;
  c.NomeEmpresa = "EMPRESA EXEMPLO LTDA";
  c.DataCriacao = "050307";
  c.HoraCriacao = "140907";
  c.DataTermino = "050307";
  c.HoraTermino = "141000";
  c.Criptografado = 1;
  c.NomeArquivo = std::string("RM_001234_") + seq + "_0703051409_1.REC";
  c.NomeArquivo2 = "SEGUNDO";
  c.VersaoRecarga = "CENTRAL 5.1";
  c.VersaoRemota = "";
  c.SequencialArquivo = "SEQ 77";
  c.ModoArredondamento = modo;
  return c;
}

inline RegTipoCartao Tipo(int codigo, const char* descricao, int porCreditos, double percentual = 100,
                          double maximo = -1) {
  RegTipoCartao t;
  t.Codigo = codigo;
  t.Descricao = descricao;
  t.Descricao.resize(50, ' ');
  t.PorCreditos = porCreditos;
  t.PercentualTarifa = percentual;
  t.ValorMaximo = maximo >= 0 ? maximo : porCreditos == 0 ? 600 : 250;
  return t;
}

inline RegTarifa Tarifa(int codigo, const char* descricao, double valor, int auxiliar = 0) {
  RegTarifa t;
  t.Codigo = codigo;
  t.Descricao = descricao;
  t.Descricao.resize(10, ' ');
  t.Valor = valor;
  t.Auxiliar = auxiliar;
  return t;
}

inline RegUsuario Usuario(int codigo, int cartao, const std::string& nome, const std::string& matricula, int tipo,
                          GrupoRecarga g1, GrupoRecarga g2 = {}, GrupoRecarga g3 = {}, GrupoRecarga g4 = {}) {
  RegUsuario u;
  u.CodUsuario = codigo;
  u.NumCartao = cartao;
  u.Nome = nome;
  u.Nome.resize(50, ' ');
  u.Matricula = matricula;
  u.TipoCartao = tipo;
  u.Grupos = {g1, g2, g3, g4};
  // Groups 2-4 carry their CMM figure as the file does (for a money type that figure goes back unchanged).
  for (std::size_t g = 1; g < 4; ++g)
    if (u.Grupos[g].CMMArquivo == 0) u.Grupos[g].CMMArquivo = u.Grupos[g].CMM;
  for (std::size_t k = 0; k < 12; ++k) u.UltimasRecargas[k] = static_cast<double>(10 * (k + 1));
  return u;
}

// A received file's lines: header, card types, tariffs, details (each written with its card type's unit),
// trailer.
struct Recebido {
  RegCabecalho cabecalho = Cabecalho();
  std::vector<RegTipoCartao> tipos;
  std::vector<RegTarifa> tarifas;
  std::vector<RegUsuario> usuarios;

  std::vector<std::string> Linhas() const {
    std::vector<std::string> l{FormataCabecalho(cabecalho)};
    for (const auto& t : tipos) l.push_back(FormataTipoCartao(t));
    for (const auto& t : tarifas) l.push_back(FormataTarifa(t));
    for (const auto& u : usuarios) {
      int pc = 0;
      for (const auto& t : tipos)
        if (t.Codigo == u.TipoCartao) pc = t.PorCreditos;
      l.push_back(FormataDetalhe(u, pc));
    }
    RegRodape r;
    r.QtdRegistros = static_cast<int>(2 + tipos.size() + tarifas.size());
    l.push_back(FormataTrailer(r));
    return l;
  }
};

// The tables a processing of `r` fills, without the processing: for the rules tested as plain functions.
inline Tabelas TabelasDe(const Recebido& r) {
  Tabelas t;
  for (const auto& tipo : r.tipos) t.TiposCartao[static_cast<std::size_t>(tipo.Codigo)] = tipo;
  for (const auto& tarifa : r.tarifas) t.Tarifas[static_cast<std::size_t>(tarifa.Codigo)] = tarifa;
  for (std::size_t i = 0; i < r.usuarios.size(); ++i) t.Usuarios[i] = r.usuarios[i];
  return t;
}

// The usual file: a money card type 1 (maximum 600,00) and a credit card type 2 (100 %, maximum 250),
// tariffs 3 (2,30) and 5 (4,00).
inline Recebido RecebidoPadrao() {
  Recebido r;
  r.tipos = {Tipo(1, "VALE TRANSPORTE", 0), Tipo(2, "ESCOLAR", 1, 100, 250)};
  r.tarifas = {Tarifa(3, "URBANA", 2.30), Tarifa(5, "METRO", 4.00)};
  r.usuarios = {
      Usuario(101, 9001, "ZULMIRA", "120", 1, {3, 50, 12.34}),
      Usuario(102, 9002, "\xC1LVARO", "12", 1, {3, 40, 0}, {5, 7, 0}),
      Usuario(103, 9003, "BEATRIZ", "M3", 1, {0, 0, 0}, {5, 9, 0}),
      Usuario(201, 9101, "CARLOS", "C1", 2, {3, 30, 12}, {5, 4, 3}),
      Usuario(202, 9102, "DORA", "C2", 2, {5, 20, 7}),
  };
  return r;
}

// One record of an external value file: identifier, matrícula, value (comma at position 45), company,
// complement, file code, card-type code ("" leaves positions 70-71 out: a 69-column line).
inline std::string Registro(int id, const std::string& matricula, const std::string& valor,
                            const std::string& tipo = "") {
  char b[128];
  std::snprintf(b, sizeof b, "%07d%-21s%19s%010d%-2s%010d%s", id, matricula.c_str(), valor.c_str(), 1234, "AB", 77,
                tipo.c_str());
  return b;
}

// The detail records of a request's or draft's lines, read back with the units of `t`'s card types.
inline std::vector<RegUsuario> DetalhesDe(const std::vector<std::string>& linhas, const Tabelas& t) {
  std::vector<RegUsuario> v;
  for (std::size_t i = 0; i < linhas.size(); ++i) {
    if (linhas[i].rfind("01", 0) != 0) continue;
    const int n = static_cast<int>(i) + 1;
    RegUsuario u;
    EXPECT_TRUE(LeDetalhe(linhas[i], n, t.TipoCartao(TipoCartaoDoDetalhe(linhas[i], n)).PorCreditos, u)) << linhas[i];
    v.push_back(u);
  }
  return v;
}

class Workspace : public RaizTemporaria {
 protected:
  std::filesystem::path GravaRecebido(const std::string& nome, const std::vector<std::string>& linhas,
                                      const char* subpasta = "Recebidos", bool selado = true) {
    return Grava(std::filesystem::path(subpasta) / nome,
                 (selado ? std::string(CodecsTeste::kMarca, 4) : std::string()) + Compacta(Junta(linhas)));
  }

  // A new workspace on the current tree, opened (a draft offered, the lists read).
  CadastroTelvarim& Abre() {
    cad = std::make_unique<CadastroTelvarim>(op, Pastas(), tabelas, programa, relogio, codecs);
    resultado = cad->Abre();
    return *cad;
  }

  // Processes a file written into Recebidos (the first of the list).
  CadastroTelvarim& Processa(const Recebido& r, const std::string& nome = "RM_001234_0056_0703051409_1.rec") {
    GravaRecebido(nome, r.Linhas());
    Abre();
    resultado = cad->Processa();
    return *cad;
  }

  // Shows a card type and tariff, by their codes.
  CadastroTelvarim& Mostra(std::int32_t tipo, std::int32_t tarifa) {
    resultado = cad->MostraTipoTarifa(tipo, tarifa);
    return *cad;
  }

  // One column of every row of the view, as the grid shows it.
  std::vector<std::string> Coluna(int coluna = 5) const {
    std::vector<std::string> v;
    for (int l = 0; l < cad->QtdLinhas(); ++l) v.push_back(cad->TextoCelula(l, coluna));
    return v;
  }

  // Writes a value file (CR LF after each line unless `semFimUltima`) and imports it through the dialog.
  std::filesystem::path Importa(const std::vector<std::string>& linhas,
                                const std::string& nome = "RM_001234_0056_valores.rrm", bool semFimUltima = false) {
    std::string t;
    for (std::size_t i = 0; i < linhas.size(); ++i)
      t += linhas[i] + (semFimUltima && i + 1 == linhas.size() ? "" : "\r\n");
    const std::filesystem::path p = Grava(std::filesystem::path("externo") / nome, t);
    op.arquivos.push_back(TextoCaminho(p));  // the dialogs answered so far stay answered
    op.avisos.clear();
    resultado = cad->ImportaValores();
    return p;
  }

  const GrupoRecarga& Grupo(int usuario, int grupo = 0) const {
    return tabelas.Usuarios[static_cast<std::size_t>(usuario)].Grupos[static_cast<std::size_t>(grupo)];
  }
  double Valor(int usuario, int grupo = 0) const { return Grupo(usuario, grupo).ValorRecarga; }

  // The detail records of the last request (sealed, in Gerados) or draft (in Rascunho) written.
  std::vector<RegUsuario> DetalhesGerados(bool rascunho = false) const {
    const std::filesystem::path p = raiz / (rascunho ? "Rascunho" : "Gerados") / cad->ArquivoGerado;
    return DetalhesDe(LinhasDe(p, !rascunho), tabelas);
  }

  OperadorRoteirizado op;
  Tabelas tabelas;
  ValoresPrograma programa;
  RelogioFixo relogio{DataHora{2026, 12, 10, 11, 5, 30}};
  CodecsTeste codecs;
  std::unique_ptr<CadastroTelvarim> cad;
  Resultado resultado;  // of the last operation run through the helpers above
};

}  // namespace telvarim::teste
