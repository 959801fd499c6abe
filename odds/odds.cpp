#include <array>
#include <charconv>
#include <cmath>
#include <random>

#include "odds/odds.h"

namespace {

// The Mersenne Twister with its standard default seed: the same sequence at
// every start, and nothing reseeds it.
std::mt19937 Generator;

// Beyond a few dozen players the deck is long empty and every further
// opponent holds no cards; only a count that never passed the box's check
// could get here, and this keeps it from dealing for ever.
constexpr double PlayerLimit = 100;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Moves a leading sign of text onto number.
void TakeSign(std::string_view& text, std::string& number) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        number += text.front();
        text.remove_prefix(1);
    }
}

// Moves the digits at the front of text onto number; false when there are none.
bool TakeDigits(std::string_view& text, std::string& number) {
    std::size_t count = 0;
    while (count < text.size() && IsDigit(text[count])) ++count;
    number += text.substr(0, count);
    text.remove_prefix(count);
    return count != 0;
}

// Reads a plain number "[sign]digits[.digits]" that has been checked already.
double ParsePlain(const std::string& number) {
    double value = 0;
    const char* first = number.data();
    if (!number.empty() && number.front() == '+') ++first;
    auto [end, error] = std::from_chars(first, number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too large for a double, or so close to zero that nothing is left.
        const bool large = number.find_first_of("123456789") < number.find('.');
        const double size = large ? HUGE_VAL : 0.0;
        return number.front() == '-' ? -size : size;
    }
    return end == first ? 0 : value;
}

bool ContainsCard(std::string_view cards, std::string_view code) {
    return cards.find(code) != std::string_view::npos;
}

}  // namespace

float NextRandom() {
    // The top 24 bits of a draw fill a float's mantissa exactly, so the value
    // can never round up to 1.
    return static_cast<float>(Generator() >> 8) * 0x1p-24f;
}

void ResetRandom() { Generator.seed(std::mt19937::default_seed); }

void RemoveCard(std::string& cards, std::string_view code) {
    if (code.empty()) return;
    for (auto at = cards.find(code); at != std::string::npos; at = cards.find(code, at))
        cards.erase(at, code.size());
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

std::string FormatOdds(int wins, int losses, int draws, std::string_view decimalPoint) {
    auto percent = [decimalPoint](int count) {
        std::array<char, 32> buffer{};
        auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), count / 10.0,
                                 std::chars_format::general, 15).ptr;
        std::string text(buffer.data(), end);
        if (auto dot = text.find('.'); dot != std::string::npos) text.replace(dot, 1, decimalPoint);
        return text;
    };
    return "Win Chance: " + percent(wins) + "%\r\n" +
           "Lose Chance: " + percent(losses) + "%\r\n" +
           "Draw Chance: " + percent(draws) + "%";
}

double ReadPlayerCount(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    std::string number;
    TakeSign(text, number);
    bool digits = TakeDigits(text, number);
    if (text.starts_with('.')) {
        text.remove_prefix(1);
        number += '.';
        digits |= TakeDigits(text, number);
    }
    return digits ? ParsePlain(number) : 0;
}

std::optional<double> ReadLocaleNumber(std::string_view text, std::string_view decimalPoint,
                                       std::string_view groupSeparator) {
    text = TrimBlanks(text);
    std::string number;
    TakeSign(text, number);
    bool digits = TakeDigits(text, number);
    // A group separator stands between two digits of the whole part.
    while (digits && !groupSeparator.empty() && text.starts_with(groupSeparator)) {
        text.remove_prefix(groupSeparator.size());
        if (!TakeDigits(text, number)) return std::nullopt;
    }
    if (!decimalPoint.empty() && text.starts_with(decimalPoint)) {
        text.remove_prefix(decimalPoint.size());
        number += '.';
        digits |= TakeDigits(text, number);
    }
    if (!text.empty() || !digits) return std::nullopt;
    return ParsePlain(number);
}

bool IsPlayerCountValid(std::optional<double> count) {
    return count && *count >= MinPlayers && *count <= MaxPlayers;
}

std::string BuildRunDeck(std::span<const CardCode> slotCards) {
    std::string deck(FullDeck);
    for (const CardCode& card : slotCards) RemoveCard(deck, card);
    return deck;
}

DealtCards DealCards(const std::string& runDeck, const std::string& hole, const CommunityCards& board,
                     double players) {
    std::string dealDeck = runDeck;

    // A card placed during the run is still in runDeck, so it comes out of
    // this deal's deck before anything is drawn; a hole card of this run that
    // was moved onto the board cannot stand in two hands, so its place is dealt.
    std::array<std::string_view, 5> shown;
    for (std::size_t place = 0; place < board.size(); ++place) {
        const CardCode& card = board[place];
        if (card.empty() || ContainsCard(hole, card)) continue;
        shown[place] = card;
        RemoveCard(dealDeck, card);
    }

    // Opponents are players 2 up to the count; a fractional count acts like
    // its whole part, and a count below 2 deals no opponent.
    const int opponents = players >= 2 ? static_cast<int>(std::min(players, PlayerLimit)) - 1 : 0;

    DealtCards deal;
    deal.opponents.reserve(static_cast<std::size_t>(opponents));
    for (std::string_view card : shown) deal.board += card.empty() ? DrawCard(dealDeck) : CardCode(card);
    for (int j = 0; j < opponents; ++j) {
        CardCode hand = DrawCard(dealDeck);
        hand += DrawCard(dealDeck);
        deal.opponents.push_back(std::move(hand));
    }
    return deal;
}

DealOutcome ScoreDeal(const std::string& hole, const DealtCards& deal) {
    const double mine = EvaluateHand(hole + deal.board);
    double best = 0;
    for (const std::string& hand : deal.opponents) best = std::max(best, EvaluateHand(hand + deal.board));
    if (mine > best) return DealOutcome::Win;
    if (mine < best) return DealOutcome::Loss;
    return DealOutcome::Draw;
}
