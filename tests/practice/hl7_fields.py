#!/usr/bin/python3
"""Reads an HL7 message file with python-hl7 and prints the listed fields, unescaped.

Arguments: FILE SPEC...; SPEC is SEGMENT.FIELD.COMPONENT (first segment of that name).
Prints one line per SPEC: the value's bytes in hex (Windows-1252 bytes kept as they are).
"""
import sys

import hl7

with open(sys.argv[1], "rb") as f:
    message = hl7.parse(f.read().decode("latin-1"))
for spec in sys.argv[2:]:
    segment, field, component = spec.split(".")
    value = message.extract_field(segment, 1, int(field), 1, int(component))
    print(value.encode("latin-1").hex())
