// SPDX-License-Identifier: MIT
#pragma once
// The handlers of "Play Hands" and of the player-count box: the odds run as
// the user starts it, and the check of the count when the focus leaves the box.

// Plays the run's deals, writing the figures into the status box after every
// deal and letting pending events run between deals.
void Command1_Click();

// Refuses a count that is not a number from 2 to 10, or that the run would
// read as another number of players: warns, resets the box to "2" and sets Cancel.
void Text1_Validate(bool& Cancel);

// Every press during a run plays a whole run inside it, on the stack of the
// one before. Past this many runs at once a press is let go, so that a burst
// of presses cannot run the stack out.
inline constexpr int MaxRunsAtOnce = 32;

inline constexpr const char* MissingHoleCardsMessage = "Select your hole cards.";
inline constexpr const char* PlayerCountMessage =
    "Must be a number between 2 and 10 indicating the number of players in the current round "
    "(including yourself).";
inline constexpr const char* WarningTitle = "Warning";
