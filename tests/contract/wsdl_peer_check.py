# SPDX-License-Identifier: MIT
"""Reads the service description the build emits with an independent SOAP
client (zeep), as a peer or a centre server would, and checks that it
describes the contract the generated client speaks: 32 document/literal
operations with the empty SOAPAction, wrappers in the service namespace,
unqualified members, and the response members; and that no schema of
<types> uses a type of a schema written after it.

usage: wsdl_peer_check.py <wsdl> <service namespace>
"""
import sys

from lxml import etree
from zeep import Client

# Response member of each operation; None: the response has no member.
RESPONSE_MEMBERS = {
    "getPersonInfo": "return", "getHospitalInfo": "return", "cliRegister": "return",
    "cliDetailInput": "return", "cliDetailSeek": "return", "cliCancelFee": None,
    "cliSingleCancleFee": None, "cliCalculate": "return", "cliSeek": "return",
    "cliSettlement": "return", "cliCancelSettlement": None, "cliAuditingSeek": "return",
    "isCashRedeem": "return", "cliBalance": "return", "cliStrikeBalance": "return",
    "inpRegister": "return", "inpDetailInput": "return", "inpDetailSeek": "return",
    "inpSingleCancelFee": None, "inpCancelFee": None, "calculate": "return", "inpPay": "return",
    "auditingSeek": "return", "createRedeemInfo": None, "updateDisease": "diseaseList",
    "updateLeechdom": "return", "getInpatientGradeList": "return", "matchUpdate": None,
    "matchSeek": "return", "redeemTypeDown": "return", "officeCodeDown": "return",
    "connectTesting": "return",
}


def element_names(body_type):
    return [name for name, _ in body_type.elements] if body_type is not None else []


XSD = "{http://www.w3.org/2001/XMLSchema}"


def forward_references(wsdl):
    """The types a schema of <types> uses from a schema written after it:
    importers that read the schemas in order warn about each."""
    schemas = etree.parse(wsdl).getroot().find("{http://schemas.xmlsoap.org/wsdl/}types").findall(XSD + "schema")
    position = {schema.get("targetNamespace"): i for i, schema in enumerate(schemas)}
    found = []
    for i, schema in enumerate(schemas):
        for element in schema.iter(XSD + "element"):
            prefix, _, local = (element.get("type") or "").rpartition(":")
            used = schema.nsmap.get(prefix) if prefix else None
            if position.get(used, -1) > i:
                found.append("%s uses %s before it is defined" % (schema.get("targetNamespace"), local))
    return found


def check(wsdl, service_ns):
    failures = forward_references(wsdl)
    client = Client(wsdl)
    operations = client.service._binding._operations
    if sorted(operations) != sorted(RESPONSE_MEMBERS):
        failures.append("operations differ: %s" % sorted(set(operations) ^ set(RESPONSE_MEMBERS)))
    for name, operation in sorted(operations.items()):
        if operation.soapaction != "":
            failures.append("%s: soapAction %r" % (name, operation.soapaction))
        if operation.style != "document":
            failures.append("%s: style %r" % (name, operation.style))
        members = element_names(operation.input.body.type)
        message = client.create_message(client.service, name, **{m: "v%d" % i for i, m in enumerate(members)})
        body = message.find("{http://schemas.xmlsoap.org/soap/envelope/}Body")
        wrapper = body[0]
        if wrapper.tag != "{%s}%s" % (service_ns, name):
            failures.append("%s: wrapper %s" % (name, wrapper.tag))
        written = [(child.tag, child.text) for child in wrapper]
        expected = [(m, "v%d" % i) for i, m in enumerate(members)]
        if written != expected:
            failures.append("%s: members written as %s" % (name, written))
        output_members = element_names(operation.output.body.type)
        wanted = RESPONSE_MEMBERS.get(name)
        if output_members != ([wanted] if wanted else []):
            failures.append("%s: response members %s" % (name, output_members))
    reply = etree.fromstring(
        '<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/"><s:Body>'
        '<r:getPersonInfoResponse xmlns:r="%s"><return><list><memberNO>MQ==</memberNO></list>'
        '<list><memberNO>Mg==</memberNO></list></return></r:getPersonInfoResponse></s:Body></s:Envelope>'
        % service_ns)
    members = operations["getPersonInfo"].process_reply(reply)
    if [m["memberNO"] for m in members] != ["MQ==", "Mg=="]:
        failures.append("getPersonInfo: list read as %s" % members)
    return failures


def main():
    failures = check(sys.argv[1], sys.argv[2])
    for failure in failures:
        print("FAIL", failure)
    print("%d problems" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
