"""The program as a person meets it: its window, menus, toolbar, dialogs and page preview,
driven through the keyboard and the mouse of an X desktop (desktop.Desktop)."""

import os
import re
import subprocess

from desktop import poll, WaitTimeout

TITLE = "EPS-Dateien drucken"
POINTS_PER_CM = 28.35

# The toolbar buttons at their x positions in the toolbar (each 31 x 31 pixels).
TOOLBAR = {
    "ClearBtn": 3, "LoadBtn": 34, "SaveBtn": 65, "InsertBtn": 99, "UpdateBtn": 130,
    "TextBtn": 161, "HochBtn": 194, "QuerBtn": 225, "SpeedButton1": 259, "ZoomIn": 290,
    "ZoomOut": 321, "RasterBtn": 355, "PrintBtn": 390, "EndBtn": 421,
}

# Colours of the preview.
def is_white(r, g, b):
    return r == 255 and g == 255 and b == 255


def is_black(r, g, b):
    return r < 60 and g < 60 and b < 60


def is_red(r, g, b):
    return r > 200 and g < 60 and b < 60


def is_xor_frame(r, g, b):
    # The placement frame is yellow in exclusive-or: blue on the white page.
    return b > 200 and r < 60 and g < 60


def is_dark(r, g, b):
    return r + g + b < 300


class PageMap:
    """Page centimetres to screen pixels for one view of the preview, read off a screenshot:
    the white page, and the grid dots, which stand at multiples of the dot spacing from the
    page's lower-left corner. Anchored at the page's right and top edges, which must be in
    view."""

    def __init__(self, image, origin, page_cm, grid_mm):
        self.origin = origin  # the window's position on the screen
        self.page_cm = page_cm
        width, height = image.width, image.height
        # The page: the columns and rows that are mostly white.
        col = [0] * width
        row = [0] * height
        rgb = image.rgb
        for y in range(height):
            base = y * width * 3
            for x in range(width):
                i = base + x * 3
                if rgb[i] == 255 and rgb[i + 1] == 255 and rgb[i + 2] == 255:
                    col[x] += 1
                    row[y] += 1
        cmax, rmax = max(col), max(row)
        if cmax < 50 or rmax < 50:
            raise AssertionError("no white page in view")
        cols = [x for x in range(width) if col[x] > 0.4 * cmax]
        rows = [y for y in range(height) if row[y] > 0.4 * rmax]
        self.left, self.right, self.top, self.bottom = cols[0], cols[-1], rows[0], rows[-1]

        def isolated_dot(x, y):
            if not is_black(*image.pixel(x, y)):
                return False
            return all(is_white(*image.pixel(x + dx, y + dy))
                       for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1)))

        # Dark pixels are found row by row in the red channel, then checked one by one.
        dark = bytes(1 if v < 60 else 0 for v in range(256))

        def dots_in_row(y):
            reds = rgb[y * width * 3:(y + 1) * width * 3:3].translate(dark)
            found, x = [], reds.find(1, self.left + 1, self.right)
            while x >= 0:
                if isolated_dot(x, y):
                    found.append(x)
                x = reds.find(1, x + 1, self.right)
            return found

        def even(seq):
            if len(seq) < 3:
                return None
            step = (seq[-1] - seq[0]) / (len(seq) - 1)
            if all(abs(b - a - step) <= 1.5 for a, b in zip(seq, seq[1:])):
                return step
            return None

        # The row with the most evenly spaced dots (items on the page hide some dots and may
        # add stray dark pixels: such rows are passed over), and the column through one of
        # its dots with the most evenly spaced dots.
        xs, step_x = [], None
        for y in range(self.top + 1, self.bottom):
            dots = dots_in_row(y)
            if len(dots) > len(xs):
                step = even(dots)
                if step:
                    xs, step_x = dots, step
        if not xs:
            raise AssertionError("no grid dots on the page in view")
        ys, step_y = [], None
        for x in xs:
            dots = [y for y in range(self.top + 1, self.bottom) if isolated_dot(x, y)]
            if len(dots) > len(ys):
                step = even(dots)
                if step:
                    ys, step_y = dots, step
        if not ys:
            raise AssertionError("no column of grid dots on the page in view")
        # The preview coarsens the lattice by 2, 5 or 10 when dots one grid step apart would
        # be closer than 10 pixels: dots 25 pixels or more apart are one grid step apart;
        # closer ones are told apart by the page's width, which is then wholly in view.
        grid_cm = grid_mm / 10.0
        if step_x >= 25:
            factor = 1
        else:
            approx = (self.right - self.left + 1) / page_cm[0]
            factor = min((1, 2, 5, 10), key=lambda f: abs(step_x - f * grid_cm * approx))
        spacing = factor * grid_cm
        self.scale = (step_x + step_y) / 2 / spacing  # pixels per cm
        # No dots on the page's edges: the last dot is the last multiple below the edge.
        last_x = (int(page_cm[0] / spacing - 1e-9)) * spacing
        last_y = (int(page_cm[1] / spacing - 1e-9)) * spacing
        # The anchors: the rightmost dot of the row, the topmost dot of the column.
        if abs(xs[-1] + (page_cm[0] - last_x) * self.scale - self.right) > 3:
            raise AssertionError("the page's right edge is not in view")
        if abs(ys[0] - (page_cm[1] - last_y) * self.scale - self.top) > 3:
            raise AssertionError("the page's top edge is not in view")
        self.anchor = (xs[-1] - last_x * self.scale, ys[0] + last_y * self.scale)

    def window_pixel(self, x_cm, y_cm):
        """The pixel of a page point, relative to the window."""
        return (self.anchor[0] + x_cm * self.scale, self.anchor[1] - y_cm * self.scale)

    def screen_pixel(self, x_cm, y_cm):
        px, py = self.window_pixel(x_cm, y_cm)
        return (self.origin[0] + px, self.origin[1] + py)


