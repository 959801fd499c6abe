// SPDX-License-Identifier: MIT
#pragma once
// Drawing the card table, and the window's handlers that draw it: start-up,
// pointer movement, "Clear Cards" and the presses of assistive technology.

// Paints the whole table into the window's drawing surface and refreshes it.
void DrawBoard();

// Builds the card table, keeps the window on top, places the slots and draws.
void Form_Load();

// Keeps the pointer position and redraws, raising the card under the pointer.
void Form_MouseMove(int Button, int Shift, float X, float Y);

// Empties the slots, redraws and writes the prompt into the status box.
void Command2_Click();

// A card of the sheet, or a slot, pressed by assistive technology: the same
// as a mouse release on it, and the table shows the change at once, since no
// pointer move follows to draw it.
void SheetCard_Click(int Column, int Row);
void Slot_Click(int Index);

inline constexpr const char* ClearPrompt = "Select cards. Make sure the number of players in this round is correct.";
