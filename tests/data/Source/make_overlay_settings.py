#!/usr/bin/python3
"""Writes the annotation settings files of the settings tests (and the seed
corpus of their fuzz target) into overlay_settings/: one file per case, the
last two in UTF-16 and Shift_JIS."""
import os

HEAD = '<?xml version="1.0" encoding="%s"?>\n'

CASES = {
    # Names and values in any case; TEXT, PREFIX and SUFFIX keep theirs.
    "case": """<OVERLAYSETTING>
  <MODALITY name="ct">
    <LOCATION Value="upperLeft">
      <LINE><TEXT value="Name: "/><tag no="0x0010,0x0010" suffix=" End"/></LINE>
      <LINE><Macro Value="zoom_rate" Prefix="Zoom x"/></LINE>
    </LOCATION>
  </MODALITY>
</OVERLAYSETTING>
""",
    # The second block of a modality replaces the first.
    "duplicate": """<OVERLAYSETTING>
  <MODALITY NAME="MR">
    <LOCATION VALUE="UPPERLEFT"><LINE><TEXT VALUE="first"/></LINE></LOCATION>
  </MODALITY>
  <MODALITY NAME="mr">
    <LOCATION VALUE="UPPERRIGHT"><LINE><TEXT VALUE="second"/></LINE></LOCATION>
  </MODALITY>
</OVERLAYSETTING>
""",
    # A line with a bad item keeps only prefixes and suffixes of MACROs.
    "blanked": """<OVERLAYSETTING>
  <MODALITY NAME="OTHER">
    <LOCATION VALUE="UPPERLEFT">
      <LINE><TEXT VALUE="keep"/><TAG NO="0010 0010" PREFIX="&lt;" SUFFIX="&gt;"/><MACRO VALUE="PAGE" PREFIX="[" SUFFIX="]"/></LINE>
      <LINE><TEXT VALUE="ok"/></LINE>
      <LINE><MACRO VALUE="NO_SUCH" PREFIX="(" SUFFIX=")"/><TEXT VALUE="gone"/></LINE>
      <LINE><TAG NO="0010,0020" FORMAT="YYYY-MM-DD" PREFIX="id="/><TEXT VALUE="x"/></LINE>
      <LINE><MACRO VALUE="" PREFIX="{" SUFFIX="}"/><TEXT VALUE="y"/></LINE>
      <LINE><TAG NO="0010,0020,1"/><TEXT VALUE="two commas"/></LINE>
      <LINE><TAG NO="0010,"/><TEXT VALUE="no element"/></LINE>
    </LOCATION>
    <LOCATION VALUE="LOWERLEFT">
      <LINE><TEXT VALUE="a"/></LINE>
      <LINE></LINE>
      <LINE><TEXT VALUE="b"/></LINE>
    </LOCATION>
  </MODALITY>
</OVERLAYSETTING>
""",
    # INDEX 0-5 picks a value; 6 and -1 blank their lines.
    "index": """<OVERLAYSETTING>
  <MODALITY NAME="OTHER">
    <LOCATION VALUE="UPPERRIGHT">
      <LINE><TAG NO="0008,0008" INDEX="5"/></LINE>
      <LINE><TEXT VALUE="six"/><TAG NO="0008,0008" INDEX="6"/></LINE>
      <LINE><TEXT VALUE="minus"/><TAG NO="0008,0008" INDEX="-1"/></LINE>
      <LINE><TAG NO="0008,0008" INDEX="2"/><TAG NO="0008,0008" INDEX="+1" PREFIX="/"/></LINE>
      <LINE><TAG NO="0008,0020" FORMAT="yyyy_mm_dd"/><TAG NO="0008,0030" FORMAT="HH_MM_SS" PREFIX=" "/></LINE>
    </LOCATION>
  </MODALITY>
</OVERLAYSETTING>
""",
    # Modalities without a block, or without a corner, take OTHER's.
    "other": """<OVERLAYSETTING>
  <MODALITY NAME="">
    <LOCATION VALUE="LOWERLEFT"><LINE><TEXT VALUE="empty name"/></LINE></LOCATION>
  </MODALITY>
  <MODALITY>
    <LOCATION VALUE="LOWERLEFT"><LINE><TEXT VALUE="no name"/></LINE></LOCATION>
  </MODALITY>
  <MODALITY NAME="CT">
    <LOCATION VALUE="UPPERLEFT"><LINE><TEXT VALUE="ct-ul"/></LINE></LOCATION>
    <LOCATION VALUE="MIDDLE"><LINE><TEXT VALUE="no such place"/></LINE></LOCATION>
    <LINE><TEXT VALUE="misplaced"/></LINE>
  </MODALITY>
  <MODALITY NAME="OTHER">
    <LOCATION VALUE="UPPERLEFT"><LINE><TEXT VALUE="o-ul"/></LINE></LOCATION>
    <LOCATION VALUE="UPPERRIGHT"><LINE><TEXT VALUE="o-ur"/></LINE></LOCATION>
    <LOCATION VALUE="LOWERLEFT"><LINE><TEXT VALUE="o-ll"/></LINE></LOCATION>
    <LOCATION VALUE="LOWERRIGHT"><LINE><TEXT VALUE="o-lr"/></LINE><LINE><UNKNOWN/><TEXT VALUE="2"/></LINE></LOCATION>
  </MODALITY>
</OVERLAYSETTING>
""",
    # A TAG in a TAG reads the first item of the sequence; the last inner TAG
    # counts; a TAG holding only white space and a comment reads its own.
    "nested": """<OVERLAYSETTING>
  <MODALITY NAME="OTHER">
    <LOCATION VALUE="LOWERRIGHT">
      <LINE>
        <TAG NO="0008,1140" PREFIX="ref=">
          <TAG NO="0008,1150"/>
          <TAG NO="0008,1155"/>
        </TAG>
      </LINE>
      <LINE>
        <TAG NO="0010,0020" PREFIX="id=">
          <!-- only white space and this comment -->
        </TAG>
      </LINE>
      <LINE><TAG NO="0008,1140" PREFIX="none="><TAG NO="0008,1199"><TAG NO="0008,1150"/></TAG></TAG></LINE>
    </LOCATION>
  </MODALITY>
</OVERLAYSETTING>
""",
}

