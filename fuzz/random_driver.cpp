// SPDX-License-Identifier: MIT
// main() for a fuzz target where libFuzzer is not at hand: feeds the target
// seeded random inputs built from the pieces these targets read (card codes,
// digits, signs, separators of one and several bytes, blanks), long runs of
// one piece, random bytes, and changes to earlier inputs.
//
//     fuzz_<name>_random [inputs [seed]]    random inputs (default 100000, seed 1)
//     fuzz_<name>_random FILE...            the inputs in these files, as libFuzzer saves them

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" [[gnu::weak]] int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

using namespace std::string_view_literals;

// clang-format off
constexpr std::string_view Pieces[] = {
    "A", "2", "3", "4", "5", "6", "7", "8", "9", "0", "J", "Q", "K", "S", "H", "C", "D",
    "AS", "KS", "QH", "JH", "0C", "9C", "5D", "4D", "3S", "2H", "AD", "KC", "0D", "7S",
    "0", "1", "2", "9", "10", "00", "+", "-", ".", ",", "'", " ", "\t", "e", "E", "x", "inf", "nan", "0x",
    "\xc2\xa0", "\xe2\x80\xaf", "\xd9\xab", "\xe2\x80\x99", "\xc2\xb7", "\xd9\xa3", "\xef\xbc\x92",
    "\n", "\r", "\0"sv, "\xff", "\xc2",
};
// clang-format on

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    std::string Next() {
        std::string input;
        switch (Pick(6)) {
        case 0:
            input.resize(Pick(65));
            for (char& c : input) c = static_cast<char>(Pick(256));
            break;
        case 1:
            for (int n = Pick(31); n > 0; --n) input += Piece();
            break;
        case 2: {
            // A long run of one piece among others: thousands of digits,
            // zeros after the point, separators or cards.
            for (int n = Pick(4); n > 0; --n) input += Piece();
            const std::string_view run = Piece();
            for (int n = 1 + Pick(Pick(2) ? 2000 : 50); n > 0; --n) input += run;
            for (int n = Pick(4); n > 0; --n) input += Piece();
            break;
        }
        case 3: {
            // Cards, now and then with something between them.
            for (int n = Pick(21); n > 0; --n) {
                const std::size_t card = Pick(52);
                input += kDeck.substr(2 * card, 2);
                if (Pick(8) == 0) input += Piece();
            }
            break;
        }
        default:
            if (!earlier_.empty()) input = Changed(earlier_[Pick(static_cast<int>(earlier_.size()))]);
            break;
        }
        // The first byte picks what the player-count target reads with.
        if (Pick(2)) input.insert(input.begin(), static_cast<char>(Pick(256)));
        if (earlier_.size() < 64)
            earlier_.push_back(input);
        else
            earlier_[Pick(64)] = input;
        return input;
    }

private:
    static constexpr std::string_view kDeck =
        "AS2S3S4S5S6S7S8S9S0SJSQSKSAH2H3H4H5H6H7H8H9H0HJHQHKHAC2C3C4C5C6C7C8C9C0CJCQCKCAD2D3D4D5D6D7D8D9D0DJDQDKD";

    std::size_t Pick(std::size_t below) { return std::uniform_int_distribution<std::size_t>(0, below - 1)(rng_); }
    int Pick(int below) { return static_cast<int>(Pick(static_cast<std::size_t>(below))); }
    std::string_view Piece() { return Pieces[Pick(std::size(Pieces))]; }

    std::string Changed(std::string input) {
        for (int n = 1 + Pick(4); n > 0; --n) {
            const std::size_t at = Pick(input.size() + 1);
            switch (Pick(5)) {
            case 0:
                if (at < input.size()) input[at] = static_cast<char>(input[at] ^ (1 << Pick(8)));
                break;
            case 1: input.insert(at, Piece()); break;
            case 2: input.erase(at, Pick(8)); break;
            case 3: input.insert(at, input.substr(at, Pick(16))); break;
            default: input.resize(at); break;
            }
        }
        return input;
    }

    std::mt19937_64 rng_;
    std::vector<std::string> earlier_;
};

int Run(const std::string& input) {
    return LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

bool IsNumber(const char* text) {
    char* end = nullptr;
    std::strtoul(text, &end, 10);
    return *text != '\0' && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);

    if (argc > 1 && !IsNumber(argv[1])) {
        for (int i = 1; i < argc; ++i) {
            std::ifstream file(argv[i], std::ios::binary);
            if (!file) {
                std::fprintf(stderr, "cannot read %s\n", argv[i]);
                return 2;
            }
            std::printf("%s\n", argv[i]);
            std::fflush(stdout);
            Run(std::string(std::istreambuf_iterator<char>(file), {}));
        }
        return 0;
    }

    const unsigned long inputs = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1;
    std::printf("%lu random inputs from seed %u\n", inputs, seed);
    std::fflush(stdout);
    Generator generator(seed);
    for (unsigned long n = 0; n < inputs; ++n) Run(generator.Next());
    std::printf("all %lu inputs passed\n", inputs);
    return 0;
}
