// The same job done the literal way, as a yardstick: fgets into a 10,000-byte
// buffer, strstr for the marker and the strings, printf for the results. It
// reads the same search.ini keys and month files as logsift but takes them as
// arguments: naive_scan DIR START_YYYY_MM END_YYYY_MM SEARCH ID ("" for none).
#include <cstdio>
#include <cstring>

namespace {

int decode(char* out, const char* in) {
  static signed char table[256];
  static bool ready = false;
  if (!ready) {
    const char a[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 256; ++i) table[i] = -1;
    for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(a[i])] = static_cast<signed char>(i);
    ready = true;
  }
  int n = 0;
  while (table[static_cast<unsigned char>(in[n])] >= 0) ++n;
  int o = 0;
  unsigned acc = 0;
  int bits = 0;
  for (int i = 0; i < n; ++i) {
    acc = acc << 6 | static_cast<unsigned>(table[static_cast<unsigned char>(in[i])]);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out[o++] = static_cast<char>((acc >> bits) & 0xFF);
    }
  }
  out[o] = '\0';
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) return 2;
  int sy, sm, ey, em;
  std::sscanf(argv[2], "%d_%d", &sy, &sm);
  std::sscanf(argv[3], "%d_%d", &ey, &em);
  const char* search = argv[4];
  char id_filter[512] = "";
  if (argv[5][0]) std::snprintf(id_filter, sizeof id_filter, " id,%s", argv[5]);
  static char line[10000];
  static char message[20000];
  for (int y = sy; y <= ey; ++y) {
    for (int m = (y == sy ? sm : 1); m <= (y == ey ? em : 12); ++m) {
      char path[1260];
      std::snprintf(path, sizeof path, "%s/mcu_event_log_%04d_%02d.txt", argv[1], y, m);
      std::FILE* f = std::fopen(path, "r");
      if (!f) continue;
      while (std::fgets(line, sizeof line, f)) {
        if (std::strlen(line) < 30) continue;
        if (std::strncmp(line + 20, "im_log,from id,", 15) != 0) continue;
        char* marker = std::strstr(line, "],msg=");
        if (!marker) continue;
        if (id_filter[0] && !std::strstr(line, id_filter)) continue;
        decode(message, marker + 6);
        if (search[0] && !std::strstr(message, search)) continue;
        marker[6] = '\0';
        std::printf("%s%s\n", line, message);
      }
      std::fclose(f);
    }
  }
  return 0;
}
