// Why a step of the workspace failed, in words: the log page shows it in Portuguese under the step's own
// message, and the command line prints it in English with the code. The step's message texts stay as they
// are; the cause comes in addition, so that "Erro ao Descriptografar Arquivo" says whether the file was
// forged, damaged, meant for someone else or simply unreadable.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <system_error>

#include "codec_results.h"

namespace telvarim {

struct CausaFalha {
  int codigo = 0;      // the codec's own result code, or the system's error number; 0 when the cause has neither
  std::string motivo;  // Portuguese, cp1252: "a assinatura não confere com os dados (...)"
  std::string reason;  // English, for the command line, led by the operation: "open: the signature does ..."
  bool Vazia() const { return motivo.empty(); }
};

// A codec's result code (`operation` names it in the English text: "open", "expand", "compress", "seal").
// Call it right after the codec returned, before the files change (see codec_result_text).
CausaFalha CausaCodec(Codec codec, const char* operation, int codigo, const CodecFiles& arquivos);
// A file the workspace read, wrote or moved itself: the system's own error text, naming the file.
CausaFalha CausaSistema(const char* operation, const std::error_code& erro, const std::filesystem::path& arquivo);
// The expanded text holds more lines than any real file (kMaxLinhasArquivo).
CausaFalha CausaLinhas(std::size_t limite);
CausaFalha CausaMemoria();

// The log page's line: " ==> Motivo : erro 1035 - a assinatura não confere com os dados (...)".
std::string LinhaMotivo(const CausaFalha& c);

// The message box of a handler that ran out of memory.
std::string MensagemMemoria();

}  // namespace telvarim
