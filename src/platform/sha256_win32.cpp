// Windows side of Sha256: BCrypt, from the system's bcrypt.dll.
#include <windows.h>
// windows.h first: bcrypt.h uses its types.
#include <bcrypt.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "platform/sha256.h"

struct Sha256::State {
  ~State() {
    if (hash != nullptr) BCryptDestroyHash(hash);
    if (algorithm != nullptr) BCryptCloseAlgorithmProvider(algorithm, 0);
  }

  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
};

namespace {

constexpr ULONG kDigestSize = 32;

// BCryptHashData takes a ULONG length; a larger piece goes in parts of this.
constexpr std::size_t kLargestPart = std::size_t{1} << 30;

void check(NTSTATUS status, const char* call) {
  if (BCRYPT_SUCCESS(status)) return;
  char text[32];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(status));
  throw std::runtime_error(std::string("SHA-256: ") + call + " failed with status " + text);
}

}  // namespace

Sha256::Sha256() : state_(std::make_unique<State>()) {
  check(BCryptOpenAlgorithmProvider(&state_->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0),
        "BCryptOpenAlgorithmProvider");
  // No buffer given for the hash object: the system allocates it.
  check(BCryptCreateHash(state_->algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0), "BCryptCreateHash");
}

Sha256::~Sha256() = default;

void Sha256::update(const char* data, std::size_t length) {
  while (length > 0) {
    const std::size_t part = std::min(length, kLargestPart);
    // BCryptHashData only reads its input; its parameter lacks the const.
    check(BCryptHashData(state_->hash, reinterpret_cast<PUCHAR>(const_cast<char*>(data)), static_cast<ULONG>(part), 0),
          "BCryptHashData");
    data += part;
    length -= part;
  }
}

std::string Sha256::hex_digest() {
  UCHAR digest[kDigestSize];
  check(BCryptFinishHash(state_->hash, digest, kDigestSize, 0), "BCryptFinishHash");
  // A finished hash object cannot take more data (short of a flag that older
  // systems lack): a new one takes its place.
  BCryptDestroyHash(state_->hash);
  state_->hash = nullptr;
  check(BCryptCreateHash(state_->algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0), "BCryptCreateHash");
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (UCHAR octet : digest) {
    hex += kHex[octet >> 4];
    hex += kHex[octet & 0xF];
  }
  return hex;
}
