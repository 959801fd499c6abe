// SPDX-License-Identifier: MIT
// One whole "Play Hands" run of 1000 deals with ten players: as bare dealing
// and scoring, and through the button's handler with the status box
// rewritten and the window's events let through after every deal.

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QLineEdit>

#include <array>
#include <memory>

#include "app/app.h"
#include "odds/odds.h"
#include "odds/play_hands.h"
#include "table/board.h"
#include "table/table.h"
#include "tests/support/table_state.h"
#include "window/form1.h"

namespace {

void PlaceHoleCards() {
    ResetTable();
    PutCard(1, "AS");
    PutCard(2, "KD");
}

void BM_DealsOnly(benchmark::State& state) {
    const Deck runDeck = BuildRunDeck(std::array<CardCode, 2>{"AS", "KD"});
    const std::string hole = "ASKD";
    const CommunityCards board{};
    DealtCards dealt;
    for (auto _ : state) {
        int wins = 0;
        for (int deal = 0; deal < DealsPerRun; ++deal) {
            DealCards(dealt, runDeck, hole, board, 10);
            wins += ScoreDeal(hole, dealt) == DealOutcome::Win;
        }
        benchmark::DoNotOptimize(wins);
    }
    state.SetLabel("1000 deals, 10 players");
}
BENCHMARK(BM_DealsOnly)->Unit(benchmark::kMicrosecond);

void BM_PlayHandsClick(benchmark::State& state) {
    std::unique_ptr<Form1Window> form(LoadForm1());
    form->show();
    PlaceHoleCards();
    form->Text1->setText("10");
    for (auto _ : state) Command1_Click();
    state.SetLabel("1000 deals, 10 players, status rewritten each deal");
}
BENCHMARK(BM_PlayHandsClick)->Unit(benchmark::kMillisecond);

// What every pointer move over the sheet costs before the window shows it:
// the whole table drawn into the surface, a different card raised each time.
void BM_DrawBoard(benchmark::State& state) {
    std::unique_ptr<Form1Window> form(LoadForm1());
    PlaceHoleCards();
    int column = 0;
    for (auto _ : state) {
        const TableArea cell = SheetCellArea(column + 1, 2);
        MouseX = float(cell.X + 1);
        MouseY = float(cell.Y + 1);
        DrawBoard();
        column = (column + 1) % SheetColumns;
    }
}
BENCHMARK(BM_DrawBoard)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
