// SPDX-License-Identifier: MIT
// The two player-count readers on any text and separators. ReadPlayerCount
// gives what the C library reads from the plain number the text starts with;
// ReadLocaleNumber never gives NaN, ignores blanks at the ends, does not care
// which characters stand for the point and the group separator, and what it
// accepts reads the same through ReadPlayerCount once the group separators
// are gone and the point is ".".
//
// The first input byte picks the decimal point and the group separator; the
// rest is the text.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "odds/odds.h"
#include "tests/support/print_text.h"

namespace {

// Points and group separators of real locales, and a few no locale uses.
constexpr std::string_view Points[] = {".", ",", "\xd9\xab", "", ".", ",", "'", "\xc2\xb7"};
constexpr std::string_view Groups[] = {",", ".", "\xc2\xa0", "\xe2\x80\xaf", "'", "\xe2\x80\x99", "", " "};

void PrintValue(const char* name, std::optional<double> value) {
    if (value)
        std::fprintf(stderr, "%s: %.17g\n", name, *value);
    else
        std::fprintf(stderr, "%s: not a number\n", name);
}

[[noreturn]] void Fail(const char* rule, std::string_view text, std::optional<double> got,
                       std::optional<double> expected, std::optional<std::string_view> point = std::nullopt,
                       std::optional<std::string_view> group = std::nullopt) {
    std::fprintf(stderr, "%s\n", rule);
    PrintText("text", text);
    if (point) PrintText("point", *point);
    if (group) PrintText("group", *group);
    PrintValue("got", got);
    PrintValue("expected", expected);
    std::abort();
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Same value, same infinity or both nothing; 0 and -0 count alike.
bool Same(std::optional<double> a, std::optional<double> b) {
    if (a.has_value() != b.has_value()) return false;
    return !a || *a == *b;
}

// What the C library reads from "[sign]digits[.digits]" at the start of the
// text after blanks; 0 when no digit is there.
double LibraryReading(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool digits = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) digits = true;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i) digits = true;
    }
    if (!digits) return 0;
    const std::string number(text.substr(start, i - start));
    return std::strtod(number.c_str(), nullptr);
}

std::string Replaced(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (!from.empty() && text.substr(i).starts_with(from)) {
            out += to;
            i += from.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string Concat(std::string_view a, std::string_view b, std::string_view c = {}) {
    std::string out;
    out.reserve(a.size() + b.size() + c.size());
    out.append(a).append(b).append(c);
    return out;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Separators that cannot be mistaken for each other or for anything else in a
// number.
bool AreDistinct(std::string_view point, std::string_view group) {
    if (point.empty() || group.empty() || point.starts_with(group) || group.starts_with(point)) return false;
    for (std::string_view s : {point, group}) {
        for (char c : s) {
            if (IsDigit(c) || IsBlank(c) || c == '+' || c == '-') return false;
        }
    }
    return true;
}

void CheckPlayerCount(std::string_view text) {
    const double count = ReadPlayerCount(text);
    if (std::isnan(count)) Fail("ReadPlayerCount gave NaN", text, count, std::nullopt);
    const double expected = LibraryReading(text);
    if (count != expected) Fail("ReadPlayerCount differs from the C library", text, count, expected);
}

void CheckLocaleNumber(std::string_view text, std::string_view point, std::string_view group) {
    const std::optional<double> value = ReadLocaleNumber(text, point, group);
    if (value && std::isnan(*value)) Fail("ReadLocaleNumber gave NaN", text, value, std::nullopt, point, group);

    const std::string padded = Concat(" \t", text, "\t ");
    if (!Same(ReadLocaleNumber(padded, point, group), value))
        Fail("blanks at the ends change ReadLocaleNumber", padded, ReadLocaleNumber(padded, point, group), value, point,
             group);

    if (!value || !AreDistinct(point, group)) return;
    const std::string_view number = Trimmed(text);
    const std::string plain = Replaced(Replaced(number, group, ""), point, ".");
    if (ReadPlayerCount(plain) != *value)
        Fail("ReadPlayerCount of the plain form differs", text, ReadPlayerCount(plain), value, point, group);
    if (ReadLocaleNumber(plain, ".", ",") != value)
        Fail("the plain form reads differently", plain, ReadLocaleNumber(plain, ".", ","), value, point, group);

    if (!number.empty() && number.front() != '+' && number.front() != '-') {
        const std::string negative = Concat("-", number);
        if (!Same(ReadLocaleNumber(negative, point, group), -*value))
            Fail("a minus sign does not negate", negative, ReadLocaleNumber(negative, point, group), -*value, point,
                 group);
        const std::string positive = Concat("+", number);
        if (!Same(ReadLocaleNumber(positive, point, group), value))
            Fail("a plus sign changes the value", positive, ReadLocaleNumber(positive, point, group), value, point,
                 group);
    }
}

// Which characters stand for the point and the group separator does not
// matter: swapping "." and "," in text and separators alike, or writing them
// as characters of several bytes, reads the same.
void CheckSeparatorsAreOnlyNames(std::string_view text) {
    const std::optional<double> value = ReadLocaleNumber(text, ".", ",");
    std::string swapped(text);
    for (char& c : swapped) c = c == '.' ? ',' : c == ',' ? '.' : c;
    if (!Same(ReadLocaleNumber(swapped, ",", "."), value))
        Fail("swapping point and comma changes the reading", swapped, ReadLocaleNumber(swapped, ",", "."), value, ",",
             ".");

    for (unsigned char c : text) {
        if (c >= 0x80) return;
    }
    const std::string arabic = Replaced(Replaced(text, ".", "\xd9\xab"), ",", "\xe2\x80\xaf");
    if (!Same(ReadLocaleNumber(arabic, "\xd9\xab", "\xe2\x80\xaf"), value))
        Fail("separators of several bytes change the reading", arabic,
             ReadLocaleNumber(arabic, "\xd9\xab", "\xe2\x80\xaf"), value, "\xd9\xab", "\xe2\x80\xaf");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view point = Points[data[0] & 7];
    const std::string_view group = Groups[(data[0] >> 3) & 7];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    CheckPlayerCount(text);
    CheckLocaleNumber(text, point, group);
    CheckLocaleNumber(text, ".", ",");
    CheckSeparatorsAreOnlyNames(text);
    return 0;
}
