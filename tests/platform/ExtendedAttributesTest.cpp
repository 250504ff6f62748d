// Extended attributes copied between open files: user values, a POSIX ACL (whose entry for
// another user must survive and whose mask sets the group class), and the refusal to drop
// a value that cannot be set.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <map>

#include "../search/TempTree.h"
#include "AclBytes.h"
#include "platform/ExtendedAttributes.h"
#include "platform/Platform.h"
#include "platform/UniqueFd.h"

namespace kestrix::platform {
namespace {

using kestrix::testing::TempTree;

UniqueFd openFile(const std::string& path, int flags) {
  UniqueFd fd(::open(path.c_str(), flags | O_CLOEXEC));
  EXPECT_TRUE(fd) << path << ": " << std::strerror(errno);
  return fd;
}

TEST(ExtendedAttributes, UserValuesAndAclTravelToTheNewFile) {
  TempTree tree;
  const std::string from = tree.write("old.txt", "x");
  const std::string to = tree.write("new.txt", "y");
  ::chmod(to.c_str(), 0600);
  const std::string acl = kestrix::testing::aclGrantingUser(65534);
  if (::setxattr(from.c_str(), "user.origin", "hand", 4, 0) != 0 ||
      ::setxattr(from.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0) {
    GTEST_SKIP() << "no extended attributes here: " << std::strerror(errno);
  }
  ::setxattr(to.c_str(), "user.stale", "1", 1, 0);
  UniqueFd in = openFile(from, O_RDONLY);
  UniqueFd out = openFile(to, O_RDWR);
  copyExtendedAttributes(in.get(), out.get(), to);

  std::map<std::string, std::string> got;
  for (const auto& a : readExtendedAttributes(out.get(), to)) got[a.name] = a.value;
  EXPECT_EQ(got["user.origin"], "hand");
  EXPECT_EQ(got["user.stale"], "1");  // kept: only copied names are replaced
  EXPECT_EQ(got["system.posix_acl_access"], acl);
  struct ::stat st {};
  ASSERT_EQ(::fstat(out.get(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0660u);  // the mask is the group class
}

TEST(ExtendedAttributes, AValueThatCannotBeSetIsAnErrorNotADrop) {
  TempTree tree;
  const std::string from = tree.write("old.txt", "x");
  if (::setxattr(from.c_str(), "user.origin", "hand", 4, 0) != 0) {
    GTEST_SKIP() << "no user attributes here: " << std::strerror(errno);
  }
  // A FIFO takes no user.* values.
  const std::string fifo = tree.path() + "/pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  UniqueFd in = openFile(from, O_RDONLY);
  UniqueFd out = openFile(fifo, O_RDONLY | O_NONBLOCK);
  EXPECT_THROW(copyExtendedAttributes(in.get(), out.get(), fifo), PlatformError);

  // A file with no attributes copies nothing and reads back empty.
  const std::string plain = tree.write("plain.txt", "z");
  UniqueFd none = openFile(plain, O_RDONLY);
  UniqueFd target = openFile(tree.write("t.txt", ""), O_RDWR);
  copyExtendedAttributes(none.get(), target.get(), plain);
  for (const auto& a : readExtendedAttributes(target.get(), plain)) {
    EXPECT_EQ(a.name.rfind("security.", 0), 0u) << a.name;  // a label the system set, at most
  }
}

}  // namespace
}  // namespace kestrix::platform
