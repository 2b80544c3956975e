// SPDX-License-Identifier: MIT
// The text codecs against plain reference codecs: decodeField of any bytes,
// DeEncypt of any C text, and the Encypt round trip.
#include "NvInterFace.h"
#include "text/codec.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace nvfuzz;

// The caller was promised blocks of at least 4000 bytes; reading the last
// one makes AddressSanitizer prove it.
std::string takeBlock(char* block, const char* what) {
  if (block != nullptr) {
    volatile char last = block[3999];
    (void)last;
  }
  return take(block, what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = asText(data, size);

  const std::string field = nv::decodeField(bytes);
  require(field == referenceDecodeField(bytes), "decodeField agrees with the reference");
  require(nv::decodeStrict(nv::base64Encode(bytes)) == bytes, "decodeStrict(base64Encode(x)) == x");
  if (nv::isWellFormedBase64(bytes)) {
    // Any well-formed text decodes to bytes that encode back to the same bytes.
    std::string stripped;
    for (char c : bytes)
      if (c != '\r' && c != '\n') stripped += c;
    const std::string decoded = nv::decodeStrict(stripped);
    require(nv::decodeStrict(nv::base64Encode(decoded)) == decoded, "strict decoding is stable");
  }

  const std::string text = cText(bytes);  // what a C caller can pass
  const std::string before = text;
  const std::string lenient = takeBlock(DeEncypt(text.c_str()), "DeEncypt");
  require(lenient == cText(referenceDecodeLenient(text)), "DeEncypt agrees with the reference");
  const std::string encoded = takeBlock(Encypt(text.c_str()), "Encypt");
  require(encoded == referenceEncode(text), "Encypt agrees with the reference");
  require(takeBlock(DeEncypt(encoded.c_str()), "DeEncypt") == text, "DeEncypt(Encypt(x)) == x");
  require(nv::decodeField(encoded) == cText(text), "decodeField(Encypt(x)) == x");
  require(text == before, "the caller's text is untouched");
  return 0;
}
