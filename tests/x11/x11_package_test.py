#!/usr/bin/env python3
"""The Debian package of the X11 program: its contents and dependencies, the GNOME Shell
extension in the form the installed shell loads, its manual page, copyright
file and AppStream metadata against the binary's --help, LICENSE and the .desktop entry, and the
packaged binary started from an unpacked copy on an Xvfb of its own, ended by its exit command.

Usage: x11_package_test.py --deb mascot_VERSION_amd64.deb
"""

import argparse
import glob
import gzip
import json
import os
import re
import shutil
import tempfile
import xml.etree.ElementTree as ElementTree

from desktop_kit.checks import require, run, run_checks, wait_for
from desktop_kit.gnome_shell import UUID
from desktop_kit.processes import require_exit, start, start_xvfb, stop
from desktop_kit.program import COMMANDS, LICENSE, send_command
from desktop_kit.xdo import windows_of

FILES = ("./usr/bin/mascot", "./usr/share/applications/mascot.desktop",
         "./usr/share/icons/hicolor/32x32/apps/mascot.png", "./usr/share/man/man1/mascot.1.gz",
         "./usr/share/doc/mascot/copyright", "./usr/share/doc/mascot/changelog.gz",
         f"./usr/share/gnome-shell/extensions/{UUID}/extension.js")
EXTENSION_METADATA = f"usr/share/gnome-shell/extensions/{UUID}/metadata.json"
DEPENDS = ("fonts-vlgothic", "libqt6widgets6", "libxcb-shape0", "libxcb1")
EXIT = COMMANDS["IDM_EXIT"]


class PackageTest:
    def __init__(self, deb):
        self.deb = deb
        self.unpacked = tempfile.mkdtemp(prefix="mascot-deb-")
        self.exe = os.path.join(self.unpacked, "usr", "bin", "mascot")
        self.server = None
        self.process = None

    def check_contents(self):
        listing = run(["dpkg-deb", "-c", self.deb])
        paths = {line.split()[-1] for line in listing.splitlines()}
        missing = [path for path in FILES if path not in paths]
        require(not missing, f"missing {missing}")
        depends = run(["dpkg-deb", "-f", self.deb, "Depends"])
        absent = [name for name in DEPENDS if name not in depends]
        require(not absent, f"Depends lacks {absent}: {depends.strip()}")

    def unpacked_text(self, path):
        opener = gzip.open if path.endswith(".gz") else open
        with opener(os.path.join(self.unpacked, path), "rt", encoding="utf-8") as file:
            return file.read()

    def check_man_page(self):
        run(["dpkg-deb", "-x", self.deb, self.unpacked])
        help_text = run([self.exe, "--help"])
        require("--command ID" in help_text, "no help from the packaged binary")
        page = self.unpacked_text("usr/share/man/man1/mascot.1.gz")
        lines = set(re.sub(r"\\f[BIR]", "", page).replace("\\-", "-").splitlines())
        for line in help_text.splitlines()[1:]:
            heading = re.fullmatch(r"(\S.*):", line)
            entry = re.fullmatch(r"  (\S+(?: \S+)*)  +(.*)", line)
            if heading:
                wanted = [".SH " + heading.group(1).upper()]
            elif entry:
                wanted = list(entry.groups())
            else:
                wanted = [line.strip()] if line else []
            absent = [text for text in wanted if text not in lines]
            require(not absent, f"the manual page lacks {absent} of --help")

    def check_copyright_and_metadata(self):
        with open(LICENSE, encoding="utf-8") as file:
            license_text = file.read()
        holder = re.search(r"Copyright \(c\) (.+)", license_text).group(1)
        terms = license_text[license_text.index("Permission is hereby granted"):].split()
        copyright_text = self.unpacked_text("usr/share/doc/mascot/copyright")
        require(f"Copyright: {holder}\n" in copyright_text, "the copyright file lacks the holder")
        require(" ".join(terms) in " ".join(copyright_text.replace("\n .\n", "\n").split()),
                "the copyright file does not carry LICENSE's terms")
        found = glob.glob(os.path.join(self.unpacked, "usr/share/metainfo/*.metainfo.xml"))
        require(len(found) == 1, f"metainfo files {found}")
        component = ElementTree.parse(found[0]).getroot()
        require(os.path.basename(found[0]) == component.findtext("id") + ".metainfo.xml",
                f"{found[0]} does not carry its id's name")
        desktop = component.findtext("launchable[@type='desktop-id']")
        require(os.path.isfile(os.path.join(self.unpacked, "usr/share/applications", desktop)),
                f"the launchable {desktop} is not in the package")
        shell = run(["gnome-shell", "--version"]).split()[-1].split(".")[0]
        versions = json.loads(self.unpacked_text(EXTENSION_METADATA))["shell-version"]
        require(shell in versions, f"the packaged extension is for GNOME {versions}, not {shell}")

    def check_runs_unpacked(self):
        self.server, os.environ["DISPLAY"] = start_xvfb()
        self.process = start([self.exe])
        wait_for("the packaged mascot's window", lambda: windows_of(self.process.pid), 30)
        send_command(self.exe, EXIT)
        require_exit(self.process, "--command of the exit item")

    def cleanup(self):
        stop(self.process, self.server)
        shutil.rmtree(self.unpacked, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--deb", required=True)
    test = PackageTest(parser.parse_args().deb)
    run_checks(tempfile.gettempdir(), [
        ("the package holds the binary, .desktop entry, icon, manual page, changelog and "
         "copyright file, with its dependencies",
         test.check_contents),
        ("its manual page carries every line of the packaged binary's --help",
         test.check_man_page),
        ("its copyright file carries LICENSE, its metadata launches its .desktop entry, its GNOME "
         "Shell extension is for the installed shell",
         test.check_copyright_and_metadata),
        ("the packaged binary runs from an unpacked copy and ends with 0", test.check_runs_unpacked),
    ], test.cleanup)


if __name__ == "__main__":
    main()
