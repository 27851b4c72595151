#!/usr/bin/python3
"""Writes the fuzz targets' seed inputs into fuzz/corpus/<target>/, from the
cases of the unit and API tests, in the layouts the targets read (see the
comment at the top of each *_fuzzer.cpp). Run it again after changing a
layout; the seeds are checked in. Needs Debian's fontTools (the system's
python3) for the small fonts of the name table target, and for the font
target the fonts the set-up installs, found through fontconfig (fc-match)."""
import io
import os
import struct
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))


def utf16(text):
    return text.encode("utf-16-le")


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# NormalizeText: input, spaceMode, newlineMode, preserveSpaces, leadingSpaceMode
# (the table of tests/unit/normalize_test.cpp).
NORMALIZE = [
    ("a \t\r\nb", 3, 2, 1, 0), ("a ", 3, 2, 1, 0), ("  a\n  b", 4, 2, 1, 2), ("  a\n  b", 4, 2, 1, 0),
    ("  a  \n  b  ", 0, 2, 1, 0), ("  a  \n  b  ", 0, 2, 1, 2), ("a\tb", 2, 2, 1, 0), ("a\n\tb", 2, 2, 0, 0),
    ("a\u3000\u200b b", 2, 2, 1, 0), ("a b\tc", 1, 2, 1, 0), ("a b\tc", 5, 2, 1, 0), ("a b\tc", -1, 2, 1, 0),
    ("a \nb", 2, 0, 1, 0), ("a \nb", 2, 0, 0, 0), ("a\nb", 2, 3, 0, 0), ("a\nb", 2, 1, 1, 0), ("a\nb", 2, 9, 1, 0),
    ("a  \nb", 2, 2, 0, 0), ("  a", 4, 2, 0, 0), ("a \t b", 3, 2, 0, 0), ("a\n\n b", 3, 2, 0, 0),
    ("a\n \t b", 4, 2, 1, 0), ("a \t\u3000\nb", 3, 2, 1, 0), ("\u00a0a\u2028 b\u2029\u00a0", 0, 0, 0, 2),
    (" \t\r\n\n a\u200b\n\u3000 b \n\r\t c\n\n  ", 0, 3, 0, 1),
]
for i, (text, space, newline, preserve, leading) in enumerate(NORMALIZE):
    write("normalize", "case%02d" % i, struct.pack("<iiii", space, newline, preserve, leading) + utf16(text))

# The line walks: widths by unit modulo 16 as the tests' fixed-width canvas
# has them where it can (W 100, '.' 1, U+200B 0, everything else 10).
WIDTHS = [10] * 16
WIDTHS[ord("W") % 16] = 100
WIDTHS[ord(".") % 16] = 1
WIDTHS[0x200B % 16] = 0


def walk(mode, align, indent, wrap, leading, pitch, height, width, region_height, offset, text, kind=0,
         table=WIDTHS):
    return (struct.pack("<bbhBBBBHHhB", mode, align, indent, wrap, leading, pitch, height, width, region_height,
                        offset, kind) + bytes(table) + utf16(text))


# text, line length, alignment, indent, wordWrap, leadingSpaceMode (tests/unit/measure_lines_test.cpp)
MEASURE = [
    ("a\n\nb", 100, 1, 0, 1, 0), ("ab\u2028cd", 100, 1, 0, 1, 0), ("   ", 100, 1, 0, 1, 1),
    ("\u200b", 100, 1, 0, 1, 1), ("hello world", 65, 1, 0, 1, 0), ("hello  world x", 65, 1, 0, 1, 0),
    ("\u4e00\u4e8c\u4e09\u56db\u4e94\u516d", 35, 1, 0, 1, 0), ("abW", 90, 1, 0, 1, 0), (" ab", 50, 1, 45, 1, 0),
    ("a\nW", 90, 1, 0, 1, 0), ("ab W cd", 50, 1, 0, 1, 0), ("abcd efgh", 50, 1, 30, 1, 1),
    ("abcde fg", 50, 1, 10, 1, 1), ("abcdefgh", 50, 1, -30, 1, 0), ("\u6f22abcdefgh", 50, 1, 0, 1, 1),
    ("\u6f22abc", 50, 1, 30, 1, 0),
]
for i, (text, length, align, indent, wrap, leading) in enumerate(MEASURE):
    write("line_walker", "measure%02d" % i, walk(1, align, indent, wrap, leading, 20, 20, length, 60000, 0, text))
    write("line_walker", "column%02d" % i, walk(3, align, indent, wrap, leading, 20, 17, 200, length, 10, text))
