"""End-to-end journeys of paper sizes, errors and placement, in a real X window.

Run one journey:  ZARVO_PROGRAM=build/zarvo python3 tests/e2e/journeys_placement.py PaperJourney
"""

import os
import subprocess
import sys
import time

# The helpers beside this file; no byte-code files are written into the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from desktop import descendants, poll, still_running  # noqa: E402
from journeys import (A4, Journey, eps_size, grid_ceil, main,  # noqa: E402
                      make_graphviz_eps, read_ini)
from zarvoapp import POINTS_PER_CM, TITLE, is_red, is_xor_frame, job_blocks  # noqa: E402


class PaperJourney(Journey):
    """An individual paper size in landscape, zoomed in and scrolled to the far corner, where
    an EPS file is placed; printed, it lies in that corner."""

    def test_paper(self):
        eps = os.path.join(self.docs, "baum.eps")
        subprocess.run(["dot", "-Teps", "-o", eps], input=b"digraph { a -> b; a -> c; }",
                       check=True, capture_output=True, timeout=60)
        size = eps_size(eps)
        self.large_window_config()
        app = self.app.start()
        d = self.desktop

        # 16 x 24 cm, turned to landscape: a page 24 cm wide and 16 cm high.
        app.menu("s", "o", "i")
        wid = app.wait_window(TITLE)
        d.key("ctrl+a")
        d.type("24.0")
        d.key("Tab", "ctrl+a")
        d.type("16.0")
        d.key("Return")
        app.wait_gone(wid)
        app.click_toolbar("QuerBtn")
        page = (24.0, 16.0)
        whole = poll(lambda: self.page_map_or_none(page), 10, what="the landscape page")
        ratio = (whole.right - whole.left + 1) / (whole.bottom - whole.top + 1)
        self.assertAlmostEqual(24.0 / 16.0, ratio, delta=0.03)

        # Zoom in; the vertical scroll bar has the keyboard: Home goes to the top; the
        # horizontal one is dragged to its right end.
        app.click_toolbar("ZoomIn")
        poll(lambda: self.hscrollbar_row() is not None, 10, what="the scroll bars")
        app.focus()
        d.key("Home")
        row = self.hscrollbar_row()
        x0, y0, w, _ = d.geometry(app.main)
        d.move(x0 + 30, y0 + row)
        d.xdotool("mousedown", 1)
        d.move(x0 + w * 0.6, y0 + row)
        d.move(x0 + w - 30, y0 + row)
        d.xdotool("mouseup", 1)
        zoomed = poll(lambda: self.page_map_or_none(page), 10,
                      what="the page's top right corner in view")
        self.assertGreater(zoomed.scale, 1.8 * whole.scale, "the view is not zoomed in")
        app.screenshot("main-window-zoomed")

        corner = (page[0] - grid_ceil(size[0]), page[1] - grid_ceil(size[1]))
        self.insert_eps(eps, first=True)
        app.drop(zoomed, corner, size)

        # The whole page again: the box is in the far corner.
        app.click_toolbar("SpeedButton1")
        poll(lambda: app.frame_at(whole, corner, size, is_red, 0.25), 10,
             what="the box in the corner of the whole page")

        self.select_file_printer()
        out = os.path.join(self.docs, "quer.ps")
        job = self.print_to_file(out)
        header, blocks = job_blocks(job)
        self.assertIn(b"%%BoundingBox: 0 0 680 454", header)
        self.assertIn(b"16.0 cm 0 translate 90 rotate", header)
        width_pt = 16.0 * POINTS_PER_CM
        self.assert_eps_printed_at(job, 0, eps, corner, (width_pt, 24.0 * POINTS_PER_CM),
                                   landscape_width_pt=width_pt)

        app.click_toolbar("EndBtn")
        wid, _ = app.message()
        app.answer(wid, "alt+n")
        self.assertEqual(0, app.wait_exit())
        config = read_ini(self.ini)["config"]
        self.assertEqual(("1", "16.0", "24.0"),
                         (config["landscape"], config["paperwidth"], config["paperheight"]))

    def page_map_or_none(self, page):
        try:
            return self.app.page_map(page)
        except AssertionError:
            return None

    def hscrollbar_row(self):
        """The row through the horizontal scroll bar: right below the white page that fills
        the zoomed preview; unlike the face colour below a whole page, the bar is drawn in
        greys of its own for its whole height."""
        img = self.app.capture()
        face = img.pixel(img.width - 3, 40)
        x = img.width // 2
        column = [img.pixel(x, y) for y in range(img.height)]
        white = [y for y, p in enumerate(column) if p == (255, 255, 255)]
        if not white or white[-1] + 12 >= img.height:
            return None
        band = column[white[-1] + 1:white[-1] + 11]
        if any(p == face for p in band):
            return None
        return white[-1] + 8


