#include "services/update/update_signature.h"

#include <windows.h>
#include <bcrypt.h>

#include <vector>

#include "base/win32_handles.h"

namespace zul {
namespace {

struct AlgorithmHandle {
  BCRYPT_ALG_HANDLE h = nullptr;
  ~AlgorithmHandle() {
    if (h) BCryptCloseAlgorithmProvider(h, 0);
  }
};
struct HashHandle {
  BCRYPT_HASH_HANDLE h = nullptr;
  ~HashHandle() {
    if (h) BCryptDestroyHash(h);
  }
};
struct KeyHandle {
  BCRYPT_KEY_HANDLE h = nullptr;
  ~KeyHandle() {
    if (h) BCryptDestroyKey(h);
  }
};

bool HashFile(const std::wstring& file, uint8_t (&digest)[32]) {
  UniqueHandle f(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!f) return false;
  AlgorithmHandle sha;
  HashHandle hash;
  if (BCryptOpenAlgorithmProvider(&sha.h, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return false;
  if (BCryptCreateHash(sha.h, &hash.h, nullptr, 0, nullptr, 0, 0) != 0) return false;
  std::vector<uint8_t> buffer(65536);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(f.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return false;
    if (got == 0) break;
    if (BCryptHashData(hash.h, buffer.data(), got, 0) != 0) return false;
  }
  return BCryptFinishHash(hash.h, digest, sizeof digest, 0) == 0;
}

}  // namespace

bool VerifyFileSignature(const std::wstring& file, std::span<const uint8_t> signature,
                         std::span<const uint8_t> publicKey) {
  if (signature.size() != 64 || publicKey.size() != 64) return false;
  uint8_t digest[32];
  if (!HashFile(file, digest)) return false;
  std::vector<uint8_t> blob(sizeof(BCRYPT_ECCKEY_BLOB) + 64);
  auto* header = reinterpret_cast<BCRYPT_ECCKEY_BLOB*>(blob.data());
  header->dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
  header->cbKey = 32;
  std::copy(publicKey.begin(), publicKey.end(), blob.begin() + sizeof(BCRYPT_ECCKEY_BLOB));
  AlgorithmHandle ecdsa;
  KeyHandle key;
  if (BCryptOpenAlgorithmProvider(&ecdsa.h, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0) != 0) return false;
  if (BCryptImportKeyPair(ecdsa.h, nullptr, BCRYPT_ECCPUBLIC_BLOB, &key.h, blob.data(), static_cast<ULONG>(blob.size()),
                          0) != 0)
    return false;
  std::vector<uint8_t> sig(signature.begin(), signature.end());
  return BCryptVerifySignature(key.h, nullptr, digest, sizeof digest, sig.data(), static_cast<ULONG>(sig.size()), 0) ==
         0;
}

}  // namespace zul
