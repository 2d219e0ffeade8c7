#!/usr/bin/python3
"""The board firmware in the s51 simulator: command handling, enumeration
requests, the signature, a remote's signal captured from the receiver pin and
the carrier the emitter sends.

Each case starts the firmware from reset, lets it reach its main loop (the
first write of OUT1BC, which arms the command endpoint), then places command
packets in the EP1 OUT buffer as the USB core would (OUT1BUF, OUT1BC, busy
bit cleared) and runs until the firmware re-arms the endpoint. The simulator
knows nothing of the EZ-USB: the busy bit is set again by the script.

usage: firmware_sim_test.py halvik_fw.ihx halvik_fw.map
"""
import os
import re
import statistics
import subprocess
import sys
import tempfile

OUT1BUF, OUT1CS, OUT1BC = 0x7E40, 0x7FC6, 0x7FC7
IN2BUF, IN2CS, IN2BC = 0x7E00, 0x7FB8, 0x7FB9
OUTA, OUTC, OEC, PINSB = 0x7F96, 0x7F98, 0x7F9E, 0x7F9A


def symbols(map_path):
    found = {}
    for line in open(map_path, encoding="latin-1"):
        m = re.match(r"\s*(?:[CDI]:)?\s*([0-9A-F]{8})\s+(_\w+)\s", line)
        if m:
            found[m.group(2)] = int(m.group(1), 16)
    return found


def code_address(rst_path, label):
    """The address of a code label in SDCC's relocated listing (.rst)."""
    for line in open(rst_path, encoding="latin-1"):
        m = re.match(r"\s*([0-9A-F]{6})\s+\d+\s+%s:" % re.escape(label), line)
        if m:
            return int(m.group(1), 16)
    raise AssertionError("%s not in %s" % (label, rst_path))


def signature_of(ihx, make_signature, capture, signature, code):
    """Calls the firmware's MakeSignature on a captured code, as Capture does
    at the end of a signal: the element count in DPL, a return address of 0
    on a fresh stack, and a stop when the call returns there."""
    elements = code.index(0xFF)
    cmd = ["set mem xram 0x%x 0x02" % PINSB, "set mem xram 0x%x 0x02" % OUT1CS,
           "break xram w 0x%x" % OUT1BC, "run", "delete"]
    for at in range(0, len(code), 16):
        cmd.append("set mem xram 0x%x %s" % (capture + at, hexbytes(code[at:at + 16])))
    cmd += ["set mem sfr 0x82 0x%02x" % elements, "set mem iram 0x71 0x00 0x00", "set mem sfr 0x81 0x72",
            "run 0x%x 0x0" % make_signature, "dump xram 0x%x 0x%x" % (signature, signature + 15), "quit"]
    out = subprocess.run(["s51", "-t", "8052", ihx], input="\n".join(cmd) + "\n", capture_output=True,
                         text=True, timeout=30).stdout
    values = {}
    for line in out[out.rfind("Simulated"):].splitlines():
        m = re.match(r"\s*0x([0-9a-f]+)\s+((?:[0-9a-f]{2} ?)+)", line)
        if m:
            for i, b in enumerate(m.group(2).split()):
                values[int(m.group(1), 16) + i] = int(b, 16)
    return [values.get(signature + i) for i in range(16)]


SETUPDAT, USBIRQ, EP0CS, IN0BUF, IN0BC, SUDPTRH, SUDPTRL = 0x7FE8, 0x7FAB, 0x7FB4, 0x7F00, 0x7FB5, 0x7FD4, 0x7FD5


