// Extended attributes (ACLs, "user.*" and the like) of an open file: read as a list of
// name/value pairs so they can be kept in a record and put back on another file.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kestrix::platform {

// Name and value of each extended attribute, in the order the system lists them.
using ExtendedAttributes = std::vector<std::pair<std::string, std::string>>;

// The extended attributes of the open file `fd`; none on a file system without them.
// Throws PlatformError naming `shown` when they cannot be read.
ExtendedAttributes readExtendedAttributes(int fd, const std::string& shown);

// Sets each of `attributes` on the open file `fd` (existing ones are replaced, others
// left). Throws PlatformError naming `shown` and the attribute when one cannot be set.
void writeExtendedAttributes(int fd, const ExtendedAttributes& attributes,
                             const std::string& shown);

}  // namespace kestrix::platform
