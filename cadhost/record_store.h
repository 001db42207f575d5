// A growing store of records whose addresses never change.
#pragma once

#include <cstddef>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "cadhost/large_arrays.h"

namespace cadhost {

// Owns records of one kind in chunks of about 2 MiB (on huge pages, see
// large_arrays.h). Appending never moves a stored record, so references stay
// valid while a drawing grows (what a deque gives too), but a large drawing
// costs one allocation per chunk: a deque of records as large as an entity
// holds one record per allocation.
template <class T>
class RecordStore {
 public:
  static constexpr std::size_t kChunk = kHugePageBytes / sizeof(T) > 0 ? kHugePageBytes / sizeof(T) : 1;
  // What a chunk takes: whole huge pages.
  static constexpr std::size_t kChunkBytes =
      (kChunk * sizeof(T) + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;

  RecordStore() = default;
  RecordStore(const RecordStore&) = delete;
  RecordStore& operator=(const RecordStore&) = delete;
  ~RecordStore() {
    for (std::size_t i = 0; i < size_; ++i) slot(i).~T();
    for (Storage* chunk : chunks_) FreeLarge(chunk, kChunkBytes);
  }

  std::size_t size() const { return size_; }
  T& at(std::size_t i) {
    check(i);
    return slot(i);
  }
  const T& at(std::size_t i) const {
    check(i);
    return const_cast<RecordStore*>(this)->slot(i);
  }
  T& back() { return slot(size_ - 1); }

  void push_back(T record) {
    if (size_ == chunks_.size() * kChunk) {
      chunks_.reserve(chunks_.size() + 1);
      chunks_.push_back(static_cast<Storage*>(AllocateLarge(kChunkBytes)));
    }
    ::new (static_cast<void*>(&chunks_[size_ / kChunk][size_ % kChunk])) T(std::move(record));
    ++size_;
  }

 private:
  // Raw room for one record; constructed only when a record is appended.
  struct alignas(T) Storage {
    std::byte bytes[sizeof(T)];
  };

  T& slot(std::size_t i) { return *std::launder(reinterpret_cast<T*>(&chunks_[i / kChunk][i % kChunk])); }
  void check(std::size_t i) const {
    if (i >= size_) throw std::out_of_range("no record at index " + std::to_string(i));
  }

  std::vector<Storage*> chunks_;  // owned, raw: records are made in them one by one
  std::size_t size_ = 0;
};

}  // namespace cadhost
