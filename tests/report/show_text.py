"""What "gatewaycfg show" prints, read back: each "[node] name" section's items as
(label, value) pairs, in row order, without the "(read-only)" mark."""
import re


def show_sections(show):
    found, name = {}, None
    for line in show.splitlines():
        head = re.match(r"^\[(.+?)\]", line)
        if head:
            name = head.group(1)
            found[name] = []
        elif name and line.startswith("  ") and " = " in line:
            label, value = line[2:].split(" = ", 1)
            found[name].append((label, value.removesuffix("  (read-only)")))
    return found
