#include "commands.h"

namespace telvarim::cli {

int cmd_batch(const Argumentos&) { return Falha("batch", 0, "not available in this build"); }

}  // namespace telvarim::cli
