// The encoding a search reads a file in, named for the user (the Type column's tooltip,
// the console's listing).
#pragma once

#include <string>

namespace kestrix::search {

// How much of a file is looked at to name its encoding.
inline constexpr std::size_t kEncodingProbeBytes = std::size_t{1} << 20;

// "UTF-8", "UTF-8 with BOM", "UTF-16 LE", "UTF-16 BE" or the name of `legacyCodePage`,
// decided from the first kEncodingProbeBytes of the file `fullName` (a byte-order mark,
// else whether its text is UTF-8); empty when the file cannot be read. Throws nothing.
std::string fileEncodingName(const std::string& fullName, const std::string& legacyCodePage);

}  // namespace kestrix::search
