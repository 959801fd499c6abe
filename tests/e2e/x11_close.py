# SPDX-License-Identifier: MIT
"""Closing a window the way a window manager's close button does, on a display
that has no window manager: a WM_DELETE_WINDOW client message."""

import ctypes
from ctypes import c_char_p, c_int, c_long, c_uint, c_ulong, c_void_p


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int), ("display", c_void_p),
                ("window", c_ulong), ("message_type", c_ulong), ("format", c_int), ("data", c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", c_long * 24)]


_CLIENT_MESSAGE = 33


def _libraries():
    x11, xtst = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
    x11.XOpenDisplay.restype = c_void_p
    x11.XOpenDisplay.argtypes = [c_char_p]
    x11.XInternAtom.restype = c_ulong
    x11.XInternAtom.argtypes = [c_void_p, c_char_p, c_int]
    x11.XSendEvent.argtypes = [c_void_p, c_ulong, c_int, c_long, c_void_p]
    x11.XCloseDisplay.argtypes = [c_void_p]
    xtst.XTestFakeMotionEvent.argtypes = [c_void_p, c_int, c_int, c_int, c_ulong]
    xtst.XTestFakeButtonEvent.argtypes = [c_void_p, c_uint, c_int, c_ulong]
    return x11, xtst


def click_then_close(display, window, x, y):
    """Clicks the left button at screen point (x, y), then asks the window to
    close. Both go over one connection, so the close arrives right behind the
    click, before the program can have done much with it."""
    x11, xtst = _libraries()
    connection = x11.XOpenDisplay(display.encode())
    if not connection:
        raise OSError(f"cannot open display {display}")
    try:
        xtst.XTestFakeMotionEvent(connection, -1, x, y, 0)
        xtst.XTestFakeButtonEvent(connection, 1, True, 0)
        xtst.XTestFakeButtonEvent(connection, 1, False, 0)
        event = _XEvent()
        event.xclient.type = _CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = x11.XInternAtom(connection, b"WM_PROTOCOLS", False)
        event.xclient.format = 32
        event.xclient.data[0] = x11.XInternAtom(connection, b"WM_DELETE_WINDOW", False)
        x11.XSendEvent(connection, window, False, 0, ctypes.byref(event))
    finally:
        x11.XCloseDisplay(connection)  # sends everything still queued
