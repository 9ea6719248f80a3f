#include "commission/direction_control.h"

#include <cerrno>
#include <cstring>

#include <modbus.h>
#include <sys/ioctl.h>

std::string gw::SetDirectionControl(modbus_t* ctx, int fd, DirectionControl direction)
{
    if (direction == DirectionControl::KernelRs485) {
        if (modbus_rtu_set_serial_mode(ctx, MODBUS_RTU_RS485) != 0)
            return std::string("the port's driver has no RS-485 mode (") + std::strerror(errno) + ")";
    } else if (direction == DirectionControl::RtsHigh || direction == DirectionControl::RtsLow) {
        int lines = 0;
        if (::ioctl(fd, TIOCMGET, &lines) != 0)
            return std::string("the port has no RTS line to drive (") + std::strerror(errno) + ")";
        modbus_rtu_set_rts(ctx, direction == DirectionControl::RtsHigh ? MODBUS_RTU_RTS_UP : MODBUS_RTU_RTS_DOWN);
    }
    return {};
}

void gw::ResetDirectionControl(modbus_t* ctx, DirectionControl direction)
{
    if (direction == DirectionControl::KernelRs485)
        modbus_rtu_set_serial_mode(ctx, MODBUS_RTU_RS232);
}