# A few drawing cases (tests/unit/draw_lines_test.cpp) and measurers that answer anything.
write("line_walker", "bottom-edge", walk(1, 1, 0, 1, 0, 40, 40, 45, 100, 0, "aaaa bbbb cc"))
write("line_walker", "pitch-fallback", walk(1, 1, 0, 1, 0, 30, 17, 200, 100, 10, "a\nb\nc\nd"))
write("line_walker", "rtl-centre", walk(2, 2, 12, 1, 0, 20, 20, 101, 100, 0, "ab\ncd"))
write("line_walker", "unknown-mode", walk(4, 1, 5, 1, 1, 20, 20, 200, 100, 0, " ab\ncd"))
write("line_walker", "any-extent", walk(1, 1, 7, 1, 0, 20, 20, 60, 100, 0, "ab cd\u4e00ef gh", 2,
                                        list(range(0, 256, 16))))
write("line_walker", "extremes", walk(3, 2, -32768, 1, 1, 255, 1, 65535, 65535, 32767, "ab cd ef", 3,
                                      list(range(160, 256, 6))))

# The entry points (tests/api): region, buffer offsets, dest, size offset,
# topDown, colours, face, fontHeight, style, the four normalisation fields,
# wordWrap, blockStartOffset, linePitch, firstLineIndent, writingMode,
# alignment, size offset, null pointers; then the text.
FACES = {None: 0, "DejaVu Sans": 1, "Liberation Serif": 2, "WenQuanYi Micro Hei": 3, "IPAGothic": 4,
         "No Such Face": 5, "": 6, "31": 7, "32": 8}


def render(text, width=120, height=40, face="DejaVu Sans", font_height=24, style=0, space=2, newline=2,
           preserve=1, wrap=1, leading=0, offset=0, pitch=24, indent=0, mode=1, align=1, dest=(0, 0), grow=(0, 0),
           size_offset=0, nulls=0, colours=(0x00000000, 0xFFFFFFFF), top_down=1):
    return (struct.pack("<BBbbBBbBIIBBbbbbbbhBhbbbB", width, height, grow[0], grow[1], dest[0], dest[1], 0,
                        top_down, colours[0], colours[1], FACES[face], font_height, style, space, newline, preserve,
                        wrap, leading, offset, pitch, indent, mode, align, size_offset, nulls) + utf16(text))


write("render", "hello", render("Hello, world"))
write("render", "wrapped", render("The quick brown fox jumps over the lazy dog", width=90, height=80))
write("render", "centre", render("Align", align=2, colours=(0x80402000, 0xFF20E0FF)))
write("render", "end-indent", render("Align\nend", align=3, indent=50))
write("render", "rtl", render("\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd, 123", mode=2))
write("render", "vertical", render("\u7e26\u66f8\u304d\u306e\u6587\n\u65e5\u672c", width=60, height=120,
                                   face="IPAGothic", font_height=20, pitch=22, mode=3))
write("render", "clipped", render("Clip me", dest=(70, 30), grow=(10, 5), top_down=0))
write("render", "styles", render("Styled text", style=3, face="Liberation Serif"))
write("render", "no-face", render("default", face=None, font_height=0, pitch=0))
write("render", "long-face", render("x", face="32", mode=3, width=30, height=60))
write("render", "empty-region", render("text", width=0))
write("render", "size-wrong", render("abc", size_offset=-8))
write("render", "buffer-short", render("abc", grow=(-1, 0)))
write("render", "normalised-away", render(" \t ", space=1))
write("render", "offsets", render("a\nb\nc\nd", offset=10, pitch=30, font_height=17, height=100))

# Prefix extents: face (index into the target's list), pixel height - 8,
# flags (1 bold, 2 vertical), then each UTF-16 unit after a byte of 255
# (the texts that once measured wrong in tests/portable/run_extents_test.cpp).
def extents(face, height, flags, text):
    units = utf16(text)
    return bytes([face, height - 8, flags]) + b"".join(b"\xff" + units[k:k + 2] for k in range(0, len(units), 2))


