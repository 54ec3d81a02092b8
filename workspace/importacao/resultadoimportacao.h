// Lines of the import result report: one per refused record of the external value file.
#pragma once

#include <string>
#include <string_view>

namespace telvarim {

// The line number padded on the left with spaces to 13 characters, three spaces, the matrícula padded on the
// right with spaces to 21 characters, and the message. A number or matrícula longer than its width is kept
// whole. Widths count bytes (cp1252 text), so the columns line up in a fixed-pitch font.
std::string LinhaResultadoImportacao(std::string_view numeroLinha, std::string_view matricula,
                                     std::string_view mensagem);

// The caption over the result lines (cp1252).
std::string CabecalhoResultadoImportacao();

}  // namespace telvarim
