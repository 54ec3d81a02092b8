#include "commands.h"

namespace telvarim::cli {

int cmd_compress(const Argumentos&) { return Falha("compress", 0, "not available in this build"); }
int cmd_expand(const Argumentos&) { return Falha("expand", 0, "not available in this build"); }

}  // namespace telvarim::cli
