// SPDX-License-Identifier: MIT
#include "text/document_text.h"

#include "text/allocation_gate.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace nv {

DocumentText::~DocumentText() { gatedFree(data_); }

void DocumentText::reserve(size_t bytes) {
  if (bytes <= capacity_ && data_ != nullptr) return;
  if (bytes + 1 == 0) throw std::bad_alloc();
  // realloc moves a large block by remapping its pages, not by copying them.
  auto* grown = static_cast<char*>(gatedRealloc(data_, bytes + 1));
  if (grown == nullptr) throw std::bad_alloc();
  data_ = grown;
  capacity_ = bytes;
}

void DocumentText::growFor(size_t bytes) {
  if (size_ + bytes < size_) throw std::bad_alloc();
  if (size_ + bytes <= capacity_ && data_ != nullptr) return;
  size_t doubled = capacity_ * 2 > capacity_ ? capacity_ * 2 : size_ + bytes;
  reserve(size_ + bytes > doubled ? size_ + bytes : doubled < 64 ? 64 : doubled);
}

void DocumentText::resize(size_t bytes) {
  if (bytes > size_) {
    growFor(bytes - size_);
    std::memset(data_ + size_, 0, bytes - size_);
  }
  size_ = bytes;
}

void DocumentText::append(const char* bytes, size_t count) {
  if (count == 0) return;
  growFor(count);
  std::memcpy(data_ + size_, bytes, count);
  size_ += count;
}

void DocumentText::insert(size_t at, std::string_view bytes) {
  if (bytes.empty()) return;
  if (at > size_) at = size_;
  growFor(bytes.size());
  std::memmove(data_ + at + bytes.size(), data_ + at, size_ - at);
  std::memcpy(data_ + at, bytes.data(), bytes.size());
  size_ += bytes.size();
}

size_t DocumentText::find(char c, size_t from) const {
  if (from >= size_) return npos;
  const void* found = std::memchr(data_ + from, c, size_ - from);
  return found != nullptr ? static_cast<size_t>(static_cast<const char*>(found) - data_) : npos;
}

char* DocumentText::release() {
  if (data_ == nullptr) {
    try {
      reserve(0);
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }
  data_[size_] = '\0';
  // Room reserved and not used goes back; shrinking in place copies nothing.
  if (capacity_ - size_ > 4096)
    if (auto* fitted = static_cast<char*>(gatedRealloc(data_, size_ + 1))) data_ = fitted;
  char* block = data_;
  data_ = nullptr;
  size_ = capacity_ = 0;
  return block;
}

}  // namespace nv
