#!/usr/bin/env python3
"""Builds an installation medium from a folder of files and a short description.

    tools/mkmedium.py DESCRIPTION OUT_DIR [--payload DIR] [--setup SETUP.EXE]
                      [--uninstaller UNINSTAL.EXE]

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
extension replaced by '_' (VWHEEL.EX_), unless marked 'plain'. Every compressed file is
expanded again and compared; one that does not come back whole (mscompress corrupts
inputs of 1 to 15 bytes) is stored plain under its own name.

Every medium gets the uninstaller: the builder adds two lines to the first disk, the
uninstaller (--uninstaller, by default uninstal.exe beside --setup) as UNINSTAL.EXE and a
copy of the medium's SETUP.INF as UNINSTAL.INF, both in the destination itself (RootDir,
which the builder adds as '.' when the description has no directory key for '.'). The
setup installs them like any other file, and the setup's Uninstall entry starts
UNINSTAL.EXE, which removes every file the script names. A file marked 'keep' stays
installed: UNINSTAL.INF alone lists it in an [Uninstall] section the setup does not read
(Keep1=DISK,LINE, ...). A description that names UNINSTAL.EXE or UNINSTAL.INF in the
destination itself is refused: those two are the builder's.

Values that the setup would cut, refuse or resolve to nothing are errors here, so what
this writes is a medium the setup installs completely. Exit status 0 when the medium was
written, 1 on an error in the description or its files, 2 on wrong usage.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

# The rooms, directory keys and caption are the setup's own, read from its headers and
# string table beside this file, so that the builder refuses exactly what the setup would.
SOURCE_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir)


def _source(path):
    with open(os.path.join(SOURCE_DIR, path), encoding="latin-1") as f:
        return f.read()


def _constants(path):
    """constexpr int kName = 80; -> {"kName": 80}"""
    return {m[0]: int(m[1]) for m in re.findall(r"constexpr int (k\w+) = (\d+);", _source(path))}


def _fields(path, struct):
    """The rooms of a struct's char fields: char name[15]; -> {"name": 15}"""
    body = re.search(r"struct " + struct + r" \{(.*?)\};", _source(path), re.S)[1]
    return {name: int(room) for name, room in re.findall(r"char (\w+)\[(\d+)\];", body)}


def _strings():
    """The string table: {number: text}, the IDS_ names resolved through res/ids.h."""
    ids = {m[0]: int(m[1]) for m in re.findall(r"#define (IDS_\w+)\s+(\d+)", _source("res/ids.h"))}
    table = {}
    for key, text in re.findall(r'^\s*(\d+|IDS_\w+),\s*"(.*)"\s*$', _source("res/strings.rc"), re.M):
        table[int(key) if key.isdigit() else ids[key]] = text
    return ids, table


_GLOBALS = _constants("base/globals.h")
_RECORD = _fields("script/plan.h", "FileRecord")
_ITEM = _fields("script/script.h", "ProgramItem")
_IDS, _TABLE = _strings()
PATH_ROOM = _GLOBALS["kPathRoom"]
DIR_KEYS = [_TABLE[_IDS["IDS_ROOTDIR"] + k] for k in range(_GLOBALS["kDirKeyCount"])]
# The keys whose directories lie under the destination (RootDir, SubDir1-5): those of the
# plan's directory rules that are not under the Windows directory.
_UNDER_WINDOWS = re.findall(r"\{(true|false), ", re.search(r"kDirRules\[kDirKeyCount\] = \{(.*?)\};",
                                                          _source("script/plan.cpp"), re.S)[1])
assert len(_UNDER_WINDOWS) == len(DIR_KEYS), "one directory rule per key"
SUB_DIR_KEYS = [key for key, under in zip(DIR_KEYS, _UNDER_WINDOWS) if under == "false"]
MAX_DISKS = _GLOBALS["kMaxDisks"]

