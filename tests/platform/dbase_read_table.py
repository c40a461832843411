#!/usr/bin/python3
"""Reads dBASE tables with an independent reader and prints their records.

Usage: dbase_read_table.py READER TABLE...
READER is dbfread, dbf (python3-dbf) or soffice (LibreOffice, through a CSV conversion).
For each table it prints "== TABLE", then one line per record that is not deleted: each value
as the hex of its Windows-1252 bytes, "-" for an empty value, separated by blanks. Character
values lose their trailing blanks, as dBASE readers show them. Exits with 77 when the reader is
not installed.
"""
import csv
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77


def line(values):
    return " ".join(v.encode("cp1252").hex() or "-" for v in values)


def read_dbfread(path):
    import dbfread
    # latin-1 maps every byte to one character, so the bytes come back unchanged.
    table = dbfread.DBF(path, encoding="latin-1")
    for record in table:
        values = [record[name] or "" for name in table.field_names]
        yield [v.encode("latin-1").decode("cp1252") for v in values]


def read_dbf(path):
    import dbf
    table = dbf.Table(path)
    with table.open(dbf.READ_ONLY):
        types = [table.field_info(name).field_type for name in table.field_names]
        for record in table:
            if dbf.is_deleted(record):
                continue
            values = [record[name] or "" for name in table.field_names]
            yield [v.rstrip(" ") if t == dbf.FieldType.CHAR else v for v, t in zip(values, types)]


def soffice_missing():
    """Why LibreOffice cannot take part, or None."""
    soffice = shutil.which("soffice")
    if soffice is None:
        return "LibreOffice (soffice) is not installed"
    program = os.path.dirname(os.path.realpath(soffice))
    if not os.path.exists(os.path.join(program, "libdbaselo.so")):
        return "LibreOffice has no dBASE driver (Debian: libreoffice-base-drivers)"
    return None


def convert_with_soffice(paths, folder):
    profile = "file://" + os.path.join(folder, "profile")
    # ANSI: the memo text is Windows-1252; LibreOffice would take it for its default DOS code page.
    subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless",
                    "--infilter=dBase:ANSI", "--convert-to",
                    "csv:Text - txt - csv (StarCalc):44,34,76,1", "--outdir", folder] + paths,
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)


def read_csv(path):
    with open(path, newline="", encoding="utf-8") as file:
        rows = list(csv.reader(file))
    return rows[1:]  # the first row names the fields


def main():
    reader, paths = sys.argv[1], sys.argv[2:]
    if reader == "soffice":
        missing = soffice_missing()
        if missing:
            print(missing)
            return SKIP
        with tempfile.TemporaryDirectory() as folder:
            convert_with_soffice(paths, folder)
            for path in paths:
                print("== " + path)
                name = os.path.splitext(os.path.basename(path))[0] + ".csv"
                for row in read_csv(os.path.join(folder, name)):
                    print(line(row))
        return 0
    try:
        read = {"dbfread": read_dbfread, "dbf": read_dbf}[reader]
        __import__(reader)
    except ImportError:
        print("Python module %s is not installed" % reader)
        return SKIP
    for path in paths:
        print("== " + path)
        for values in read(path):
            print(line(values))
    return 0


if __name__ == "__main__":
    sys.exit(main())
