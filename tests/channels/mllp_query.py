"""Sends one query through python-hl7's MLLP client and prints what came back.

The channel answers without frame bytes and then closes, so after the client's own
send_message (which frames the message and returns the first piece received) the rest is
read from the client's socket until the end of the stream.

    mllp_query.py PORT MESSAGE_HEX  ->  reply as hex, then MSH-9 and QRD-3 as parsed
"""
import sys

import hl7
from hl7.client import MLLPClient

port = int(sys.argv[1])
message = bytes.fromhex(sys.argv[2])
with MLLPClient("127.0.0.1", port) as client:
    client.socket.settimeout(10)
    reply = client.send_message(message)
    while True:
        more = client.socket.recv(4096)
        if not more:
            break
        reply += more
parsed = hl7.parse(reply.decode("ascii"))
print(reply.hex())
print(parsed.segment("MSH")[9])
print(parsed.segment("QRD")[3])
