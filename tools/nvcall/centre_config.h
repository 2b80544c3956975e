// SPDX-License-Identifier: MIT
// The `config` subcommand: lists, adds and edits the centres of
// NvConfiguration.ini in the current directory, so nobody writes base64 by
// hand. Values are taken and shown as bytes; the caller converts code pages.
#ifndef NV_NVCALL_CENTRE_CONFIG_H
#define NV_NVCALL_CENTRE_CONFIG_H

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "frame/centre_store.h"
#include "tools/nvcall/words.h"

namespace nvcall {

// The field names a user writes ("CenterNO", "ServiceURL", "HOSP_CODE",
// "ORG_LEVEL", "UserNo", "BK"), in the order of a group of the file.
const std::vector<std::string>& centreFieldNames();
// Their keys in the file ("f7ad02e", ...), in the same order.
const std::vector<std::string>& centreFieldKeys();

using FieldValues = std::vector<std::pair<std::string, std::string>>;  // (field name, value)

// Reads "Field=value" words; nothing, with error set, for an unknown field
// or a word without "=".
std::optional<FieldValues> parseFieldValues(const std::vector<std::string>& words, std::string& error,
                                            const Speaker& speak);

// The file's bytes; nothing when it cannot be read.
std::optional<std::string> readConfiguration(const std::string& path);

// The configured centres, decoded, in file order.
nv::CentreTable readCentres(const std::string& path);

// Codes and values are GBK. Each returns "" on success, else what went
// wrong, in the speaker's language (UTF-8); a ServiceURL that is not an http:// or https:// address is
// refused, the file left unchanged. The file is replaced whole (written
// beside it, then renamed), so a reader never sees half of it.
std::string addCentre(const std::string& path, const FieldValues& values, const Speaker& speak);
std::string editCentre(const std::string& path, std::string_view centreCode, const FieldValues& values,
                       const Speaker& speak);

}  // namespace nvcall

#endif
