// Functions of a shared library opened on first use rather than linked: the program loads a
// library only on the machines and at the moment it needs it.
#pragma once

#include <dlfcn.h>

namespace platform::linux_library {

// Opens the library by its soname; null where it is not installed.
inline void* Open(const char* soname) {
  return ::dlopen(soname, RTLD_NOW | RTLD_LOCAL);
}

template <typename Function>
void Resolve(void* library, const char* name, Function& into) {
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): dlsym's only way to a function
  into = reinterpret_cast<Function>(::dlsym(library, name));
}

}  // namespace platform::linux_library
