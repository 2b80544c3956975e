// SPDX-License-Identifier: MIT
// The sandbox centre's code tables as a fresh database holds them (UTF-8):
// the seed writes them into its database, and the reference quotes them, so
// the values it gives for the sandbox are the ones the sandbox answers.
#ifndef NV_SANDBOX_SEED_CODES_H
#define NV_SANDBOX_SEED_CODES_H

namespace sandbox {

// The centre the seed data belongs to.
inline const char* const kSeedCentre = "341122";

// redeemTypeDown's entries, and the codes calculate and inpPay accept.
struct SeedRedeemType {
  const char* code;
  const char* name;
  const char* otherParam;
  const char* comment;
  const char* accountType;
};
inline constexpr SeedRedeemType kSeedRedeemTypes[] = {
    {"11", "普通住院", "", "", "1"}, {"12", "住院分娩", "", "", "1"},     {"13", "意外伤害住院", "", "", "1"},
    {"21", "门诊统筹", "", "", "1"}, {"22", "门诊家庭帐户", "", "", "2"},
};

// officeCodeDown's entries: the departments.
struct SeedOffice {
  const char* code;
  const char* name;
  const char* otherParam;
  const char* comment;
};
inline constexpr SeedOffice kSeedOffices[] = {
    {"01", "内科", "", ""}, {"02", "外科", "", ""},   {"03", "妇产科", "", ""},
    {"04", "儿科", "", ""}, {"05", "中医科", "", ""},
};

// The hospitals the centre knows: getHospitalInfo's entries.
struct SeedHospital {
  const char* hospCode;
  const char* hospLevel;
  const char* hospName;
};
inline constexpr SeedHospital kSeedHospitals[] = {
    {"341122001", "2", "明湖县人民医院"},
    {"341122002", "2", "明湖县中医院"},
    {"341122101", "1", "明湖县城关镇卫生院"},
    {"341122201", "1", "明湖县南桥乡卫生院"},
};

}  // namespace sandbox

#endif
