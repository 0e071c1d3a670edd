// The Options menu. Its check marks are where the options are kept: every choice restarts
// the flight, and Form_Load reads the marks back at every reset. Inside the reset Form_Load
// still sees the previous choice, so each handler sets its variable again afterwards.
#include <initializer_list>

#include "shell/form1.h"

namespace vandrel {

namespace {

// A radio group: the chosen item is checked first, then the others are cleared in menu order.
void checkOnly(const MenuItem& chosen, std::initializer_list<MenuItem*> group) {
    for (MenuItem* item : group) {
        if (item == &chosen) item->Checked = true;
    }
    for (MenuItem* item : group) {
        if (item != &chosen) item->Checked = false;
    }
}

}  // namespace

void Form1::ChooseGravity(Currency gravity, const MenuItem& chosen) {
    ResetGame();
    Gravity = gravity;
    checkOnly(chosen, {&mnuGNone, &mnuGLow, &mnuGNormal, &mnuGHigh, &mnuGVHigh});
}

void Form1::ChooseFuel(Currency fuel, const MenuItem& chosen) {
    ResetGame();
    Fuel = fuel;
    checkOnly(chosen, {&mnuF250, &mnuF500, &mnuF1000, &mnuFOver9000});
    RefreshFuel();  // shows the new amount at once
}

void Form1::mnuGNone_Click() {
    ChooseGravity(0_cur, mnuGNone);
}
void Form1::mnuGLow_Click() {
    ChooseGravity(0.03_cur, mnuGLow);
}
void Form1::mnuGNormal_Click() {
    ChooseGravity(0.07_cur, mnuGNormal);
}
void Form1::mnuGHigh_Click() {
    ChooseGravity(0.14_cur, mnuGHigh);
}
void Form1::mnuGVHigh_Click() {
    ChooseGravity(0.28_cur, mnuGVHigh);
}

void Form1::mnuF250_Click() {
    ChooseFuel(250_cur, mnuF250);
}
void Form1::mnuF500_Click() {
    ChooseFuel(500_cur, mnuF500);
}
void Form1::mnuF1000_Click() {
    ChooseFuel(1000_cur, mnuF1000);
}
void Form1::mnuFOver9000_Click() {
    ChooseFuel(9999_cur, mnuFOver9000);
}

void Form1::mnuTOn_Click() {
    ResetGame();
    NoLimiter = false;
    mnuTOff.Checked = false;
    mnuTOn.Checked = true;
}

void Form1::mnuTOff_Click() {
    ResetGame();
    NoLimiter = true;
    mnuTOff.Checked = true;
    mnuTOn.Checked = false;
}

void Form1::mnuReset_Click() {
    // Three resets in a row; the limiter ends Off, not at the window's start-up choice.
    mnuTOff_Click();
    mnuGNormal_Click();
    mnuF500_Click();
}

}  // namespace vandrel
