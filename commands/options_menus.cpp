// The Options menu. Its check marks are where the options are kept: every choice restarts
// the flight, and Form_Load reads the marks back at every reset. Inside the reset Form_Load
// still sees the previous choice, so each handler sets its variable again afterwards.
#include "shell/form1.h"

namespace vandrel {

void Form1::SetGravityChecks(const MenuItem& chosen) {
    for (MenuItem* item : {&mnuGNone, &mnuGLow, &mnuGNormal, &mnuGHigh, &mnuGVHigh}) {
        if (item == &chosen) item->Checked = true;
    }
    for (MenuItem* item : {&mnuGNone, &mnuGLow, &mnuGNormal, &mnuGHigh, &mnuGVHigh}) {
        if (item != &chosen) item->Checked = false;
    }
}

void Form1::SetFuelChecks(const MenuItem& chosen) {
    for (MenuItem* item : {&mnuF250, &mnuF500, &mnuF1000, &mnuFOver9000}) {
        if (item == &chosen) item->Checked = true;
    }
    for (MenuItem* item : {&mnuF250, &mnuF500, &mnuF1000, &mnuFOver9000}) {
        if (item != &chosen) item->Checked = false;
    }
    RefreshFuel();  // shows the new amount at once
}

void Form1::mnuGNone_Click() {
    ResetGame();
    Gravity = 0_cur;
    SetGravityChecks(mnuGNone);
}

void Form1::mnuGLow_Click() {
    ResetGame();
    Gravity = 0.03_cur;
    SetGravityChecks(mnuGLow);
}

void Form1::mnuGNormal_Click() {
    ResetGame();
    Gravity = 0.07_cur;
    SetGravityChecks(mnuGNormal);
}

void Form1::mnuGHigh_Click() {
    ResetGame();
    Gravity = 0.14_cur;
    SetGravityChecks(mnuGHigh);
}

void Form1::mnuGVHigh_Click() {
    ResetGame();
    Gravity = 0.28_cur;
    SetGravityChecks(mnuGVHigh);
}

void Form1::mnuF250_Click() {
    ResetGame();
    Fuel = 250_cur;
    SetFuelChecks(mnuF250);
}

void Form1::mnuF500_Click() {
    ResetGame();
    Fuel = 500_cur;
    SetFuelChecks(mnuF500);
}

void Form1::mnuF1000_Click() {
    ResetGame();
    Fuel = 1000_cur;
    SetFuelChecks(mnuF1000);
}

void Form1::mnuFOver9000_Click() {
    ResetGame();
    Fuel = 9999_cur;
    SetFuelChecks(mnuFOver9000);
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