write("run_extents", "bracket-after-marks", extents(0, 20, 0, "\u0628\u0628 (\u064b) \u0643\u0644\u0645\u0629 e)"))
write("run_extents", "mark-first", extents(2, 20, 2, "\u05b0\u06f1\u06f1eA"))
write("run_extents", "bracket-left-open", extents(0, 24, 1, "\u0643\u0644\u0645\u0629 (\u0643\u0644\u0645\u0629 file) 12"))
write("run_extents", "no-script-of-its-own", extents(3, 17, 0, "\u05d0\t\u064b\u05d2"))
write("run_extents", "pieces", bytes([1, 16, 0]) + bytes(range(0, 56)))
write("run_extents", "tail-not-joinable", extents(1, 24, 0, "\u0930\u0915\u094d\u0937"))
write("run_extents", "tail-not-joinable-vertical", extents(1, 24, 2, "\u05d0 fi\u0930\u0915\u094d\u0937"))


# The name table reader: whole small fonts that the system registers (so that
# AddMemFont reaches the reader), and bare images whose naming tables hold the
# cases of tests/unit/name_table_test.cpp.
def small_font(full_name, cff=False):
    import io
    from fontTools.fontBuilder import FontBuilder
    from fontTools.pens.t2CharStringPen import T2CharStringPen
    from fontTools.pens.ttGlyphPen import TTGlyphPen

    builder = FontBuilder(1000, isTTF=not cff)
    builder.setupGlyphOrder([".notdef", "A"])
    builder.setupCharacterMap({0x41: "A"})

    def draw(pen):
        pen.moveTo((100, 0))
        pen.lineTo((500, 700))
        pen.lineTo((900, 0))
        pen.closePath()

    if cff:
        glyphs = {}
        for name in (".notdef", "A"):
            pen = T2CharStringPen(1000, None)
            draw(pen)
            glyphs[name] = pen.getCharString()
        builder.setupCFF("Seed", {"FullName": full_name}, glyphs, {})
    else:
        glyphs = {}
        for name in (".notdef", "A"):
            pen = TTGlyphPen(None)
            draw(pen)
            glyphs[name] = pen.glyph()
        builder.setupGlyf(glyphs)
    builder.setupHorizontalMetrics({".notdef": (1000, 100), "A": (1000, 100)})
    builder.setupHorizontalHeader(ascent=800, descent=-200)
    builder.setupNameTable({"familyName": "Seed", "styleName": "Regular", "fullName": full_name})
    builder.setupOS2()
    builder.setupPost()
    out = io.BytesIO()
    builder.save(out)
    return out.getvalue()


def name_table(records, fmt=0, tags=()):
    """records: (platform, encoding, language, nameID, bytes[, length, offset])"""
    storage = b""
    head = 6 + 12 * len(records) + (2 + 4 * len(tags) if fmt == 1 else 0)
    body = b""
    for r in records:
        platform, encoding, language, name_id, string = r[:5]
        length = r[5] if len(r) > 5 else len(string)
        offset = r[6] if len(r) > 6 else len(storage)
        body += struct.pack(">HHHHHH", platform, encoding, language, name_id, length, offset)
        storage += string
    if fmt == 1:
        body += struct.pack(">H", len(tags))
        for tag in tags:
            body += struct.pack(">HH", len(tag), len(storage))
            storage += tag
    return struct.pack(">HHH", fmt, len(records), head) + body + storage


def sfnt(tables, version=0x00010000):
    """tables: (tag, bytes) in directory order, or (tag, None, offset) for a table placed anywhere."""
    out = struct.pack(">IHHHH", version, len(tables), 0, 0, 0)
    data = b""
    base = 12 + 16 * len(tables)
    for t in tables:
        if t[1] is None:
            out += struct.pack(">4sIII", t[0], 0, t[2], 0)
            continue
        out += struct.pack(">4sIII", t[0], 0, base + len(data), len(t[1]))
        data += t[1] + b"\0" * (-len(t[1]) % 4)
    return out + data


def be(text):
    return text.encode("utf-16-be")


def write_name(name, data):
    """A seed of both the reader alone and the registration target."""
    for target in ("name_table", "registration"):
        write(target, name, data)


