// SPDX-License-Identifier: MIT
/*
 * NvInterFace: the rural cooperative medical insurance interface of a hospital
 * information system (HIS) to its county insurance centre.
 *
 * The contract every export keeps:
 *
 * - Texts. Every argument is a NUL-terminated GBK text; a null pointer
 *   counts as the empty text. The library converts no code page.
 * - Results. Every function returns a newly allocated NUL-terminated GBK
 *   text that the caller owns: a result document, except for Encypt and
 *   DeEncypt, which return bare texts in a block of at least 4000 bytes
 *   (larger when the text needs it). Release any returned text with
 *   freeResult, which frees it on the library's own C heap; never with
 *   free, delete, CoTaskMemFree, Marshal.FreeHGlobal, FreeMem or GlobalFree.
 * - NULL. When memory runs out part way through a call, an export that
 *   returns a result document returns a "600" document instead; it returns
 *   NULL only when not even that document's memory can be had. Encypt and
 *   DeEncypt, which have no failure document, return NULL whenever memory
 *   runs out. Check for NULL before reading; freeResult(NULL) does nothing.
 *   A call that ran out of memory leaves nothing half done: the next call,
 *   with memory back, works as usual.
 * - out_code of a result document (out_text says why, in GBK): "000"
 *   success; "300" no centre configured for the code, or an argument
 *   check failed in cliRegister, cliDetailInput, cliCancelFee,
 *   cliSingleCancleFee, cliSeek, cliBalance, inpRegister, inpDetailInput,
 *   inpSingleCancelFee, inpCancelFee, calculate, inpPay,
 *   getInpatientGradeList, matchUpdate or matchSeek; "600" an argument check
 *   failed in another export, or the call to the centre failed (the
 *   centre's message, or the library's own). getCenter and getAllCenter write no
 *   out_code when they succeed (their rows are the answer) and "300" when
 *   nothing is configured. A lookup that finds nothing, such as a member
 *   who is not registered, is "000" with zero rows.
 * - Configuration. Every call reads NvConfiguration.ini as it stands, by
 *   relative name: from the current directory of the process. An edit
 *   takes effect on the next call (an unchanged file is not read again).
 * - Threads. Every export is re-entrant; any number may run at once on
 *   different threads. Calls share only what makes the next one cheaper:
 *   kept connections to a centre (one call at a time on each), TLS sessions
 *   and name resolutions, each behind a lock. No call sees another's
 *   arguments or result. A call blocks while it talks to the centre:
 *   connecting is bounded by 100 seconds, and a call whose centre stops
 *   answering ends within 206 seconds of its start (README, "Networks").
 * - Calling convention. 32-bit Windows: __stdcall, exported undecorated
 *   ("getPersonInfo", not "_getPersonInfo@12"); the import library
 *   NvInterFace.lib resolves the decorated names a compiler references.
 *   64-bit Windows has one calling convention; the names are the same.
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
NV_API char* NV_CALL cliRegister(NvText regType, NvText clinicNo, NvText centreCode, NvText hisClinicNo,
                                 NvText familyNo, NvText memberNo, NvText countryNo, NvText memberName, NvText sexCode,
                                 NvText idCard, NvText age, NvText medicalCertNo, NvText cardNo, NvText firstIcdNo,
                                 NvText secondIcdNo, NvText inOfficeNo, NvText clinicDate, NvText clinicDoctor,
                                 NvText cureCode, NvText inHosId, NvText turnLevel, NvText turnHosNo);

/* Outpatient fee details. */
NV_API char* NV_CALL cliDetailInput(NvText type, NvText centreCode, NvText clinicNo, NvText clinicRxNo, NvText detailNo,
                                    NvText hisItemCode, NvText insureItemCode, NvText feeClassCode, NvText itemName,
                                    NvText itemSpec, NvText itemUnit, NvText itemConf, NvText price, NvText quantity,
                                    NvText money, NvText factMoney, NvText useDate, NvText enableRatio,
                                    NvText enableMoney);
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
/* cliBalance takes the outpatient visit number (clinicNo, from cliRegister), not a settlement number. */
NV_API char* NV_CALL cliBalance(NvText clinicNo, NvText familyAccountGeld, NvText centreCode);
NV_API char* NV_CALL cliStrikeBalance(NvText settlementNo, NvText centreCode);

