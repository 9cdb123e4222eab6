#!/usr/bin/env python3
"""Runs the panel benchmarks and prints one Markdown table.

    run_bench.py --build DIR --gauges DIR [--repetitions N] [--min-time S] [--callgrind-frames N]

- frame_bench (Google Benchmark, built in the native build DIR): a whole-panel frame, the
  same frame with the module callbacks detached (the host's own bookkeeping), the panel
  rendered by the bench compositor and the same bitmaps plainly blitted; medians of the
  repetitions, all in one run;
- callgrind: instructions per frame, counted inside counted_frames() only, split between the
  gauge modules and everything else (host emulator, C and C++ libraries), repeatable where
  timings are not;
- the code and data of each shipped .gau, resources and relocations left out.
"""
import argparse
import glob
import json
import os
import re
import struct
import subprocess
import sys
import tempfile


def run_frame_bench(binary, repetitions, min_time):
    out = subprocess.run(
        [binary, "--benchmark_format=json", f"--benchmark_repetitions={repetitions}",
         "--benchmark_report_aggregates_only=true", f"--benchmark_min_time={min_time}"],
        check=True, capture_output=True, text=True).stdout
    results = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        unit = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
        results[b["run_name"]] = {"seconds": b["real_time"] * unit, "gauges": int(b["gauges"]),
                                  "elements": int(b["elements"])}
    return results


def parse_callgrind(path, module_dir):
    """Self cost (Ir) per object file, from a callgrind output file."""
    names = {"ob": {}, "fn": {}}
    current_ob = None
    ob = None
    skip_next_cost = False
    per_object = {}

    def resolve(kind, text):
        m = re.match(r"\((\d+)\)\s*(.*)", text)
        if not m:
            return text
        if m.group(2):
            names[kind][m.group(1)] = m.group(2)
        return names[kind].get(m.group(1), text)

    with open(path) as f:
        for line in f:
            line = line.rstrip("\n")
            if not line:
                continue
            if line.startswith("ob="):
                ob = resolve("ob", line[3:])
            elif line.startswith("fn="):
                resolve("fn", line[3:])
                current_ob = ob
            elif line.startswith(("cob=", "cfn=", "cfi=", "cfl=", "fl=", "fi=", "fe=")):
                if line.startswith("cob="):
                    resolve("ob", line[4:])
                if line.startswith("cfn="):
                    resolve("fn", line[4:])
            elif line.startswith("calls="):
                skip_next_cost = True
            elif line[0].isdigit() or line[0] in "+-*":
                if skip_next_cost:  # the inclusive cost of a call, not this function's own
                    skip_next_cost = False
                    continue
                fields = line.split()
                if len(fields) >= 2 and current_ob is not None:
                    per_object[current_ob] = per_object.get(current_ob, 0) + int(fields[1])
    module_ir = sum(v for k, v in per_object.items()
                    if k.startswith(module_dir) and not os.path.basename(k).startswith("lib"))
    return sum(per_object.values()), module_ir


def run_callgrind(binary, frames, module_dir):
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "callgrind.out")
        subprocess.run(["valgrind", "--tool=callgrind", "--toggle-collect=counted_frames",
                        f"--callgrind-out-file={out}", binary, "--callgrind-frames", str(frames)],
                       check=True, capture_output=True, text=True)
        total, module = parse_callgrind(out, module_dir)
    return total / frames, module / frames


def gau_sizes(gauge_dir):
    """Code and data bytes of each .gau (section virtual sizes), without resources and relocations."""
    sizes = []
    for path in sorted(glob.glob(os.path.join(gauge_dir, "*.gau"))):
        with open(path, "rb") as f:
            image = f.read()
        pe = struct.unpack_from("<I", image, 0x3C)[0]
        if image[pe:pe + 4] != b"PE\0\0":
            raise SystemExit(f"{path}: not a PE image")
        sections, optional_size = struct.unpack_from("<H", image, pe + 6)[0], struct.unpack_from("<H", image, pe + 20)[0]
        table = pe + 24 + optional_size
        code = data = 0
        for i in range(sections):
            name, virtual_size, _, raw_size = struct.unpack_from("<8sIII", image, table + 40 * i)
            characteristics = struct.unpack_from("<I", image, table + 40 * i + 36)[0]
            name = name.rstrip(b"\0").decode("ascii", "replace")
            if name in (".rsrc", ".reloc"):
                continue
            size = virtual_size or raw_size
            if characteristics & 0x20:  # contains code
                code += size
            else:
                data += size
        sizes.append((os.path.basename(path), code, data))
    return sizes


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True, help="native build folder holding bench/frame_bench and modules/")
    parser.add_argument("--gauges", required=True, help="folder of the shipped .gau files")
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--min-time", default="0.2")
    parser.add_argument("--callgrind-frames", type=int, default=200)
    args = parser.parse_args()

    binary = os.path.join(args.build, "bench", "frame_bench")
    module_dir = os.path.abspath(os.path.join(args.build, "modules")) + "/"
    timed = run_frame_bench(binary, args.repetitions, args.min_time)
    ir_frame, ir_module = run_callgrind(binary, args.callgrind_frames, module_dir)
    sizes = gau_sizes(args.gauges)

    frame, host_only = timed["panel_frame"], timed["panel_frame_host_only"]
    render, blit = timed["panel_render"], timed["panel_blit"]
    module_time = max(frame["seconds"] - host_only["seconds"], 0.0)

    def us(s):
        return f"{s * 1e6:,.1f} µs"

    rows = [
        (f"Whole-panel frame ({frame['gauges']} gauges, {frame['elements']} elements), nothing drawn",
         f"{us(frame['seconds'])} ({1 / frame['seconds']:,.0f} frames/s)"),
        ("Same frame, module callbacks detached (host emulator bookkeeping)", us(host_only["seconds"])),
        ("Module share of the frame (time)",
         f"{module_time / frame['seconds']:.0%}; module : host = {module_time / host_only['seconds']:.2f}"),
        ("Instructions per frame (callgrind)", f"{ir_frame:,.0f}"),
        ("Module share of the frame (instructions)",
         f"{ir_module / ir_frame:.0%}; module : host = {ir_module / (ir_frame - ir_module):.2f}"),
        ("Whole-panel render (frame + compositor)", f"{us(render['seconds'])} ({1 / render['seconds']:,.0f} frames/s)"),
        ("Plain blit of the same bitmaps (frame + copies)", f"{us(blit['seconds'])} ({1 / blit['seconds']:,.0f} frames/s)"),
        ("Render / plain blit", f"{render['seconds'] / blit['seconds']:.1f} x"),
    ]
    for name, code, data in sizes:
        rows.append((f"{name}: code + data, without resources", f"{code + data:,} B (code {code:,}, data {data:,})"))

    width = max(len(r[0]) for r in rows)
    print(f"| {'Measure'.ljust(width)} | Value |")
    print(f"|{'-' * (width + 2)}|-------|")
    for what, value in rows:
        print(f"| {what.ljust(width)} | {value} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
