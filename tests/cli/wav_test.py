#!/usr/bin/env python3
"""varnel-cli on real WAV files: inputs made here in every shape (and by SoX
where it is installed), outputs read back by independent readers, Python's
wave module and SoX's soxi, never by the program's own parser.

CTest runs each case as cli.SUITE.NAME with the environment:
    VARNEL_CLI       the varnel-cli program of the build
    VARNEL_EMULATOR  what runs it (Wine for the Windows build), or empty
"""

import json
import os
import shlex
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import unittest
import wave

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "support"))
from expected import clipped_sum, sample_bytes, samples_of  # noqa: E402

CLI = os.environ["VARNEL_CLI"]
EMULATOR = os.environ.get("VARNEL_EMULATOR", "")
SOX = shutil.which("sox")
SOXI = shutil.which("soxi")
FFMPEG = shutil.which("ffmpeg")
FFPROBE = shutil.which("ffprobe")

PCM, FLOAT, EXTENSIBLE = 1, 3, 0xFFFE
# KSDATAFORMAT_SUBTYPE_PCM and _IEEE_FLOAT, as a GUID is stored.
PCM_GUID = bytes.fromhex("0100000000001000800000aa00389b71")
FLOAT_GUID = bytes.fromhex("0300000000001000800000aa00389b71")


def chunk(chunk_id, body, claimed=None):
    size = len(body) if claimed is None else claimed
    return chunk_id + struct.pack("<I", size) + body + (b"\0" if len(body) % 2 else b"")


def fmt(channels=1, rate=8000, bits=16, tag=PCM, sub_format=None, mask=0x3):
    block = channels * bits // 8
    body = struct.pack("<HHIIHH", tag, channels, rate, rate * block, block, bits)
    if tag == EXTENSIBLE:
        body += struct.pack("<HHI", 22, bits, mask) + sub_format
    return chunk(b"fmt ", body)


def riff(*chunks):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


