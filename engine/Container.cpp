#include "Container.h"

#include <algorithm>
#include <cstring>

#include "Checksum.h"
#include "PositionedFile.h"
#include "TextConversion.h"

namespace NBEngine {

namespace {

// The three fields use different key bytes.
std::uint8_t NameKey(const KeyTable& key, int i) {
    return static_cast<std::uint8_t>(key[i] + i);
}
std::uint8_t ChecksumKey(const KeyTable& key, int i) {
    return key[i];
}
std::uint8_t SizeKey(const KeyTable& key, int i) {
    return static_cast<std::uint8_t>(key[i + 2] + i);
}

template <typename KeyOf>
void Scramble(std::uint8_t* field, int count, const KeyTable& key, KeyOf keyOf) {
    for (int i = 0; i < count; ++i) {
        field[i] ^= keyOf(key, i);
    }
}

std::string TextUpToZero(const std::uint8_t* field, std::size_t length) {
    std::size_t end = 0;
    while (end < length && field[end] != 0) {
        ++end;
    }
    return std::string(reinterpret_cast<const char*>(field), end);
}

bool IsHeaderWhiteSpace(std::uint8_t c) {
    return c == ' ' || (c >= 0x09 && c <= 0x0D);
}

// Writes one field at the running offset; the offset grows only on success.
bool WriteField(PositionedFile& file, std::int64_t& offset, const std::uint8_t* field,
                std::size_t size) {
    if (!file.WriteAt(offset, field, size)) {
        return false;
    }
    offset += static_cast<std::int64_t>(size);
    return true;
}

// Hands out the header's fields in order from the bytes a file gave. As with
// reading the file field by field, a field the end cuts short is padded with
// zeros, and any field after that one is missing.
class HeaderReader {
public:
    HeaderReader(const std::uint8_t* bytes, std::size_t size) : bytes(bytes), size(size) {}

    bool Field(std::uint8_t* field, std::size_t length) {
        if (endReached) {
            return false;
        }
        std::memset(field, 0, length);
        const std::size_t available = std::min(length, size - offset);
        if (available > 0) {
            std::memcpy(field, bytes + offset, available);
        }
        offset += available;
        endReached = available < length;
        return true;
    }

    std::size_t Offset() const { return offset; }

private:
    const std::uint8_t* bytes;
    std::size_t size;
    std::size_t offset = 0;
    bool endReached = false;
};

} // namespace

std::int32_t ParseSizeText(const std::uint8_t* text, std::size_t length) {
    std::size_t i = 0;
    while (i < length && IsHeaderWhiteSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0'); // at most 10 digits: no overflow
    }
    if (negative) {
        value = -value;
    }
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(value);
}

bool WriteHeader(const std::string& containerPath, JobState& state) {
    const std::string sizeText = NBUtility::Int64ToText(state.plainSize);
    if (state.plainName.size() > static_cast<std::size_t>(maxPlainNameLength) ||
        state.checksumText.size() > static_cast<std::size_t>(checksumTextLength) ||
        sizeText.size() > static_cast<std::size_t>(sizeFieldSize)) {
        return false;
    }

    std::uint8_t signature[signatureFieldSize] = {};
    std::memcpy(signature, containerSignature, sizeof containerSignature - 1);

    std::uint8_t name[nameFieldSize] = {};
    std::memcpy(name, state.plainName.data(), state.plainName.size());
    Scramble(name, maxPlainNameLength, state.keyTable, NameKey);

    std::uint8_t checksum[checksumFieldSize] = {};
    std::memcpy(checksum, state.checksumText.data(), state.checksumText.size());
    Scramble(checksum, checksumTextLength, state.keyTable, ChecksumKey);

    std::uint8_t size[sizeFieldSize] = {};
    std::memcpy(size, sizeText.data(), sizeText.size());
    Scramble(size, sizeFieldSize, state.keyTable, SizeKey);

    PositionedFile file;
    file.OpenTruncate(containerPath);
    if (file.NotOpen()) {
        return false;
    }
    std::int64_t offset = 0;
    const bool written = WriteField(file, offset, signature, sizeof signature) &&
                         WriteField(file, offset, name, sizeof name) &&
                         WriteField(file, offset, checksum, sizeof checksum) &&
                         WriteField(file, offset, size, sizeof size);
    const bool closed = file.Close();
    if (!written || !closed) {
        return false;
    }
    state.writeOffset = static_cast<std::int32_t>(offset);
    return true;
}

bool ParseHeader(const std::uint8_t* bytes, std::size_t size, JobState& state) {
    HeaderReader reader(bytes, size);

    std::uint8_t signature[signatureFieldSize];
    if (!reader.Field(signature, sizeof signature) ||
        TextUpToZero(signature, sizeof signature) != containerSignature) {
        return false;
    }

    std::uint8_t name[nameFieldSize];
    if (!reader.Field(name, sizeof name)) {
        return false;
    }
    Scramble(name, maxPlainNameLength, state.keyTable, NameKey);
    state.plainName = TextUpToZero(name, sizeof name);
    if (state.plainName.empty()) {
        return false;
    }

    std::uint8_t checksum[checksumFieldSize];
    if (!reader.Field(checksum, sizeof checksum)) {
        return false;
    }
    Scramble(checksum, checksumTextLength, state.keyTable, ChecksumKey);
    for (int i = 0; i < checksumTextLength; ++i) {
        if (checksum[i] < '0' || checksum[i] > 'F') {
            return false;
        }
    }
    state.checksumText = TextUpToZero(checksum, sizeof checksum);
    if (state.checksumText.size() != static_cast<std::size_t>(checksumTextLength)) {
        return false;
    }

    std::uint8_t sizeText[sizeFieldSize];
    if (!reader.Field(sizeText, sizeof sizeText)) {
        return false;
    }
    Scramble(sizeText, sizeFieldSize, state.keyTable, SizeKey);
    state.plainSize = ParseSizeText(sizeText, sizeof sizeText);
    if (state.plainSize == 0) {
        return false;
    }

    state.readOffset = static_cast<std::int32_t>(reader.Offset());
    return true;
}

bool ReadHeader(const std::string& containerPath, JobState& state) {
    PositionedFile file;
    file.OpenRead(containerPath);
    if (file.NotOpen()) {
        return false;
    }
    std::uint8_t header[headerSize];
    const std::size_t read = file.ReadAt(0, header, sizeof header);
    if (file.Failed()) {
        return false;
    }
    return ParseHeader(header, read, state);
}

} // namespace NBEngine