PLAIN = name_table([(3, 1, 0x409, 1, be("Plain")), (3, 1, 0x409, 4, be("Plain Regular"))])
write_name("small-truetype", small_font("Seed Regular"))
write_name("small-cff", small_font("Seed CFF", cff=True))
write_name("collection", b"ttcf" + struct.pack(">HHII", 1, 0, 1, 16) + sfnt([(b"name", PLAIN)]))
write_name("cff-plain", sfnt([(b"name", PLAIN)], 0x4F54544F))
write_name("no-tables", sfnt([]))
write_name("second-table", sfnt([(b"head", bytes(54)), (b"name", PLAIN)]))
write_name("two-name-tables", sfnt([(b"name", name_table([(3, 1, 0x409, 4, be("First"))])),
                                             (b"name", name_table([(3, 1, 0x409, 4, be("Second"))]))]))
write_name("table-past-end", sfnt([(b"name", None, 100000)]))
write_name("last-wins", sfnt([(b"name", name_table([
    (3, 1, 0x409, 4, be("Gothic")), (1, 0, 0, 4, b"Mac"), (3, 1, 0x411, 4, be("\u30b4\u30b7")),
    (3, 10, 0x409, 4, be("Wide")), (3, 0, 0x409, 4, be("Sym"))]))]))
write_name("odd-length", sfnt([(b"name", name_table([(3, 1, 0x409, 4, b"\x00\x41\x00\x42\x43")]))]))
write_name("zero-unit", sfnt([(b"name", name_table([(3, 1, 0x409, 4, be("Ab\0cd"))]))]))
write_name("string-past-end", sfnt([(b"name", name_table([(3, 1, 0x409, 4, b"", 20, 40000)]))]))
write_name("cut-at-surrogate", sfnt([(b"name", name_table([
    (3, 1, 0x409, 4, be("a" * 62 + "\U0001F600" + "b"))]))]))
write_name("format-1", sfnt([(b"name", name_table([(3, 1, 0x8000, 4, be("Tagged"))], 1,
                                                          (be("en"), be("ja"))))]))
write_name("truncated", sfnt([(b"name", PLAIN)])[:-3])


# The font target: real fonts of the set-up, cut down to the characters of
# the target's texts (small, so that mutations stay fast) with their layout
# tables and hinting, after four bytes of options: height, style and writing
# mode, text, wrapping (see font_fuzzer.cpp).
FONT_SEEDS = [
    ("dejavu-sans", "DejaVu Sans", "Hag fié שלبسم 1/2"),
    ("dejavu-serif-bold", "DejaVu Serif:bold", "Hag fié ́"),
    ("liberation-serif", "Liberation Serif", "Hag fié AV"),
    ("liberation-sans-italic", "Liberation Sans:italic", "Hag fi AV"),
    ("ipagothic", "IPAGothic", "Hag 漢字あ。"),
    ("wenquanyi", "WenQuanYi Micro Hei", "Hag 漢字中。"),
    ("nimbus-sans-cff", "Nimbus Sans", "Hag fi"),
]


def installed_font(pattern):
    """The file and face index fontconfig gives for a pattern."""
    answer = subprocess.run(["fc-match", "-f", "%{file}\t%{index}", pattern], check=True, capture_output=True,
                            text=True).stdout
    path, index = answer.split("\t")
    return path, int(index)


def subset_font(pattern, text):
    from fontTools import subset
    from fontTools.ttLib import TTFont

    path, index = installed_font(pattern)
    font = TTFont(path, fontNumber=index)
    options = subset.Options()
    options.layout_features = ["*"]
    options.hinting = True
    options.name_IDs = ["*"]
    options.notdef_outline = True
    options.glyph_names = False
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=text)
    subsetter.subset(font)
    out = io.BytesIO()
    font.save(out)
    return out.getvalue()


for i, (name, pattern, text) in enumerate(FONT_SEEDS):
    options = bytes([12 + 7 * i, i % 6 | (0x80 if i % 3 == 0 else 0), i, 1])
    write("font", name, options + subset_font(pattern, text))


