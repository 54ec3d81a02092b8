// The sealed file envelope of received and request files: the plain bytes signed with the sender's RSA key
// (MD2 or MD5 under PKCS #1 v1.5), encrypted with a DES-CBC variant under key material drawn from a random
// pool, the key material encrypted to each recipient's RSA key, and a trailer with the plain length and a
// CRC-16 of the plain bytes.
//
// Layout (multi-byte integers little-endian):
//   header text ending in a 00 byte ("Quintaro Encrypted File" CR LF 1A 00 as written here, 27 bytes)
//   extra-data length X (2), extra data (X)
//   encryption algorithm (1: 0 = none, 1-4), digest algorithm (1: 0 = none, 3 = MD2, 5 = MD5), reserved (2)
//   when encrypted: IV (8), recipient count R (1, signed), R x { key length K (2), encrypted key (K) }
//   body: the ciphertext of the padded plain bytes ((L / 8 + 1) * 8 bytes), or the L plain bytes
//   when signed: signature length S (2), signature (S)
//   trailer: plain length L (4), CRC-16 of the plain bytes (2)
//
// Both operations stream the file in 24-byte chunks through buffered file streams, so memory use does not
// depend on the file's size. They return 0 or a code: the file codes below, or those of crypto/errors.h.
// Neither leaves a partial output behind: when an operation fails after creating its output, the output is
// removed (only a regular file; a device named as the output stays), so a half-written file never sits
// where a request or a temporary belongs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

#include "crypto/keys.h"

namespace telvarim {

// The input cannot be opened or read, or no 00 byte ends its header (or it is too short for a trailer).
inline constexpr int kErrEnvelopeInput = 241;
// The output cannot be created or written (also: the output names the input itself).
inline constexpr int kErrEnvelopeOutput = 242;
// The file holds no encrypted key for the requested recipient index.
inline constexpr int kErrEnvelopeRecipient = 243;
// Opening was told to accept only signed (only encrypted) files, and the file is not (OpenRequirements).
inline constexpr int kErrEnvelopeNotSigned = 244;
inline constexpr int kErrEnvelopeNotEncrypted = 245;

inline constexpr int kEnvelopeMaxRecipients = 127;
inline constexpr std::size_t kEnvelopeChunk = 24;  // three cipher blocks

// The header text this system writes; readers skip everything up to and including the first 00.
inline constexpr unsigned char kEnvelopeHeader[] = "Quintaro Encrypted File\r\n\x1a";  // with its 00: 27
inline constexpr std::size_t kEnvelopeHeaderLen = sizeof kEnvelopeHeader;

// CRC-16 with polynomial 0x1021, most significant bit first, no reflection, no final XOR (the CCITT-FALSE
// variant: 0x29B1 over "123456789" from the initial 0xFFFF). Pass the previous result to continue.
std::uint16_t crc16_ccitt(const unsigned char* data, std::size_t len, std::uint16_t crc = 0xFFFF) noexcept;

// Seals `in` into `out`: signed with `key` when `digest` is 3 or 5, encrypted with `cipher` (1-4) and the
// key material encrypted to each key of `recipients`, in order; the `extra` bytes ride unencrypted after the
// header. cipher 0 writes the plain bytes (and ignores the recipients), digest 0 writes no signature.
// Codes: 1031 (a key over 1024 bits, before any file is touched), 1030 (more than 127 recipients, extra data
// over 65535 bytes, an input of 4 GiB or more), 241, 242, 1026, 1037, 1034, 1033, 1032 (the operating system
// gave no random bytes).
int seal_file(const std::filesystem::path& in, const std::filesystem::path& out, const RsaPrivateKey& key,
              std::span<const RsaPublicKey> recipients, std::span<const unsigned char> extra, int cipher, int digest);

// What a file must be to be opened at all. By default the envelope opens whatever it holds: a file with
// digest 0 is not checked against anyone, one with cipher 0 was readable on the way. A caller that takes
// files from one known sender only asks for both, and such a file is then refused (244, 245) right after its
// header, before any byte of it is written out.
struct OpenRequirements {
  bool signature = false;
  bool encryption = false;
};

// Opens `in` into `out`: the key material of entry `recipientIndex` recovered with `key`, the signature
// checked with `sender`. Codes: 1031, 241, 242, 243, 244, 245, 1030 (an encrypted key or signature over 128
// bytes, or any field or length that runs past the trailer), 1033, 1037, 1026, 1028, 1034, 1035.
int open_file(const std::filesystem::path& in, const std::filesystem::path& out, const RsaPrivateKey& key,
              const RsaPublicKey& sender, int recipientIndex, OpenRequirements requirements = {});

}  // namespace telvarim
