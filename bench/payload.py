#!/usr/bin/env python3
"""Generates the benchmark's payloads and lays each out as a medium twice.

    bench/payload.py OUT_DIR NAME...

For every payload NAME (see PAYLOADS) it writes, under OUT_DIR/NAME:

    payload/        the files, plain, under their directory names
    medium.txt      the medium description (tools/mkmedium.py's format)
    plain/          the medium with every file stored plain
    packed/         the medium with every file compressed (SZDD by mscompress, checked by
                    expanding it again; 1 to 15 byte files are stored plain)
    files.txt       one line per file: directory, name, size

The content is a pure function of the payload's parameters: the same bytes on every
machine. A payload whose stamp matches is left as it is, so a second run costs nothing.
setup.exe is not copied here: the bench puts the current build's beside each SETUP.INF.
"""
import concurrent.futures
import contextlib
import hashlib
import io
import math
import os
import random
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import mkmedium  # noqa: E402

# name -> (files, total bytes, disks). "smoke" is the small one CI runs.
PAYLOADS = {
    "p200": (200, 50 * 2**20, 2),
    "p2000": (2000, 50 * 2**20, 2),
    "smoke": (40, 2 * 2**20, 2),
}
# The keys the files are spread over: the destination's root and its five sub-directories.
DIRS = [("RootDir", "."), ("SubDir1", "SUB1"), ("SubDir2", "SUB2"), ("SubDir3", "SUB3"),
        ("SubDir4", "SUB4"), ("SubDir5", "SUB5")]
DEST = "C:\\BENCHOUT"
FORMAT = 1  # bumped whenever the content or layout changes
# Sizes the medium must handle specially: empty, the 1-15 bytes mscompress corrupts, 16.
SMALL_SIZES = [0, 1, 15, 16]
MAX_FILE = 6 * 2**20


def sizes(count, total, rnd):
    """Mixed sizes summing to `total`: a few tiny ones, the rest log-normal."""
    small = SMALL_SIZES[:count]
    weights = [math.exp(rnd.gauss(0, 1.6)) for _ in range(count - len(small))]
    rest = total - sum(small)
    scale = rest / sum(weights)
    out = [min(MAX_FILE, max(17, int(w * scale))) for w in weights]
    # Spread what the rounding and the cap left over the files below the cap.
    diff = rest - sum(out)
    i = 0
    while diff:
        room = MAX_FILE - out[i] if diff > 0 else out[i] - 17
        step = max(-room, min(room, diff))
        out[i] += step
        diff -= step
        i = (i + 1) % len(out)
    result = small + out
    rnd.shuffle(result)
    return result


