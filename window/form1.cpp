// SPDX-License-Identifier: MIT
#include "window/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <memory>
#include <utility>

#include "table/table.h"
#include "window/artwork.h"

Form1Window* Form1 = nullptr;

void InstallAccessibility();  // accessibility.cpp

namespace {

// Fonts are set in pixels: the layout is made for a 96 dpi screen, and a
// pixel size keeps every caption inside its box whatever dpi the screen reports.
QFont CourierNew(int pixelSize, bool bold) {
    QFont font("Courier New");
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont DefaultUiFont() {
    QFont font("Liberation Sans");
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);  // 8 points at 96 dpi
    return font;
}

void SetColours(QWidget* widget, const QColor& text, const QColor& background, QPalette::ColorRole role) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(role, background);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, QRect place, const QFont& font,
                  const char* description) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(place);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAccessibleName(text);
    label->setAccessibleDescription(description);
    SetColours(label, Qt::white, QColor(TableGreen), QPalette::Window);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, QRect place, const char* description) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(place);
    button->setAccessibleName(text);
    button->setAccessibleDescription(description);
    // Buttons look as the platform draws them, not in the table's green.
    QPalette palette = QApplication::palette(button);
    palette.setResolveMask(~QPalette::ResolveMask(0));
    button->setPalette(palette);
    return button;
}

// The number of players, in red on black.
QLineEdit* MakeCountBox(QWidget* parent, const QFont& font) {
    auto* box = new QLineEdit("2", parent);
    box->setObjectName("Text1");
    box->setGeometry(Text1Place);
    box->setFont(font);
    box->setFrame(false);
    box->setTextMargins(0, 0, 0, 0);
    box->setAccessibleName("Number of players");
    box->setAccessibleDescription("Players in the current round, 2 to 10, yourself included");
    SetColours(box, Qt::red, Qt::black, QPalette::Base);
    return box;
}

// The prompts and the figures, in yellow on dark grey, wrapped at the box's width.
StatusBox* MakeStatusBox(QWidget* parent) {
    auto* box = new StatusBox(parent);
    box->setObjectName("txt_Status");
    box->setGeometry(StatusPlace);
    box->setFont(CourierNew(11, false));  // 8.25 points
    box->setFrameShape(QFrame::NoFrame);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setWordWrapMode(QTextOption::WordWrap);
    box->document()->setDocumentMargin(2);
    box->setTabChangesFocus(true);
    box->setAccessibleName("Status");
    box->setAccessibleDescription("Win, lose and draw chances of the hands played");
    // The area the lines show in is a child of the box to assistive technology.
    box->viewport()->setAccessibleName("Status");
    SetColours(box, QColor(255, 255, 0), QColor(64, 64, 64), QPalette::Base);
    return box;
}

// The box holds the picture of its own name.
void MakePictureBox(QWidget* parent, PictureBox& box, const char* name) {
    box.picture = LoadPicture(QLatin1String(name));
    box.control = new QLabel(parent);
    box.control->setObjectName(name);
    box.control->resize(box.picture.size());
    box.control->hide();
}

int VbButtons(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

int VbShift(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

}  // namespace

Form1Window::Form1Window() {
    InstallAccessibility();
    setObjectName("Form1");
    setWindowTitle("Quillan");
    setWindowIcon(AppIcon());
    setFont(DefaultUiFont());
    setAccessibleName("Quillan");
    setAccessibleDescription("Texas hold'em odds: pick your cards from the card sheet, then play hands");
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(TableGreen));
    setPalette(palette);
    setMouseTracking(true);
    // The surface covers the whole window and outlives every paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
    resize(FormWidth, FormHeight);

    surface_ = QImage(FormWidth, FormHeight, QImage::Format_RGB32);
    Cls();

    const QFont bold12 = CourierNew(16, true);  // 12 points at 96 dpi

    // Created in the window's own order; children created later stack above.
    Command2 =
        MakeButton(this, "Command2", "Clear Cards", Command2Place, "Empties all seven card places for the next hand");

    Text1 = MakeCountBox(this, bold12);
    txt_Status = MakeStatusBox(this);
    MakePictureBox(this, MiniSelection, "MiniSelection");
    Command1 =
        MakeButton(this, "Command1", "Play Hands", Command1Place, "Plays 1000 random deals and shows your chances");
    MakePictureBox(this, MiniBack, "MiniBack");
    MakePictureBox(this, MiniCardsSprite2, "MiniCardsSprite2");
    MakePictureBox(this, MiniCardsSprite, "MiniCardsSprite");

    Label3 = MakeLabel(this, "Label3", "Number of players:", Label3Place, font(),
                       "Type the number of players into the box beside");
    Label2 = MakeLabel(this, "Label2", "Community Cards:", Label2Place, bold12, "The five cards on the board below");
    Label1 = MakeLabel(this, "Label1", "Hole Cards:", Label1Place, bold12, "Your two cards below");
    Text1->raise();  // the box shares its left pixel column with the label

    // Events over a control belong to that control, never to the table.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setAttribute(Qt::WA_NoMousePropagation);

    for (QWidget* w :
         {static_cast<QWidget*>(Command1), static_cast<QWidget*>(Command2), static_cast<QWidget*>(txt_Status)})
        w->setFocusPolicy(Qt::TabFocus);
    setTabOrder(Command1, txt_Status);
    setTabOrder(txt_Status, Text1);
    setTabOrder(Text1, Command2);

    InstallCountBoxRule();
    PassClicksUnlessWarned();

    Command1->setFocus();
    Form1 = this;
}

