// SPDX-License-Identifier: MIT
// Catalogues as big as a centre sends (100,000 entries): the HTTP response
// and the rows the HIS must read, written from pieces prepared once so that
// a test's own work stays small next to the call's.
#ifndef NV_TESTS_SUPPORT_BIG_CATALOGUE_H
#define NV_TESTS_SUPPORT_BIG_CATALOGUE_H

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/support/scripted_server.h"

namespace nvtest {

// Member order of the disease item; the columns follow it.
extern const std::vector<std::string> kDiseaseMembers;
// Member order of the drug item, as the centre sends it.
extern const std::vector<std::string> kLeechdomMembers;
// The columns in the order the HIS reads them.
extern const std::vector<std::string> kLeechdomColumns;

// A catalogue as a centre sends it: realistic values, every one base64 of
// GBK text; the entry number is in the code and the name of each entry.
struct BigCatalogue {
  std::string functionId;
  std::string operation;
  std::string listMember;            // the response member that holds the list
  std::vector<std::string> members;  // in the order the centre sends them
  std::vector<std::string> columns;  // in the order the HIS reads them
  std::string codeMember, codePrefix, nameMember;
  std::string namePrefix;                        // GBK
  std::map<std::string, std::string> constants;  // every other member
  std::function<char*()> call;

  std::string value(const std::string& member, int n) const {
    if (member == codeMember) return codePrefix + std::to_string(1000000 + n);
    if (member == nameMember) return namePrefix + "(" + std::to_string(n) + ")";
    return constants.at(member);
  }
};

// Writes the response and the expected rows of a big catalogue.
class CatalogueWriter {
 public:
  explicit CatalogueWriter(const BigCatalogue& catalogue);
  // The whole HTTP response with the given number of entries, in one buffer.
  Reply response(int entries) const;
  // Row n of the result, as the HIS must read it.
  void row(int n, std::string& out) const;

 private:
  struct Piece {
    std::string name, open, close, fixed;
  };
  bool varies(const std::string& member) const {
    return member == catalogue_.codeMember || member == catalogue_.nameMember;
  }
  const BigCatalogue& catalogue_;
  std::vector<Piece> members_, columns_;
};

// UpdateLeechdom and UpdateDisease from the main centre.
BigCatalogue drugCatalogue();
BigCatalogue diseaseCatalogue();

}  // namespace nvtest

#endif
