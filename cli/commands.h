// The telvarim-cli commands. Each takes the arguments after its name and returns the exit status.
#pragma once

#include "cli_common.h"

namespace telvarim::cli {

int cmd_compress(const Argumentos& a);
int cmd_expand(const Argumentos& a);
int cmd_seal(const Argumentos& a);
int cmd_open(const Argumentos& a);
int cmd_pack(const Argumentos& a);
int cmd_unpack(const Argumentos& a);
int cmd_keygen(const Argumentos& a);
int cmd_sample(const Argumentos& a);
int cmd_batch(const Argumentos& a);
int cmd_listing(const Argumentos& a);  // only in builds with the report windows (Qt)

}  // namespace telvarim::cli
