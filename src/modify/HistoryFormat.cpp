// Writing and reading a run record of the undo history.
//
// Format of a run record (the file "Run" in the run's folder), version 1:
//   the line "KSR-HISTORY 1" and a line feed, exactly; then frames, each
//     TAG LENGTH NUL PAYLOAD CHECK LF
//   TAG is "H" (the header, first and once) or "E" (one changed file); LENGTH is the
//   payload's size in decimal; PAYLOAD is fields, each ended by a NUL byte; CHECK is the
//   64-bit content hash of PAYLOAD in 16 lower-case hexadecimal digits.
//   Header fields: start time (seconds since the epoch), origin, searched folder, summary.
//   Entry fields: name of the copy of the original (in the run's folder), the file's full
//   name, size and hash before, size and hash after, modification time after (ns), mode
//   (octal), owner, group, access and modification times before (ns), the number of
//   extended attributes followed by each one's name and value (value in hexadecimal), and
//   the device, inode and modification time (ns) of the ".bak" the run left (0 0 0 when
//   the user's own was kept). Numbers are decimal, hashes hexadecimal.
// A first line naming another version is refused, never read as this one. A frame cut
// short at the end is a crash while it was written: it is ignored. A frame whose check
// fails is skipped (with its reason) when its length can still be trusted; a header frame
// that fails refuses the whole record.
#include <cstdio>
#include <string>

#include "modify/ContentHash.h"
#include "modify/History.h"

