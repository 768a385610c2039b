// SHA-256 (FIPS 180-4) through the system's own crypto: libcrypto's EVP
// interface on Linux (sha256_posix.cpp), BCrypt on Windows (sha256_win32.cpp).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

// One hash at a time over bytes given in pieces; the digest does not depend on
// how they are split.
//
// Failure: every member but the destructor throws std::runtime_error, naming
// the system call that failed and its status, when the system refuses to make
// or finish a SHA-256 hash (no provider of it, no memory for its state). The
// bytes given never cause it. After such a throw the object may only be
// destroyed.
class Sha256 {
 public:
  // A hash of no bytes yet.
  Sha256();
  ~Sha256();

  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  // Adds length bytes from data to the hash; data may be null when length is
  // 0. Any length, also beyond 4 GiB, any number of times.
  void update(const char* data, std::size_t length);

  // The digest of the bytes given since construction or the last hex_digest,
  // as 64 lowercase hex digits. Ends that hash: a new one, of no bytes yet,
  // takes its place.
  std::string hex_digest();

 private:
  struct State;  // the system's handles, in the system's file
  std::unique_ptr<State> state_;
};