def text_pool(rnd, size):
    """Text of words with a skewed frequency: compresses to about half with SZDD."""
    letters = "etaoinshrdlucmfwypvbgkjqxz"
    words = ["".join(rnd.choice(letters[: rnd.randint(6, 26)]) for _ in range(rnd.randint(2, 10)))
             for _ in range(4000)]
    weights = [1 / (k + 1) for k in range(len(words))]
    words.append("\r\n")
    weights.append(0.1)
    text = " ".join(rnd.choices(words, weights, k=size // 4))
    return text.encode("ascii")[:size]


def text_of(pool, size, rnd):
    """`size` bytes of text: slices of the pool from scattered places, so that no slice
    repeats another within the 4 KiB that SZDD looks back."""
    parts, length = [], 0
    while length < size:
        n = min(size - length, 1 << 16)
        start = rnd.randrange(0, len(pool) - n + 1)
        parts.append(pool[start:start + n])
        length += n
    return b"".join(parts)


def write_payload(root, count, total, disks):
    rnd = random.Random(f"bench-{count}-{total}-{disks}")
    file_sizes = sizes(count, total, rnd)
    pool = text_pool(rnd, 1 << 20)
    payload = os.path.join(root, "payload")
    for _, name in DIRS:
        os.makedirs(os.path.join(payload, name), exist_ok=True)
    files = []
    for i, size in enumerate(file_sizes):
        key, dir_name = DIRS[i % len(DIRS)]
        name = f"F{i:05d}.DAT"
        frnd = random.Random(f"file-{count}-{i}")
        if i % 2 == 0:  # compressible: a slice of the text
            data = text_of(pool, size, frnd)
        else:
            data = frnd.randbytes(size)
        with open(os.path.join(payload, dir_name, name), "wb") as f:
            f.write(data)
        files.append((key, dir_name, name, size))
    lines = ["# Benchmark payload, written by bench/payload.py.",
             "product        Velan Bench", f"default-path   {DEST}", "minimum-space  0",
             "title          Velan Bench Setup", "utility        F00000.DAT",
             "control-panel  F00006.DAT"]
    lines += [f"dir {key} {name}" for key, name in DIRS]
    per_disk = math.ceil(count / disks)
    for i, (key, _, name, _) in enumerate(files):
        if i % per_disk == 0:
            lines.append(f"disk Bench Disk {i // per_disk + 1}")
        lines.append(f"file {name} {key} {{plain}}: Bench file {i}")
    with open(os.path.join(root, "files.txt"), "w") as f:
        f.writelines(f"{d}\t{n}\t{s}\n" for _, d, n, s in files)
    return "\n".join(lines) + "\n"


def lay_out(root, template, packed):
    """The medium of one kind, stored in parallel on both cores."""
    kind = "packed" if packed else "plain"
    description = os.path.join(root, f"medium-{kind}.txt")
    with open(description, "w") as f:
        f.write(template.replace("{plain}", "" if packed else "plain "))
    d = mkmedium.parse(description)
    errors = mkmedium.validate(d, description)
    if errors:
        raise mkmedium.DescriptionError("\n".join(errors))
    out = os.path.join(root, kind)
    shutil.rmtree(out, ignore_errors=True)
    payload = os.path.join(root, "payload")
    jobs = []
    for disk in d["disks"]:
        for f in disk["files"]:
            dir_name = mkmedium.local(d["dirs"][f["key"]])
            os.makedirs(os.path.join(out, dir_name), exist_ok=True)
            jobs.append((f, dir_name))

    def store(job):
        f, dir_name = job
        with tempfile.TemporaryDirectory() as work:
            stored, _, _ = mkmedium.store(os.path.join(payload, dir_name, f["name"]),
                                          os.path.join(out, dir_name), f["name"], f["plain"], work,
                                          only_smaller=False)  # every file, as before
        return dict(f, stored=stored)

    # mkmedium notes each tiny file it has to store plain; counted here instead.
    notes = io.StringIO()
    with contextlib.redirect_stderr(notes), \
            concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        stored = list(pool.map(store, jobs))
    plain = sum(1 for f in stored if not f["plain"] and f["stored"] == f["name"])
    if plain:
        print(f"{plain} tiny files stored plain in the packed medium ... ", end="", flush=True)
    records, at = [], 0
    for disk in d["disks"]:
        records.append(stored[at:at + len(disk["files"])])
        at += len(disk["files"])
    with open(os.path.join(out, "SETUP.INF"), "w", encoding="latin-1", newline="") as f:
        f.write(mkmedium.script_text(d, records))


def stamp_of(name):
    h = hashlib.sha256()
    h.update(repr((FORMAT, PAYLOADS[name], DIRS, DEST)).encode())
    for path in (__file__, mkmedium.__file__):
        with open(path, "rb") as f:
            h.update(f.read())
    return h.hexdigest()


def generate(out_dir, name):
    root = os.path.join(out_dir, name)
    stamp = os.path.join(root, "stamp")
    want = stamp_of(name)
    try:
        with open(stamp) as f:
            if f.read().strip() == want:
                return False
    except OSError:
        pass
    shutil.rmtree(root, ignore_errors=True)
    os.makedirs(root)
    count, total, disks = PAYLOADS[name]
    template = write_payload(root, count, total, disks)
    lay_out(root, template, packed=False)
    lay_out(root, template, packed=True)
    with open(stamp, "w") as f:
        f.write(want + "\n")
    return True


def main():
    if len(sys.argv) < 3 or any(n not in PAYLOADS for n in sys.argv[2:]):
        print(f"usage: bench/payload.py OUT_DIR {{{'|'.join(PAYLOADS)}}}...", file=sys.stderr)
        sys.exit(2)
    for name in sys.argv[2:]:
        count, total, _ = PAYLOADS[name]
        print(f"payload {name}: {count} files, {total // 2**20} MiB ... ", end="", flush=True)
        try:
            made = generate(sys.argv[1], name)
        except (mkmedium.DescriptionError, OSError) as e:
            print(f"\nbench/payload.py: {e}", file=sys.stderr)
            sys.exit(1)
        print("generated" if made else "cached", flush=True)


if __name__ == "__main__":
    main()
