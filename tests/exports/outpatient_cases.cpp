// SPDX-License-Identifier: MIT
#include "tests/exports/outpatient_cases.h"

namespace nvtest {

ArgsCall byArgs(TwoTextExport fn) {
  return [fn](const Args& a) { return fn(cText(a.at(0)), cText(a.at(1))); };
}

ArgsCall byArgs(ThreeTextExport fn) {
  return [fn](const Args& a) { return fn(cText(a.at(0)), cText(a.at(1)), cText(a.at(2))); };
}

std::function<char*()> callingKeyed(const KeyedExport& e, std::string key, std::string centre) {
  return calling(byArgs(e.call), {std::move(key), std::move(centre)});
}

std::string recordXml(const std::string& tag, const Fields& fields) {
  std::string xml = "<" + tag + ">";
  for (const auto& [member, value] : fields) xml += "<" + member + ">" + base64Encode(value) + "</" + member + ">";
  return xml + "</" + tag + ">";
}

std::string returnText(const std::string& plain) { return "<return>" + base64Encode(plain) + "</return>"; }

}  // namespace nvtest
