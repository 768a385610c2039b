// Linux side of Sha256: libcrypto's EVP interface (OpenSSL 3 deprecates the
// SHA256_* calls).
#include <openssl/err.h>
#include <openssl/evp.h>

#include <stdexcept>
#include <string>

#include "platform/sha256.h"

struct Sha256::State {
  ~State() { EVP_MD_CTX_free(context); }  // null is allowed

  EVP_MD_CTX* context = nullptr;
};

namespace {

[[noreturn]] void refused(const char* call) {
  std::string message = std::string("SHA-256: ") + call + " failed";
  const unsigned long code = ERR_get_error();
  if (code != 0) {
    char reason[256];
    ERR_error_string_n(code, reason, sizeof reason);
    message += std::string(": ") + reason;
  }
  throw std::runtime_error(message);
}

}  // namespace

Sha256::Sha256() : state_(std::make_unique<State>()) {
  state_->context = EVP_MD_CTX_new();
  if (state_->context == nullptr) refused("EVP_MD_CTX_new");
  if (EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) != 1) refused("EVP_DigestInit_ex");
}

Sha256::~Sha256() = default;

void Sha256::update(const char* data, std::size_t length) {
  if (length == 0) return;
  if (EVP_DigestUpdate(state_->context, data, length) != 1) refused("EVP_DigestUpdate");
}

std::string Sha256::hex_digest() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_DigestFinal_ex(state_->context, digest, &size) != 1) refused("EVP_DigestFinal_ex");
  if (EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) != 1) refused("EVP_DigestInit_ex");
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < size; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0xF];
  }
  return hex;
}
