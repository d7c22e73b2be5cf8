"""The deterministic content of served files, the same as DeterministicBytes in tests/support.

Byte i of the content for a key (the file name's bytes) is P[i % 4096] ^ K(i // 4096)[i % 8]:
P is a 4096-byte pattern of splitmix64 words seeded by the FNV-1a hash of the key, K(b) a
splitmix64 word per block, little-endian. Every offset is distinct within a block and every block
is distinct from the others, so a shifted, repeated or dropped range never compares equal.
"""

MASK = (1 << 64) - 1
BLOCK = 4096
WORDS = BLOCK // 8


def fnv1a64(data):
    value = 0xCBF29CE484222325
    for byte in data:
        value = ((value ^ byte) * 0x100000001B3) & MASK
    return value


def splitmix64(x):
    z = (x + 0x9E3779B97F4A7C15) & MASK
    z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & MASK
    z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & MASK
    return z ^ (z >> 31)


class Content:
    def __init__(self, key):
        self.seed = fnv1a64(key)
        words = (splitmix64((self.seed + m) & MASK) for m in range(WORDS))
        self.pattern = int.from_bytes(b"".join(w.to_bytes(8, "little") for w in words), "little")

    def block(self, index):
        key = splitmix64((self.seed + WORDS + index) & MASK).to_bytes(8, "little") * WORDS
        return (self.pattern ^ int.from_bytes(key, "little")).to_bytes(BLOCK, "little")

    def bytes(self, offset, length):
        """length bytes from offset."""
        pieces = []
        end = offset + length
        while offset < end:
            index, start = divmod(offset, BLOCK)
            piece = self.block(index)[start : min(BLOCK, start + end - offset)]
            pieces.append(piece)
            offset += len(piece)
        return b"".join(pieces)
