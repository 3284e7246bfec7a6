# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers

"""The run-file rules shared by the baseline scripts, written plainly in Python for comparison of
speed only: lines end at CR LF, a lone CR or a lone LF; the first two characters are the line code;
each paired line takes the current kilometre line; numbers are separated by commas and blanks."""

import re

_SEPARATORS = re.compile(rb"[ ,\t]+")


def lines_of(data):
    return data.replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n")


def pairs_of(data, code):
    """(header line, section line, [(kilometre line, paired line), ...])"""
    header = section = km = b""
    pairs = []
    for line in lines_of(data):
        prefix = line[:2]
        if prefix == b"95":
            header = line
        elif prefix == b"91":
            section = line
        elif prefix == b"60":
            km = line
        elif prefix == code:
            pairs.append((km, line))
    return header, section, pairs


def numbers_of(text):
    values = [int(token) for token in _SEPARATORS.split(text) if token]
    for value in values:
        if value < -32768 or value > 32767:
            raise ValueError("a number outside 16 bits")
    return values


def records_of(pairs, width):
    """The numbers of all pairs as one stream, `width` to a record."""
    stream = []
    for km, line in pairs:
        stream.extend(numbers_of(km))
        stream.extend(numbers_of(line))
    if width == 0 or len(stream) % width:
        raise ValueError("the numbers end inside a record")
    return [stream[i : i + width] for i in range(0, len(stream), width)]


def plain_int(value):
    return str(value)


def pattern_zeros(value, digits):
    """The number patterns "0000" and "00": at least `digits` digits, a leading minus when negative."""
    return ("-" if value < 0 else "") + str(abs(value)).zfill(digits)


def join_zones(items):
    """Items in print zones of 14 characters, each but the last padded to the next zone."""
    text = ""
    for item in items[:-1]:
        text += item
        text += " " * (14 - len(text) % 14)
    return text + items[-1]
