#include "Keystream.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace NBEngine {

namespace {
constexpr int stateCount = 10000;
// The body seeds repeat within about 30 000 calls of the search; far more
// than that means something unexpected, and Next itself takes over.
constexpr std::size_t searchLimit = std::size_t{1} << 17;
// Values read in one go from the circle; the table carries this many wrapped
// entries behind the circle so that a piece never has to wrap.
constexpr std::size_t pieceLimit = 1024;
constexpr double bodyLow = 1.0;
constexpr double bodySpan = 16.0;
// From this offset on, 16 m + 1 no longer fits in 32 bits.
constexpr std::uint64_t overflowOffset = std::uint64_t{1} << 27;

const std::array<double, stateCount>& RootFractions() {
    static const std::array<double, stateCount> fractions = [] {
        std::array<double, stateCount> table{};
        for (int state = 0; state < stateCount; ++state) {
            table[state] = RootFraction(state);
        }
        return table;
    }();
    return fractions;
}

double Step(RootSequence& generator) {
    const std::int32_t state = generator.state;
    const double fraction =
        state >= 0 && state < stateCount ? RootFractions()[state] : RootFraction(state);
    return generator.Advance(fraction);
}

std::uint8_t LowByte(std::int32_t value) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFFu);
}

// The same operations, in the same order, as the last step of Next(1, 16).
std::uint8_t ValueByte(double addend, double offset) {
    return LowByte(TruncToInt32((addend + offset) * bodySpan + bodyLow));
}

// The low byte of 16 m.
std::uint8_t OffsetByte(std::uint64_t offset) {
    return static_cast<std::uint8_t>((offset << 4) & 0xF0u);
}

int HighestBit(std::uint64_t value) {
    int bit = -1;
    while (value != 0) {
        value >>= 1;
        ++bit;
    }
    return bit;
}

// Equal states and equal counts relative to the highest count: both
// generators go on with the same fractions and the same spare buckets.
bool SameCourse(const RootSequence& a, const RootSequence& b) {
    if (a.state != b.state) {
        return false;
    }
    for (int i = 0; i < RootSequence::bucketCount; ++i) {
        if (a.counts[i] - a.maxCount != b.counts[i] - b.maxCount) {
            return false;
        }
    }
    return true;
}

// 16 m mod 256 for m mod 16 = 0, 1, ..., twice over: from entry m mod 16 on,
// the next 16 entries belong to m, m + 1, ...
constexpr std::uint8_t offsetBytes[32] = {
    0x00, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0,
    0x00, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0};

// table[i] + 16 (offset + i) in low bytes; the 16 values of a group share
// one pattern, so a group is one vector addition.
void AddOffsetBytes(const std::uint8_t* table, std::size_t count, std::uint64_t offset,
                    std::uint8_t* out) {
    const std::uint8_t* pattern = offsetBytes + (offset & 15u);
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i patternBytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern));
    for (; i + 16 <= count; i += 16) {
        const __m128i entries = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_add_epi8(entries, patternBytes));
    }
#endif
    for (; i < count; ++i) {
        out[i] = static_cast<std::uint8_t>(table[i] + pattern[i % 16]);
    }
}

#if defined(__SSE2__)
// block[i] ^= entries[i] + pattern[i mod 16] + key[i] for one 128-byte block;
// no entries means entries of 0.
void XorValuesAndKey(std::uint8_t* block, const std::uint8_t* entries, __m128i pattern,
                     const KeyTable& key) {
    for (std::size_t i = 0; i < keyTableSize; i += 16) {
        auto values =
            _mm_add_epi8(pattern, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&key[i])));
        if (entries != nullptr) {
            values = _mm_add_epi8(values,
                                  _mm_loadu_si128(reinterpret_cast<const __m128i*>(entries + i)));
        }
        auto* data = reinterpret_cast<__m128i*>(block + i);
        _mm_storeu_si128(data, _mm_xor_si128(_mm_loadu_si128(data), values));
    }
}
#endif

} // namespace

Keystream::Keystream(const RootSequence& start) : start(start), plain(start) {
    RootSequence walker = start;
    if (!FindCircle(walker)) {
        recorded.clear();
        recorded.shrink_to_fit();
        addends.clear();
        addends.shrink_to_fit();
        period = 0;
    }
}

void Keystream::Record(RootSequence& walker) {
    const double addend = Step(walker);
    recorded.push_back(ValueByte(addend, walker.offset));
}

// Brent's search for a repeat of the course, recording every value on the
// way; then on until the offset grows by whole numbers, and one circle from
// there into the table.
bool Keystream::FindCircle(RootSequence& walker) {
    RootSequence mark = walker;
    Record(walker);
    std::uint32_t power = 1;
    std::uint32_t length = 1;
    while (!SameCourse(mark, walker)) {
        if (recorded.size() >= searchLimit) {
            return false;
        }
        if (power == length) {
            mark = walker;
            power *= 2;
            length = 0;
        }
        Record(walker);
        ++length;
    }
    // After the first jump of the offset every call adds exactly 1.0.
    while (walker.total < 1.0) {
        if (recorded.size() >= searchLimit) {
            return false;
        }
        Record(walker);
    }

    circleStart = walker;
    period = length;
    addends.reserve(period + pieceLimit);
    for (std::uint32_t i = 0; i < period; ++i) {
        addends.push_back(Step(walker));
    }
    countGrowth = walker.maxCount - circleStart.maxCount;
    for (std::size_t i = 0; i < pieceLimit; ++i) {
        addends.push_back(addends[i % period]);
    }
    addendsBelowOne = std::all_of(addends.begin(), addends.end(),
                                  [](double addend) { return addend >= 0.0 && addend < 1.0; });
    nextOffset = static_cast<std::uint64_t>(circleStart.total) + 1;
    return true;
}

