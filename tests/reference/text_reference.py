#!/usr/bin/env python3
"""An independent, plain reading of the text construction file rules, used to
check kon2x message for message on generated files.

For each input it predicts what kon2x prints on standard output and its exit
status; compare_text() runs the real program and compares.
Usage: text_reference.py KON2X SAMPLE_GENERATOR [COUNT]
"""
import os
import random
import subprocess
import sys
import tempfile

MAX_COUNT = 32767


def pieces(data):
    """The text as 1023-character pieces, CR LF read as LF, ending at 0x1A."""
    end = data.find(b"\x1a")
    if end >= 0:
        data = data[:end]
    text = data.replace(b"\r\n", b"\n")
    out = []
    i = 0
    while i < len(text):
        newline = text.find(b"\n", i, i + 1023)
        stop = newline + 1 if newline >= 0 else min(i + 1023, len(text))
        piece = text[i:stop]
        nul = piece.find(b"\0")
        out.append(piece if nul < 0 else piece[:nul])
        i = stop
    return out


def fields(line, separator):
    parts = []
    current = b""
    for byte in line:
        c = bytes([byte])
        if c == separator or c == b"\n":
            if current:
                parts.append(current)
            current = b""
        else:
            current += c
    if current:
        parts.append(current)
    return parts


def integer(field):
    text = field.lstrip(b" \t\n\v\f\r")
    sign = 1
    if text[:1] in (b"+", b"-"):
        sign = -1 if text[:1] == b"-" else 1
        text = text[1:]
    digits = b""
    for byte in text:
        if not 48 <= byte <= 57:
            break
        digits += bytes([byte])
    value = sign * int(digits) if digits else 0
    return max(-2**31, min(2**31 - 1, value))


def low16(value):
    value &= 0xFFFF
    return value - 0x10000 if value >= 0x8000 else value


def starts(line, keyword):
    return line[:len(keyword)].lower() == keyword.lower()


def predict(data):
    """(standard output, exit status) that kon2x should give for `data`."""
    lines = pieces(data)
    report = lambda message: (message + "Return->--> ", 1)
    if not lines or not starts(lines[0], b"KON") or len(lines[0]) < 5:
        return report("Falsches Kon-Format!\n")
    separator = lines[0][3:4]
    kind_text = lines[0][4:]
    if starts(kind_text, b"VAQ"):
        kind = 1
    elif starts(kind_text, b"KRUV"):
        kind = 0
    else:
        return report("Falscher Kon-Typ!\n")
    if len(lines) < 2 or lines[1][:1] not in (b"X", b"x"):
        return report("Punkteliste nicht gefunden!\n")
    face_header = next((i for i in range(2, len(lines)) if starts(lines[i], b"Flaechen")), None)
    if face_header is None:
        return report("Flaechenliste nicht gefunden!\n")
    instance_header = next((i for i in range(face_header + 1, len(lines)) if starts(lines[i], b"ScalX")), None)
    if instance_header is None:
        return report("Instanzen nicht gefunden!\n")

    points = 0
    for number in range(2, face_header):
        parts = fields(lines[number], separator)
        if not parts:
            continue
        if len(parts) < 3:
            return report("falsches Punktformat in Zeile %d!\n" % (number + 1))
        if points == MAX_COUNT:
            return report("Zu viele Punkte in Zeile %d!\n" % (number + 1))
        points += 1
    faces = 0
    for number in range(face_header + 1, instance_header):
        parts = fields(lines[number], separator)
        if not parts:
            continue
        if faces == MAX_COUNT:
            return report("Zu viele Flaechen in Zeile %d!\n" % (number + 1))
        faces += 1
        for part in parts:
            index = low16(integer(part))
            if index < 0 or index >= points:
                return report("Falscher Punkt: %d in Zeile %d!\n" % (index, number + 1))
    instances = 0
    for number in range(instance_header + 1, len(lines)):
        parts = fields(lines[number], separator)
        if not parts:
            continue
        if len(parts) < 9:
            return report("falsches Instanzformat in Zeile %d!\n" % (number + 1))
        if instances == MAX_COUNT:
            return report("Zu viele Instanzen in Zeile %d!\n" % (number + 1))
        instances += 1
    if kind != 0:
        return ("--> ", 1)
    return ("", 0)


TOKENS = [b";", b"\n", b"\r\n", b"\r", b" ", b"-", b"0", b"7", b"40000", b"X\n", b"Flaechen\n", b"ScalX\n",
          b"\x1a", b"\0", b";;;\n", b"1,5", b"kon;kruv\n", b"9" * 1100, b";" * 1030]


def mutations(data, rng):
    """A few damaged variants of a file: tokens inserted, bytes deleted."""
    variants = []
    for _ in range(3):
        mutated = bytearray(data)
        for _ in range(rng.randint(1, 4)):
            at = rng.randint(0, len(mutated))
            if rng.random() < 0.6:
                mutated[at:at] = rng.choice(TOKENS)
            else:
                del mutated[at:at + rng.randint(1, 8)]
        variants.append(bytes(mutated))
    return variants


def main():
    kon2x, generator = sys.argv[1], sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 400
    failures = 0
    checked = 0
    rng = random.Random(5)
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([generator, folder, str(count), "11"], check=True, stdin=subprocess.DEVNULL)
        # The answers at the prompts come from a file: kon2x may exit without reading them.
        answers = os.path.join(folder, "answers")
        with open(answers, "wb") as handle:
            handle.write(b"\n\n\n")
        for name in sorted(os.listdir(folder)):
            if not name.startswith("sample") or not name.endswith(".kon"):
                continue
            with open(os.path.join(folder, name), "rb") as handle:
                original = handle.read()
            for variant, data in enumerate([original] + mutations(original, rng)):
                if data[:3].lower() != b"kon":
                    continue  # read as an archive, not as text
                probe = os.path.join(folder, "probe.kon")
                with open(probe, "wb") as handle:
                    handle.write(data)
                expected = predict(data)
                with open(answers, "rb") as stdin:
                    run = subprocess.run([kon2x, "probe.kon"], cwd=folder, stdin=stdin, capture_output=True)
                actual = (run.stdout.decode("latin-1"), run.returncode)
                checked += 1
                if actual != expected:
                    failures += 1
                    print("DIFFERENT %s variant %d: kon2x %r, reference %r" % (name, variant, actual, expected))
    print("text reference: %d passed, %d failed" % (checked - failures, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
