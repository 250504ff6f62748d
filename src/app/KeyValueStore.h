// The settings store seen by the core: string values under two keys (the main key with the
// histories, and `Options`), with the integer, boolean and string encodings the stored
// values use, and an in-memory store for tests. Errors are silent: reads give defaults,
// writes that cannot be made are dropped.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace kestrix::app {

// The largest settings file read: one beyond it is left alone.
inline constexpr std::int64_t kMaxSettingsBytes = 16 << 20;

// The two keys: the main key holds the five history lists, `Options` every other value.
enum class Key { Main, Options };

class KeyValueStore {
 public:
  virtual ~KeyValueStore() = default;
  // The stored text of `name` under `key`, or nothing when there is none.
  virtual std::optional<std::string> read(Key key, const std::string& name) const = 0;
  // Stores `value`; a store that cannot be written drops it.
  virtual void write(Key key, const std::string& name, const std::string& value) = 0;
};

// A store in memory, for tests and for runs that must leave the user's settings alone.
class MemoryStore : public KeyValueStore {
 public:
  std::optional<std::string> read(Key key, const std::string& name) const override;
  void write(Key key, const std::string& name, const std::string& value) override;
  // Every stored value; tests look at the raw texts.
  const std::map<std::pair<Key, std::string>, std::string>& values() const { return values_; }

 private:
  std::map<std::pair<Key, std::string>, std::string> values_;
};

// The text of `name`, or `fallback` when it is missing.
std::string readString(const KeyValueStore& store, Key key, const std::string& name,
                       const std::string& fallback);
// Decimal text (an optional "-" and digits, nothing else, within int range); anything else,
// or a missing value, gives `fallback`.
int readInt(const KeyValueStore& store, Key key, const std::string& name, int fallback);
// Read as an integer: any non-zero number is true; malformed or missing gives `fallback`.
bool readBool(const KeyValueStore& store, Key key, const std::string& name, bool fallback);

void writeString(KeyValueStore& store, Key key, const std::string& name, const std::string& value);
// Decimal text.
void writeInt(KeyValueStore& store, Key key, const std::string& name, int value);
// "1" or "0".
void writeBool(KeyValueStore& store, Key key, const std::string& name, bool value);

// The integer of decimal `text`, or nothing when it is not exactly one.
std::optional<int> parseDecimal(const std::string& text);

}  // namespace kestrix::app
