// SPDX-License-Identifier: MIT
// The operating system's own words for a failed connection, as the HIS
// gets them in out_text. Each platform has its own (system_text_posix.cpp,
// system_text_windows.cpp).
#ifndef NV_CLIENT_SYSTEM_TEXT_H
#define NV_CLIENT_SYSTEM_TEXT_H

#include <string>

namespace nv {

// The message for a socket error number (errno, or a Winsock error).
std::string socketErrorText(long error);
// The message for a host name that does not resolve.
std::string unresolvedNameText();
// Whether a socket error number means the peer refused the connection.
bool isConnectionRefused(long error);

}  // namespace nv

#endif
