"""What the functions must write, worked out sample by sample from the
definitions alone, for the Python tests. Samples are 16-bit little-endian;
a test finds this module in its own folder's sibling tests/support."""
import array
import struct
import sys


def sample_bytes(samples):
    return struct.pack(f"<{len(samples)}h", *samples)


def samples_of(data):
    """The whole samples of `data`: an odd trailing byte is no sample."""
    values = array.array("h", data[: len(data) // 2 * 2])
    if sys.byteorder != "little":
        values.byteswap()
    return list(values)


def read_samples(path):
    with open(path, "rb") as f:
        return samples_of(f.read())


def clipped_sum(first, second):
    """Mono: each pair of samples summed and held at the 16-bit range, up to
    the shorter input's end."""
    return [max(-32768, min(32767, a + b)) for a, b in zip(first, second)]


def clipped_count(first, second):
    return sum(1 for a, b in zip(first, second) if not -32768 <= a + b <= 32767)
