// SPDX-License-Identifier: MIT
// Memory running out part way through a call: for each case, the call is
// made again and again with its 1st, 2nd, 3rd... request for memory refused,
// until a call completes with no refusal. Every request of the calling thread
// counts: the library's own (operator new, its malloc), the HTTP library's,
// the XML reader's, the TLS library's and the SOAP runtime's. Each attempt
// must end in a well-formed failure document, or NULL where not even the
// document's memory could be had, or the very result the call gives with
// memory (a refusal the code recovered from); the call after it, with
// memory back, must succeed, on whatever connection the failed one left
// kept. Leaks are LeakSanitizer's to find: this runs in the sanitizer build.
//
// Built only with NV_ALLOCATION_GATES; it has its own main, which installs
// the allocators before anything allocates.
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <openssl/crypto.h>

#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <new>

#include "NvInterFace.h"
#include "client/connection_pool.h"
#include "client/service_session.h"
#include "tests/support/document_check.h"
#include "tests/support/export_catalogue.h"
#include "tests/support/loopback_proxy.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/scripted_server.h"
#include "tests/support/session_seams.h"
#include "tests/support/test_certificates.h"
#include "text/allocation_gate.h"
#include "text/allocation_gate_seams.h"

// ---- every allocator of the process asks the calling thread's gate ----------

namespace {
void* gatedNew(std::size_t size) {
  void* block = nv::gatedMalloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}
void* gatedAlignedNew(std::size_t size, std::align_val_t alignment) {
  if (!nv::allocationAllowed()) throw std::bad_alloc();
  const auto align = static_cast<std::size_t>(alignment);
  void* block = std::aligned_alloc(align, (size + align - 1) / align * align);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}
}  // namespace

