// JSON records of listed files, written with nlohmann::json.
#include "cli/JsonOutput.h"

#include <nlohmann/json.hpp>

namespace kestrix::cli {
namespace {

// Keeps the keys in the order written: path first.
using json = nlohmann::ordered_json;

bool validUtf8(const std::string& text) {
  try {
    (void)json(text).dump();
    return true;
  } catch (const json::type_error&) {  // 316: invalid UTF-8 byte
    return false;
  }
}

}  // namespace

std::string jsonRecord(const search::ResultItem& item, bool withFound,
                       const std::vector<std::string>* lines) {
  const std::string path = item.fullName();
  json record;
  record["path"] = path;
  if (!validUtf8(path)) {
    std::vector<unsigned> bytes;
    for (const char c : path) bytes.push_back(static_cast<unsigned char>(c));
    record["path_bytes"] = bytes;
  }
  if (withFound) record["found"] = item.hits;
  const std::string_view result = search::resultWord(item.outcome.result);
  record["result"] = result.empty() ? json(nullptr) : json(std::string(result));
  if (lines != nullptr) record["lines"] = *lines;
  return record.dump(-1, ' ', false, json::error_handler_t::replace) + '\n';
}

}  // namespace kestrix::cli
