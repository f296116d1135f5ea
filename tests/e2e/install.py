"""Desktop integration: `cmake --install` puts the program, its menu entry, icon, sheet file
type and manual page into the usual places, each valid for the tools that read it; `cpack -G DEB`
makes a Debian package of the same files whose program runs from wherever it is unpacked.

Run alone:  ZARVO_BUILD_DIR=build python3 tests/e2e/install.py
"""

import configparser
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

# The helpers beside this file; no byte-code files are written into the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from desktop import Desktop  # noqa: E402
from zarvoapp import TITLE, Zarvo  # noqa: E402

BUILD = os.path.abspath(os.environ.get("ZARVO_BUILD_DIR", "build"))
MIME_NS = "{http://www.freedesktop.org/standards/shared-mime-info}"
SHEET_TYPE = "application/x-zarvo-sheet"


def run(*args, **kw):
    return subprocess.run(list(args), capture_output=True, timeout=120, **kw)


def project_version():
    """The version of the build's project() call: the one place the version is written."""
    with open(os.path.join(BUILD, "CMakeCache.txt")) as f:
        for line in f:
            if line.startswith("CMAKE_PROJECT_VERSION:"):
                return line.strip().split("=", 1)[1]
    raise AssertionError("no project version in " + BUILD)


SHEET = "[Global]\nCount=1\n[Frame01]\nName=Hallo\nBBox=2\nXOrigin=2.0\nYOrigin=2.0\n"


class InstallTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = tempfile.mkdtemp(prefix="zarvo-install-")
        r = run("cmake", "--install", BUILD, "--prefix", cls.prefix)
        if r.returncode != 0:
            shutil.rmtree(cls.prefix)
            raise AssertionError("cmake --install failed:\n" + r.stderr.decode(errors="replace"))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.prefix, ignore_errors=True)

    def path(self, *parts):
        return os.path.join(self.prefix, *parts)

    def test_program(self):
        program = self.path("bin", "zarvo")
        self.assertTrue(os.access(program, os.X_OK))
        r = run(program, "--version")
        self.assertEqual(0, r.returncode)
        self.assertEqual(("zarvo %s\n" % project_version()).encode(), r.stdout)

    def test_menu_entry(self):
        desktop = self.path("share", "applications", "zarvo.desktop")
        r = run("desktop-file-validate", desktop)
        self.assertEqual((0, b""), (r.returncode, r.stdout + r.stderr))
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        with open(desktop, encoding="utf-8") as f:
            entry.read_file(f)
        e = entry["Desktop Entry"]
        self.assertEqual("EPS-Dateien drucken", e["Name"])
        self.assertEqual("Application", e["Type"])
        # The program gets the chosen sheet as its argument.
        self.assertEqual(["zarvo", "%f"], e["Exec"].split())
        self.assertIn(SHEET_TYPE, e["MimeType"].split(";"))
        self.assertTrue(os.path.isfile(
            self.path("share", "icons", "hicolor", "scalable", "apps", e["Icon"] + ".svg")))
        # The menu entries' cache says which program opens a sheet.
        with open(self.path("share", "applications", "mimeinfo.cache")) as f:
            self.assertIn("%s=zarvo.desktop;" % SHEET_TYPE, f.read().split())

    def test_menu_entry_opens_a_sheet(self):
        """As a file manager does: the entry's command line with the sheet for %f."""
        root = tempfile.mkdtemp(prefix="zarvo-install-x-")
        self.addCleanup(shutil.rmtree, root, ignore_errors=True)
        desktop = Desktop(root)
        self.addCleanup(desktop.close)
        sheet = os.path.join(desktop.home, "Gruss.zvs")
        with open(sheet, "w") as f:
            f.write(SHEET)
        entry = configparser.ConfigParser(interpolation=None)
        with open(self.path("share", "applications", "zarvo.desktop"), encoding="utf-8") as f:
            entry.read_file(f)
        command = [sheet if arg == "%f" else arg for arg in entry["Desktop Entry"]["Exec"].split()]
        self.assertEqual("zarvo", command[0])
        app = Zarvo(desktop, self.path("bin", command[0]))
        app.start(*command[1:])
        app.wait_title(TITLE + " [Gruss.zvs]")
        app.click_toolbar("EndBtn")
        self.assertEqual(0, app.wait_exit())

    def test_icon(self):
        icon = self.path("share", "icons", "hicolor", "scalable", "apps", "zarvo.svg")
        r = run("xmllint", "--noout", icon)
        self.assertEqual((0, b""), (r.returncode, r.stderr))
        root = ET.parse(icon).getroot()
        self.assertEqual("{http://www.w3.org/2000/svg}svg", root.tag)
        self.assertEqual("0 0 64 64", root.get("viewBox"))

    def test_sheet_file_type(self):
        package = self.path("share", "mime", "packages", "zarvo.xml")
        r = run("xmllint", "--noout", package)
        self.assertEqual((0, b""), (r.returncode, r.stderr))
        types = ET.parse(package).getroot().findall(MIME_NS + "mime-type")
        self.assertEqual([SHEET_TYPE], [t.get("type") for t in types])
        self.assertEqual(["*.zvs"], [g.get("pattern") for g in types[0].findall(MIME_NS + "glob")])
        # The MIME database built from it maps *.zvs to the sheet type.
        with open(self.path("share", "mime", "globs2")) as f:
            globs = [line.strip().split(":")[1:] for line in f if not line.startswith("#")]
        self.assertIn([SHEET_TYPE, "*.zvs"], globs)
        self.assertTrue(os.path.isfile(self.path("share", "mime", "application",
                                                 SHEET_TYPE.split("/")[1] + ".xml")))

    def test_manual_page(self):
        page = self.path("share", "man", "man1", "zarvo.1")
        env = dict(os.environ, MANPAGER="cat", PAGER="cat", MANWIDTH="80", LC_ALL="C.UTF-8")
        r = run("man", "--warnings", "-l", page, env=env)
        self.assertEqual(0, r.returncode)
        self.assertEqual(b"", r.stderr, "the manual page has faults")
        text = re.sub(r".\x08", "", r.stdout.decode("utf-8"))
        self.assertIn("EPS-Dateien drucken", text)
        # The page carries the version of the build, as --version does.
        self.assertIn("zarvo " + project_version(), text)
        # Every option of the program's own usage text is in the manual page.
        usage = run(self.path("bin", "zarvo"), "--help").stdout.decode("utf-8")
        options = set(re.findall(r"(?<![\w-])--[a-z-]+|(?<![\w-])-o\b", usage))
        self.assertEqual({"--print", "--check", "--preview", "--eps-info", "--help", "--version", "-o",
                          "--size", "--zoom", "--scroll", "--port", "--printers",
                          "--eps-content"}, options)
        for option in options:
            self.assertIn(option, text.replace("\u2010", "-"))


