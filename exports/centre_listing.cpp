// getCenter and getAllCenter: what NvConfiguration.ini holds, answered from
// the file alone. The service address is never listed.
#include "NvInterFace.h"
#include "frame/boundary.h"
#include "frame/center_store.h"

namespace {

constexpr const char* kFunctionId = "GetCenter";

struct ListedField {
  int colnum;
  const char* colname;
  std::string nv::CenterRecord::*field;
};

const ListedField kListedFields[] = {
    {0, "CenterNO", &nv::CenterRecord::CenterNO},
    {1, "HOSP_CODE", &nv::CenterRecord::HOSP_CODE},
    {2, "ORG_LEVEL", &nv::CenterRecord::ORG_LEVEL},
    {3, "UserNo", &nv::CenterRecord::UserNo},
    {4, "BK", &nv::CenterRecord::BK},
};
constexpr int kListedFieldCount = sizeof kListedFields / sizeof kListedFields[0];

// A listing that finds something carries no out_code and no out_text.
char* listCentres(const nv::CenterTable& records) {
  nv::ResultDocument doc;
  doc.appendHeader(kFunctionId);
  if (records.empty()) {
    doc.appendFailure(nv::texts::kNotFoundCode, nv::texts::kCentreNotFound);
  } else {
    doc.appendDataOpen(static_cast<int32_t>(records.size()), kListedFieldCount);
    int32_t row = 0;
    for (const nv::CenterRecord& record : records) {
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
    nv::CenterRecord record = nv::findCenter(nv::argText(centreCode));
    return listCentres(record.CenterNO.empty() ? nv::CenterTable() : nv::CenterTable{record});
  });
}

NV_API char* NV_CALL getAllCenter(void) {
  return nv::guardExport(kFunctionId, [&] { return listCentres(nv::loadCenterTable()); });
}

}  // extern "C"
