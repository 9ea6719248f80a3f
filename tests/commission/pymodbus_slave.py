#!/usr/bin/python3
"""A Modbus RTU slave served by pymodbus on one end of a socat pseudo-terminal pair.

Takes the table options of modbus-slave-sim (--address, --coils/--inputs/--holding/--input-registers
START=V,V,..., --slow MS), prints the path of the pair's other end once it answers, and stops on
SIGTERM or after --lifetime seconds.
"""
import argparse
import asyncio
import os
import signal
import subprocess
import sys
import tempfile
import time

from pymodbus.datastore import ModbusServerContext, ModbusSlaveContext, ModbusSparseDataBlock
from pymodbus.server.async_io import ModbusSerialServer
from pymodbus.transaction import ModbusRtuFramer


def table(blocks, registers):
    values = {}
    for block in blocks or []:
        start, _, numbers = block.partition("=")
        values.update({int(start, 0) + i: int(v, 0) for i, v in enumerate(numbers.split(","))})
    # as modbus-slave-sim: a table given no values holds addresses 0-99
    return ModbusSparseDataBlock(values or {a: (a if registers else a & 1) for a in range(100)})


async def serve(args, port):
    store = ModbusSlaveContext(co=table(args.coils, False), di=table(args.inputs, False),
                               hr=table(args.holding, True), ir=table(args.input_registers, True), zero_mode=True)

    def slow(response):  # blocks the loop, as a slow device keeps its line waiting
        time.sleep(args.slow / 1000)
        return response, False

    server = ModbusSerialServer(ModbusServerContext(slaves={args.address: store}, single=False), framer=ModbusRtuFramer,
                                port=port, baudrate=19200, ignore_missing_slaves=True,
                                response_manipulator=slow if args.slow else None)
    await server.start()
    stop = asyncio.Event()
    for sig in (signal.SIGTERM, signal.SIGINT):
        asyncio.get_running_loop().add_signal_handler(sig, stop.set)
    print(args.tool_end, flush=True)
    try:
        await asyncio.wait_for(stop.wait(), args.lifetime)
    except asyncio.TimeoutError:
        pass
    await server.shutdown()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--address", type=int, default=1)
    for name in ("coils", "inputs", "holding", "input_registers"):
        parser.add_argument("--" + name.replace("_", "-"), dest=name, action="append")
    parser.add_argument("--slow", type=int, default=0, help="wait MS milliseconds before each answer")
    parser.add_argument("--lifetime", type=float, default=120)
    args = parser.parse_args()

    scratch = tempfile.mkdtemp(prefix="pymodbus-slave-")
    slave_end, args.tool_end = os.path.join(scratch, "slave"), os.path.join(scratch, "tool")
    socat = subprocess.Popen(["socat", f"pty,raw,echo=0,link={slave_end}", f"pty,raw,echo=0,link={args.tool_end}"])
    try:
        deadline = time.monotonic() + 10
        while not (os.path.exists(slave_end) and os.path.exists(args.tool_end)):
            if time.monotonic() > deadline or socat.poll() is not None:
                sys.exit("socat did not make the pseudo-terminal pair")
            time.sleep(0.02)
        asyncio.run(serve(args, slave_end))
    finally:
        socat.terminate()
        socat.wait()
        for path in (slave_end, args.tool_end):
            if os.path.lexists(path):
                os.unlink(path)
        os.rmdir(scratch)


if __name__ == "__main__":
    main()
