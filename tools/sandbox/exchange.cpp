#include "tools/sandbox/exchange.h"

#include "text/codec.h"
#include "tools/sandbox/business_error.h"
#include "tools/sandbox/exchange_log.h"
#include "tools/common/gbk_text.h"

namespace sandbox {

using nvtools::gbk;
namespace {

int fault(struct soap* soap, const std::string& gbkMessage) {
  // The faultstring is base64 text; the runtime copies it into the context.
  return soap_receiver_fault(soap, nv::base64Encode(gbkMessage).c_str(), nullptr);
}

}  // namespace

std::string decodeMember(std::string_view value) {
  // The centre's own rule, also the library's: only well-formed base64 is
  // decoded. All decoded bytes are kept, a zero byte included.
  std::string text;
  for (char c : value)
    if (c != '\r' && c != '\n') text += c;
  return nv::isWellFormedBase64(text) ? nv::decodeStrict(text) : std::string(value);
}

std::string* Exchange::text(std::string_view gbkBytes) {
  std::string* member = soap_new_std__string(soap_, -1);
  *member = nv::base64Encode(gbkBytes);
  return member;
}

std::string* Exchange::returnText(std::string_view gbkBytes) {
  summary_ = "return=" + shown(gbkBytes);
  return text(gbkBytes);
}

std::string Exchange::shown(std::string_view gbkBytes) { return quoteForLog(gbkBytes); }

int serveExchange(struct soap* soap, const char* operation, Record request,
                  const std::function<void(Exchange&, Ledger&)>& body) {
  ServerState& state = *static_cast<ServerState*>(soap->user);
  Exchange exchange(soap, std::move(request));
  auto log = [&](const std::string& outcome) {
    writeLogLine(formatExchange(operation, exchange.request(), outcome));
    state.logged = true;
  };
  try {
    Database::Transaction transaction(*state.db);
    Ledger ledger(*state.db);
    body(exchange, ledger);
    transaction.commit();
    log(exchange.summary().empty() ? "ok" : "ok " + exchange.summary());
    return SOAP_OK;
  } catch (const BusinessError& refused) {
    log("fault " + quoteForLog(gbk(refused.what())));
    return fault(soap, gbk(refused.what()));
  } catch (const std::exception& failed) {
    log(std::string("error ") + quoteForLog(failed.what()));
    return fault(soap, gbk("农合中心内部错误"));
  }
}

}  // namespace sandbox
