"""The desktop test kit: what the Wine end-to-end, the X11 end-to-end and the monkey share to
drive the real program on an X display. Imported as a package; the CI scripts put tests/ on
PYTHONPATH."""
