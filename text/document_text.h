// SPDX-License-Identifier: MIT
// The growing bytes of a result document, held in one block of the C heap
// that is handed to the caller as it stands: a catalogue of a hundred
// megabytes is never copied to be returned.
#ifndef NV_TEXT_DOCUMENT_TEXT_H
#define NV_TEXT_DOCUMENT_TEXT_H

#include <cstddef>
#include <string_view>

namespace nv {

class DocumentText {
 public:
  static constexpr size_t npos = static_cast<size_t>(-1);

  DocumentText() = default;
  ~DocumentText();
  DocumentText(const DocumentText&) = delete;
  DocumentText& operator=(const DocumentText&) = delete;

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  size_t capacity() const { return capacity_; }
  const char* data() const { return data_ != nullptr ? data_ : ""; }
  char& operator[](size_t i) { return data_[i]; }
  std::string_view view() const { return {data(), size_}; }
  operator std::string_view() const { return view(); }

  // Room for `bytes` in all; throws std::bad_alloc when memory runs out.
  void reserve(size_t bytes);
  // Cuts the text, or lengthens it with zero bytes.
  void resize(size_t bytes);
  void append(const char* bytes, size_t count);
  void append(std::string_view bytes) { append(bytes.data(), bytes.size()); }
  void append(const char* begin, const char* end) { append(begin, static_cast<size_t>(end - begin)); }
  DocumentText& operator+=(std::string_view bytes) {
    append(bytes);
    return *this;
  }
  void push_back(char c) { append(&c, 1); }
  void insert(size_t at, std::string_view bytes);
  size_t find(char c, size_t from = 0) const;

  // The text as a NUL-terminated block of the C heap (malloc), which the
  // caller owns; the text is empty afterwards. Null when memory runs out.
  char* release();

  friend bool operator==(const DocumentText& text, std::string_view bytes) { return text.view() == bytes; }

 private:
  void growFor(size_t bytes);
  char* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;  // not counting the byte kept for the closing NUL
};

}  // namespace nv

#endif
