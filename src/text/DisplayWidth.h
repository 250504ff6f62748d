// How many columns a text takes where it is read (a terminal, a fixed-width page): the
// widths of its characters, a byte that is not UTF-8 one column.
#pragma once

#include <cstddef>
#include <string_view>

namespace kestrix::text {

// The columns of `text`: wide East Asian characters two, combining marks and other
// zero-width characters none, every other character (and every byte that is not UTF-8,
// and a control character) one.
std::size_t displayWidth(std::string_view text);

}  // namespace kestrix::text
