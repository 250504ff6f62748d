// Names a file's encoding from its first bytes.
#include "search/FileEncoding.h"

#include "platform/ReadOnlyFile.h"
#include "text/Encoding.h"
#include "text/Lines.h"

namespace kestrix::search {
namespace {

// `head` without a UTF-8 sequence cut off at its end (the probe stopped inside it).
std::string_view withoutCutTail(std::string_view head) {
  for (std::size_t back = 1; back <= 3 && back <= head.size(); ++back) {
    const auto c = static_cast<unsigned char>(head[head.size() - back]);
    if ((c & 0xC0) != 0x80) {
      const std::size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
      return need > back ? head.substr(0, head.size() - back) : head;
    }
  }
  return head;
}

}  // namespace

std::string fileEncodingName(const std::string& fullName, const std::string& legacyCodePage) {
  std::string head(kEncodingProbeBytes, '\0');
  std::size_t got = 0;
  try {
    platform::ReadOnlyFile file(fullName);
    for (std::size_t n;
         got < head.size() && (n = file.read(head.data() + got, head.size() - got)) > 0;)
      got += n;
  } catch (const platform::PlatformError&) {
    return {};
  }
  head.resize(got);
  text::Encoding encoding = text::encodingOfBom(head);
  if (encoding == text::Encoding::Utf8) {
    std::string_view text = text::textUntilNul(head);
    if (got == kEncodingProbeBytes && text.size() == got) text = withoutCutTail(text);
    if (!text::isWellFormedUtf8(text)) encoding = text::Encoding::Legacy;
  }
  return text::encodingName(encoding, legacyCodePage);
}

}  // namespace kestrix::search
