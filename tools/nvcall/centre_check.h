// SPDX-License-Identifier: MIT
// The `check` subcommand: for one configured centre, whether its ServiceURL
// is an address the library can call, and whether a harmless call through
// the library, which sends the centre's HOSP_CODE, is answered. The call
// goes through the library's own transport, so the proxy and TLS settings
// are those a HIS gets; each step is reported in plain words.
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

// Makes the harmless call for a centre; returns whether it succeeded and
// what it reported (UTF-8).
using HarmlessCall = std::function<std::pair<bool, std::string>(const nv::CentreRecord&)>;

// Runs the steps; a step after a failed one is not tried.
std::vector<CheckStep> checkCentre(const nv::CentreRecord& centre, const HarmlessCall& call, const Speaker& speak);

}  // namespace nvcall

#endif
