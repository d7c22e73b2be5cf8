"""Copies a Windows binary with other numbers in its version resource's fixed part:
with_version.py IN OUT a.b.c.d. The install tests make older and newer builds of the control
with it; the string block keeps its text."""
import struct
import sys

source, target, version = sys.argv[1:4]
major, minor, patch, build = (int(n) for n in version.split("."))
data = bytearray(open(source, "rb").read())
# VS_FIXEDFILEINFO: signature, structure version, file version (MS, LS), product version.
at = data.find(struct.pack("<I", 0xFEEF04BD))
if at < 0:
    sys.exit(f"{source}: no version resource")
numbers = struct.pack("<II", major << 16 | minor, patch << 16 | build)
data[at + 8:at + 16] = numbers
data[at + 16:at + 24] = numbers
open(target, "wb").write(data)