class PackageTest(unittest.TestCase):
    """The Debian package: its files, its fields, and its program run from an unpacked root."""

    def test_debian_package(self):
        out = tempfile.mkdtemp(prefix="zarvo-deb-")
        self.addCleanup(shutil.rmtree, out, ignore_errors=True)
        r = subprocess.run(["cpack", "-G", "DEB", "-B", out, "--config",
                            os.path.join(BUILD, "CPackConfig.cmake")],
                           capture_output=True, timeout=300, cwd=out)
        self.assertEqual(0, r.returncode, (r.stdout + r.stderr).decode(errors="replace"))
        debs = glob.glob(os.path.join(out, "*.deb"))
        self.assertEqual(1, len(debs), os.listdir(out))
        deb = debs[0]

        r = run("dpkg-deb", "-c", deb)
        self.assertEqual(0, r.returncode, r.stderr)
        files = {line.split()[-1] for line in r.stdout.decode().splitlines()
                 if not line.startswith("d")}
        self.assertEqual({"./usr/bin/zarvo",
                          "./usr/share/applications/zarvo.desktop",
                          "./usr/share/icons/hicolor/scalable/apps/zarvo.svg",
                          "./usr/share/man/man1/zarvo.1",
                          "./usr/share/mime/packages/zarvo.xml"}, files)
        fields = run("dpkg-deb", "-f", deb, "Package", "Version", "Depends").stdout.decode()
        self.assertIn("Package: zarvo\n", fields)
        self.assertIn("Version: %s\n" % project_version(), fields)
        self.assertIn("libqt6widgets6", fields)

        root = os.path.join(out, "root")
        r = run("dpkg-deb", "-x", deb, root)
        self.assertEqual(0, r.returncode, r.stderr)
        program = os.path.join(root, "usr", "bin", "zarvo")
        r = run(program, "--version")
        self.assertEqual((0, ("zarvo %s\n" % project_version()).encode()),
                         (r.returncode, r.stdout))
        sheet = os.path.join(out, "Gruss.zvs")
        with open(sheet, "w") as f:
            f.write(SHEET)
        job = os.path.join(out, "Gruss.ps")
        r = run(program, "--print", sheet, "-o", job)
        self.assertEqual((0, b""), (r.returncode, r.stderr))
        with open(job, "rb") as f:
            lines = f.read().split(b"\r\n")
        self.assertEqual([b"%!PS-Adobe", ("%%%%Creator: zarvo %s (EPS-Dateien drucken)"
                                           % project_version()).encode()], lines[:2])
        self.assertIn(b"(Hallo) show", lines)
        self.assertEqual([b"showpage end", b""], lines[-2:])


if __name__ == "__main__":
    unittest.main()
