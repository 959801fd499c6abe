// SPDX-License-Identifier: MIT
#include "app/app.h"

#include "odds/play_hands.h"
#include "table/board.h"
#include "table/table.h"
#include "window/form1.h"

Form1Window* LoadForm1() {
    auto* form = new Form1Window;
    QObject::connect(form, &Form1Window::MouseMove, form, Form_MouseMove);
    QObject::connect(form, &Form1Window::MouseUp, form, Form_MouseUp);
    QObject::connect(form, &Form1Window::DblClick, form, Form_DblClick);
    QObject::connect(form, &Form1Window::Text1Validate, form, Text1_Validate);
    QObject::connect(form, &Form1Window::Command1Click, form, Command1_Click);
    QObject::connect(form, &Form1Window::Command2Click, form, Command2_Click);
    QObject::connect(form, &Form1Window::SheetCardClick, form, SheetCard_Click);
    QObject::connect(form, &Form1Window::SlotClick, form, Slot_Click);
    Form_Load();
    return form;
}
