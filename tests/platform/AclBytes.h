// Test helper: a POSIX ACL in the form the kernel stores it (the value of
// "system.posix_acl_access"), without the ACL library.
#pragma once

#include <cstdint>
#include <string>

namespace kestrix::testing {

// A POSIX ACL as the kernel stores it: owner rw-, user `uid` rw-, group r--, mask rw-,
// other ---.
inline std::string aclGrantingUser(std::uint32_t uid) {
  std::string acl;
  auto put32 = [&acl](std::uint32_t v) { acl.append(reinterpret_cast<const char*>(&v), 4); };
  auto entry = [&](std::uint16_t tag, std::uint16_t perm, std::uint32_t id) {
    acl.append(reinterpret_cast<const char*>(&tag), 2);
    acl.append(reinterpret_cast<const char*>(&perm), 2);
    put32(id);
  };
  put32(2);  // version
  entry(0x01, 6, 0xFFFFFFFF);
  entry(0x02, 6, uid);
  entry(0x04, 4, 0xFFFFFFFF);
  entry(0x10, 6, 0xFFFFFFFF);
  entry(0x20, 0, 0xFFFFFFFF);
  return acl;
}

}  // namespace kestrix::testing
