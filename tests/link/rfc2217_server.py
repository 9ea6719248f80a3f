#!/usr/bin/python3
"""An RFC 2217 server written by others than us: pyserial's PortManager in front of a serial
device, one client at a time. Prints the TCP port it listens on, then serves until SIGTERM.

--refuse NAME keeps the device from taking another value of that setting (baudrate, bytesize,
parity or stopbits) than it has at start (--baud): the server answers with the value the device
keeps, as a port that cannot do it.
"""
import argparse
import select
import signal
import socket
import sys

import serial
import serial.rfc2217


class Refusing:
    """The device, except that setting the refused attribute fails as unsupported values do.
    A pseudo-terminal has no modem lines: they read as a null-modem cable's."""

    cts = dsr = True
    ri = cd = False

    def __init__(self, port, refused):
        object.__setattr__(self, "_port", port)
        object.__setattr__(self, "_refused", refused)

    def __getattr__(self, name):
        return getattr(self._port, name)

    def __setattr__(self, name, value):
        if name in self._refused and value != getattr(self._port, name):
            raise ValueError("this port cannot take {} {}".format(name, value))
        setattr(self._port, name, value)


class Connection:
    """The client's socket as PortManager writes to it."""

    def __init__(self, client):
        self.client = client

    def write(self, data):
        self.client.sendall(data)


def serve(listener, device, refused):
    client, _ = listener.accept()
    client.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    manager = serial.rfc2217.PortManager(Refusing(device, refused), Connection(client))
    try:
        while True:
            ready, _, _ = select.select([client, device.fileno()], [], [], 1.0)
            if client in ready:
                data = client.recv(4096)
                if not data:
                    break
                device.write(b"".join(manager.filter(data)))
            if device.fileno() in ready:
                data = device.read(device.in_waiting or 1)
                if data:
                    client.sendall(b"".join(manager.escape(data)))
    finally:
        client.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("device")
    parser.add_argument("--refuse", action="append", default=[])
    parser.add_argument("--address", default="127.0.0.1")
    parser.add_argument("--baud", type=int, default=19200, help="the device's speed at start")
    args = parser.parse_args()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    device = serial.Serial(args.device, args.baud, timeout=0)
    family = socket.AF_INET6 if ":" in args.address else socket.AF_INET
    listener = socket.socket(family, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((args.address, 0))
    listener.listen(1)
    print(listener.getsockname()[1], flush=True)
    while True:
        try:
            serve(listener, device, set(args.refuse))
        except OSError as error:
            print("client lost: {}".format(error), file=sys.stderr, flush=True)


if __name__ == "__main__":
    main()
