// A growing store of records whose addresses never change.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace cadhost {

// Owns records of one kind in fixed chunks of `kChunk`. Appending never moves
// a stored record, so references stay valid while a drawing grows (what a
// deque gives too), but a large drawing costs one allocation per chunk: a deque
// of records as large as an entity holds one record per allocation.
template <class T, std::size_t kChunk = 1024>
class RecordStore {
 public:
  RecordStore() = default;
  RecordStore(const RecordStore&) = delete;
  RecordStore& operator=(const RecordStore&) = delete;
  ~RecordStore() {
    for (std::size_t i = 0; i < size_; ++i) slot(i).~T();
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
    if (size_ == chunks_.size() * kChunk) chunks_.emplace_back(new Storage[kChunk]);
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

  std::vector<std::unique_ptr<Storage[]>> chunks_;
  std::size_t size_ = 0;
};

}  // namespace cadhost
