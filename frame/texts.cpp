#include "frame/texts.h"

namespace nv::texts {

const char kSuccess[] = "执行成功";
const char kCentreNotFound[] = "无法找到配置文件";
const char kMajorException[] = "函数重大异常";
const char kEndpointNotUsable[] = "农合中心服务地址未配置或无效";

const char kCentreCodeLabel[] = "农合中心编码";

const char kEmptyButRequired[] = "不能为空";
const char kTooLong[] = "长度超过";
const char kNotNumber[] = "非数字格式";
const char kNotDate[] = "非日期格式:yyyy-MM-dd";
const char kNotDateTime[] = "非时间格式:yyyy-MM-dd HH:mm:ss";

}  // namespace nv::texts
