// The two handlers of the odds run that reach into the window's controls.

#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>

#include "odds/odds.h"
#include "table/table.h"
#include "window/form1.h"

namespace {

// Every press during a run plays a whole run inside it, on the stack of the
// one before. Past this many runs at once a press is let go, so that a burst
// of presses cannot run the stack out.
constexpr int MaxRunsAtOnce = 32;
int RunsInProgress = 0;

std::array<CardCode, SlotCount> SlotCards() {
    std::array<CardCode, SlotCount> cards;
    for (int n = 1; n <= SlotCount; ++n) cards[n - 1] = Slots[n].Card;
    return cards;
}

CommunityCards CommunityCardsNow() {
    CommunityCards board;
    for (int n = 3; n <= SlotCount; ++n) board[static_cast<std::size_t>(n - 3)] = Slots[n].Card;
    return board;
}

}  // namespace

void Command1_Click() {
    Form1->txt_Status->setFocus();
    if (Slots[1].Card.empty() || Slots[2].Card.empty()) {
        MsgBox(MissingHoleCardsMessage, vbOKOnly, WarningTitle);
        return;
    }

    if (RunsInProgress == MaxRunsAtOnce) return;
    ++RunsInProgress;
    struct Leave {
        ~Leave() { --RunsInProgress; }
    } leave;

    // The hole cards, the deck and the count are fixed for the whole run;
    // the board is read afresh in every deal, so that a card placed during the
    // run plays from the next deal on.
    const double players = ReadPlayerCount(Form1->Text1->text().toStdString());
    const CardSet runDeck = BuildRunDeck(SlotCards());
    const CardSet hole = CardsIn(Slots[1].Card + Slots[2].Card);
    const std::string decimalPoint = QLocale().decimalPoint().toStdString();

    int wins = 0;
    int losses = 0;
    int draws = 0;
    for (int deal = 1; deal <= DealsPerRun; ++deal) {
        switch (PlayDeal(runDeck, hole, CommunityCardsNow(), players)) {
        case DealOutcome::Win: ++wins; break;
        case DealOutcome::Loss: ++losses; break;
        case DealOutcome::Draw: ++draws; break;
        }
        SetText(Form1->txt_Status, FormatOdds(wins, losses, draws, decimalPoint));
        // The window stays live between deals: it paints, takes picks and
        // even runs another "Play Hands" inside this one.
        DoEvents();
        if (!Form1 || Form1->Unloaded()) return;
    }
}

void Text1_Validate(bool& Cancel) {
    const QLocale locale;
    const std::optional<double> count =
        ReadLocaleNumber(Form1->Text1->text().toStdString(), locale.decimalPoint().toStdString(),
                         locale.groupSeparator().toStdString());
    if (IsPlayerCountValid(count)) return;
    MsgBox(PlayerCountMessage, vbOKOnly, WarningTitle);
    Form1->Text1->setText("2");
    Cancel = true;
}