class Zarvo:
    """One run of the program on a desktop."""

    def __init__(self, desktop, program, shots=None):
        self.d = desktop
        self.program = program
        self.shots = shots
        self.process = None
        self.main = None

    # ---- start and end

    def start(self, *args, cwd=None):
        self.process = self.d.spawn([self.program] + list(args), "zarvo.log", cwd=cwd)
        self.main = poll(self._main_window, 20, what="the main window")
        # Wait for the first paint: the white page.
        poll(lambda: self._has_page(), 10, what="the page preview")
        self.focus()
        return self

    def _main_window(self):
        if self.process.poll() is not None:
            raise AssertionError("the program ended at start with status %d"
                                 % self.process.returncode)
        for w in self.d.visible_windows(self.process.pid):
            if self.d.window_name(w).startswith(TITLE + " ["):
                return w
        return None

    def _has_page(self):
        img = self.capture()
        return img.count(0, 0, img.width - 1, img.height - 1, is_white) > 10000

    def wait_exit(self, timeout=15):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise WaitTimeout("the program did not end")

    # ---- windows

    def windows(self):
        if self.process.poll() is not None:
            raise AssertionError("the program ended unexpectedly (status %d)"
                                 % self.process.returncode)
        return self.d.visible_windows(self.process.pid)

    def title(self):
        return self.d.window_name(self.main)

    def wait_title(self, title, timeout=10):
        try:
            poll(lambda: self.title() == title, timeout, what="the title %r" % title)
        except WaitTimeout:
            raise WaitTimeout("the title is %r, not %r" % (self.title(), title))

    def focus(self):
        self.d.focus(self.main)

    def wait_window(self, name, timeout=10):
        """A visible window of the program with exactly this title (a dialog or message box)."""
        def find():
            for w in self.windows():
                if w != self.main and self.d.window_name(w) == name:
                    return w
            return None
        wid = poll(find, timeout, what="the window %r" % name)
        # Typing goes to the dialog only once it has the focus.
        poll(lambda: self.d.focused() == wid, 5, what="the focus on %r" % name)
        return wid

    def wait_gone(self, wid, timeout=10):
        # A window goes also when its answer ends the program.
        poll(lambda: self.process.poll() is not None or wid not in self.windows(), timeout,
             what="window %d to close" % wid)

    def popups(self):
        """Open menus: windows of the program without a title of their own that are not
        tool tips (a menu's window type is not kept up to date when Qt shows it again)."""
        if self.process.poll() is not None:
            return []  # a menu entry that ends the program closes its menus too
        return [w for w in self.windows()
                if w != self.main and self.d.window_name(w) == "zarvo"
                and "TOOLTIP" not in self.d.window_type(w)]

    def wait_popups(self, count, timeout=10):
        try:
            poll(lambda: len(self.popups()) == count, timeout, what="%d open menus" % count)
        except WaitTimeout:
            seen = [(w, self.d.window_name(w), self.d.window_type(w).strip())
                    for w in self.windows()]
            raise WaitTimeout("not %d open menus; the windows: %r" % (count, seen))

    def capture(self, wid=None):
        return self.d.capture(wid or self.main)

    def screenshot(self, name, wid=None):
        """Saves a screenshot of a window into the screenshot folder."""
        img = self.capture(wid)
        if self.shots:
            os.makedirs(self.shots, exist_ok=True)
            img.save_png(os.path.join(self.shots, name + ".png"))
        return img

    # ---- menus and toolbar

    def menu(self, *keys):
        """Opens a main menu with Alt and its access key, then presses the keys of the entry
        (and of submenu entries) one after the other. A main menu entry that acts at once
        ("&Info") has only its access key."""
        self.focus()
        self.d.key("alt+" + keys[0])
        if len(keys) == 1:
            return
        self.wait_popups(1)
        for depth, k in enumerate(keys[1:]):
            self.d.key(k)
            if depth < len(keys) - 2:
                self.wait_popups(depth + 2)
        poll(lambda: not self.popups(), 10, what="the menu to close")

    def toolbar_button(self, name):
        """The screen position of a toolbar button's centre. The toolbar is found in a
        screenshot: the row of button pictures between the menu bar and the preview."""
        img = self.capture()
        x0, y0, _, _ = self.d.geometry(self.main)
        face = img.pixel(img.width - 3, 40)

        def ink(r, g, b):
            return max(abs(r - face[0]), abs(g - face[1]), abs(b - face[2])) > 60

        def row_ink(y):
            return img.count(0, y, 460, y, ink) > 0

        # The preview's first row: the white page or the top of its scale.
        top_of_preview = next(y for y in range(img.height)
                              if img.count(0, y, img.width - 1, y, is_white) > 0.3 * img.width)
        # Going up from there: the first band of rows with button pictures (a pressed
        # button's frame makes thin bands of its own above and below).
        band, y = None, top_of_preview - 3
        while y > 0 and band is None:
            while y > 0 and not row_ink(y):
                y -= 1
            bottom = y
            while y > 0 and row_ink(y):
                y -= 1
            if bottom - y >= 12:
                band = (y + 1, bottom)
        if band is None:
            raise AssertionError("no toolbar found")
        cy = (band[0] + band[1]) / 2
        left = min(x for x in range(0, 460) if img.count(x, band[0], x, band[1], ink) > 0)
        # The first picture sits 3.5 pixels into the first button, which is at x 3.
        row_x = left - 3.5 - TOOLBAR["ClearBtn"]
        return (x0 + row_x + TOOLBAR[name] + 15.5, y0 + cy)

    def click_toolbar(self, name):
        x, y = self.toolbar_button(name)
        self.d.click(x, y)

    # ---- dialogs

    def message(self, timeout=10):
        """Waits for a message box of the program; returns its window and its text, copied to
        the clipboard as a person would (Ctrl+C)."""
        wid = self.wait_window(TITLE, timeout)
        return wid, self.copy_text()

    def message_titled(self, title, timeout=10):
        wid = self.wait_window(title, timeout)
        return wid, self.copy_text()

    def copy_text(self):
        """Presses Ctrl+C in the focused window and returns what it put on the clipboard."""
        marker = "zarvo-e2e-%d" % os.getpid()
        holder = self.d.spawn(["xclip", "-quiet", "-selection", "clipboard", "-i"],
                              "xclip.log", stdin=subprocess.PIPE)
        holder.stdin.write(marker.encode())
        holder.stdin.close()
        poll(lambda: self.clipboard() == marker, 5, what="the clipboard to be ours")
        self.d.key("ctrl+c")
        # The program takes the clipboard over; the holder then ends by itself.
        try:
            holder.wait(5)
        except subprocess.TimeoutExpired:
            raise WaitTimeout("Ctrl+C put nothing on the clipboard")
        return self.clipboard()

    def clipboard(self):
        r = subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=self.d.env,
                           capture_output=True, timeout=10)
        return r.stdout.decode("utf-8", errors="replace") if r.returncode == 0 else ""

    def answer(self, wid, key):
        self.d.key(key)
        self.wait_gone(wid)

    def file_dialog(self, title, path, shot=None, read_proposal=True):
        """Types a full path into Qt's file dialog over the proposed name and confirms with
        Enter. Returns the name the dialog proposed (copied from the field, which must not be
        empty then)."""
        wid = self.wait_window(title)
        self.d.key("ctrl+a")
        proposed = self.copy_text() if read_proposal else None
        self.d.type(path)
        if shot:
            self.screenshot(shot, wid)
        self.d.key("Return")
        self.wait_gone(wid)
        return proposed

    # ---- the preview

    def page_map(self, page_cm, grid_mm=5):
        """The view's mapping, once two screenshots in a row agree on it (the window may
        still be taking its size)."""
        x0, y0, _, _ = self.d.geometry(self.main)
        last = [None]

        def settled():
            pm = PageMap(self.capture(), (x0, y0), page_cm, grid_mm)
            prev, last[0] = last[0], pm
            if prev and abs(prev.scale - pm.scale) < 0.01 and \
                    max(abs(a - b) for a, b in zip(prev.anchor, pm.anchor)) < 0.5:
                return pm
            return None
        return poll(settled, 10, interval=0.1, what="the preview to settle")

    def wait_warp(self, before):
        """A placement begins with the pointer moved onto the new item, away from where it
        was (before) when the command was confirmed."""
        return poll(lambda: self.d.pointer() != before or None, 10,
                    what="the pointer to jump onto the new item")

    def edge_share(self, img, pm, x_cm, y0_cm, y1_cm, match, vertical=True):
        """The share of pixels that match along a line of the page (within a pixel)."""
        if vertical:
            px, pa = pm.window_pixel(x_cm, y0_cm)
            _, pb = pm.window_pixel(x_cm, y1_cm)
            lo, hi = sorted((int(round(pa)), int(round(pb))))
            lo, hi = lo + 3, hi - 3
            n = sum(1 for y in range(lo, hi + 1)
                    if any(match(*img.pixel(int(round(px)) + dx, y)) for dx in (-1, 0, 1)))
        else:
            pa, py = pm.window_pixel(y0_cm, x_cm)
            pb, _ = pm.window_pixel(y1_cm, x_cm)
            lo, hi = sorted((int(round(pa)), int(round(pb))))
            lo, hi = lo + 3, hi - 3
            n = sum(1 for x in range(lo, hi + 1)
                    if any(match(*img.pixel(x, int(round(py)) + dy)) for dy in (-1, 0, 1)))
        return n / max(hi - lo + 1, 1)

    def frame_at(self, pm, origin, size, match, share):
        """Whether a rectangle's left and bottom edges (as long as size) are drawn in the
        colour."""
        img = self.capture()
        x, y = origin
        w, h = size
        left = self.edge_share(img, pm, x, y, y + h, match)
        bottom = self.edge_share(img, pm, y, x, x + w, match, vertical=False)
        return left >= share and bottom >= share

    def dark_pixels(self, pm, corner, size):
        """Dark pixels in a rectangle of the page (text, and the few grid dots in it)."""
        img = self.capture()
        (x0, y1), (x1, y0) = pm.window_pixel(*corner), pm.window_pixel(corner[0] + size[0],
                                                                        corner[1] + size[1])
        return img.count(int(x0), int(y0), int(x1), int(y1), is_dark)

    def drop(self, pm, grid_point, size, kind="eps"):
        """Moves an item that is being placed onto a grid point and drops it with a left click.
        The pointer aims 2 mm up and right of the point, the grid snaps it back: the frame
        shows the snapped place before the click. For a text, size is the part of its frame
        near the corner that is checked, and the area where its letters must appear."""
        gx, gy = grid_point
        tx, ty = pm.screen_pixel(gx + 0.2, gy + 0.2)
        before = self.dark_pixels(pm, grid_point, size) if kind == "text" else 0

        # Motion reports reach the preview only once the placement runs: move until the frame
        # follows.
        def frame_follows():
            self.d.move(tx + 1, ty)
            self.d.move(tx, ty)
            return self.frame_at(pm, (gx, gy), size, is_xor_frame, 0.6)
        poll(frame_follows, 10, interval=0.2, what="the placement frame at %r" % (grid_point,))
        self.d.xdotool("click", 1)
        if kind == "eps":
            poll(lambda: self.frame_at(pm, (gx, gy), size, is_red, 0.25), 10,
                 what="the EPS box drawn at %r" % (grid_point,))
        else:
            # The frame's blue edges go; the letters come.
            poll(lambda: not self.frame_at(pm, (gx, gy), size, is_xor_frame, 0.6)
                 and self.dark_pixels(pm, grid_point, size) > before + 20, 10,
                 what="the text drawn at %r" % (grid_point,))

    def right_click(self, pm, point):
        """A right click on a page point: the item's menu or question opens."""
        x, y = pm.screen_pixel(*point)
        self.d.click(x, y, button=3)

    def text_dialog_button(self, wid, index):
        """The screen position of a button in the row below the text dialog's entry field
        (0 the character table, 1 superscript, 2 subscript), found in its screenshot: the
        groups of drawn columns in that row, from the left."""
        img = self.capture(wid)
        x0, y0, _, _ = self.d.geometry(wid)
        face = img.pixel(2, img.height - 2)

        def ink(r, g, b):
            return max(abs(r - face[0]), abs(g - face[1]), abs(b - face[2])) > 40

        # The entry field: the rows that are white across most of the width.
        field = [y for y in range(img.height)
                 if img.count(0, y, img.width - 1, y, is_white) > 0.8 * img.width]
        top, bottom = field[-1] + 6, img.height - 4
        groups, start, gap = [], None, 0
        for x in range(img.width):
            if img.count(x, top, x, bottom, ink):
                if start is None:
                    start = x
                gap, end = 0, x
            elif start is not None:
                gap += 1
                if gap > 5:
                    groups.append((start, end))
                    start = None
        if start is not None:
            groups.append((start, end))
        if len(groups) <= index:
            raise AssertionError("the text dialog's buttons were not found: %r" % groups)
        rows = [y for y in range(top, bottom + 1)
                if img.count(groups[index][0], y, groups[index][1], y, ink)]
        return (x0 + (groups[index][0] + groups[index][1]) / 2, y0 + (rows[0] + rows[-1]) / 2)


