// Text helpers for the Windows Latin-1 code page (cp1252).
//
// Recharge files, drafts, external value files and logs hold cp1252 bytes, and the engine keeps its text as
// std::string of those bytes: columns count bytes and sort keys compare bytes. Conversion to UTF-8/UTF-16
// happens only at the edges (windows, console, file names).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace telvarim {

// Unicode code point of a cp1252 byte. The five bytes the code page leaves undefined map to the C1 control
// of the same value, as Windows does, so every byte survives a round trip.
char32_t Cp1252ParaUnicode(unsigned char c);
// cp1252 byte of a code point, or -1 when the code page has none.
int UnicodeParaCp1252(char32_t u);

std::string Cp1252ParaUtf8(std::string_view cp);
// Characters without a cp1252 byte become '?'. Malformed UTF-8 bytes become '?' too.
std::string Utf8ParaCp1252(std::string_view utf8);
std::u16string Cp1252ParaUtf16(std::string_view cp);
std::string Utf16ParaCp1252(std::u16string_view u16);

// Upper case as the Latin-1 Windows code page defines it: a-z, the accented small letters (à..þ except ÷)
// and š, œ, ž, ÿ. ß and µ have no upper-case form in the code page and stay.
std::string MaiusculasCp1252(std::string_view s);

// Trimming removes every byte up to and including the blank (control characters too) from the ends.
std::string_view TrimView(std::string_view s);
std::string Trim(std::string_view s);
std::string TrimRight(std::string_view s);
std::string TrimLeft(std::string_view s);

// The field at columns primeira..ultima (1-based, inclusive) of a record line. A field that runs past the
// end of the line is cut there; one that starts past the end is empty.
std::string_view Campo(std::string_view linha, std::size_t primeira, std::size_t ultima);

// Byte-wise comparison as unsigned values; a prefix sorts before the longer text.
int ComparaBytes(std::string_view a, std::string_view b);

namespace literais {
// "Não"_cp: a UTF-8 source literal turned into the cp1252 bytes the engine works with.
inline std::string operator""_cp(const char* s, std::size_t n) { return Utf8ParaCp1252(std::string_view(s, n)); }
}  // namespace literais

}  // namespace telvarim
