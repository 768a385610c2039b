// Writes deterministic month logs for the benchmark: mcu_event_log_2007_MM.txt
// for twelve months, CR LF line ends. A given share of the lines are
// instant-message records (some of the messages UTF-8 text in other scripts,
// from ids 1 to 2000); the rest are other event lines with the same
// 20-character time stamp in front. Two shapes:
//  - long: messages of 5 to 300 bytes, evenly; other lines of 60 to 180 bytes.
//  - short: many short lines: messages mostly short (3 to 586 bytes, median
//    about 40, so records of about 180 bytes on average, median about 140);
//    other lines are conf_log and call_log events of 50 to 70 bytes.
// Usage: make_logs DIR RECORD_PERCENT [MEGABYTES_PER_MONTH [long|short]]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Rng {  // xorshift64*: the same data on every machine
  std::uint64_t s = 0x9E3779B97F4A7C15ull;
  std::uint32_t next() {
    s ^= s >> 12;
    s ^= s << 25;
    s ^= s >> 27;
    return static_cast<std::uint32_t>((s * 0x2545F4914F6CDD1Dull) >> 32);
  }
  std::uint32_t below(std::uint32_t n) { return next() % n; }
};

const char* const kWords[] = {"the", "meeting", "budget", "slides", "agenda", "coffee", "numbers", "report",
                              "please", "check", "tomorrow", "call", "share", "screen", "audio", "video",
                              "thanks", "ok", "hello", "everyone", "next", "item", "question", "later"};
const char* const kForeign[] = {"Kaffee", "Besprechung", "caf\xc3\xa9", "r\xc3\xa9union", "\xe4\xbc\x9a\xe8\xad\xb0",
                                "\xe8\xb3\x87\xe6\x96\x99", "\xd0\xba\xd0\xbe\xd1\x84\xd0\xb5",
                                "\xd0\xb2\xd1\x81\xd1\x82\xd1\x80\xd0\xb5\xd1\x87\xd0\xb0"};

// About 1% of the messages hold this word; the benchmark searches for it.
const char kRareWord[] = "zanzibar";

std::string base64(const std::string& in) {
  static const char a[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::size_t i = 0;
  for (; i + 2 < in.size(); i += 3) {
    std::uint32_t v = static_cast<unsigned char>(in[i]) << 16 | static_cast<unsigned char>(in[i + 1]) << 8 |
                      static_cast<unsigned char>(in[i + 2]);
    out += a[v >> 18];
    out += a[(v >> 12) & 63];
    out += a[(v >> 6) & 63];
    out += a[v & 63];
  }
  std::size_t rest = in.size() - i;
  if (rest > 0) {
    std::uint32_t v = static_cast<unsigned char>(in[i]) << 16;
    if (rest == 2) v |= static_cast<unsigned char>(in[i + 1]) << 8;
    out += a[v >> 18];
    out += a[(v >> 12) & 63];
    out += rest == 2 ? a[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string message(Rng& rng, bool short_lines) {
  std::size_t length = short_lines ? 3 + rng.below(1 + rng.below(1 + rng.below(584))) : 5 + rng.below(296);
  std::string m;
  bool foreign = rng.below(5) == 0;
  if (rng.below(100) == 0) m = std::string(kRareWord) + " ";
  while (m.size() < length) {
    m += foreign && rng.below(2) ? kForeign[rng.below(8)] : kWords[rng.below(24)];
    m += ' ';
  }
  m.resize(length);
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_logs DIR RECORD_PERCENT [MEGABYTES_PER_MONTH]\n");
    return 2;
  }
  const std::string dir = argv[1];
  const unsigned percent = static_cast<unsigned>(std::atoi(argv[2]));
  const std::size_t bytes = static_cast<std::size_t>(argc > 3 ? std::atoi(argv[3]) : 40) * 1000 * 1000;
  const bool short_lines = argc > 4 && std::string(argv[4]) == "short";
  Rng rng;
  rng.s += percent;
  for (int month = 1; month <= 12; ++month) {
    char name[64];
    std::snprintf(name, sizeof name, "/mcu_event_log_2007_%02d.txt", month);
    std::FILE* f = std::fopen((dir + name).c_str(), "wb");
    if (!f) {
      std::perror((dir + name).c_str());
      return 1;
    }
    std::size_t written = 0;
    std::string line;
    while (written < bytes) {
      char stamp[32];
      std::snprintf(stamp, sizeof stamp, "2007-%02d-%02d %02u:%02u:%02u ", month, 1 + static_cast<int>(rng.below(28)),
                    rng.below(24), rng.below(60), rng.below(60));
      line = stamp;
      if (rng.below(100) < percent) {
        line += "im_log,from id," + std::to_string(1 + rng.below(2000)) + ",to id," +
                std::to_string(1 + rng.below(2000)) + ",conf id," + std::to_string(rng.below(50)) +
                ",[Room " + std::to_string(rng.below(50)) + "],msg=" + base64(message(rng, short_lines));
      } else if (short_lines) {
        static const char* const kStates[] = {"join", "leave", "mute", "unmute", "ring", "hangup"};
        line += rng.below(2) ? "conf_log,conf id," : "call_log,call id,";
        line += std::to_string(rng.below(50)) + ",user id," + std::to_string(1 + rng.below(2000)) + ",state," +
                kStates[rng.below(6)];
      } else {
        static const char* const kEvents[] = {"user_join,conf id,", "user_leave,conf id,", "conf_start,conf id,",
                                              "media_stat,conf id,", "im_ack,from id,"};
        line += kEvents[rng.below(5)] + std::to_string(rng.below(50)) + ",user id," +
                std::to_string(1 + rng.below(2000)) + ",detail," + std::string(10 + rng.below(120), 'x');
      }
      line += "\r\n";
      std::fwrite(line.data(), 1, line.size(), f);
      written += line.size();
    }
    std::fclose(f);
  }
  return 0;
}
