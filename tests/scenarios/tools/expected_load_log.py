#!/usr/bin/env python3
"""Writes the expected run log of a scenario that loads the tables and does not navigate.

An independent model of the loading stage, written from the rules of the tables
(fields, skipped lines, duplicates, junction measures, Dir 710 rows, Branched and
Divergent) and not from the navigator's code.  It reads <scenario>/cmdline and the
scenario's input tables and writes <scenario>/expected/message.out (or the log named
by the command line's prefix) and <scenario>/expected/exit_status.

Only command lines whose NavType lies outside 1..5 are handled: such a run writes the
header and the load dump and nothing else.  {WORK} in the command line stands for
the work folder; a WorkPath without it is taken relative to the work folder, which is
where the test harness starts the navigator.

Usage: expected_load_log.py <scenario folder> [--print]
"""
import os
import re
import sys

INT32_MIN, INT32_MAX = -2**31, 2**31 - 1
C_SPACE = b" \t\n\v\f\r"


def atol32(text):
    """Whole number as atol reads it, clamped to the 32-bit range."""
    i = 0
    while i < len(text) and text[i] in C_SPACE:
        i += 1
    sign = 1
    if i < len(text) and text[i] in b"+-":
        sign = -1 if text[i] == ord("-") else 1
        i += 1
    value = 0
    while i < len(text) and 48 <= text[i] <= 57:
        value = value * 10 + text[i] - 48
        i += 1
    return max(INT32_MIN, min(INT32_MAX, sign * value))


def low16(value):
    value &= 0xFFFF
    return value - 0x10000 if value >= 0x8000 else value


DEC = re.compile(rb"[+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?")
HEX = re.compile(rb"([+-]?)0[xX]((?:[0-9a-fA-F]+\.?[0-9a-fA-F]*|\.[0-9a-fA-F]+)(?:[pP][+-]?[0-9]+)?)")
SPECIAL = re.compile(rb"([+-]?)(inf(?:inity)?|nan(?:\([0-9A-Za-z_]*\))?)", re.IGNORECASE)


def strtod(text):
    """Decimal number as strtod reads it in the C locale."""
    text = text.lstrip(C_SPACE)
    m = HEX.match(text)
    if m:
        value = float.fromhex("0x" + m.group(2).decode())
        return -value if m.group(1) == b"-" else value
    m = SPECIAL.match(text)
    if m:
        value = float("inf") if m.group(2)[:1].lower() == b"i" else float("nan")
        return -value if m.group(1) == b"-" else value
    m = DEC.match(text)
    return float(m.group(0)) if m else 0.0


class Tokenizer:
    """strtok over one line: runs of separators count as one."""

    def __init__(self, text):
        self.text = text
        self.pos = 0

    def next(self, delims):
        t, i = self.text, self.pos
        while i < len(t) and t[i] in delims:
            i += 1
        if i >= len(t):
            self.pos = i
            return None
        j = i
        while j < len(t) and t[j] not in delims:
            j += 1
        self.pos = j + 1
        return t[i:j]


def lines_of(data):
    """(number, content without its line feed) for every line; a last line without
    a line feed counts as if it had one."""
    number, start = 0, 0
    while start < len(data):
        end = data.find(b"\n", start)
        if end < 0:
            end = len(data)
        number += 1
        yield number, data[start:end]
        start = end + 1


def fields_of(content, delims):
    text = content + b"\n"
    zero = text.find(b"\0")
    if zero >= 0:
        text = text[:zero]
    tok = Tokenizer(text)
    out = []
    for d in delims:
        piece = tok.next(d)
        if piece is None:
            break
        out.append(piece)
    return out


def read_table(log, path, fs_path, delims, extra_check=None):
    """Yields the field lists of the lines that are in the format; writes the
    skip lines.  Returns None when the file cannot be opened."""
    try:
        with open(fs_path, "rb") as f:
            data = f.read()
    except OSError:
        return None
    rows = []
    for number, content in lines_of(data):
        if content in (b"", b"\r"):
            continue
        fields = fields_of(content, delims)
        reason = None
        if len(fields) < 6:
            reason = "it has %d of the 6 fields" % len(fields)
        elif len(content) > 199:
            reason = "it is longer than 199 characters"
        elif extra_check:
            reason = extra_check(fields)
        if reason:
            log.append("Line %d of %s was skipped: %s\n" % (number, path, reason))
            continue
        rows.append(fields)
    return rows


