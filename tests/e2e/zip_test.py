#!/usr/bin/env python3
"""Release test: unpacks the Windows zip, checks what it holds (the exe, its readme, the licence)
and what Windows will read from the exe (no symbol table, the version resource, the manifest, the
timer resolution imports), starts the unpacked mascot.exe under Wine, sees its window and tray
icon, and ends it cleanly with WM_CLOSE (exit code 0).

Usage: zip_test.py --zip mascot-VERSION-win64.zip --probe mascot-probe.exe --artifacts DIR
Needs DISPLAY (e.g. from tools/on-xvfb.sh) and WINEPREFIX (see tools/wine/prepare-prefix.sh).
"""

import os
import re
import shutil
import struct
import xml.etree.ElementTree as ElementTree
import zipfile

from desktop_kit.checks import Failure, parse_arguments, require, run_checks, wait_for
from desktop_kit.desktops import icon_centre
from desktop_kit.processes import require_exit, stop
from desktop_kit.program import LICENSE
from desktop_kit.screen import Screen, is_mascot_blue
from desktop_kit.wine import Probe, mascot_window, start_program, tray_window
from pe_file import RT_MANIFEST, RT_VERSION, PeFile

EXPECTED_FILES = {"mascot.exe", "README-windows.txt", "LICENSE.txt"}
ZIP_NAME = re.compile(r"mascot-(\d+\.\d+\.\d+)-win64\.zip$")
VS_FIXEDFILEINFO_SIGNATURE = struct.pack("<I", 0xFEEF04BD)
VFT_APP = 1
WINDOWS_10_AND_11 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"


def version_text(resource, name):
    """The value of one string of a version resource (UTF-16 key, padding, value)."""
    text = resource.decode("utf-16-le", errors="replace")
    match = re.search(name + "\0+([^\0]*)\0", text)
    return match.group(1) if match else None


def check_fixed_version(resource, version):
    """The numbers Explorer shows (file and product version) are the zip's, and it is an app."""
    at = resource.find(VS_FIXEDFILEINFO_SIGNATURE)
    require(at >= 0, "no fixed file information in the version resource")
    fields = struct.unpack_from("<13I", resource, at)
    major, minor, patch = (int(part) for part in version.split("."))
    numbers = ((major << 16) | minor, patch << 16)
    require(fields[2:4] == numbers, f"file version {fields[2:4]}, the zip says {version}")
    require(fields[4:6] == numbers, f"product version {fields[4:6]}, the zip says {version}")
    require(fields[9] == VFT_APP, f"file type {fields[9]}, not an application")


def check_manifest(manifest):
    """The manifest must parse, ask for no elevation, name Windows 10/11, and be DPI unaware."""
    try:
        root = ElementTree.fromstring(manifest)
    except ElementTree.ParseError as error:
        raise Failure(f"the manifest is not well-formed XML: {error}")
    require(root.tag == f"{ASM_V1}assembly", f"manifest root {root.tag}")
    level = root.find(f".//{ASM_V3}requestedExecutionLevel")
    require(level is not None and level.get("level") == "asInvoker", "not asInvoker")
    systems = {os_.get("Id") for os_ in root.iter(f"{COMPATIBILITY}supportedOS")}
    require(WINDOWS_10_AND_11 in systems, f"supportedOS {systems}")
    aware = root.find(f".//{SETTINGS_2005}dpiAware")
    awareness = root.find(f".//{SETTINGS_2016}dpiAwareness")
    require(aware is not None and aware.text == "false", "dpiAware is not false")
    require(awareness is not None and awareness.text == "unaware", "dpiAwareness is not unaware")


