// SPDX-License-Identifier: MIT
#pragma once
// The one window: its controls and its persistent drawing surface. It reports
// its events and knows nothing of what the program does with them.

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <string>

#include "table/table.h"
#include "window/layout.h"
#include "window/platform.h"
#include "window/status_box.h"

class QLabel;
class QLineEdit;
class QPushButton;

// A hidden picture holder: never shown, only the source of the board's copies.
struct PictureBox {
    QLabel* control = nullptr;
    QImage picture;
    HDC hDC() { return &picture; }
};

class Form1Window : public QWidget {
    Q_OBJECT

public:
    Form1Window();  // becomes Form1
    ~Form1Window() override;

    HWND hWnd() { return this; }
    HDC hDC() { return &surface_; }  // the persistent drawing surface
    void Cls();                      // clears the surface to the background colour
    // Shows the surface as it is now within area, where it has changed since
    // it was last shown.
    void Refresh(const QRegion& area);

    // True once the user has closed the window; runs in progress stop at
    // their next yield.
    bool Unloaded() const { return unloaded_; }

    // Moves the keyboard focus to control. The count in Text1 is checked
    // first whenever its text has changed since it was last checked; when the
    // check refuses, the focus stays in Text1 and this returns false, and the
    // caller goes no further, as a refused click does nothing.
    bool SetFocus(QWidget* control, Qt::FocusReason reason = Qt::OtherFocusReason);
    // Runs the check of Text1 if its text has changed since the last one;
    // false when it refused.
    bool CheckText1();

    // True while a warning is open over the window: until it is closed,
    // nothing aimed at the window, by the mouse, the keys or assistive
    // technology, reaches the handlers or changes the count.
    bool WarningOpen() const;

    // Tells assistive technology what changed on the card table since it was
    // last told: a slot's card, the active slot, a card's slot, the table's
    // words, each once, and says the change. The window does so after every
    // event it passes on, whichever way it came, and before anything else can
    // read the table: before the status box is written, a warning opens or a
    // run lets other events run.
    void TellWhatChanged();
    // The words assistive technology was last told for the card table:
    // "Hole cards: ace of spades, ... Next card: community card 1.".
    QString TableDescription() const { return told_.words; }

    // Says message to assistive technology unasked: a screen reader speaks it
    // as a notification while the focus, and the place a user reviews, stay
    // where they are. What one event announces is said together, once, after
    // the event is handled, so that it follows any move of the focus.
    void Announce(const std::string& message);
    // The last announcement said, "" before the first.
    QString Announcement() const { return announcement_; }

    QPushButton* Command2;
    QLineEdit* Text1;
    StatusBox* txt_Status;
    PictureBox MiniSelection;
    QPushButton* Command1;
    PictureBox MiniBack;
    PictureBox MiniCardsSprite2;
    PictureBox MiniCardsSprite;
    QLabel* Label3;
    QLabel* Label2;
    QLabel* Label1;

signals:
    // The pointer moved, or a mouse button was released, over the bare table,
    // at (X, Y) in client pixels.
    void MouseMove(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);
    // A person double-clicked the bare table: the second press came soon
    // after the first, but not sooner than a hand can press twice.
    void DblClick();
    // The focus is about to leave Text1 for a control that asks for the count
    // to be checked; setting Cancel keeps it in Text1.
    void Text1Validate(bool& Cancel);
    // A button was clicked, by the mouse, the keys or assistive technology.
    void Command1Click();
    void Command2Click();
    // Assistive technology pressed a card of the sheet (column 1..13, row
    // 1..4) or a slot (1..7) of the drawn table.
    void SheetCardClick(int Column, int Row);
    void SlotClick(int Index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void InstallCountBoxRule();  // count_box.cpp
    void PassClicksUnlessWarned();

    QImage surface_;
    // The client size in the window's own pixels, and the screen scale it
    // was last set at, 0 before the first: a move to a screen of another
    // scale keeps it.
    QSize clientSize_;
    qreal clientScale_ = 0;
    bool unloaded_ = false;
    quint64 lastPressTime_ = 0;  // the X server's time of the last press, in ms
    bool text1Unchecked_ = false;
    // What assistive technology was last told of the card table.
    struct Told {
        TableSnapshot table;
        QString words;
    } told_;
    QString text1WhileWarned_;
    QString pendingAnnouncement_;
    QString announcement_;
};

// The window, while it exists.
extern Form1Window* Form1;
