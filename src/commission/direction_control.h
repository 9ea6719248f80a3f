#pragma once
// How the transmitter of a two-wire RS-485 line is switched to sending, and setting it on a
// port that libmodbus drives.

#include <string>

typedef struct _modbus modbus_t;

enum class DirectionControl {
    None,         // the adapter does it by itself (USB-RS485 adapters)
    KernelRs485,  // the UART driver's RS-485 mode
    RtsHigh,      // RTS raised while sending
    RtsLow,       // RTS lowered while sending
};

namespace gw {

// Sets it on ctx, whose line is fd; what the port refused, or empty. The driver's RS-485 mode
// stays on until ResetDirectionControl.
std::string SetDirectionControl(modbus_t* ctx, int fd, DirectionControl direction);
void ResetDirectionControl(modbus_t* ctx, DirectionControl direction);

} // namespace gw
