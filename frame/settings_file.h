// SPDX-License-Identifier: MIT
// The small settings files an administrator puts beside NvConfiguration.ini
// (the process's working directory) while the HIS runs: lines "key=value",
// keys in any letter case, blanks around either ignored, "#" or ";" starting
// a comment line, "#" after a value starting a comment. Every call reads it
// as it stands (an unchanged file's settings from its kept copy, parsed once
// for each state of the file, frame/kept_file.h), so creating, editing or
// removing one takes effect on the next; only a regular file is read
// (text/platform.h).
//
//   NvTrace.ini    the call trace (frame/call_trace.h)
//   NvNetwork.ini  keepalive=0: a new connection for every call
#ifndef NV_FRAME_SETTINGS_FILE_H
#define NV_FRAME_SETTINGS_FILE_H

#include <map>
#include <memory>
#include <string>

namespace nv {

using Settings = std::map<std::string, std::string>;

// The settings of the file, keys in lower case; null when it cannot be read.
// Shared with the other calls that find the file in the same state.
std::shared_ptr<const Settings> readSettingsFile(const char* name);

// Whether connections to the centre are kept alive between calls: yes,
// unless NvNetwork.ini says keepalive=0 (for a centre whose server
// mishandles them; every call then sends "Connection: close").
bool keepConnectionsAlive();

}  // namespace nv

#endif
