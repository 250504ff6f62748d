// Pages and lists reach the disk through the safe write.
#include <sys/stat.h>

#include "platform/AtomicWrite.h"
#include "results/Pages.h"

namespace kestrix::results {

void writePageFile(const std::string& path, std::string_view text) {
  platform::writeFileAtomically(path, text);
  // The file's attributes are cleared after writing: the owner may write it again.
  struct ::stat st {};
  if (::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0) {
    ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
  }
}

}  // namespace kestrix::results
