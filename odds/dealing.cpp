// SPDX-License-Identifier: MIT
#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>

#include "odds/odds.h"

namespace {

// NextRandom's values are whole multiples of 2^-RandomBits.
constexpr int RandomBits = 24;
constexpr float RandomStep = 1.0f / (1 << RandomBits);

// NextRandom's value times 2^RandomBits.
std::uint32_t NextRandomBits() {
    // The top bits of a word fill a float's mantissa exactly, so the value
    // can never round up to 1.
    return RandomEngine() >> (32 - RandomBits);
}

// Beyond a few dozen players the deck is long empty and every further
// opponent holds no cards; only a count that never passed the box's check
// could get here, and this keeps it from dealing for ever.
constexpr double PlayerLimit = 100;

// Rank index 1..13 (ace to king) or suit index 1..4 of a character, 0 for none.
constexpr std::array<std::uint8_t, 256> IndexOf(std::string_view chars) {
    std::array<std::uint8_t, 256> index{};
    for (std::size_t i = 0; i < chars.size(); ++i) {
        index[static_cast<unsigned char>(chars[i])] = static_cast<std::uint8_t>(i + 1);
    }
    return index;
}
constexpr std::array<std::uint8_t, 256> RankIndex = IndexOf(RankChars.substr(0, 13));
constexpr std::array<std::uint8_t, 256> SuitIndex = IndexOf(SuitChars);

// Picking a deal's cards out of a card set. Byte i of a deal deck's counts
// holds how many of its cards lie in bytes 0..i of cards, so that the byte
// holding the n-th card from the bottom shows without counting bits.
constexpr std::uint64_t ByteOnes = 0x0101'0101'0101'0101;
constexpr std::uint64_t ByteTops = 0x8080'8080'8080'8080;

// SelectInByte[b][n]: the bit of b with n set bits of b below it.
constexpr auto SelectInByte = [] {
    std::array<std::array<std::uint8_t, 8>, 256> select{};
    for (int b = 0; b < 256; ++b) {
        int n = 0;
        for (std::uint8_t bit = 0; bit < 8; ++bit) {
            if ((b >> bit & 1) != 0) select[static_cast<std::size_t>(b)][static_cast<std::size_t>(n++)] = bit;
        }
    }
    return select;
}();

// The cards a deal has not dealt yet.
struct DealDeck {
    CardSet cards;
    std::uint64_t counts;
    std::uint32_t left;  // the top byte of counts, kept apart so drawing need not wait for it
};

DealDeck MakeDealDeck(CardSet cards) {
    std::uint64_t counts = cards - (cards >> 1 & 0x5555'5555'5555'5555);
    counts = (counts & 0x3333'3333'3333'3333) + (counts >> 2 & 0x3333'3333'3333'3333);
    counts = ((counts + (counts >> 4)) & 0x0F0F'0F0F'0F0F'0F0F) * ByteOnes;
    return {cards, counts, static_cast<std::uint32_t>(counts >> 56)};
}

// Takes out and returns the card with `below` of the deck's cards under it;
// below < left.
[[gnu::always_inline]] inline CardSet TakeCard(DealDeck& deck, std::uint32_t below) {
    // The bytes with at most `below` cards up to and including them lie under
    // the card; the first byte that has more holds it.
    const std::uint64_t under = ((below * ByteOnes | ByteTops) - deck.counts) & ByteTops;
    // The top bit changes nothing, as the card's byte always lies below it,
    // but with it the word is never 0 and the count needs no test for that.
    const int byte = std::countr_zero((under ^ ByteTops) | std::uint64_t{1} << 63) - 7;  // its lowest bit
    const auto beneath = static_cast<std::uint32_t>(deck.counts << 8 >> byte & 0xFF);
    const int bit = byte + SelectInByte[deck.cards >> byte & 0xFF][below - beneath];
    const CardSet card = CardSet{1} << bit;
    deck.cards ^= card;
    deck.counts -= ByteOnes << byte;
    --deck.left;
    return card;
}

// DrawCard's choice from a card set. DrawCard takes the card at k = floor(r x
// cards left) in deck order, counting from 0, which for r = bits / 2^24 is
// exactly (bits x cards left) >> 24. Like DrawCard it uses a random number
// even when no card is left, and then gives none.
[[gnu::always_inline]] inline CardSet DrawFrom(DealDeck& deck) {
    const std::uint32_t bits = NextRandomBits();
    if (deck.left == 0) return 0;
    const std::uint32_t k = bits * deck.left >> RandomBits;
    // Deck order runs down from the top bit: k cards lie above the card.
    return TakeCard(deck, deck.left - 1 - k);
}

// The cards of board that stand in a deal, place by place, 0 where the place
// is dealt: an empty place, and one holding a hole card of the run (moved
// onto the board), which cannot stand in two hands.
std::array<CardSet, 5> StandingCards(const CommunityCards& board, CardSet hole) {
    std::array<CardSet, 5> standing{};
    for (std::size_t place = 0; place < board.size(); ++place) {
        const CardSet card = CardsIn(board[place]);
        if ((card & hole) == 0) standing[place] = card;
    }
    return standing;
}

// The deck of a deal: a card placed during the run is still in runDeck, and
// comes out before anything is drawn.
DealDeck StartDeal(CardSet runDeck, const std::array<CardSet, 5>& standing) {
    CardSet shown = 0;
    for (CardSet card : standing) shown |= card;
    return MakeDealDeck(runDeck & ~shown);
}

// Opponents are players 2 up to the count; a fractional count acts like its
// whole part, and a count below 2 deals no opponent.
int OpponentCount(double players) { return players >= 2 ? static_cast<int>(std::min(players, PlayerLimit)) - 1 : 0; }

DealOutcome Compare(double mine, double best) {
    if (mine > best) return DealOutcome::Win;
    if (mine < best) return DealOutcome::Loss;
    return DealOutcome::Draw;
}

}  // namespace

std::mt19937 RandomEngine;

float NextRandom() { return static_cast<float>(NextRandomBits()) * RandomStep; }

void RemoveCard(std::string& cards, std::string_view code) {
    if (code.empty()) return;
    for (auto at = cards.find(code); at != std::string::npos; at = cards.find(code, at)) cards.erase(at, code.size());
}

CardCode DrawCard(std::string& deck) {
    const double length = static_cast<double>(deck.size());
    const double r = NextRandom();
    // The product is never negative, so truncating is taking the floor.
    const auto k = static_cast<std::size_t>(r * length / 2) + 1;
    const std::size_t at = std::min(2 * k - 2, deck.size());
    CardCode card = deck.substr(at, 2);
    // Every deck the run builds holds each card once, so taking the card out
    // where it lies removes every occurrence of it; no search is needed.
    deck.erase(at, card.size());
    return card;
}

CardSet CardsIn(std::string_view cards) {
    CardSet set = 0;
    for (std::size_t at = 0; at + 1 < cards.size(); at += 2) {
        const int r = RankIndex[static_cast<unsigned char>(cards[at])];
        const int s = SuitIndex[static_cast<unsigned char>(cards[at + 1])];
        if (r != 0 && s != 0) set |= CardBit(r, s);
    }
    return set;
}

std::string CardCodes(CardSet cards) {
    std::string codes;
    for (int s = 1; s <= 4; ++s) {
        for (int r = 1; r <= 13; ++r) {
            if ((cards & CardBit(r, s)) == 0) continue;
            codes += RankChars[static_cast<std::size_t>(r - 1)];
            codes += SuitChars[static_cast<std::size_t>(s - 1)];
        }
    }
    return codes;
}

CardSet BuildRunDeck(std::span<const CardCode> slotCards) {
    CardSet deck = CardsIn(FullDeck);
    for (const CardCode& card : slotCards) deck &= ~CardsIn(card);
    return deck;
}

DealtCards DealCards(CardSet runDeck, CardSet hole, const CommunityCards& board, double players) {
    const std::array<CardSet, 5> standing = StandingCards(board, hole);
    DealDeck deck = StartDeal(runDeck, standing);
    const int opponents = OpponentCount(players);

    DealtCards deal;
    deal.opponents.reserve(static_cast<std::size_t>(opponents));
    for (CardSet card : standing) deal.board += CardCodes(card != 0 ? card : DrawFrom(deck));
    for (int j = 0; j < opponents; ++j) {
        CardCode hand = CardCodes(DrawFrom(deck));
        hand += CardCodes(DrawFrom(deck));
        deal.opponents.push_back(std::move(hand));
    }
    return deal;
}

DealOutcome ScoreDeal(const std::string& hole, const DealtCards& deal) {
    const double mine = EvaluateHand(hole + deal.board);
    double best = 0;
    for (const std::string& hand : deal.opponents) best = std::max(best, EvaluateHand(hand + deal.board));
    return Compare(mine, best);
}

DealOutcome PlayDeal(CardSet runDeck, CardSet hole, const CommunityCards& board, double players) {
    const std::array<CardSet, 5> standing = StandingCards(board, hole);
    DealDeck deck = StartDeal(runDeck, standing);

    CardSet common = 0;
    for (CardSet card : standing) common |= card != 0 ? card : DrawFrom(deck);
    const double mine = EvaluateCards(hole | common);
    double best = 0;
    for (int j = OpponentCount(players); j > 0; --j) {
        const CardSet first = DrawFrom(deck);
        const CardSet hand = first | DrawFrom(deck);
        best = std::max(best, EvaluateCards(common | hand));
    }
    return Compare(mine, best);
}
