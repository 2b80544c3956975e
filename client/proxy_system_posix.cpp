// SPDX-License-Identifier: MIT
#include "text/platform.h"

namespace nv {

// The environment is all a Linux process is told of proxies.
SystemProxySetting readSystemProxySetting() { return {}; }

}  // namespace nv