// A warning holds the buttons too. The mouse and the keys cannot reach
// them past it, but assistive technology can press them, and its press
// clicks a tenth of a second later: a click whose press came while a
// warning was open does nothing, though the warning has closed since.
void Form1Window::PassClicksUnlessWarned() {
    using Click = void (Form1Window::*)();
    for (auto [button, click] : {std::pair<QPushButton*, Click>{Command1, &Form1Window::Command1Click},
                                 std::pair<QPushButton*, Click>{Command2, &Form1Window::Command2Click}}) {
        auto pressedUnderWarning = std::make_shared<bool>(false);
        connect(button, &QPushButton::pressed, this,
                [this, pressedUnderWarning] { *pressedUnderWarning = WarningOpen(); });
        connect(button, &QPushButton::clicked, this, [this, click, pressedUnderWarning] {
            if (WarningOpen() || *pressedUnderWarning) return;
            emit(this->*click)();
            TellWhatChanged();
        });
    }
}

bool Form1Window::WarningOpen() const {
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != this;
}

Form1Window::~Form1Window() {
    if (Form1 == this) Form1 = nullptr;
}

void Form1Window::Cls() { surface_.fill(TableGreen); }

void Form1Window::Refresh(const QRegion& area) { update(area); }

void Form1Window::paintEvent(QPaintEvent* event) {
    // Only shows the surface; nothing is drawn afresh here.
    QPainter painter(this);
    for (const QRect& part : event->region()) painter.drawImage(part, surface_, part);
}

void Form1Window::mouseMoveEvent(QMouseEvent* event) {
    // The window is top-level, so position() is in client pixels, with any
    // fraction the platform gives; scenePosition() is (-1, -1) on the first
    // move after the pointer leaves a child control.
    const QPointF at = event->position();
    emit MouseMove(VbButtons(event->buttons()), VbShift(event->modifiers()), float(at.x()), float(at.y()));
}

void Form1Window::mousePressEvent(QMouseEvent* event) { lastPressTime_ = event->timestamp(); }

void Form1Window::mouseDoubleClickEvent(QMouseEvent* event) {
    // Two clicks sent by a program, as a screen reader's repeated click, can
    // follow each other within a few milliseconds, which no hand can.
    constexpr quint64 FastestHand = 40;
    if (event->timestamp() - lastPressTime_ >= FastestHand) emit DblClick();
    lastPressTime_ = event->timestamp();
}

void Form1Window::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    emit MouseUp(VbButtons(event->button()), VbShift(event->modifiers()), float(at.x()), float(at.y()));
    TellWhatChanged();
}

void Form1Window::resizeEvent(QResizeEvent*) {
    // Qt on X keeps the window's size in screen pixels when it moves to a
    // screen of another scale, which shrinks or grows it in the user's terms;
    // the size it had is put back, once Qt has finished moving it.
    const qreal scale = devicePixelRatioF();
    if (scale == clientScale_ || clientScale_ == 0) {
        clientSize_ = size();
    } else if (size() != clientSize_) {
        QTimer::singleShot(0, this, [this] { resize(clientSize_); });
    }
    clientScale_ = scale;

    // The surface only grows: a larger window shows more green table.
    if (width() <= surface_.width() && height() <= surface_.height()) return;
    QImage larger(std::max(width(), surface_.width()), std::max(height(), surface_.height()), QImage::Format_RGB32);
    larger.fill(TableGreen);
    BitBlt(&larger, 0, 0, surface_.width(), surface_.height(), &surface_, 0, 0, SRCCOPY);
    surface_ = std::move(larger);
}

void Form1Window::closeEvent(QCloseEvent* event) {
    unloaded_ = true;
    event->accept();
}