class CliTestCase(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def path(self, name):
        return os.path.join(self.folder.name, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def write_wav(self, name, samples, rate=8000, channels=1):
        with wave.open(self.path(name), "wb") as w:
            w.setnchannels(channels)
            w.setsampwidth(2)
            w.setframerate(rate)
            w.writeframes(sample_bytes(samples))

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def read_wav(self, name):
        """(rate, channels, samples) as Python's wave module reads them."""
        with wave.open(self.path(name), "rb") as w:
            self.assertEqual(w.getsampwidth(), 2)
            return w.getframerate(), w.getnchannels(), samples_of(w.readframes(w.getnframes()))

    def entries(self):
        return sorted(os.listdir(self.folder.name))

    def cli(self, *arguments, stdin=None):
        """Runs the program in the folder: (exit status, stdout, stderr).
        Output into files, not pipes: Wine's service processes may outlive
        the program and keep a pipe open."""
        command = ([EMULATOR] if EMULATOR else []) + [CLI, *arguments]
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            status = subprocess.run(command, cwd=self.folder.name, stdin=stdin, stdout=out, stderr=err,
                                    timeout=120).returncode
            out.seek(0)
            err.seek(0)
            return (status, out.read().decode().replace("\r\n", "\n"), err.read().decode().replace("\r\n", "\n"))


class WavInputs(CliTestCase):
    def test_every_shape_gives_only_the_samples_of_its_data_chunk(self):
        one = [1, -2, 3, 30000, -32768]
        self.write_wav("canonical.wav", [10, 20, 30])
        shapes = {
            "lists.wav": riff(chunk(b"LIST", b"INFOINAM\x03\0\0\0ab\0"), fmt(), chunk(b"data", sample_bytes(one)),
                              chunk(b"LIST", b"INFOICMT\x05\0\0\0later\0")),
            "extensible.wav": riff(fmt(tag=EXTENSIBLE, sub_format=PCM_GUID), chunk(b"data", sample_bytes(one))),
            "odd-chunk.wav": riff(fmt(), chunk(b"fact", b"\x05"), chunk(b"odd ", b"xyz"),
                                  chunk(b"data", sample_bytes(one))),
        }
        for name, data in shapes.items():
            self.write(name, data)
            status, _, err = self.cli("-q", "join12", name, "canonical.wav", "out.wav")
            self.assertEqual((status, err), (0, ""), name)
            self.assertEqual(self.read_wav("out.wav"), (8000, 1, one + [10, 20, 30]), name)

    def test_a_data_chunk_cut_short_is_read_to_the_end_of_the_file_with_a_note(self):
        self.write("short.wav", riff(fmt(rate=22050), chunk(b"data", sample_bytes([5, 6, 7]), claimed=2000)))
        self.write_wav("long.wav", [100] * 10, rate=22050)
        status, _, err = self.cli("mono", "short.wav", "long.wav", "out.wav")
        self.assertEqual(status, 0, err)
        self.assertIn("varnel-cli: note: input 1's data chunk claims 2000 bytes, but the file holds 6", err)
        self.assertEqual(self.read_wav("out.wav"), (22050, 1, [105, 106, 107]))

    def test_two_channel_inputs_mix_and_join_frame_by_frame(self):
        left_right = [1, -1, 2, -2, 3, -3]
        self.write_wav("a.wav", left_right, rate=48000, channels=2)
        self.write("b.wav", riff(fmt(channels=2, rate=48000, tag=EXTENSIBLE, sub_format=PCM_GUID),
                                 chunk(b"data", sample_bytes([10, 20, 30, 40]))))
        self.assertEqual(self.cli("-q", "--pad", "mono", "a.wav", "b.wav", "mix.wav")[0], 0)
        self.assertEqual(self.read_wav("mix.wav"), (48000, 2, [11, 19, 32, 38, 3, -3]))
        self.assertEqual(self.cli("-q", "join21", "a.wav", "b.wav", "both.WAV")[0], 0)
        self.assertEqual(self.read_wav("both.WAV"), (48000, 2, [10, 20, 30, 40] + left_right))

    def test_what_cannot_be_read_or_does_not_agree_is_refused_before_the_output_is_made(self):
        self.write_wav("mono8k.wav", [1, 2, 3])
        self.write_wav("other8k.wav", [4, 5, 6])
        self.write_wav("mono11k.wav", [1, 2, 3], rate=11025)
        self.write_wav("stereo8k.wav", [1, 2, 3, 4], channels=2)
        self.write("24bit.wav", riff(fmt(bits=24), chunk(b"data", b"\1\2\3\4\5\6")))
        self.write("float.wav", riff(fmt(bits=32, tag=FLOAT), chunk(b"data", b"\0" * 8)))
        self.write("ext-float.wav", riff(fmt(bits=16, tag=EXTENSIBLE, sub_format=FLOAT_GUID), chunk(b"data", b"")))
        self.write("8bit.wav", riff(fmt(bits=8), chunk(b"data", b"\x80\x80")))
        self.write("cut.wav", riff(fmt())[:30])
        self.write("rf64.wav", b"RF64\xff\xff\xff\xffWAVEds64" + b"\0" * 40)
        self.write("out.wav", b"previous")
        cases = [
            (["mono", "mono8k.wav", "24bit.wav"], "input 2 (24bit.wav) holds 24-bit samples"),
            (["join12", "float.wav", "mono8k.wav"], "input 1 (float.wav) holds 32-bit floating-point samples"),
            (["join12", "ext-float.wav", "mono8k.wav"], "input 1 (ext-float.wav) holds samples of an extensible"),
            (["join12", "8bit.wav", "mono8k.wav"], "input 1 (8bit.wav) holds 8-bit samples"),
            (["join12", "cut.wav", "mono8k.wav"], "input 1 (cut.wav) is a WAV file that ends before its samples"),
            (["join12", "rf64.wav", "mono8k.wav"], "input 1 (rf64.wav) is a WAV file that ends before its samples"),
            (["mono", "mono8k.wav", "mono11k.wav"],
             "the inputs' rates differ: input 1 (mono8k.wav) 8000 Hz, input 2 (mono11k.wav) 11025 Hz"),
            (["--rate", "8001", "join12", "mono8k.wav", "other8k.wav"],
             "--rate 8001 differs from input 1 (mono8k.wav), 8000 Hz"),
            (["join21", "mono8k.wav", "stereo8k.wav"], "join21 needs inputs of equal channel counts: "
                                                       "input 1 (mono8k.wav) has 1 channel, input 2 (stereo8k.wav) 2"),
            (["stereo", "stereo8k.wav", "mono8k.wav"],
             "stereo needs two one-channel inputs: input 1 (stereo8k.wav) has 2 channels"),
        ]
        before = self.entries()
        for arguments, message in cases:
            for output in ("out.wav", "new.pcm"):
                status, _, err = self.cli(*arguments, output)
                self.assertEqual(status, 1, arguments)
                self.assertTrue(err.startswith("varnel-cli: " + message), err)
                self.assertEqual(err.count("\n"), 1, err)
        self.assertEqual(self.entries(), before)
        self.assertEqual(self.read("out.wav"), b"previous")


class WavOutputs(CliTestCase):
    def test_raw_output_from_wav_inputs_holds_the_samples_only(self):
        a, b = [30000, 100, -30000, 7], [10000, -50, -10000]
        self.write("a.wav", riff(chunk(b"LIST", b"x" * 9), fmt(), chunk(b"data", sample_bytes(a))))
        self.write_wav("b.wav", b)
        self.assertEqual(self.cli("-q", "mono", "a.wav", "b.wav", "mix.pcm")[0], 0)
        self.assertEqual(samples_of(self.read("mix.pcm")), clipped_sum(a, b))
        self.assertEqual(self.cli("-q", "join12", "a.wav", "b.wav", "both.pcm")[0], 0)
        self.assertEqual(self.read("both.pcm"), sample_bytes(a + b))

    def test_raw_reads_every_input_byte_for_byte_as_the_window_does(self):
        self.write_wav("a.wav", [1, 2, 3])
        self.write_wav("b.wav", [4, 5])
        self.assertEqual(self.cli("-q", "--raw", "join12", "a.wav", "b.wav", "both.pcm")[0], 0)
        self.assertEqual(self.read("both.pcm"), self.read("a.wav") + self.read("b.wav"))
        # Raw inputs into a WAV output: the headers are samples too.
        self.assertEqual(self.cli("-q", "--raw", "--rate", "8000", "join12", "a.wav", "b.wav", "both.wav")[0], 0)
        self.assertEqual(self.read_wav("both.wav")[2], samples_of(self.read("a.wav") + self.read("b.wav")))

    def test_raw_inputs_into_wav_need_the_rate_and_get_one_channel_or_two_for_stereo(self):
        self.write("a.pcm", sample_bytes([1, 2, 3, 4]))
        self.write("b.pcm", sample_bytes([5, 6, 7]))
        status, out, err = self.cli("mono", "a.pcm", "b.pcm", "out.wav")
        self.assertEqual((status, out), (2, ""))
        self.assertEqual(err, "varnel-cli: a WAV OUTPUT from raw inputs needs their rate: --rate HZ\n"
                              "Run 'varnel-cli --help' for the usage.\n")
        self.assertEqual(self.entries(), ["a.pcm", "b.pcm"])
        for arguments, expected in [
            (["mono", "a.pcm", "b.pcm", "m.wav"], (11025, 1, [6, 8, 10])),
            (["stereo", "a.pcm", "b.pcm", "s.wav"], (11025, 2, [1, 5, 2, 6, 3, 7])),
            (["join21", "a.pcm", "b.pcm", "j.wav"], (11025, 1, [5, 6, 7, 1, 2, 3, 4])),
        ]:
            self.assertEqual(self.cli("-q", "--rate", "11025", *arguments)[0], 0, arguments)
            self.assertEqual(self.read_wav(arguments[-1]), expected)

    def test_a_raw_input_beside_a_wav_input_takes_its_format(self):
        self.write_wav("left.wav", [1, 2, 3], rate=44100)
        self.write("right.pcm", sample_bytes([-1, -2, -3, -4]))
        status, _, err = self.cli("stereo", "left.wav", "right.pcm", "both.wav")
        self.assertEqual(status, 0, err)
        self.assertEqual(self.read_wav("both.wav"), (44100, 2, [1, -1, 2, -2, 3, -3]))
        self.assertIn("input 2 4 samples (raw, 44100 Hz, 1 channel, 0.000 s)", err)

    def test_an_odd_byte_joined_into_wav_is_padded_as_riff_wants(self):
        self.write("odd.pcm", sample_bytes([1, 2]) + b"\x07")
        self.write_wav("b.wav", [3])
        self.assertEqual(self.cli("-q", "join12", "odd.pcm", "b.wav", "out.wav")[0], 0)
        data = self.read("out.wav")
        self.assertEqual(len(data), 44 + 7 + 1)
        self.assertEqual(struct.unpack_from("<I", data, 4)[0], len(data) - 8)
        self.assertEqual(struct.unpack_from("<I", data, 40)[0], 7)
        self.assertEqual(self.read_wav("out.wav")[2], samples_of(sample_bytes([1, 2]) + b"\x07\x03"))

    def test_summary_and_json_name_each_format_with_durations(self):
        self.write_wav("a.wav", [0] * 16000, channels=2)
        self.write("b.pcm", sample_bytes([0] * 8000))
        status, out, _ = self.cli("--json", "-q", "join12", "a.wav", "b.pcm", "out.wav")
        self.assertEqual(status, 0)
        summary = json.loads(out)
        self.assertEqual(summary["input1"]["format"], "wav")
        self.assertEqual((summary["input1"]["sampleRate"], summary["input1"]["channels"]), (8000, 2))
        self.assertEqual(summary["input1"]["seconds"], 1)
        self.assertEqual(summary["input1"]["cutShort"], False)
        self.assertEqual((summary["input2"]["format"], summary["input2"]["seconds"]), ("raw", 0.5))
        self.assertEqual((summary["output"]["format"], summary["output"]["samples"], summary["output"]["seconds"]),
                         ("wav", 24000, 1.5))
        self.write("c.pcm", sample_bytes([1] * 4000))
        status, _, err = self.cli("mono", "b.pcm", "c.pcm", "d.pcm")  # raw, no rate: no durations
        self.assertEqual(err, "varnel-cli: mono: input 1 8000 samples (raw), input 2 4000 samples (raw), "
                              "output 4000 samples (raw), 0 samples clipped\n"
                              "varnel-cli: note: the last 4000 samples of input 1 were not used (--pad covers them)\n")

    @unittest.skipIf(EMULATOR or not hasattr(os, "mkfifo"), "a POSIX pipe")
    def test_a_pipe_that_delivers_less_than_its_header_claims_gets_a_header_with_the_true_sizes_where_it_can(self):
        # A pipe's length is not known: the output's header is written from
        # the data chunk's claim and corrected once the samples are counted.
        os.mkfifo(self.path("pipe.wav"))
        self.write_wav("b.wav", [1000] * 10)
        writer = threading.Thread(target=self.write, args=(
            "pipe.wav", riff(fmt(), chunk(b"data", sample_bytes([1, 2, 3]), claimed=4000))))
        writer.start()  # its open waits for the program's
        status, _, err = self.cli("mono", "--pad", "pipe.wav", "b.wav", "out.wav")
        writer.join()
        self.assertEqual(status, 0, err)
        self.assertEqual(self.read_wav("out.wav"), (8000, 1, [1001, 1002, 1003] + [1000] * 7))
        # Its header keeps room for RF64's sizes, in a JUNK chunk that every reader skips.
        self.assertEqual(struct.unpack_from("<4sI4s4sI", self.read("out.wav")), (b"RIFF", 72 + 20, b"WAVE", b"JUNK", 28))

        # A stream's header claims the most a WAV file holds: joined to a
        # file, that would pass 4 GiB, but it is only a claim.
        writer = threading.Thread(target=self.write, args=(
            "pipe.wav", riff(fmt(), chunk(b"data", sample_bytes([1, 2, 3]), claimed=0xFFFFFFFF))))
        writer.start()
        status, _, err = self.cli("join21", "pipe.wav", "b.wav", "out.wav")
        writer.join()
        self.assertEqual(status, 0, err)
        self.assertEqual(self.read_wav("out.wav"), (8000, 1, [1000] * 10 + [1, 2, 3]))

        # Into a pipe, the header cannot be corrected: it claims no length.
        os.mkfifo(self.path("out-pipe.wav"))
        writer = threading.Thread(target=self.write, args=(
            "pipe.wav", riff(fmt(), chunk(b"data", sample_bytes([1, 2, 3]), claimed=4000))))
        received = []
        reader = threading.Thread(target=lambda: received.append(self.read("out-pipe.wav")))
        writer.start()
        reader.start()
        status, _, err = self.cli("mono", "--pad", "pipe.wav", "b.wav", "out-pipe.wav")
        writer.join()
        reader.join()
        self.assertEqual(status, 0, err)
        self.assertEqual(len(received[0]), 44 + 20)
        self.assertEqual(struct.unpack_from("<I", received[0], 4)[0], 0xFFFFFFFF)
        self.assertEqual(struct.unpack_from("<I", received[0], 40)[0], 0xFFFFFFFF)

    @unittest.skipIf(EMULATOR, "writes 4 GiB: natively only")
    def test_past_4_gib_of_samples_a_wav_output_is_rf64_that_sox_and_ffmpeg_read_to_its_length(self):
        free = os.statvfs(self.folder.name)
        if free.f_bavail * free.f_frsize < 10 * 2**30:
            self.skipTest("less than 10 GiB free for a 4 GiB output")
        # Two sparse WAV files of 2 GiB + 2 bytes of samples each: their join passes 4 GiB.
        header = riff(fmt(), chunk(b"data", b"", claimed=2**31 + 2))
        for name in ("a.wav", "b.wav"):
            self.write(name, header)
            os.truncate(self.path(name), len(header) + 2**31 + 2)
        try:
            status, out, err = self.cli("--json", "-q", "join12", "a.wav", "b.wav", "out.wav")
            self.assertEqual(status, 0, err)
            self.assertEqual(json.loads(out)["output"]["format"], "rf64")
            data = 2**32 + 4
            with open(self.path("out.wav"), "rb") as f:
                head = f.read(80)
            self.assertEqual(os.path.getsize(self.path("out.wav")), 80 + data)
            self.assertEqual(struct.unpack_from("<4sI4s4sIQQQI", head),
                             (b"RF64", 0xFFFFFFFF, b"WAVE", b"ds64", 28, 72 + data, data, data // 2, 0))
            self.assertEqual(head[12 + 36:], fmt() + b"data\xff\xff\xff\xff")
            seconds = data / 2 / 8000
            if SOX:
                soxi = subprocess.run([SOX, "--i", "-s", self.path("out.wav")], capture_output=True, text=True)
                self.assertEqual(soxi.stdout.strip(), str(data // 2), soxi.stderr)
            if FFPROBE:
                probe = subprocess.run([FFPROBE, "-v", "error", "-show_entries", "format=duration", "-of",
                                        "csv=p=0", self.path("out.wav")], capture_output=True, text=True)
                self.assertAlmostEqual(float(probe.stdout), seconds, places=3)
        finally:
            for name in ("a.wav", "b.wav", "out.wav"):
                if os.path.exists(self.path(name)):
                    os.remove(self.path(name))


@unittest.skipUnless(FFMPEG, "ffmpeg is not installed")
class Rf64Inputs(CliTestCase):
    def ffmpeg(self, name, *options):
        subprocess.run([FFMPEG, "-v", "error", "-f", "lavfi", "-i", "sine=d=0.5:f=440", "-ar", "8000", *options,
                        self.path(name)], check=True)

    def test_rf64_and_bw64_made_by_ffmpeg_give_the_samples_of_their_wav_twins(self):
        self.ffmpeg("twin.wav", "-c:a", "pcm_s16le")
        self.ffmpeg("rf64.wav", "-c:a", "pcm_s16le", "-rf64", "always")
        self.assertEqual(self.read("rf64.wav")[:4], b"RF64")
        # ffmpeg writes no BW64: it is RF64 under another name.
        self.write("bw64.wav", b"BW64" + self.read("rf64.wav")[4:])
        self.write_wav("after.wav", [5, 6, 7])
        self.assertEqual(self.cli("-q", "-t", "raw", "join12", "twin.wav", "after.wav", "twin.pcm")[0], 0)
        expected = self.read("twin.pcm")
        self.assertEqual(len(expected), 2 * 4003)
        for name in ("rf64.wav", "bw64.wav"):
            status, out, err = self.cli("--json", "-q", "-t", "raw", "join12", name, "after.wav", "out.pcm")
            self.assertEqual(status, 0, err)
            self.assertEqual(self.read("out.pcm"), expected, name)
            summary = json.loads(out)
            self.assertEqual((summary["input1"]["format"], summary["input1"]["seconds"]), ("rf64", 0.5))
        status, _, err = self.cli("join12", "rf64.wav", "after.wav", "out.wav")
        self.assertIn("input 1 4000 samples (RF64, 8000 Hz, 1 channel, 0.500 s)", err)

    def test_what_a_wav_file_is_refused_for_an_rf64_file_is(self):
        self.ffmpeg("float.wav", "-c:a", "pcm_f32le")
        self.ffmpeg("float64.wav", "-c:a", "pcm_f32le", "-rf64", "always")
        self.write_wav("after.wav", [5, 6, 7])
        refused = [self.cli("join12", name, "after.wav", "out.wav") for name in ("float.wav", "float64.wav")]
        self.assertEqual(refused[0][0], 1)
        self.assertIn("input 1 (float.wav) holds samples of an extensible WAV format other than PCM", refused[0][2])
        self.assertEqual(refused[1], (1, "", refused[0][2].replace("float", "float64")))
        self.write("cut.wav", self.read("float64.wav")[:40])
        status, _, err = self.cli("join12", "cut.wav", "after.wav", "out.wav")
        self.assertEqual((status, err), (1, "varnel-cli: input 1 (cut.wav) is a WAV file that ends before its samples "
                                            "begin\n"))
        self.assertNotIn("out.wav", os.listdir(self.folder.name))


def converted_by(command):
    return ("varnel-cli reads raw 16-bit samples and 16-bit PCM WAV files: convert it first (" + command +
            "), or give --raw to take its bytes as samples")


def sox(name):
    return f"sox {name} -b 16 {os.path.splitext(name)[0]}-16bit.wav"


def ffmpeg(name):
    return f"ffmpeg -i {name} -c:a pcm_s16le {os.path.splitext(name)[0]}-16bit.wav"


RAW = "; --raw reads it as raw samples"
DAMAGED = "is a WAV file whose header is damaged (as by a text conversion)" + RAW
# A canonical header whose RIFF size holds an LF (0x10A), and one whose size
# holds a CR and LF (0x0A0D00), as a text conversion finds them.
LF_IN_SIZE = riff(fmt(), chunk(b"data", bytes(0x10A - 36)))
CRLF_IN_SIZE = b"RIFF\0\x0d\x0a\0WAVE" + fmt() + chunk(b"data", b"", claimed=0x0A0D00 - 36)

# What is not raw samples, with the words that refuse it, after "input N
# (NAME) ": sound files of other containers, as SoX or ffmpeg makes them
# where installed (else their first bytes, before some samples), RIFF files
# that hold no WAV, and files named as sound files that hold no header.
NOT_SAMPLES = {
    "take.aiff": (b"FORM\0\0\x06\x90AIFFCOMM", "is an AIFF file; " + converted_by(sox("take.aiff"))),
    "take.aifc": (b"FORM\0\0\x06\x8eAIFCFVER", "is an AIFF-C file; " + converted_by(sox("take.aifc"))),
    "take.au": (b".snd\0\0\0\x2c\0\0\x06\x40\0\0\0\x03", "is a Sun/NeXT AU file; " + converted_by(sox("take.au"))),
    "take.flac": (b"fLaC\0\0\0\x22\x10\0\x10\0\0\0\0\0", "is a FLAC file; " + converted_by(sox("take.flac"))),
    "take.ogg": (b"OggS\0\x02" + b"\0" * 10, "is an Ogg file; " + converted_by(sox("take.ogg"))),
    "take.caf": (b"caff\0\x01\0\0desc\0\0\0\0", "is a CAF file; " + converted_by(sox("take.caf"))),
    "take.w64": (bytes.fromhex("726966662e91cf11a5d628db04c10000"),
                 "is a Wave64 file; " + converted_by(sox("take.w64"))),
    "take.mp3": (b"ID3\x04\0\0\0\0\0\x23TSSE", "is an MP3 file; " + converted_by(ffmpeg("take.mp3"))),
    "take.opus": (b"OggS\0\x02" + b"\0" * 10, "is an Ogg file; " + converted_by(ffmpeg("take.opus"))),
    "untagged.MP3": (b"\xff\xf3\x18\xc4\0\x0a\xf0\x06",
                     "is named as an MP3 file; " + converted_by(ffmpeg("untagged.MP3"))),
    "take.m4a": (b"\0\0\0\x1cftypM4A \0\0\2\0", "is named as an M4A file; " + converted_by(ffmpeg("take.m4a"))),
    "take.aac": (b"\xff\xf1\x6c\x40\x49\x5f\xfc\xde", "is named as an AAC file; " + converted_by(ffmpeg("take.aac"))),
    "take.wma": (bytes.fromhex("3026b2758e66cf11a6d900aa0062ce6c"), "is named as a WMA file; " +
                 converted_by(ffmpeg("take.wma"))),
    "empty.wav": (b"", "holds no WAV header" + RAW),
    "notes.Wav": (b"Not a sound.\r\n", "holds no WAV header" + RAW),
    "stub.pcm": (b"RIFF", "is a WAV header cut short" + RAW),
    "stub.wav": (LF_IN_SIZE[:11], "is a WAV header cut short" + RAW),
    "clip.avi": (b"RIFF\x0c\x4e\0\0AVI LIST", "is a RIFF file of type 'AVI ', not a WAV file" + RAW),
    "pic.webp": (b"RIFF\x0e\x01\0\0WEBPVP8 ", "is a RIFF file of type 'WEBP', not a WAV file" + RAW),
    "song.rmi": (b"RIFF\x1a\0\0\0RMIDdata", "is a RIFF file of type 'RMID', not a WAV file" + RAW),
    "song.pcm": (b"RIFF\x24\x10\0\0MP3 data", "is a RIFF file of type 'MP3 ', not a WAV file" + RAW),
    "unix2dos.wav": (LF_IN_SIZE.replace(b"\n", b"\r\n"), DAMAGED),
    "dos2unix.pcm": (CRLF_IN_SIZE.replace(b"\r\n", b"\n"), DAMAGED),
    "nofmt.wav": (riff(chunk(b"data", sample_bytes([1, 2]))),
                  "is a WAV file whose samples come before their format chunk"),
    "nodata.wav": (riff(fmt(), chunk(b"LIST", b"INFO")), "is a WAV file that ends before its samples begin"),
}
# How SoX or ffmpeg makes each of them that it can make.
SOX_MADE = {"take.aiff", "take.aifc", "take.au", "take.flac", "take.ogg", "take.caf", "take.w64"}
SINE = ["-f", "lavfi", "-i", "sine=d=0.1", "-ar", "8000"]
FFMPEG_MADE = {"take.mp3": SINE, "take.opus": SINE, "take.m4a": SINE, "take.aac": SINE, "take.wma": SINE,
               "untagged.MP3": SINE + ["-id3v2_version", "0", "-write_xing", "0", "-f", "mp3"], "clip.avi": SINE,
               "pic.webp": ["-f", "lavfi", "-i", "color=s=16x16", "-frames:v", "1"]}


class NotSamples(CliTestCase):
    def make(self, name):
        """`name` as SoX or ffmpeg writes it where installed, else its first bytes and, for a sound file, some
        samples."""
        if name in SOX_MADE and SOX:
            subprocess.run([SOX, "-n", "-r", "8000", "-c", "1", self.path(name), "synth", "0.1", "sine", "440"],
                           check=True)
        elif name in FFMPEG_MADE and FFMPEG:
            subprocess.run([FFMPEG, "-v", "error", *FFMPEG_MADE[name], self.path(name)], check=True)
        else:
            made = name in SOX_MADE or name in FFMPEG_MADE
            self.write(name, NOT_SAMPLES[name][0] + (sample_bytes(list(range(100))) if made else b""))

    def test_none_is_taken_for_raw_samples_each_is_refused_by_name_unless_raw_is_given(self):
        self.write_wav("ok.wav", [1, 2, 3])
        self.write("out.pcm", b"previous")
        for number, (name, (_, words)) in enumerate(NOT_SAMPLES.items()):
            self.make(name)
            before = self.entries()
            inputs = [name, "ok.wav"] if number % 2 else ["ok.wav", name]
            status, _, err = self.cli("join12", *inputs, "out.pcm")
            self.assertEqual((status, err), (1, f"varnel-cli: input {inputs.index(name) + 1} ({name}) {words}\n"))
            self.assertEqual(self.entries(), before)
            self.assertEqual(self.read("out.pcm"), b"previous")
            self.assertEqual(self.cli("-q", "--raw", "join12", name, name, "bytes.pcm")[0], 0, name)
            self.assertEqual(self.read("bytes.pcm"), self.read(name) * 2)

        status, out, _ = self.cli("--json", "mono", "ok.wav", "take.flac", "out.pcm")
        self.assertEqual((status, json.loads(out)["failures"][0]["code"]), (1, "refused"))


def advised(err):
    """The command a refusal advises."""
    start = max(err.find("(sox "), err.find("(ffmpeg "))
    return err[start + 1:err.index(")", start)]


class Advice(CliTestCase):
    def follow(self, err):
        """Runs the advised command in the folder; the name of the file it made."""
        command = shlex.split(advised(err))
        made = command[-1]
        self.assertNotIn(made, self.entries(), err)
        subprocess.run(command, cwd=self.folder.name, check=True, stderr=subprocess.DEVNULL)
        return made

    @unittest.skipUnless(SOX, "SoX is not installed")
    def test_the_command_named_makes_a_new_file_that_is_read(self):
        self.write_wav("ok.wav", [1, 2, 3])
        made = {"24-bit.wav": (["-b", "24"], "24-bit-16bit.wav"), "8-bit.wav": (["-b", "8"], "8-bit-16bit.wav"),
                "float.wav": (["-e", "floating-point"], "float-16bit.wav"), "my take.flac": ([], "my take-16bit.wav"),
                "take.au": ([], "take-16bit.wav"), "take.aiff": ([], "take-16bit-2.wav")}
        for name, (options, converted) in made.items():
            subprocess.run([SOX, "-n", "-r", "8000", *options, self.path(name), "synth", "0.1", "sine", "440"],
                           check=True)
            status, _, err = self.cli("mono", "ok.wav", name, "out.wav")
            self.assertEqual(status, 1, name)
            self.assertEqual(self.follow(err), converted)
            self.assertEqual(self.cli("-q", "join12", "ok.wav", converted, "out.wav")[0], 0, converted)
            self.assertEqual(self.read_wav("out.wav")[2][3:], self.read_wav(converted)[2])
        if FFMPEG:
            subprocess.run([FFMPEG, "-v", "error", "-f", "lavfi", "-i", "sine=d=0.1", "-ar", "8000", "-id3v2_version",
                            "0", self.path("take.mp3")], check=True)
            status, _, err = self.cli("join12", "take.mp3", "ok.wav", "take-16bit-3.wav")
            self.assertEqual(self.follow(err), "take-16bit-4.wav")  # neither a file nor OUTPUT
            self.assertEqual(self.cli("-q", "join12", "take-16bit-4.wav", "ok.wav", "out.wav")[0], 0)

        # Rates and channels, converted as said, make a run.
        self.write_wav("fast.wav", [1] * 8, rate=16000)
        self.write_wav("both.wav", [1, 2] * 4, channels=2)
        for function, inputs, refused, converted in (("join12", ["ok.wav", "fast.wav"], "fast.wav", "fast-8000hz.wav"),
                                                     ("stereo", ["both.wav", "ok.wav"], "both.wav", "both-mono.wav")):
            status, _, err = self.cli(function, *inputs, "out.wav")
            self.assertEqual((status, self.follow(err)), (1, converted))
            inputs[inputs.index(refused)] = converted
            self.assertEqual(self.cli("-q", function, *inputs, "out.wav")[0], 0, err)

        # Standard input has no name: the command converts a stream.
        with open(self.path("take.au"), "rb") as source:
            status, _, err = self.cli("join12", "-", "ok.wav", "out.wav", stdin=source)
        self.assertEqual(status, 1)
        self.assertIn("input 1 (-) is a Sun/NeXT AU file; varnel-cli reads raw 16-bit samples and 16-bit PCM WAV "
                      "files: convert it first (sox -t au - -b 16 -t wav -), or give --raw", err)


class OutputType(CliTestCase):
    def test_it_chooses_wav_or_raw_whatever_the_outputs_name(self):
        self.write_wav("a.wav", [1, 2, 3], rate=11025)
        self.assertEqual(self.cli("-q", "--output-type", "wav", "join12", "a.wav", "a.wav", "both.pcm")[0], 0)
        self.assertEqual(self.read_wav("both.pcm"), (11025, 1, [1, 2, 3, 1, 2, 3]))
        self.assertEqual(self.cli("-q", "-t", "raw", "join12", "a.wav", "a.wav", "both.wav")[0], 0)
        self.assertEqual(self.read("both.wav"), sample_bytes([1, 2, 3, 1, 2, 3]))
        status, _, err = self.cli("-t", "wav", "--raw", "mono", "both.wav", "both.wav", "out")
        self.assertEqual((status, err.splitlines()[0]),
                         (2, "varnel-cli: a WAV OUTPUT from raw inputs needs their rate: --rate HZ"))

    @unittest.skipUnless(SOX, "SoX is not installed")
    def test_a_wav_into_a_pipe_has_its_true_sizes_from_files_and_the_streaming_sizes_from_a_pipe(self):
        a, b = list(range(-50, 50)), [7] * 33
        self.write_wav("a.wav", a, rate=16000)
        self.write_wav("b.wav", b, rate=16000)
        data = 2 * (len(a) + len(b))
        for arguments, feed, sizes in [(["a.wav", "b.wav"], None, (36 + data, data)),
                                       (["-", "b.wav"], self.read("a.wav"), (0xFFFFFFFF, 0xFFFFFFFF))]:
            # Real pipes, under Wine too: its services run already, started
            # by the test run, and hold no end of these.
            command = ([EMULATOR] if EMULATOR else []) + [CLI, "-q", "-t", "wav", "join12", *arguments, "-"]
            piped = subprocess.run(command, cwd=self.folder.name, input=feed,
                                   stdin=None if feed else subprocess.DEVNULL, capture_output=True, timeout=60).stdout
            self.assertEqual(struct.unpack_from("<4sI", piped, 0) + struct.unpack_from("<4sI", piped, 36),
                             (b"RIFF", sizes[0], b"data", sizes[1]))
            sox = subprocess.run([SOX, "-t", "wav", "-", "-t", "raw", "-"], input=piped, capture_output=True)
            self.assertEqual((sox.returncode, samples_of(sox.stdout)), (0, a + b), sox.stderr)


class ManyChannels(CliTestCase):
    @unittest.skipUnless(SOX and SOXI, "SoX is not installed")
    def test_are_written_as_extensible_with_the_speakers_of_the_inputs_or_microsofts(self):
        samples = [frame * 10 + channel for frame in range(4) for channel in range(6)]
        self.write_wav("plain.wav", samples, channels=6)  # format 1, as Python writes it
        self.write("side.wav", riff(fmt(channels=6, tag=EXTENSIBLE, sub_format=PCM_GUID, mask=0x60F),
                                    chunk(b"data", sample_bytes(samples))))
        for first, mask in (("plain.wav", 0x3F), ("side.wav", 0x60F)):
            status, _, err = self.cli("-q", "join12", first, "plain.wav", "out.wav")
            self.assertEqual(status, 0, err)
            data = self.read("out.wav")
            self.assertEqual(struct.unpack_from("<HH", data, 20) + struct.unpack_from("<I", data, 40),
                             (EXTENSIBLE, 6, mask))
            info = [subprocess.run([SOXI, option, self.path("out.wav")], capture_output=True, text=True,
                                   check=True).stdout.strip() for option in ("-c", "-s", "-e")]
            self.assertEqual(info, ["6", "8", "Signed Integer PCM"])
            raw = subprocess.run([SOX, self.path("out.wav"), "-t", "raw", "-"], capture_output=True, check=True)
            self.assertEqual(samples_of(raw.stdout), samples * 2)


@unittest.skipUnless(SOX and SOXI, "SoX is not installed")
class WithSox(CliTestCase):
    def soxi(self, option, name):
        return subprocess.run([SOXI, option, self.path(name)], capture_output=True, text=True,
                              check=True).stdout.strip()

    def test_files_made_by_sox_mix_into_a_file_sox_reads(self):
        for name, frequency in (("tone.wav", "440"), ("chirp.wav", "200-2000")):
            subprocess.run([SOX, "-n", "-r", "22050", "-c", "1", "-b", "16", "-e", "signed", self.path(name),
                            "synth", "0.5", "sine", frequency, "vol", "0.4"], check=True)
        status, _, err = self.cli("stereo", "tone.wav", "chirp.wav", "both.wav")
        self.assertEqual(status, 0, err)
        self.assertEqual((self.soxi("-r", "both.wav"), self.soxi("-c", "both.wav"), self.soxi("-b", "both.wav"),
                          self.soxi("-s", "both.wav"), self.soxi("-e", "both.wav")),
                         ("22050", "2", "16", "11025", "Signed Integer PCM"))
        _, _, tone = self.read_wav("tone.wav")
        _, _, chirp = self.read_wav("chirp.wav")
        frames = [value for pair in zip(tone, chirp) for value in pair]
        self.assertEqual(self.read_wav("both.wav"), (22050, 2, frames))

    def test_a_24_bit_file_made_by_sox_is_refused(self):
        subprocess.run([SOX, "-n", "-r", "8000", "-b", "24", self.path("deep.wav"), "synth", "0.1", "sine", "440"],
                       check=True)
        self.write_wav("ok.wav", [1])
        status, _, err = self.cli("mono", "ok.wav", "deep.wav", "out.wav")
        self.assertEqual(status, 1)
        self.assertTrue(err.startswith("varnel-cli: input 2 (deep.wav) holds 24-bit samples"), err)
        self.assertEqual(self.entries(), ["deep.wav", "ok.wav"])


class ManyInputs(CliTestCase):
    def test_mono_clips_once_join_keeps_the_order_and_the_report_lists_every_input(self):
        for name, samples in (("a.pcm", [30000, 1, 2]), ("b.pcm", [10000, 1]), ("c.pcm", [-20000, 1, 5, 7])):
            self.write(name, sample_bytes(samples))
        # Clipped after each pair, 30000 + 10000 - 20000 would be 12767.
        status, out, err = self.cli("--json", "mono", "a.pcm", "b.pcm", "c.pcm", "out.pcm")
        self.assertEqual((status, samples_of(self.read("out.pcm"))), (0, [20000, 3]), err)
        report = json.loads(out)
        self.assertNotIn("input1", report)
        self.assertEqual([(i["path"], i["samples"], i["unusedSamples"]) for i in report["inputs"]],
                         [("a.pcm", 3, 1), ("b.pcm", 2, 0), ("c.pcm", 4, 2)])
        self.assertEqual(self.cli("-q", "--pad", "mono", "a.pcm", "b.pcm", "c.pcm", "out.pcm")[0], 0)
        self.assertEqual(samples_of(self.read("out.pcm")), [20000, 3, 7, 7])
        self.write("d.pcm", sample_bytes([-1, 1, 0, 1]))
        # Means of 4999.75, 1, 1.75 and 2.
        self.assertEqual(self.cli("-q", "--pad", "--average", "mono", "a.pcm", "b.pcm", "c.pcm", "d.pcm",
                                  "out.pcm")[0], 0)
        self.assertEqual(samples_of(self.read("out.pcm")), [5000, 1, 2, 2])
        self.write("e.pcm", sample_bytes([1, 3]))
        self.write("f.pcm", sample_bytes([0, 2]))
        self.write("g.pcm", sample_bytes([-3, 3]))
        # Means of -0.5 and 2.5, ties that go to the even neighbour, as for two inputs.
        self.assertEqual(self.cli("-q", "--average", "mono", "e.pcm", "g.pcm", "f.pcm", "f.pcm", "out.pcm")[0], 0)
        self.assertEqual(samples_of(self.read("out.pcm")), [0, 2])
        with open(self.path("b.pcm"), "rb") as stdin:
            status, _, err = self.cli("join", "c.pcm", "-", "a.pcm", "out.pcm", stdin=stdin)
        self.assertEqual((status, samples_of(self.read("out.pcm"))), (0, [-20000, 1, 5, 7, 10000, 1, 30000, 1, 2]),
                         err)
        self.assertIn("join: 3 inputs, 9 samples in all (raw), output 9 samples (raw)", err)

    def test_every_input_is_checked_and_each_refusal_names_the_inputs_concerned(self):
        self.write_wav("a.wav", [1])
        self.write_wav("b.wav", [2])
        self.write_wav("c.wav", [3], rate=16000)
        self.write("old.pcm", b"old")
        status, _, err = self.cli("join", "a.wav", "b.wav", "c.wav", "out.wav")
        self.assertEqual((status, err), (1, "varnel-cli: the inputs' rates differ: input 1 (a.wav) 8000 Hz, "
                                            "input 3 (c.wav) 16000 Hz; convert one first (sox c.wav -r 8000 "
                                            "c-8000hz.wav)\n"))
        status, _, err = self.cli("mono", "a.wav", "gone1.pcm", "b.wav", "gone2.pcm", "old.pcm", "old.pcm")
        self.assertEqual(status, 1)
        self.assertEqual(err.splitlines(), ["varnel-cli: cannot open input 2 'gone1.pcm': no such file",
                                            "varnel-cli: cannot open input 4 'gone2.pcm': no such file",
                                            "varnel-cli: 'old.pcm' is input 5; the output must be another file"])
        self.assertEqual(self.read("old.pcm"), b"old")
        for wrong in (("stereo", "a.wav", "b.wav", "c.wav", "out.wav"), ("join21", "a.wav", "b.wav", "c.wav", "o"),
                      ("join", "a.wav", "out.wav"), ("join", "-", "a.wav", "-", "out.pcm")):
            status, _, err = self.cli(*wrong)
            self.assertEqual(status, 2, wrong)
        self.assertEqual(self.entries(), ["a.wav", "b.wav", "c.wav", "old.pcm"])

    def test_a_list_of_inputs_skips_blank_lines_and_names_a_failing_input_by_its_line(self):
        for number in range(1, 51):
            self.write(f"{number:02}.pcm", sample_bytes([number]))
        self.write("list.txt", "\ufeff".encode() + b"".join(f"{n:02}.pcm\r\n\n".encode() for n in range(2, 51)))
        status, _, err = self.cli("-q", "--inputs-from", "list.txt", "join", "01.pcm", "all.pcm")
        self.assertEqual((status, err), (0, ""))
        self.assertEqual(samples_of(self.read("all.pcm")), list(range(1, 51)))
        self.write("list.txt", "01.pcm\n\n  \nmissing.pcm\n".encode())
        status, _, err = self.cli("--inputs-from", "list.txt", "mono", "02.pcm", "out.pcm")
        self.assertEqual((status, err), (1, "varnel-cli: cannot open input 3 'missing.pcm' (list.txt line 4): "
                                            "no such file\n"))
        with open(self.path("list.txt"), "rb") as stdin:
            status, _, err = self.cli("--inputs-from", "-", "stereo", "out.pcm", stdin=stdin)
        self.assertEqual(status, 2, err)
        status, _, err = self.cli("--inputs-from", "nothing.txt", "join", "out.pcm")
        self.assertEqual((status, err), (1, "varnel-cli: cannot open the list of inputs 'nothing.txt': no such file\n"))


if __name__ == "__main__":
    unittest.main()
