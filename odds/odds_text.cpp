// SPDX-License-Identifier: MIT
#include <array>
#include <charconv>

#include "odds/odds.h"

std::string FormatOdds(int wins, int losses, int draws, std::string_view decimalPoint) {
    auto percent = [decimalPoint](int count) {
        std::array<char, 32> buffer{};
        auto end =
            std::to_chars(buffer.data(), buffer.data() + buffer.size(), count / 10.0, std::chars_format::general, 15)
                .ptr;
        std::string text(buffer.data(), end);
        if (auto dot = text.find('.'); dot != std::string::npos) text.replace(dot, 1, decimalPoint);
        return text;
    };
    return "Win Chance: " + percent(wins) + "%\r\n" + "Lose Chance: " + percent(losses) + "%\r\n" +
           "Draw Chance: " + percent(draws) + "%";
}
