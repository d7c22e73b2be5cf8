"""The wire case files of tests/data, as tests/data/FORMAT.md describes them.

What a server needs of them: the sections, the steps of a reply, and the bytes its lines stand
for. Bytes come as pieces, either bytes or a Content range that is read only as it is sent, so a
reply may stream more than fits in memory.
"""

import pathlib

import deterministic

DATA_DIR = pathlib.Path(__file__).resolve().parents[2] / "data"
SECTION_START = "=== "
MARKER_START = "--- "
HEAD_END = b"\r\n\r\n"


class CaseError(Exception):
    pass


class Section:
    def __init__(self, source, number, words):
        self.source = source
        self.number = number
        self.kind = words[0]
        self.arguments = words[1:]
        self.lines = []  # (text, line number)

    def fail(self, number, what):
        raise CaseError("%s:%d: %s" % (self.source, number, what))


class Step:
    def __init__(self, word, options, number):
        self.word = word
        self.options = options
        self.number = number
        self.lines = []


class ContentRange:
    """length bytes of a file's deterministic content from offset, made as they are sent."""

    BLOCK = 1 << 16

    def __init__(self, content, offset, length):
        self.content = content
        self.offset = offset
        self.length = length

    def blocks(self):
        for start in range(self.offset, self.offset + self.length, self.BLOCK):
            yield self.content.bytes(start, min(self.BLOCK, self.offset + self.length - start))


class Length:
    """Where %{length} goes once the whole section is known."""


def read_sections(path):
    return parse_sections(pathlib.Path(path).read_text(encoding="utf-8"), pathlib.Path(path).name)


def parse_sections(text, source):
    sections = []
    for number, line in enumerate(text.split("\n"), 1):
        if line.endswith("\r"):
            raise CaseError("%s:%d: a CR LF line end (LF only)" % (source, number))
        if line.startswith(SECTION_START):
            words = line[len(SECTION_START):].split()
            if not words:
                raise CaseError("%s:%d: no kind" % (source, number))
            sections.append(Section(source, number, words))
        elif sections:
            sections[-1].lines.append((line, number))
        elif line:
            raise CaseError("%s:%d: text before the first ===" % (source, number))
    # The file's last line end makes no line of its own.
    if sections and sections[-1].lines and sections[-1].lines[-1][0] == "":
        sections[-1].lines.pop()
    return sections


def split_steps(section, first_word):
    steps = [Step(first_word, [], section.number)]
    for text, number in section.lines:
        if text.startswith(MARKER_START):
            words = text[len(MARKER_START):].split()
            if not words:
                section.fail(number, "a marker without a word")
            steps.append(Step(words[0], words[1:], number))
        else:
            steps[-1].lines.append((text, number))
    if len(steps) > 1 and not steps[0].lines:
        steps.pop(0)
    return steps


def piece_length(piece):
    return len(piece) if isinstance(piece, bytes) else piece.length


def render_text(text, words, length_allowed=False):
    """The pieces of one line's text, escapes done, without its line end."""
    pieces = []
    at = 0
    while at < len(text):
        escape = text.find("%", at)
        if escape < 0 or escape + 1 == len(text):
            pieces.append(text[at:].encode())
            break
        pieces.append(text[at:escape].encode())
        opener = text[escape + 1]
        if opener == "[":
            close = text.find("]", escape)
            if close < 0:
                raise CaseError("%[ without ]")
            pieces.append(bytes.fromhex(text[escape + 2:close]))
            at = close + 1
        elif opener == "{":
            depth, close = 1, escape + 2
            while close < len(text) and depth:
                depth += {"{": 1, "}": -1}.get(text[close], 0)
                close += 1
            if depth:
                raise CaseError("%{ without }")
            word, _, argument = text[escape + 2:close - 1].partition(" ")
            if word == "length":
                if not length_allowed:
                    raise CaseError("%{length} outside a data section")
                pieces.append(Length())
            elif word == "repeat":
                count, _, once = argument.partition(" ")
                pieces.append(render_bytes(once, words) * int(count))
            else:
                result = words(word, render_bytes(argument, words).decode("utf-8", "replace"))
                pieces.extend(result if isinstance(result, list) else [result])
            at = close
        else:
            pieces.append(b"%")
            at = escape + 1
    return [piece for piece in pieces if isinstance(piece, Length) or piece_length(piece)]


def render_bytes(text, words):
    """A text with escapes whose pieces are all bytes (marker options, repeated text)."""
    pieces = render_text(text, words)
    if not all(isinstance(piece, bytes) for piece in pieces):
        raise CaseError("content where plain bytes are wanted: " + text)
    return b"".join(pieces)


def render_steps(section, steps, words):
    """Each step's pieces; %{length} counts the bytes after the first empty line of them all."""
    rendered = []
    for step in steps:
        pieces = []
        for text, number in step.lines:
            if text.endswith((" ", "\t")):
                section.fail(number, "a line ending in white space: write it as %[20] or %[09]")
            joined = text.endswith("\\")
            try:
                pieces.extend(render_text(text[:-1] if joined else text, words, True))
            except CaseError as error:
                section.fail(number, str(error))
            if not joined:
                pieces.append(b"\r\n")
        rendered.append(pieces)
    # The head is bytes; the body's length counts ranges without making them.
    head, total, body_start = b"", 0, None
    for pieces in rendered:
        for piece in pieces:
            if isinstance(piece, Length):
                continue
            if body_start is None and isinstance(piece, bytes):
                head += piece
                end = head.find(HEAD_END)
                if end >= 0:
                    body_start = end + len(HEAD_END)
            total += piece_length(piece)
    length = str(total - (body_start if body_start is not None else total)).encode()
    return [[length if isinstance(piece, Length) else piece for piece in pieces]
            for pieces in rendered]


def content_of(key):
    return deterministic.Content(key)
