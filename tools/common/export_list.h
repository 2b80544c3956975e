// SPDX-License-Identifier: MIT
// Every text-returning export of NvInterFace.h, for calling by name: its
// name, whether it returns a result document, its parameter names and a typed
// invoker made from its prototype. nvcall, the Windows driver, the fuzz
// targets and the tests all call exports through this one list.
//
// Only the prototypes are used: the Windows driver includes this header
// without linking the library and takes each address from GetProcAddress.
// Linked callers take it from linkedAddress.
#ifndef NV_TOOLS_COMMON_EXPORT_LIST_H
#define NV_TOOLS_COMMON_EXPORT_LIST_H

#include <cstddef>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "NvInterFace.h"

// X(name, returnsDocument, "parameter names, space-separated, as NvInterFace.h names them").
// freeResult returns no text and is not listed.
// BEGIN nv_export_files: list of exports (written from the export sheets by nv_export_files; do not edit by hand)
// clang-format off
#define NV_EXPORT_LIST(X) \
  X(Encypt, false, "text") \
  X(DeEncypt, false, "base64Text") \
  X(getCenter, true, "centreCode") \
  X(getAllCenter, true, "") \
  X(getPersonInfo, true, "medicalCertNo operatorName centreCode") \
  X(getHospitalInfo, true, "hospitalName centreCode") \
  X(cliRegister, true, "regType clinicNo centreCode hisClinicNo familyNo memberNo countryNo memberName sexCode idCard age medicalCertNo cardNo firstIcdNo secondIcdNo inOfficeNo clinicDate clinicDoctor cureCode inHosId turnLevel turnHosNo") \
  X(cliDetailInput, true, "type centreCode clinicNo clinicRxNo detailNo hisItemCode insureItemCode feeClassCode itemName itemSpec itemUnit itemConf price quantity money factMoney useDate enableRatio enableMoney") \
  X(cliDetailSeek, true, "clinicNo centreCode") \
  X(cliCancelFee, true, "clinicNo centreCode") \
  X(cliSingleCancleFee, true, "detailNo centreCode") \
  X(cliCalculate, true, "clinicNo centreCode") \
  X(cliSettlement, true, "clinicNo centreCode") \
  X(cliCancelSettlement, true, "settlementNo centreCode") \
  X(cliSeek, true, "memberCode centreCode") \
  X(cliAuditingSeek, true, "settlementNo centreCode") \
  X(isCashRedeem, true, "settlementNo centreCode") \
  X(cliBalance, true, "clinicNo familyAccountGeld centreCode") \
  X(cliStrikeBalance, true, "settlementNo centreCode") \
  X(inpRegister, true, "opType inpatientSn centreCode hisVisitNo memberName familyNo memberNo countryTeamCode sexCode idCard age medicalCertNo cardNo icdNo opsNo inOfficeNo admissionDate cureCode inHosState cureDoctor bedNo sectionNo dischargeDate days outOfficeNo outHosState turnType turnOrgNo turnDate ticketNo ministerNotice procreateNotice") \
  X(inpRegisterB, true, "packedRegistration") \
  X(inpDetailInput, true, "opType inpatientSn centreCode inpatientRxNo detailId hisItemCode insureItemCode feeClassCode itemName itemSpec itemUnit itemConf price quantity money factMoney useDate enableRatio enableMoney") \
  X(inpDetailSeek, true, "inpatientSn centreCode") \
  X(inpSingleCancelFee, true, "detailNo centreCode") \
  X(inpCancelFee, true, "inpatientSn centreCode") \
  X(calculate, true, "inpatientSn centreCode redeemType") \
  X(inpPay, true, "inpatientSn redeemType redeemDate acceptMan acceptDate centreCode") \
  X(auditingSeek, true, "inpatientSn centreCode") \
  X(updateDisease, true, "lastTime centreCode") \
  X(updateLeechdom, true, "lastTime centreCode") \
  X(getInpatientGradeList, true, "centreCode inpatientSn") \
  X(matchUpdate, true, "centreCode code hisCode hisName hisSpec hisUnit hisConf hisPrice") \
  X(matchSeek, true, "centreCode code hisCode") \
  X(redeemTypeDown, true, "centreCode") \
  X(officeCodeDown, true, "centreCode") \
  X(connectTesting, true, "centreCode")
// clang-format on
// END nv_export_files: list of exports

namespace nvexports {

using Texts = std::vector<const char*>;
// Calls the export at `address` with the first `arity` texts; the text it
// returns belongs to the caller (released with freeResult).
using Invoker = char* (*)(void* address, const Texts& args);

struct Export {
  const char* name;
  bool returnsDocument;    // false: a bare text (Encypt, DeEncypt)
  const char* parameters;  // space-separated
  size_t arity;            // from the prototype: a __stdcall callee pops its arguments, so it must be exact
  Invoker invoke;
};

template <class... Args>
constexpr size_t arityOf(char*(NV_CALL*)(Args...)) {
  return sizeof...(Args);
}

template <class... Args, size_t... I>
char* callAt(void* address, const Texts& args, std::index_sequence<I...>) {
  auto function = reinterpret_cast<char*(NV_CALL*)(Args...)>(address);
  (void)args;  // unused by an export without arguments
  return function(args.at(I)...);
}

template <class... Args>
constexpr Invoker invokerOf(char*(NV_CALL*)(Args...)) {
  return [](void* address, const Texts& args) {
    return callAt<Args...>(address, args, std::index_sequence_for<Args...>{});
  };
}

constexpr size_t wordCount(const char* text) {
  size_t words = 0;
  for (bool inWord = false; *text; ++text) {
    if (*text != ' ' && !inWord) ++words;
    inWord = *text != ' ';
  }
  return words;
}

#define NV_EXPORT_ROW(fn, returnsDocument, parameters) \
  Export{#fn, returnsDocument, parameters, arityOf(decltype(&::fn){}), invokerOf(decltype(&::fn){})},
inline constexpr Export kExports[] = {NV_EXPORT_LIST(NV_EXPORT_ROW)};
#undef NV_EXPORT_ROW

#define NV_EXPORT_ARITY_CHECK(fn, returnsDocument, parameters) \
  static_assert(wordCount(parameters) == arityOf(decltype(&::fn){}), #fn ": one parameter name per argument");
NV_EXPORT_LIST(NV_EXPORT_ARITY_CHECK)
#undef NV_EXPORT_ARITY_CHECK

// The row of this exact name; null when there is none.
inline const Export* findExport(const std::string& name) {
  for (const Export& e : kExports)
    if (name == e.name) return &e;
  return nullptr;
}

inline std::vector<std::string> parameterNames(const Export& e) {
  std::vector<std::string> names;
  std::string word;
  for (const char* p = e.parameters;; ++p) {
    if (*p && *p != ' ') {
      word += *p;
    } else if (!word.empty()) {
      names.push_back(std::move(word));
      word.clear();
    }
    if (!*p) return names;
  }
}

// The address of the export in a program that links the library.
inline void* linkedAddress(const Export& e) {
#define NV_EXPORT_ADDRESS(fn, returnsDocument, parameters) \
  if (std::strcmp(e.name, #fn) == 0) return reinterpret_cast<void*>(&::fn);
  NV_EXPORT_LIST(NV_EXPORT_ADDRESS)
#undef NV_EXPORT_ADDRESS
  return nullptr;
}

// Calls the linked export with exactly `arity` texts.
inline char* callLinked(const Export& e, const Texts& args) { return e.invoke(linkedAddress(e), args); }

}  // namespace nvexports

#endif
