#!/usr/bin/env python3
"""The bench's payloads: the sizes promised, the same bytes on every run, half of the files
compressible, and a description the medium builder accepts."""
import os
import random
import sys
import tempfile
import unittest
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import payload  # noqa: E402


def ratio(data):
    return len(zlib.compress(data)) / max(1, len(data))


class Sizes(unittest.TestCase):
    def test_every_payload_adds_up_exactly_with_the_awkward_sizes(self):
        for name, (count, total, _) in payload.PAYLOADS.items():
            sizes = payload.sizes(count, total, random.Random(name))
            self.assertEqual(count, len(sizes), name)
            self.assertEqual(total, sum(sizes), name)
            self.assertLessEqual(max(sizes), payload.MAX_FILE, name)
            for small in payload.SMALL_SIZES:
                self.assertIn(small, sizes, name)
            # Mixed: a spread of sizes, not one size repeated.
            self.assertGreater(len(set(sizes)), count // 2, name)

    def test_same_seed_same_sizes(self):
        a = payload.sizes(200, 10 << 20, random.Random("x"))
        b = payload.sizes(200, 10 << 20, random.Random("x"))
        self.assertEqual(a, b)


class Files(unittest.TestCase):
    def write(self, root):
        return payload.write_payload(root, 30, 400000, 2)

    def read_all(self, root):
        out = {}
        for d, _, names in os.walk(os.path.join(root, "payload")):
            for n in names:
                with open(os.path.join(d, n), "rb") as f:
                    out[os.path.relpath(os.path.join(d, n), root)] = f.read()
        return out

    def test_same_bytes_every_time_half_compressible(self):
        with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
            desc_a, desc_b = self.write(a), self.write(b)
            files = self.read_all(a)
            self.assertEqual(desc_a, desc_b)
            self.assertEqual(files, self.read_all(b))
            self.assertEqual(30, len(files))
            self.assertEqual(400000, sum(len(v) for v in files.values()))
            large = {k: v for k, v in files.items() if len(v) > 2000}
            text = [k for k, v in large.items() if ratio(v) < 0.7]
            noise = [k for k, v in large.items() if ratio(v) > 0.95]
            self.assertEqual(len(large), len(text) + len(noise))
            self.assertGreater(len(text), len(large) // 4)
            self.assertGreater(len(noise), len(large) // 4)

    def test_description_is_one_the_builder_accepts(self):
        with tempfile.TemporaryDirectory() as root:
            template = self.write(root)
            for plain in ("plain ", ""):
                path = os.path.join(root, "medium.txt")
                with open(path, "w") as f:
                    f.write(template.replace("{plain}", plain))
                d = payload.mkmedium.parse(path)
                self.assertEqual([], payload.mkmedium.validate(d, path))
                self.assertEqual(2, len(d["disks"]))
                self.assertEqual(30, sum(len(disk["files"]) for disk in d["disks"]))
                self.assertEqual(payload.DEST, d["settings"]["default-path"])


if __name__ == "__main__":
    unittest.main()
