// SPDX-License-Identifier: MIT
// getCenter and getAllCenter: what NvConfiguration.ini holds, answered from
// the file alone. The service address is never listed.
#include "NvInterFace.h"
#include "frame/boundary.h"
#include "frame/centre_store.h"
#include "frame/export_sheet.h"

namespace {

constexpr const char* kFunctionId = "GetCenter";

struct ListedField {
  int colnum;
  const char* colname;
  std::string nv::CentreRecord::*field;
};

const ListedField kListedFields[] = {
    {0, "CenterNO", &nv::CentreRecord::CenterNO},
    {1, "HOSP_CODE", &nv::CentreRecord::HOSP_CODE},
    {2, "ORG_LEVEL", &nv::CentreRecord::ORG_LEVEL},
    {3, "UserNo", &nv::CentreRecord::UserNo},
    {4, "BK", &nv::CentreRecord::BK},
};
constexpr int kListedFieldCount = sizeof kListedFields / sizeof kListedFields[0];

// A listing that finds something carries no out_code and no out_text.
char* listCentres(const nv::CentreTable& records) {
  nv::ResultDocument doc;
  doc.appendHeader(kFunctionId);
  if (records.empty()) {
    doc.appendFailure(nv::texts::kNotFoundCode, nv::texts::kCentreNotFound);
  } else {
    doc.appendDataOpen(static_cast<int32_t>(records.size()), kListedFieldCount);
    int32_t row = 0;
    for (const nv::CentreRecord& record : records) {
      doc.appendRowOpen(row++);
      for (const ListedField& f : kListedFields) doc.appendColumn(f.colnum, f.colname, record.*f.field);
      doc.appendRowClose();
    }
  }
  doc.appendEnd();
  return doc.finishDocument();
}

}  // namespace

extern "C" {

NV_API char* NV_CALL getCenter(NvText centreCode) {
  return nv::guardExport(kFunctionId, [&] {
    nv::CentreRecord record = nv::findCentre(nv::argText(centreCode));
    return listCentres(record.CenterNO.empty() ? nv::CentreTable() : nv::CentreTable{record});
  });
}

NV_API char* NV_CALL getAllCenter(void) {
  return nv::guardExport(kFunctionId, [&] { return listCentres(nv::loadCentreTable()); });
}

}  // extern "C"

const nv::Words nv::kCentreCodeMeaning{
    "农合中心编码:NvConfiguration.ini 中该中心的 CenterNO;为空时取第一个中心",
    "the centre code: the CenterNO of the centre in NvConfiguration.ini; empty for the first centre there"};

void nv::addCentreListingFacts(std::vector<ExportFacts>& facts) {
  nv::AnswerPlan listing{nv::AnswerShape::kList, "", "", {}};
  for (const ListedField& f : kListedFields) listing.columns.push_back({f.colnum, f.colname, centreFieldName(f.field)});
  const Words remark{
      "只读 NvConfiguration.ini,不联系中心;成功时没有 out_code 和 out_text,找不到时写 300;不列出 ServiceURL",
      "answered from NvConfiguration.ini alone, without calling the centre; a success writes no "
      "out_code and no out_text, nothing configured writes 300; ServiceURL is never listed"};
  ExportFacts one{"getCenter", ExportKind::kListing};
  one.functionId = kFunctionId;
  one.parameters = {"centreCode"};
  one.centreArgument = 1;
  one.answer = listing;
  one.meanings = {kCentreCodeMeaning};
  one.remarks = {remark};
  facts.push_back(one);
  ExportFacts all{"getAllCenter", ExportKind::kListing};
  all.functionId = kFunctionId;
  all.answer = listing;
  all.remarks = {{"列出所有配置的中心,按文件顺序", "lists every configured centre, in the file's order"}, remark};
  facts.push_back(all);
}
