#!/usr/bin/python3
"""Writes the seeds of the settings fuzz targets into hostile_settings/: the
settings files of the hostile-files table (hostile/make_hostile_files.py)
that cannot be used as they are, annotation settings files (xml/) and ini
files with lines too long to keep (ini/), but the 8 MB face name; and an
annotation settings file of 100 modalities, the kind whose count once made
the reader quadratic.

Run: /usr/bin/python3 make_settings_seeds.py
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "hostile"))
import make_hostile_files as hostile  # noqa: E402


def main():
    out = os.path.join(HERE, "hostile_settings")
    seeds = {os.path.join("xml", name + ".xml"): data for name, data in hostile.BROKEN_XML.items()}
    seeds[os.path.join("xml", "modalities_100.xml")] = hostile.modalities(100)
    seeds.update({os.path.join("ini", name + ".ini"): text.encode("utf-8")
                  for name, text in hostile.LONG_INI.items() if len(text) < 4096})
    for name, data in seeds.items():
        os.makedirs(os.path.dirname(os.path.join(out, name)), exist_ok=True)
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
