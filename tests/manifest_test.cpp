// The manifest's JSON text, byte for byte, and the times it holds.
#include "output/manifest.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace {

Manifest two_files_one_missing() {
  Manifest m;
  m.tool = "logsift 0.9.0";
  m.started = "2026-12-10T14:53:07Z";
  m.finished = "2026-12-10T14:53:09Z";
  m.settings = {{"start", "2026_01"}, {"end", "2026_03"}, {"log_dir", "C:\\logs\\mcu"}, {"search1", "caf\xC3\xA9"}};
  ManifestFile january;
  january.name = "mcu_event_log_2026_01.txt";
  january.size = 5000000000;  // beyond 32 bits
  january.sha256 = "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0";
  january.records = 1234567;
  january.matches = 3;
  january.status = "ok";
  ManifestFile march;
  march.name = "mcu_event_log_2026_03.txt";
  march.size = 0;
  march.sha256 = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
  march.status = "cannot read \"mcu_event_log_2026_03.txt\": caf\xE9";
  m.files = {january, march};
  m.missing = {"mcu_event_log_2026_02.txt"};
  m.matches = 3;
  m.exit_status = 1;
  return m;
}

Manifest nothing_searched() {
  Manifest m;
  m.exit_status = 2;
  return m;
}

TEST(Manifest, RendersTheExactText) {
  const struct {
    const char* what;
    Manifest manifest;
    std::string text;
  } cases[] = {
      {"two files, one missing", two_files_one_missing(),
       "{\n"
       "  \"tool\": \"logsift 0.9.0\",\n"
       "  \"started\": \"2026-12-10T14:53:07Z\",\n"
       "  \"finished\": \"2026-12-10T14:53:09Z\",\n"
       "  \"settings\": {\n"
       "    \"start\": \"2026_01\",\n"
       "    \"end\": \"2026_03\",\n"
       "    \"log_dir\": \"C:\\\\logs\\\\mcu\",\n"
       "    \"search1\": \"caf\xC3\xA9\"\n"
       "  },\n"
       "  \"files\": [\n"
       "    {\n"
       "      \"name\": \"mcu_event_log_2026_01.txt\",\n"
       "      \"size\": 5000000000,\n"
       "      \"sha256\": \"cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0\",\n"
       "      \"records\": 1234567,\n"
       "      \"matches\": 3,\n"
       "      \"status\": \"ok\"\n"
       "    },\n"
       "    {\n"
       "      \"name\": \"mcu_event_log_2026_03.txt\",\n"
       "      \"size\": 0,\n"
       "      \"sha256\": \"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855\",\n"
       "      \"records\": 0,\n"
       "      \"matches\": 0,\n"
       "      \"status\": \"cannot read \\\"mcu_event_log_2026_03.txt\\\": caf\xEF\xBF\xBD\"\n"
       "    }\n"
       "  ],\n"
       "  \"missing\": [\n"
       "    \"mcu_event_log_2026_02.txt\"\n"
       "  ],\n"
       "  \"matches\": 3,\n"
       "  \"exit_status\": 1\n"
       "}\n"},
      {"nothing searched", nothing_searched(),
       "{\n"
       "  \"tool\": \"\",\n"
       "  \"started\": \"\",\n"
       "  \"finished\": \"\",\n"
       "  \"settings\": {},\n"
       "  \"files\": [],\n"
       "  \"missing\": [],\n"
       "  \"matches\": 0,\n"
       "  \"exit_status\": 2\n"
       "}\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(render_manifest(c.manifest), c.text);
  }
}

TEST(Manifest, TimesInUtc) {
  const struct {
    std::time_t when;
    const char* text;
  } cases[] = {
      {0, "1970-01-01T00:00:00Z"},
      {951868799, "2000-02-29T23:59:59Z"},
      {1796914387, "2026-12-10T14:53:07Z"},
      {static_cast<std::time_t>(2147483648LL), "2038-01-19T03:14:08Z"},
      {static_cast<std::time_t>(4107542400LL), "2100-03-01T00:00:00Z"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(iso8601_utc(c.when), c.text);
  }
}

}  // namespace
