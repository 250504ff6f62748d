// How many columns a text takes where it is read (a terminal, a fixed-width page): the
// widths of its characters, a byte that is not UTF-8 one column; and a text made fit to
// show when it is not all UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrix::text {

// The columns of `text`: wide East Asian characters two, combining marks and other
// zero-width characters none, every other character (and every byte that is not UTF-8,
// and a control character) one.
std::size_t displayWidth(std::string_view text);

// `text` as valid UTF-8 for showing: each byte that is not UTF-8 becomes "\x" and two
// upper-case hex digits, so that a name in another encoding is shown without loss and
// never as U+FFFD. Valid UTF-8 comes back unchanged.
std::string escapeForDisplay(std::string_view text);

}  // namespace kestrix::text
