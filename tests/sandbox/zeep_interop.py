#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""A SOAP client nobody here wrote (python3-zeep) against the sandbox centre.

Usage: zeep_interop.py NV_SANDBOX_BINARY

Starts the sandbox on a free loopback port with a fresh database, loads its
WSDL over HTTP, calls operations with base64 GBK members and checks the
decoded answers, a business fault included. Exits 0 when all hold.
"""
import base64
import sys

import zeep
import zeep.exceptions

from sandbox_centre import running_sandbox


def b64(text):
    return base64.b64encode(text.encode("gbk")).decode("ascii")


def text(value):
    return base64.b64decode(value).decode("gbk") if value else ""


failures = []


def expect(what, got, wanted):
    if got != wanted:
        failures.append(f"{what}: got {got!r}, wanted {wanted!r}")


def main():
    with running_sandbox(sys.argv[1], failures) as (address, _):
        run(address + "?wsdl")


def run(wsdl):
    client = zeep.Client(wsdl)
    service = client.service

    members = service.getPersonInfo(bookno=b64("341122000123"), operator=b64("zeep"))
    expect("getPersonInfo names", [text(m.name) for m in members], ["张三", "李秀英", "张小明"])
    expect("getPersonInfo memberNO", text(members[0].memberNO), "34112200012301")

    clinic_no = text(service.cliRegister(
        regType=b64("1"), clinicNo=b64(""), centerNo=b64("341122"), hisClinicNo=b64("Z1"),
        familyNo=b64("3411220001"), memberNo=b64("34112200012301"), countryNo=b64("341122100001"),
        memberName=b64("张三"), sexCode=b64("1"), idCard=b64("341122197803150019"), age=b64("46"),
        bookNo=b64("341122000123"), cardNo=b64(""), hosNo=b64("341122001"), hosLevel=b64("2"),
        firstIcdNo=b64("J06.900"), secondIcdNo=b64(""), inOfficeNo=b64("01"), clinicDate=b64("2024-06-03"),
        clinicDoctor=b64("王医生"), cureCode=b64("1"), inHosId=b64("1"), operator=b64("zeep"),
        turnLevel=b64(""), turnHosNo=b64("")))
    expect("cliRegister visit number", clinic_no, "10000001")

    detail_no = text(service.cliDetailInput(
        type=b64("1"), no=b64(clinic_no), clinicRxNo=b64("RX1"), detailNo=b64(""), code=b64("XY0001"),
        classId=b64("01"), name=b64("阿莫西林胶囊"), spec=b64("0.25g*24粒"), unit=b64("盒"), conf=b64("胶囊剂"),
        price=b64("12.50"), quantity=b64("2"), money=b64("25.00"), factMoney=b64("25.00"),
        useDate=b64("2024-06-03"), enableRatio=b64(""), enableMoney=b64(""), hisLeechdomCode=b64("H-AMX")))
    expect("cliDetailInput detail number", detail_no, "40000001")

    figures = service.cliCalculate(clinicNo=b64(clinic_no))
    expect("cliCalculate totalMoney", text(figures.totalMoney), "25.00")
    expect("cliCalculate doorRedeemMoney", text(figures.doorRedeemMoney), "7.50")

    drugs = service.updateLeechdom(lastTime=b64("2024-05-01 00:00:00"), centerNo=b64("341122"),
                                   hosNo=b64("341122001"))
    expect("updateLeechdom codes", [text(d.insureId) for d in drugs], ["CL0001", "JC0002", "ZL0002", "ZF0001"])
    expect("updateLeechdom name", text(drugs[3].name), "进口肠内营养乳剂")
    expect("updateLeechdom ratio", text(drugs[0].ratio), "0.70")

    diseases = service.updateDisease(lastTime=b64("2024-05-20 14:30:00"), centerNo=b64("341122"))
    expect("updateDisease", [text(d.icdName) for d in diseases], ["单胎顺产"])

    expect("connectTesting", text(service.connectTesting()), "连接成功")

    try:
        service.cliSettlement(clinicNo=b64("10009999"), userNo=b64("zeep"))
        failures.append("cliSettlement of an unknown visit: no fault")
    except zeep.exceptions.Fault as fault:
        expect("fault message", text(fault.message), "就诊记录不存在")


main()
if failures:
    print("\n".join(failures), file=sys.stderr)
    sys.exit(1)
print("zeep interoperability: all checks passed")
