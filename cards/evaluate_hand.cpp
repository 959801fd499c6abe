#include "cards/cards.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

// The hand is held as four 16-bit lanes in one 64-bit word, lane s - 1 for suit
// index s, bit r of a lane for rank index r. Bits 0 and 15 of every lane stay
// clear, which keeps the shifted ANDs below from carrying one lane into the next.
namespace {

struct CharClasses {
    std::array<std::uint16_t, 256> rankBit{};  // 1 << rank index (2..14), 0 if not a rank
    std::array<std::uint64_t, 256> suitLane{}; // lowest bit of the suit's lane, 0 if not a suit
};

constexpr CharClasses MakeCharClasses()
{
    CharClasses c{};
    for (int r = 2; r <= 14; ++r) {
        c.rankBit[static_cast<unsigned char>(RankChars[r - 1])] = static_cast<std::uint16_t>(1u << r);
    }
    for (int s = 0; s < 4; ++s) {
        c.suitLane[static_cast<unsigned char>(SuitChars[s])] = std::uint64_t{1} << (16 * s);
    }
    return c;
}

constexpr CharClasses Classes = MakeCharClasses();

constexpr std::uint32_t RankBits = 0x7FFC;  // rank indices 2..14
constexpr std::uint64_t AceLowBits = 0x0002'0002'0002'0002;

constexpr std::int64_t Weight = 10'000'000'000;  // 100^5
constexpr std::int64_t Key1 = 100'000'000;       // 100^4
constexpr std::int64_t Key2 = 1'000'000;         // 100^3

// Highest rank index in a set of ranks; 0 for none, which is also the value a
// missing key takes.
inline int Top(std::uint32_t ranks)
{
    return std::bit_width(ranks | 1u) - 1;
}

// Appends the `count` highest ranks of `ranks` as two-digit keys, 0 once they
// run out.
inline std::int64_t AppendHighest(std::int64_t value, std::uint32_t ranks, int count)
{
    for (int n = 0; n < count; ++n) {
        const int r = Top(ranks);
        value = value * 100 + r;
        ranks &= ~(1u << r);
    }
    return value;
}

} // namespace

double EvaluateHand(const std::string& hand)
{
    const auto* text = reinterpret_cast<const unsigned char*>(hand.data());
    const std::size_t size = hand.size();

    // Every rank character followed by a suit character is a code, wherever it
    // stands; a string search for each code would find exactly these.
    std::uint64_t cards = 0;
    for (std::size_t p = 0; p + 1 < size; ++p) {
        cards |= Classes.rankBit[text[p]] * Classes.suitLane[text[p + 1]];
    }
    cards |= (cards >> 13) & AceLowBits;  // an ace also stands below the two

    const std::uint64_t straightFlushes = cards & cards >> 1 & cards >> 2 & cards >> 3 & cards >> 4;
    if (straightFlushes != 0) {
        const auto lowest = static_cast<std::uint32_t>(
            (straightFlushes | straightFlushes >> 16 | straightFlushes >> 32 | straightFlushes >> 48) & 0xFFFF);
        return static_cast<double>(9 * Weight + Top(lowest) * Key1);
    }

    const std::array<std::uint32_t, 4> suits = {
        static_cast<std::uint32_t>(cards & 0xFFFF),
        static_cast<std::uint32_t>(cards >> 16 & 0xFFFF),
        static_cast<std::uint32_t>(cards >> 32 & 0xFFFF),
        static_cast<std::uint32_t>(cards >> 48),
    };
    const auto [a, b, c, d] = suits;

    // Suits per rank, as bit slices of a 0..4 count.
    const std::uint32_t low = a ^ b ^ c ^ d;
    const std::uint32_t twos = (a & b) ^ (c & d) ^ ((a ^ b) & (c ^ d));
    const std::uint32_t present = (a | b | c | d);
    const std::uint32_t ranks = present & RankBits;
    const std::uint32_t singles = low & ~twos & RankBits;
    const std::uint32_t pairs = twos & ~low & RankBits;
    const std::uint32_t trips = low & twos & RankBits;
    const std::uint32_t quads = a & b & c & d & RankBits;

    if (quads != 0) {
        const int i = Top(quads);
        const int j = Top(ranks & ~(1u << i));
        return static_cast<double>(8 * Weight + i * Key1 + j * Key2);
    }

    if (trips != 0) {
        const int i = Top(trips);
        const std::uint32_t others = (pairs | trips) & ~(1u << i);
        if (others != 0) {
            return static_cast<double>(7 * Weight + i * Key1 + Top(others) * Key2);
        }
    }

    for (const std::uint32_t suit : suits) {
        if (std::popcount(suit & RankBits) >= 5) {
            return static_cast<double>(AppendHighest(6, suit & RankBits, 5));
        }
    }

    const std::uint32_t straights = present & present >> 1 & present >> 2 & present >> 3 & present >> 4;
    if (straights != 0) {
        return static_cast<double>(5 * Weight + Top(straights) * Key1);
    }

    if (trips != 0) {
        // Only one set of trips and no pair gets here; it needs two single
        // cards beside it, or nothing but the single cards count.
        if (std::popcount(singles) >= 2) {
            return static_cast<double>(AppendHighest(4 * 100 + Top(trips), singles, 2) * 10'000);
        }
    } else if (pairs != 0) {
        const int i = Top(pairs);
        const int j = Top(pairs & ~(1u << i));
        const std::uint32_t kickers = ranks & ~(1u << i) & ~(1u << j);
        if (j != 0 && kickers != 0) {
            return static_cast<double>(3 * Weight + i * Key1 + j * Key2 + Top(kickers) * 10'000);
        }
        return static_cast<double>(AppendHighest(2 * 100 + i, singles, 3) * 100);
    }

    return static_cast<double>(AppendHighest(1, singles, 5));
}
