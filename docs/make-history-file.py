#!/usr/bin/env python3
"""Writes a kept history file of the last 24 hours for the screenshots: a
working day's load with a busy spell at three in the afternoon, the memory
beside it, the disks, the network and the graphics (an install that reads
and writes at three, a download before it, a video in the evening), and a
night's suspend that leaves a gap.
  docs/make-history-file.py OUT_FILE"""
import datetime
import math
import random
import sys

random.seed(7)
now = datetime.datetime.now().replace(second=0, microsecond=0)
rows = ["\ufeffTime,CPU mean (%),CPU min (%),CPU max (%),Memory (%),Memory (MB),"
        "Busiest process 1,Share (%) 1,Busiest process 2,Share (%) 2,Busiest process 3,Share (%) 3,"
        "UTC offset,Disk read (KB/s),Disk write (KB/s),Disk active (%),Network received (KB/s),"
        "Network sent (KB/s),GPU (%),GPU memory (MB),Busiest by I/O,I/O share (%)"]
for back in range(1440, 0, -1):
    t = now - datetime.timedelta(minutes=back)
    hour = t.hour + t.minute / 60
    if 2 <= hour < 4:
        continue  # asleep
    day = max(0.0, math.sin((hour - 7) / 14 * math.pi)) if 7 <= hour <= 21 else 0.0
    mean = 4 + 22 * day + random.uniform(-3, 3)
    busy = [("chrome.exe", mean * 0.4), ("explorer.exe", mean * 0.1), ("svchost.exe", mean * 0.05)]
    if 14.8 <= hour < 15.6:
        mean = 78 + random.uniform(-8, 8)
        busy = [("setup.exe", mean * 0.8), ("MsMpEng.exe", mean * 0.1), ("chrome.exe", 2.0)]
    mean = max(0.5, min(99.0, mean))
    low = max(0.0, mean - random.uniform(2, 10))
    high = min(100.0, mean + random.uniform(5, 30))
    memory = 38 + 20 * day + random.uniform(-1, 1)
    fields = [t.strftime("%Y-%m-%d %H:%M:%S"), f"{mean:.1f}", f"{low:.1f}", f"{high:.1f}", f"{memory:.1f}",
              str(round(memory / 100 * 16384))]
    for name, share in busy:
        fields += [name, f"{share:.1f}"]
    # KB/s: a little of everything by day, a download before three, the
    # install reading and writing at three, a video in the evening.
    read = (300 + 900 * day) * random.uniform(0.3, 1.7)
    write = (150 + 500 * day) * random.uniform(0.3, 1.7)
    received = (20 + 200 * day) * random.uniform(0.2, 1.8)
    sent = (8 + 40 * day) * random.uniform(0.2, 1.8)
    gpu = 2 + 10 * day + random.uniform(0, 4)
    mover = ("chrome.exe", random.uniform(30, 60))
    if 14.2 <= hour < 14.8:
        received = random.uniform(5500, 7000)
        mover = ("setup.exe", random.uniform(70, 90))
    if 14.8 <= hour < 15.6:
        read = random.uniform(4000, 9000)
        write = random.uniform(6000, 11000)
        mover = ("setup.exe", random.uniform(80, 95))
    if 19 <= hour < 21:
        received = random.uniform(600, 900)
        gpu = 25 + random.uniform(-5, 5)
    active = min(100.0, (read + write) / 200)
    fields += ["", f"{read:.1f}", f"{write:.1f}", f"{active:.1f}", f"{received:.1f}", f"{sent:.1f}",
               f"{gpu:.1f}", str(round(700 + 300 * day)), mover[0], f"{mover[1]:.1f}"]
    rows.append(",".join(fields))
with open(sys.argv[1], "w", encoding="utf-8", newline="") as out:
    out.write("\r\n".join(rows) + "\r\n")
