// SPDX-License-Identifier: MIT
#include "tools/nvcall/library.h"

#include <fstream>
#include <vector>

#include "tools/common/export_list.h"

namespace nvcall {
namespace {

std::vector<unsigned char> firstBytes(const std::string& path, size_t count) {
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> bytes(count);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

unsigned readLittleEndian(const std::vector<unsigned char>& bytes, size_t at, size_t size) {
  unsigned value = 0;
  for (size_t i = size; i-- > 0;) value = (value << 8) | bytes[at + i];
  return value;
}

}  // namespace

int bitsOfFile(const std::string& path) {
  std::vector<unsigned char> bytes = firstBytes(path, 4096);
  if (bytes.size() >= 5 && bytes[0] == 0x7f && bytes[1] == 'E' && bytes[2] == 'L' && bytes[3] == 'F')
    return bytes[4] == 2 ? 64 : bytes[4] == 1 ? 32 : 0;
  if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return 0;
  size_t pe = readLittleEndian(bytes, 0x3c, 4);
  if (pe + 6 > bytes.size() || bytes[pe] != 'P' || bytes[pe + 1] != 'E') return 0;
  switch (readLittleEndian(bytes, pe + 4, 2)) {
    case 0x014c: return 32;  // i386
    case 0x8664: return 64;  // x86-64
    case 0xaa64: return 64;  // ARM64
    default: return 0;
  }
}

void Library::release(char* text) const {
  using Release = void(NV_CALL*)(char*);
  if (void* free = address("freeResult")) reinterpret_cast<Release>(free)(text);
}

// What every NvInterFace library exports; checked once it is loaded.
std::string missingExport(const Library& library) {
  if (!library.address("freeResult")) return "freeResult";
  for (const nvexports::Export& e : nvexports::kExports)
    if (!library.address(e.name)) return e.name;
  return "";
}

}  // namespace nvcall
