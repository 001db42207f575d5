// Memory for the large arrays of an open drawing, on transparent huge pages.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <new>

namespace cadhost {

// Opening a large drawing touches a few hundred megabytes of fresh memory for
// its records and tag positions. In 4 KiB pages the page faults cost more than
// the reading itself (measured: about two thirds of opening a 53 MB drawing),
// so arrays of 2 MiB and more are aligned to 2 MiB and advised to use
// transparent huge pages, where the system offers them on request (madvise
// mode). The advice changes no behaviour: refused, the pages stay small.
inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

inline std::size_t WholeHugePages(std::size_t bytes) {
  return (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
}

// Arrays of 2 MiB and more are mapped directly, so that freeing them returns
// them to the system at once (through the heap, aligned blocks this large
// stay behind and a second drawing opened after the first grows the process).
inline void* AllocateLarge(std::size_t bytes) {
  if (bytes < kHugePageBytes) return ::operator new(bytes);
  const std::size_t size = WholeHugePages(bytes);
  // One huge page more than needed, then the unaligned ends given back.
  void* mapped = ::mmap(nullptr, size + kHugePageBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = (start + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
  if (aligned > start) ::munmap(mapped, aligned - start);
  const std::uintptr_t end = start + size + kHugePageBytes;
  if (end > aligned + size) ::munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
  ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

inline void FreeLarge(void* memory, std::size_t bytes) {
  if (bytes < kHugePageBytes) ::operator delete(memory);
  else ::munmap(memory, WholeHugePages(bytes));
}

// A standard allocator over AllocateLarge, for vectors that grow large.
template <class T>
struct LargeArrayAllocator {
  using value_type = T;
  LargeArrayAllocator() = default;
  template <class U>
  LargeArrayAllocator(const LargeArrayAllocator<U>&) {}
  T* allocate(std::size_t count) { return static_cast<T*>(AllocateLarge(count * sizeof(T))); }
  void deallocate(T* memory, std::size_t count) { FreeLarge(memory, count * sizeof(T)); }
  friend bool operator==(const LargeArrayAllocator&, const LargeArrayAllocator&) { return true; }
};

}  // namespace cadhost
