// Fixed values printed by "--version" and used nowhere else. The build note is
// part of the version's text, not the date of the build that produces it.
#pragma once

struct VersionInfo {
  int major;
  int minor;
  int patch;
  const char* release_suffix;
  const char* build_note;
};

constexpr VersionInfo kVersion = {0, 9, 0, "", "built on 07/18/2007"};