void Keystream::Fill(std::uint8_t* out, std::size_t count) {
    if (count == 0) {
        return; // out may be null then
    }
    if (!UsesTables()) {
        for (std::size_t i = 0; i < count; ++i) {
            out[i] = LowByte(plain.Next(1, 16));
        }
        taken += count;
        return;
    }
    if (taken < recorded.size()) {
        const std::size_t fromRecord =
            std::min(count, recorded.size() - static_cast<std::size_t>(taken));
        std::memcpy(out, recorded.data() + taken, fromRecord);
        taken += fromRecord;
        out += fromRecord;
        count -= fromRecord;
    }
    while (count > 0) {
        const std::size_t piece = FillPiece(out, std::min(count, pieceLimit));
        MoveAlongCircle(piece);
        out += piece;
        count -= piece;
    }
}

void Keystream::XorBlock(std::uint8_t* block, std::size_t length, const KeyTable& key) {
#if defined(__SSE2__)
    if (length == keyTableSize && UsesTables() && taken >= recorded.size()) {
        if (addendsBelowOne && nextOffset >= overflowOffset) {
            XorValuesAndKey(block, nullptr, _mm_setzero_si128(), key); // every value is 0 here
            MoveAlongCircle(length);
            return;
        }
        if (PowerTableServes(length)) {
            const auto pattern =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(offsetBytes + (nextOffset & 15u)));
            XorValuesAndKey(block, powerTable.data() + phase, pattern, key);
            MoveAlongCircle(length);
            return;
        }
    }
#endif
    std::uint8_t values[keyTableSize];
    Fill(values, length);
    for (std::size_t i = 0; i < length; ++i) {
        block[i] ^= static_cast<std::uint8_t>(values[i] + key[i]);
    }
}

// Whether the next count values all come from the current power table.
bool Keystream::PowerTableServes(std::size_t count) const {
    return UsesTables() && taken >= recorded.size() && nextOffset >= tableFirst &&
           nextOffset + count - 1 <= tableLast;
}

// Moves on by count values taken from the circle.
void Keystream::MoveAlongCircle(std::size_t count) {
    phase += count;
    if (phase >= period) {
        phase -= period; // a piece is rarely longer than the circle
        if (phase >= period) {
            phase %= period;
        }
    }
    nextOffset += count;
    taken += count;
}

// Fills up to count values that share one way of computing; returns how many.
std::size_t Keystream::FillPiece(std::uint8_t* out, std::size_t count) {
    if (nextOffset < tableFirst || nextOffset > tableLast) {
        const std::size_t done = FillOutsideTables(out, count);
        if (done != 0) {
            return done;
        }
        BuildPowerTable(HighestBit(nextOffset));
    }
    const auto piece =
        static_cast<std::size_t>(std::min<std::uint64_t>(count, tableLast + 1 - nextOffset));
    AddOffsetBytes(powerTable.data() + phase, piece, nextOffset, out);
    return piece;
}

// The values the byte tables do not give; 0 when they do.
std::size_t Keystream::FillOutsideTables(std::uint8_t* out, std::size_t count) {
    const double* circle = addends.data() + phase;
    if (!addendsBelowOne) {
        for (std::size_t i = 0; i < count; ++i) {
            out[i] = ValueByte(circle[i], static_cast<double>(nextOffset + i));
        }
        return count;
    }
    if (nextOffset >= overflowOffset) {
        std::memset(out, 0, count);
        return count;
    }
    if (((nextOffset + 1) & nextOffset) == 0) { // the last offset below a power of two
        out[0] = ValueByte(circle[0], static_cast<double>(nextOffset));
        return 1;
    }
    return 0;
}

void Keystream::BuildPowerTable(int power) {
    const std::uint64_t first = std::uint64_t{1} << power;
    powerTable.resize(addends.size());
    for (std::size_t i = 0; i < addends.size(); ++i) {
        powerTable[i] = static_cast<std::uint8_t>(
            ValueByte(addends[i], static_cast<double>(first)) - OffsetByte(first));
    }
    tableFirst = first;
    tableLast = 2 * first - 2;
}

RootSequence Keystream::Generator() const {
    if (!UsesTables()) {
        return plain;
    }
    if (taken <= recorded.size()) {
        RootSequence generator = start;
        for (std::uint64_t i = 0; i < taken; ++i) {
            Step(generator);
        }
        return generator;
    }
    const std::uint64_t beyond = taken - recorded.size();
    const std::uint64_t circles = beyond / period;
    RootSequence generator = circleStart;
    for (std::uint64_t i = 0; i < beyond % period; ++i) {
        Step(generator);
    }
    // Every count, and so the highest, grows by the same amount per circle.
    const auto growth = static_cast<std::int32_t>(static_cast<std::int64_t>(circles) * countGrowth);
    for (std::int32_t& count : generator.counts) {
        count += growth;
    }
    generator.maxCount += growth;
    generator.total += static_cast<double>(circles * period);
    generator.offset = generator.total;
    return generator;
}

} // namespace NBEngine