ENCODED = {
    "utf16": ("UTF-16", "utf-16", """<OVERLAYSETTING>
  <FONT NAME="IPAGothic" SIZE="12"/>
  <MODALITY NAME="OTHER">
    <LOCATION VALUE="UPPERLEFT"><LINE><TEXT VALUE="\u60a3\u8005: "/><TAG NO="0010,0010"/></LINE></LOCATION>
  </MODALITY>
</OVERLAYSETTING>
"""),
    "shift_jis": ("Shift_JIS", "shift_jis", """<OVERLAYSETTING>
  <FONT NAME="MS Gothic" SIZE="300"/>
  <MODALITY NAME="OTHER">
    <LOCATION VALUE="UPPERLEFT"><LINE><TEXT VALUE="\u691c\u67fb\u65e5 "/><TAG NO="0008,0020" FORMAT="YYYY_MM_DD" SUFFIX=" \u307e\u3067"/></LINE></LOCATION>
  </MODALITY>
</OVERLAYSETTING>
"""),
}

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "overlay_settings")
os.makedirs(here, exist_ok=True)
for name, text in CASES.items():
    with open(os.path.join(here, name + ".xml"), "wb") as f:
        f.write((HEAD % "UTF-8" + text).encode("utf-8"))
for name, (label, codec, text) in ENCODED.items():
    with open(os.path.join(here, name + ".xml"), "wb") as f:
        f.write((HEAD % label + text).encode(codec))  # Python's utf-16 writes a BOM
