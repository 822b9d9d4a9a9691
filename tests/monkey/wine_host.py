"""The Windows program under Wine: mascot.exe started with `wine`, and mascot-probe.exe in serve
mode inside the same Wine (tests/desktop_kit/wine.py), which posts its commands, counts its
objects and reads its z-order.

Needs DISPLAY, a WINEPREFIX prepared by tools/wine/prepare-prefix.sh, and that prefix's
wineserver running (tools/ci/monkey.sh sees to all three).
"""

import re

from desktop_kit.checks import Failure, run
from host_base import Figure, Host
from desktop_kit.wine import ProbeServer

TRAY_ICON_ID = 1
Z_ORDER_SYMBOL = "g_zOrder"
NM = "x86_64-w64-mingw32-nm"
OBJDUMP = "x86_64-w64-mingw32-objdump"

# Tolerances of the counts (docs/monkey.md gives the measured spread they rest on). Wine keeps a
# cache of device contexts that grows when more are in use at once (menus painting while the
# mascot moves): each cached one is three objects (types 1, 4 and 5 below). Up to two more than
# after the warm-up were seen; three are allowed.
GDI_TOLERANCE = 9
USER_TOLERANCE = 2
RESIDENT_TOLERANCE_KIB = 1024


def image_base(exe):
    """The preferred load address that the executable's headers give."""
    match = re.search(r"^ImageBase\s+([0-9a-fA-F]+)$", run([OBJDUMP, "-p", exe]), re.M)
    if match is None:
        raise Failure(f"no ImageBase in the headers of {exe}")
    return int(match[1], 16)


def symbol_rva(exe, symbol):
    """Offset of a global from the image's base, from the executable's symbol table."""
    for line in run([NM, exe]).splitlines():
        fields = line.split()
        if len(fields) == 3 and fields[2] == symbol:
            return int(fields[0], 16) - image_base(exe)
    raise Failure(f"no symbol {symbol} in {exe}: a stripped build cannot show its z-order state")


class WineHost(Host):
    name = "wine"
    has_shell = True
    resident_tolerance_kib = RESIDENT_TOLERANCE_KIB

    def __init__(self, options):
        super().__init__(options)
        self.exe = options.exe
        self.z_order_rva = symbol_rva(options.exe, Z_ORDER_SYMBOL)
        self.probe = ProbeServer(options.probe)

    def command(self):
        return ["wine", self.exe]

    def post_commands(self, ids, codes, span_s):
        wparams = " ".join(str(code << 16 | command) for command, code in zip(ids, codes))
        answer = self.probe.ask(f"burst {round(span_s * 1000)} {wparams}")
        if answer != f"posted {len(ids)}":
            raise Failure(f"the burst was not posted whole: {answer}")

    def figures(self):
        answer = self.probe.ask("objects")
        match = re.fullmatch(r"gdi (\d+) (user|user-free) (\d+)", answer)
        if match is None:
            raise Failure(f"unexpected object counts: {answer}")
        gdi, scope, user = int(match[1]), match[2], int(match[3])
        if scope == "user":  # Windows: both counts are the program's own
            return [Figure("GDI objects", gdi, GDI_TOLERANCE),
                    Figure("USER objects", user, USER_TOLERANCE)]
        return [Figure("GDI objects of mascot.exe", gdi, GDI_TOLERANCE),
                Figure("free USER slots of the wineserver", user, USER_TOLERANCE)]

    def object_details(self):
        """The GDI objects by type, where Wine's table can be read (TYPE:COUNT with Wine's type
        byte: 1 DC, 4 region, 5 surface, 8 palette, 9 bitmap, 10 font, 16 brush or pen)."""
        try:
            return self.probe.ask("gdi-types")
        except Failure:
            return ""

    def z_order_sample(self):
        answer = self.probe.ask(f"zorder {self.z_order_rva}")
        match = re.fullmatch(r"zorder (-?\d+) topmost ([01]) zorder-after (-?\d+) ticks (\d)",
                             answer)
        if match is None:
            raise Failure(f"unexpected z-order answer: {answer}")
        if int(match[4]) < 2:
            return None  # too few ticks to have placed the window: the tick check tells why
        return int(match[1]), int(match[2]), int(match[3])

    def drop_tray_icon(self):
        self.probe.ask(f"drop-icon {TRAY_ICON_ID}")

    def announce_shell(self):
        self.probe.ask("taskbar-created")

    def close(self):
        self.probe.close()
