// The controller interface's constructor, in an object module of its own so
// that a program providing a controller links the interface once.
#include "controllerinterface.h"

ControllerInterface::ControllerInterface() = default;
