// Result codes of the cryptographic primitives. 0 means success everywhere; the sealed-file envelope adds
// its own file codes (241-243) on top of these.
#pragma once

namespace telvarim {

inline constexpr int kCryptoOk = 0;

// An RSA input not below the modulus, or a PKCS #1 block without the expected form.
inline constexpr int kErrData = 1025;
// A digest algorithm number other than 3 (MD2) or 5 (MD5).
inline constexpr int kErrDigestAlgorithm = 1026;
// The padding of the last decrypted block is wrong (wrong key or damaged data).
inline constexpr int kErrPadding = 1028;
// Data too long for the modulus, an RSA input longer than the modulus, an RSA result that does not fit the
// modulus length, a CBC input that is not whole blocks, an encrypted key or signature over 128 bytes.
inline constexpr int kErrLength = 1030;
// A key whose modulus is longer than 1024 bits (or a key size outside what key generation supports).
inline constexpr int kErrModulusLength = 1031;
// The random pool has not yet been given its 256 seed bytes, or no random bytes could be obtained.
inline constexpr int kErrNeedRandom = 1032;
// The private-key operation failed (signing, recovering the content key) or gave a key of the wrong length.
inline constexpr int kErrPrivateKey = 1033;
// The public-key operation failed (encrypting the content key, opening a signature).
inline constexpr int kErrPublicKey = 1034;
// The signature does not match the data.
inline constexpr int kErrSignature = 1035;
// An encryption algorithm number other than 1 to 4.
inline constexpr int kErrEncryptionAlgorithm = 1037;

}  // namespace telvarim