namespace kestrix::modify {
namespace {

constexpr std::string_view kFormatLine = "KSR-HISTORY 1\n";
constexpr std::string_view kFormatPrefix = "KSR-HISTORY ";

std::string hex64(std::uint64_t v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
  return buf;
}

std::string hexBytes(std::string_view bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::string unhexBytes(const std::string& text) {
  if (text.size() % 2) throw std::invalid_argument("odd hex");
  std::string out;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    out += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
  }
  return out;
}

void add(std::string& out, const std::string& field) {
  out += field;
  out += '\0';
}

std::string frame(char tag, const std::string& payload) {
  std::string out(1, tag);
  out += std::to_string(payload.size());
  out += '\0';
  out += payload;
  out += hex64(stampOf(payload).hash);
  out += '\n';
  return out;
}

// Reads fields of a payload in order; throws std::exception when one is missing or bad.
class Fields {
 public:
  explicit Fields(std::string_view payload) : rest_(payload) {}
  std::string text() {
    const std::size_t end = rest_.find('\0');
    if (end == std::string_view::npos) throw std::out_of_range("missing field");
    std::string field(rest_.substr(0, end));
    rest_.remove_prefix(end + 1);
    return field;
  }
  std::int64_t number() { return std::stoll(text()); }
  std::uint64_t unsignedNumber(int base = 10) { return std::stoull(text(), nullptr, base); }
  bool done() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

RunHeader decodeHeader(std::string_view payload) {
  Fields f(payload);
  RunHeader h;
  h.timeSec = f.number();
  h.origin = f.text();
  h.folder = f.text();
  h.summary = f.text();
  if (!f.done()) throw std::invalid_argument("extra fields");
  return h;
}

HistoryEntry decodeEntry(std::string_view payload) {
  Fields f(payload);
  HistoryEntry e;
  e.original = f.text();
  e.file.fullName = f.text();
  e.file.before.sizeBytes = f.number();
  e.file.before.hash = f.unsignedNumber(16);
  e.file.after.sizeBytes = f.number();
  e.file.after.hash = f.unsignedNumber(16);
  e.file.afterMtimeNs = f.number();
  e.file.mode = static_cast<std::uint32_t>(f.unsignedNumber(8));
  e.file.uid = static_cast<std::uint32_t>(f.unsignedNumber());
  e.file.gid = static_cast<std::uint32_t>(f.unsignedNumber());
  e.accessNs = f.number();
  e.modificationNs = f.number();
  for (std::uint64_t n = f.unsignedNumber(); n > 0; --n) {
    std::string name = f.text();
    e.extendedAttributes.emplace_back(std::move(name), unhexBytes(f.text()));
  }
  e.backupDevice = f.unsignedNumber();
  e.backupInode = f.unsignedNumber();
  e.backupModificationNs = f.number();
  if (!f.done() || e.file.fullName.empty() || e.original.empty() ||
      e.original.find('/') != std::string::npos || e.original[0] == '.') {
    throw std::invalid_argument("bad entry");
  }
  return e;
}

// The next frame of `bytes` from `at`: its tag and payload. False at the end, or for a
// frame cut short. Throws HistoryError when the frame's length cannot be read (nothing
// after it can be found) and std::invalid_argument when its check fails.
bool nextFrame(std::string_view bytes, std::size_t& at, char& tag, std::string_view& payload) {
  if (at >= bytes.size()) return false;
  const std::size_t nul = bytes.find('\0', at);
  if (nul == std::string_view::npos) return false;
  tag = bytes[at];
  std::size_t length = 0;
  const std::string_view digits = bytes.substr(at + 1, nul - at - 1);
  if ((tag != 'H' && tag != 'E') || digits.empty() || digits.size() > 12 ||
      digits.find_first_not_of("0123456789") != std::string_view::npos) {
    throw HistoryError("damaged after " + std::to_string(at) + " bytes");
  }
  length = std::stoull(std::string(digits));
  if (nul + 1 + length + 17 > bytes.size()) return false;  // cut short by a crash
  payload = bytes.substr(nul + 1, length);
  const std::string_view check = bytes.substr(nul + 1 + length, 16);
  const bool ends = bytes[nul + 1 + length + 16] == '\n';
  at = nul + 1 + length + 17;
  if (!ends || check != hex64(stampOf(payload).hash)) {
    throw std::invalid_argument("fails its check");
  }
  return true;
}

void requireFormatLine(std::string_view bytes, const std::string& id) {
  if (bytes.substr(0, kFormatLine.size()) == kFormatLine) return;
  const std::string shown = "The undo history's run " + id;
  const std::size_t end = bytes.find('\n');
  if (bytes.substr(0, kFormatPrefix.size()) == kFormatPrefix && end != std::string_view::npos &&
      end > kFormatPrefix.size() && end < 40) {
    const std::string version(bytes.substr(kFormatPrefix.size(), end - kFormatPrefix.size()));
    if (version.find_first_not_of("0123456789") == std::string::npos) {
      throw HistoryError(shown + " has the format \"" + version +
                         "\", which this version does not know; it is left as it is");
    }
  }
  throw HistoryError(shown + " has a damaged header; it is left as it is");
}

}  // namespace

std::string encodeRunHeader(const RunHeader& header) {
  std::string payload;
  add(payload, std::to_string(header.timeSec));
  add(payload, header.origin);
  add(payload, header.folder);
  add(payload, header.summary);
  return std::string(kFormatLine) + frame('H', payload);
}

std::string encodeRunEntry(const HistoryEntry& e) {
  std::string p;
  add(p, e.original);
  add(p, e.file.fullName);
  add(p, std::to_string(e.file.before.sizeBytes));
  add(p, hex64(e.file.before.hash));
  add(p, std::to_string(e.file.after.sizeBytes));
  add(p, hex64(e.file.after.hash));
  add(p, std::to_string(e.file.afterMtimeNs));
  char mode[16];
  std::snprintf(mode, sizeof mode, "%o", e.file.mode);
  add(p, mode);
  add(p, std::to_string(e.file.uid));
  add(p, std::to_string(e.file.gid));
  add(p, std::to_string(e.accessNs));
  add(p, std::to_string(e.modificationNs));
  add(p, std::to_string(e.extendedAttributes.size()));
  for (const auto& [name, value] : e.extendedAttributes) {
    add(p, name);
    add(p, hexBytes(value));
  }
  add(p, std::to_string(e.backupDevice));
  add(p, std::to_string(e.backupInode));
  add(p, std::to_string(e.backupModificationNs));
  return frame('E', p);
}

RunRecord parseRunRecord(std::string_view bytes, const std::string& id) {
  requireFormatLine(bytes, id);
  RunRecord record;
  record.id = id;
  std::size_t at = kFormatLine.size();
  char tag = 0;
  std::string_view payload;
  try {
    if (!nextFrame(bytes, at, tag, payload) || tag != 'H') throw std::invalid_argument("header");
    record.header = decodeHeader(payload);
  } catch (const std::exception&) {
    throw HistoryError("The undo history's run " + id +
                       " has a damaged header; it is left as it is");
  }
  for (std::size_t number = 1;; ++number) {
    try {
      if (!nextFrame(bytes, at, tag, payload)) break;
      if (tag != 'E') throw std::invalid_argument("a second header");
      record.entries.push_back(decodeEntry(payload));
    } catch (const HistoryError& e) {
      record.damaged.push_back("the record is " + std::string(e.what()) +
                               "; the files after it "
                               "are not undone");
      break;
    } catch (const std::exception&) {
      record.damaged.push_back("entry " + std::to_string(number) +
                               " of the record fails its check and is skipped");
    }
  }
  return record;
}

}  // namespace kestrix::modify