class ErrorJourney(Journey):
    """The errors a person meets: a file that is not PostScript, an EPS file without a
    bounding box, an EPS file deleted before printing, a recent sheet that was deleted, and
    a printer port that does not exist."""

    def test_errors(self):
        notps = os.path.join(self.docs, "liste.eps")
        with open(notps, "w") as f:
            f.write("Einkaufsliste\nBrot\n")
        nobbox = os.path.join(self.docs, "ohne.eps")
        with open(nobbox, "w") as f:
            f.write("%!PS-Adobe-3.0 EPSF-3.0\n%%Title: ohne\nnewpath 0 0 moveto 100 100 lineto "
                    "stroke\n%%EOF\n")
        kept = os.path.join(self.docs, "bleibt.zvs")
        with open(kept, "w") as f:
            f.write("[Global]\nCount=1\nLandscape=0\nPaperHeight=29.6\nPaperWidth=21.0\n"
                    "[Frame01]\nName=Noch da\nBBox=2\nXOrigin=3.0\nYOrigin=3.0\n")
        gone = os.path.join(self.docs, "weg.zvs")
        self.large_window_config("[Config]\nPrinter=4\n[Files]\nHistory0=%s\nHistory1=%s\n"
                                 % (gone, kept))
        app = self.app.start()
        d = self.desktop
        pm = app.page_map(A4)

        # Not PostScript: refused, nothing is inserted.
        app.menu("f", "p")
        app.file_dialog("EPS-Datei auswählen", notps, read_proposal=False)
        wid, text = app.message()
        self.assertIn("Kein Postscript in", text)
        self.assertIn("liste.eps", text)
        app.screenshot("dialog-error", wid)
        app.answer(wid, "Return")
        self.assertEqual(0, self.red_pixels(pm), "something was inserted")

        # No bounding box: the standard size, after a message.
        app.menu("f", "p")
        before = d.pointer()
        app.file_dialog("EPS-Datei auswählen", nobbox)
        wid, text = app.message()
        self.assertIn("Keine Bounding Box in", text)
        self.assertIn("ohne.eps\nVerwende Standardgröße", text)
        app.answer(wid, "Return")
        app.wait_warp(before)
        app.drop(pm, (5.0, 5.0), (10.0, 10.0))

        # Its file deleted before printing: the print names it and writes nothing.
        os.remove(nobbox)
        self.select_file_printer()
        out = os.path.join(self.docs, "fehlt.ps")
        app.click_toolbar("PrintBtn")
        wid = app.wait_window("Postsript-Ausgabe")
        d.key("ctrl+a")
        d.type(out)
        app.answer(wid, "Return")
        wid, text = app.message()
        self.assertIn("nicht gefunden!", text)
        self.assertIn(nobbox, text)
        app.answer(wid, "Return")
        self.assertFalse(os.path.exists(out))

        # A recent sheet that was deleted: a message, and the entry leaves the list; the next
        # entry moves up and opens.
        app.menu("f", "i", "1")
        wid, text = app.message()
        self.assertIn("Datei:%s nicht gefunden!" % gone, text)
        app.screenshot("dialog-message", wid)
        app.answer(wid, "Return")
        self.assertEqual(TITLE + " [unbenannt]", app.title())
        # The sheet here has changes: they are offered for saving first (No: they go).
        app.menu("f", "i", "1")
        wid, text = app.message()
        self.assertIn("Blatt speichern?", text)
        app.answer(wid, "alt+n")
        app.wait_title(TITLE + " [bleibt.zvs]")

        # A printer port that does not exist: LPT4 is /dev/lp3, missing on this machine, and
        # there is no print server to send it to the default printer: the message says what
        # to do.
        if os.path.exists("/dev/lp3"):
            self.skipTest("this machine has a printer device /dev/lp3; nothing is sent to it")
        self.select_printer_entry(4)
        app.click_toolbar("PrintBtn")
        wid, text = app.message()
        self.assertIn("Ausdruck auf LPT4 starten?", text)
        app.answer(wid, "alt+y")
        wid, text = app.message()
        self.assertIn("Für LPT4 gibt es keinen Drucker", text)
        self.assertIn("[Ports]", text)
        app.answer(wid, "Return")
        self.assertFalse(os.path.exists("/dev/lp3"), "the print made a file /dev/lp3")
        self.assertEqual([], [n for n in os.listdir("/dev") if n.startswith("lp3")])

        app.menu("f", "e")
        self.assertEqual(0, app.wait_exit())
        files = read_ini(self.ini)["files"]
        self.assertEqual({"history0": kept}, files)

    def red_pixels(self, pm):
        """Red on the page: EPS boxes."""
        img = self.app.capture()
        return img.count(pm.left, pm.top, pm.right, pm.bottom, is_red)

    def select_printer_entry(self, port):
        """Settings, Printer, LPT1 to LPT4 by moving down from the first entry."""
        self.app.focus()
        self.desktop.key("alt+s")
        self.app.wait_popups(1)
        self.desktop.key("p")
        self.app.wait_popups(2)
        self.desktop.key(*(["Down"] * (port - 1) + ["Return"]))
        poll(lambda: not self.app.popups(), 10, what="the menu to close")


