#!/usr/bin/env python3
"""A small RTSP server for the stream tests: serves an MPEG-TS file, over and
over at about its own pace, as RTP (MP2T) interleaved in the RTSP connection,
at rtsp://127.0.0.1:PORT/x. Standard library only.

    rtsp_test_server.py PORT FILE.ts SECONDS_IN_FILE [--bind ADDRESS] [--redirect URL]

--redirect answers every OPTIONS with 302 Moved Temporarily to URL.
"""
import os
import socket
import struct
import sys
import threading
import time

CHUNK = 7 * 188  # TS packets per RTP packet


def reply(conn, lock, cseq, status="200 OK", headers=(), body=b""):
    head = "RTSP/1.0 %s\r\nCSeq: %s\r\n" % (status, cseq)
    for h in headers:
        head += h + "\r\n"
    if body:
        head += "Content-Length: %d\r\n" % len(body)
    with lock:
        conn.sendall(head.encode() + b"\r\n" + body)


def stream(conn, lock, path, rate, stop):
    seq, start, sent = 0, time.monotonic(), 0
    ssrc = 0x4B454C42
    try:
        while not stop.is_set():
            with open(path, "rb") as ts:
                while not stop.is_set():
                    payload = ts.read(CHUNK)
                    if not payload:
                        break
                    ahead = sent / rate - (time.monotonic() - start)
                    if ahead > 0.5:
                        time.sleep(ahead - 0.5)
                    stamp = int((time.monotonic() - start) * 90000) & 0xFFFFFFFF
                    rtp = struct.pack("!BBHII", 0x80, 33, seq & 0xFFFF, stamp, ssrc) + payload
                    with lock:
                        conn.sendall(b"$\x00" + struct.pack("!H", len(rtp)) + rtp)
                    seq += 1
                    sent += len(payload)
    except OSError:
        pass


def serve(conn, port, path, rate, redirect):
    lock, stop, buffer = threading.Lock(), threading.Event(), b""
    try:
        while True:
            data = conn.recv(65536)
            if not data:
                break
            buffer += data
            while buffer:
                if buffer[:1] == b"$":  # the client's RTCP, interleaved
                    if len(buffer) < 4:
                        break
                    size = struct.unpack("!H", buffer[2:4])[0]
                    if len(buffer) < 4 + size:
                        break
                    buffer = buffer[4 + size:]
                    continue
                end = buffer.find(b"\r\n\r\n")
                if end < 0:
                    break
                request, buffer = buffer[:end].decode("latin-1"), buffer[end + 4:]
                lines = request.split("\r\n")
                method = lines[0].split(" ")[0]
                headers = {}
                for line in lines[1:]:
                    key, _, value = line.partition(":")
                    headers[key.strip().lower()] = value.strip()
                cseq = headers.get("cseq", "0")
                base = "rtsp://127.0.0.1:%d/x" % port
                if method == "OPTIONS" and redirect:
                    reply(conn, lock, cseq, "302 Moved Temporarily", headers=["Location: " + redirect])
                elif method == "OPTIONS":
                    reply(conn, lock, cseq,
                          headers=["Public: OPTIONS, DESCRIBE, SETUP, PLAY, TEARDOWN, GET_PARAMETER"])
                elif method == "DESCRIBE":
                    sdp = ("v=0\r\no=- 0 0 IN IP4 127.0.0.1\r\ns=Kelbo test\r\nc=IN IP4 127.0.0.1\r\n"
                           "t=0 0\r\nm=video 0 RTP/AVP 33\r\na=rtpmap:33 MP2T/90000\r\n"
                           "a=control:track0\r\n").encode()
                    reply(conn, lock, cseq, headers=["Content-Base: %s/" % base,
                                                     "Content-Type: application/sdp"], body=sdp)
                elif method == "SETUP":
                    if "TCP" not in headers.get("transport", ""):
                        reply(conn, lock, cseq, "461 Unsupported Transport")
                    else:
                        reply(conn, lock, cseq, headers=[
                            "Transport: RTP/AVP/TCP;unicast;interleaved=0-1", "Session: 4711"])
                elif method == "PLAY":
                    reply(conn, lock, cseq, headers=["Session: 4711", "Range: npt=0.000-"])
                    threading.Thread(target=stream, args=(conn, lock, path, rate, stop),
                                     daemon=True).start()
                elif method == "TEARDOWN":
                    reply(conn, lock, cseq, headers=["Session: 4711"])
                    return
                else:
                    reply(conn, lock, cseq, headers=["Session: 4711"])
    except OSError:
        pass
    finally:
        stop.set()
        conn.close()


def main():
    port, path, seconds = int(sys.argv[1]), sys.argv[2], float(sys.argv[3])
    options = dict(zip(sys.argv[4::2], sys.argv[5::2]))
    rate = os.path.getsize(path) / seconds
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((options.get("--bind", "127.0.0.1"), port))
    listener.listen(4)
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=serve, args=(conn, port, path, rate, options.get("--redirect")),
                         daemon=True).start()


if __name__ == "__main__":
    main()
