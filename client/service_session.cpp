// SPDX-License-Identifier: MIT
#include "client/service_session.h"

#include <atomic>
#include <memory>
#include <new>
#include <vector>

#include "client/answer_reader.h"
#include "client/curl_exchange.h"
#include "client/idle_pool.h"
#include "client/xml_stream.h"
#include "text/platform.h"
#include "service/session_guard.h"
#include "soapH.h"
#include "text/texts.h"

namespace nv {
namespace {

// The context's transport writes the envelope into the session's memory:
// the generated code serialises, the HTTP library carries. The socket it
// hands out is a token that nothing ever passes to the operating system.
constexpr SOAP_SOCKET kEnvelopeSocket = 0x7ffffff0;

std::string& envelopeOf(struct soap* soap) { return *static_cast<std::string*>(soap->user); }

SOAP_SOCKET openEnvelope(struct soap* soap, const char*, const char*, int) {
  envelopeOf(soap).clear();
  return kEnvelopeSocket;
}
// The HTTP head is the HTTP library's to write.
int writeNoHead(struct soap*, const char*, const char*, int, const char*, const char*, ULONG64) { return SOAP_OK; }
int writeEnvelope(struct soap* soap, const char* bytes, size_t count) {
  try {
    envelopeOf(soap).append(bytes, count);
    return SOAP_OK;
  } catch (...) {
    return soap->error = SOAP_EOM;
  }
}
size_t readNothing(struct soap*, char*, size_t) { return 0; }
int closeEnvelope(struct soap* soap) {
  soap->socket = SOAP_INVALID_SOCKET;
  return SOAP_OK;
}
int closeEnvelopeSocket(struct soap*, SOAP_SOCKET) { return SOAP_OK; }
int shutdownEnvelopeSocket(struct soap*, SOAP_SOCKET, int) { return SOAP_OK; }

// SOAP contexts are large and slow to set up: idle ones are kept for the
// next sessions.
void freeContext(struct soap* soap) { soap_free(soap); }  // soap_done, then the context
using ContextPool = IdlePool<struct soap*, freeContext>;

struct soap* takeContext(ContextPool& pool) {
  if (struct soap* soap = pool.take()) return soap;
  struct soap* soap = soap_new();
  if (soap == nullptr) throw std::bad_alloc();
  // Never fall back to the process's own stdin and stdout.
  nvGuardAgainstStdio(soap);
  soap->fopen = openEnvelope;
  soap->fpost = writeNoHead;
  soap->fsend = writeEnvelope;
  soap->frecv = readNothing;
  soap->fclose = closeEnvelope;
  soap->fclosesocket = closeEnvelopeSocket;
  soap->fshutdownsocket = shutdownEnvelopeSocket;
  return soap;
}

void giveContext(ContextPool& pool, struct soap* soap) {
  soap_destroy(soap);
  soap_end(soap);
  soap->user = nullptr;
  pool.give(soap);
}

std::atomic<ContextPool*> madePool{nullptr};

// Kept until the library is unloaded: a HIS thread may still be calling
// while the process exits.
ContextPool& contexts() {
  if (ContextPool* pool = madePool.load(std::memory_order_acquire)) return *pool;
  auto* created = new ContextPool;
  ContextPool* expected = nullptr;
  if (madePool.compare_exchange_strong(expected, created)) return *created;
  delete created;
  return *expected;
}

}  // namespace

// In a forked child the parent's idle contexts, and their lock, are left
// as they are.
void forgetSessionContextsInChild() { madePool.store(nullptr); }

void releaseSessionContexts() {
  ContextPool* pool = madePool.exchange(nullptr);
  if (pool == nullptr) return;
  pool->freeAll();
  delete pool;
}

void freeIdleSessionContexts() {
  if (ContextPool* pool = madePool.load()) pool->freeAll();
  freeIdleXmlParsers();
}

namespace {

// The streaming reader behind the exchange's body.
class StreamingReader : public BodyReader {
 public:
  StreamingReader(const AnswerPlan& plan, AnswerSink& sink) : reader_(plan, sink) {}
  void begin(int status, uint64_t announcedLength) override { reader_.begin(status, announcedLength); }
  void feed(const char* bytes, size_t count) override { reader_.feed(bytes, count); }
  bool settled() const override { return reader_.settled(); }
  AnswerOutcome finish() override { return reader_.finish(); }

 private:
  AnswerReader reader_;
};

}  // namespace

std::unique_ptr<BodyReader> streamingReader(const AnswerPlan& plan, AnswerSink& sink) {
  return std::make_unique<StreamingReader>(plan, sink);
}

ServiceSession::ServiceSession(SessionOptions options) : options_(options), soap_(takeContext(contexts())) {
  soap_->user = &envelope_;
  // The envelope is kept whole and handed over once: without it the runtime
  // serialises every request twice, the first time only to count its length.
  // The runtime goes back to its input mode after each send.
  soap_->omode = (soap_->omode & ~SOAP_IO) | SOAP_IO_STORE;
}

ServiceSession::~ServiceSession() { giveContext(contexts(), soap_); }

std::string ServiceSession::runtimeFaultText(int status) {
  // The runtime's own words for the status ("Error 500: HTTP 500 ...").
  soap_->fault = nullptr;
  soap_->error = status;
  soap_set_fault(soap_);
  const char* text = soap_fault_string(soap_);
  return text != nullptr && *text != '\0' ? text : texts::kMajorException;
}

CallStatus ServiceSession::exchange(const ExchangeEnvironment& environment, const std::string& endpoint, Effect effect,
                                    const AnswerPlan& plan, AnswerSink& sink) {
  ExchangeSettings settings;
  settings.effect = effect;
  settings.keepMessages = options_.keepMessages;
  settings.reuse = options_.reuse;
  std::unique_ptr<BodyReader> reader = environment.answerReader(plan, sink);

  ExchangeResult result = exchangeWithCentre(endpoint, envelope_, settings, environment, *reader, report_);
  const AnswerOutcome& outcome = result.outcome;
  CallStatus status = CallStatus::ok();
  if (!result.bodyRead) {
    status = result.transport;
  } else {
    switch (outcome.kind) {
      case AnswerOutcome::Kind::kSuccess: break;
      // The HIS gets the fault's own text, which the sink has, when the
      // answer carried one; these are the texts for when it did not.
      case AnswerOutcome::Kind::kFault:
        // The fault's code only names the kind of fault: its text may name a patient.
        status = CallStatus::failed(Cause::kFault, CauseDetail().withText(outcome.faultCode));
        break;
      case AnswerOutcome::Kind::kNoResponse: {
        CauseDetail detail = outcome.failure.detail();
        status = CallStatus::failed(Cause::kNoResponse, detail.withText(runtimeFaultText(result.status)));
        break;
      }
      case AnswerOutcome::Kind::kBroken:
        // An answer cut short is a lost connection, whatever the reader made of the rest.
        if (!result.transport.isOk())
          status = result.transport;
        else
          status = outcome.failure.isOk() ? CallStatus::failed(Cause::kUnknown) : outcome.failure;
        break;
    }
  }
  // A change that went out and came back neither done nor refused may have
  // been applied at the centre.
  const bool answered =
      result.bodyRead && (outcome.kind == AnswerOutcome::Kind::kSuccess || outcome.kind == AnswerOutcome::Kind::kFault);
  if (!status.isOk() && effect == kChangesState && result.requestStarted && !answered) status.withOutcomeUnknown();
  return status;
}

}  // namespace nv
