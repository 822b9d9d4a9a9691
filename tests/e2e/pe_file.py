"""Reading what Windows reads from a 64-bit executable's headers: the COFF symbol table, the DLL
imports, and the resources (the version resource and the application manifest).

Only what the release test needs; every offset follows the PE/COFF format.
"""

import struct

RT_VERSION = 16
RT_MANIFEST = 24
IMPORT_DIRECTORY, RESOURCE_DIRECTORY = 1, 2


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as exe:
            self.data = exe.read()
        if self.data[:2] != b"MZ":
            raise ValueError(f"{path}: no MZ header")
        self.header = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[self.header:self.header + 4] != b"PE\0\0":
            raise ValueError(f"{path}: no PE header")
        coff = self.header + 4
        (_, sections, _, self.symbol_table, self.symbol_count, optional_size,
         _) = struct.unpack_from("<HHIIIHH", self.data, coff)
        optional = coff + 20
        if struct.unpack_from("<H", self.data, optional)[0] != 0x20B:
            raise ValueError(f"{path}: not a 64-bit (PE32+) image")
        directories = optional + 112
        self.directories = [struct.unpack_from("<II", self.data, directories + 8 * i)
                            for i in range(16)]
        table = optional + optional_size
        self.sections = []
        for i in range(sections):
            name, _, address, raw_size, raw_at = struct.unpack_from("<8sIIII", self.data,
                                                                    table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("latin-1"), address, raw_size,
                                  raw_at))

    def offset(self, rva):
        """File offset of a relative virtual address."""
        for _, address, raw_size, raw_at in self.sections:
            if address <= rva < address + raw_size:
                return raw_at + rva - address
        raise ValueError(f"address {rva:#x} lies in no section")

    def text_at(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def has_symbol_table(self):
        return self.symbol_table != 0 or self.symbol_count != 0

    def imports(self):
        """{dll name in lower case: set of the function names imported from it}."""
        rva, _ = self.directories[IMPORT_DIRECTORY]
        found = {}
        at = self.offset(rva) if rva else None
        while at is not None:
            names, _, _, dll, slots = struct.unpack_from("<IIIII", self.data, at)
            if dll == 0:
                break
            functions = found.setdefault(self.text_at(dll).lower(), set())
            entry = self.offset(names or slots)
            while (thunk := struct.unpack_from("<Q", self.data, entry)[0]) != 0:
                if not thunk >> 63:  # imported by name: a hint, then the name
                    functions.add(self.text_at((thunk & 0x7FFFFFFF) + 2))
                entry += 8
            at += 20
        return found

    def resource(self, kind, ident):
        """The bytes of resource `ident` of type `kind` (first language), or None."""
        rva, _ = self.directories[RESOURCE_DIRECTORY]
        if rva == 0:
            return None
        root = self.offset(rva)
        entry = root
        for wanted in (kind, ident, None):
            entry = self._directory_entry(root, entry, wanted)
            if entry is None:
                return None
        data_rva, size = struct.unpack_from("<II", self.data, entry)
        start = self.offset(data_rva)
        return self.data[start:start + size]

    def _directory_entry(self, root, directory, wanted):
        """Where the entry `wanted` (an id; None: the first) of a resource directory leads."""
        named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
        for i in range(named + numbered):
            ident, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
            if wanted is not None and (ident >> 31 or ident != wanted):
                continue
            return root + (target & 0x7FFFFFFF)
        return None
