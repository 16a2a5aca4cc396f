// A fresh directory for a benchmark's files under $TMPDIR (else /tmp),
// named after the benchmark; "" when it cannot be made.
#pragma once

#include <stdlib.h>

#include <string>
#include <vector>

inline std::string TempDirectory(const std::string& name) {
  const char* base = getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + name + "-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  return mkdtemp(buffer.data()) ? buffer.data() : "";
}
