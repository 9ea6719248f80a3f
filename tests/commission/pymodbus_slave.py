#!/usr/bin/python3
"""A Modbus RTU slave served by pymodbus on one end of a socat pseudo-terminal pair.

Takes the table options of modbus-slave-sim (--address, --coils/--inputs/--holding/
--input-registers START=V,V,..., --slow MS), prints the path of the pair's other end once it answers,
and stops on SIGTERM or after --lifetime seconds.
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

TABLES = ("coils", "inputs", "holding", "input_registers")


def parse_block(text):
    start, _, values = text.partition("=")
    return {int(start, 0) + i: int(v, 0) for i, v in enumerate(values.split(","))}


def table(blocks, registers):
    values = {}
    for block in blocks or []:
        values.update(parse_block(block))
    if not values:  # as modbus-slave-sim: addresses 0-99
        values = {a: (a if registers else a & 1) for a in range(100)}
    return ModbusSparseDataBlock(values)


async def serve(args, port):
    store = ModbusSlaveContext(co=table(args.coils, False), di=table(args.inputs, False),
                               hr=table(args.holding, True), ir=table(args.input_registers, True),
                               zero_mode=True)
    context = ModbusServerContext(slaves={args.address: store}, single=False)
    def slow(response):  # blocks the loop, as a slow device keeps its line waiting
        time.sleep(args.slow / 1000)
        return response, False

    server = ModbusSerialServer(context, framer=ModbusRtuFramer, port=port, baudrate=19200,
                                ignore_missing_slaves=True, response_manipulator=slow if args.slow else None)
    await server.start()
    stop = asyncio.Event()
    loop = asyncio.get_running_loop()
    loop.add_signal_handler(signal.SIGTERM, stop.set)
    loop.add_signal_handler(signal.SIGINT, stop.set)
    print(args.tool_end, flush=True)
    try:
        await asyncio.wait_for(stop.wait(), args.lifetime)
    except asyncio.TimeoutError:
        pass
    await server.shutdown()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--address", type=int, default=1)
    for name in TABLES:
        parser.add_argument("--" + name.replace("_", "-"), dest=name, action="append")
    parser.add_argument("--slow", type=int, default=0, help="wait MS milliseconds before each answer")
    parser.add_argument("--lifetime", type=float, default=120)
    args = parser.parse_args()

    scratch = tempfile.mkdtemp(prefix="pymodbus-slave-")
    slave_end, args.tool_end = os.path.join(scratch, "slave"), os.path.join(scratch, "tool")
    socat = subprocess.Popen(["socat", f"pty,raw,echo=0,link={slave_end}",
                              f"pty,raw,echo=0,link={args.tool_end}"])
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
