/*
 * NvInterFace: the rural cooperative medical insurance interface of a hospital
 * information system (HIS) to its county insurance centre.
 *
 * Every argument is a NUL-terminated GBK text; a null pointer counts as the
 * empty text. Every function returns a newly allocated NUL-terminated text
 * (GBK) that the caller owns: a result document, except for Encypt and
 * DeEncypt, which return bare texts. Release any returned text with
 * freeResult, which frees it on the library's own C heap.
 */
#ifndef NVINTERFACE_H
#define NVINTERFACE_H

#if defined(_WIN32) && !defined(_WIN64)
#define NV_CALL __stdcall
#else
#define NV_CALL
#endif

#if defined(_WIN32)
#define NV_API
#elif defined(NV_BUILDING_LIBRARY)
#define NV_API __attribute__((visibility("default")))
#else
#define NV_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef const char* NvText;

/* Text codecs: bare base64 texts, no result document. */
NV_API char* NV_CALL Encypt(NvText text);
NV_API char* NV_CALL DeEncypt(NvText base64Text);

/* Releases any text returned by this library. A null pointer is ignored. */
NV_API void NV_CALL freeResult(char* result);

/* Centre listing, from NvConfiguration.ini alone. */
NV_API char* NV_CALL getCenter(NvText centreCode);
NV_API char* NV_CALL getAllCenter(void);

/* Member and hospital lookup. */
NV_API char* NV_CALL getPersonInfo(NvText medicalCertNo, NvText operatorName, NvText centreCode);
NV_API char* NV_CALL getHospitalInfo(NvText hospitalName, NvText centreCode);

/* Outpatient registration. */
NV_API char* NV_CALL cliRegister(
    NvText regType, NvText clinicNo, NvText centreCode, NvText hisClinicNo, NvText familyNo,
    NvText memberNo, NvText countryNo, NvText memberName, NvText sexCode, NvText idCard,
    NvText age, NvText medicalCertNo, NvText cardNo, NvText firstIcdNo, NvText secondIcdNo,
    NvText inOfficeNo, NvText clinicDate, NvText clinicDoctor, NvText cureCode, NvText inHosId,
    NvText turnLevel, NvText turnHosNo);

/* Outpatient fee details. */
NV_API char* NV_CALL cliDetailInput(
    NvText type, NvText centreCode, NvText clinicNo, NvText clinicRxNo, NvText detailNo,
    NvText hisItemCode, NvText insureItemCode, NvText feeClassCode, NvText itemName,
    NvText itemSpec, NvText itemUnit, NvText itemConf, NvText price, NvText quantity,
    NvText money, NvText factMoney, NvText useDate, NvText enableRatio, NvText enableMoney);
NV_API char* NV_CALL cliDetailSeek(NvText clinicNo, NvText centreCode);
NV_API char* NV_CALL cliCancelFee(NvText clinicNo, NvText centreCode);
NV_API char* NV_CALL cliSingleCancleFee(NvText detailNo, NvText centreCode);

/* Outpatient calculation and settlement. */
NV_API char* NV_CALL cliCalculate(NvText clinicNo, NvText centreCode);
NV_API char* NV_CALL cliSettlement(NvText clinicNo, NvText centreCode);
NV_API char* NV_CALL cliCancelSettlement(NvText settlementNo, NvText centreCode);
NV_API char* NV_CALL cliSeek(NvText memberCode, NvText centreCode);

/* Outpatient audit, cash redemption and balance. */
NV_API char* NV_CALL cliAuditingSeek(NvText settlementNo, NvText centreCode);
NV_API char* NV_CALL isCashRedeem(NvText settlementNo, NvText centreCode);
NV_API char* NV_CALL cliBalance(NvText settlementNo, NvText familyAccountGeld, NvText centreCode);
NV_API char* NV_CALL cliStrikeBalance(NvText settlementNo, NvText centreCode);

/* Inpatient registration; inpRegisterB takes the 32 values packed, separated by "|". */
NV_API char* NV_CALL inpRegister(
    NvText opType, NvText inpatientSn, NvText centreCode, NvText hisVisitNo, NvText memberName,
    NvText familyNo, NvText memberNo, NvText countryTeamCode, NvText sexCode, NvText idCard,
    NvText age, NvText medicalCertNo, NvText cardNo, NvText icdNo, NvText opsNo,
    NvText inOfficeNo, NvText admissionDate, NvText cureCode, NvText inHosState, NvText cureDoctor,
    NvText bedNo, NvText sectionNo, NvText dischargeDate, NvText days, NvText outOfficeNo,
    NvText outHosState, NvText turnType, NvText turnOrgNo, NvText turnDate, NvText ticketNo,
    NvText ministerNotice, NvText procreateNotice);
NV_API char* NV_CALL inpRegisterB(NvText packedRegistration);

/* Inpatient fee details. */
NV_API char* NV_CALL inpDetailInput(
    NvText opType, NvText inpatientSn, NvText centreCode, NvText inpatientRxNo, NvText detailId,
    NvText hisItemCode, NvText insureItemCode, NvText feeClassCode, NvText itemName,
    NvText itemSpec, NvText itemUnit, NvText itemConf, NvText price, NvText quantity,
    NvText money, NvText factMoney, NvText useDate, NvText enableRatio, NvText enableMoney);
NV_API char* NV_CALL inpDetailSeek(NvText inpatientSn, NvText centreCode);
NV_API char* NV_CALL inpSingleCancelFee(NvText detailNo, NvText centreCode);
NV_API char* NV_CALL inpCancelFee(NvText inpatientSn, NvText centreCode);

/* Inpatient calculation and payment. */
NV_API char* NV_CALL calculate(NvText inpatientSn, NvText centreCode, NvText redeemType);
NV_API char* NV_CALL inpPay(NvText inpatientSn, NvText redeemType, NvText redeemDate,
                            NvText acceptMan, NvText acceptDate, NvText centreCode);
NV_API char* NV_CALL auditingSeek(NvText inpatientSn, NvText centreCode);

/* Catalogue downloads and the grade list of a stay. */
NV_API char* NV_CALL updateDisease(NvText lastTime, NvText centreCode);
NV_API char* NV_CALL updateLeechdom(NvText lastTime, NvText centreCode);
NV_API char* NV_CALL getInpatientGradeList(NvText centreCode, NvText inpatientSn);

/* Item matching. */
NV_API char* NV_CALL matchUpdate(NvText centreCode, NvText code, NvText hisCode, NvText hisName,
                                 NvText hisSpec, NvText hisUnit, NvText hisConf, NvText hisPrice);
NV_API char* NV_CALL matchSeek(NvText centreCode, NvText code, NvText hisCode);

#ifdef __cplusplus
}
#endif

#endif /* NVINTERFACE_H */
