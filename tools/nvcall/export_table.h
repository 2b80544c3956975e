// Every export of the library by its exact name: how many arguments it takes,
// what they are, and how to call it with positional texts.
#ifndef NV_NVCALL_EXPORT_TABLE_H
#define NV_NVCALL_EXPORT_TABLE_H

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nvcall {

struct ExportEntry {
  const char* name;
  size_t arity;                          // from the function's own type
  std::vector<const char*> parameters;   // names for usage texts
  bool returnsDocument;                  // false: a bare text (Encypt, DeEncypt)
  // Calls the export with exactly `arity` texts; returns its text (owned by
  // the caller, released with freeResult).
  std::function<char*(const std::vector<const char*>&)> call;
};

const std::vector<ExportEntry>& exportTable();
const ExportEntry* findExport(std::string_view name);

// Releases a text an export returned.
void releaseResult(char* text);

}  // namespace nvcall

#endif
