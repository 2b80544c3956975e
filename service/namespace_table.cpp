// SPDX-License-Identifier: MIT
// Defines the runtime's namespace table, `namespaces`, generated with the
// client: 22 entries in the order of the service definition, read-only.
#include "soapH.h"
#include "inpatientRedeem.nsmap"
