// SPDX-License-Identifier: MIT
#include "text/texts.h"

namespace nv::texts {

const char kSuccess[] = "执行成功";
const char kCentreNotFound[] = "无法找到配置文件";
const char kMajorException[] = "函数重大异常";
const char kEndpointNotUsable[] = "农合中心服务地址未配置或无效";

const char kCentreCodeLabel[] = "农合中心编码";

const char kTlsUntrusted[] = "HTTPS连接失败:农合中心服务器的证书不受信任";
const char kTlsNameMismatch[] = "HTTPS连接失败:农合中心服务器的证书与服务地址的主机名不符";
const char kTlsExpired[] = "HTTPS连接失败:农合中心服务器的证书已过期";
const char kTlsNotYetValid[] = "HTTPS连接失败:农合中心服务器的证书尚未生效";
const char kTlsNotTls[] = "HTTPS连接失败:农合中心服务器未以TLS应答(该地址可能只支持http)";
const char kTlsFailed[] = "HTTPS连接失败:与农合中心服务器的TLS握手未完成";

const char kEmptyButRequired[] = "不能为空";
const char kTooLong[] = "长度超过";
const char kNotNumber[] = "非数字格式";
const char kNotDate[] = "非日期格式:yyyy-MM-dd";
const char kNotDateTime[] = "非时间格式:yyyy-MM-dd HH:mm:ss";

}  // namespace nv::texts
