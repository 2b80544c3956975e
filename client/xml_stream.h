// SPDX-License-Identifier: MIT
// expat behind a small interface: bytes in, events to the caller out, the
// parser's memory through the library's gate, names as namespace URI and
// local name joined by kNameSeparator. Nothing is thrown through expat's C
// frames: an exception in a handler (memory running out) stops the parse.
#ifndef NV_CLIENT_XML_STREAM_H
#define NV_CLIENT_XML_STREAM_H

#include <cstdint>
#include <string_view>

struct XML_ParserStruct;

namespace nv {

class XmlEvents {
 public:
  virtual ~XmlEvents() = default;
  virtual void elementBegun(const char* name, const char** attributes) = 0;
  virtual void elementEnded() = 0;
  virtual void text(std::string_view text) = 0;
  // Markup that is not an element or text (comments, processing
  // instructions), and tags handed back by passOnCurrent(), as written.
  virtual void markup(std::string_view text) = 0;
  virtual void namespaceDeclared(std::string_view uri) = 0;
  virtual void doctype() = 0;
};

class XmlStream {
 public:
  // encoding: what the parser assumes instead of what the document
  // declares, or null. Throws std::bad_alloc when memory runs out.
  XmlStream(const char* encoding, XmlEvents& events);
  ~XmlStream();
  XmlStream(const XmlStream&) = delete;
  XmlStream& operator=(const XmlStream&) = delete;

  // False when the bytes are not well-formed, or the parse was stopped.
  bool parse(std::string_view bytes, bool final);
  void stop();
  // Inside a handler of an element's start or end: its tag goes to markup().
  void passOnCurrent();
  // Where the parser is, counted in the bytes it was given; -1 before its
  // first event.
  int64_t byteIndex() const;
  int64_t bytesGiven() const { return given_; }
  // A handler threw: the parse was stopped.
  bool interrupted() const { return interrupted_; }

 private:
  friend struct XmlHandlers;

  XML_ParserStruct* parser_;
  XmlEvents& events_;
  int64_t given_ = 0;
  bool interrupted_ = false;
};

// Parsers are reused: an idle one is reset for the next stream. These free
// the idle ones (so that the next stream makes its parser afresh, as the
// process's first does), and the pool too (when the library is unloaded).
void freeIdleXmlParsers();
void releaseXmlParsers();

}  // namespace nv

#endif
