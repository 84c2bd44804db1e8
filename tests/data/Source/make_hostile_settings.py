#!/usr/bin/python3
"""Writes the broken and hostile settings files of the settings tests (and
seeds of the settings fuzz targets) into hostile_settings/: annotation
settings files that cannot be used (xml/) and ini files with lines that are
too long to keep (ini/). The tests expect a warning naming the file and the
line, and the built-in settings."""
import os

HEAD = '<?xml version="1.0" encoding="UTF-8"?>\n'
LINE = '    <LOCATION VALUE="UPPERLEFT"><LINE><TEXT VALUE="x"/></LINE></LOCATION>\n'

XML = {
    # Cut short inside a MODALITY (line 4 is the last).
    "truncated": (HEAD + '<OVERLAYSETTING>\n  <MODALITY NAME="CT">\n' + LINE).encode(),
    # An end tag that closes the wrong element, on line 5.
    "mismatch": (HEAD + '<OVERLAYSETTING>\n  <MODALITY NAME="CT">\n'
                 '    <LOCATION VALUE="UPPERLEFT"><LINE><TEXT VALUE="x"/></LINE>\n'
                 '  </MODALITY>\n</OVERLAYSETTING>\n').encode(),
    # Well-formed, but the root (line 2) is not OVERLAYSETTING.
    "wrong_root": (HEAD + '<SETTINGS>\n  <MODALITY NAME="CT">\n' + LINE +
                   '  </MODALITY>\n</SETTINGS>\n').encode(),
    # UTF-16 with a lone high surrogate in an attribute value on line 3.
    "lone_surrogate": '<?xml version="1.0" encoding="UTF-16"?>\n<OVERLAYSETTING>\n  <MODALITY NAME="C'
                      .encode("utf-16") + b"\x00\xd8" +
                      'T">\n' .encode("utf-16-le") + LINE.encode("utf-16-le") +
                      '  </MODALITY>\n</OVERLAYSETTING>\n'.encode("utf-16-le"),
    # Bytes that are not UTF-8 in a UTF-8 file, on line 3.
    "bad_utf8": (HEAD + '<OVERLAYSETTING>\n  <MODALITY NAME="').encode() + b"\xff\xfe" +
                ('">\n' + LINE + '  </MODALITY>\n</OVERLAYSETTING>\n').encode(),
    # An encoding nobody knows.
    "unknown_encoding": ('<?xml version="1.0" encoding="NO-SUCH-CODE"?>\n<OVERLAYSETTING/>\n').encode(),
    # TAGs nested deeper than the parser goes (300 levels on line 3).
    "deep": (HEAD + '<OVERLAYSETTING>\n<MODALITY NAME="CT"><LOCATION VALUE="UPPERLEFT"><LINE>' +
             '<TAG NO="0008,1140">' * 300 + '</TAG>' * 300 +
             '</LINE></LOCATION></MODALITY>\n</OVERLAYSETTING>\n').encode(),
    # Nothing at all.
    "empty": b"",
    # Every byte value once.
    "binary": bytes(range(256)),
    # An element name of 40,000 characters that closes the wrong element:
    # the warning stays one short line.
    "long_name": (HEAD + '<OVERLAYSETTING>\n<' + "N" * 40000 + '>\n</MODALITY>\n'
                  '</OVERLAYSETTING>\n').encode(),
}

LONG = "L" * 300  # longer than the 255 characters a name or value may have
INI = {
    # A face name that no font has, on line 3.
    "long_face": "; settings\r\n[Font]\r\nStringsFaceName=" + LONG + "\r\n[Strings]\r\nS10001=Open\r\n",
    # A key too long on line 2; the face name after it is read.
    "long_key": "[Font]\r\n" + LONG + "=1\r\nStringsFaceName=MS UI Gothic\r\n",
    # A section name too long on line 3: its keys are not read (the face name
    # is not taken from it), the lines after the next section are.
    "long_section": "[Font]\r\nx=1\r\n[" + LONG + "]\r\nStringsFaceName=Wrong\r\n"
                    "[Message]\r\nM10001=ok\r\n",
}

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "hostile_settings")
for folder in ("xml", "ini"):
    os.makedirs(os.path.join(here, folder), exist_ok=True)
for name, data in XML.items():
    with open(os.path.join(here, "xml", name + ".xml"), "wb") as f:
        f.write(data)
for name, text in INI.items():
    with open(os.path.join(here, "ini", name + ".ini"), "wb") as f:
        f.write(text.encode("utf-8"))
