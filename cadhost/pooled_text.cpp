#include "cadhost/pooled_text.h"

#include <array>
#include <functional>
#include <mutex>
#include <unordered_set>

namespace cadhost {

namespace {

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

// The pool itself. Entries of an unordered set keep their address when the set
// grows, which is what makes a pointer to one a stable identity.
class TextPool {
 public:
  const std::string* Find(std::string_view text) {
    std::lock_guard lock(mutex_);
    auto it = texts_.find(text);
    if (it == texts_.end()) it = texts_.emplace(text).first;
    return &*it;
  }

 private:
  std::mutex mutex_;
  std::unordered_set<std::string, TextHash, std::equal_to<>> texts_;
};

TextPool& Pool() {
  static auto* pool = new TextPool;  // never destroyed: records of static drawings may outlive it
  return *pool;
}

// Reading a drawing asks for the same few texts hundreds of thousands of
// times. A small cache per thread, indexed by a cheap mix of the text's length
// and end bytes, answers most of them without taking the pool's lock.
const std::string* Intern(std::string_view text) {
  thread_local std::array<const std::string*, 64> recent{};
  const std::size_t slot =
      text.empty() ? 0
                   : (text.size() * 31 + static_cast<unsigned char>(text.front()) * 7 +
                      static_cast<unsigned char>(text.back())) % recent.size();
  const std::string* cached = recent[slot];
  if (cached != nullptr && *cached == text) return cached;
  const std::string* pooled = Pool().Find(text);
  recent[slot] = pooled;
  return pooled;
}

}  // namespace

PooledText::PooledText() : text_(Intern({})) {}
PooledText::PooledText(std::string_view text) : text_(Intern(text)) {}

}  // namespace cadhost
