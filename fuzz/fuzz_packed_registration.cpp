// SPDX-License-Identifier: MIT
// Any packed registration text: inpRegisterB must behave exactly as
// inpRegister called with the fields that the multibyte strtok of code page
// 936 finds (a field of one space standing for the empty value), whatever
// the text's length, and must leave the caller's text as it was.
#include <cstring>
#include <vector>

#include "NvInterFace.h"
#include "frame/packed_text.h"
#include "tests/support/session_seams.h"
#include "tests/support/document_check.h"
#include "tests/support/export_catalogue.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace nvfuzz;

constexpr size_t kSlots = 32;

// The C runtime's multibyte strtok under code page 936, as the packed
// format is read: separators are skipped, then a field runs to the next "|"
// that is not the second byte of a character (a byte 81 to FE opens one).
char* multibyteToken(char* text, char** position) {
  unsigned char* p = reinterpret_cast<unsigned char*>(text ? text : *position);
  while (*p == '|') ++p;
  if (*p == '\0') {
    *position = reinterpret_cast<char*>(p);
    return nullptr;
  }
  unsigned char* start = p;
  while (*p != '\0' && *p != '|') p += (*p >= 0x81 && *p <= 0xFE && p[1] != '\0') ? 2 : 1;
  if (*p != '\0') *p++ = '\0';
  *position = reinterpret_cast<char*>(p);
  return reinterpret_cast<char*>(start);
}

std::vector<std::string> tokenSlots(const std::string& text) {
  std::vector<std::string> slots(kSlots);
  std::vector<char> copy(text.begin(), text.end());
  copy.push_back('\0');
  char* position = nullptr;
  size_t filled = 0;
  for (char* field = multibyteToken(copy.data(), &position); field != nullptr && filled < kSlots;
       field = multibyteToken(nullptr, &position))
    slots[filled++] = std::strcmp(field, " ") == 0 ? "" : field;
  return slots;
}

struct Outcome {
  std::string document;
  std::string sent;
};

template <class Call>
Outcome callWithAnswer(const std::string& answer, Call call) {
  nvtest::ScopedSessionTransport transport(answer);
  std::string document = take(call(), "the registration");
  return {document, transport.sent()};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  enterConfiguredScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = cText(asText(data, size));
  const std::vector<std::string> slots = tokenSlots(text);

  const std::vector<std::string_view> split = nv::splitPackedText(text, kSlots);
  require(std::vector<std::string>(split.begin(), split.end()) == slots,
          "splitPackedText splits as the multibyte strtok does", text);

  const std::string answer = nvcheck::plainSuccessAnswer(nvcheck::exportNamed("inpRegisterB"));
  // The caller's text in a block of its own, exactly as long as the text.
  std::vector<char> callerText(text.begin(), text.end());
  callerText.push_back('\0');
  const Outcome packed = callWithAnswer(answer, [&] { return inpRegisterB(callerText.data()); });
  require(std::string(callerText.data(), text.size()) == text && callerText.back() == '\0',
          "inpRegisterB leaves the caller's text untouched");

  std::string problem = nvcheck::resultDocumentProblem(packed.document, "InpRegister");
  require(problem.empty(), "inpRegisterB writes a well-formed document", problem + "\n" + packed.document);

  nvcheck::CArguments args;
  for (const std::string& s : slots) args.push_back(s.c_str());
  const Outcome direct = callWithAnswer(answer, [&] { return nvcheck::exportNamed("inpRegister").call(args); });
  require(packed.document == direct.document, "inpRegisterB returns what inpRegister returns for its fields",
          packed.document + "\n" + direct.document);
  require(packed.sent == direct.sent, "inpRegisterB sends what inpRegister sends for its fields");
  return 0;
}
