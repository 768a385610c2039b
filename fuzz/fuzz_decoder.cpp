// Any bytes as message text: the decoder must write only into a buffer sized
// by its contract, and agree with the plain reference decoder.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "search/decoder.h"
#include "reference/reference_search.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string coded(reinterpret_cast<const char*>(data), size);  // c_str() ends it with a NUL
  const std::string expected = reference_decode(coded);
  std::size_t n = 0;
  while (n < size && std::strchr("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/", coded[n]) &&
         coded[n] != '\0') {
    ++n;
  }
  const std::size_t room = 3 * ((n + 3) / 4) + 1;  // exactly what the contract promises to need
  std::unique_ptr<char[]> plain(new char[room]);
  const int count = decode_base64(plain.get(), coded.c_str());
  if (count != static_cast<int>(expected.size()) || std::memcmp(plain.get(), expected.data(), expected.size()) != 0 ||
      plain[static_cast<std::size_t>(count)] != '\0') {
    std::abort();
  }
  return 0;
}
