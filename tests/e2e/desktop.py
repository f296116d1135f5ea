"""A real X desktop for end-to-end tests: an Xvfb server, the program in it, and a person's
hands and eyes through xdotool and window screenshots.

Everything a test starts is killed when the test ends, also when it fails: the processes die
with the test process (PR_SET_PDEATHSIG) even when the test process itself is killed.
"""

import ctypes
import os
import select
import signal
import struct
import subprocess
import sys
import time
import zlib

_libc = ctypes.CDLL(None, use_errno=True)
_PR_SET_PDEATHSIG = 1


def _die_with_parent():
    # A child must not outlive a test process that is killed by a timeout. SIGTERM lets the
    # X server remove its lock file and socket on the way out.
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM)


class WaitTimeout(AssertionError):
    """A condition a person would wait for did not come true in time."""


def poll(condition, timeout=10.0, interval=0.05, what="condition"):
    """Calls condition() until it returns something true; returns that, or fails."""
    start = time.monotonic()
    deadline = start + timeout
    while True:
        result = condition()
        if result:
            if os.environ.get("ZARVO_E2E_VERBOSE") and time.monotonic() - start > 0.5:
                sys.stderr.write("waited %.1f s for %s\n" % (time.monotonic() - start, what))
            return result
        if time.monotonic() > deadline:
            raise WaitTimeout("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(interval)


def descendants(pid):
    """The processes below a process, as {pid: (parent, name, command line, start tick)}."""
    table = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                stat = f.read()
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                cmdline = f.read().replace(b"\0", b" ").decode(errors="replace")
        except OSError:  # ended meanwhile
            continue
        # The name is in parentheses and may hold blanks; the fields after it are plain.
        name = stat[stat.index("(") + 1:stat.rindex(")")]
        fields = stat[stat.rindex(")") + 2:].split()
        table[int(entry)] = (int(fields[1]), name, cmdline, int(fields[19]))
    found, todo = {}, [pid]
    while todo:
        parent = todo.pop()
        for child, info in table.items():
            if info[0] == parent and child not in found:
                found[child] = info
                todo.append(child)
    return found


def still_running(pid, start_tick):
    """Whether the process that had this id and start tick still runs (ids are reused)."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            stat = f.read()
    except OSError:
        return False
    fields = stat[stat.rindex(")") + 2:].split()
    return fields[0] != "Z" and int(fields[19]) == start_tick


# ------------------------------------------------------------------------------ images


class Image:
    """An RGB picture: width, height and three bytes per pixel, rows from the top."""

    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = rgb

    def pixel(self, x, y):
        """The colour at (x, y); black outside the picture."""
        if not (0 <= x < self.width and 0 <= y < self.height):
            return 0, 0, 0
        i = (y * self.width + x) * 3
        return self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]

    def count(self, x0, y0, x1, y1, match):
        """How many pixels of the rectangle [x0, x1] x [y0, y1] (inclusive) satisfy match."""
        n = 0
        for y in range(max(y0, 0), min(y1, self.height - 1) + 1):
            row = y * self.width
            for x in range(max(x0, 0), min(x1, self.width - 1) + 1):
                i = (row + x) * 3
                if match(self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]):
                    n += 1
        return n

    def save_png(self, path):
        raw = b"".join(b"\x00" + self.rgb[y * self.width * 3:(y + 1) * self.width * 3]
                       for y in range(self.height))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        png = (b"\x89PNG\r\n\x1a\n"
               + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
               + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))
        tmp = path + ".part"
        with open(tmp, "wb") as f:
            f.write(png)
        os.replace(tmp, path)


def parse_xwd(data):
    """The picture of an X window dump (xwd) in a true-colour visual."""
    fields = struct.unpack(">25I", data[:100])
    header_size, _version, _fmt, _depth, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    red_mask, green_mask, blue_mask = fields[14:17]
    ncolors = fields[19]
    offset = header_size + ncolors * 12
    if bits_per_pixel not in (24, 32):
        raise ValueError("xwd with %d bits per pixel" % bits_per_pixel)
    step = bits_per_pixel // 8
    order = "little" if byte_order == 0 else "big"

    def shift(mask):
        s = 0
        while mask and not (mask >> s) & 1:
            s += 1
        return s

    rs, gs, bs = shift(red_mask), shift(green_mask), shift(blue_mask)
    masks = (red_mask, green_mask, blue_mask)
    if masks == (0xFF0000, 0xFF00, 0xFF) and step == 4 and order == "little":
        # The usual case, done fast: B G R X bytes.
        out = bytearray(width * height * 3)
        for y in range(height):
            row = data[offset + y * bytes_per_line: offset + y * bytes_per_line + width * 4]
            o = y * width * 3
            out[o + 0:o + width * 3:3] = row[2::4]
            out[o + 1:o + width * 3:3] = row[1::4]
            out[o + 2:o + width * 3:3] = row[0::4]
        return Image(width, height, bytes(out))
    out = bytearray()
    for y in range(height):
        base = offset + y * bytes_per_line
        for x in range(width):
            v = int.from_bytes(data[base + x * step: base + x * step + step], order)
            out += bytes(((v & red_mask) >> rs, (v & green_mask) >> gs, (v & blue_mask) >> bs))
    return Image(width, height, bytes(out))


# ------------------------------------------------------------------------------ the desktop


class Desktop:
    """An Xvfb server of its own, and the environment in which programs use it."""

    def __init__(self, root, width=1280, height=1024):
        self.root = root
        self.screen = (width, height)
        self.processes = []
        self.started = []  # every process ever started here, for the checks afterwards
        read_fd, write_fd = os.pipe()
        # -displayfd: the server picks a free display number and writes it to the pipe.
        self.xvfb = self._spawn(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % (width, height),
             "-nolisten", "tcp", "-noreset"],
            env=dict(os.environ), pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        deadline = time.monotonic() + 20
        try:
            while not number.endswith(b"\n"):
                ready, _, _ = select.select([read_fd], [], [],
                                            max(deadline - time.monotonic(), 0))
                chunk = os.read(read_fd, 16) if ready else b""
                if not chunk:
                    raise WaitTimeout("Xvfb did not report its display")
                number += chunk
        except BaseException:
            self.close()
            raise
        finally:
            os.close(read_fd)
        self.display = ":" + number.decode().strip()
        self.display_number = int(number)
        self.home = os.path.join(root, "home")
        runtime = os.path.join(root, "runtime")
        os.makedirs(self.home)
        os.makedirs(runtime, mode=0o700)
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("XDG_", "QT_", "DBUS_", "WAYLAND_"))}
        env.update({
            "DISPLAY": self.display,
            "HOME": self.home,
            "XDG_RUNTIME_DIR": runtime,
            "QT_QPA_PLATFORM": "xcb",
            # Numbers in dialogs use the point; messages stay the program's German.
            "LC_ALL": "C.UTF-8",
            "LANG": "C.UTF-8",
            # No accessibility bus and no session bus: nothing outside this folder is touched.
            "QT_ACCESSIBILITY": "0",
            "NO_AT_BRIDGE": "1",
            "DBUS_SESSION_BUS_ADDRESS": "disabled:",
            # No print server: a port that would go to CUPS reaches none of the machine's
            # printers, it fails at once.
            "CUPS_SERVER": os.path.join(root, "no-cups.sock"),
            "CUPS_SERVERROOT": root,
        })
        for name in ("LPDEST", "PRINTER"):
            env.pop(name, None)
        self.env = env

    def _spawn(self, args, **kw):
        p = subprocess.Popen(args, preexec_fn=_die_with_parent, **kw)
        self.processes.append(p)
        self.started.append(p)
        return p

    def spawn(self, args, log_name, cwd=None, stdin=subprocess.DEVNULL):
        with open(os.path.join(self.root, log_name), "ab") as log:
            return self._spawn(args, env=self.env, cwd=cwd or self.home, stdin=stdin,
                               stdout=log, stderr=log)

    def close(self):
        """Ends every process started here, the X server last."""
        for p in reversed(self.processes):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait(5)
        self.processes = []

    # ---- X requests through xdotool

    def run(self, *args, check=True):
        start = time.monotonic()
        r = subprocess.run(list(args), env=self.env, capture_output=True, timeout=30,
                           preexec_fn=_die_with_parent)
        if os.environ.get("ZARVO_E2E_VERBOSE") and time.monotonic() - start > 0.5:
            sys.stderr.write("%.1f s for %s\n" % (time.monotonic() - start, " ".join(args)))
        if check and r.returncode != 0:
            raise AssertionError("%s failed (%d): %s" % (" ".join(args), r.returncode,
                                                         r.stderr.decode(errors="replace")))
        return r.stdout.decode(errors="replace")

    def xdotool(self, *args, check=True):
        return self.run("xdotool", *[str(a) for a in args], check=check)

    def visible_windows(self, pid):
        """Visible top-level windows (ids) of a process: its main window, dialogs and menus."""
        out = self.xdotool("search", "--onlyvisible", "--maxdepth", "1", "--pid", pid, check=False)
        return [int(w) for w in out.split()]

    def window_name(self, wid):
        return self.xdotool("getwindowname", wid, check=False).rstrip("\n")

    def window_type(self, wid):
        """The window's _NET_WM_WINDOW_TYPE, as xprop shows it (menus, tool tips, dialogs)."""
        return self.run("xprop", "-id", str(wid), "_NET_WM_WINDOW_TYPE", check=False)

    def geometry(self, wid):
        """(x, y, width, height) of a window on the screen."""
        out = self.xdotool("getwindowgeometry", "--shell", wid)
        g = dict(line.split("=", 1) for line in out.split())
        return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])

    def focused(self):
        out = self.xdotool("getwindowfocus", "-f", check=False).strip()
        return int(out) if out.isdigit() else None

    def focus(self, wid):
        """Gives a window the keyboard focus, as a window manager would on a click."""
        self.xdotool("windowfocus", "--sync", wid)
        poll(lambda: self.focused() == wid, 5, what="keyboard focus on window %d" % wid)

    def key(self, *keys):
        self.xdotool("key", "--delay", "30", *keys)

    def type(self, text):
        self.xdotool("type", "--delay", "20", "--", text)

    def pointer(self):
        out = self.xdotool("getmouselocation", "--shell")
        g = dict(line.split("=", 1) for line in out.split())
        return int(g["X"]), int(g["Y"])

    def move(self, x, y):
        target = (int(round(x)), int(round(y)))
        # xdotool's --sync waits for a motion, which never comes when the pointer is there.
        if self.pointer() != target:
            self.xdotool("mousemove", "--sync", *target)

    def click(self, x, y, button=1):
        self.move(x, y)
        self.xdotool("click", button)

    def capture(self, wid):
        """A screenshot of one window (its own contents, as the X server holds them)."""
        r = subprocess.run(["xwd", "-silent", "-id", str(wid)], env=self.env, capture_output=True,
                           timeout=30, preexec_fn=_die_with_parent)
        if r.returncode != 0:
            raise AssertionError("xwd failed: " + r.stderr.decode(errors="replace"))
        return parse_xwd(r.stdout)
