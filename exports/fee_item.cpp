// SPDX-License-Identifier: MIT
#include "exports/fee_item.h"

// Constant data: ready before any sheet of another source is built with it.
// clang-format off
namespace nv::fee {
constexpr Argument kEntryType{"type", stringCheck("登记类型", 1, kRequired), {"登记类型,一字节代码", "type code of the entry, one byte"}};
constexpr Argument kDetailNo{"detailNo", numberCheck("农合明细序号", 18, kMayBeEmpty), {"农合明细序号", "the centre's detail sequence number"}};
constexpr Argument kHisItemCode{"hisItemCode", stringCheck("HIS药品编码", 40, kRequired), {"HIS 自己的药品(项目)编码", "the HIS's own item code"}};
constexpr Argument kInsureItemCode{"insureItemCode", stringCheck("农合药品编码", 40, kRequired), {"农合目录中的药品(项目)编码", "insurance catalogue item code"}};
constexpr Argument kFeeClassCode{"feeClassCode", stringCheck("农合费用分类代码", 4, kRequired), {"农合费用分类代码", "insurance fee class code"}};
constexpr Argument kItemName{"itemName", stringCheck("HIS药品名称", 100, kMayBeEmpty), {"药品(项目)名称", "item name"}};
constexpr Argument kItemSpec{"itemSpec", stringCheck("HIS药品规格", 200, kMayBeEmpty), {"规格", "strength and pack size"}};
constexpr Argument kItemUnit{"itemUnit", stringCheck("HIS药品单位", 100, kMayBeEmpty), {"单位", "unit"}};
constexpr Argument kItemConf{"itemConf", stringCheck("HIS药品剂型", 100, kMayBeEmpty), {"剂型", "dosage form"}};
constexpr Argument kPrice{"price", numberCheck("HIS药品单价", 18, kRequired), {"单价", "unit price"}};
constexpr Argument kQuantity{"quantity", numberCheck("HIS药品数量", 18, kRequired), {"数量", "quantity"}};
constexpr Argument kMoney{"money", numberCheck("金额(=数量*单价)", 18, kMayBeEmpty), {"金额,数量乘单价", "amount, quantity times unit price"}};
constexpr Argument kFactMoney{"factMoney", numberCheck("实收金额(折扣后的金额)", 18, kRequired), {"实收金额(折扣后)", "amount charged after discount"}};
// A date is judged by its shape alone.
constexpr Argument kUseDate{"useDate", dateCheck("使用日期", kRequired), {"使用日期,yyyy-MM-dd", "date of use, yyyy-MM-dd"}};
constexpr Argument kEnableRatio{"enableRatio", numberCheck("可报比例", 18, kMayBeEmpty), {"可报比例", "reimbursable ratio"}};
constexpr Argument kEnableMoney{"enableMoney", numberCheck("可报金额", 18, kMayBeEmpty), {"可报金额", "reimbursable amount"}};
}  // namespace nv::fee
// clang-format on
