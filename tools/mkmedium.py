#!/usr/bin/env python3
"""Builds an installation medium from a folder of files and a short description.

    tools/mkmedium.py DESCRIPTION OUT_DIR [--payload DIR] [--setup SETUP.EXE]
                      [--uninstaller UNINSTAL.EXE] [--iso OUT.iso] [--quiet]

The description is a text file of lines; '#' starts a comment line:

    product        Velan Wheel Mouse        [Main] ProductName
    default-path   VELAN                    [Main] DefaultPath
    minimum-space  512                      [Main] MinimumSpace (kilobytes)
    group-name     VELAN.GRP                [Main] GroupName
    group-title    Velan Wheel Mouse        [Main] GroupTitle
    pnp-id         KTX0005                  [Main] PnpID
    oem            0                        [Main] OEM (nonzero hides the footer banner)
    main           Mfg=Velan                any further [Main] key, written as given
    title          Velan Wheel Mouse Setup  [Startup] Title
    utility        VWHEEL.EXE               [Startup] FileName
    control-panel  VWCPL.DLL                [Startup] ControlPanel
    logo           LOGO.BMP                 picture copied beside the program
    payload        payload                  folder of the files (default: payload)
    dir   RootDir  .                        [DirectoryName]: the medium's sub-directory
                                            that holds the key's files (and, for RootDir
                                            and SubDir1-5, the destination's)
    disk  Velan Wheel Mouse Disk 1          starts the next disk, with its label
    file  VWHEEL.EXE  RootDir : Wheel utility
    file  README.TXT  RootDir plain : Read this first
    file  VWMOUSE.SYS WinSystem32Dir keep : Wheel mouse port driver
    item  VWHEEL.EXE, Velan Wheel Mouse, 0  [PM Info] line

Paths in the description are relative to its own folder. A file is taken from
PAYLOAD/<directory name>/<name> and is installed under its name. It is stored
compressed (SZDD, with mscompress) under the name with the last character of its
extension replaced by '_' (VWHEEL.EX_), unless marked 'plain'. A file that compressing
would not make smaller is stored plain under its own name, and so is one whose
compressed form does not expand back whole (mscompress corrupts inputs of 1 to 15
bytes): every compressed file is expanded again and compared.

Every medium gets the uninstaller: the builder adds two lines to the first disk, the
uninstaller (--uninstaller, by default uninstal.exe beside --setup) as UNINSTAL.EXE and a
copy of the medium's SETUP.INF as UNINSTAL.INF, both in the destination itself (RootDir,
which the builder adds as '.' when the description has no directory key for '.'). The
setup installs them like any other file, and the setup's Uninstall entry starts
UNINSTAL.EXE, which removes every file the script names. A file marked 'keep' stays
installed: UNINSTAL.INF alone lists it in an [Uninstall] section the setup does not read
(Keep1=DISK,LINE, ...). A description that names UNINSTAL.EXE or UNINSTAL.INF in the
destination itself is refused: those two are the builder's.

The rooms, counts, directory keys and settings come from the medium format's definition
(res/medium.def), which the setup's headers and string table include too. Values that
the setup would cut, refuse or resolve to nothing are errors here, each with its line,
and so is what the medium checker (tools/mediumcheck.sh --strict) would flag on the
medium written: what this writes is a medium the setup installs completely. A description
without a utility or control-panel line is a package without that program: the setup
registers none, and the builder notes it. --unchecked writes the medium all the same
(for testing the checker). --iso also writes the medium as an ISO 9660 image (with
xorriso or genisoimage), labelled after the first disk. Exit status 0 when the medium was
written, 1 on an error in the description or its files, 2 on wrong usage.
"""
import argparse
import ast
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zlib

# The rooms, counts, directory keys and caption are the setup's own: the medium format's
# definition file, which the setup's headers and string table include too. One fact a line,
# MEDIUM_KIND(argument, ...), arguments C literals or names.
DEFINITION = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "res", "medium.def")


