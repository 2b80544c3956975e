// SPDX-License-Identifier: MIT
// What the fuzz targets share: a working directory of their own with a
// configuration file, failing loudly on a broken property, and plain
// reference codecs written apart from the library's, to compare against.
#ifndef NV_FUZZ_FUZZ_SUPPORT_H
#define NV_FUZZ_FUZZ_SUPPORT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace nvfuzz {

// Reports a broken property and aborts, so libFuzzer records the input.
[[noreturn]] void fail(const std::string& property, const std::string& detail);
inline void require(bool holds, const std::string& property, const std::string& detail = "") {
  if (!holds) fail(property, detail);
}

// Takes a text the library returned: its bytes, freed; null is a failure.
std::string take(char* result, const char* what);

// Moves the process into a fresh directory under the system's temporary
// directory, once; NvConfiguration.ini is read from there.
void enterScratchDirectory();
// Writes the file in the working directory with exactly these bytes.
void writeFile(const char* name, std::string_view bytes);
void writeConfiguration(std::string_view bytes);

// The file's six lines for one centre, values in base64.
std::string centreLines(const std::string& centerNo, const std::string& serviceUrl, const std::string& hospCode,
                        const std::string& orgLevel, const std::string& userNo, const std::string& bk);

// The first configured centre of the targets that call the centre; its
// address is never contacted (the targets answer from memory).
inline constexpr const char* kCentre = "341122";
std::string standardConfiguration();
// enterScratchDirectory, then the standard configuration written there: the
// set-up of every target that calls exports.
void enterConfiguredScratchDirectory();

// Reference codecs, written as plainly as the rules read.
std::string referenceEncode(std::string_view bytes);
// decodeField: CR and LF dropped; a non-empty multiple of four alphabet
// characters, "=" only as padding in the last one or two places, is decoded
// up to its first zero byte; anything else passes through.
std::string referenceDecodeField(std::string_view value);
// DeEncypt's decoding: alphabet values, "=" as 0, any other byte as -1 (all
// bits set, kept by the shifts); a missing byte of the last group counts as
// "=". All bytes produced, zero bytes included.
std::string referenceDecodeLenient(std::string_view text);

std::string_view asText(const uint8_t* data, size_t size);
// The text up to the first zero byte: what a C caller can pass.
std::string cText(std::string_view bytes);

}  // namespace nvfuzz

#endif
