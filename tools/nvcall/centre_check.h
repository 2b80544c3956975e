// The `check` subcommand: for one configured centre, whether its host name
// resolves, whether it accepts a connection, and whether a harmless call is
// answered; each step reported in plain words for the hospital's IT staff.
#ifndef NV_NVCALL_CENTRE_CHECK_H
#define NV_NVCALL_CENTRE_CHECK_H

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "frame/centre_store.h"

namespace nvcall {

// Host and port of a ServiceURL ("http://host[:port]/path"; https's port is
// 443); nothing when it is not such an address.
struct ServiceAddress {
  std::string host, port;
};
std::optional<ServiceAddress> parseServiceUrl(const std::string& url);

struct CheckStep {
  std::string step;    // "address", "connect", "call"
  std::string result;  // "ok", "FAILED", "not tried"
  std::string detail;  // plain words, UTF-8
};

// Makes the harmless call for a centre; returns what it reports (UTF-8) and
// whether it succeeded.
using HarmlessCall = std::function<std::pair<bool, std::string>(const nv::CentreRecord&)>;

// Runs the three steps; a step after a failed one is not tried.
std::vector<CheckStep> checkCentre(const nv::CentreRecord& centre, const HarmlessCall& call, int connectSeconds);

}  // namespace nvcall

#endif