class PlacementJourney(Journey):
    """Items picked up and dropped again without a move stay where they are; Shift and Ctrl
    leave a new item attached to the mouse; an item dropped beyond the page lands where its
    frame was shown."""

    def test_placement(self):
        corners = [(1.0, 0.5), (15.0, 20.0), (5.0, 10.0), (10.5, 25.5), (2.5, 14.0),
                   (12.0, 3.5), (7.0, 27.0), (16.5, 8.0)]
        sheet = os.path.join(self.docs, "acht.zvs")
        text = "[Global]\nCount=%d\nLandscape=0\nPaperHeight=29.6\nPaperWidth=21.0\n" \
            % len(corners)
        for n, (x, y) in enumerate(corners, 1):
            text += "[Frame%02d]\nName=T%d\nBBox=2\nXOrigin=%.1f\nYOrigin=%.1f\n" % (n, n, x, y)
        with open(sheet, "w", encoding="latin-1") as f:
            f.write(text)
        eps = os.path.join(self.docs, "graph.eps")
        make_graphviz_eps(eps)
        size = eps_size(eps)
        app = self.app.start(sheet)
        app.wait_title(TITLE + " [acht.zvs]")
        pm = app.page_map(A4)
        d = self.desktop

        # Twice round: a click on each text picks it up and puts the pointer on its corner; a
        # second click there drops it.
        for _ in range(2):
            for x, y in corners:
                before = d.pointer()
                d.click(*pm.screen_pixel(x + 0.15, y + 0.15))
                app.wait_warp(before)
                d.xdotool("click", 1)
        app.menu("f", "s")
        poll(lambda: os.path.getsize(sheet) > len(text) + 100, 10, what="the sheet saved")
        ini = read_ini(sheet)
        for n, (x, y) in enumerate(corners, 1):
            section = ini["frame%02d" % n]
            self.assertEqual(("%.1f" % x, "%.1f" % y), (section["xorigin"], section["yorigin"]),
                             "item %d moved" % n)

        # A new box: Shift and Ctrl pressed while it follows the mouse do not drop it.
        self.insert_eps(eps, first=True)
        d.key("shift", "ctrl", "shift")
        app.drop(pm, (6.0, 4.0), size)

        # Another, dropped with the pointer beyond the page's top right corner.
        self.insert_eps(eps)
        x0, y0, w, _ = d.geometry(app.main)
        px, py = pm.screen_pixel(A4[0] + 5.0, A4[1] - 0.5)
        d.move(min(px, x0 + w - 10), py)
        d.move(min(px, x0 + w - 10) - 1, py)
        d.xdotool("click", 1)

        app.menu("f", "s")
        poll(lambda: read_ini(sheet)["global"].get("count") == str(len(corners) + 2), 10,
             what="the sheet saved with both new boxes")
        ini = read_ini(sheet)
        placed = ini["frame%02d" % (len(corners) + 1)]
        self.assertEqual(("6.0", "4.0"), (placed["xorigin"], placed["yorigin"]))
        far = ini["frame%02d" % (len(corners) + 2)]
        # Flush against the plot window's top right, 0.25 cm beyond the page, as its frame.
        self.assertLessEqual(float(far["xorigin"]) + size[0], A4[0] + 0.25 + 0.05)
        self.assertLessEqual(float(far["yorigin"]) + size[1], A4[1] + 0.25 + 0.05)
        self.assertGreater(float(far["xorigin"]) + size[0], A4[0] - 0.5)

        app.click_toolbar("EndBtn")
        self.assertEqual(0, app.wait_exit())


