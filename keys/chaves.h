// The key records compiled into the program: the system's own private key, which opens received files and
// signs requests, and the central system's public key, which checks received files and seals requests.
// They come from the build's key folder (TELVARIM_KEYS_DIR, system.key and central.pub).
#pragma once

#include "crypto/keys.h"

namespace telvarim {

const RsaPrivateKey& ChavePrivadaSistema();
const RsaPublicKey& ChavePublicaCentral();

}  // namespace telvarim
