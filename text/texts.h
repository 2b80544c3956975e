// SPDX-License-Identifier: MIT
// The library's own texts, as GBK bytes (defined in texts.cpp, which the
// build converts to GBK).
#ifndef NV_TEXT_TEXTS_H
#define NV_TEXT_TEXTS_H

namespace nv::texts {

// out_code values.
inline constexpr const char* kSuccessCode = "000";
inline constexpr const char* kNotFoundCode = "300";
inline constexpr const char* kCallFailedCode = "600";

extern const char kSuccess[];            // 执行成功
extern const char kCentreNotFound[];     // 无法找到配置文件
extern const char kMajorException[];     // 函数重大异常
extern const char kEndpointNotUsable[];  // the centre's service address is missing or not http(s)

// The SOAP runtime's own words, which centres' HIS callers have long seen:
// an HTTP status that is not read as SOAP, a connection not made in time.
inline constexpr const char kHttpError[] = "HTTP Error";
inline constexpr const char kTimeout[] = "Timeout";

// Why an HTTPS connection was refused: what failed in the handshake.
extern const char kTlsUntrusted[];
extern const char kTlsNameMismatch[];
extern const char kTlsExpired[];
extern const char kTlsNotYetValid[];
extern const char kTlsNotTls[];
extern const char kTlsFailed[];

// The label of the centre-code argument in every check table.
extern const char kCentreCodeLabel[];  // 农合中心编码

// Check reasons, appended to the argument's label.
extern const char kEmptyButRequired[];
extern const char kTooLong[];
extern const char kNotNumber[];
extern const char kNotDate[];
extern const char kNotDateTime[];

}  // namespace nv::texts

#endif
