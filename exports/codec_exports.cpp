// SPDX-License-Identifier: MIT
// Encypt and DeEncypt: base64 for the HIS, as bare texts. The blocks are at
// least 4000 bytes, the size callers were promised, and larger when the text
// needs it.
#include "NvInterFace.h"
#include "frame/boundary.h"
#include "frame/export_sheet.h"
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

void nv::addCodecFacts(std::vector<ExportFacts>& facts) {
  const Words block{"返回裸文本(不是结果文档),所在内存块至少 4000 字节;同样用 freeResult 释放",
                    "returns a bare text, not a result document, in a block of at least 4000 bytes; release it "
                    "with freeResult too"};
  ExportFacts encode{"Encypt", ExportKind::kCodec};
  encode.parameters = {"text"};
  encode.meanings = {{"任意文本(字节)", "any text (bytes)"}};
  encode.remarks = {{"返回文本的 base64 编码", "returns the text's base64 form"}, block};
  facts.push_back(encode);
  ExportFacts decode{"DeEncypt", ExportKind::kCodec};
  decode.parameters = {"base64Text"};
  decode.meanings = {{"base64 文本", "a base64 text"}};
  decode.remarks = {{"不加检查地解码:字母表以外的字节按全 1 位计;返回的文本到解出的第一个零字节为止",
                     "decodes without checking: a byte outside the base64 alphabet counts as all bits set; the text "
                     "ends at the first zero byte decoded"},
                    block};
  facts.push_back(decode);
  ExportFacts release{"freeResult", ExportKind::kRelease};
  release.parameters = {"result"};
  facts.push_back(release);
}