# [Main] and [Startup] settings: description word -> (section, key, room in characters
# with the terminator, or None for a number). A setting the description leaves out is
# left out of the script, and the setup takes its own default.
SETTINGS = {
    "default-path": ("Main", "DefaultPath", PATH_ROOM),
    "group-name": ("Main", "GroupName", _GLOBALS["kTextRoom"]),
    "group-title": ("Main", "GroupTitle", _GLOBALS["kTextRoom"]),
    "product": ("Main", "ProductName", _GLOBALS["kProductRoom"]),
    "minimum-space": ("Main", "MinimumSpace", None),
    "pnp-id": ("Main", "PnpID", _GLOBALS["kPnpRoom"]),
    "oem": ("Main", "OEM", None),
    "title": ("Startup", "Title", PATH_ROOM),
    "utility": ("Startup", "FileName", PATH_ROOM),
    "control-panel": ("Startup", "ControlPanel", PATH_ROOM),
}
CAPTION_SUFFIX = " " + _TABLE[_IDS["IDS_SETUP_PROGRAM"]]
NAME_ROOM, DIR_ROOM, DESCRIPTION_ROOM = _RECORD["sourceName"], _RECORD["dirName"], _RECORD["description"]
LABEL_ROOM, LINE_ROOM = _GLOBALS["kLabelRoom"], _GLOBALS["kTextRoom"]
ITEM_ROOMS = (_ITEM["fileName"], _ITEM["title"], _ITEM["iconIndex"])


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
         "logo": None, "payload": "payload"}
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
        elif word == "main":
            if "=" not in rest:
                fail("main needs KEY=VALUE")
            d["main"].append(rest)
        elif word in ("logo", "payload"):
            d[word] = rest
        elif word == "dir":
            key, name = (rest.split(None, 1) + [""])[:2]
            match = [k for k in DIR_KEYS if k.lower() == key.lower()]
            if not match:
                fail(f"unknown directory key {key!r} (one of {', '.join(DIR_KEYS)})")
            name = name.strip()
            if not name:
                fail(f"directory key {key} needs a directory name")
            d["dirs"][match[0]] = name
        elif word == "disk":
            if not rest:
                fail("a disk needs a label")
            d["disks"].append({"label": rest, "files": []})
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
        else:
            fail(f"unknown word {word!r}")
    return d


def validate(d, path):
    """The rooms and rules of the setup, checked before anything is written."""
    errors = []
    s = d["settings"]
    for word, (section, key, room) in SETTINGS.items():
        value = s.get(word)
        if value is None:
            continue
        if room is None:
            try:
                number = int(value)
            except ValueError:
                errors.append(f"{word}: {value!r} is not a whole number")
                continue
            if word == "minimum-space" and not 0 <= number <= 32767:
                errors.append(f"minimum-space {number} is outside 0 to 32767 kilobytes")
        elif not fits(value, room):
            errors.append(f"{word}: longer than {room - 1} characters, the setup would cut it")
    product = s.get("product", "Velan")
    if not fits(product + CAPTION_SUFFIX, PATH_ROOM):
        errors.append(f"product: the caption \"{product}{CAPTION_SUFFIX}\" is longer than "
                      f"79 characters, the setup would cut it")
    if not d["disks"]:
        errors.append("no disk")
    if len(d["disks"]) > MAX_DISKS:
        errors.append(f"{len(d['disks'])} disks, the setup reads at most {MAX_DISKS}")
    for i, disk in enumerate(d["disks"], 1):
        if not fits(disk["label"], LABEL_ROOM):
            errors.append(f"disk {i}: label longer than {LABEL_ROOM - 1} characters")
        if not disk["files"]:
            errors.append(f"disk {i}: no file")
    for key, name in d["dirs"].items():
        if not fits(name, DIR_ROOM):
            errors.append(f"dir {key}: {name!r} is longer than {DIR_ROOM - 1} characters")
    # The Installing page creates RootDir and SubDir1-5 under the destination, in that
    # order and one level each: a nested name needs its parent created before it.
    created = {"."}
    for key in SUB_DIR_KEYS:
        if key not in d["dirs"]:
            continue
        name = local(d["dirs"][key]).upper()
        parent = os.path.dirname(name) or "."
        if parent not in created:
            errors.append(f"dir {key}: the setup cannot create \"{d['dirs'][key]}\", its "
                          f"parent is not one of the directories created before it")
        else:
            created.add(name)
    total = 0
    targets = {}
    medium = {}
    for i, disk in enumerate(d["disks"], 1):
        for f in disk["files"]:
            where = f"{path}:{f['line']}: {f['name']}"
            total += 1
            names = [f["name"]] if f["plain"] else [f["name"], compressed_name(f["name"])]
            for name in names:
                if not fits(name, NAME_ROOM):
                    errors.append(f"{where}: {name!r} is longer than {NAME_ROOM - 1} characters")
            if not fits(f["description"], DESCRIPTION_ROOM):
                errors.append(f"{where}: description longer than {DESCRIPTION_ROOM - 1} characters")
            if "," in f["name"] or "," in f["description"]:
                errors.append(f"{where}: a comma would split the disk line's fields")
            if f["key"] not in d["dirs"]:
                errors.append(f"{where}: directory key {f['key']} has no dir line")
                continue
            # Files of the Windows keys go to a directory fixed by the key; the others to
            # their directory name under the destination.
            if f["key"].startswith("Win"):
                target = ("win", f["key"], f["name"].upper())
            else:
                target = ("dest", local(d["dirs"][f["key"]]).upper(), f["name"].upper())
            if target in targets:
                errors.append(f"{where}: installed to the same place as line {targets[target]}")
            targets[target] = f["line"]
            stored = (local(d["dirs"][f["key"]]).upper(), f["name"].upper())
            if stored in medium:
                errors.append(f"{where}: same place on the medium as line {medium[stored]}")
            medium[stored] = f["line"]
            if not f["plain"]:
                packed = (stored[0], compressed_name(f["name"]).upper())
                if packed in medium:
                    errors.append(f"{where}: compressed name clashes with line {medium[packed]}")
                medium[packed] = f["line"]
    if total > 32767:
        errors.append(f"{total} files, more than the setup's 32767")
    for n, item in enumerate(d["items"], 1):
        fields = [x.strip() for x in item.split(",")]
        if n > 10:
            errors.append(f"item {n}: the setup reads at most 10 program items")
        for field, room in zip(fields, ITEM_ROOMS):
            if not fits(field, room):
                errors.append(f"item {n}: {field!r} longer than {room - 1} characters")
    return errors


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


