#pragma once
// The one window: its controls, its persistent drawing surface and the
// forwarding of its events to the handlers.

#include <QImage>
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
    Form1Window();
    ~Form1Window() override;

    HWND hWnd() { return this; }
    HDC hDC() { return &surface_; }  // the persistent drawing surface
    void Cls();                      // clears the surface to the background colour
    void Refresh();                  // shows the surface as it is now

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

// Creates Form1 and runs Form_Load; the caller shows it.
Form1Window* LoadForm1();

// Replaces the whole text of a several-line box; CR LF starts a new line.
void SetText(QPlainTextEdit* box, const std::string& text);
