"""The X resources a process holds in the X server, by the X-Resource extension: its clients
found by the process id the server knows of each connection (not by window properties, which a
toolkit's helper connections lack), and their resources counted by type.
"""

import ctypes

from xlib import atom_name, x11, xres

PID_MASK = 2  # XRES_CLIENT_ID_PID_MASK


class ClientIdSpec(ctypes.Structure):
    _fields_ = [("client", ctypes.c_ulong), ("mask", ctypes.c_uint)]


class ClientIdValue(ctypes.Structure):
    _fields_ = [("client_id", ClientIdSpec), ("length", ctypes.c_long), ("value", ctypes.c_void_p)]


class ResourceType(ctypes.Structure):
    _fields_ = [("resource_type", ctypes.c_ulong), ("count", ctypes.c_uint)]


xres.XResQueryClientIds.argtypes = [
    ctypes.c_void_p, ctypes.c_long, ctypes.POINTER(ClientIdSpec), ctypes.POINTER(ctypes.c_long),
    ctypes.POINTER(ctypes.POINTER(ClientIdValue))]
xres.XResGetClientPid.argtypes = [ctypes.POINTER(ClientIdValue)]
xres.XResClientIdsDestroy.argtypes = [ctypes.c_long, ctypes.POINTER(ClientIdValue)]
xres.XResQueryClientResources.argtypes = [
    ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_int),
    ctypes.POINTER(ctypes.POINTER(ResourceType))]


def _clients_of(display, pid):
    """The resource bases of the process's connections."""
    every = ClientIdSpec(0, PID_MASK)  # client 0: all of them
    count = ctypes.c_long()
    values = ctypes.POINTER(ClientIdValue)()
    if xres.XResQueryClientIds(display, 1, ctypes.byref(every), ctypes.byref(count),
                                ctypes.byref(values)) != 0:
        raise RuntimeError("the X server has no X-Resource extension 1.2")
    try:
        return [values[i].client_id.client for i in range(count.value)
                if xres.XResGetClientPid(ctypes.byref(values[i])) == pid]
    finally:
        xres.XResClientIdsDestroy(count, values)


def _resources_of(display, client, totals):
    count = ctypes.c_int()
    types = ctypes.POINTER(ResourceType)()
    # Unlike the id query, which answers Success (0), this one answers true when it worked.
    if not xres.XResQueryClientResources(display, client, ctypes.byref(count),
                                          ctypes.byref(types)):
        return  # the connection has just closed
    try:
        for i in range(count.value):
            name = atom_name(display, types[i].resource_type)
            totals[name] = totals.get(name, 0) + types[i].count
    finally:
        x11.XFree(types)


def process_resources(pid):
    """({resource type: count} over the process's X connections, number of connections)."""
    display = x11.XOpenDisplay(None)
    if not display:
        raise RuntimeError("cannot open the X display")
    try:
        clients = _clients_of(display, pid)
        totals = {}
        for client in clients:
            _resources_of(display, client, totals)
        return totals, len(clients)
    finally:
        x11.XCloseDisplay(display)