def control_request(ihx, setup):
    """One SETUP packet as the core hands it over (SETUPDAT, SUDAV), run until
    the firmware ends the request by writing EP0CS (stall or HSNAK)."""
    cmd = ["set mem xram 0x%x 0x02" % PINSB, "set mem xram 0x%x 0x02" % OUT1CS,
           "break xram w 0x%x" % OUT1BC, "run", "delete",
           "set mem xram 0x%x 0x00" % EP0CS, "set mem xram 0x%x 0x00 0x00" % SUDPTRH,
           "set mem xram 0x%x 0x00" % IN0BC, "set mem xram 0x%x 0 0" % IN0BUF,
           "set mem xram 0x%x %s" % (SETUPDAT, hexbytes(setup)), "set mem xram 0x%x 0x01" % USBIRQ,
           "break xram w 0x%x" % EP0CS, "run",
           "dump xram 0x%x 0x%x" % (EP0CS, IN0BC), "dump xram 0x%x 0x%x" % (SUDPTRH, SUDPTRL),
           "dump xram 0x%x 0x%x" % (IN0BUF, IN0BUF + 1), "quit"]
    out = subprocess.run(["s51", "-t", "8052", ihx], input="\n".join(cmd) + "\n", capture_output=True,
                         text=True, timeout=30).stdout
    values = {}
    for line in out[out.rfind("Simulated"):].splitlines():
        m = re.match(r"\s*0x([0-9a-f]+)\s+((?:[0-9a-f]{2} ?)+)", line)
        if m:
            for i, b in enumerate(m.group(2).split()):
                values[int(m.group(1), 16) + i] = int(b, 16)
    return values


def capture_signal(ihx, durations_us, captured, capture, signature, vcd_path):
    """Plays a remote's signal into the receiver pin (PB1, active low) as a
    VCD input and runs until the firmware raises its captured flag. The chip
    runs at 24 MHz: timer 0 counts 2 MHz, as on the board."""
    lines = ["$timescale 1us $end", "$scope module ucsim_vcd_0 $end", "$var wire 8 ! pinsb $end",
             "$upscope $end", "$enddefinitions $end", "#0", "b00000010 !"]
    t, level = 2000, 0
    for d in durations_us:
        lines += ["#%d" % t, "b%s !" % ("00000000" if level == 0 else "00000010")]
        t += d
        level ^= 1
    lines += ["#%d" % t, "b00000010 !", "#%d" % (t + 40000), "b00000010 !"]
    with open(vcd_path, "w") as f:
        f.write("\n".join(lines) + "\n")
    cmd = ["set mem xram 0x%x 0x02" % PINSB, "set mem xram 0x%x 0x02" % OUT1CS,
           "break xram w 0x%x" % OUT1BC, "run", "delete",
           "var pinsb xram[0x%x]" % PINSB, 'set hw vcd[0] input "%s"' % vcd_path, "set hw vcd[0] start",
           "break iram w 0x%x" % captured, "run",
           "dump xram 0x%x 0x%x" % (capture, capture + 31), "dump xram 0x%x 0x%x" % (signature, signature + 15),
           "quit"]
    out = subprocess.run(["s51", "-t", "8052", "-X", "24M", ihx], input="\n".join(cmd) + "\n",
                         capture_output=True, text=True, timeout=30).stdout
    values = {}
    for line in out[out.rfind("Simulated"):].splitlines():
        m = re.match(r"\s*0x([0-9a-f]+)\s+((?:[0-9a-f]{2} ?)+)", line)
        if m:
            for i, b in enumerate(m.group(2).split()):
                values[int(m.group(1), 16) + i] = int(b, 16)
    return [values.get(capture + i) for i in range(32)], [values.get(signature + i) for i in range(16)]


def emitter_waveform(ihx, code, vcd_path):
    """Transmits code (index 0, then index 2 starts it) with the emitter pin
    (PA1) recorded as a VCD; returns the times of its rising edges in us."""
    packet0 = [0x93, 0] + (code + [0] * 62)[:62]
    cmd = ["set mem xram 0x%x 0x02" % PINSB, "set mem xram 0x%x 0x02" % OUT1CS,
           "set mem xram 0x%x 0x00" % IN2CS, "break xram w 0x%x" % OUT1BC, "run"]
    for at in range(0, 64, 16):
        cmd.append("set mem xram 0x%x %s" % (OUT1BUF + at, hexbytes(packet0[at:at + 16])))
    cmd += ["set mem xram 0x%x 64" % OUT1BC, "set mem xram 0x%x 0" % OUT1CS, "run",
            "set mem xram 0x%x 0x02" % OUT1CS,
            'set hw vcd[0] output "%s"' % vcd_path, "set hw vcd[0] add xram[0x%x]" % OUTA, "set hw vcd[0] start",
            "set mem xram 0x%x 0x93 0x02" % OUT1BUF, "set mem xram 0x%x 64" % OUT1BC,
            "set mem xram 0x%x 0" % OUT1CS, "run", "set hw vcd[0] stop", "quit"]
    subprocess.run(["s51", "-t", "8052", "-X", "24M", ihx], input="\n".join(cmd) + "\n", capture_output=True,
                   text=True, timeout=30)
    events, t = [], None
    for line in open(vcd_path):
        if line.startswith("#"):
            t = int(line[1:]) / 1e6  # ps -> us
        elif line.startswith("b") and t is not None:
            events.append((t, int(line[1:].split()[0], 2)))
    return [t for (t, v), (_, before) in zip(events[1:], events[:-1]) if v & 2 and not before & 2]


