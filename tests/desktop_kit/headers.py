"""The project's own definitions as its headers give them: the #defines of a plain C header and
the simple `constexpr TYPE NAME = VALUE;` lines of a C++ one, so that each fact stays written
once."""

import os
import re

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
DEFINE = re.compile(r'^#define\s+(\w+)\s+("[^"]*"|\d+)', re.M)
CONSTEXPR = re.compile(r'^constexpr\s+[\w ]+?\s+(\w+)\s*=\s*([-\d.]+)\s*;', re.M)


def _read(pattern, header):
    """{name: text, int or float} of the pattern's matches in the header (a path from the
    checkout's root)."""
    with open(os.path.join(ROOT, header), encoding="utf-8") as source:
        found = pattern.findall(source.read())
    return {name: value[1:-1] if value.startswith('"') else float(value) if "." in value
            else int(value) for name, value in found}


def defines(header):
    return _read(DEFINE, header)


def constants(header):
    """The header's top-level numeric constexpr lines."""
    return _read(CONSTEXPR, header)
