// SPDX-License-Identifier: MIT
#pragma once
// The one window: its controls and its persistent drawing surface. It reports
// its events and knows nothing of what the program does with them.

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <string>

#include "window/platform.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

inline constexpr int FormWidth = 331;
inline constexpr int FormHeight = 500;

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

    QPushButton* Command2;
    QLineEdit* Text1;
    QPlainTextEdit* txt_Status;
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
    // The focus is about to leave Text1 for a control that asks for the count
    // to be checked; setting Cancel keeps it in Text1.
    void Text1Validate(bool& Cancel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QImage surface_;
    bool unloaded_ = false;
};

// The window, while it exists.
extern Form1Window* Form1;

// Replaces the whole text of a several-line box; CR LF starts a new line.
void SetText(QPlainTextEdit* box, const std::string& text);