# The command-line renderer's parsers: SubRip files (tests/tools/srt_test.cpp),
# text in UTF-8 and UTF-16 (tests/unit/utf_test.cpp), command lines
# (tests/tools/options_test.cpp), each argument ended by a zero byte.
SRT = [
    ("tidy", b"1\n00:00:01,000 --> 00:00:02,000\nHello\n\n2\n00:00:03,000 --> 00:00:04,000\nWorld\n"),
    ("crlf-mark", b"\xef\xbb\xbf1\r\n00:00:01,000 --> 00:00:02,000\r\nOne\r\nTwo\r\n"),
    ("old-mac", b"1\r00:00:01,000 --> 00:00:02,000\rA\r\r2\r00:00:03,000 --> 00:00:04,000\rB\r"),
    ("no-blank", b"1\n00:01 --> 00:02\nA\n2\n00:03 --> 00:04\nB"),
    ("numbers", b"00:01 --> 00:02\nA\n\n7\n00:03 --> 00:04\nB\n\n7\n00:05 --> 00:06\nC\n"),
    ("tags", b'1\n00:01 --> 00:02\n<i>It</i> <B>is</B> <font color="#fff">here</font> <3 a<b\n'),
    ("utf16", "\ufeff1\n00:01 --> 00:02\n\u05e9\u05dc\u05d5\u05dd\n".encode("utf-16-le")),
    ("utf16be-unmarked", "1\n00:01 --> 00:02\n\u05e9\u05dc\u05d5\u05dd\\N{\\an8}Hi\n".encode("utf-16-be")),
    ("mostly-utf8", "1\n00:01 --> 00:02\nd\u00e9j\u00e0\n\n2\n00:03 --> 00:04\n".encode() + b"caf\xe9\n"),
    ("koi8", "1\n00:01 --> 00:02\n\u041f\u0440\u0438\u0432\u0435\u0442!\n".encode("koi8-r")),
]
for name, data in SRT:
    write("srt", name, data)
with open(os.path.join(HERE, "..", "tools", "samples", "sample.srt"), "rb") as f:
    write("srt", "styled-sample", f.read())
for sample in ("french-windows-1252.srt", "spanish-latin-1.srt", "bilingual-utf16.srt", "broken.srt",
               "positions.vtt"):
    with open(os.path.join(HERE, "..", "tools", "samples", sample), "rb") as f:
        write("srt", sample.replace(".srt", "").replace(".", "-"), f.read())

UTF = [
    ("ascii", b"plain text"), ("languages", "Gr\u00fc\u00dfe \u05e9\u05dc\u05d5\u05dd \u6f22\u5b57 \U0001F600".encode()),
    ("bom8", b"\xef\xbb\xbfmarked"), ("bom16le", "\ufeffA\U0001F600".encode("utf-16-le")),
    ("bom16be", "\ufeffB\u00e9".encode("utf-16-be")), ("overlong", b"\xc0\xaf"), ("surrogate", b"\xed\xa0\x80"),
    ("cut", b"ab\xe6\xbc"), ("above", b"\xf4\x90\x80\x80"), ("lone16", b"\xff\xfe\x00\xd8A\x00"),
]
for name, data in UTF:
    write("utf", name, data)

OPTIONS = [
    ("render", ["render", "x"]),
    ("every-field", ["render", "--region=200x50", "--dest", "10,20", "--bottom-up", "--text-color", "#11223344",
                     "--back-color", "#AABBCC", "--font", "Liberation Serif", "--font-height", "20", "--style",
                     "bold-italic", "--space-mode", "to-space", "--newline-mode", "5", "--preserve-spaces",
                     "--no-wrap", "--leading-space-mode", "trim", "--block-start-offset", "-7", "--line-pitch", "25",
                     "--first-line-indent", "-3", "--writing-mode", "vertical", "--align", "end", "--",
                     "-5 degrees"]),
    ("subtitles", ["subtitles", "a.srt", "--font-file", "a.ttf", "--font-file", "b.ttf", "-o", "out"]),
    ("subtitles-frame", ["subtitles", "a.srt", "--frame", "1920x1080", "--frame-margin", "40", "--encoding",
                         "windows-1251", "--fit"]),
    ("subtitles-bdn", ["subtitles", "a.vtt", "--frame", "720x480", "--index", "bdn", "--fps", "30000/1001",
                       "--drop-frame", "--strict"]),
    ("measure", ["measure", "--text-file", "t.txt", "--json"]),
    ("help", ["render", "x", "--help"]),
    ("bad-region", ["render", "x", "--region", "70000x1"]),
    ("fit-outline", ["render", "x", "--fit", "--outline", "2"]),
    ("fonts", ["fonts"]),
    ("version", ["--version"]),
]
for name, args in OPTIONS:
    write("options", name, b"\0".join(a.encode() for a in args))
