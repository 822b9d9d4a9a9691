"""The project's own definitions as its headers give them: the #defines of a plain C header and
the simple `constexpr TYPE NAME = VALUE;` lines of a C++ one, read so that each fact stays
written once."""

import os
import re

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
DEFINE = re.compile(r'^#define\s+(\w+)\s+("[^"]*"|\d+)', re.M)
CONSTEXPR = re.compile(r'^constexpr\s+[\w ]+?\s+(\w+)\s*=\s*([-\d.]+)\s*;', re.M)


def _read(header):
    with open(os.path.join(ROOT, header), encoding="utf-8") as source:
        return source.read()


def _value(text):
    if text.startswith('"'):
        return text[1:-1]
    return float(text) if "." in text else int(text)


def defines(header):
    """{name: text or int} of the #defines of the header (a path from the checkout's root)."""
    return {name: _value(value) for name, value in DEFINE.findall(_read(header))}


def constants(header):
    """{name: int or float} of the header's top-level numeric constexpr lines."""
    return {name: _value(value) for name, value in CONSTEXPR.findall(_read(header))}
