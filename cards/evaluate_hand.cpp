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

// Every category in turn, for any hand; used for the rarer ones.
[[gnu::noinline]] std::int64_t ScoreInOrder(std::uint64_t cards) {
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

// The commoner hands, high card, one pair, two pair and three of a kind,
// have at most two group keys, the best pair or trips and a second pair, and
// then the keys of the best single cards. Both come from TopKeys, the keys of
// the five best ranks of a set as one number, Key1 to 1, looked up in two
// halves: ace to eight, then seven to two with the keys that the upper half
// left to fill.
constexpr int UpperRanks = 7;  // bits 1..7 of a set of ranks
constexpr int LowerRanks = 6;  // bits 8..13
constexpr std::array<std::int64_t, 5> Places = {Key1, Key2, Key3, 100, 1};
constexpr std::size_t LowerRows = 6;  // by the keys the upper half filled, 0..5

struct UpperKeys {
    std::uint32_t keys;
    std::uint32_t lowerRow;  // the start of LowerHalves' row for the keys filled
};

constexpr std::array<UpperKeys, 1 << UpperRanks> UpperHalves = [] {
    std::array<UpperKeys, 1 << UpperRanks> halves{};
    for (std::uint32_t bits = 0; bits < halves.size(); ++bits) {
        std::uint32_t used = 0;
        for (int b = 0; b < UpperRanks && used < Places.size(); ++b) {
            if ((bits >> b & 1) != 0) {
                halves[bits].keys += static_cast<std::uint32_t>((14 - b) * Places[used++]);
            }
        }
        halves[bits].lowerRow = used << LowerRanks;
    }
    return halves;
}();

// Above every TopKeys, which is largest for the ace down to the ten.
constexpr std::int64_t TopKeysLimit = 15 * Key1;
static_assert(UpperHalves.back().keys < TopKeysLimit);

constexpr std::array<std::uint32_t, (LowerRows << LowerRanks)> LowerHalves = [] {
    std::array<std::uint32_t, (LowerRows << LowerRanks)> halves{};
    for (std::size_t used = 0; used < LowerRows; ++used) {
        for (std::uint32_t bits = 0; bits < (1u << LowerRanks); ++bits) {
            std::size_t place = used;
            for (int b = 0; b < LowerRanks && place < Places.size(); ++b) {
                if ((bits >> b & 1) != 0) {
                    halves[(used << LowerRanks) + bits] += static_cast<std::uint32_t>((7 - b) * Places[place++]);
                }
            }
        }
    }
    return halves;
}();

inline std::uint32_t TopKeys(std::uint32_t ranks) {
    const UpperKeys& upper = UpperHalves[ranks >> 1 & ((1u << UpperRanks) - 1)];
    return upper.keys + LowerHalves[upper.lowerRow + (ranks >> (1 + UpperRanks) & ((1u << LowerRanks) - 1))];
}

// Where TopKeys go for each of those hands: the first `count` of them are
// kept by a division by a power of 100, done as a multiplication and a shift
// that are exact below TopKeysLimit, and moved to their place.
struct KickerLayout {
    std::int64_t weight;
    std::uint64_t multiplier;
    int shift;
    std::int64_t place;
};

constexpr KickerLayout MakeKickerLayout(std::int64_t weight, int count, std::int64_t firstPlace) {
    std::int64_t divisor = 1;
    for (int k = count; k < 5; ++k) divisor *= 100;
    int shift = 0;
    while ((std::uint64_t{1} << shift) < static_cast<std::uint64_t>(TopKeysLimit * divisor)) ++shift;
    const std::uint64_t multiplier =
        ((std::uint64_t{1} << shift) + static_cast<std::uint64_t>(divisor) - 1) / static_cast<std::uint64_t>(divisor);
    const std::int64_t place = firstPlace / Places[static_cast<std::size_t>(5 - count)];
    return {weight, multiplier, shift, place};
}

// High card, one pair, two pair, three of a kind.
constexpr std::array<KickerLayout, 4> KickerLayouts = {
    MakeKickerLayout(1 * Weight, 5, Key1),
    MakeKickerLayout(2 * Weight, 3, Key2),
    MakeKickerLayout(3 * Weight, 1, Key3),
    MakeKickerLayout(4 * Weight, 2, Key2),
};
static_assert(std::all_of(KickerLayouts.begin(), KickerLayouts.end(), [](const KickerLayout& k) {
    return k.multiplier <= ~std::uint64_t{0} / TopKeysLimit;  // the product never overflows
}));

// The value of a hand held as above.
[[gnu::always_inline]] inline double Score(std::uint64_t cards) {
    // Straight flush down to straight, more than two pairs, and trips beside
    // anything but single cards or with fewer than two of them: left to the
    // general scoring, as are two pair without a fifth card.
    const RankCounts n = CountRanks(cards);
    const std::uint32_t groups = n.groups;
    const std::uint32_t groups2 = WithoutTop(groups);
    if ((FifthCards(cards) | Straights(n.present) | n.quads | WithoutTop(groups2)) != 0 ||
        (n.trips != 0 && (groups2 != 0 || WithoutTop(n.singles) == 0)) || (groups2 != 0 && n.singles == 0))
        [[unlikely]] {
        return static_cast<double>(ScoreInOrder(cards));
    }

    // By the number of groups, plus two for trips, which are the only group here.
    const KickerLayout& k =
        KickerLayouts[std::size_t{groups != 0} + std::size_t{groups2 != 0} + 2 * std::size_t{n.trips != 0}];
    const auto kept = static_cast<std::int64_t>(TopKeys(n.singles) * k.multiplier >> k.shift);
    const std::int64_t kickers = kept * k.place;
    // At most two groups: their keys are the first two of TopKeys.
    return static_cast<double>(k.weight + TopKeys(groups) + kickers);
}

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
