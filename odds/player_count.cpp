// SPDX-License-Identifier: MIT
#include <charconv>
#include <cmath>

#include "odds/odds.h"

namespace {

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

}  // namespace

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

bool IsPlayerCountValid(std::optional<double> count) { return count && *count >= MinPlayers && *count <= MaxPlayers; }
