#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing zarvo need, when missing.
# With the argument "fuzz" also clang with libFuzzer and the sanitizer runtimes (fuzz/run.sh).
set -euo pipefail

packages=(
    build-essential cmake pkg-config ccache
    qt6-base-dev libgl-dev qt6-translations-l10n
    libgtest-dev googletest
    ghostscript imagemagick graphicsmagick psutils time python3-matplotlib poppler-utils
    # printing through CUPS (the client library), and the private CUPS server of the tests:
    # cupsd, its client programs, ippeveprinter as the printer, the filters that convert
    # PostScript for IPP Everywhere printers, and a D-Bus bus for ippeveprinter
    libcups2-dev cups-daemon cups-client cups-ipp-utils cups-filters dbus
    # the page view's EPS drawings: Ghostscript fenced in by bubblewrap; Qt PDF for the
    # benchmark that compares the vector-PDF way
    bubblewrap qt6-pdf-dev
    fonts-liberation fonts-urw-base35 fontconfig
    # end-to-end tests: a real X server driven like a person, EPS files from real programs,
    # and the tools that check the installed desktop files
    python3 xvfb xdotool x11-apps xclip gnuplot-nox graphviz
    desktop-file-utils libxml2-utils shared-mime-info man-db
    util-linux
)
if [ "${1:-}" = fuzz ]; then
    packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
    "${sudo[@]}" apt-get update
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