class ReleaseRun:
    def __init__(self, args):
        self.zip = args.zip
        self.probe = Probe(args.probe)
        self.folder = os.path.join(args.artifacts, "unpacked")
        self.process = None

    def unpack(self):
        shutil.rmtree(self.folder, ignore_errors=True)
        with zipfile.ZipFile(self.zip) as archive:
            require(archive.testzip() is None, "a damaged member in the zip")
            names = set(archive.namelist())
            require(names == EXPECTED_FILES, f"zip holds {sorted(names)}")
            archive.extractall(self.folder)
        with open(os.path.join(self.folder, "README-windows.txt"), encoding="utf-8") as readme:
            text = readme.read()
        require("mascot.exe" in text and "Zunpelを終了する" in text,
                "the readme does not say how to start and end the program")
        require("SmartScreen" in text and "Run anyway" in text,
                "the readme does not say what SmartScreen shows at the first start")
        require("overflow area" in text, "the readme does not say where Windows 11 puts the icon")
        with open(os.path.join(self.folder, "LICENSE.txt"), encoding="utf-8") as shipped, \
                open(LICENSE, encoding="utf-8") as source:
            require(shipped.read() == source.read(), "LICENSE.txt in the zip is not LICENSE")
        with open(os.path.join(self.folder, "mascot.exe"), "rb") as exe:
            require(exe.read(2) == b"MZ", "mascot.exe is not a Windows executable")

    def exe_for_windows(self):
        named = ZIP_NAME.search(os.path.basename(self.zip))
        require(named is not None, f"unexpected zip name {self.zip}")
        exe = PeFile(os.path.join(self.folder, "mascot.exe"))
        require(not exe.has_symbol_table(), "mascot.exe still has its symbol table (not stripped)")
        debug = [name for name, *_ in exe.sections if name.startswith(".debug")]
        require(not debug, f"mascot.exe holds debug sections {debug}")
        winmm = exe.imports().get("winmm.dll", set())
        require({"timeBeginPeriod", "timeEndPeriod"} <= winmm, f"imports from winmm: {winmm}")
        version = exe.resource(RT_VERSION, 1)
        require(version is not None, "no version resource")
        for name in ("FileVersion", "ProductVersion"):
            found = version_text(version, name)
            require(found == named.group(1), f"{name} {found}, the zip says {named.group(1)}")
        texts = {"ProductName": "Zunpel", "FileDescription": "Zunpel desktop mascot",
                 "OriginalFilename": "mascot.exe"}
        for name, expected in texts.items():
            found = version_text(version, name)
            require(found == expected, f"{name} {found!r}, not {expected!r}")
        check_fixed_version(version, named.group(1))
        manifest = exe.resource(RT_MANIFEST, 1)
        require(manifest is not None, "no application manifest")
        check_manifest(manifest)

    def starts(self):
        self.process = start_program(os.path.join(self.folder, "mascot.exe"), cwd=self.folder)
        _, (x, y, width, height) = wait_for("the mascot window", mascot_window, 60)
        centre = (x + width // 2, y + height // 2)
        wait_for("the blue disc", lambda: is_mascot_blue(Screen().pixel(*centre)), 10)
        box = wait_for("Wine's system tray window", tray_window, 30)
        wait_for("the tray icon", lambda: icon_centre(box), 10)

    def closes(self):
        self.probe.command("close")
        require_exit(self.process, "WM_CLOSE")
        wait_for("the tray icon to go", lambda: icon_centre(tray_window()) is None, 10)

    def cleanup(self):
        stop(self.process)


def main():
    args = parse_arguments(__doc__, "zip", "probe", "artifacts")
    release = ReleaseRun(args)
    run_checks(args.artifacts, [
        ("the zip holds mascot.exe, README-windows.txt and LICENSE.txt", release.unpack),
        ("its exe is stripped, has version and manifest, imports timeBeginPeriod",
         release.exe_for_windows),
        ("the unpacked mascot.exe shows its window and tray icon", release.starts),
        ("WM_CLOSE ends it with exit code 0 and removes the icon", release.closes),
    ], release.cleanup)


if __name__ == "__main__":
    main()