def hexbytes(values):
    return " ".join("0x%02x" % v for v in values)


def run_case(ihx, presets, packets, dumps):
    """presets: (memory, address, bytes); packets: list of byte lists;
    dumps: (memory, address, count). Returns (dumped bytes per dump, ticks of the last run)."""
    cmd = ["set mem xram 0x%x 0x02" % PINSB,  # receiver idle (high)
           "set mem xram 0x%x 0x02" % OUT1CS,  # armed, no packet yet
           "set mem xram 0x%x 0x00" % IN2CS,  # the reply endpoint is free
           "break xram w 0x%x" % OUT1BC,
           "run"]
    for memory, address, data in presets:
        for at in range(0, len(data), 16):
            cmd.append("set mem %s 0x%x %s" % (memory, address + at, hexbytes(data[at:at + 16])))
    for p in packets:
        for at in range(0, len(p), 16):
            cmd.append("set mem xram 0x%x %s" % (OUT1BUF + at, hexbytes(p[at:at + 16])))
        cmd += ["set mem xram 0x%x %d" % (OUT1BC, len(p)), "set mem xram 0x%x 0" % OUT1CS, "run",
                "set mem xram 0x%x 0x02" % OUT1CS]
    for memory, address, count in dumps:
        cmd.append("dump %s 0x%x 0x%x" % (memory, address, address + count - 1))
    cmd.append("quit")
    out = subprocess.run(["s51", "-t", "8052", ihx], input="\n".join(cmd) + "\n", capture_output=True,
                         text=True, timeout=30).stdout
    ticks = [int(t) for t in re.findall(r"Simulated (\d+) ticks", out)]
    if len(ticks) != len(packets) + 1:
        raise AssertionError("the firmware did not come back to its main loop:\n" + out[-2000:])
    # The dumps come last; each line is "0xADDR  bytes  text".
    tail = out[out.rfind("Simulated"):]
    rows = {}
    values = {}
    for line in tail.splitlines():
        m = re.match(r"\s*0x([0-9a-f]+)\s+((?:[0-9a-f]{2} ?)+)", line)
        if m:
            base = int(m.group(1), 16)
            for i, b in enumerate(m.group(2).split()):
                values[base + i] = int(b, 16)
    for memory, address, count in dumps:
        rows[(memory, address)] = [values.get(address + i) for i in range(count)]
    return rows, ticks[-1]


