#!/usr/bin/env python3
"""A live MPEG-TS channel as a head end serves it: one ffmpeg sends a clip
over and over in real time, and every HTTP client that connects gets the
channel from that moment on (mid-group, as a viewer tuning in does), at
http://127.0.0.1:PORT/live.ts. Standard library only (and ffmpeg). An MP3
clip is a radio station as Icecast serves it, at /live.mp3 (audio/mpeg).

    live_ts_server.py PORT CLIP.ts|CLIP.mp3 [--off-air FROM-TO] [OUTPUT_OPTION ...]

--off-air  seconds after the start during which the channel is off the air:
           viewers are cut off and new ones refused
Every track of the clip is sent; the options go to the sending ffmpeg's
output (-output_ts_offset 95413 starts the channel's clock 30 s before the
wrap of MPEG's 33-bit clock). An .mp3 clip is sent as MP3 radio, at
/live.mp3 as audio/mpeg.
"""
import socket
import subprocess
import sys
import threading
import time

CHUNK = 7 * 188


class Channel:
    def __init__(self):
        self.lock = threading.Lock()
        self.clients = []
        self.on_air = True

    def add(self, conn):
        with self.lock:
            self.clients.append(conn)

    def send(self, data):
        with self.lock:
            for conn in list(self.clients):
                try:
                    conn.sendall(data) if self.on_air else conn.shutdown(socket.SHUT_RDWR)
                except OSError:
                    self.clients.remove(conn)
                    conn.close()


def read_chunk(pipe):
    data = b""
    while len(data) < CHUNK:
        more = pipe.read(CHUNK - len(data))
        if not more:
            return None
        data += more
    return data


def answer(conn, channel):
    conn.settimeout(5)
    request = b""
    try:
        while b"\r\n\r\n" not in request and len(request) < 65536:
            more = conn.recv(4096)
            if not more:
                conn.close()
                return
            request += more
    except OSError:
        conn.close()
        return
    conn.settimeout(None)
    if not channel.on_air or not request.startswith(b"GET /live." + (b"mp3" if channel.radio else b"ts")):
        conn.sendall(b"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n")
        conn.close()
        return
    conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: " + (b"audio/mpeg" if channel.radio else b"video/mp2t") + b"\r\n\r\n")
    channel.add(conn)


def main():
    port, clip, options = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
    off_air = [0, 0]
    if options[:1] == ["--off-air"]:
        off_air = [float(t) for t in options[1].split("-")]
        options = options[2:]
    sender = subprocess.Popen(
        ["ffmpeg", "-loglevel", "error", "-re", "-stream_loop", "-1", "-i", clip,
         "-map", "0", "-c", "copy"] + options + ["-f", "mp3" if clip.endswith(".mp3") else "mpegts", "pipe:1"],
        stdout=subprocess.PIPE)
    channel = Channel()
    channel.radio = clip.endswith(".mp3")
    # On the air once ffmpeg sends: the port listens only then, so a test
    # that counts from the moment it listens finds the channel where it
    # counts, however long ffmpeg took to start on a busy machine.
    data = read_chunk(sender.stdout)
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(8)

    def accept():
        while True:
            conn, _ = listener.accept()
            threading.Thread(target=answer, args=(conn, channel), daemon=True).start()

    threading.Thread(target=accept, daemon=True).start()
    began = None
    try:
        while data is not None:
            began = began or time.monotonic()
            channel.on_air = not off_air[0] <= time.monotonic() - began < off_air[1]
            channel.send(data)
            data = read_chunk(sender.stdout)
    finally:
        sender.kill()


if __name__ == "__main__":
    main()