# ------------------------------------------------------------------------------ print checks
def job_blocks(job):
    """The print job's header lines, and the lines of each item's block."""
    lines = job.split(b"\r\n")
    if lines and lines[-1] == b"":
        lines.pop()
    if not lines or lines[-1] != b"showpage end":
        raise AssertionError("the job does not end with showpage end")
    body = lines[:-1]
    first = body.index(b"") if b"" in body else len(body)
    header, blocks = body[:first], []
    for line in body[first:]:
        if line == b"":
            blocks.append([])
        else:
            blocks[-1].append(line)
    return header, blocks


def single_item_job(job, index):
    """The job with only one of its items: the page as the printer draws that item."""
    header, blocks = job_blocks(job)
    return b"\r\n".join(header + [b""] + blocks[index] + [b"showpage end", b""])


def gs_bbox(ps_path, media_pt):
    """The bounding box of what Ghostscript draws (points, on a page of media_pt)."""
    r = subprocess.run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=bbox",
                        "-dDEVICEWIDTHPOINTS=%g" % media_pt[0],
                        "-dDEVICEHEIGHTPOINTS=%g" % media_pt[1], "-dFIXEDMEDIA", ps_path],
                       capture_output=True, timeout=60)
    text = (r.stdout + r.stderr).decode(errors="replace")
    if r.returncode != 0 or "Error" in text:
        raise AssertionError("Ghostscript failed on %s:\n%s" % (ps_path, text))
    m = re.search(r"%%HiResBoundingBox:\s*(\S+)\s+(\S+)\s+(\S+)\s+(\S+)", text)
    if not m:
        raise AssertionError("no bounding box from Ghostscript:\n" + text)
    return tuple(float(v) for v in m.groups())


