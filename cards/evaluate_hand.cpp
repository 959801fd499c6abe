// SPDX-License-Identifier: MIT
#include "cards/cards.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

// A hand is held as a CardSet with the ace's second bit set too: four 16-bit
// lanes, lane 4 - s for suit index s, and inside a lane rank index r is bit
// 15 - r, so the ace is bit 1, the king bit 2, the two bit 13 and the ace
// again, below the two, bit 14. With the best rank lowest, the next key is
// always the lowest set bit, quick to find and to clear. Bits 0 and 15 of every
// lane stay clear, which keeps the shifted ANDs below from carrying one lane
// into the next.
namespace {

using CardSet = std::uint64_t;

// The bit of rank index r (1 to 14, the ace at both ends) and suit index s.
constexpr CardSet CardBit(int r, int s) { return CardSet{1} << (16 * (4 - s) + 15 - r); }

// Bit 0 is never a card. Every rank entry has it, and so has the suit entry of
// every character that is not a suit, so it comes through the AND of two
// characters exactly when the second one is not a suit.
constexpr std::uint64_t NotSuitMark = 1;

// A rank in every suit, and a suit's lane: all its ranks, the ace at both ends.
constexpr CardSet RankBitsOf(int r) { return CardBit(r, 1) | CardBit(r, 2) | CardBit(r, 3) | CardBit(r, 4); }

constexpr CardSet SuitBitsOf(int s) {
    CardSet lane = 0;
    for (int r = 1; r <= 14; ++r) lane |= CardBit(r, s);
    return lane;
}

// A rank character stands for its rank bits in all four lanes, a suit
// character for its whole lane, so ANDing a character's entry with the next
// one's keeps exactly the card they spell, if they spell one.
struct CharClasses {
    std::array<std::uint64_t, 256> asRank{};
    std::array<std::uint64_t, 256> asSuit{};
};

constexpr CharClasses MakeCharClasses() {
    CharClasses c{};
    c.asRank.fill(NotSuitMark);
    c.asSuit.fill(NotSuitMark);
    for (int r = 1; r <= 14; ++r) {
        c.asRank[static_cast<unsigned char>(RankChars[r - 1])] |= RankBitsOf(r);
    }
    for (int s = 1; s <= 4; ++s) {
        c.asSuit[static_cast<unsigned char>(SuitChars[s - 1])] = SuitBitsOf(s);
    }
    return c;
}

constexpr CharClasses Classes = MakeCharClasses();

constexpr std::uint32_t RankBits = 0x3FFE;  // rank indices 14 (bit 1) down to 2 (bit 13)

constexpr std::int64_t Weight = 10'000'000'000;  // 100^5
constexpr std::int64_t Key1 = 100'000'000;       // 100^4
constexpr std::int64_t Key2 = 1'000'000;         // 100^3
constexpr std::int64_t Key3 = 10'000;            // 100^2

// Highest rank index in a set of ranks; 0 for none, which is also the value a
// missing key takes.
inline int Top(std::uint32_t ranks) { return 15 - std::countr_zero(ranks | 0x8000u); }

inline std::uint32_t WithoutTop(std::uint32_t ranks) { return ranks & (ranks - 1); }

inline std::uint32_t TopOnly(std::uint32_t ranks) { return ranks & -ranks; }

// Appends the `count` highest ranks of `ranks` as two-digit keys, 0 once they
// run out.
std::int64_t AppendHighest(std::int64_t value, std::uint32_t ranks, int count) {
    for (int n = 0; n < count; ++n) {
        value = value * 100 + Top(ranks);
        ranks = WithoutTop(ranks);
    }
    return value;
}

// The codes at offsets first, first + 2, ... of a string of any length.
[[gnu::noinline]] std::uint64_t CodesAt(const unsigned char* text, std::size_t size, std::size_t first) {
    std::uint64_t cards = 0;
    for (std::size_t p = first; p + 1 < size; p += 2) {
        cards |= Classes.asRank[text[p]] & Classes.asSuit[text[p + 1]];
    }
    return cards & ~NotSuitMark;
}

// Suits per rank, 0..4, as sets of ranks.
struct RankCounts {
    std::uint32_t present;  // in any suit, with the ace also below the two
    std::uint32_t singles;
    std::uint32_t pairs;
    std::uint32_t trips;
    std::uint32_t quads;
    std::uint32_t groups;  // pairs and trips
};

// A bit-sliced count of the four lanes, folding them pairwise.
inline RankCounts CountRanks(std::uint64_t cards) {
    const std::uint64_t eitherOf2 = cards ^ cards >> 16;  // in lanes 0 and 2
    const std::uint64_t bothOf2 = cards & cards >> 16;
    const std::uint64_t anyOf2 = cards | cards >> 16;
    const auto odd = static_cast<std::uint32_t>(eitherOf2 ^ eitherOf2 >> 32);
    const auto twos = static_cast<std::uint32_t>(bothOf2 ^ bothOf2 >> 32 ^ (eitherOf2 & eitherOf2 >> 32));
    return {
        static_cast<std::uint32_t>(anyOf2 | anyOf2 >> 32) & 0xFFFF,
        odd & ~twos & RankBits,
        twos & ~odd & RankBits,
        odd & twos & RankBits,
        static_cast<std::uint32_t>(bothOf2 & bothOf2 >> 32) & RankBits,
        twos & RankBits,
    };
}

// Lanes holding five cards or more keep a bit: clearing the lowest bit of
// every lane four times leaves one only there. The guard bit 15 keeps an
// emptied lane from borrowing from the next.
inline std::uint64_t FifthCards(std::uint64_t cards) {
    constexpr std::uint64_t Guards = 0x8000'8000'8000'8000;
    constexpr std::uint64_t Ones = 0x0001'0001'0001'0001;
    std::uint64_t left = cards & 0x3FFE'3FFE'3FFE'3FFE;
    for (int cleared = 0; cleared < 4; ++cleared) {
        left &= (left | Guards) - Ones;
    }
    return left;
}

// Bit q set: bits q..q+4 are all set, the ranks 15 - q down to 11 - q.
inline std::uint32_t Straights(std::uint32_t present) {
    const std::uint32_t runs2 = present & present >> 1;
    return runs2 & runs2 >> 2 & present >> 4;
}

// Every category in turn, for any hand.
std::int64_t ScoreInOrder(std::uint64_t cards) {
    const RankCounts n = CountRanks(cards);
    const std::uint32_t ranks = n.present & RankBits;

    const std::uint64_t straightFlushes = cards & cards >> 1 & cards >> 2 & cards >> 3 & cards >> 4;
    if (straightFlushes != 0) {
        const auto lanes = static_cast<std::uint32_t>(
            (straightFlushes | straightFlushes >> 16 | straightFlushes >> 32 | straightFlushes >> 48) & 0xFFFF);
        return 9 * Weight + (Top(lanes) - 4) * Key1;
    }
    if (n.quads != 0) {
        return 8 * Weight + Top(n.quads) * Key1 + Top(ranks & ~TopOnly(n.quads)) * Key2;
    }
    if (n.trips != 0) {
        const std::uint32_t others = n.groups & ~TopOnly(n.trips);
        if (others != 0) {
            return 7 * Weight + Top(n.trips) * Key1 + Top(others) * Key2;
        }
    }
    if (const std::uint64_t fifthCards = FifthCards(cards); fifthCards != 0) {
        // Of two flushes (only a long string has two), the first suit's.
        const int firstLane = (63 - std::countl_zero(fifthCards)) / 16;
        return AppendHighest(6, static_cast<std::uint32_t>(cards >> (16 * firstLane)) & RankBits, 5);
    }
    if (const std::uint32_t straights = Straights(n.present); straights != 0) {
        return 5 * Weight + (Top(straights) - 4) * Key1;
    }
    if (n.trips != 0) {
        // Only one set of trips and no pair is left here; without two single
        // cards beside it, only the single cards count.
        if (WithoutTop(n.singles) != 0) {
            return AppendHighest(4 * 100 + Top(n.trips), n.singles, 2) * Key3;
        }
    } else if (n.pairs != 0) {
        const std::uint32_t topTwo = n.pairs ^ WithoutTop(WithoutTop(n.pairs));
        const std::uint32_t kickers = ranks & ~topTwo;  // may hold a third pair
        if (WithoutTop(topTwo) != 0 && kickers != 0) {
            return AppendHighest(AppendHighest(3, topTwo, 2), kickers, 1) * Key3;
        }
        return AppendHighest(AppendHighest(2, n.pairs, 1), n.singles, 3) * 100;
    }
    return AppendHighest(1, n.singles, 5);
}

// The value of a hand held as above, every category in turn. A shortcut for
// the commoner hands through lookup tables would save some 3 ns of the 20 a
// hand takes: 30 us, 0.4 %, of a click on Play Hands (bench/evaluate_bench).
double Score(std::uint64_t cards) { return static_cast<double>(ScoreInOrder(cards)); }

}  // namespace

