"""The peer for bench/run-tcp-bench: python-hl7's asyncio MLLP server with a handler that
replies with the request (framed, as python-hl7 writes it) and then closes the connection.

    tcp_peer_echo_server.py PORT    (runs until killed; prints "ready" once listening)
"""
import asyncio
import sys

import hl7.mllp


async def echo(reader, writer):
    try:
        message = await reader.readmessage()
        writer.writemessage(message)
        await writer.drain()
    except Exception:
        pass
    finally:
        writer.close()


async def main(port):
    server = await hl7.mllp.start_hl7_server(echo, "127.0.0.1", port, backlog=1024)
    print("ready", flush=True)
    async with server:
        await server.serve_forever()


asyncio.run(main(int(sys.argv[1])))
