#pragma once
// The upload: the configuration the module holds read into the tree. It is read into a copy
// of the current configuration (what the module does not report keeps its value) and the copy
// replaces the configuration only when the whole upload has succeeded.

#include "link/download.h"
#include "link/serial_port.h"
#include "model/device_config.h"

namespace gw {

// The whole upload. On failure root is exactly as it was. version, when given, gets the
// hardware version the module reported.
ResultCode Upload(CPortSlot& slot, CDeviceConfig& root, HardwareVersion* version = nullptr);

// The steps, working on the configuration being read (the copy).
ResultCode UploadSerial(CPortSlot& slot, CSubnetNode& subnet, HardwareVersion version);
ResultCode UploadCommands(CPortSlot& slot, CSubnetNode& subnet);
ResultCode UploadBus(CPortSlot& slot, CBusNode& bus, int mode, HardwareVersion version);

} // namespace gw
