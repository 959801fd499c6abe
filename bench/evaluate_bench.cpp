// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "cards/cards.h"
#include "tests/support/literal_evaluator.h"

namespace {

// 4096 seven-card hands dealt from a fixed-seed shuffle, the same every run.
const std::vector<std::string>& Deals() {
    static const std::vector<std::string> deals = [] {
        BuildCardTable();
        std::vector<std::string> codes;
        for (std::size_t c = 0; c < FullDeck.size(); c += 2) {
            codes.emplace_back(FullDeck.substr(c, 2));
        }
        std::mt19937_64 rng(20240611);
        std::vector<std::string> out;
        out.reserve(4096);
        while (out.size() < 4096) {
            std::shuffle(codes.begin(), codes.end(), rng);
            for (std::size_t first = 0; first + 7 <= codes.size() && out.size() < 4096; first += 7) {
                std::string hand;
                for (std::size_t c = first; c < first + 7; ++c) {
                    hand += codes[c];
                }
                out.push_back(std::move(hand));
            }
        }
        return out;
    }();
    return deals;
}

// One hand per iteration, so the time per iteration is the time per hand.
template <double (*Evaluate)(const std::string&)>
void ScoreHands(benchmark::State& state) {
    const auto& deals = Deals();
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Evaluate(deals[next]));
        next = (next + 1) & (deals.size() - 1);
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(ScoreHands<EvaluateHand>)->Name("EvaluateHand");
BENCHMARK(ScoreHands<literal::EvaluateHand>)->Name("LiteralEvaluateHand");
