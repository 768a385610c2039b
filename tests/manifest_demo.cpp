// For manifest_check.py: writes a fixed manifest to standard output, its bytes
// as rendered (no CR LF on Windows). Its text holds quotes, backslashes, a
// control byte and a byte that is not UTF-8, for a JSON parser to read back.
#include <cstdio>
#include <string>

#include "output/manifest.h"
#include "platform/platform.h"

int main() {
  Manifest m;
  m.tool = "logsift 0.9.0";
  m.started = "2026-12-10T14:53:07Z";
  m.finished = "2026-12-10T14:53:09Z";
  m.settings = {{"log_dir", "C:\\logs\\"}, {"search1", "say \"hi\"\tnow"}, {"ignore_case", "1"}};
  m.files = {{"mcu_event_log_2026_01.txt", 5000000000, std::string(64, 'a'), 1234567, 3, "ok"},
             {"mcu_event_log_2026_03.txt", 0, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", 0, 0,
              "cannot read \"it\": caf\xE9"}};
  m.missing = {"mcu_event_log_2026_02.txt"};
  m.matches = 3;
  m.exit_status = 1;
  platform_binary_stream(stdout);
  const std::string text = render_manifest(m);
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0 ? 0 : 1;
}
