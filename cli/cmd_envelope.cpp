#include "commands.h"

namespace telvarim::cli {

int cmd_seal(const Argumentos&) { return Falha("seal", 0, "not available in this build"); }
int cmd_open(const Argumentos&) { return Falha("open", 0, "not available in this build"); }
int cmd_pack(const Argumentos&) { return Falha("pack", 0, "not available in this build"); }
int cmd_unpack(const Argumentos&) { return Falha("unpack", 0, "not available in this build"); }
int cmd_keygen(const Argumentos&) { return Falha("keygen", 0, "not available in this build"); }
int cmd_sample(const Argumentos&) { return Falha("sample", 0, "not available in this build"); }

}  // namespace telvarim::cli
