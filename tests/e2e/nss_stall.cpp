// A source of the passwd database that does not answer, for the share tests: as a directory server
// that is gone, it keeps each lookup waiting for 15 seconds and then says it is unavailable. The C
// library loads it as libnss_stall.so.2 where nsswitch.conf names "stall" as a passwd source.
#include <nss.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace {

nss_status Stall(int* error) {
  ::sleep(15);
  *error = EAGAIN;
  return NSS_STATUS_UNAVAIL;
}

}  // namespace

extern "C" {

nss_status _nss_stall_getpwuid_r(uid_t /*uid*/, passwd* /*entry*/, char* /*buffer*/,
                                 std::size_t /*size*/, int* error) {
  return Stall(error);
}

nss_status _nss_stall_getpwnam_r(const char* /*name*/, passwd* /*entry*/, char* /*buffer*/,
                                 std::size_t /*size*/, int* error) {
  return Stall(error);
}

}  // extern "C"
