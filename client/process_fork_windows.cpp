// SPDX-License-Identifier: MIT
#include "text/platform.h"

namespace nv {

void watchForks(void (*)(), void (*)(), void (*)()) {}

}  // namespace nv
