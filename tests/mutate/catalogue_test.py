#!/usr/bin/python3
# catalogue_test.py: each kind of scripts/mutate's faults changes the line it should, only that line, and leaves alone what it must.
import importlib.machinery
import importlib.util
import sys
import tempfile
import unittest
from pathlib import Path

sys.dont_write_bytecode = True
ROOT = Path(__file__).resolve().parent.parent.parent
loader = importlib.machinery.SourceFileLoader("mutate", str(ROOT / "scripts/mutate"))
module_plan = importlib.util.spec_from_loader("mutate", loader)
mutate = importlib.util.module_from_spec(module_plan)
loader.exec_module(mutate)

# A line inside a function body, its kind, and every line that kind makes of it.
MADE = [
    ("    if (a == b) x();", "flip", ["    if (a != b) x();"]),
    ("    if (n < 4 && m >= 2) go();", "flip", ["    if (n >= 4 && m >= 2) go();", "    if (n < 4 && m < 2) go();"]),
    ("    while (p > q || p <= 0) ++p;", "flip", ["    while (p <= q || p <= 0) ++p;", "    while (p > q || p > 0) ++p;"]),
    ("    if (n < 4 && m >= 2) go();", "boundary", ["    if (n <= 4 && m >= 2) go();", "    if (n < 4 && m > 2) go();"]),
    ("    ok = a != b;", "boundary", []),
    ("    if (a && b || c) go();", "logic", ["    if (a || b || c) go();", "    if (a && b && c) go();"]),
    ("    x = y + 7 - 0x0F;", "plus-one", ["    x = y + 8 - 0x0F;", "    x = y + 7 - 0x10;"]),
    ("    x = y + 7 - 0xA0u;", "minus-one", ["    x = y + 6 - 0xA0u;", "    x = y + 7 - 0x9Fu;"]),
    ("    x = 0;", "minus-one", []),
    ("    mask = 0xff;", "plus-one", ["    mask = 0x100;"]),
    ("    list.push_back(item);", "remove", ["    ;"]),
    ("    out->count += n;", "remove", ["    ;"]),
    ("    names[i] = text;", "remove", ["    ;"]),
    ("    ++done;", "remove", ["    ;"]),
    ("    break;", "remove", ["    ;"]),
    ("    return true;", "return", ["    return false;"]),
    ("    if (bad) return false;", "return", ["    if (bad) return true;"]),
    ("    return 42;", "return", ["    return 0;"]),
    ("    return a && b;", "return", ["    return {};"]),
    ("    return \"text\";", "return", ["    return {};"]),
    ("    return guarded(1, [] { return check(); });", "return", ["    return {};", "    return guarded(1, [] { return {}; });"]),
    ("    {0, kWord, \"name\", 1024},", "table-byte", ["    {1, kWord, \"name\", 1024},", "    {0, kWord, \"name\", 1025},"]),
    ("    {4, \"doom2.wad\", true, 0x02},", "table-byte",
     ["    {5, \"doom2.wad\", true, 0x02},", "    {4, \"doom2.wad\", false, 0x02},", "    {4, \"doom2.wad\", true, 0x03},"]),
    ("    {0, kWord, \"name\", 1024},", "plus-one", []),
    ("    3, 4, 0x10,", "table-byte", ["    2, 4, 0x10,", "    3, 5, 0x10,", "    3, 4, 0x11,"]),
    # `return 0;` plus one and its value changed are the same fault: made once.
    ("    return 0;", "return", []),
    ("    return 0;", "plus-one", ["    return 1;"]),
]

# Lines inside a function body that no kind may touch.
UNTOUCHED = [
    "    // if (a == b) return 1;",
    "    const char* s = \"a == b && 1 || c\";",
    "    const char c = '<';",
    "    const std::optional<std::vector<int>> v;",
    "    T&& forwarded = std::move(t);",
    "    auto next = node->child[i] >> shift << bits;",
    "    const float w = 0.125f;",
    "    uint8_t byte = kDmflags2;",
    "    static_assert(kCount > 1 && kCount == 4, \"four\");",
    "    assert(n >= 0);",
    "    std::string name = make(x);",
    "    unsigned (*mask)(std::string_view folder);",
    "    return;",
    "    return {};",
    "    return std::nullopt;",
]

