#include "output/manifest.h"

#include <cstdio>
#include <string_view>

#include "output/escape.h"
#include "platform/platform.h"

namespace {

// One JSON object or array being written, with its elements each on a line of
// its own, two spaces deeper than its brackets.
class Block {
 public:
  Block(std::string& out, int depth, char open, char close) : out_(out), depth_(depth), close_(close) { out_ += open; }

  // Starts the next element of an array.
  void element() {
    out_ += empty_ ? "\n" : ",\n";
    empty_ = false;
    out_.append(static_cast<std::size_t>(depth_ + 1) * 2, ' ');
  }

  // Starts the next member of an object: its name and the colon.
  void member(std::string_view name) {
    element();
    append_json_string(out_, name);
    out_ += ": ";
  }

  void end() {
    if (!empty_) {
      out_ += '\n';
      out_.append(static_cast<std::size_t>(depth_) * 2, ' ');
    }
    out_ += close_;
  }

 private:
  std::string& out_;
  int depth_;
  char close_;
  bool empty_ = true;
};

void string_member(Block& block, std::string& out, std::string_view name, std::string_view value) {
  block.member(name);
  append_json_string(out, value);
}

void number_member(Block& block, std::string& out, std::string_view name, std::uint64_t value) {
  block.member(name);
  out += std::to_string(value);
}

}  // namespace

std::string render_manifest(const Manifest& m) {
  std::string out;
  Block top(out, 0, '{', '}');
  string_member(top, out, "tool", m.tool);
  string_member(top, out, "started", m.started);
  string_member(top, out, "finished", m.finished);

  top.member("settings");
  Block settings(out, 1, '{', '}');
  for (const auto& [name, value] : m.settings) string_member(settings, out, name, value);
  settings.end();

  top.member("files");
  Block files(out, 1, '[', ']');
  for (const ManifestFile& f : m.files) {
    files.element();
    Block file(out, 2, '{', '}');
    string_member(file, out, "name", f.name);
    number_member(file, out, "size", f.size);
    string_member(file, out, "sha256", f.sha256);
    number_member(file, out, "records", f.records);
    number_member(file, out, "matches", f.matches);
    string_member(file, out, "status", f.status);
    file.end();
  }
  files.end();

  top.member("missing");
  Block missing(out, 1, '[', ']');
  for (const std::string& name : m.missing) {
    missing.element();
    append_json_string(out, name);
  }
  missing.end();

  number_member(top, out, "matches", m.matches);
  top.member("exit_status");
  out += std::to_string(m.exit_status);
  top.end();
  out += '\n';
  return out;
}

std::string iso8601_utc(std::time_t when) {
  std::tm fields{};
  if (!platform_utc_time(when, fields)) return "";
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", fields.tm_year + 1900, fields.tm_mon + 1,
                fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec);
  return text;
}

std::string utc_now_iso8601() { return iso8601_utc(std::time(nullptr)); }
