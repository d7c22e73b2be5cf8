"""The misbehaving server's %{WORD} escapes (tests/data/FORMAT.md): what a request asks for and
the server's options, and the bytes only code can make: chunked framing and filler fields."""

import re

import wire_case

SIZE_EXPRESSION = re.compile(r"(size|\d+)(?:([+/])(\d+))?")
FILLER = "X-Filler-%06d: " + "f" * 1000
FILLER_LINE = 1018  # what --head-bytes is counted in


class ReplyWords:
    def __init__(self, options, request):
        self.options = options
        self.request = request

    def __call__(self, word, argument):
        options = self.options
        if word in ("status", "body"):
            return getattr(options, word).encode()
        if word == "bytes":
            return str(options.bytes).encode()
        if word == "pause":
            return str(options.pause_ms).encode()
        if word == "fillers":
            count = max(1, options.head_bytes // FILLER_LINE)
            return "\r\n".join(FILLER % i for i in range(count)).encode()
        request = self.request
        if request is None:
            raise wire_case.CaseError("%%{%s} before any request" % word)
        if word == "size":
            return str(request.size).encode()
        if word == "content":
            return wire_case.ContentRange(request.content, 0, self.length(argument or "size"))
        if word == "chunks":
            return self.chunks(argument.split())
        raise wire_case.CaseError("no %%{%s} here" % word)

    def length(self, expression):
        """size, size/2, size+64 or a number."""
        match = SIZE_EXPRESSION.fullmatch(expression.replace(" ", ""))
        if match is None:
            raise wire_case.CaseError("not a length: " + expression)
        value = self.request.size if match.group(1) == "size" else int(match.group(1))
        if match.group(2) == "+":
            value += int(match.group(3))
        elif match.group(2) == "/":
            value //= int(match.group(3))
        return value

    def chunks(self, words):
        """The content as chunks of the sizes in turn, sizes in hex of either case in turn."""
        numbered = words[:1] == [";n"]
        sizes = [int(w) for w in (words[1:] if numbered else words)]
        pieces = []
        offset, size = 0, self.request.size
        index = 0
        while offset < size:
            length = min(sizes[index % len(sizes)], size - offset)
            size_text = b"%x" % length if index % 2 else b"%X" % length
            extension = b";n=%d" % index if numbered else b""
            pieces.append(size_text + extension + b"\r\n")
            pieces.append(wire_case.ContentRange(self.request.content, offset, length))
            pieces.append(b"\r\n")
            offset += length
            index += 1
        return pieces


def in_pieces(pieces, size):
    """The pieces regrouped into runs of size bytes each (the last may be shorter)."""
    runs, run, room = [], [], size
    for piece in pieces:
        at = 0
        while at < wire_case.piece_length(piece):
            take = min(room, wire_case.piece_length(piece) - at)
            if isinstance(piece, bytes):
                run.append(piece[at:at + take])
            else:
                run.append(wire_case.ContentRange(piece.content, piece.offset + at, take))
            at += take
            room -= take
            if room == 0:
                runs.append(run)
                run, room = [], size
    if run:
        runs.append(run)
    return runs
