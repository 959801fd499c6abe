// SPDX-License-Identifier: MIT
// EvaluateHand on any text: the same value as the literal scoring rules, a
// whole number in range, decided by the set of card codes in the text alone,
// for five to nine cards the value of the best five, and with more cards no
// lower for a card more while only one suit can make a flush.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "cards/cards.h"
#include "tests/support/literal_evaluator.h"
#include "tests/support/print_text.h"

namespace {

[[noreturn]] void Fail(const char* rule, const std::string& hand, double value, const std::string& other = {},
                       double otherValue = 0) {
    std::fprintf(stderr, "EvaluateHand: %s\n", rule);
    PrintText("hand", hand);
    std::fprintf(stderr, "value %.0f\n", value);
    if (!other.empty()) {
        PrintText("against", other);
        std::fprintf(stderr, "value %.0f\n", otherValue);
    }
    std::abort();
}

// The cards a text names: every rank character followed by a suit character,
// wherever it stands, each card once, in deck order.
std::vector<std::string> CardsIn(const std::string& text) {
    std::vector<bool> named(52);
    for (std::size_t p = 0; p + 1 < text.size(); ++p) {
        for (std::size_t card = 0; card < 52; ++card) {
            if (FullDeck[2 * card] == text[p] && FullDeck[2 * card + 1] == text[p + 1]) named[card] = true;
        }
    }
    std::vector<std::string> cards;
    for (std::size_t card = 0; card < 52; ++card) {
        if (named[card]) cards.emplace_back(FullDeck.substr(2 * card, 2));
    }
    return cards;
}

std::string Joined(const std::vector<std::string>& cards) {
    std::string text;
    for (const std::string& card : cards) text += card;
    return text;
}

// The highest value among the five-card hands drawn from the cards.
double BestFive(const std::vector<std::string>& cards) {
    const int n = static_cast<int>(cards.size());
    double best = 0;
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b)
            for (int c = b + 1; c < n; ++c)
                for (int d = c + 1; d < n; ++d)
                    for (int e = d + 1; e < n; ++e)
                        best = std::max(best, EvaluateHand(cards[a] + cards[b] + cards[c] + cards[d] + cards[e]));
    return best;
}

// How many suits hold five cards or more.
int FlushSuits(const std::vector<std::string>& cards) {
    int flushes = 0;
    for (char suit : SuitChars) {
        int count = 0;
        for (const std::string& card : cards) count += card[1] == suit;
        flushes += count >= 5;
    }
    return flushes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    BuildCardTable();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string hand(reinterpret_cast<const char*>(data), size);
    const double value = EvaluateHand(hand);

    if (!(value >= 1e10 && value <= 9.1e10) || value != std::floor(value)) Fail("value out of range", hand, value);

    const double literal = literal::EvaluateHand(hand);
    if (value != literal) Fail("differs from the literal rules", hand, value, hand, literal);

    // Only the set of cards counts: not junk between them, order or repeats.
    std::vector<std::string> cards = CardsIn(hand);
    const std::string plain = Joined(cards);
    if (EvaluateHand(plain) != value) Fail("differs from its cards alone", hand, value, plain, EvaluateHand(plain));

    std::minstd_rand shuffle(static_cast<unsigned>(size) * 2654435761u + (size ? data[0] : 0));
    std::vector<std::string> reordered = cards;
    std::shuffle(reordered.begin(), reordered.end(), shuffle);
    if (!cards.empty()) reordered.push_back(cards[shuffle() % cards.size()]);
    const std::string shuffled = Joined(reordered);
    if (EvaluateHand(shuffled) != value)
        Fail("order or repeats change it", hand, value, shuffled, EvaluateHand(shuffled));
    std::reverse(reordered.begin(), reordered.end());
    const std::string reversed = Joined(reordered) + Joined(reordered);
    if (EvaluateHand(reversed) != value)
        Fail("order or repeats change it", hand, value, reversed, EvaluateHand(reversed));

    // Five cards or more: the best five decide, so no extra card lowers the
    // value. Past nine cards two suits can both hold a flush, and the rules
    // take the first suit's rather than the higher one; no deal has that many.
    if (cards.size() >= 5 && cards.size() <= 9) {
        const double best = BestFive(cards);
        if (best != value) Fail("not the value of the best five cards", hand, value, plain, best);
    }
    if (cards.size() >= 10 && FlushSuits(cards) <= 1) {
        for (std::size_t leave = 0; leave < cards.size(); ++leave) {
            std::vector<std::string> fewer = cards;
            fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(leave));
            const std::string smaller = Joined(fewer);
            if (EvaluateHand(smaller) > value)
                Fail("a card more lowers the value", plain, value, smaller, EvaluateHand(smaller));
        }
    }
    return 0;
}
