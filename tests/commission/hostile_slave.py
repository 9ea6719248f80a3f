#!/usr/bin/python3
"""A Modbus RTU slave (address 1) on a raw pseudo-terminal that misbehaves as field devices do.

Prints the terminal's path, then answers request n by the n-th behaviour of --script (a comma
list; "ok" once the list is used up), until SIGTERM or --lifetime seconds. Registers hold their
address, coils and inputs its lowest bit. Behaviours, with milliseconds after a colon:
  ok[:MS]        the reply (after MS)          late:MS      the reply after MS, meanwhile serving on
  split:MS       the reply in two parts, MS apart
  short          the reply without its last three bytes
  echo           the request sent back, then the reply
  wrong-address  a whole reply from slave 2    wrong-function  a whole reply with function + 1
  wrong-count    a read reply one register short
  bad-crc        the reply with its CRC broken
  garbage        seven bytes that are no frame
  silent         no reply
"""
import argparse
import os
import select
import signal
import sys
import time
import tty


def crc16(data):
    crc = 0xFFFF
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return bytes([crc & 0xFF, crc >> 8])


def framed(body):
    return body + crc16(body)


def request_length(buf):
    if len(buf) < 2:
        return 0
    if buf[1] in (15, 16):
        return 9 + buf[6] if len(buf) > 6 else 0
    return 8


def reply_body(req, slave=None, function=None, short_registers=0):
    slave = req[0] if slave is None else slave
    function = req[1] if function is None else function
    start, count = int.from_bytes(req[2:4], "big"), int.from_bytes(req[4:6], "big")
    if req[1] in (1, 2):
        data = bytearray((count + 7) // 8)
        for i in range(count):
            data[i // 8] |= ((start + i) & 1) << (i % 8)
        return bytes([slave, function, len(data)]) + bytes(data)
    if req[1] in (3, 4):
        count -= short_registers
        data = b"".join(((start + i) & 0xFFFF).to_bytes(2, "big") for i in range(count))
        return bytes([slave, function, len(data)]) + data
    return bytes([slave, function]) + req[2:6]


def plan(behaviour, req):
    """The (delay in ms, bytes) sends for one request."""
    name, _, ms = behaviour.partition(":")
    ms = float(ms or 0)
    reply = framed(reply_body(req))
    if name in ("ok", "late"):
        return [(ms, reply)]
    if name == "split":
        return [(0, reply[:5]), (ms, reply[5:])]
    if name == "short":
        return [(0, reply[:-3])]
    if name == "echo":
        return [(0, req), (5, reply)]
    if name == "wrong-address":
        return [(0, framed(reply_body(req, slave=req[0] + 1)))]
    if name == "wrong-function":
        return [(0, framed(reply_body(req, function=req[1] + 1)))]
    if name == "wrong-count":
        return [(0, framed(reply_body(req, short_registers=1)))]
    if name == "bad-crc":
        return [(0, reply[:-1] + bytes([reply[-1] ^ 0xFF]))]
    if name == "garbage":
        return [(0, bytes([0x55, 0xAA, 0x13, 0x37, 0x00, 0xFF, 0x42]))]
    if name == "silent":
        return []
    sys.exit("unknown behaviour " + behaviour)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--script", default="")
    parser.add_argument("--lifetime", type=float, default=60)
    args = parser.parse_args()
    script = [b for b in args.script.split(",") if b]

    master, slave = os.openpty()
    tty.setraw(slave)
    print(os.ttyname(slave), flush=True)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))

    pending = bytearray()
    sends = []  # (when, bytes), kept in time order
    served = 0
    end = time.monotonic() + args.lifetime
    while time.monotonic() < end:
        now = time.monotonic()
        while sends and sends[0][0] <= now:
            os.write(master, sends.pop(0)[1])
        wait = min([s[0] for s in sends] + [now + 0.2]) - now
        if not select.select([master], [], [], max(wait, 0))[0]:
            continue
        pending += os.read(master, 512)
        while request_length(pending) and len(pending) >= request_length(pending):
            length = request_length(pending)
            req, pending = bytes(pending[:length]), pending[length:]
            behaviour = script[served] if served < len(script) else "ok"
            served += 1
            arrived = time.monotonic()
            sends += [(arrived + ms / 1000, data) for ms, data in plan(behaviour, req)]
            sends.sort(key=lambda s: s[0])


if __name__ == "__main__":
    main()
