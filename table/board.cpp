// Drawing the card table and the handlers that reach the window.

#include <QPlainTextEdit>

#include "table/table.h"
#include "window/form1.h"

void DrawBoard() {
    const SheetCell hovered = SheetCellAt(MouseX, MouseY);
    HDC surface = Form1->hDC();
    Form1->Cls();

    // Row by row, left to right: each card covers all but the top-left
    // strip of the one before it, and the hovered card stands raised in its place.
    for (int row = 1; row <= SheetRows; ++row) {
        for (int column = 1; column <= SheetColumns; ++column) {
            const bool raised = hovered.Column == column && hovered.Row == row;
            const int x = SheetLeft + SheetStepX * (column - 1);
            const int y = SheetTop + SheetStepY * (row - 1) - (raised ? RaisedLift : 0);
            HDC sheet = raised ? Form1->MiniCardsSprite.hDC() : Form1->MiniCardsSprite2.hDC();
            BitBlt(surface, x, y, CardWidth, CardHeight, sheet, CardWidth * (column - 1),
                   CardHeight * (row - 1), SRCCOPY);
        }
    }

    for (int n = 1; n <= SlotCount; ++n) {
        if (n != ActiveSlot) continue;
        BitBlt(surface, Slots[n].X - FrameMargin, Slots[n].Y - FrameMargin, FrameWidth, FrameHeight,
               Form1->MiniSelection.hDC(), 0, 0, SRCCOPY);
    }

    for (const CardSlot& slot : Slots) {
        if (slot.Card.empty()) {
            BitBlt(surface, slot.X, slot.Y, CardWidth, CardHeight, Form1->MiniBack.hDC(), 0, 0, SRCCOPY);
        } else {
            BitBlt(surface, slot.X, slot.Y, CardWidth, CardHeight, Form1->MiniCardsSprite.hDC(),
                   CardWidth * (slot.Column - 1), CardHeight * (slot.Row - 1), SRCCOPY);
        }
    }
    Form1->Refresh();
}

void Form_MouseMove(int /*Button*/, int /*Shift*/, float X, float Y) {
    MouseX = X;
    MouseY = Y;
    DrawBoard();
}

void Form_Load() {
    BuildCardTable();
    SetWindowPos(Form1->hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ActiveSlot = 1;
    PlaceSlots();
    DrawBoard();
}

void Command2_Click() {
    EmptySlots();
    DrawBoard();
    SetText(Form1->txt_Status, ClearPrompt);
    Form1->txt_Status->setFocus();
}
