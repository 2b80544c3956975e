#include "tools/nvcall/export_table.h"

#include <utility>

#include "NvInterFace.h"

namespace nvcall {
namespace {

template <class... Texts, size_t... I>
char* invoke(char*(NV_CALL* function)(Texts...), const std::vector<const char*>& args, std::index_sequence<I...>) {
  (void)args;  // unused by a function without arguments
  return function(args[I]...);
}

// One table row; the arity comes from the export's prototype.
template <class... Texts>
ExportEntry entry(const char* name, char*(NV_CALL* function)(Texts...), std::vector<const char*> parameters,
                  bool returnsDocument = true) {
  return {name, sizeof...(Texts), std::move(parameters), returnsDocument,
          [function](const std::vector<const char*>& args) {
            return invoke(function, args, std::index_sequence_for<Texts...>{});
          }};
}

std::vector<ExportEntry> buildTable() {
  return {
      entry("Encypt", Encypt, {"text"}, false),
      entry("DeEncypt", DeEncypt, {"base64Text"}, false),
      entry("getCenter", getCenter, {"centreCode"}),
      entry("getAllCenter", getAllCenter, {}),
      entry("getPersonInfo", getPersonInfo, {"medicalCertNo", "operatorName", "centreCode"}),
      entry("getHospitalInfo", getHospitalInfo, {"hospitalName", "centreCode"}),
      entry("cliRegister", cliRegister,
            {"regType", "clinicNo", "centreCode", "hisClinicNo", "familyNo", "memberNo", "countryNo", "memberName",
             "sexCode", "idCard", "age", "medicalCertNo", "cardNo", "firstIcdNo", "secondIcdNo", "inOfficeNo",
             "clinicDate", "clinicDoctor", "cureCode", "inHosId", "turnLevel", "turnHosNo"}),
      entry("cliDetailInput", cliDetailInput,
            {"type", "centreCode", "clinicNo", "clinicRxNo", "detailNo", "hisItemCode", "insureItemCode",
             "feeClassCode", "itemName", "itemSpec", "itemUnit", "itemConf", "price", "quantity", "money", "factMoney",
             "useDate", "enableRatio", "enableMoney"}),
      entry("cliDetailSeek", cliDetailSeek, {"clinicNo", "centreCode"}),
      entry("cliCancelFee", cliCancelFee, {"clinicNo", "centreCode"}),
      entry("cliSingleCancleFee", cliSingleCancleFee, {"detailNo", "centreCode"}),
      entry("cliCalculate", cliCalculate, {"clinicNo", "centreCode"}),
      entry("cliSettlement", cliSettlement, {"clinicNo", "centreCode"}),
      entry("cliCancelSettlement", cliCancelSettlement, {"settlementNo", "centreCode"}),
      entry("cliSeek", cliSeek, {"memberCode", "centreCode"}),
      entry("cliAuditingSeek", cliAuditingSeek, {"settlementNo", "centreCode"}),
      entry("isCashRedeem", isCashRedeem, {"settlementNo", "centreCode"}),
      entry("cliBalance", cliBalance, {"clinicNo", "familyAccountGeld", "centreCode"}),
      entry("cliStrikeBalance", cliStrikeBalance, {"settlementNo", "centreCode"}),
      entry("inpRegister", inpRegister,
            {"opType", "inpatientSn", "centreCode", "hisVisitNo", "memberName", "familyNo", "memberNo",
             "countryTeamCode", "sexCode", "idCard", "age", "medicalCertNo", "cardNo", "icdNo", "opsNo", "inOfficeNo",
             "admissionDate", "cureCode", "inHosState", "cureDoctor", "bedNo", "sectionNo", "dischargeDate", "days",
             "outOfficeNo", "outHosState", "turnType", "turnOrgNo", "turnDate", "ticketNo", "ministerNotice",
             "procreateNotice"}),
      entry("inpRegisterB", inpRegisterB, {"packedRegistration"}),
      entry("inpDetailInput", inpDetailInput,
            {"opType", "inpatientSn", "centreCode", "inpatientRxNo", "detailId", "hisItemCode", "insureItemCode",
             "feeClassCode", "itemName", "itemSpec", "itemUnit", "itemConf", "price", "quantity", "money",
             "factMoney", "useDate", "enableRatio", "enableMoney"}),
      entry("inpDetailSeek", inpDetailSeek, {"inpatientSn", "centreCode"}),
      entry("inpSingleCancelFee", inpSingleCancelFee, {"detailNo", "centreCode"}),
      entry("inpCancelFee", inpCancelFee, {"inpatientSn", "centreCode"}),
      entry("calculate", calculate, {"inpatientSn", "centreCode", "redeemType"}),
      entry("inpPay", inpPay, {"inpatientSn", "redeemType", "redeemDate", "acceptMan", "acceptDate", "centreCode"}),
      entry("auditingSeek", auditingSeek, {"inpatientSn", "centreCode"}),
      entry("updateDisease", updateDisease, {"lastTime", "centreCode"}),
      entry("updateLeechdom", updateLeechdom, {"lastTime", "centreCode"}),
      entry("getInpatientGradeList", getInpatientGradeList, {"centreCode", "inpatientSn"}),
      entry("matchUpdate", matchUpdate,
            {"centreCode", "code", "hisCode", "hisName", "hisSpec", "hisUnit", "hisConf", "hisPrice"}),
      entry("matchSeek", matchSeek, {"centreCode", "code", "hisCode"}),
  };
}

}  // namespace

const std::vector<ExportEntry>& exportTable() {
  static const std::vector<ExportEntry> kTable = buildTable();
  return kTable;
}

const ExportEntry* findExport(std::string_view name) {
  for (const ExportEntry& entry : exportTable())
    if (name == entry.name) return &entry;
  return nullptr;
}

void releaseResult(char* text) { freeResult(text); }

}  // namespace nvcall