def _definition(path=DEFINITION):
    facts = {}
    with open(path, encoding="latin-1") as f:
        for line in f:
            m = re.match(r"(MEDIUM_\w+)\((.*)\)\s*$", line.strip())
            if m:
                args = re.findall(r'"(?:[^"\\]|\\.)*"|[^,\s][^,]*', m[2])
                facts.setdefault(m[1], []).append(
                    [ast.literal_eval(a) if a[0] in '"0123456789' else a.strip() for a in args])
    return facts


_FACTS = _definition()
N = {name: value for name, value in _FACTS["MEDIUM_NUMBER"]}
DIR_KEYS = [name for _, name, _, _ in sorted(_FACTS["MEDIUM_DIR_KEY"])]
assert len(DIR_KEYS) == N["kDirKeyCount"], "one directory key per index"
# The keys whose directories lie under the destination (RootDir, SubDir1-5).
SUB_DIR_KEYS = [name for _, name, under, _ in sorted(_FACTS["MEDIUM_DIR_KEY"]) if not under]
WINDOWS_SUFFIX = {name: suffix for _, name, under, suffix in _FACTS["MEDIUM_DIR_KEY"] if under}
PATH_ROOM, MAX_DISKS = N["kPathRoom"], N["kMaxDisks"]

# [Main] and [Startup] settings: description word -> (section, key, room in characters
# with the terminator, or None for a number). A setting the description leaves out is
# left out of the script, and the setup takes its own default.
SETTINGS = {word: (section, key, N[room] if room else None)
            for word, section, key, room in _FACTS["MEDIUM_SETTING"]}
CAPTION_SUFFIX = " " + dict(_FACTS["MEDIUM_TEXT"])["IDS_SETUP_PROGRAM"]
NAME_ROOM, DIR_ROOM, DESCRIPTION_ROOM = N["kNameFieldRoom"], N["kDirFieldRoom"], N["kDescriptionRoom"]
LABEL_ROOM, LINE_ROOM = N["kLabelRoom"], N["kTextRoom"]
ITEM_ROOMS = (N["kItemNameRoom"], N["kItemTitleRoom"], N["kItemIconRoom"])


class DescriptionError(Exception):
    pass


def compressed_name(name):
    """VWHEEL.EXE -> VWHEEL.EX_, A.B -> A.B_, README -> README._"""
    base, dot, ext = name.rpartition(".")
    if not dot:
        return name + "._"
    return base + "." + (ext[:2] + "_" if len(ext) >= 3 else ext + "_")


def fits(text, room):
    return len(text.encode("latin-1", "replace")) <= room - 1


def local(dir_name):
    """A directory name of the script (backslashes) as a path below the medium's root."""
    return os.path.normpath(dir_name.replace("\\", "/"))


