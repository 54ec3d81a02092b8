// The other side's keys, for telvarim-cli's --as-central and `sample` and for the tests: never linked into
// the desktop program.
#pragma once

#include "crypto/keys.h"

namespace telvarim {

// The central system's private key (central.key), or nullptr when the build's key folder holds none, as a
// deployment's folder normally does not.
const RsaPrivateKey* ChavePrivadaCentral();
// The system's public key: system.pub, or the public half of system.key when the folder has no system.pub.
const RsaPublicKey& ChavePublicaSistema();

}  // namespace telvarim