void* operator new(std::size_t size) { return gatedNew(size); }
void* operator new[](std::size_t size) { return gatedNew(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return nv::gatedMalloc(size == 0 ? 1 : size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return nv::gatedMalloc(size == 0 ? 1 : size); }
void* operator new(std::size_t size, std::align_val_t alignment) { return gatedAlignedNew(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return gatedAlignedNew(size, alignment); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }

namespace {

void* curlMalloc(size_t size) { return nv::gatedMalloc(size); }
void curlFree(void* block) { std::free(block); }
void* curlRealloc(void* block, size_t size) { return nv::gatedRealloc(block, size); }
char* curlStrdup(const char* text) {
  const size_t size = std::strlen(text) + 1;
  auto* copy = static_cast<char*>(nv::gatedMalloc(size));
  if (copy != nullptr) std::memcpy(copy, text, size);
  return copy;
}
void* curlCalloc(size_t count, size_t size) {
  if (size != 0 && count > SIZE_MAX / size) return nullptr;
  void* block = nv::gatedMalloc(count * size);
  if (block != nullptr) std::memset(block, 0, count * size);
  return block;
}
void* tlsMalloc(size_t size, const char*, int) { return nv::gatedMalloc(size); }
void* tlsRealloc(void* block, size_t size, const char*, int) { return nv::gatedRealloc(block, size); }
void tlsFree(void* block, const char*, int) { std::free(block); }

using namespace nvtest;
using nvcheck::ExportEntry;

// ---- the cases ------------------------------------------------------------------

enum class Route { Direct, Tls, Proxy };
enum class Start {
  Cold,  // no kept connection, no trusted roots loaded, no SOAP context kept
  Warm,  // whatever the call before left: a kept connection to the centre
};

struct TortureCase {
  const char* name;
  const char* exportName;
  Route route;
  Start start;
  std::string answer;  // the centre's whole HTTP answer to every request
  int traceLevel = 0;  // 2: the trace keeps a copy of the messages
  // A case of thousands of refusals runs as `shards` tests that can run at
  // once, the nth taking refusals n, n + shards, n + 2 * shards...
  int shard = 0;
  int shards = 1;
};

std::string listOf(const ExportEntry& e, int rows) {
  std::string items;
  for (int i = 0; i < rows; ++i) items += "<list><icdNo>SjE4</icdNo><icdName>5pWw</icdName></list>";
  return nvcheck::centreAnswer(e, "<" + std::string(e.responseMember) + ">" + items + "</" + e.responseMember + ">");
}

std::string keptAlive(std::string answer) {
  const size_t at = answer.find("Connection: close");
  if (at != std::string::npos) answer.replace(at, 17, "Connection: keep-alive");
  return answer;
}

std::vector<TortureCase> tortureCases() {
  const ExportEntry& seek = nvcheck::exportNamed("cliSeek");
  const ExportEntry& diseases = nvcheck::exportNamed("updateDisease");
  const ExportEntry& registration = nvcheck::exportNamed("inpRegisterB");
  return {
      {"a lookup", "cliSeek", Route::Direct, Start::Cold, nvcheck::plainSuccessAnswer(seek)},
      {"a list of three rows", "updateDisease", Route::Direct, Start::Cold, listOf(diseases, 3)},
      {"a SOAP fault", "cliSeek", Route::Direct, Start::Cold, nvcheck::faultAnswer("6KGo5Lit5peg5q2k5Lq6")},
      {"a malformed answer", "cliSeek", Route::Direct, Start::Cold,
       "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: 31\r\nConnection: close\r\n\r\n"
       "<soap:Envelope><soap:Body></ns1"},
      // A new TLS connection each time: thousands of refusals, of a handshake each.
      {"an HTTPS call, part 1", "cliSeek", Route::Tls, Start::Cold, nvcheck::plainSuccessAnswer(seek), 0, 0, 4},
      {"an HTTPS call, part 2", "cliSeek", Route::Tls, Start::Cold, nvcheck::plainSuccessAnswer(seek), 0, 1, 4},
      {"an HTTPS call, part 3", "cliSeek", Route::Tls, Start::Cold, nvcheck::plainSuccessAnswer(seek), 0, 2, 4},
      {"an HTTPS call, part 4", "cliSeek", Route::Tls, Start::Cold, nvcheck::plainSuccessAnswer(seek), 0, 3, 4},
      {"a call through a proxy", "cliSeek", Route::Proxy, Start::Cold, nvcheck::plainSuccessAnswer(seek)},
      {"a reused connection", "cliSeek", Route::Direct, Start::Warm, keptAlive(nvcheck::plainSuccessAnswer(seek))},
      {"a reused HTTPS connection", "cliSeek", Route::Tls, Start::Warm, keptAlive(nvcheck::plainSuccessAnswer(seek))},
      {"inpRegisterB", "inpRegisterB", Route::Direct, Start::Cold, nvcheck::plainSuccessAnswer(registration)},
      // Memory refused for the trace's copy of the messages changes nothing
      // of the call: its result is the one it gives with memory.
      {"a lookup traced with its messages", "cliSeek", Route::Direct, Start::Cold, nvcheck::plainSuccessAnswer(seek),
       2},
      {"getAllCenter", "getAllCenter", Route::Direct, Start::Cold, ""},
      {"Encypt", "Encypt", Route::Direct, Start::Cold, ""},
  };
}

void PrintTo(const TortureCase& c, std::ostream* out) { *out << c.name; }

// What one attempt ended as.
struct Tally {
  long points = 0;     // attempts with a refusal
  long traceCopy = 0;  // of them, the refusals the trace's copy of a message met
  long nulls = 0;
  long recovered = 0;                    // the result the call gives with memory
  std::map<std::string, long> failures;  // "code text" -> attempts
};

class AllocationTorture : public ::testing::TestWithParam<TortureCase> {
 protected:
  AllocationTorture() : certificates(dir.path()), trust("SSL_CERT_FILE", certificates.trustedRoot) {}

  ScratchDir dir;
  TestCertificates certificates;
  ScopedEnvironment trust;
  ScopedEnvironment exempt{"no_proxy", nullptr};
  ScopedEnvironment exemptToo{"NO_PROXY", nullptr};
};

void releaseCaches() {
  nv::releaseClientCaches();
  nv::freeIdleSessionContexts();
}

std::string outcomeOf(const std::string& doc) {
  auto member = [&](const char* tag) {
    const std::string open = std::string("<") + tag + ">", close = std::string("</") + tag + ">";
    const size_t start = doc.find(open), end = doc.find(close);
    return start == std::string::npos || end == std::string::npos
               ? std::string()
               : doc.substr(start + open.size(), end - start - open.size());
  };
  return member("out_code") + " " + member("out_text");
}

TEST_P(AllocationTorture, EveryRequestForMemoryRefusedInTurn) {
  {
    const TortureCase& c = GetParam();
    std::unique_ptr<ScriptedServer> centre =
        std::make_unique<ScriptedServer>(c.route == Route::Tls ? certificates.localhost : "");
    centre->answerAlways(Reply::raw(c.answer));
    std::unique_ptr<LoopbackProxy> proxy;
    std::unique_ptr<ScopedEnvironment> via;
    if (c.route == Route::Proxy) {
      proxy = std::make_unique<LoopbackProxy>();
      via = std::make_unique<ScopedEnvironment>("http_proxy", proxy->address());
    }
    dir.writeCentres({{"341122", centre->url(), "H4401", "2", "op01", ""}});
    // A refusal inside the TLS library can leave both ends waiting for the
    // other, until a bound ends the call (connecting, or the low-speed limit
    // once connected): bounds of seconds, not the standard 100, keep such a
    // refusal from costing the run minutes. Nothing else of the call changes.
    std::unique_ptr<ScopedSessionLimits> bounds;
    if (c.route == Route::Tls) {
      nv::SessionLimits limits;
      limits.connect = std::chrono::seconds(5);
      limits.lowSpeedSeconds = 5;
      bounds = std::make_unique<ScopedSessionLimits>(limits);
    }

    const bool bareText = std::strcmp(c.exportName, "Encypt") == 0;
    const ExportEntry* entry = bareText ? nullptr : &nvcheck::exportNamed(c.exportName);
    const nvcheck::CArguments arguments = bareText ? nvcheck::CArguments{} : entry->validCArguments();
    auto call = [&]() -> char* { return bareText ? Encypt("torture \xD5\xC5") : entry->call(arguments); };
    auto text = [](char* result) {
      std::string copy = result ? result : "<null>";
      freeResult(result);
      return copy;
    };

    std::vector<std::string> traced;
    auto collect = [](const std::string& entry, void* into) {
      static_cast<std::vector<std::string>*>(into)->push_back(entry);
    };
    std::unique_ptr<ScopedTraceSettings> trace;
    if (c.traceLevel > 0)
      trace = std::make_unique<ScopedTraceSettings>(nv::TraceSettings{c.traceLevel, ""}, collect, &traced);

    releaseCaches();
    const std::string withMemory = text(call());
    if (!bareText) {
      ASSERT_EQ(nvcheck::resultDocumentProblem(withMemory, entry->functionId, nullptr, !entry->contactsCentre()), "")
          << withMemory;
    }

    Tally tally;
    const auto began = std::chrono::steady_clock::now();
    for (long k = 1 + c.shard;; k += c.shards) {
      if (c.start == Start::Cold) releaseCaches();
      traced.clear();
      nv::seams::failAllocation(k);
      char* result = call();
      const bool refused = nv::seams::allocationFailed();
      nv::seams::failAllocation(0);
      const std::string got = text(result);
      if (!refused) {
        EXPECT_EQ(got, withMemory) << "with no refusal at all";
        break;
      }
      ++tally.points;
      if (!traced.empty() && traced.back().find("no memory for the trace's copy") != std::string::npos) {
        ++tally.traceCopy;
        EXPECT_EQ(got, withMemory) << "refusal " << k << " met the trace's copy alone";
      }
      if (result == nullptr) {
        ++tally.nulls;
      } else if (got == withMemory) {
        ++tally.recovered;
      } else if (bareText) {
        ADD_FAILURE() << "refusal " << k << ": a text other than the call's: " << got;
      } else {
        nvcheck::ResultDocumentView view;
        const std::string problem =
            nvcheck::readResultDocument(got, entry->functionId, view, nullptr, !entry->contactsCentre());
        EXPECT_EQ(problem, "") << "refusal " << k << ":\n" << got;
        EXPECT_NE(view.outCode, "000") << "refusal " << k << ": a success unlike the call's own:\n" << got;
        ++tally.failures[outcomeOf(got)];
      }
      // Memory is back: the next call does what the call does, on the
      // connection the failed one left kept, if it left one, and at once (a
      // handle left half reset once held the next call until the centre gave up).
      const auto nextBegan = std::chrono::steady_clock::now();
      const std::string next = text(call());
      ASSERT_EQ(next, withMemory) << "the call after refusal " << k;
      ASSERT_LT(std::chrono::steady_clock::now() - nextBegan, std::chrono::seconds(5))
          << "the call after refusal " << k;
      ASSERT_LT(k, 100000) << "no end to the requests for memory";
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::string failures;
    for (const auto& [outcome, count] : tally.failures)
      failures += "; " + std::to_string(count) + " \"" + outcome + "\"";
    std::fprintf(stderr, "torture: %-26s %5ld failure points: %ld NULL, %ld as with memory%s (%.1f s)\n", c.name,
                 tally.points, tally.nulls, tally.recovered, failures.c_str(), seconds);
    EXPECT_GT(tally.points, 0);
    if (c.traceLevel >= 2) {
      EXPECT_GT(tally.traceCopy, 0) << "no refusal met the trace's copy";
    }
    releaseCaches();
  }
}

std::string caseName(const ::testing::TestParamInfo<TortureCase>& info) {
  std::string name;
  for (const char* at = info.param.name; *at; ++at)
    if (std::isalnum(static_cast<unsigned char>(*at))) name += *at;
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, AllocationTorture, ::testing::ValuesIn(tortureCases()), caseName);

}  // namespace

// LeakSanitizer's, present in the sanitizer build only.
extern "C" __attribute__((weak)) void __lsan_do_leak_check();

int main(int argc, char** argv) {
  // Before anything of the TLS or the HTTP library allocates.
  if (CRYPTO_set_mem_functions(tlsMalloc, tlsRealloc, tlsFree) != 1) {
    std::fprintf(stderr, "torture: the TLS library allocated before its allocator could be set\n");
    return 2;
  }
  if (curl_global_init_mem(CURL_GLOBAL_DEFAULT, curlMalloc, curlFree, curlRealloc, curlStrdup, curlCalloc) !=
      CURLE_OK) {
    std::fprintf(stderr, "torture: the HTTP library's allocator could not be set\n");
    return 2;
  }
  ::testing::InitGoogleTest(&argc, argv);
  const int failed = RUN_ALL_TESTS();
  curl_global_cleanup();
  // Leaks are looked for now, and the process then ends without the TLS
  // library's exit-time clean-up: after its provider's store loader was
  // refused memory part way, that clean-up frees the loader twice. The fault
  // is the TLS library's own, and a HIS meets it only at exit.
  if (__lsan_do_leak_check != nullptr) __lsan_do_leak_check();
  std::fflush(nullptr);
  std::_Exit(failed);
}