def main():
    ihx, map_path = sys.argv[1], sys.argv[2]
    sym = symbols(map_path)
    captured, capture, signature, send = sym["_captured"], sym["_capture"], sym["_signature"], sym["_sendBuffer"]
    code = [(i * 5 + 1) % 251 for i in range(191)] + [0xFF]
    sig = [0x21] + list(range(1, 16))
    failures = []

    def check(name, got, want):
        if got != want:
            failures.append("%s: got %s, want %s" % (name, got, want))

    # Start-up and switch commands: OEC and port C as the host asks, the
    # operand on the latch data line (PA0).
    port_cases = [
        ("start-up", [[0x0F, 0x3F, 0xFE]], 0x0F, 0x0F, 0),
        ("appliance 0 on", [[0x0F], [0x34, 0x01]], 0x0F, 0x04, 1),
        ("appliance 3 off", [[0x0F, 0x37, 0x00]], 0x0F, 0x07, 0),
        ("appliance 2 off after on", [[0x0F, 0x36, 0x01], [0x36, 0x00]], 0x0F, 0x06, 0),
        ("a port command cut short is dropped", [[0x0C, 0x35]], 0x0C, 0x08, 0),
        ("commands the host never sends are skipped", [[0x1F, 0xF3, 0x35, 0x0F, 0x33, 0x01]], 0x0F, 0x03, 1),
    ]
    for name, packets, oec, portc, data in port_cases:
        rows, _ = run_case(ihx, [], packets, [("xram", OEC, 1), ("xram", OUTC, 1), ("xram", OUTA, 1)])
        check(name + ": OEC", rows[("xram", OEC)][0], oec)
        check(name + ": port C low nibble", rows[("xram", OUTC)][0] & 0x0F, portc)
        check(name + ": latch data", rows[("xram", OUTA)][0] & 0x01, data)

    # Read parts.
    rows, _ = run_case(ihx, [], [[0x80, 0x00]], [("xram", IN2BUF, 1), ("xram", IN2BC, 1)])
    check("part 0, nothing captured", rows[("xram", IN2BUF)], [0])
    check("part 0 arms 64 bytes", rows[("xram", IN2BC)], [64])

    presets = [("iram", captured, [1]), ("xram", capture, code), ("xram", signature, sig)]
    rows, _ = run_case(ihx, presets, [[0x80, 0x00]], [("xram", IN2BUF, 16), ("iram", captured, 1)])
    check("part 0 gives the signature", rows[("xram", IN2BUF)], sig)
    check("part 0 clears the captured flag", rows[("iram", captured)], [0])

    for last in (1, 2, 3):
        packets = [[0x80, part] for part in range(1, last + 1)]
        rows, _ = run_case(ihx, presets, packets, [("xram", IN2BUF, 64), ("iram", captured, 1)])
        check("part %d gives its 64 bytes" % last, rows[("xram", IN2BUF)], code[(last - 1) * 64:last * 64])
        check("captured flag after part %d" % last, rows[("iram", captured)], [0 if last == 3 else 1])

    rows, _ = run_case(ihx, presets, [[0x80, 3], [0x80, 3]], [("xram", IN2BUF, 64)])
    check("part 3 again: byte 0 = 0, the rest of the last reply", rows[("xram", IN2BUF)], [0] + code[129:192])
    rows, _ = run_case(ihx, presets, [[0x80, 4]], [("xram", IN2BUF, 1), ("iram", captured, 1)])
    check("part 4 gives byte 0 = 0", rows[("xram", IN2BUF)], [0])
    check("part 4 leaves the flag", rows[("iram", captured)], [1])

    # Code packets fill the transmit buffer; index 2 transmits, which takes
    # as long as the code's durations (64 us units).
    body = lambda index, fill: [0x93, index] + [fill] * 62
    rows, ticks = run_case(ihx, [], [body(0, 0x11), body(1, 0x22)], [("xram", send, 186)])
    check("index 0 and 1 fill bytes 0-123", rows[("xram", send)][:124], [0x11] * 62 + [0x22] * 62)
    quick = ticks
    mark = [0x93, 2, 0x7D, 0x7D, 0xFF] + [0] * 59  # 8 ms mark, 8 ms space
    rows, ticks = run_case(ihx, [("xram", send, [0xFF] + [0] * 123)], [mark], [("xram", send + 124, 3), ("xram", OUTA, 1)])
    check("index 2 fills bytes 124-185", rows[("xram", send + 124)], [0x7D, 0x7D, 0xFF])
    check("the emitter is off after the transmission", rows[("xram", OUTA)][0] & 0x02, 0)
    rows, ticks = run_case(ihx, [], [[0x93, 2] + [0] * 62, [0x93, 0, 0x7D, 0x7D, 0xFF] + [0] * 59, mark], [])
    # The firmware times durations with timer 0 (2 MHz on the chip, 64 us =
    # 128 counts); s51 counts it once a machine cycle of 12 clock ticks. The
    # 16 ms code is 2 x 125 x 128 counts, so at least 384000 ticks; packets
    # without a transmission take far less.
    if not (ticks >= 2 * 125 * 128 * 12 and quick < 100000):
        failures.append("transmission time: %d ticks with a 16 ms code, %d without" % (ticks, quick))

    # The signature the firmware computes at the end of a capture; the virtual
    # board computes the same (SignatureOf, checked on the same codes).
    make_signature = code_address(ihx[:-len(".ihx")] + ".rst", "_MakeSignature")
    signature_cases = [
        ("NEC-like", [141, 70, 9, 9, 9, 26, 9, 26, 9, 9, 9, 0xFF], [6, 0x14] + [0] * 14),
        ("all short", [50, 25, 5, 5, 5, 5, 5, 0xFF], [4] + [0] * 15),
        # 191 elements: 96 marks; only 120 bits fit, all set (long marks and spaces).
        ("longest", [80, 40] + [4, 4, 9, 9] * 47 + [4, 0xFF],
         [96] + [0x33] * 15),
    ]
    for name, case_code, want in signature_cases:
        check("signature, " + name, signature_of(ihx, make_signature, capture, signature, case_code), want)

    # Enumeration: descriptor requests point the core at the descriptor
    # (SUDPTR), unknown ones stall, status requests answer through IN0BUF.
    descriptors = code_address(ihx[:-len(".ihx")] + ".rst", "_descriptors")
    setup_cases = [
        ("device descriptor", [0x80, 6, 0, 1, 0, 0, 18, 0], descriptors + 0, None),
        ("configuration descriptor", [0x80, 6, 0, 2, 0, 0, 0xFF, 0], descriptors + 18, None),
        ("languages", [0x80, 6, 0, 3, 0, 0, 0xFF, 0], descriptors + 134, None),
        ("string 1", [0x80, 6, 1, 3, 0x09, 0x04, 0xFF, 0], descriptors + 138, None),
        ("string 2", [0x80, 6, 2, 3, 0x09, 0x04, 0xFF, 0], descriptors + 148, None),
        ("string 3 stalls", [0x80, 6, 3, 3, 0x09, 0x04, 0xFF, 0], None, "stall"),
        ("unknown request stalls", [0x40, 0x55, 0, 0, 0, 0, 0, 0], None, "stall"),
        ("device status", [0x80, 0, 0, 0, 0, 0, 2, 0], None, [0, 0]),
    ]
    for name, setup, pointer, answer in setup_cases:
        v = control_request(ihx, setup)
        if pointer is not None:
            check(name + ": SUDPTR", (v.get(SUDPTRH), v.get(SUDPTRL)), (pointer >> 8, pointer & 0xFF))
            check(name + ": no stall", v.get(EP0CS, 1) & 1, 0)
        elif answer == "stall":
            check(name, v.get(EP0CS, 0) & 1, 1)
        else:
            check(name + ": reply", [v.get(IN0BUF), v.get(IN0BUF + 1), v.get(IN0BC)], answer + [len(answer)])
    if descriptors % 2:
        failures.append("descriptors at an odd address: 0x%04x" % descriptors)

    # A remote's signal on the receiver pin: NEC timing (9 ms / 4.5 ms leader,
    # 560 us marks, spaces of 560 or 1690 us for 0 and 1), bits 0 1 1 0.
    with tempfile.TemporaryDirectory() as tmp:
        nec = [9000, 4500, 560, 560, 560, 1690, 560, 1690, 560, 560, 560]
        got_code, got_signature = capture_signal(ihx, nec, captured, capture, signature, os.path.join(tmp, "ir.vcd"))
    # In 64 us units, give or take one for where the polling loop sees an edge.
    near = all(g is not None and abs(g - d / 64) <= 1 for g, d in zip(got_code, nec))
    check("captured code %s" % got_code[:12], near and got_code[len(nec)] == 0xFF, True)
    check("captured signature", got_signature, [6, 0x14] + [0] * 14)

    # The emitter: a 38.5 kHz carrier during marks, silent during spaces; a
    # mark of 16 units lasts about 16 x 65 us.
    with tempfile.TemporaryDirectory() as tmp:
        rises = emitter_waveform(ihx, [0x10, 0x08, 0x10, 0xFF], os.path.join(tmp, "emitter.vcd"))
    bursts = []
    for r in rises:
        if bursts and r - bursts[-1][-1] < 100:
            bursts[-1].append(r)
        else:
            bursts.append([r])
    periods = [b - a for burst in bursts for a, b in zip(burst, burst[1:])]
    if len(bursts) != 2 or not periods:
        failures.append("emitter: %d bursts of carrier, want 2" % len(bursts))
    else:
        check("carrier period (us)", 24 <= statistics.median(periods) <= 28, True)
        for n, burst in enumerate(bursts):
            length = burst[-1] - burst[0]
            check("mark %d length %.0f us" % (n, length), 16 * 65 * 0.9 <= length <= 16 * 65 * 1.05, True)

    if failures:
        print("\n".join(failures))
        return 1
    print("firmware command handling: all cases pass")
    return 0


if __name__ == "__main__":
    sys.exit(main())
