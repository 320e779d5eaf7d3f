// Whether a shared library is in this process now: for checks that a library is loaded only when
// it is first needed. Linux only (reads /proc/self/maps).
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace testing_support {

inline bool LibraryLoaded(const std::string& name) {
  std::ifstream maps("/proc/self/maps");
  std::stringstream text;
  text << maps.rdbuf();
  return text.str().find(name) != std::string::npos;
}

}  // namespace testing_support