def store(source, dest_dir, name, plain, work):
    """Writes one file to the medium; returns (stored name, how, stored size)."""
    if not plain:
        scratch = os.path.join(work, "file")
        shutil.copyfile(source, scratch)
        packed = scratch + "_"
        if os.path.exists(packed):
            os.remove(packed)
        run(["mscompress", scratch], stdout=subprocess.DEVNULL)
        with open(packed, "rb") as f:
            expanded = run(["msexpand"], stdin=f, stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL).stdout
        with open(source, "rb") as f:
            original = f.read()
        if expanded == original:
            stored = compressed_name(name)
            shutil.copyfile(packed, os.path.join(dest_dir, stored))
            return stored, "compressed", os.path.getsize(packed)
        print(f"mkmedium: note: {name} stored plain: compressed, its {len(original)} "
              f"bytes do not expand whole (mscompress fails on files this small)",
              file=sys.stderr)
    shutil.copyfile(source, os.path.join(dest_dir, name))
    return name, "plain", os.path.getsize(source)


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


def build(description, out, payload=None, setup=None, quiet=False, uninstaller=None):
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
            sources.append(source)
    if logo and not os.path.isfile(logo):
        errors.append(f"logo {logo} does not exist")
    if setup and not os.path.isfile(setup):
        errors.append(f"setup program {setup} does not exist")
    if errors:
        raise DescriptionError("\n".join(errors))

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


def main():
    parser = argparse.ArgumentParser(description="Builds an installation medium.")
    parser.add_argument("description")
    parser.add_argument("out")
    parser.add_argument("--payload", help="folder of the files (overrides the description)")
    parser.add_argument("--setup", help="setup program copied beside SETUP.INF")
    parser.add_argument("--uninstaller",
                        help="the uninstaller program (default: uninstal.exe beside --setup)")
    parser.add_argument("--quiet", action="store_true", help="list no file, only warnings")
    args = parser.parse_args()
    try:
        build(args.description, args.out, args.payload, args.setup, args.quiet, args.uninstaller)
    except (DescriptionError, OSError) as e:
        print(f"mkmedium: {e}", file=sys.stderr)
        sys.exit(1)
    except subprocess.CalledProcessError as e:
        print(f"mkmedium: {' '.join(e.cmd)} failed", file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
