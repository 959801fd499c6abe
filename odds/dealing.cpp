// SPDX-License-Identifier: MIT
#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>

#include "odds/odds.h"

namespace {

// Beyond a few dozen players the deck is long empty and every further
// opponent holds no cards; only a count that never passed the box's check
// could get here, and this keeps it from dealing for ever.
constexpr double PlayerLimit = 100;

// The top 24 bits of the engine's next word.
std::uint32_t NextRandomBits() { return static_cast<std::uint32_t>(RandomEngine() >> 8); }

// Opponents are players 2 up to the count; a fractional count acts like its
// whole part, and a count below 2 deals no opponent.
std::size_t OpponentCount(double players) {
    return players >= 2 ? static_cast<std::size_t>(std::min(players, PlayerLimit)) - 1 : 0;
}

// An empty place is dealt, and so is one holding a hole card of the run
// (moved onto the board), which cannot stand in two hands.
bool IsDealt(const CardCode& place, const std::string& hole) {
    return place.empty() || hole.find(place) != std::string::npos;
}

// Takes out the card whose code starts at `at`: the codes behind it move up
// one card. The move is always FullDeck's length, into the room behind the
// cards, because a move of one length is a few plain copies, while a move of
// just the cards behind, a different length every draw, sends the copy
// routine down a different branch each time: Play Hands' deals take about
// three times as long that way.
void TakeOut(Deck& deck, std::size_t at) {
    std::memmove(&deck.codes[at], &deck.codes[at + 2], FullDeck.size());
    deck.size -= 2;
}

}  // namespace

std::mt19937 RandomEngine;

Deck::Deck(std::string_view cards) : size(cards.size()) {
    assert(cards.size() <= FullDeck.size());
    cards.copy(codes.data(), cards.size());
}

CardCode DrawCard(Deck& deck) {
    // floor(r x cards left) for r = the 24 bits x 2^-24: in whole numbers, the
    // bits times the cards, shifted down.
    const std::size_t k = std::size_t{NextRandomBits()} * (deck.size / 2) >> 24;
    if (deck.size == 0) return "";
    CardCode card(&deck.codes[2 * k], 2);
    TakeOut(deck, 2 * k);
    return card;
}

void RemoveCard(Deck& deck, std::string_view code) {
    if (code.size() != 2) return;
    for (auto at = deck.Cards().find(code); at != std::string_view::npos; at = deck.Cards().find(code, at)) {
        TakeOut(deck, at);
    }
}

Deck BuildRunDeck(std::span<const CardCode> slotCards) {
    Deck deck(FullDeck);
    for (const CardCode& card : slotCards) RemoveCard(deck, card);
    return deck;
}

void DealCards(DealtCards& deal, const Deck& runDeck, const std::string& hole, const CommunityCards& board,
               double players) {
    deal.deck = runDeck;
    // A card placed during the run is still in the run's deck.
    for (const CardCode& place : board) {
        if (!IsDealt(place, hole)) RemoveCard(deal.deck, place);
    }
    deal.board.clear();
    for (const CardCode& place : board) deal.board += IsDealt(place, hole) ? DrawCard(deal.deck) : place;
    deal.opponents.resize(OpponentCount(players));
    for (std::string& hand : deal.opponents) {
        hand = DrawCard(deal.deck);
        hand += DrawCard(deal.deck);
    }
}

DealOutcome ScoreDeal(const std::string& hole, const DealtCards& deal) {
    const double mine = EvaluateHand(hole + deal.board);
    double best = 0;
    for (const std::string& hand : deal.opponents) best = std::max(best, EvaluateHand(hand + deal.board));
    if (mine > best) return DealOutcome::Win;
    if (mine < best) return DealOutcome::Loss;
    return DealOutcome::Draw;
}
