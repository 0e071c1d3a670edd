#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""What the web page weighs, as a browser downloads it: each file of the page's folder raw
and compressed (gzip -9), and the total of what a visit transfers before the game plays
(HTML, CSS, scripts, WebAssembly). Given a module built with its functions' names (configure
the web preset with -DVANDREL_WEB_NAMES=ON), also its largest functions and sections.

    bench/page_size.py build-web/site [NAMED.wasm]
"""
import gzip
import os
import sys

PLAYED = (".html", ".css", ".js", ".wasm")  # fetched before the game plays
SECTIONS = {0: "custom (names)", 1: "types", 2: "imports", 3: "functions", 4: "table",
            5: "memory", 6: "globals", 7: "exports", 9: "elements", 10: "code", 11: "data"}


def leb(data, at):
    """An unsigned LEB128 number at `at`: its value and where the next begins."""
    value = shift = 0
    while True:
        byte = data[at]
        at += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if byte < 0x80:
            return value, at


def functions(data):
    """(sections: {name: bytes}, [(bytes, function name)]) of a module with a name section."""
    sections, bodies, names, imported = {}, [], {}, 0
    at = 8
    while at < len(data):
        kind, at = data[at], at + 1
        size, at = leb(data, at)
        end = at + size
        sections[SECTIONS.get(kind, kind)] = sections.get(SECTIONS.get(kind, kind), 0) + size
        if kind == 2:  # imports: functions count before the module's own
            count, p = leb(data, at)
            for _ in range(count):
                for _field in range(2):
                    length, p = leb(data, p)
                    p += length
                what, p = data[p], p + 1
                if what == 0:
                    imported += 1
                    _, p = leb(data, p)
                elif what in (1, 2):  # table, memory: limits
                    p += what == 1
                    flags, p = leb(data, p)
                    _, p = leb(data, p)
                    if flags & 1:
                        _, p = leb(data, p)
                else:  # global
                    p += 2
        elif kind == 10:
            count, p = leb(data, at)
            for _ in range(count):
                length, body = leb(data, p)
                bodies.append(body - p + length)
                p = body + length
        elif kind == 0:
            length, p = leb(data, at)
            if data[p:p + length] == b"name":
                p += length
                while p < end:
                    sub, p = data[p], p + 1
                    length, p = leb(data, p)
                    if sub == 1:
                        count, q = leb(data, p)
                        for _ in range(count):
                            index, q = leb(data, q)
                            length2, q = leb(data, q)
                            names[index] = data[q:q + length2].decode("utf-8", "replace")
                            q += length2
                    p += length
        at = end
    return sections, sorted(((size, names.get(imported + i, f"function {imported + i}"))
                             for i, size in enumerate(bodies)), reverse=True)


def main(argv):
    if len(argv) not in (2, 3) or not os.path.isdir(argv[1]):
        print(__doc__, file=sys.stderr)
        return 2
    played = 0
    for name in sorted(os.listdir(argv[1])):
        with open(os.path.join(argv[1], name), "rb") as f:
            raw = f.read()
        packed = len(gzip.compress(raw, 9, mtime=0))
        if name.endswith(PLAYED):
            played += packed
        print(f"{name:24} {len(raw):8} bytes {packed:8} gzip -9")
    print(f"{'HTML, CSS, scripts, wasm':24} {'':14} {played:8} gzip -9 (goal 80 KB: 81920)")
    if len(argv) == 3:
        with open(argv[2], "rb") as f:
            sections, bodies = functions(f.read())
        print("sections: " + ", ".join(f"{k} {v}" for k, v in sections.items()))
        groups = {}
        for size, name in bodies:
            group = ("the game" if "vandrel" in name else "C++ library" if "std::" in name
                     or "cxxabi" in name or "__cxa" in name else "runtime")
            groups[group] = groups.get(group, 0) + size
        print("code by origin: " + ", ".join(f"{k} {v}" for k, v in groups.items()))
        for size, name in bodies[:25]:
            print(f"{size:8}  {name[:110]}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