def gs_text(ps_path, media_pt):
    """Ghostscript's text output: (text, font, size, x, baseline y) of each span, in points
    from the page's lower-left corner."""
    r = subprocess.run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=txtwrite",
                        "-dTextFormat=0", "-dDEVICEWIDTHPOINTS=%g" % media_pt[0],
                        "-dDEVICEHEIGHTPOINTS=%g" % media_pt[1], "-dFIXEDMEDIA",
                        "-sOutputFile=-", ps_path], capture_output=True, timeout=60)
    out = r.stdout.decode("latin-1")
    if r.returncode != 0:
        raise AssertionError("Ghostscript failed: " + r.stderr.decode(errors="replace"))
    spans = []
    span = r'<span bbox="(\S+) (\S+) (\S+) (\S+)" font="([^"]*)" size="([^"]*)">(.*?)</span>'
    for m in re.finditer(span, out, re.S):
        chars = "".join(c for c in re.findall(r'c="(.*?)"/>', m.group(7)))
        chars = (chars.replace("&quot;", '"').replace("&lt;", "<").replace("&gt;", ">")
                 .replace("&amp;", "&"))
        x0, y0 = float(m.group(1)), float(m.group(2))
        spans.append((chars, m.group(5), float(m.group(6)), x0, media_pt[1] - y0))
    return spans
