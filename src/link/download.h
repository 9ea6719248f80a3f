#pragma once
// The download: the configuration held in the tree written into the module, one acknowledged
// exchange after another; the first failed exchange ends it with its result code.

#include <cstdint>
#include <vector>

#include "link/serial_port.h"
#include "model/device_config.h"
#include "model/wire_layout.h"


namespace gw {

// The version request, sent twice; the second reply counts. 0, 3, 5 or 9 (not our product, or
// not the version the slot expects: the observer is told which it is).
ResultCode ReadHardwareVersion(CPortSlot& slot, HardwareVersion& version);

// The whole download: the empty check, the value check and the mapping check (nothing is
// written when they fail), the version, the serial side, then the fieldbus side. The configuration is only read.
// configurationSent (optional) tells whether any configuration frame was started: a download
// that fails after one may have left part of the configuration in the module.
ResultCode Download(CPortSlot& slot, const CDeviceConfig& root, bool* configurationSent = nullptr);

ResultCode DownloadSerial(CPortSlot& slot, const CSubnetNode& subnet, HardwareVersion version);
ResultCode DownloadBus(CPortSlot& slot, const CBusNode& bus, int mode, HardwareVersion version);
ResultCode DownloadCommands(CPortSlot& slot, const CSlaveNode& slave, int& sequence);
ResultCode DownloadCommand(CPortSlot& slot, const CModbusCommand& command, int& sequence, int slaveAddress);

// The command codes of the frames a download sends after the two version requests, in order,
// for a mode, a hardware version and the number of commands of the first slave node (-1: none).
std::vector<std::uint8_t> PlanDownloadFrames(int mode, HardwareVersion version, int commandCount);

} // namespace gw
