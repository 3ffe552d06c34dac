#include "value_map.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace vell {

namespace {

constexpr std::size_t kMinSlots = 16;

std::size_t HashOf(std::string_view name) { return std::hash<std::string_view>()(name); }

// Lengths are written seven bits a byte, the high bit telling that more
// follow: one byte for names and numbers.
std::size_t LengthBytes(std::size_t n) {
  std::size_t count = 1;
  for (; n >= 0x80; n >>= 7) ++count;
  return count;
}

char* WriteLength(char* p, std::size_t n) {
  for (; n >= 0x80; n >>= 7) *p++ = static_cast<char>((n & 0x7F) | 0x80);
  *p++ = static_cast<char>(n);
  return p;
}

const char* ReadLength(const char* p, std::size_t& n) {
  n = 0;
  for (unsigned shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(*p++);
    n |= static_cast<std::size_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return p;
  }
}

// A value is written as its length times two and its bytes; a shared one
// as 1 and the place of the value written out in another entry.
std::string_view ReadValue(const char* place) {
  std::size_t word;
  const char* p = ReadLength(place, word);
  if (word == 1) {
    std::memcpy(&place, p, sizeof place);
    p = ReadLength(place, word);
  }
  return std::string_view(p, word / 2);
}

}  // namespace

std::string_view ValueMap::NameOf(const char* entry) {
  std::size_t n;
  const char* p = ReadLength(entry, n);
  return std::string_view(p, n);
}

const char* ValueMap::ValuePlace(const char* entry) {
  const std::string_view name = NameOf(entry);
  return name.data() + name.size();
}

std::string_view ValueMap::ValueOf(const char* entry) { return ReadValue(ValuePlace(entry)); }

std::uint32_t ValueMap::TagOf(std::size_t hash) const {
  const auto high = static_cast<std::uint32_t>(static_cast<std::uint64_t>(hash) >> 32);
  return indexBits_ >= 32 ? 0 : high >> indexBits_ << indexBits_;
}

std::size_t ValueMap::SlotOf(std::string_view name, std::size_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  const std::uint32_t tag = TagOf(hash);
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const std::uint32_t slot = slots_[i];
    if (slot == 0) return i;
    if ((slot & ~indexMask_) == tag && NameOf(entries_[(slot & indexMask_) - 1]) == name) return i;
  }
}

std::optional<std::string_view> ValueMap::Find(std::string_view name) const {
  if (slots_.empty()) return std::nullopt;
  const std::uint32_t slot = slots_[SlotOf(name, HashOf(name))];
  if (slot == 0) return std::nullopt;
  return ValueOf(entries_[(slot & indexMask_) - 1]);
}

void ValueMap::Prefetch(std::string_view name) const {
  if (slots_.empty()) return;
    // A hint only: a compiler without it loses nothing but the head start.
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(&slots_[HashOf(name) & (slots_.size() - 1)]);
#endif
}

bool ValueMap::Insert(std::string_view name, std::string_view value) {
  MakeRoom(entries_.size() + 1);
  const std::size_t hash = HashOf(name);
  const std::size_t slot = SlotOf(name, hash);
  if (slots_[slot] != 0) return false;
  Add(slot, hash, name, value, nullptr);
  return true;
}

bool ValueMap::InsertShared(std::string_view name, std::string_view source) {
  if (slots_.empty()) return false;
  const std::uint32_t from = slots_[SlotOf(source, HashOf(source))];
  if (from == 0) return false;
  MakeRoom(entries_.size() + 1);
  const std::size_t hash = HashOf(name);
  const std::size_t slot = SlotOf(name, hash);
  if (slots_[slot] != 0) return false;
  // Always the place where the text is written out, never a second hop.
  const char* place = ValuePlace(entries_[(from & indexMask_) - 1]);
  std::size_t word;
  const char* after = ReadLength(place, word);
  if (word == 1) std::memcpy(&place, after, sizeof place);
  Add(slot, hash, name, std::string_view(), place);
  return true;
}

void ValueMap::Add(std::size_t slot, std::size_t hash, std::string_view name, std::string_view value,
                   const char* shared) {
  const std::size_t valueBytes = shared != nullptr ? 1 + sizeof shared : LengthBytes(value.size() * 2) + value.size();
  char* p = bytes_.Allocate(LengthBytes(name.size()) + name.size() + valueBytes);
  entries_.push_back(p);
  p = WriteLength(p, name.size());
  if (!name.empty()) std::memcpy(p, name.data(), name.size());
  p += name.size();
  if (shared != nullptr) {
    p = WriteLength(p, 1);
    std::memcpy(p, &shared, sizeof shared);
  } else {
    p = WriteLength(p, value.size() * 2);
    if (!value.empty()) std::memcpy(p, value.data(), value.size());
  }
  slots_[slot] = TagOf(hash) | static_cast<std::uint32_t>(entries_.size());
}

void ValueMap::Reserve(std::size_t count) {
  MakeRoom(count);
  entries_.reserve(count);
}

void ValueMap::MakeRoom(std::size_t count) {
  if (count * 2 <= slots_.size()) return;
  // Entry indexes + 1 stay below half the slot count, and that within 32 bits.
  if (count >= std::size_t{1} << 31) throw std::length_error("ValueMap: too many entries");
  std::size_t slotCount = slots_.empty() ? kMinSlots : slots_.size();
  while (slotCount < count * 2) slotCount *= 2;
  indexBits_ = 0;
  while ((std::size_t{1} << indexBits_) < slotCount) ++indexBits_;
  indexMask_ = static_cast<std::uint32_t>((std::uint64_t{1} << indexBits_) - 1);
  slots_.assign(slotCount, 0);
  const std::size_t mask = slotCount - 1;
  for (std::size_t k = 0; k < entries_.size(); ++k) {
    const std::size_t hash = HashOf(NameOf(entries_[k]));
    std::size_t i = hash & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = TagOf(hash) | static_cast<std::uint32_t>(k + 1);
  }
}

void ValueMap::Clear() {
  bytes_.Clear();
  entries_ = {};
  slots_ = {};
  indexBits_ = 0;
  indexMask_ = 0;
  listPositions_.clear();
}

const long long* ValueMap::FindListPosition(std::string_view name) const {
  const auto it = listPositions_.find(name);
  return it == listPositions_.end() ? nullptr : &it->second;
}

void ValueMap::KeepListPosition(std::string_view name, long long position) {
  listPositions_.emplace(std::string(name), position);
}

}  // namespace vell
