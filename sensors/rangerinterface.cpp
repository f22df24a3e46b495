// The interface's constructor lives here, in the shared library, so that the
// library exports it together with the interface's virtual table and type
// information.
#include "rangerinterface.h"

RangerInterface::RangerInterface() = default;
