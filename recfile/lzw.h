// LZW compression of the recharge files: fixed 16-bit codes, no header, no clear code. Codes 0-255 are the
// bytes, 256-65534 the dictionary strings in order of creation, 65535 ends the data and is followed by a
// code 0 that flushes the writer, so every compressed file has an even length and ends in FF FF 00 00.
// The dictionary grows until code 65534 and then stays frozen to the end of the file.
//
// An empty input compresses to FF FF 00 00, the end code alone; a stream whose first code is the end code
// (that one, or no bytes at all) expands to nothing, successfully. The end of the input counts as the end
// code: a stream cut short expands to what its codes up to the reader's look-ahead held. A code that names
// a string not defined yet makes the input corrupt (kLzwErroExpansao), and the caller stays in control.
//
// Every form shares one core: the file forms (what request generation and file processing call), and the
// in-memory forms over streams or byte vectors (tests, the envelope, the command line). Each call owns its
// tables, buffers and bit state for its own length, and everything it needs arrives with the call (LzwOpcoes),
// so calls share no state at all.
//
// Diagnostics ("Compressing...", "Expanding...", a "*" every 1000th byte or code, the fatal messages) go to
// the sink the call names, or nowhere. The windowed program never shows them; callers judge an operation by
// its result alone.
//
// Expansion multiplies: a code can stand for a string of up to 65,280 bytes, so a few kilobytes of codes can
// ask for gigabytes of output. A caller that expands a file it did not write itself caps the output
// (limiteSaida); expansion then stops as soon as the next string would pass the cap, with kLzwErroLimite, and
// has never held or written more than the cap.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <span>
#include <vector>

namespace telvarim {

// Results. Compression and expansion answer alike, 0 when done and otherwise why not, so that one reading
// serves every call: the caller's check, the log's text and the command line's failure line. Compression
// never gives kLzwErroExpansao or kLzwErroLimite.
inline constexpr int kLzwOk = 0;
inline constexpr int kLzwErroAbertura = 1;  // input cannot be opened, output cannot be created (or is the input)
inline constexpr int kLzwErroAlocacao = 2;  // the tables or buffers cannot be allocated
inline constexpr int kLzwErroExpansao = 3;  // corrupt or foreign compressed data
inline constexpr int kLzwErroEscrita = 4;   // the output could not be written completely (e.g. disk full)
inline constexpr int kLzwErroLeitura = 5;   // the input could not be read (an I/O error, not its end)
inline constexpr int kLzwErroLimite = 6;    // the expanded output would pass the caller's cap (limiteSaida)

// The cap for expanding what comes from outside: received files and drafts. A real received file expands to
// a few megabytes (10,000 holders, the most a file carries, make about 2.8 MB of records), so this leaves
// twenty times that room and still bounds what a forged or damaged file can make the program write.
inline constexpr std::uint64_t kLzwLimiteRecebido = std::uint64_t{64} << 20;  // 64 MiB

struct LzwOpcoes {
  // Where the diagnostic texts go; nullptr: nowhere. A sink that fails or throws does not change the result.
  std::ostream* diagnostico = nullptr;
  // Expansion: the most bytes it may produce, 0 for no cap. Compression ignores it (its output is bounded
  // by its input).
  std::uint64_t limiteSaida = 0;
};

// File to file. The input is opened before the output is created; when the operation fails after the output
// was created, the output is removed so that no partial file is taken for a good one. An output that names
// the input itself is refused as an opening failure and left untouched.
// Both return kLzwOk or one of the kLzwErro* codes.
int lzw_compress_file(const std::filesystem::path& entrada, const std::filesystem::path& saida, LzwOpcoes opcoes = {});
int lzw_expand_file(const std::filesystem::path& entrada, const std::filesystem::path& saida, LzwOpcoes opcoes = {});

// Streams: read to the end of `entrada`, append to `saida` and flush it. After a failure `saida` may hold
// part of the result. Results as for the file forms.
int lzw_compress(std::istream& entrada, std::ostream& saida, LzwOpcoes opcoes = {});
int lzw_expand(std::istream& entrada, std::ostream& saida, LzwOpcoes opcoes = {});

// Byte vectors: `saida` is replaced by the result (after a failure it may hold part of it).
int lzw_compress(std::span<const std::uint8_t> entrada, std::vector<std::uint8_t>& saida, LzwOpcoes opcoes = {});
int lzw_expand(std::span<const std::uint8_t> entrada, std::vector<std::uint8_t>& saida, LzwOpcoes opcoes = {});

}  // namespace telvarim
