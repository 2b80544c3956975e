// SPDX-License-Identifier: MIT
// The `check` subcommand: for one configured centre, whether its ServiceURL
// is an address the library can call, whether the centre answers the
// library's connection test, and whether it knows the configured HOSP_CODE.
// The calls go through the library's own transport, so the proxy and TLS
// settings are those a HIS gets; each step is reported in plain words.
#ifndef NV_NVCALL_CENTRE_CHECK_H
#define NV_NVCALL_CENTRE_CHECK_H

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "frame/centre_store.h"
#include "tools/nvcall/words.h"

namespace nvcall {

// Host and port of a ServiceURL ("http://host[:port]/path", the scheme in
// any letter case; https's port is 443); nothing when it is not such an
// address. config add and edit refuse any other.
struct ServiceAddress {
  std::string host, port;
  bool tls = false;
};
std::optional<ServiceAddress> parseServiceUrl(const std::string& url);

// The groups that calls for each configured centre use, in file order: of
// groups with the same CenterNO the last, as the library takes it. A group
// without CenterNO is no call's.
std::vector<size_t> groupsInUse(const nv::CentreTable& table);

enum class StepResult { kOk, kFailed, kNotTried };

struct CheckStep {
  std::string step;  // in the speaker's language
  StepResult result;
  std::string detail;  // plain words, UTF-8 (the configured GBK text decoded)
};

// Makes one harmless call for a centre; returns whether it succeeded and
// what it reported (UTF-8).
using HarmlessCall = std::function<std::pair<bool, std::string>(const nv::CentreRecord&)>;

// A step that is a call: its name and the call.
struct CallStep {
  Words step;
  HarmlessCall call;
};

// Checks the address, then makes the calls in order; a step after a failed
// one is not tried.
std::vector<CheckStep> checkCentre(const nv::CentreRecord& centre, const std::vector<CallStep>& calls,
                                   const Speaker& speak);

}  // namespace nvcall

#endif
