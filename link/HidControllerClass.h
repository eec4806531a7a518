// The HID controller family in one include: THidDeviceController keeps the list of
// HID interfaces and follows devices coming and going; THidDevice is one interface
// with its strings, attributes, feature reports and data handler; THidClaim is the
// application's hold on a claimed device; THidDeviceReadThread reads a claimed
// device's input reports and hands each one to the owner's thread, waiting until
// the handler has returned; EControllerError is the family's error.
#pragma once

#include "link/ControllerError.h"
#include "link/HidClaim.h"
#include "link/HidDevice.h"
#include "link/HidDeviceController.h"
#include "link/HidEvents.h"
#include "link/HidReadThread.h"
