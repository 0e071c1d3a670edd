// SPDX-License-Identifier: MIT
// Help, About and Exit: none of them touches the game state.
#include "shell/form1.h"

namespace vandrel {

void Form1::mnuControls_Click() {
    // Each line ends in a line break, the last one too; the space bar is not listed.
    platform_.MsgBox(
        "Controls:\r\n"
        "Up and down arrowkeys - Adjust thrust\r\n"
        "right and left arowkeys - rotate\r\n"
        "P key - Pause/Start game\r\n"
        "R key - Reset game\r\n",
        0, "Game Help");
}

void Form1::mnuABout_Click() {
    platform_.MsgBox("Programed by Tamsbrook", 0, "About");
}

void Form1::mnuExit_Click() {
    // End: the program stops at once, nothing is saved and no other handler runs.
    throw EndRequested{};
}

}  // namespace vandrel
