#!/usr/bin/env python3
"""Writes the binary files of the import cases: FIT files from the published protocol (a 14-byte header,
definition and data messages in little-endian order, and the CRCs), and gzip files and zip archives of device
files. Run it in this folder; the expected texts are written by hand or with PACEQUILL_BLESS=1 and read over."""
import gzip
import io
import os
import struct
import zipfile

CRC_TABLE = [0x0000, 0xCC01, 0xD801, 0x1400, 0xF001, 0x3C00, 0x2800, 0xE401,
             0xA001, 0x6C00, 0x7800, 0xB401, 0x5000, 0x9C01, 0x8801, 0x4400]
FIT_EPOCH = 631065600  # 1989-12-31 00:00 UTC in Unix time
START = 1764572400 - FIT_EPOCH  # 2025-12-01 07:00:00 UTC
UINT32, ENUM = 0x86, 0x00
FILE_ID, SPORT, SESSION, RECORD, EVENT = 0, 12, 18, 20, 21


def crc(data, value=0):
    for byte in data:
        for nibble in (byte & 0x0F, byte >> 4):
            tmp = CRC_TABLE[value & 0x0F]
            value = (value >> 4) & 0x0FFF
            value ^= tmp ^ CRC_TABLE[nibble]
    return value


class Fit:
    def __init__(self):
        self.records = b''
        self.fields = {}

    def define(self, local, glob, fields):
        if self.fields.get(local) == (glob, fields):
            return
        self.fields[local] = (glob, fields)
        self.records += struct.pack('<BBBHB', 0x40 | local, 0, 0, glob, len(fields))
        for number, size, base in fields:
            self.records += bytes([number, size, base])

    def data(self, local, *values):
        self.records += bytes([local])
        for (number, size, base), value in zip(self.fields[local][1], values):
            self.records += value.to_bytes(size, 'little')

    def file_id(self, created=None):
        self.define(0, FILE_ID, [(0, 1, ENUM), (4, 4, UINT32)])
        self.data(0, 4, 0xFFFFFFFF if created is None else created)

    def session(self, start, elapsed_ms, timer_ms, distance_cm, sport=1):
        self.define(1, SESSION, [(253, 4, UINT32), (2, 4, UINT32), (5, 1, ENUM), (7, 4, UINT32), (8, 4, UINT32),
                                 (9, 4, UINT32)])
        self.data(1, start + elapsed_ms // 1000, start, sport, elapsed_ms, timer_ms, distance_cm)

    def timer(self, time, event_type):
        self.define(2, EVENT, [(253, 4, UINT32), (0, 1, ENUM), (1, 1, ENUM)])
        self.data(2, time, 0, event_type)

    def record(self, time, distance_cm):
        self.define(3, RECORD, [(253, 4, UINT32), (5, 4, UINT32)])
        self.data(3, time, distance_cm)

    def bytes(self, extra=b''):
        body = self.records + extra
        header = struct.pack('<BBHI4s', 14, 0x20, 2132, len(body), b'.FIT')
        header += struct.pack('<H', crc(header))
        whole = header + body
        return whole + struct.pack('<H', crc(whole))


def write(case, name, data):
    os.makedirs(case, exist_ok=True)
    with open(os.path.join(case, name), 'wb') as out:
        out.write(data)


def phone_session():
    fit = Fit()
    fit.file_id(START)
    fit.session(START, 3600000, 3558000, 1127000)  # 11.27 km in 59:18
    return fit


# A message of a local type never defined, after the session: the session stays.
write('fit-undefined-message-at-end', 'phone.fit', phone_session().bytes(bytes([11, 1, 2, 3])))
whole = phone_session().bytes()
write('fit-cut-one-byte-short', 'watch.fit', whole[:-1])
write('fit-zero-bytes-after-crc', 'watch.fit', whole + bytes(16))
write('fit-corrupt-trailing-header', 'watch.fit', whole + bytes([14, 0x20, 0x54, 0x08, 0, 0, 0, 0]) + b'.FIT' + b'\x12\x34')

# A run cut off at 42:10 after a pause of five minutes: no session, and the file ends inside its records.
cut = Fit()
cut.file_id(START)
cut.timer(START, 0)
for second in range(0, 2551, 10):
    if second == 1200:
        cut.timer(START + second, 1)
    if second == 1500:
        cut.timer(START + second, 0)
    if 1200 < second < 1500:
        continue
    cut.record(START + second, second * 280)
write('fit-cut-mid-run', 'battery.fit', cut.bytes()[:-20])

# The device's own clock (seconds since it started): the date comes from the file's creation time when it has one.
created = Fit()
created.file_id(START)
created.session(5000, 1800000, 1800000, 500000)
write('fit-clock-not-set', 'created.fit', created.bytes())
unset = Fit()
unset.file_id()
unset.session(5000, 1800000, 1800000, 500000)
write('fit-clock-not-set', 'unset.fit', unset.bytes())

# Nothing to keep: the first data message comes before its definition.
broken = Fit()
write('fit-nothing-recoverable', 'broken.fit', broken.bytes(bytes([5, 1, 2, 3])))


# Compressed files and archives, as a training service exports a whole account.
def gpx_run(name, day):
    points = ''.join(f'<trkpt lat="{i * 0.0009:.4f}" lon="0"><time>{day}T07:{i:02d}:00Z</time></trkpt>'
                     for i in range(31))
    return (f'<?xml version="1.0"?><gpx xmlns="http://www.topografix.com/GPX/1/1"><trk><name>{name}</name>'
            f'<trkseg>{points}</trkseg></trk></gpx>').encode()


def gzipped(data):
    out = io.BytesIO()
    with gzip.GzipFile(fileobj=out, mode='wb', mtime=0) as packed:
        packed.write(data)
    return out.getvalue()


def dated_session(day):
    fit = Fit()
    fit.file_id(START + (day - 1) * 86400)
    fit.session(START + (day - 1) * 86400, 2400000, 2400000, 800000)
    return fit.bytes()


write('bulk-gzip', 'run.gpx.gz', gzipped(gpx_run('Gzipped GPX', '2025-12-02')))
write('bulk-gzip', 'run.fit.gz', gzipped(dated_session(3)))
write('bulk-gzip', 'cut.tcx.gz', gzipped(gpx_run('Cut', '2025-12-04'))[:-30])
write('bulk-gzip', 'rows.csv.gz', gzipped(b'Date,Distance,Time,Notes\r\n2025/12/05,3 Miles,00:24:00,x\r\n'))

archive = io.BytesIO()
with zipfile.ZipFile(archive, 'w', zipfile.ZIP_DEFLATED) as export:
    for day in range(6, 9):
        export.writestr(f'activities/{day}.fit.gz', gzipped(dated_session(day)))
    export.writestr('activities/9.gpx', gpx_run('Stored plain', '2025-12-09'))
    export.writestr('activities/10.tcx.gz', gzipped(gpx_run('Zipped GPX named TCX', '2025-12-10')))
    export.writestr('activities.csv', 'Activity ID,Activity Date,Activity Name\n1,"Dec 6, 2025",Morning Run\n')
    export.writestr('__MACOSX/activities/._6.fit.gz', b'resource fork')
    export.writestr('profile.json', '{}')
write('bulk-zip', 'export.zip', archive.getvalue())
write('bulk-zip', 'not-a-zip.zip', b'PK but nothing more')

# A folder as a runner keeps it: nested folders, a hidden one, files of other kinds.
write('bulk-folder/2025/12', 'tempo.gpx', gpx_run('Tempo', '2025-12-11'))
write('bulk-folder/2025/12', 'tempo.gpx.gz', gzipped(gpx_run('Tempo', '2025-12-11')))
write('bulk-folder/.trash', 'deleted.gpx', gpx_run('Deleted', '2025-12-12'))
write('bulk-folder', '.hidden.fit', dated_session(13))
write('bulk-folder', 'readme.txt', b'runs by month')
