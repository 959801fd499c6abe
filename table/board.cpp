// SPDX-License-Identifier: MIT
#include "table/board.h"

#include <QPlainTextEdit>
#include <QRegion>

#include <array>

#include "table/table.h"
#include "window/form1.h"

namespace {

// Where the card of a sheet cell lies on the table at rest.
QPoint SheetCorner(int column, int row) {
    const TableArea cell = SheetCellArea(column, row);
    return {cell.X, cell.Y};
}

// Copies the card in a cell (column, row) of a card sheet to (x, y) of the surface.
void CopyCard(HDC sheet, int column, int row, int x, int y) {
    BitBlt(Form1->hDC(), x, y, CardWidth, CardHeight, sheet, CardWidth * (column - 1), CardHeight * (row - 1), SRCCOPY);
}

// What the window showed after the last drawing. Every drawing paints the
// whole table into the surface, but only the parts that differ from this are
// refreshed on the screen: a pointer move over the sheet shows two cards anew,
// not the window.
struct Shown {
    SheetCell hovered;
    TableSnapshot table;
};
Shown Showing;

// The card of a sheet cell, raised or at rest.
QRect CardArea(SheetCell cell) {
    if (!cell.onSheet()) return {};
    return {SheetCorner(cell.Column, cell.Row) - QPoint(0, RaisedLift), QSize(CardWidth, CardHeight + RaisedLift)};
}

// A slot with the glow the selection frame may draw around it.
QRect SlotArea(const CardSlot& slot) { return {slot.X - FrameMargin, slot.Y - FrameMargin, FrameWidth, FrameHeight}; }

// Where the table differs from the last drawing. A window drawn before it is
// first shown paints all of itself when shown, so a first drawing needs no more.
QRegion ChangedSinceShown(SheetCell hovered, const TableSnapshot& now) {
    QRegion changed;
    if (hovered != Showing.hovered) changed += CardArea(hovered).united(CardArea(Showing.hovered));
    for (int n = 1; n <= SlotCount; ++n) {
        if (ChangeOfSlot(Showing.table, now, n).any()) changed += SlotArea(Slots[n]);
    }
    return changed;
}

}  // namespace

void DrawBoard() {
    const SheetCell hovered = SheetCellAt(MouseX, MouseY);
    Form1->Cls();

    // Row by row, left to right: each card covers all but the top-left
    // strip of the one before it, and the hovered card stands raised in its place.
    for (int row = 1; row <= SheetRows; ++row) {
        for (int column = 1; column <= SheetColumns; ++column) {
            const bool raised = hovered == SheetCell{column, row};
            const QPoint at = SheetCorner(column, row) - QPoint(0, raised ? RaisedLift : 0);
            CopyCard(raised ? Form1->MiniCardsSprite.hDC() : Form1->MiniCardsSprite2.hDC(), column, row, at.x(),
                     at.y());
        }
    }

    const QRect frame = SlotArea(Slots[ActiveSlot]);
    BitBlt(Form1->hDC(), frame.x(), frame.y(), FrameWidth, FrameHeight, Form1->MiniSelection.hDC(), 0, 0, SRCCOPY);

    for (const CardSlot& slot : Slots) {
        if (slot.Card.empty()) {
            BitBlt(Form1->hDC(), slot.X, slot.Y, CardWidth, CardHeight, Form1->MiniBack.hDC(), 0, 0, SRCCOPY);
        } else {
            CopyCard(Form1->MiniCardsSprite.hDC(), slot.Column, slot.Row, slot.X, slot.Y);
        }
    }
    const TableSnapshot now = SnapshotOfTable();
    Form1->Refresh(ChangedSinceShown(hovered, now));
    Showing = {hovered, now};
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
    Form1->SetFocus(Form1->txt_Status);
}

void SheetCard_Click(int Column, int Row) {
    PickCard({Column, Row});
    DrawBoard();
}

void Slot_Click(int Index) {
    ActiveSlot = static_cast<std::uint8_t>(Index);
    DrawBoard();
}
