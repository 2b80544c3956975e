// SPDX-License-Identifier: MIT
// The fee item: the arguments both uploads of fee lines (cliDetailInput,
// inpDetailInput) take alike, each with its check and meaning, stated once.
// Each sheet sends them in its own request's members.
#ifndef NV_EXPORTS_FEE_ITEM_H
#define NV_EXPORTS_FEE_ITEM_H

#include "frame/export_sheet.h"

namespace nv::fee {

// Argument 1.
extern const Argument kEntryType;
// Arguments 5 to 19, in this order.
extern const Argument kDetailNo;
extern const Argument kHisItemCode;
extern const Argument kInsureItemCode;
extern const Argument kFeeClassCode;
extern const Argument kItemName;
extern const Argument kItemSpec;
extern const Argument kItemUnit;
extern const Argument kItemConf;
extern const Argument kPrice;
extern const Argument kQuantity;
extern const Argument kMoney;
extern const Argument kFactMoney;
extern const Argument kUseDate;
extern const Argument kEnableRatio;
extern const Argument kEnableMoney;

}  // namespace nv::fee

#endif
