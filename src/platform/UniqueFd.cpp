// Closing of owned descriptors.
#include "platform/UniqueFd.h"

#include <unistd.h>

namespace kestrix::platform {

void UniqueFd::reset() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace kestrix::platform