def s(b):
    return b.decode("latin-1")


def model(cmdline, scenario):
    fields = [f for f in cmdline.split(b",") if f]
    if len(fields) < 14:
        sys.exit("fewer than 14 fields: the run is refused, write that scenario by hand")
    nav = atol32(fields[0])
    if 1 <= nav <= 5:
        sys.exit("NavType %d navigates: this tool models the loading stage only" % nav)
    work, outfile, prefix = fields[9], fields[10], fields[11]
    log = []
    log.append(
        "NavType: %d\nStartReach: %s\nStartMeasure: %10.5f\nEndReach: %s\nEndMeasure: %10.5f\n"
        "Direction: %s\nDistance: %10.5f\nDistanceUnits: %s\nTraversalOrder: %s\nWorkPath: %s\n"
        "OutFile: %s\nWhole Reach Start Mode: %d\nEnd at CU Boundary: %d\n\n"
        % (nav, s(fields[1]), strtod(fields[2]), s(fields[3]), strtod(fields[4]), s(fields[5]),
           strtod(fields[6]), s(fields[7]), s(fields[8]), s(work), s(outfile),
           low16(atol32(fields[12])), low16(atol32(fields[13]))))

    def paths(name):
        shown = s(work + prefix) + name
        local = shown.replace("{WORK}", "")
        return shown, os.path.join(scenario, local)

    rch_path, rch_fs = paths("rchdata.txt")
    flow_path, flow_fs = paths("flowdata.txt")
    sec_path, sec_fs = paths("secdata.txt")
    log_name = paths("message.out")[1]
    log.append("Rchdata: %s\nFlowdata: %s\nSecdata: %s\n" % (rch_path, flow_path, sec_path))

    def missing(path, name):
        log.append("The input file %s was not opened\n" % path)
        log.append("The file %s was not opened.\n" % name)
        return log, 1, log_name

    # Sections.
    rows = read_table(log, sec_path, sec_fs, [b","] * 6)
    if rows is None:
        return missing(sec_path, "secdata.txt")
    sections = []
    for f in rows:
        rec = (strtod(f[0]), strtod(f[1]), atol32(f[2]), atol32(f[3]), atol32(f[4]), atol32(f[5]))
        if any(x[4] == rec[4] and x[0] == rec[0] and x[1] == rec[1] for x in sections):
            continue
        sections.append(rec)
    log.append("\n")
    for i, x in enumerate(sections):
        log.append("Subscript: %d, F_meas: %10.5f, T_meas: %10.5f, Fnode: %d, Tnode: %d,Com_id: %d, Meters: %d\n"
                   % (i, x[0], x[1], x[2], x[3], x[4], x[5]))
    log.append("\n")
    log.append("Successfully read %d records from %s file\n" % (len(sections), sec_path))
    log.append("Subscripts range from 0 to %d\n" % (len(sections) - 1))
    sections.sort(key=lambda x: x[4])  # stable: file order among one reach

    def sections_of(c):
        return [x for x in sections if x[4] == c]

    # Flows.
    rows = read_table(log, flow_path, flow_fs, [b","] * 6)
    if rows is None:
        return missing(flow_path, "flowdata.txt")
    flows = []
    for f in rows:
        rel, c1, c2 = atol32(f[0]), atol32(f[1]), atol32(f[2])
        seq, d, dlevel = float(atol32(f[3])), atol32(f[4]), atol32(f[5])
        if any(x[0] == rel for x in flows):
            continue
        if seq > 0:
            cur, recv = sections_of(c1), sections_of(c2)
            if not cur or not recv:
                seq = 0.0
                log.append("Flow %d: no sections to place the junction, Sequence set to 0\n" % rel)
            else:
                trace = c1 == 918 or c2 == 918
                if d == 710:
                    here = next((x for x in cur if x[1] == 100.0), cur[0])
                    node = here[2]
                else:
                    here = next((x for x in cur if x[0] == 0.0), cur[0])
                    node = here[3]
                if trace:
                    log.append("   Currrent: %d,  Receiving: %d\n" % (c1, c2))
                    log.append("   TNODE (FNODE-710) where fmeas = 0 (100-710) for current reach is %d\n" % node)
                if d == 710:
                    there = next((x for x in recv if x[3] == node), recv[0])
                    seq = there[0]
                else:
                    there = next((x for x in recv if x[2] == node), recv[0])
                    seq = there[1]
                if trace:
                    log.append("   FNODE for receiving reach is %d\n" % there[2])
                    log.append("   f_meas: %10.5f, t_meas: %10.5f\n" % (there[0], there[1]))
        orig = 0
        if d == 710:
            c1, c2, d, orig = c2, c1, 709, 1
        flows.append((rel, c1, c2, seq, d, dlevel, orig))
    log.append("\n")
    for i, x in enumerate(flows):
        log.append("Subscript: %d, Rel_com_Id: %10d, Com_id1: %10d, Com_id2: %10d, Sequence: %10.5f, "
                   "Dir: %3d, DLevel: %d, Orig 710? %d\n" % ((i,) + x))
    log.append("\n")
    log.append("Successfully read %d records from %s file\n" % (len(flows), flow_path))
    log.append("Subscripts range from 0 to %d\n" % (len(flows) - 1))

    # Reaches.
    def rch_check(f):
        if len(f[1]) > 14:
            return "its Rch_code is longer than 14 characters"
        if len(f[2]) > 8:
            return "its Rch_date is longer than 8 characters"
        return None

    rows = read_table(log, rch_path, rch_fs, [b","] * 5 + [b"\n"], rch_check)
    if rows is None:
        return missing(rch_path, "rchdata.txt")
    reaches = []
    for f in rows:
        c = atol32(f[0])
        if any(x[0] == c for x in reaches):
            continue
        above = below = False
        for x in sections_of(c):
            above = above or x[0] > 100.0 or x[1] > 100.0
            below = below or x[0] < 100.0 or x[1] < 100.0
        branched = (1 if below else 2) if above else 0
        divergent = 0
        if branched:
            n_in = sum(1 for x in flows if x[2] == c)
            n_out = sum(1 for x in flows if x[1] == c)
            divergent = 1 if n_in < n_out else 0
        reaches.append((c, s(f[1]), s(f[2]), atol32(f[3]), atol32(f[4]), atol32(f[5]), branched, divergent))
    log.append("\n")
    for i, x in enumerate(reaches):
        log.append("Subscript: %d, Com_id: %10d, Rch_code: %s, Rch_date: %s, Level: %d, Meters: %d, "
                   "Duu_id: %d, Branched: %d, Divergent: %d\n" % ((i,) + x))
    log.append("\n")
    log.append("Successfully read %d records from %s file\n" % (len(reaches), rch_path))
    log.append("Subscripts range from 0 to %d\n" % (len(reaches) - 1))
    return log, 0, log_name


def main():
    scenario = sys.argv[1]
    with open(os.path.join(scenario, "cmdline"), "rb") as f:
        cmdline = f.read()
    if cmdline.endswith(b"\n"):
        cmdline = cmdline[:-1]
    if cmdline.endswith(b"\r"):
        cmdline = cmdline[:-1]
    log, status, log_fs = model(cmdline, scenario)
    text = "".join(log).encode("latin-1")
    if "--print" in sys.argv:
        sys.stdout.write(text.decode("latin-1"))
        print("exit status", status)
        return
    rel = os.path.relpath(log_fs, scenario)
    out = os.path.join(scenario, "expected", rel)
    os.makedirs(os.path.dirname(out), exist_ok=True)
    with open(out, "wb") as f:
        f.write(text)
    with open(os.path.join(scenario, "expected", "exit_status"), "w") as f:
        f.write("%d\n" % status)
    print("wrote", out)


if __name__ == "__main__":
    main()
