#pragma once
// The body cipher's draws, RootSequence::Next(1, 16), at table speed. Within
// a few ten thousand calls the generator's state, together with its histogram
// taken relative to the highest count, comes back to an earlier point; from
// there on it walks the same circle for ever, and only the offset keeps
// growing, by exactly one per call. A value is then a circle entry a plus the
// whole offset m, through the same double operations as Next.
//
// The entries lie in 0 <= a < 1 (checked when the circle is taken). Between
// two powers of two, 2^e <= m <= 2^(e+1) - 2, the sum a + m rounds a to the
// same grid whatever m (m has no bits there, so even the ties agree), and the
// scaling by 16 and the + 1 are exact; so the value is
// 16 m + (the value at m = 2^e) - 16 * 2^e, and its low byte is a byte table
// of that power plus 16 m mod 256. The last m below each power of two goes
// through the double operations themselves; from m = 2^27 on every value is
// at least 2^31 and truncates to INT32_MIN, low byte 0.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "KeyTable.h"
#include "RootSequence.h"

namespace NBEngine {

class Keystream {
public:
    // The values that start.Next(1, 16) would give from its next call on.
    explicit Keystream(const RootSequence& start);

    // Writes the low 8 bits of the next count values.
    void Fill(std::uint8_t* out, std::size_t count);

    // block[i] ^= (next value + key[i]) mod 256, for a block of at most 128
    // bytes: the body cipher's step for one block.
    void XorBlock(std::uint8_t* block, std::size_t length, const KeyTable& key);

    // The generator as the same number of Next calls would have left it.
    RootSequence Generator() const;

    std::uint64_t Taken() const { return taken; }
    // False when no repeat showed within the search limit: every value then
    // comes from Next itself.
    bool UsesTables() const { return period != 0; }
    // How many values come from the record made while searching, before the
    // circle's table serves.
    std::size_t RecordedLength() const { return recorded.size(); }
    std::uint32_t Period() const { return period; }

private:
    bool FindCircle(RootSequence& walker);
    void Record(RootSequence& walker);
    std::size_t FillPiece(std::uint8_t* out, std::size_t count);
    bool PowerTableServes(std::size_t count) const;
    void MoveAlongCircle(std::size_t count);
    std::size_t FillOutsideTables(std::uint8_t* out, std::size_t count);
    void BuildPowerTable(int power);

    RootSequence start;
    RootSequence plain; // only advanced when there are no tables

    std::vector<std::uint8_t> recorded;
    RootSequence circleStart;             // the generator after the recorded values
    std::vector<double> addends;          // one circle, plus a wrapped-around tail
    std::uint32_t period = 0;             // 0: no tables
    std::int32_t countGrowth = 0;         // by how much every count grows per circle
    bool addendsBelowOne = false;         // what the byte tables rely on
    std::vector<std::uint8_t> powerTable; // low bytes at m = tableFirst, less 16 m
    std::uint64_t tableFirst = 1;         // the offsets powerTable serves:
    std::uint64_t tableLast = 0;          // a power of two up to twice it less 2
    std::size_t phase = 0;                // index into addends of the next value
    std::uint64_t nextOffset = 0;         // the (whole) offset of the next value
    std::uint64_t taken = 0;
};

} // namespace NBEngine
