// The Save Lines page.
#include "results/PageText.h"
#include "results/Pages.h"
#include "results/ViewerEntries.h"
#include "text/Html.h"

namespace kestrix::results {

std::string linesPage(const search::FoundLines& lines) {
  PageText page;
  for (const char* l :
       {"<html>", "<Title>Information from the Lines Viewer</Title>", "<body>", "<pre>"}) {
    page.line(l);
  }
  for (std::size_t i = 0; i < lines.entries.size(); ++i) {
    switch (entryKind(lines, i)) {
      case EntryKind::Header:
      case EntryKind::Etc:
        page.line("<strong>" + text::htmlEscape(lines.entries[i]) + "</strong>");
        break;
      case EntryKind::Block:
        page.line(std::string(kBlue) + text::htmlEscape(lines.entries[i]) + std::string(kFontEnd));
        break;
      case EntryKind::Line:
        page.line(markedEntry(lines, i));
        break;
    }
  }
  for (const char* l : {"</pre>", "</body>", "</html>"}) page.line(l);
  return page.text();
}

}  // namespace kestrix::results
