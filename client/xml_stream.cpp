// SPDX-License-Identifier: MIT
#include "client/xml_stream.h"

#include <expat.h>

#include <atomic>
#include <new>

#include "client/answer_step.h"
#include "client/idle_pool.h"
#include "text/allocation_gate.h"
#include "text/platform.h"

namespace nv {
namespace {

// Setting a parser up costs about as much as reading a small answer: idle
// ones are kept and reset for the next answers. Only a parser that read a
// small answer through is kept, so that what it holds stays small (expat
// keeps its blocks across a reset), and never one that ran out of memory.
constexpr int64_t kMostInputKept = 64 * 1024;

void freeParser(XML_Parser parser) { XML_ParserFree(parser); }
using ParserPool = IdlePool<XML_Parser, freeParser>;

std::atomic<ParserPool*> madeParsers{nullptr};
std::atomic<bool> watchingForks{false};

// A forked child may inherit the lock held by a thread it does not have:
// it makes parsers of its own and never touches its parent's.
void forgetParsersInChild() { madeParsers.store(nullptr); }

// Null when no memory for the pool: every parser is then made afresh.
ParserPool* parsers() {
  if (ParserPool* pool = madeParsers.load(std::memory_order_acquire)) return pool;
  ParserPool* created;
  try {
    created = new ParserPool;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  ParserPool* expected = nullptr;
  if (!madeParsers.compare_exchange_strong(expected, created)) {
    delete created;
    return expected;
  }
  if (!watchingForks.exchange(true)) watchForks(nullptr, nullptr, forgetParsersInChild);
  return created;
}

}  // namespace

void freeIdleXmlParsers() {
  if (ParserPool* pool = madeParsers.load()) pool->freeAll();
}

void releaseXmlParsers() { delete madeParsers.exchange(nullptr); }

// expat's handlers, in its calling convention.
struct XmlHandlers {
  template <class Handler>
  static void guarded(void* self, Handler&& handler) {
    auto* stream = static_cast<XmlStream*>(self);
    try {
      handler(stream->events_);
    } catch (...) {
      stream->interrupted_ = true;
      stream->stop();
    }
  }
  static void XMLCALL start(void* self, const XML_Char* name, const XML_Char** attributes) {
    guarded(self, [&](XmlEvents& events) { events.elementBegun(name, attributes); });
  }
  static void XMLCALL end(void* self, const XML_Char*) {
    guarded(self, [](XmlEvents& events) { events.elementEnded(); });
  }
  static void XMLCALL text(void* self, const XML_Char* text, int length) {
    guarded(self, [&](XmlEvents& events) { events.text(std::string_view(text, static_cast<size_t>(length))); });
  }
  static void XMLCALL markup(void* self, const XML_Char* text, int length) {
    guarded(self, [&](XmlEvents& events) { events.markup(std::string_view(text, static_cast<size_t>(length))); });
  }
  // CDATA sections are text like any other: their edges are not passed on.
  static void XMLCALL cdataEdge(void*) {}
  static void XMLCALL doctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    guarded(self, [](XmlEvents& events) { events.doctype(); });
  }
  static void XMLCALL namespaceDeclared(void* self, const XML_Char*, const XML_Char* uri) {
    guarded(self, [&](XmlEvents& events) { events.namespaceDeclared(uri != nullptr ? uri : ""); });
  }
};

XmlStream::XmlStream(const char* encoding, XmlEvents& events) : events_(events) {
  static const XML_Memory_Handling_Suite kMemory = {gatedMalloc, gatedRealloc, gatedFree};
  static const XML_Char kSeparator[] = {kNameSeparator, '\0'};
  ParserPool* pool = parsers();
  parser_ = pool != nullptr ? pool->take() : nullptr;
  if (parser_ != nullptr) {
    // As made anew, handlers and all; only the encoding given needs memory.
    XML_ParserReset(parser_, nullptr);
    if (encoding != nullptr && XML_SetEncoding(parser_, encoding) != XML_STATUS_OK) {
      XML_ParserFree(parser_);
      throw std::bad_alloc();
    }
  } else {
    parser_ = XML_ParserCreate_MM(encoding, &kMemory, kSeparator);
    if (parser_ == nullptr) throw std::bad_alloc();
  }
  XML_SetUserData(parser_, this);
  XML_SetElementHandler(parser_, XmlHandlers::start, XmlHandlers::end);
  XML_SetCharacterDataHandler(parser_, XmlHandlers::text);
  XML_SetDefaultHandlerExpand(parser_, XmlHandlers::markup);
  XML_SetCdataSectionHandler(parser_, XmlHandlers::cdataEdge, XmlHandlers::cdataEdge);
  XML_SetStartDoctypeDeclHandler(parser_, XmlHandlers::doctype);
  XML_SetStartNamespaceDeclHandler(parser_, XmlHandlers::namespaceDeclared);
}

XmlStream::~XmlStream() {
  ParserPool* pool = madeParsers.load(std::memory_order_acquire);
  const bool keep =
      pool != nullptr && !interrupted_ && given_ <= kMostInputKept && XML_GetErrorCode(parser_) != XML_ERROR_NO_MEMORY;
  if (keep)
    pool->give(parser_);
  else
    XML_ParserFree(parser_);
}

bool XmlStream::parse(std::string_view bytes, bool final) {
  // expat takes an int count: very large pieces go in parts.
  constexpr size_t kMostAtOnce = 1 << 30;
  do {
    size_t part = bytes.size() < kMostAtOnce ? bytes.size() : kMostAtOnce;
    bool last = final && part == bytes.size();
    given_ += static_cast<int64_t>(part);
    if (XML_Parse(parser_, bytes.data(), static_cast<int>(part), last) == XML_STATUS_ERROR) return false;
    bytes.remove_prefix(part);
  } while (!bytes.empty());
  return true;
}

void XmlStream::stop() { XML_StopParser(parser_, XML_FALSE); }

void XmlStream::passOnCurrent() { XML_DefaultCurrent(parser_); }

int64_t XmlStream::byteIndex() const { return static_cast<int64_t>(XML_GetCurrentByteIndex(parser_)); }

}  // namespace nv