double EvaluateHand(const std::string& hand) {
    const auto* text = reinterpret_cast<const unsigned char*>(hand.data());
    const std::size_t size = hand.size();

    // Every rank character followed by a suit character is a code, wherever
    // it stands. Codes normally stand at even offsets with a suit at every odd
    // one, and no suit character is a rank character, so no code can start at
    // an odd offset unless some odd character is not a suit. The short
    // strings of a deal are unrolled, and seven cards come first, without
    // the jump through the switch's table.
    std::uint64_t cards = 0;
    const auto codeAt = [&](std::size_t p) { cards |= Classes.asRank[text[p]] & Classes.asSuit[text[p + 1]]; };
    if (size / 2 == 7) {
        for (std::size_t p = 0; p < 14; p += 2) codeAt(p);
    } else {
        switch (size / 2) {
        case 8: codeAt(14); [[fallthrough]];
        case 7: codeAt(12); [[fallthrough]];
        case 6: codeAt(10); [[fallthrough]];
        case 5: codeAt(8); [[fallthrough]];
        case 4: codeAt(6); [[fallthrough]];
        case 3: codeAt(4); [[fallthrough]];
        case 2: codeAt(2); [[fallthrough]];
        case 1: codeAt(0); [[fallthrough]];
        case 0: break;
        default: cards = CodesAt(text, size, 0) | CodesAt(text, size, 1); break;
        }
    }
    if ((cards & NotSuitMark) != 0) [[unlikely]] {
        cards |= CodesAt(text, size, 1);
    }
    return Score(cards & ~NotSuitMark);
}