def is_green(r, g, b):
    return g > 120 and r < 60 and b < 60


def is_orange(r, g, b):
    return r > 200 and 110 < g < 190 and b < 60


class SlowRenderJourney(Journey):
    """While Ghostscript is still drawing a slow EPS file for the preview, another box is
    picked up, moved in steps and dropped: the window follows every step at once, the box
    lands where its frame was shown, the slow drawing arrives afterwards, and no Ghostscript
    outlives the program."""

    needs = ("Xvfb", "xdotool", "xwd", "gs")
    # How long the slow file keeps Ghostscript busy (well inside the render time limit), and
    # how soon the window must show each step, allowing for a loaded machine.
    RENDER_MS = 10000
    BOUND_S = 1.0

    def test_slow_render(self):
        slow, quick = os.path.join(self.docs, "langsam.eps"), os.path.join(self.docs, "flink.eps")
        eps = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 {} {}\n{}\n%%EOF\n"
        with open(slow, "w") as f:
            # Busy on the clock, then a green square.
            f.write(eps.format(170, 170, "/t0 realtime def { realtime t0 sub %d ge { exit } if "
                               "} loop 0 0.7 0 setrgbcolor 20 20 130 130 rectfill"
                               % self.RENDER_MS))
        with open(quick, "w") as f:
            f.write(eps.format(142, 85, "1 0.6 0 setrgbcolor 20 20 102 45 rectfill"))
        slow_at, slow_size, size = (11.0, 18.0), (6.0, 6.0), (5.0, 3.0)
        sheet = os.path.join(self.docs, "langsam.zvs")
        text = "[Global]\nCount=2\nLandscape=0\nPaperHeight=29.6\nPaperWidth=21.0\n"
        for n, (name, (x, y), (w, h)) in enumerate(((slow, slow_at, slow_size),
                                                   (quick, (2.0, 3.0), size)), 1):
            text += ("[Frame%02d]\nName=%s\nBBox=1\nXOrigin=%.1f\nYOrigin=%.1f\nXOffset=0.0\n"
                     "YOffset=0.0\nXSize=%.1f\nYSize=%.1f\n" % (n, name, x, y, w, h))
        with open(sheet, "w", encoding="latin-1") as f:
            f.write(text)
        self.large_window_config("[Config]\nShowContent=1\n")
        app = self.app.start(sheet)
        d = self.desktop
        pm = app.page_map(A4)
        seen = {}  # every Ghostscript the program started: id -> start tick

        def kill_left_over():  # only after a failure: none is left otherwise
            for pid, tick in seen.items():
                if still_running(pid, tick):
                    subprocess.run(["kill", "-9", str(pid)], capture_output=True)
        self.addCleanup(kill_left_over)

        def slow_render_runs():
            procs = descendants(app.process.pid)
            found = False
            for pid, (_, name, _, tick) in procs.items():
                if name != "gs":
                    continue
                seen[pid] = tick
                # The slow file is named by Ghostscript's command line or its fence's.
                p = pid
                while p in procs:
                    found = found or slow in procs[p][2]
                    p = procs[p][0]
            return found

        def ink(corner, extent, match):
            img = app.capture()
            (x0, y1), (x1, y0) = pm.window_pixel(*corner), pm.window_pixel(
                corner[0] + extent[0], corner[1] + extent[1])
            return img.count(int(x0), int(y0), int(x1), int(y1), match)

        def within_bound(what, condition):
            start = time.monotonic()
            poll(condition, 15, interval=0.02, what=what)
            took = time.monotonic() - start
            sys.stderr.write("%-40s %.2f s\n" % (what + ":", took))
            self.assertLess(took, self.BOUND_S, "%s took %.2f s while a render ran"
                            % (what, took))

        poll(slow_render_runs, 10, what="Ghostscript drawing the slow file")

        # Picked up: the pointer jumps onto the box's corner and its frame shows.
        x, y = pm.screen_pixel(2.3, 3.3)
        d.move(x, y)
        d.xdotool("click", 1)
        within_bound("the box picked up", lambda: d.pointer() != (round(x), round(y))
                     and app.frame_at(pm, (2.0, 3.0), size, is_xor_frame, 0.6))
        # Moved in steps; the pointer aims 2 mm past a grid point, the frame snaps to it.
        for corner in ((3.0, 4.5), (4.5, 6.5), (6.0, 9.0), (7.0, 11.5), (8.0, 14.5)):
            d.move(*pm.screen_pixel(corner[0] + 0.2, corner[1] + 0.2))
            within_bound("the frame at %r" % (corner,),
                         lambda: app.frame_at(pm, corner, size, is_xor_frame, 0.6))
        d.xdotool("click", 1)
        within_bound("the box dropped", lambda: app.frame_at(pm, (8.0, 14.5), size, is_red, 0.25))
        poll(lambda: ink((8.5, 15.0), (4.0, 2.0), is_orange) > 200, 10,
             what="the quick drawing at the box's new place")
        self.assertEqual(0, ink((12.0, 19.0), (4.0, 4.0), is_green))
        self.assertTrue(slow_render_runs(), "the slow render ended before the drop: make it "
                        "slower, or this journey shows nothing")

        app.menu("f", "s")
        poll(lambda: read_ini(sheet)["frame02"]["xorigin"] != "2.0", 10, what="the sheet saved")
        frame = read_ini(sheet)["frame02"]
        self.assertEqual(("8.0", "14.5"), (frame["xorigin"], frame["yorigin"]))

        poll(lambda: ink((12.0, 19.0), (4.0, 4.0), is_green) > 2000, 2 * self.RENDER_MS / 1000,
             what="the slow drawing")
        app.screenshot("main-window-content")

        # A changed file is drawn again; the program ends in the middle of that render.
        os.utime(slow, ns=(time.time_ns(), time.time_ns()))
        d.click(*pm.screen_pixel(17.0, 5.0))
        poll(slow_render_runs, 10, what="the slow file drawn again")
        app.click_toolbar("EndBtn")
        self.assertEqual(0, app.wait_exit())
        poll(lambda: not [p for p, tick in seen.items() if still_running(p, tick)], 5,
             what="every Ghostscript to end with the program")


if __name__ == "__main__":
    main()