# Sources of several lines: the line given (0-based) gets no fault at all.
UNTOUCHED_IN_CONTEXT = [
    (["#include <array>", "#define LIMIT 4", "int f() {"], 1),
    (["/* a block comment", "   if (a < b) return 1; */", "int x;"], 1),
    (["static_assert(kTable.size() == 4 &&", "              kOther > 2, \"sizes\");"], 1),
    (["    total = first +", "            second(x);"], 1),
    (["    call(a,", "         b);"], 1),
    (["    const char* s = R\"(a < b", "return 1;)\";"], 1),
]


def sites_of(lines, kind):
    return [site for site in mutate.find_sites(lines) if site.kind == kind]


class CatalogueTest(unittest.TestCase):
    def test_each_kind_makes_its_lines_and_changes_only_that_line(self):
        for line, kind, expected in MADE:
            with self.subTest(kind=kind, line=line):
                source = ["void f() {", line, "}"]
                made = []
                for site in sites_of(source, kind):
                    changed = mutate.apply_site(source, site)
                    self.assertEqual(changed[0], source[0])
                    self.assertEqual(changed[2], source[2])
                    made.append(changed[1])
                self.assertEqual(sorted(made), sorted(expected))

    def test_lines_it_must_not_touch(self):
        for line in UNTOUCHED:
            with self.subTest(line=line):
                self.assertEqual(mutate.find_sites(["void f() {", line, "}"]), [])
        for source, index in UNTOUCHED_IN_CONTEXT:
            with self.subTest(source=source):
                self.assertEqual([s for s in mutate.find_sites(source) if s.line == index], [])

    def test_the_seed_alone_orders_the_faults(self):
        first, again, other = (mutate.plan(ROOT, seed) for seed in (1, 1, 2))
        self.assertEqual([f.key() for f in first], [f.key() for f in again])
        self.assertNotEqual([f.key() for f in first[:20]], [f.key() for f in other[:20]])
        self.assertEqual({f.site.kind for f in first[:len(mutate.KINDS)]}, set(mutate.KINDS))

    def test_an_edit_elsewhere_leaves_the_other_faults_in_their_order(self):
        with tempfile.TemporaryDirectory() as top:
            root = Path(top)
            for folder in ("frame", "brannock"):
                (root / folder).mkdir()
            other = root / "frame/a.cpp"
            other.write_text("int f(int n) {\n    if (n < 4) return 1;\n    return n + 2;\n}\n")
            kept = root / "brannock/b.cpp"
            kept.write_text("bool g(int a, int b) {\n    ++a;\n    return a == b && b > 3;\n}\n")
            before = [f.key() for f in mutate.plan(root, 1) if f.path == "brannock/b.cpp"]
            other.write_text("int h(int m) { return m - 1; }\n" + other.read_text())
            kept.write_text("// a line above moves every fault down\n" + kept.read_text())
            after = [f.key() for f in mutate.plan(root, 1) if f.path == "brannock/b.cpp"]
            self.assertGreater(len(before), 4)
            self.assertEqual(before, after)

    def test_named_equivalents_are_faults_the_catalogue_makes(self):
        for entry in mutate.read_equivalents(ROOT / mutate.EQUIVALENTS_FILE):
            with self.subTest(entry=entry):
                path = ROOT / entry["file"]
                self.assertTrue(path.is_file())
                lines = mutate.read_lines(path)
                made = {(lines[s.line].strip(), mutate.apply_site(lines, s)[s.line].strip())
                        for s in sites_of(lines, entry["kind"])}
                self.assertIn((entry["was"], entry["now"]), made)
                self.assertTrue(entry["why"])


if __name__ == "__main__":
    unittest.main()
