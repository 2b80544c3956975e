// Encypt and DeEncypt: base64 for the HIS, as bare texts. The blocks are at
// least 4000 bytes, the size callers were promised, and larger when the text
// needs it.
#include "NvInterFace.h"
#include "frame/boundary.h"
#include "text/codec.h"

#include <cstdlib>

namespace {
constexpr size_t kCodecBlockSize = 4000;

template <class Body>
char* guardBareText(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return nullptr;  // memory ran out: there is no text to give
  }
}
}  // namespace

extern "C" {

NV_API char* NV_CALL Encypt(NvText text) {
  return guardBareText([&] { return nv::copyToHeap(nv::base64Encode(nv::argText(text)), kCodecBlockSize); });
}

NV_API char* NV_CALL DeEncypt(NvText base64Text) {
  return guardBareText([&] {
    // The text ends at the first zero byte the decoding produced.
    std::string bytes = nv::decodeLenient(nv::argText(base64Text));
    return nv::copyToHeap(std::string_view(bytes.c_str()), kCodecBlockSize);
  });
}

NV_API void NV_CALL freeResult(char* result) { std::free(result); }

}  // extern "C"