def parse(path):
    """Reads the description into a dict; raises DescriptionError naming the line."""
    d = {"settings": {}, "main": [], "dirs": {}, "disks": [], "items": [],
         "logo": None, "payload": "payload", "lines": {}}
    with open(path, encoding="latin-1") as f:
        lines = f.read().splitlines()
    for number, raw in enumerate(lines, 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        word, rest = (line.split(None, 1) + [""])[:2]
        rest = rest.strip()

        def fail(message):
            raise DescriptionError(f"{path}:{number}: {message}")

        if word in SETTINGS:
            d["settings"][word] = rest
            d["lines"][word] = number
        elif word == "main":
            if "=" not in rest:
                fail("main needs KEY=VALUE")
            d["main"].append(rest)
        elif word in ("logo", "payload"):
            d[word] = rest
            d["lines"][word] = number
        elif word == "dir":
            key, name = (rest.split(None, 1) + [""])[:2]
            match = [k for k in DIR_KEYS if k.lower() == key.lower()]
            if not match:
                fail(f"unknown directory key {key!r} (one of {', '.join(DIR_KEYS)})")
            name = name.strip()
            if not name:
                fail(f"directory key {key} needs a directory name")
            d["dirs"][match[0]] = name
            d["lines"][match[0]] = number
        elif word == "disk":
            if not rest:
                fail("a disk needs a label")
            d["disks"].append({"label": rest, "files": [], "line": number})
        elif word == "file":
            if not d["disks"]:
                fail("file before the first disk")
            head, colon, description = rest.partition(":")
            if not colon:
                fail("file needs ': DESCRIPTION'")
            words = head.split()
            flags = [w.lower() for w in words[2:]]
            if len(words) < 2 or any(w not in ("plain", "keep") for w in flags):
                fail("file NAME KEY [plain] [keep] : DESCRIPTION")
            key = [k for k in DIR_KEYS if k.lower() == words[1].lower()]
            if not key:
                fail(f"unknown directory key {words[1]!r}")
            d["disks"][-1]["files"].append({
                "name": words[0], "key": key[0], "plain": "plain" in flags,
                "keep": "keep" in flags, "description": description.strip(), "line": number})
        elif word == "item":
            d["items"].append(rest)
            d["lines"][f"item {len(d['items'])}"] = number
        else:
            fail(f"unknown word {word!r}")
    return d


# Where the setup installs when nobody chooses: what a system as set up by default gives
# the script's DefaultPath (the Program Files folder, the Windows directory on drive C:).
# A target path longer than the setup's room there is refused, as the checker reports it.
PROGRAM_FILES, WINDOWS_DIR = "C:\\Program Files", "C:\\WINDOWS"


def default_destination(value):
    """The destination the setup proposes for a DefaultPath value (None: none given)."""
    if value is None:
        return "C:\\VELAN"
    if len(value) > 2 and value[1] == ":":
        return "C:" + value[2:]
    return PROGRAM_FILES + "\\" + value


def normal(path):
    """A path of the script reduced for comparison, as the checker does: upper case,
    without empty and '.' components."""
    return "\\".join(p for p in path.upper().split("\\") if p and p != ".")


def validate(d, path):
    """The rules of the medium format and of the setup, checked before anything is written:
    what the setup would cut, refuse or resolve to nothing, and what the checker
    (tools/checker, with --strict) flags. One message per mistake, each with the line of
    the description that makes it."""
    errors = []
    s = d["settings"]

    def error(where, message):
        line = d["lines"].get(where, where) if not isinstance(where, int) else where
        errors.append(f"{path}:{line}: {message}" if isinstance(line, int) else f"{path}: {message}")

    for word, (section, key, room) in SETTINGS.items():
        value = s.get(word)
        if value is None:
            continue
        if room is None:
            try:
                number = int(value)
            except ValueError:
                error(word, f"{word}: {value!r} is not a whole number")
                continue
            if word == "minimum-space" and not 0 <= number <= N["kMaxMinimumSpace"]:
                error(word, f"minimum-space {number} is outside 0 to {N['kMaxMinimumSpace']} kilobytes")
        elif not fits(value, room):
            error(word, f"{word}: longer than {room - 1} characters, the setup would cut it")
    product = s.get("product", "Velan")
    if fits(product, N["kProductRoom"]) and not fits(product + CAPTION_SUFFIX, PATH_ROOM):
        error("product", f"product: the caption \"{product}{CAPTION_SUFFIX}\" is longer than "
              f"{PATH_ROOM - 1} characters, the setup would cut it")
    default_path = s.get("default-path")
    dest = default_destination(default_path)
    if default_path is not None and fits(default_path, PATH_ROOM):
        if len(default_path) > 2 and default_path[1] == ":" and default_path[2] != "\\":
            error("default-path", "default-path: no backslash after the drive's colon, the "
                  "Destination page would refuse it")
        elif not fits(dest, PATH_ROOM):
            error("default-path", f"default-path: {dest} is longer than {PATH_ROOM - 1} "
                  f"characters, the setup would take its own default instead")
    if not d["disks"]:
        error(None, "no disk")
    for i, disk in enumerate(d["disks"], 1):
        if i == MAX_DISKS + 1:
            error(disk["line"], f"{len(d['disks'])} disks, the setup reads at most {MAX_DISKS}")
        if not fits(disk["label"], LABEL_ROOM):
            error(disk["line"], f"disk {i}: label longer than {LABEL_ROOM - 1} characters")
        if not disk["files"]:
            error(disk["line"], f"disk {i}: no file")
    # The Installing page creates RootDir and SubDir1-5 under the destination, in that
    # order and one level each: a nested name needs its parent created before it.
    created, uncreated = {"."}, set()
    for key, name in d["dirs"].items():
        if not fits(name, DIR_ROOM):
            error(key, f"dir {key}: {name!r} is longer than {DIR_ROOM - 1} characters")
    for key in SUB_DIR_KEYS:
        if key not in d["dirs"]:
            continue
        name = local(d["dirs"][key]).upper()
        if (os.path.dirname(name) or ".") not in created:
            error(key, f"dir {key}: the setup cannot create \"{d['dirs'][key]}\", its parent "
                  f"is not one of the directories created before it")
            uncreated.add(key)  # and its files are not said again
        elif name != "." and not fits(dest + "\\" + d["dirs"][key], PATH_ROOM) and fits(dest, PATH_ROOM):
            error(key, f"dir {key}: {dest}\\{d['dirs'][key]} is longer than {PATH_ROOM - 1} "
                  f"characters, the setup cannot create it")
            uncreated.add(key)
        else:
            created.add(name)
    total = 0
    targets, medium, installed = {}, {}, set()
    for disk in d["disks"]:
        for f in disk["files"]:
            line = f["line"] if isinstance(f["line"], int) else disk["line"]
            where = f"{f['name']}"
            total += 1
            names = [f["name"]] if f["plain"] else [f["name"], compressed_name(f["name"])]
            long = [n for n in names if not fits(n, NAME_ROOM)]
            if long:
                error(line, f"{where}: {long[0]!r} is longer than {NAME_ROOM - 1} characters")
                continue
            if not fits(f["description"], DESCRIPTION_ROOM):
                error(line, f"{where}: description longer than {DESCRIPTION_ROOM - 1} characters")
            if "," in f["name"] or "," in f["description"]:
                error(line, f"{where}: a comma would split the disk line's fields")
            if f["key"] not in d["dirs"]:
                error(line, f"{where}: directory key {f['key']} has no dir line")
                continue
            if f["key"] in uncreated:
                continue
            # Files of the Windows keys go to a directory fixed by the key; the others to
            # their directory name under the destination.
            if f["key"] in WINDOWS_SUFFIX:
                target = WINDOWS_DIR + WINDOWS_SUFFIX[f["key"]] + "\\" + f["name"]
            else:
                target = dest + "\\" + d["dirs"][f["key"]] + "\\" + f["name"]
            if not fits(target, PATH_ROOM) and fits(dest, PATH_ROOM):
                error(line, f"{where}: installed as {target}, longer than {PATH_ROOM - 1} "
                      f"characters: the setup cannot write it")
                continue
            stored = (local(d["dirs"][f["key"]]).upper(), f["name"].upper())
            packed = None if f["plain"] else (stored[0], compressed_name(f["name"]).upper())
            if normal(target) in targets:
                error(line, f"{where}: installed to the same place as line {targets[normal(target)]}")
            elif stored in medium:
                error(line, f"{where}: same place on the medium as line {medium[stored]}")
            elif packed in medium:
                error(line, f"{where}: compressed name clashes with line {medium[packed]}")
            targets.setdefault(normal(target), f["line"])
            medium.setdefault(stored, f["line"])
            if packed:
                medium.setdefault(packed, f["line"])
            if f["key"] not in WINDOWS_SUFFIX:
                installed.add(normal(d["dirs"][f["key"]] + "\\" + f["name"]))
    if total > N["kMaxFiles"]:
        error(None, f"{total} files, more than the setup's {N['kMaxFiles']}")
    # The registry entries name the two programs in the destination: each must be a file
    # this medium installs there, and the entry must fit the setup's room. A description
    # without them is a package without a resident utility or control-panel extension:
    # the setup then registers none.
    for word in ("utility", "control-panel"):
        value = s.get(word)
        if not value or not fits(value, PATH_ROOM):
            continue
        entry = dest + "\\" + value
        if " " in entry:
            entry = f'"{entry}"'
        if normal(value) not in installed:
            error(word, f"{word}: {value} is not a file this medium installs in the destination")
        elif not fits(entry, PATH_ROOM) and fits(dest, PATH_ROOM):
            error(word, f"{word}: the registry entry {entry} is longer than {PATH_ROOM - 1} "
                  f"characters")
    for n, item in enumerate(d["items"], 1):
        fields = [x.strip() for x in item.split(",")]
        if n == N["kProgramItems"] + 1:
            error(f"item {n}", f"item {n}: the setup reads at most {N['kProgramItems']} program items")
        for field, room in zip(fields, ITEM_ROOMS):
            if not fits(field, room):
                error(f"item {n}", f"item {n}: {field!r} longer than {room - 1} characters")
    return errors


def notes(d):
    """What the setup does differently for this description, though it installs it whole."""
    out = []
    for word, what in (("utility", "no Run value starts a resident utility at logon"),
                       ("control-panel", "no control-panel extension is registered")):
        if not d["settings"].get(word):
            out.append(f"no {word}: {what}")
    return out


UNINSTALLER, UNINSTALLER_SCRIPT = "UNINSTAL.EXE", "UNINSTAL.INF"


def add_uninstaller(d, uninstaller, path):
    """Adds the uninstaller and its script to the first disk, in the destination itself."""
    own = [k for k in SUB_DIR_KEYS if k in d["dirs"] and local(d["dirs"][k]) == "."]
    if not own:
        free = [k for k in SUB_DIR_KEYS if k not in d["dirs"]]
        if not free:
            raise DescriptionError(f"{path}: no directory key left for the destination itself "
                                   f"('.'), where the uninstaller goes")
        d["dirs"][free[0]] = "."
        own = free[:1]
    for disk in d["disks"]:
        for f in disk["files"]:
            if (f["name"].upper() in (UNINSTALLER, UNINSTALLER_SCRIPT) and f["key"] in d["dirs"]
                    and not f["key"].startswith("Win") and local(d["dirs"][f["key"]]) == "."):
                raise DescriptionError(f"{path}:{f['line']}: {f['name']} is the builder's own "
                                       f"(the uninstaller): leave this line out")
    if not d["disks"]:
        return
    common = {"key": own[0], "keep": False, "line": "(added)"}
    d["disks"][0]["files"] += [
        dict(common, name=UNINSTALLER, plain=False, description="Uninstaller", source=uninstaller),
        dict(common, name=UNINSTALLER_SCRIPT, plain=True, description="What the uninstaller removes",
             generated=True)]


def uninstall_text(d, records):
    """UNINSTAL.INF: the medium's SETUP.INF and the section only the uninstaller reads."""
    keep = [(i, n) for i, disk in enumerate(records, 1) for n, r in enumerate(disk, 1) if r["keep"]]
    out = ["", "[Uninstall]", "; Files the uninstaller leaves installed: disk, line of that disk."]
    out += [f"Keep{k}={i},{n}" for k, (i, n) in enumerate(keep, 1)]
    return script_text(d, records) + "\r\n".join(out) + "\r\n"


def run(args, **kw):
    return subprocess.run(args, check=True, **kw)


SZDD_MAGIC = b"SZDD\x88\xf0\x27\x33"


def szdd_expand(data):
    """The expansion of an SZDD file, as the platform's LZ service does it; None when
    `data` is not one. LZSS over a 4096-byte window that starts as blanks, written from
    4080 on: a flag byte, then per bit (lowest first) a literal byte (1) or a two-byte
    match (0) of 3 to 18 bytes from a window position. The output is kept behind 4096
    blanks, so a match is a slice of it (or, overlapping its own end, repeats it)."""
    if data[:8] != SZDD_MAGIC or len(data) < 14:
        return None
    out = bytearray(b" " * 4096)
    i, n = 14, len(data)
    while i < n:
        flags = data[i]
        i += 1
        if flags == 0xFF:  # eight literals, as in a file that does not compress
            out += data[i:i + 8]
            i += 8
            continue
        for bit in range(8):
            if i >= n:
                break
            if flags >> bit & 1:
                out.append(data[i])
                i += 1
                continue
            if i + 1 >= n:
                i = n
                break
            lo, hi = data[i], data[i + 1]
            i += 2
            src, length = lo | (hi & 0xF0) << 4, (hi & 0x0F) + 3
            pos = (4080 + len(out) - 4096) & 0xFFF
            back = (pos - src) & 0xFFF or 4096
            start = len(out) - back
            if length <= back:
                out += out[start:start + length]
            else:
                piece = out[start:]
                out += (piece * (length // back + 1))[:length]
    return bytes(out[4096:])


def compresses(source, size):
    """Whether a file is worth handing to mscompress. mscompress reads its input one system
    call per byte (30 million for a file of 30 MB: minutes), so a file of 64 KiB or more is
    first tried with zlib's fastest level: one that it cannot shrink by a tenth comes out
    larger from mscompress, whose LZ coding spends 9 bits on a byte it finds no match for.
    A smaller file is simply compressed and compared."""
    if size < 1 << 16:
        return True
    packer, packed = zlib.compressobj(1), 0
    with open(source, "rb") as f:
        for chunk in iter(lambda: f.read(1 << 20), b""):
            packed += len(packer.compress(chunk))
    return packed + len(packer.flush()) < size * 0.9


def store(source, dest_dir, name, plain, work, only_smaller=True):
    """Writes one file to the medium; returns (stored name, how, stored size).

    A file that compresses is compressed with mscompress and the result checked: stored
    compressed only when it is smaller than the file and expands back whole (mscompress
    corrupts files of 1 to 15 bytes). The check expands in this process: msexpand, like
    mscompress, reads one system call per byte. With `only_smaller` false, a file is stored
    compressed even when that makes it larger (as a benchmark's medium wants it)."""
    size = os.path.getsize(source)
    if not plain and (compresses(source, size) or not only_smaller):
        scratch = os.path.join(work, "file")
        shutil.copyfile(source, scratch)
        packed = scratch + "_"
        if os.path.exists(packed):
            os.remove(packed)
        run(["mscompress", scratch], stdout=subprocess.DEVNULL)
        if os.path.getsize(packed) < size or not only_smaller:
            with open(packed, "rb") as f:
                expanded = szdd_expand(f.read())
            with open(source, "rb") as f:
                whole = expanded == f.read()
            if whole:
                stored = compressed_name(name)
                shutil.copyfile(packed, os.path.join(dest_dir, stored))
                return stored, "compressed", os.path.getsize(packed)
            print(f"mkmedium: note: {name} stored plain: compressed, its {size} "
                  f"bytes do not expand whole (mscompress fails on files this small)",
                  file=sys.stderr)
    shutil.copyfile(source, os.path.join(dest_dir, name))
    return name, "plain", size


def script_text(d, records):
    """The SETUP.INF of the medium, CR LF line ends as on the medium's own system."""
    s = d["settings"]
    out = ["; Setup script of " + s.get("product", "Velan") + ", written by mkmedium.",
           "; Each disk line: name on the medium, installed name, description, directory key.",
           "", "[Main]"]
    for word, (section, key, _) in SETTINGS.items():
        if section == "Main" and word in s:
            out.append(f"{key}={s[word]}")
    out += d["main"]
    out += ["", "[DiskLabel]"]
    out += [f"Disk{i}={disk['label']}" for i, disk in enumerate(d["disks"], 1)]
    out += ["", "[DirectoryName]"]
    out += [f"{k}={d['dirs'][k]}" for k in DIR_KEYS if k in d["dirs"]]
    out += ["", "[FileCounts]"]
    out += [f"Disk{i}={len(disk['files'])}" for i, disk in enumerate(d["disks"], 1)]
    for i, disk in enumerate(d["disks"], 1):
        out += ["", f"[Disk{i}]"]
        width = max(len(r["stored"]) for r in records[i - 1]) + 1
        twidth = max(len(r["name"]) for r in records[i - 1]) + 1
        dwidth = max(len(r["description"]) for r in records[i - 1]) + 1
        for n, r in enumerate(records[i - 1], 1):
            value = (f"{(r['stored'] + ','):<{width}} {(r['name'] + ','):<{twidth}} "
                     f"{(r['description'] + ','):<{dwidth}} {r['key']}")
            assert fits(value, LINE_ROOM), value
            out.append(f"{n}={value}")
    if d["items"]:
        out += ["", "[PM Info]"]
        out += [f"{n}={item}" for n, item in enumerate(d["items"], 1)]
    startup = [(key, s[word]) for word, (section, key, _) in SETTINGS.items()
               if section == "Startup" and word in s]
    if startup:
        out += ["", "[Startup]"]
        out += [f"{key}={value}" for key, value in startup]
    return "\r\n".join(out) + "\r\n"


def build(description, out, payload=None, setup=None, quiet=False, uninstaller=None,
          unchecked=False):
    d = parse(description)
    base = os.path.dirname(os.path.abspath(description))
    if not uninstaller and setup:
        uninstaller = os.path.join(os.path.dirname(setup), "uninstal.exe")
    if not uninstaller or not os.path.isfile(uninstaller):
        raise DescriptionError(f"no uninstaller {uninstaller or ''}: every medium installs "
                               f"one, give it with --uninstaller (uninstal.exe of the build)")
    add_uninstaller(d, uninstaller, description)
    errors = validate(d, description)
    payload = payload or os.path.join(base, d["payload"])
    logo = os.path.join(base, d["logo"]) if d["logo"] else None
    sources = []
    for disk in d["disks"]:
        for f in disk["files"]:
            if f["key"] not in d["dirs"] or f.get("generated"):
                continue
            source = f.get("source") or os.path.join(payload, local(d["dirs"][f["key"]]), f["name"])
            if not os.path.isfile(source):
                errors.append(f"{description}:{f['line']}: {source} does not exist")
                continue
            sources.append(source)
    if logo and not os.path.isfile(logo):
        errors.append(f"{description}:{d['lines']['logo']}: logo {logo} does not exist")
    if setup and not os.path.isfile(setup):
        errors.append(f"setup program {setup} does not exist")
    if errors and not unchecked:
        raise DescriptionError("\n".join(errors))
    for error in errors:  # written all the same, for a test of the checker
        print(f"mkmedium: unchecked: {error}", file=sys.stderr)
    for note in notes(d):
        print(f"mkmedium: note: {description}: {note}", file=sys.stderr)

    if os.path.isdir(out):
        shutil.rmtree(out)
    os.makedirs(out)
    if setup:
        shutil.copyfile(setup, os.path.join(out, os.path.basename(setup)))
    if logo:
        shutil.copyfile(logo, os.path.join(out, "LOGO.BMP"))
    records = []
    with tempfile.TemporaryDirectory() as work:
        for i, disk in enumerate(d["disks"], 1):
            records.append([])
            for f in disk["files"]:
                dir_name = local(d["dirs"][f["key"]])
                dest_dir = os.path.join(out, dir_name)
                os.makedirs(dest_dir, exist_ok=True)
                if f.get("generated"):  # written below, once the script is complete
                    records[-1].append(dict(f, stored=f["name"]))
                    continue
                source = f.get("source") or os.path.join(payload, dir_name, f["name"])
                stored, how, size = store(source, dest_dir, f["name"], f["plain"], work)
                records[-1].append(dict(f, stored=stored))
                if not quiet:
                    shown = os.path.normpath(os.path.join(dir_name, stored))
                    print(f"disk {i}  {shown:<24} {how:<10} "
                          f"{os.path.getsize(source):>7} -> {size:>7} bytes")
    with open(os.path.join(out, "SETUP.INF"), "w", encoding="latin-1", newline="") as f:
        f.write(script_text(d, records))
    for disk in records:
        for r in disk:
            if r.get("generated"):
                path = os.path.join(out, local(d["dirs"][r["key"]]), r["name"])
                with open(path, "w", encoding="latin-1", newline="") as f:
                    f.write(uninstall_text(d, records))
    return d


# An ISO 9660 volume identifier holds 32 characters, upper-case letters, digits, the blank
# and a few signs.
VOLUME_ID_ROOM = 32


def volume_id(label):
    """The first disk's label as the disc's volume label: upper case, cut to 32."""
    text = "".join(c if c.isalnum() or c in " _-.()" else "_" for c in label.upper())
    return text[:VOLUME_ID_ROOM].rstrip()


def write_iso(medium, iso, label):
    """The medium folder as an ISO 9660 image. Names up to 31 characters (level 2), so the
    setup's names of up to 14 characters stay whole, not cut to 8.3, with every printable
    character the script may hold and no ';1' version. No Joliet tree: its volume label
    holds 16 characters, and the platform would show that one."""
    tool = shutil.which("xorriso") or shutil.which("genisoimage")
    if not tool:
        raise DescriptionError("--iso needs xorriso or genisoimage (tools/deps.sh installs it)")
    args = [tool, "-as", "mkisofs"] if tool.endswith("xorriso") else [tool]
    if os.path.exists(iso):
        os.remove(iso)
    done = subprocess.run(args + ["-quiet", "-iso-level", "2", "-relaxed-filenames",
                                  "-omit-version-number", "-V", volume_id(label),
                                  "-o", iso, medium], capture_output=True, text=True)
    if done.returncode != 0:
        raise DescriptionError(f"{os.path.basename(tool)} failed: {done.stderr.strip()}")


def main():
    parser = argparse.ArgumentParser(description="Builds an installation medium.")
    parser.add_argument("description")
    parser.add_argument("out")
    parser.add_argument("--payload", help="folder of the files (overrides the description)")
    parser.add_argument("--setup", help="setup program copied beside SETUP.INF")
    parser.add_argument("--uninstaller",
                        help="the uninstaller program (default: uninstal.exe beside --setup)")
    parser.add_argument("--quiet", action="store_true", help="list no file, only warnings")
    parser.add_argument("--unchecked", action="store_true",
                        help="write the medium even when the rules refuse it (for tests)")
    parser.add_argument("--iso", metavar="OUT.iso",
                        help="also write the medium as an ISO 9660 image (a CD's)")
    args = parser.parse_args()
    try:
        d = build(args.description, args.out, args.payload, args.setup, args.quiet,
                  args.uninstaller, args.unchecked)
        if args.iso:
            write_iso(args.out, args.iso, d["disks"][0]["label"])
    except (DescriptionError, OSError) as e:
        print(f"mkmedium: {e}", file=sys.stderr)
        sys.exit(1)
    except subprocess.CalledProcessError as e:
        print(f"mkmedium: {' '.join(e.cmd)} failed", file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
