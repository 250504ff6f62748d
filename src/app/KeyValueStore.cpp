// The value encodings over any key/value store, and the in-memory store.
#include "app/KeyValueStore.h"

#include <charconv>

namespace kestrix::app {

std::optional<std::string> MemoryStore::read(Key key, const std::string& name) const {
  const auto it = values_.find({key, name});
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

void MemoryStore::write(Key key, const std::string& name, const std::string& value) {
  values_[{key, name}] = value;
}

std::optional<int> parseDecimal(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::string readString(const KeyValueStore& store, Key key, const std::string& name,
                       const std::string& fallback) {
  std::optional<std::string> value = store.read(key, name);
  return value ? *value : fallback;
}

int readInt(const KeyValueStore& store, Key key, const std::string& name, int fallback) {
  const std::optional<std::string> value = store.read(key, name);
  if (!value) return fallback;
  return parseDecimal(*value).value_or(fallback);
}

bool readBool(const KeyValueStore& store, Key key, const std::string& name, bool fallback) {
  return readInt(store, key, name, fallback ? 1 : 0) != 0;
}

void writeString(KeyValueStore& store, Key key, const std::string& name, const std::string& value) {
  store.write(key, name, value);
}

void writeInt(KeyValueStore& store, Key key, const std::string& name, int value) {
  store.write(key, name, std::to_string(value));
}

void writeBool(KeyValueStore& store, Key key, const std::string& name, bool value) {
  store.write(key, name, value ? "1" : "0");
}

}  // namespace kestrix::app
