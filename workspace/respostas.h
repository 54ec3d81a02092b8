// The answer ledger: which received files were answered, by which request. A received file is known by its
// header's company and sequence (its identity), not by its name, which a copy may change and whose company
// need not be the header's. Answering one identity twice means paying twice, so before a request is written
// the workspace asks two witnesses whether that identity was answered:
//   - the ledger, an append-only file in the work root that no list shows (kArquivoRespostas), one line per
//     answer, flushed to the disk before the received file moves;
//   - the requests in Gerados, whose names carry company and sequence, handed over ("..._4.REC") or not; they
//     cover a request put in place just before a crash, and roots that share Gerados.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "datetime.h"

namespace telvarim {

inline constexpr std::string_view kArquivoRespostas = ".telvarim.respostas";

struct IdentidadeRecebido {
  std::int32_t empresa = 0;
  std::int32_t sequencia = 0;
  bool operator==(const IdentidadeRecebido&) const = default;
};

struct RegistroResposta {
  IdentidadeRecebido identidade;
  std::string recebido;  // the received file's name when it was answered (cp1252)
  std::string pedido;    // the request's name (cp1252)
  std::string quando;    // "dd/mm/yyyy hh:nn:ss"
};

// The ledger's answer for that identity, the first one written; none when the ledger has no line for it or
// cannot be read. Lines that do not read (a line cut by a crash) are passed over.
std::optional<RegistroResposta> RespostaRegistrada(const std::filesystem::path& raiz, IdentidadeRecebido id);

// Appends the answer and flushes the ledger to the disk. The caller holds the root.
std::error_code RegistraResposta(const std::filesystem::path& raiz, const RegistroResposta& r);

// The first request in `gerados` (by name) for that identity: "RM_" + company (6 digits) + "_" + sequence
// (4 digits) + "_" + ten digits + "_2.REC" or, once handed over, "_4.REC"; any letter case.
std::optional<std::string> PedidoEmGerados(const std::filesystem::path& gerados, IdentidadeRecebido id);

}  // namespace telvarim
