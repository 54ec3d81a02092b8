// Runs a command line through the system's shell, as integrators run the command-line program.
#pragma once

#include <cstdlib>
#include <string>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace telvarim::teste {

// The command's exit status; 128 plus the signal's number when a signal ended it.
inline int ExecutaComando(const std::string& linha) {
#if defined(_WIN32)
  // cmd /c takes away the first and the last quote of a line that holds more than one quoted part: one more
  // pair around the whole line keeps the line's own.
  return std::system(("\"" + linha + "\"").c_str());
#else
  const int raw = std::system(linha.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
#endif
}

}  // namespace telvarim::teste
