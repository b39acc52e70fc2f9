// Writes the container kit: one container and one sidecar of `key: value`
// lines per case, replacing what the folder held. Built with the native
// tests but run only by hand, after a change to the container format:
//   build/native/tests/engine/make_container_kit tests/data/containers
// Damaged headers are made by XORing the difference of two field texts into
// a sealed header, so no key schedule is repeated here.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BodyCipher.h"
#include "Checksum.h"
#include "Container.h"
#include "Sha256.h"
#include "TestSupport.h"
#include "TextConversion.h"

using NBTest::Bytes;
namespace fs = std::filesystem;

namespace {

const std::string kitPassword = "password";
const std::string otherPassword = "passwort";

constexpr std::size_t nameFieldOffset = NBEngine::signatureFieldSize;
constexpr std::size_t checksumFieldOffset = nameFieldOffset + NBEngine::nameFieldSize;
constexpr std::size_t sizeFieldOffset = checksumFieldOffset + NBEngine::checksumFieldSize;

struct Sealed {
    Bytes container;
    std::string checksumText;
    std::string sizeText;
};

// A container as an encryption job writes it, but for any stored name.
Sealed Seal(const std::string& storedName, const Bytes& contents) {
    NBTest::TempDir dir;
    const std::string plain = dir.File("plain");
    const std::string box = dir.File("box");
    NBTest::WriteBytes(plain, contents);
    NBEngine::JobState state;
    NBEngine::DeriveKey(kitPassword, state.keyTable);
    state.plainName = storedName;
    state.checksumText = NBEngine::FoldChecksum(plain).text;
    state.plainSize = static_cast<std::int32_t>(contents.size());
    state.readOffset = 0;
    NBTest::RecordingJobLink link;
    NBEngine::RootSequence generator = NBTest::Seeded(NBEngine::ChecksumSeed(state.checksumText));
    if (!NBEngine::WriteHeader(box, state) ||
        !NBEngine::TransformFile(plain, box, generator, state, link).ok) {
        std::fprintf(stderr, "cannot seal %s\n", storedName.c_str());
        std::exit(1);
    }
    return {NBTest::ReadBytes(box), state.checksumText, NBUtility::Int64ToText(state.plainSize)};
}

// Turns the field text `was` at offset into `now` (both zero-padded).
void Retext(Bytes& container, std::size_t offset, const std::string& was, const std::string& now) {
    for (std::size_t i = 0; i < std::max(was.size(), now.size()); ++i) {
        const auto old = static_cast<std::uint8_t>(i < was.size() ? was[i] : 0);
        const auto fresh = static_cast<std::uint8_t>(i < now.size() ? now[i] : 0);
        container[offset + i] ^= static_cast<std::uint8_t>(old ^ fresh);
    }
}

Bytes SizeFieldSaying(const std::string& sizeText, const Bytes& contents) {
    Sealed sealed = Seal("size.bin", contents);
    Retext(sealed.container, sizeFieldOffset, sealed.sizeText, sizeText);
    return sealed.container;
}

Bytes ChecksumWithFirstCharacter(char first) {
    Sealed sealed = Seal("checksum.bin", {'a', 'b', 'c'});
    std::string changed = sealed.checksumText;
    changed[0] = first;
    Retext(sealed.container, checksumFieldOffset, sealed.checksumText, changed);
    return sealed.container;
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes FirstBytes(Bytes bytes, std::size_t count) {
    bytes.resize(count);
    return bytes;
}

struct KitCase {
    std::string stem;
    std::string what;
    std::string expect;
    Bytes container;
    std::string password = kitPassword;
    std::string name;     // the restored (or damaged) output's name
    Bytes plain;          // success: the restored contents
    std::string existing; // a file of that name made before the job
};

KitCase Success(const std::string& stem, const std::string& what, const std::string& name,
                const Bytes& plain) {
    return {stem, what, "success", Seal(name, plain).container, kitPassword, name, plain, ""};
}

KitCase Failure(const std::string& stem, const std::string& what, const std::string& expect,
                const Bytes& container, const std::string& password = kitPassword) {
    return {stem, what, expect, container, password, "", {}, ""};
}

KitCase DamagedBody(const std::string& stem, const std::string& what, const std::string& existing) {
    Bytes container = Seal("damaged.bin", NBTest::PatternBytes(1430, 9)).container;
    container[NBEngine::headerSize + 700] ^= 0x5A;
    KitCase kit = Failure(stem, what, "crc mismatch", container);
    kit.name = "damaged.bin";
    kit.existing = existing;
    return kit;
}

std::vector<KitCase> Cases() {
    const Bytes abc = {'a', 'b', 'c'};
    const Bytes tiny = Seal("tiny.txt", abc).container;
    const Bytes blocks = Seal("blocks.bin", NBTest::PatternBytes(1430, 5)).container;
    Bytes signature = tiny;
    signature[0] = 'X';
    Bytes longer = tiny;
    longer.push_back(0x42);

    return {
        Success("tiny", "three bytes", "tiny.txt", abc),
        Success("blocks-1428", "1428 bytes: twelve blocks and a short one", "blocks-1428.bin",
                NBTest::PatternBytes(1428, 4)),
        Success("blocks-1430", "1430 bytes, past the offset's jump", "blocks-1430.bin",
                NBTest::PatternBytes(1430, 5)),
        Success("block-multiple", "256 bytes: exactly two blocks", "two-blocks.bin",
                NBTest::PatternBytes(256, 6)),
        Success("latin1-name", "a stored name with Latin-1 letters", "r\xE9sum\xE9.txt",
                NBTest::PatternBytes(700, 7)),
        {"size-trailing-letters", "the size field reads \"3xyz\": its leading number counts",
         "success", SizeFieldSaying("3xyz", abc), kitPassword, "size.bin", abc, ""},
        Failure("wrong-password", "a good container opened with another password", "wrong password",
                tiny, otherPassword),
        Failure("signature-changed", "the first signature letter is X", "damaged header",
                signature),
        Failure("header-cut-short", "only the first 100 bytes of a header", "damaged header",
                FirstBytes(tiny, 100)),
        Failure("empty-file", "an empty file", "not a container", {}),
        Failure("plain-text", "a text file, not a container", "not a container",
                Text(std::string(30, '-') + " just some text, nothing sealed " +
                     std::string(200, '.') + "\n")),
        Failure("header-only", "a whole header whose body is missing", "incomplete",
                FirstBytes(tiny, NBEngine::headerSize)),
        Failure("body-one-short", "the body lacks its last byte", "incomplete",
                FirstBytes(blocks, blocks.size() - 1)),
        Failure("body-one-long", "the body has one byte more than its size field", "extended",
                longer),
        Failure("size-zero", "the size field reads 0", "damaged header", SizeFieldSaying("0", abc)),
        Failure("size-negative", "the size field reads -3 over a 3-byte body", "extended",
                SizeFieldSaying("-3", abc)),
        Failure("size-not-numeric", "the size field reads \"three\"", "damaged header",
                SizeFieldSaying("three", abc)),
        Failure("checksum-not-hex", "the checksum text starts with G", "damaged header",
                ChecksumWithFirstCharacter('G')),
        Failure("checksum-lowercase", "the checksum text starts with a lowercase a",
                "damaged header", ChecksumWithFirstCharacter('a')),
        Failure("empty-name", "the stored name is empty", "damaged header",
                Seal("", abc).container),
        Failure("name-slash", "the stored name a/b.txt names a folder", "stored name not valid",
                Seal("a/b.txt", abc).container),
        Failure("name-dotdot", "the stored name is ..", "stored name not valid",
                Seal("..", abc).container),
        Failure("name-backslash", "the stored name ..\\evil.txt leaves the folder on Windows",
                "stored name not valid", Seal("..\\evil.txt", abc).container),
        Failure("name-device", "the stored name CON is a Windows device", "stored name not valid",
                Seal("CON", abc).container),
        Failure("name-drive-colon", "the stored name C:evil.txt names a drive",
                "stored name not valid", Seal("C:evil.txt", abc).container),
        DamagedBody("damaged-body", "one body byte changed; no file of the stored name", ""),
        DamagedBody("damaged-body-over-existing",
                    "one body byte changed; a file of the stored name exists and stays",
                    "what was there before"),
    };
}

void WriteSidecar(const std::string& path, const KitCase& kit) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "what: " << kit.what << "\n";
    out << "password: " << kit.password << "\n";
    out << "expect: " << kit.expect << "\n";
    if (!kit.name.empty()) {
        // A text file: the stored name's characters in UTF-8.
        out << "name: " << NBUtility::Utf16ToUtf8(NBUtility::NameOfStored(kit.name)) << "\n";
    }
    if (kit.expect == "success") {
        out << "sha256: " << NBTest::Sha256Hex(kit.plain) << "\n";
    }
    if (!kit.existing.empty()) {
        out << "existing: " << kit.existing << "\n";
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_container_kit FOLDER\n");
        return 2;
    }
    const fs::path folder = argv[1];
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(folder)) {
        const fs::path extension = entry.path().extension();
        if (extension == ".nbnx" || extension == ".txt") {
            fs::remove(entry.path());
        }
    }
    for (const KitCase& kit : Cases()) {
        NBTest::WriteBytes((folder / (kit.stem + ".nbnx")).string(), kit.container);
        WriteSidecar((folder / (kit.stem + ".txt")).string(), kit);
    }
    return 0;
}
