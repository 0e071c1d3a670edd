// SPDX-License-Identifier: MIT
// The game's keys in other hands, as the browser gives them: the on-screen controls of a touch
// screen, real buttons that fingers press and let go, and gamepads, read with the Gamepad API.
// Which key each stands for, when a held one repeats and what answers a box are the module's
// (host/controls.h); this only reports what the hands do.

export class Controls {
    // The controls the module lists, `faces`, as buttons in `groups` (the turning ones in the
    // first); `page` tells what the game takes now (`blocked`, `boxUp`, `running`), is given
    // each press and release (`control`), each pad's reading (`pad`, or `box` while a box is up)
    // and reads a waiting game's pads every `padPollMs`.
    constructor(faces, groups, page) {
        this.page = page;
        this.pads = new Set(); // the indexes of the pads connected, in the standard layout
        this.read = new Map(); // each pad's last reading, "buttons x"
        this.timer = 0;
        faces.forEach((face, index) => {
            const button = document.createElement("button");
            button.type = "button";
            button.className = "control";
            button.tabIndex = -1; // the keyboard has its own keys
            button.textContent = face.face;
            button.setAttribute("aria-label", face.name);
            (face.turns ? groups[0] : groups[1]).append(button);
            this.listen(button, index);
        });
        window.addEventListener("gamepadconnected", (event) => this.connected(event.gamepad, true));
        window.addEventListener("gamepaddisconnected", (event) => this.connected(event.gamepad, false));
        for (const pad of navigator.getGamepads ? navigator.getGamepads() : []) {
            if (pad) this.connected(pad, true);
        }
    }

    // A finger down is the key down; lifted, slid off or cancelled, the key up. A button a
    // screen reader activates is a tap.
    listen(button, index) {
        const press = (pressed) => (event) => {
            event.preventDefault(); // no focus taken, no scroll, zoom or selection
            if (pressed) button.classList.add("held");
            else if (!button.classList.contains("held")) return;
            else button.classList.remove("held");
            this.page.control(index, pressed);
        };
        button.addEventListener("pointerdown", press(true));
        for (const type of ["pointerup", "pointercancel", "pointerleave"]) {
            button.addEventListener(type, press(false));
        }
        button.addEventListener("contextmenu", (event) => event.preventDefault());
        button.addEventListener("click", (event) => {
            if (event.detail !== 0) return; // a pointer's, told already
            this.page.control(index, true);
            this.page.control(index, false);
        });
    }

    connected(pad, on) {
        if (pad.mapping !== "standard") return;
        if (on) {
            this.pads.add(pad.index);
        } else {
            this.pads.delete(pad.index);
            this.read.delete(pad.index);
            if (!this.page.blocked()) this.page.pad(pad.index, 0, 0);
        }
        this.waiting();
    }

    // Reads every pad connected, and tells the game of each that changed.
    poll() {
        if (this.pads.size === 0) return;
        for (const pad of navigator.getGamepads()) {
            if (!pad || !this.pads.has(pad.index)) continue;
            let pressed = 0;
            pad.buttons.forEach((button, i) => { if (button.pressed && i < 32) pressed += 2 ** i; });
            const x = pad.axes[0] || 0;
            const reading = `${pressed} ${x}`;
            if (this.read.get(pad.index) === reading) continue;
            this.read.set(pad.index, reading);
            if (this.page.boxUp()) {
                this.page.box({ kind: 3, pad: pad.index, pressed, x });
            } else if (!this.page.blocked()) {
                this.page.pad(pad.index, pressed, x);
            }
        }
    }

    // While the game waits (its frames read the pads while it runs), a connected pad is read a
    // few times a second, so that Start can start a flight; without one, nothing is.
    waiting() {
        clearTimeout(this.timer);
        if (this.pads.size === 0 || this.page.running()) return;
        this.timer = setTimeout(() => {
            this.poll();
            this.waiting();
        }, this.page.padPollMs);
    }
}
