// What a codec's result code means, in words, for a failure line or a log. The codecs return bare numbers
// whose meaning depends on who gave them (the envelope's 1030 reads differently when sealing and when
// opening; LZW's 3 means nothing to the envelope), so the caller says which operation gave the code. LZW's
// compression and expansion give every code the same meaning, so they share one reading.
//
// Texts are cp1252 bytes, as all engine text, in English or in Portuguese. Without file names they speak of
// "the input" and "the output" ("a entrada", "a saída").
// With them they name the files and, for the codes that stand for more than one cause (LZW's kLzwErroAbertura,
// the envelope's 241 and 242), look at the files to tell which cause it was: call it right after the
// operation, before anything changes the files. Never throws except for lack of memory.
#pragma once

#include <filesystem>
#include <string>

namespace telvarim {

enum class Codec {
  kLzw,   // the result of lzw_compress* or lzw_expand*: kLzwOk (0) or a kLzwErro* code
  kSeal,  // the result of seal_file: 0, 241-242 or a code of crypto/errors.h
  kOpen,  // the result of open_file: 0, 241-245 or a code of crypto/errors.h
};

// The files of the operation, when the text should name them.
struct CodecFiles {
  std::filesystem::path input, output;  // empty: not named
  int recipientIndex = 0;               // open_file's recipient index (code 243)
};

// The command line speaks English; the workspace's log page speaks Portuguese.
enum class Language { kEnglish, kPortuguese };

// "done" ("concluído") for success; for an unknown code, a text that says so and gives the number.
std::string codec_result_text(Codec codec, int code, const CodecFiles& files = {},
                              Language language = Language::kEnglish);

}  // namespace telvarim
