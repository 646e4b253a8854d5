#pragma once
// The authenticity check of an update archive: an ECDSA P-256 signature
// over the SHA-256 of the file, 64 bytes r || s, checked with CNG against
// the public key built into the program (update_public_key.cpp).
//
// Threads: any.
#include <cstdint>
#include <span>
#include <string>

namespace zul {

// The 64 bytes X || Y of the built-in public key.
std::span<const uint8_t> UpdatePublicKey();

// True when `signature` is a valid signature of the file's contents under
// `publicKey` (X || Y).
bool VerifyFileSignature(const std::wstring& file, std::span<const uint8_t> signature,
                         std::span<const uint8_t> publicKey);

}  // namespace zul
