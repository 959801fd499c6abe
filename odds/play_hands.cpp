// SPDX-License-Identifier: MIT
#include "odds/play_hands.h"

#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>

#include <cmath>

#include "odds/odds.h"
#include "table/table.h"
#include "window/form1.h"

namespace {

int RunsInProgress = 0;

}  // namespace

void Command1_Click() {
    // A count that changed unchecked is checked here at the latest; a
    // refusal ends the press as it would a click.
    if (!Form1->SetFocus(Form1->txt_Status)) return;
    if (Slots[1].Card.empty() || Slots[2].Card.empty()) {
        MsgBox(MissingHoleCardsMessage, vbOKOnly, WarningTitle);
        return;
    }

    if (RunsInProgress == MaxRunsAtOnce) return;
    ++RunsInProgress;
    Form1->txt_Status->BeginRunWrites();
    struct Leave {
        ~Leave() {
            --RunsInProgress;
            if (Form1) Form1->txt_Status->EndRunWrites();
        }
    } leave;

    // The hole cards, the deck and the count are fixed for the whole run;
    // the board is read afresh in every deal, so that a card placed during the
    // run plays from the next deal on.
    const double players = ReadPlayerCount(Form1->Text1->text().toStdString());
    const Deck runDeck = BuildRunDeck(SlotCards());
    const std::string hole = Slots[1].Card + Slots[2].Card;
    const std::string decimalPoint = QLocale().decimalPoint().toStdString();

    int wins = 0;
    int losses = 0;
    int draws = 0;
    DealtCards dealt;
    for (int deal = 1; deal <= DealsPerRun; ++deal) {
        DealCards(dealt, runDeck, hole, CommunityCardsInSlots(), players);
        switch (ScoreDeal(hole, dealt)) {
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
    const std::string text = Form1->Text1->text().toStdString();
    const std::optional<double> count =
        ReadLocaleNumber(text, locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString());
    // The run reads the same text with "." as its point ("1,0" is ten here and
    // one there): a count it would play as another number of players is refused.
    if (IsPlayerCountValid(count) && std::trunc(*count) == std::trunc(ReadPlayerCount(text))) return;
    MsgBox(PlayerCountMessage, vbOKOnly, WarningTitle);
    Form1->Text1->setText("2");
    Cancel = true;
}