/* Inpatient registration. inpRegisterB takes inpRegister's 32 values in one
 * text, in the same order, separated by "|", and returns inpRegister's result
 * (function_id InpRegister). How the text is packed:
 * - a run of separators counts as one, and separators at either end make no
 *   field: write an empty value as one space (" "), never as "||", or every
 *   later value moves one place to the left;
 * - a field of exactly one space is the empty value; any other field is sent
 *   as it is, spaces included;
 * - fields after the 32nd are ignored, missing ones at the end are empty;
 * - the text is read character by character in GBK: a byte 81 to FE opens a
 *   two-byte character and the byte after it belongs to it, so a character
 *   whose second byte is 7C, the byte of "|" (AB 7C, 81 7C), stays whole;
 *   every other "|" separates;
 * - the text may be of any length, and is never changed. */
NV_API char* NV_CALL inpRegister(NvText opType, NvText inpatientSn, NvText centreCode, NvText hisVisitNo,
                                 NvText memberName, NvText familyNo, NvText memberNo, NvText countryTeamCode,
                                 NvText sexCode, NvText idCard, NvText age, NvText medicalCertNo, NvText cardNo,
                                 NvText icdNo, NvText opsNo, NvText inOfficeNo, NvText admissionDate, NvText cureCode,
                                 NvText inHosState, NvText cureDoctor, NvText bedNo, NvText sectionNo,
                                 NvText dischargeDate, NvText days, NvText outOfficeNo, NvText outHosState,
                                 NvText turnType, NvText turnOrgNo, NvText turnDate, NvText ticketNo,
                                 NvText ministerNotice, NvText procreateNotice);
NV_API char* NV_CALL inpRegisterB(NvText packedRegistration);

/* Inpatient fee details. */
NV_API char* NV_CALL inpDetailInput(NvText opType, NvText inpatientSn, NvText centreCode, NvText inpatientRxNo,
                                    NvText detailId, NvText hisItemCode, NvText insureItemCode, NvText feeClassCode,
                                    NvText itemName, NvText itemSpec, NvText itemUnit, NvText itemConf, NvText price,
                                    NvText quantity, NvText money, NvText factMoney, NvText useDate, NvText enableRatio,
                                    NvText enableMoney);
NV_API char* NV_CALL inpDetailSeek(NvText inpatientSn, NvText centreCode);
NV_API char* NV_CALL inpSingleCancelFee(NvText detailNo, NvText centreCode);
NV_API char* NV_CALL inpCancelFee(NvText inpatientSn, NvText centreCode);

/* Inpatient calculation and payment. */
NV_API char* NV_CALL calculate(NvText inpatientSn, NvText centreCode, NvText redeemType);
NV_API char* NV_CALL inpPay(NvText inpatientSn, NvText redeemType, NvText redeemDate, NvText acceptMan,
                            NvText acceptDate, NvText centreCode);
NV_API char* NV_CALL auditingSeek(NvText inpatientSn, NvText centreCode);

/* Catalogue downloads and the grade list of a stay. */
NV_API char* NV_CALL updateDisease(NvText lastTime, NvText centreCode);
NV_API char* NV_CALL updateLeechdom(NvText lastTime, NvText centreCode);
NV_API char* NV_CALL getInpatientGradeList(NvText centreCode, NvText inpatientSn);

/* Item matching. */
NV_API char* NV_CALL matchUpdate(NvText centreCode, NvText code, NvText hisCode, NvText hisName, NvText hisSpec,
                                 NvText hisUnit, NvText hisConf, NvText hisPrice);
NV_API char* NV_CALL matchSeek(NvText centreCode, NvText code, NvText hisCode);

/* The centre's code tables and its connection test. */
NV_API char* NV_CALL redeemTypeDown(NvText centreCode);
NV_API char* NV_CALL officeCodeDown(NvText centreCode);
NV_API char* NV_CALL connectTesting(NvText centreCode);

#ifdef __cplusplus
}
#endif

#endif /* NVINTERFACE_H */
