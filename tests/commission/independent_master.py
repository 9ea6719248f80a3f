#!/usr/bin/python3
"""Drives a Modbus RTU slave on PORT with pymodbus's client, as a master written by others would.

Prints one line per request: "NAME: OUTCOME in MS ms", OUTCOME being "exception CODE" or the
registers read. Between two of them it puts a damaged frame on the line.
"""
import sys
import time

from pymodbus.client import ModbusSerialClient
from pymodbus.diag_message import ReturnQueryDataRequest
from pymodbus.mei_message import ReadDeviceInformationRequest
from pymodbus.other_message import ReadExceptionStatusRequest
from pymodbus.register_read_message import ReadHoldingRegistersRequest
from pymodbus.register_write_message import WriteMultipleRegistersRequest


def outcome(response):
    if response.isError():
        return "exception %d" % response.exception_code if hasattr(response, "exception_code") else "no answer"
    return " ".join(str(r) for r in response.registers)


def main():
    client = ModbusSerialClient(port=sys.argv[1], baudrate=19200, timeout=1)
    client.connect()
    requests = [
        ("read exception status", ReadExceptionStatusRequest(unit=1)),
        ("diagnostics", ReturnQueryDataRequest(0x1234, unit=1)),
        ("device identification", ReadDeviceInformationRequest(unit=1)),
        ("126 registers", ReadHoldingRegistersRequest(100, 126, unit=1)),
        ("3 registers", ReadHoldingRegistersRequest(100, 3, unit=1)),
        ("write 124 registers", WriteMultipleRegistersRequest(100, [0] * 124, unit=1)),
        ("damaged frame, then 3 registers", ReadHoldingRegistersRequest(100, 3, unit=1)),
    ]
    for name, request in requests:
        if name.startswith("damaged"):
            client.socket.write(b"\x01\x03\x00\x64\x00")  # a request cut short: no CRC
            time.sleep(0.05)
        start = time.monotonic()
        response = client.execute(request)
        print("%s: %s in %d ms" % (name, outcome(response), (time.monotonic() - start) * 1000), flush=True)
    client.close()


if __name__ == "__main__":
    main()
