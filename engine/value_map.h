// The map from variable name (upper case) to value text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "byte_arena.h"

namespace vell {

class ValueMap {
 public:
  // The stored value, or nullopt when the name has no entry. The view stays
  // valid until Clear. No allocation.
  std::optional<std::string_view> Find(std::string_view name) const;
  bool Contains(std::string_view name) const { return Find(name).has_value(); }
  // Stores name -> value unless the name exists; returns whether it stored.
  bool Insert(std::string_view name, std::string_view value);
  // Stores name with the very value text of source, which must have an
  // entry, without copying it; returns whether it stored.
  bool InsertShared(std::string_view name, std::string_view source);
  // Asks for the memory an Insert or Find of name reads first, so that it
  // arrives while other work goes on. Changes nothing.
  void Prefetch(std::string_view name) const;
  // Room for this many entries without growing.
  void Reserve(std::size_t count);
  void Clear();
  // Whether the text lies in the map's storage (its views end with Clear).
  bool Holds(std::string_view text) const { return bytes_.Holds(text); }
  std::size_t Size() const { return entries_.size(); }

  // The list-variable rule's outcome for name, kept once LIST(name) exists:
  // neither value can change until Clear. 0 means the value stays as it is,
  // else it is its position in the list.
  const long long* FindListPosition(std::string_view name) const;
  void KeepListPosition(std::string_view name, long long position);

  // Calls f(name, value) for every entry, in the order they were stored.
  template <typename F>
  void ForEach(F&& f) const {
    for (const char* entry : entries_) f(NameOf(entry), ValueOf(entry));
  }

 private:
  // An entry is one record in bytes_: the name's length and bytes, then
  // either the value's length and bytes or the place of another entry's
  // value, which it shares.
  static std::string_view NameOf(const char* entry);
  static std::string_view ValueOf(const char* entry);
  static const char* ValuePlace(const char* entry);

  // The bits of a slot above the entry index, taken from the hash.
  std::uint32_t TagOf(std::size_t hash) const;
  // The slot that holds name, or the empty slot where it would go.
  std::size_t SlotOf(std::string_view name, std::size_t hash) const;
  // Stores the entry for a name known to be new; value is a text, or the
  // place of a stored value when shared.
  void Add(std::size_t slot, std::size_t hash, std::string_view name, std::string_view value, const char* shared);
  // Enough slots for count entries.
  void MakeRoom(std::size_t count);

  ByteArena bytes_;
  std::vector<const char*> entries_;
  // Open addressing with linear probing, never more than half full, the
  // size a power of two. A slot holds the entry's index + 1 (0 when empty)
  // in its low indexBits_ bits, which the slot count needs, and bits of the
  // name's hash above them, so that probing past other names rarely reads
  // their records.
  std::vector<std::uint32_t> slots_;
  unsigned indexBits_ = 0;
  std::uint32_t indexMask_ = 0;
  std::map<std::string, long long, std::less<>> listPositions_;
};

}  // namespace vell
