// Runs a command line through the system's shell, as integrators run the command-line program.
#pragma once

#include <cstdlib>
#include <string>

#include "windows_sistema.h"

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace telvarim::teste {

// The command's exit status; 128 plus the signal's number when a signal ended it. The line is UTF-8 on every
// platform.
inline int ExecutaComando(const std::string& linha) {
#if defined(_WIN32)
  const int n = MultiByteToWideChar(CP_UTF8, 0, linha.data(), static_cast<int>(linha.size()), nullptr, 0);
  std::wstring largo(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, linha.data(), static_cast<int>(linha.size()), largo.data(), n);
  // cmd /c takes away the first and the last quote of a line that holds more than one quoted part: one more
  // pair around the whole line keeps the line's own.
  return _wsystem((L"\"" + largo + L"\"").c_str());
#else
  const int raw = std::system(linha.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
#endif
}

}  // namespace telvarim::teste
