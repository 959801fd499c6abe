// SPDX-License-Identifier: MIT
#pragma once
// Prints a text that broke a rule so it can be typed back: printable ASCII as
// it is, every other byte, quote and backslash as \xNN.

#include <cstdio>
#include <string_view>

inline void PrintText(const char* name, std::string_view text) {
    std::fprintf(stderr, "%s (%zu bytes): \"", name, text.size());
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\')
            std::fputc(c, stderr);
        else
            std::fprintf(stderr, "\\x%02x", c);
    }
    std::fprintf(stderr, "\"\n");
}
