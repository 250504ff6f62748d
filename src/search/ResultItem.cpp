// The full name of a listed file.
#include "search/ResultItem.h"

#include "platform/Platform.h"

namespace kestrix::search {

std::string ResultItem::fullName() const {
  return platform::joinPath(path, name);
}

}  // namespace kestrix::search
