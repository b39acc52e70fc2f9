#!/usr/bin/env python3
"""Reads every container of this kit with a reader of its own, written from the
format alone on the `cryptography` package, and checks that each gives what its
sidecar says: the good ones their name and SHA-256, the refused ones the step
that refuses them. Needs Argon2id, which `cryptography` has from version 44."""

import hashlib
import pathlib
import struct
import sys
import unicodedata

from cryptography.exceptions import InvalidTag
from cryptography.hazmat.primitives import hashes, hmac
from cryptography.hazmat.primitives.ciphers.aead import ChaCha20Poly1305
from cryptography.hazmat.primitives.kdf.argon2 import Argon2id
from cryptography.hazmat.primitives.kdf.hkdf import HKDF

SIGNATURE = b"NBNimbraFile Vexal Edition sealed header v2\0"
PIECE = 65536
TAG = 16
BODY = 1200
SMALLEST = 1216


class Refused(Exception):
    pass


def password_bytes(typed):
    return unicodedata.normalize("NFC", typed.strip(" ")).encode("utf-8")


def subkey(derived, file_nonce, info):
    return HKDF(algorithm=hashes.SHA256(), length=32, salt=file_nonce, info=info).derive(derived)


def nonce(index, last):
    return index.to_bytes(11, "big") + (b"\x01" if last else b"\x00")


def cost_supported(data):
    memory, passes, lanes = struct.unpack_from("<III", data, 48)
    return (data[44] == 1 and data[45] == 1 and data[46:48] == b"\0\0"
            and data[60:64] == b"\0\0\0\0" and 8192 <= memory <= 1048576
            and memory >= 8 * lanes and 1 <= passes <= 16 and 1 <= lanes <= 16
            and memory * passes <= 4194304)


def is_plain_name(name):
    return (name not in (".", "..") and not any(c in "/\\" for c in name)
            and not any(ord(c) < 0x20 or ord(c) == 0x7F for c in name))


def read(data, typed):
    """The plain name and contents, or Refused with the sidecar's word."""
    if data[:44] != SIGNATURE:
        raise Refused("not a container")
    if len(data) < 128 or not cost_supported(data):
        raise Refused("damaged" if len(data) < 128 else "unsupported")
    if len(data) < SMALLEST:
        raise Refused("damaged")
    memory, passes, lanes = struct.unpack_from("<III", data, 48)
    derived = Argon2id(salt=data[64:96], length=32, iterations=passes, lanes=lanes,
                       memory_cost=memory).derive(password_bytes(typed))
    file_nonce = data[96:128]
    mac = hmac.HMAC(subkey(derived, file_nonce, b"NBNimbraFile v2 header"), hashes.SHA256())
    mac.update(data[:128])
    try:
        mac.verify(data[128:160])
    except Exception:
        raise Refused("wrong password")
    aead = ChaCha20Poly1305(subkey(derived, file_nonce, b"NBNimbraFile v2 payload"))
    try:
        metadata = aead.decrypt(nonce(0, False), data[160:BODY], data[:160])
    except InvalidTag:
        raise Refused("damaged")
    length, name_size = struct.unpack_from("<QH", metadata, 0)
    if not 1 <= name_size <= 1014 or any(metadata[10 + name_size:]):
        raise Refused("damaged")
    raw_name = metadata[10:10 + name_size]
    try:
        name = raw_name.decode("utf-8")
    except UnicodeDecodeError:
        raise Refused("damaged")
    if b"\0" in raw_name or length > len(data) - SMALLEST:
        raise Refused("damaged")
    chunks = max(1, -(-length // PIECE))
    if len(data) != BODY + length + TAG * chunks:
        raise Refused("damaged")
    plain = bytearray()
    at = BODY
    for index in range(1, chunks + 1):
        piece = min(PIECE, length - len(plain))
        try:
            plain += aead.decrypt(nonce(index, index == chunks), data[at:at + piece + TAG], None)
        except InvalidTag:
            raise Refused("damaged")
        at += piece + TAG
    if not is_plain_name(name):
        raise Refused("stored name not valid")
    return name, bytes(plain)


def sidecar(path):
    fields = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        key, _, value = line.partition(": ")
        fields[key] = value
    return fields


def check(stem_path):
    fields = sidecar(stem_path)
    data = stem_path.with_suffix(".nbnx").read_bytes()
    try:
        name, plain = read(data, fields["password"])
        outcome = "success"
    except Refused as refusal:
        name, plain, outcome = None, None, str(refusal)
    if outcome != fields["expect"]:
        return f"{stem_path.stem}: {outcome}, the sidecar says {fields['expect']}"
    if outcome == "success" and (name != fields["name"]
                                 or hashlib.sha256(plain).hexdigest() != fields["sha256"]):
        return f"{stem_path.stem}: opened as {name!r} with other contents than the sidecar's"
    return None


def main():
    kit = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent)
    cases = sorted(kit.glob("*.txt"))
    failures = [f for f in (check(case) for case in cases) if f]
    for failure in failures:
        print(failure)
    print(f"{len(cases) - len(failures)} of {len(cases)} cases as their sidecars say")
    return 1 if failures or not cases else 0


if __name__ == "__main__":
    sys.exit(main())
