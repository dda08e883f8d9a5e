#!/usr/bin/env python3
"""Opens a clickable-map page in headless Chromium, as a user would open it from the
save folder, and clicks the centre of each area of its image map.

    map_page_check.py PAGE.html

Prints "image=<natural W>x<natural H> shown=<W>x<H> loaded=<0|1>", then for each area
"area=<coords> -> <the address the click led to, or the window it opened>". Needs the
Debian package chromium; talks to it over its DevTools protocol with the standard library
only."""
import base64
import json
import os
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

CHROMIUM = shutil.which("chromium") or shutil.which("chromium-browser") or "/usr/bin/chromium"


class WebSocket:
    """Just enough of a WebSocket client for the DevTools protocol: text frames."""

    def __init__(self, url):
        parts = urllib.parse.urlparse(url)
        self.sock = socket.create_connection((parts.hostname, parts.port), timeout=30)
        key = base64.b64encode(os.urandom(16)).decode()
        self.sock.sendall((f"GET {parts.path} HTTP/1.1\r\nHost: {parts.hostname}:{parts.port}\r\n"
                           f"Upgrade: websocket\r\nConnection: Upgrade\r\n"
                           f"Sec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n\r\n").encode())
        reply = b""
        while b"\r\n\r\n" not in reply:
            reply += self.sock.recv(4096)
        head, self.buffer = reply.split(b"\r\n\r\n", 1)
        assert b" 101 " in head.split(b"\r\n")[0], head
        self.next_id = 0

    def _read(self, n):
        while len(self.buffer) < n:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise EOFError("DevTools connection closed")
            self.buffer += chunk
        data, self.buffer = self.buffer[:n], self.buffer[n:]
        return data

    def send(self, text):
        payload = text.encode()
        header = bytes([0x81])
        n = len(payload)
        if n < 126:
            header += bytes([0x80 | n])
        elif n < 65536:
            header += bytes([0x80 | 126]) + struct.pack(">H", n)
        else:
            header += bytes([0x80 | 127]) + struct.pack(">Q", n)
        mask = os.urandom(4)
        self.sock.sendall(header + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(payload)))

    def receive(self):
        message = b""
        while True:
            first, second = self._read(2)
            n = second & 0x7F
            if n == 126:
                n = struct.unpack(">H", self._read(2))[0]
            elif n == 127:
                n = struct.unpack(">Q", self._read(8))[0]
            mask = self._read(4) if second & 0x80 else None
            data = self._read(n)
            if mask:
                data = bytes(b ^ mask[i % 4] for i, b in enumerate(data))
            message += data
            if first & 0x80:
                return message.decode()

    def call(self, method, **params):
        self.next_id += 1
        self.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            reply = json.loads(self.receive())
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply.get("result", {})


def http_json(port, path):
    with urllib.request.urlopen(f"http://127.0.0.1:{port}{path}", timeout=10) as r:
        body = r.read()
    return json.loads(body) if body.strip().startswith((b"[", b"{")) else body.decode()


def evaluate(ws, expression):
    result = ws.call("Runtime.evaluate", expression=expression, returnByValue=True)
    return result.get("result", {}).get("value")


def load(ws, url):
    ws.call("Page.navigate", url=url)
    deadline = time.time() + 20
    while time.time() < deadline:
        state = evaluate(ws, "document.readyState + ' ' + (document.images.length ? "
                             "document.images[0].complete : true)")
        if state == "complete true":
            return
        time.sleep(0.1)
    raise TimeoutError(url)


def main():
    page = "file://" + urllib.parse.quote(os.path.abspath(sys.argv[1]))
    profile = tempfile.mkdtemp()
    browser = subprocess.Popen(
        [CHROMIUM, "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--disable-popup-blocking", "--window-size=1000,800", "--remote-debugging-port=0",
         f"--user-data-dir={profile}", "about:blank"],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        port_file = os.path.join(profile, "DevToolsActivePort")
        deadline = time.time() + 30
        while not os.path.exists(port_file) or not open(port_file).read().strip():
            if time.time() > deadline:
                raise TimeoutError("chromium did not start")
            time.sleep(0.1)
        port = int(open(port_file).read().split()[0])
        target = next(t for t in http_json(port, "/json/list") if t["type"] == "page")
        ws = WebSocket(target["webSocketDebuggerUrl"])
        ws.call("Page.enable")
        load(ws, page)
        image = evaluate(ws, "(() => { const i = document.images[0]; const r = "
                             "i.getBoundingClientRect(); return [i.naturalWidth, i.naturalHeight, "
                             "Math.round(r.width), Math.round(r.height), i.complete && "
                             "i.naturalWidth > 0 ? 1 : 0]; })()")
        print("image=%dx%d shown=%dx%d loaded=%d" % tuple(image))
        areas = evaluate(ws, "[...document.querySelectorAll('area')].map(a => a.coords)")
        for coords in areas:
            load(ws, page)
            x1, y1, x2, y2 = (float(v) for v in coords.split(","))
            left, top = evaluate(ws, "(() => { const r = document.images[0]"
                                     ".getBoundingClientRect(); return [r.left, r.top]; })()")
            x, y = left + (x1 + x2) / 2, top + (y1 + y2) / 2
            before = {t["id"] for t in http_json(port, "/json/list")}
            ws.call("Input.dispatchMouseEvent", type="mouseMoved", x=x, y=y)
            ws.call("Input.dispatchMouseEvent", type="mousePressed", x=x, y=y, button="left",
                    clickCount=1)
            ws.call("Input.dispatchMouseEvent", type="mouseReleased", x=x, y=y, button="left",
                    clickCount=1)
            led = None
            deadline = time.time() + 10
            while led is None and time.time() < deadline:
                time.sleep(0.2)
                targets = http_json(port, "/json/list")
                opened = [t for t in targets if t["type"] == "page" and t["id"] not in before]
                if opened and opened[0]["url"] not in ("", "about:blank"):
                    led = "window " + opened[0]["url"]
                    http_json(port, "/json/close/" + opened[0]["id"])
                    break
                # Mid-way the page's address reads empty for a moment.
                here = next(t for t in targets if t["id"] == target["id"])["url"]
                if here not in (page, "", "about:blank"):
                    led = here
            print(f"area={coords} -> {led}")
    finally:
        browser.kill()
        browser.wait()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    main()
