// getCenter and getAllCenter: what NvConfiguration.ini holds, answered from
// the file alone. The service address is never listed.
#include "NvInterFace.h"
#include "frame/boundary.h"
#include "frame/centre_store.h"

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
