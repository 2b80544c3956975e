# SPDX-License-Identifier: MIT
# cmake -DSOURCE=<dir>/soapC.cpp -P SoapMembersByLocalName.cmake
#
# The centre's members are unqualified, and a client must recognise them by
# local name alone, with or without a prefix or namespace. The 2.8 runtime
# matches an unqualified tag only against unprefixed elements, so a member
# the server writes as <p:return> would be skipped as unknown and read as
# absent. A tag written ":name" matches the local name in any namespace, so
# every literal unqualified tag the generated readers look for gets a leading
# colon. Writers are left alone: requests stay unqualified.
if(NOT SOURCE)
  message(FATAL_ERROR "SoapMembersByLocalName: SOURCE is required")
endif()
file(READ ${SOURCE} text)
string(REGEX MATCHALL "soap_in_[A-Za-z0-9_]+\\(soap, \"[A-Za-z_][A-Za-z0-9_.-]*\"" found "${text}")
list(LENGTH found count)
if(count EQUAL 0)
  message(FATAL_ERROR "SoapMembersByLocalName: no member readers found in ${SOURCE}; has the generator changed?")
endif()
string(REGEX REPLACE "(soap_in_[A-Za-z0-9_]+\\(soap, \")([A-Za-z_][A-Za-z0-9_.-]*\")" "\\1:\\2" text "${text}")
# Every reader with a literal tag must now name a qualified element or a
# local name: one left behind would read its member as absent, silently.
string(REGEX MATCHALL "soap_in_[A-Za-z0-9_]+\\(soap, \"[^\":]*\"" left "${text}")
if(left)
  message(FATAL_ERROR "SoapMembersByLocalName: readers left unrewritten in ${SOURCE}: ${left}")
endif()
file(WRITE ${SOURCE} "${text}")
