// SPDX-License-Identifier: MIT
// The page's side of the game: the browser's events go to the game module as they are, and the
// module's calls come back as the canvas's drawing, the box, words for a screen reader and the
// page's clock. What the scene looks like, which keys are the game's, when the clock runs, what
// a box does with its keys and what is said are the module's (host/driver.h, web/page.cpp); this
// script only knows the browser.
//
// The module runs one call at a time. While a box is up the game waits inside the module,
// suspended, and the page gives it nothing but the box's own events: every handler below checks
// `busy` first.

import createVandrel from "./vandrel.js";
import { Controls } from "./controls.js";
import { MenuBar } from "./menus.js";
import { Flights } from "./flights.js";

const $ = (id) => document.getElementById(id);
const root = document.documentElement;
const scene = $("scene");
const canvas = $("canvas");
const context = canvas.getContext("2d", { alpha: false });

let game = null; // the module
let busy = false; // a call into the module has not returned (a box may be up)
let ended = false;
let clockRuns = false; // the module wants frames
let looping = false; // an animation frame is asked for
let boxUp = false;
let menus = null;
let controls = null; // the on-screen controls and the pads
let wakeTimer = 0;
let checks = ""; // the menus' check marks, as the module shows them
let size = { width: 0, height: 0 }; // the scene's, in its own pixels

// ---- Painting: the module's surface ----

const colours = new Map(); // 0xRRGGBB -> "#rrggbb"
function colour(rgb) {
    let css = colours.get(rgb);
    if (css === undefined) {
        css = "#" + rgb.toString(16).padStart(6, "0");
        colours.set(rgb, css);
    }
    return css;
}

const fonts = []; // each label's CSS font, ascent and line height
const texts = []; // each label's text, as laid out last

function measure(css) {
    context.font = css;
    const metrics = context.measureText("Hg");
    const font = "fontBoundingBoxAscent" in metrics;
    const ascent = font ? metrics.fontBoundingBoxAscent : metrics.actualBoundingBoxAscent;
    const descent = font ? metrics.fontBoundingBoxDescent : metrics.actualBoundingBoxDescent;
    return { css, ascent, height: ascent + descent };
}

const page = {
    sceneSize(width, height) {
        size = { width, height };
        root.style.setProperty("--scene-width", width);
        root.style.setProperty("--scene-height", height);
        fit();
    },
    begin(rects) {
        context.save();
        context.beginPath();
        for (let i = 0; i < rects.length; i += 4) {
            context.rect(rects[i], rects[i + 1], rects[i + 2], rects[i + 3]);
        }
        context.clip();
    },
    fill(x, y, w, h, rgb) {
        context.fillStyle = colour(rgb);
        context.fillRect(x, y, w, h);
    },
    line(x1, y1, x2, y2, rgb, width) {
        // A pen of odd width is centred on the pixels' middles, so that it covers whole
        // pixels as the desktop's does.
        const middle = width % 2 === 1 ? 0.5 : 0;
        context.strokeStyle = colour(rgb);
        context.lineWidth = width;
        context.lineCap = "square";
        context.beginPath();
        context.moveTo(x1 + middle, y1 + middle);
        context.lineTo(x2 + middle, y2 + middle);
        context.stroke();
    },
    oval(x, y, w, h, fill, border, width) {
        // The outline runs through the middles of the box's outer pixels.
        context.beginPath();
        context.ellipse(x + (w + 1) / 2, y + (h + 1) / 2, w / 2, h / 2, 0, 0, 2 * Math.PI);
        context.fillStyle = colour(fill);
        context.fill();
        context.strokeStyle = colour(border);
        context.lineWidth = width;
        context.stroke();
    },
    text(label, x, y, rgb, cx, cy, cw, ch) {
        const clipped = cw > 0 && ch > 0;
        if (clipped) {
            context.save();
            context.beginPath();
            context.rect(cx, cy, cw, ch);
            context.clip();
        }
        context.font = fonts[label].css;
        context.fillStyle = colour(rgb);
        context.textBaseline = "alphabetic";
        context.fillText(texts[label], x, y + fonts[label].ascent);
        if (clipped) context.restore();
    },
    end() {
        context.restore();
    },
    // A font in CSS: its faces (a line each), then the browser's sans-serif face.
    setFont(label, faces, points, pixels, weight, italic) {
        const size = pixels > 0 ? `${pixels}px` : `${points}pt`;
        const names = faces.split("\n").filter((face) => face).map((face) => `"${face}", `);
        fonts[label] = measure(`${italic ? "italic " : ""}${weight} ${size} ${names.join("")}sans-serif`);
    },
    layOut(label, text) {
        texts[label] = text;
        context.font = fonts[label].css;
        return [context.measureText(text).width, fonts[label].height];
    },
    trialWidth(pixels, text) {
        context.font = `${pixels}px sans-serif`;
        return context.measureText(text).width;
    },
    // A CSS system colour as 0xRRGGBB, or -1 where the browser has none.
    systemColour(name) {
        if (!CSS.supports("color", name)) return -1;
        const probe = document.createElement("span");
        probe.style.color = name;
        document.body.append(probe);
        const [r, g, b] = getComputedStyle(probe).color.match(/\d+(\.\d+)?/g).map(Number);
        probe.remove();
        return (r << 16) | (g << 8) | b;
    },
    showChecks(marks) {
        checks = marks;
        if (menus) menus.showChecks(marks);
    },
    boxSize(title, prompt) {
        $("box-title").textContent = title;
        $("box-prompt").textContent = prompt;
        const box = $("box");
        box.style.visibility = "hidden";
        box.hidden = false;
        const measured = [box.offsetWidth, box.offsetHeight];
        box.hidden = true;
        box.style.visibility = "";
        return measured;
    },
    showBox(x, y) {
        const box = $("box");
        box.style.left = `${x}px`;
        box.style.top = `${y}px`;
        box.hidden = false;
        boxUp = true;
        boxEvents = [];
        closeMenus();
        $("box-ok").focus();
    },
    awaitBox: () => new Promise((resolve) => {
        if (boxEvents.length > 0) resolve(boxEvents.shift());
        else boxWaits = resolve;
    }),
    hideBox() {
        boxUp = false;
        // The scene has the keyboard back before the box goes, a frame later: a screen reader
        // that saw the box go first would move to the scene without a word.
        if (!ended) scene.focus();
        requestAnimationFrame(() => requestAnimationFrame(() => {
            if (!boxUp) $("box").hidden = true;
        }));
    },
    runClock(runs) {
        clockRuns = runs;
        if (controls) controls.waiting();
        if (runs && !looping) {
            looping = true;
            requestAnimationFrame(frame);
        }
    },
    wakeAt(when) {
        clearTimeout(wakeTimer);
        if (when < 0) return;
        wakeTimer = setTimeout(() => {
            if (!busy && game && !ended) callGame("vandrel_wake", [], []);
        }, Math.max(0, when - performance.now()));
    },
    say(text, atOnce) {
        // The same words twice in a row are still heard: the region is emptied first.
        const region = $(atOnce ? "said-now" : "said");
        region.textContent = "";
        setTimeout(() => { region.textContent = text; });
    },
    describe(text) {
        described = text;
        if (document.activeElement !== scene || !document.hasFocus()) showDescription();
    },
    ended() {
        ended = true;
        $("box").hidden = true;
        boxUp = false;
        $("ended").hidden = false;
        $("again").focus();
    },
};

// The scene's description is what the prompt shows whenever the scene takes the keyboard. It
// holds still while the scene has it, whose prompt the player hears as it changes: a screen
// reader told of a new description while it reads the scene would say the prompt twice.
let described = null;
function showDescription() {
    if (described !== null && $("describe").textContent !== described) {
        $("describe").textContent = described;
    }
}
for (const [target, type] of [[scene, "focusout"], [window, "blur"]]) {
    target.addEventListener(type, () => setTimeout(showDescription));
}

// ---- The window fitted to the screen, the canvas's backing store at its density ----

// The largest scale at which the window (caption, menu bar, scene) fits the screen with the
// scene's shape kept: no larger than the game's own size unless in fullscreen, and on a touch
// screen with the controls beside it or below, whichever leaves the scene larger.
function fit() {
    const touch = root.classList.contains("touch");
    const style = getComputedStyle($("app"));
    const pad = parseFloat(style.paddingLeft), gap = parseFloat(style.columnGap);
    const width = root.clientWidth - 2 * pad - 2;
    const height = innerHeight - 2 * pad - 2 - $("caption").offsetHeight - $("menubar").offsetHeight;
    const across = (w, h) => Math.max(0.1, Math.min(w / size.width, h / size.height));
    const flying = $("flying");
    const beside = across(width - 2 * (flying.offsetWidth + gap), height);
    const below = across(width, height - (touch ? flying.offsetHeight + gap : 0));
    root.classList.toggle("below", touch && below > beside);
    let wanted = touch ? Math.max(beside, below) : below;
    if (!document.fullscreenElement) wanted = Math.min(wanted, 1);
    const flights = parseFloat(getComputedStyle($("flights")).maxWidth);
    root.classList.toggle("narrow", size.width * wanted + flights + gap > width);
    root.style.setProperty("--scale", wanted);
    const density = (window.devicePixelRatio || 1) * wanted;
    if (density === ratio) return false;
    ratio = density;
    canvas.width = Math.round(size.width * ratio);
    canvas.height = Math.round(size.height * ratio);
    context.setTransform(canvas.width / size.width, 0, 0, canvas.height / size.height, 0, 0);
    context.imageSmoothingEnabled = false;
    return true;
}
let ratio = 0; // device pixels a scene pixel

function refit() {
    if (fit() && game && !busy) game._vandrel_repaint();
}
window.addEventListener("resize", refit);
document.addEventListener("fullscreenchange", refit);

function watchRatio() {
    matchMedia(`(resolution: ${window.devicePixelRatio || 1}dppx)`).addEventListener(
        "change", () => {
            refit();
            watchRatio();
        }, { once: true });
}

// On touch screens (a coarse pointer, or from the first touch) the controls show.
function touchScreen() {
    if (root.classList.contains("touch")) return;
    root.classList.add("touch");
    refit();
}
if (matchMedia("(pointer: coarse)").matches) touchScreen();
window.addEventListener("pointerdown", (event) => event.pointerType === "touch" && touchScreen(), true);

// Fullscreen where the browser has it; landscape asked for on a touch screen, where allowed.
const fullscreen = $("fullscreen");
fullscreen.hidden = !document.fullscreenEnabled;
fullscreen.addEventListener("pointerdown", (event) => event.preventDefault()); // the scene keeps the keyboard
fullscreen.addEventListener("click", () => {
    if (document.fullscreenElement) {
        document.exitFullscreen().catch(() => {});
        return;
    }
    root.requestFullscreen().then(() => {
        if (root.classList.contains("touch")) return screen.orientation.lock("landscape");
    }).catch(() => {});
});

// ---- Calls into the module ----

// Calls an exported function that may wait in a box; `after` runs once it has returned.
let afterBox = [];
function callGame(name, types, args, after) {
    busy = true;
    return game.ccall(name, null, types, args, { async: true }).then(() => {
        busy = false;
        if (after) after();
        for (const asked of afterBox.splice(0)) asked();
    });
}

function frame(now) {
    if (busy || ended || !clockRuns) {
        looping = false;
        return;
    }
    controls.poll();
    callGame("vandrel_frame", ["number"], [now], () => {
        if (clockRuns && !ended) {
            requestAnimationFrame(frame);
        } else {
            looping = false;
        }
    });
}

// ---- The box: its keys and clicks go to the module, which judges them ----

let boxEvents = []; // what happened on the box that the module has not asked for yet
let boxWaits = null; // the module's wait for the next

function onBox(event) {
    if (boxWaits) {
        const resolve = boxWaits;
        boxWaits = null;
        resolve(event);
    } else {
        boxEvents.push(event);
    }
}

// The box is modal: the keyboard stays on it, whatever else is clicked meanwhile.
document.addEventListener("focusin", (event) => {
    if (boxUp && !$("box").contains(event.target)) $("box-ok").focus();
});
for (const type of ["keydown", "keyup"]) {
    $("box").addEventListener(type, (event) => {
        event.stopPropagation();
        if (event.ctrlKey || event.metaKey) return; // the browser's shortcuts
        event.preventDefault(); // OK is the box's only control: the keyboard stays on it
        if (boxUp) onBox({ kind: type === "keydown" ? 0 : 1, key: event.key, code: event.code, repeat: event.repeat });
    }, true);
}
$("box-ok").addEventListener("click", () => { if (boxUp) onBox({ kind: 2 }); });

// ---- Keys ----

function sceneHasKeyboard() {
    return document.activeElement === scene && document.hasFocus() && !boxUp && !ended;
}

function key(event, down) {
    if (busy || !game || ended || !sceneHasKeyboard()) return;
    const args = [down ? 1 : 0, event.key, event.code, event.shiftKey ? 1 : 0,
        event.ctrlKey ? 1 : 0, event.altKey ? 1 : 0, event.metaKey ? 1 : 0];
    const types = ["number", "string", "string", "number", "number", "number", "number"];
    // The game's keys never reach the browser: arrows and space do not scroll the page.
    if (!game.ccall("vandrel_game_key", "number", types, args)) return;
    event.preventDefault();
    callGame("vandrel_key", types, args);
}

window.addEventListener("keydown", (event) => {
    if (busy || !game || ended) return;
    if (menus && menus.takes(event)) return;
    key(event, true);
});
window.addEventListener("keyup", (event) => {
    if (event.key === "Alt") event.preventDefault(); // a lone Alt does not open the browser's menu
    key(event, false);
});

// ---- The keyboard leaving the scene ----

// `windowLeft`: the player went elsewhere (another window or tab, the page's own controls),
// which pauses a running flight; otherwise one of the game's menus took the keyboard.
function keyboardLeft(windowLeft) {
    if (busy || !game || ended) return;
    callGame("vandrel_left", ["number"], [windowLeft ? 1 : 0]);
}

window.addEventListener("blur", () => keyboardLeft(true));
document.addEventListener("visibilitychange", () => {
    if (document.hidden) keyboardLeft(true);
});
scene.addEventListener("focusout", (event) => {
    if (boxUp) return; // the box took it, inside a handler
    keyboardLeft(!$("menubar").contains(event.relatedTarget));
});

function showWhetherSceneHasKeyboard() {
    $("click-to-play").hidden = ended || boxUp || (menus && menus.open()) ||
        (document.activeElement === scene && document.hasFocus());
}
for (const type of ["focusin", "focusout"]) document.addEventListener(type, () => setTimeout(showWhetherSceneHasKeyboard));
window.addEventListener("focus", showWhetherSceneHasKeyboard);
window.addEventListener("blur", showWhetherSceneHasKeyboard);
scene.addEventListener("mousedown", (event) => {
    if (event.target === canvas) {
        event.preventDefault();
        scene.focus();
    }
});

function closeMenus() {
    if (menus) menus.close(false);
}

// ---- Flights: saved, replayed, shared as links (flights.js) ----

const flightsOfPage = new Flights({
    module: () => game,
    busy: () => busy,
    afterBox: (then) => afterBox.push(then),
    replayed() {
        ended = false;
        $("ended").hidden = true;
        closeMenus();
        scene.focus();
    },
});

$("again").addEventListener("click", () => location.reload());

// ---- Start ----

// The browser's number settings, or those of `?lang=` in the address.
function regional() {
    const wanted = new URLSearchParams(location.search).get("lang") || navigator.language;
    let format;
    try {
        format = new Intl.NumberFormat(wanted);
    } catch {
        format = new Intl.NumberFormat("en");
    }
    const parts = format.formatToParts(-12345.5);
    const part = (type, otherwise) => (parts.find((p) => p.type === type) || { value: otherwise }).value;
    return [part("decimal", "."), part("group", ","), part("minusSign", "-")];
}

async function start() {
    watchRatio();
    game = await createVandrel({ page });
    await callGame("vandrel_start", ["string", "string", "string"], regional());
    const blocked = () => busy || boxUp || ended;
    menus = new MenuBar($("menubar"), JSON.parse(game.ccall("vandrel_menus", "string", [], [])), {
        blocked,
        toScene: () => ended || scene.focus(),
        changed: showWhetherSceneHasKeyboard,
    }, (name) => blocked() || callGame("vandrel_click", ["string"], [name]));
    menus.showChecks(checks);
    const take = (name, types) => (...args) => busy || ended || callGame(name, types, args);
    controls = new Controls(JSON.parse(game.ccall("vandrel_controls", "string", [], [])),
        [$("turning"), $("flying")], {
            blocked,
            boxUp: () => boxUp,
            running: () => clockRuns,
            control: take("vandrel_control", ["number", "number"]),
            pad: take("vandrel_pad", ["number", "number", "number"]),
            box: onBox,
            padPollMs: game._vandrel_pad_wait_poll(),
        });
    refit();
    matchMedia("(prefers-color-scheme: dark)").addEventListener("change", () => {
        if (game && !busy) game._vandrel_colours();
    });
    showWhetherSceneHasKeyboard();
    await flightsOfPage.start();
    keepOffline();
}

// After one visit the page plays offline: the service worker keeps its files. A new version's
// worker takes over once this page runs with all of its own files (sw.js.in).
function keepOffline() {
    if (!("serviceWorker" in navigator)) return;
    navigator.serviceWorker.register("sw.js").then((registration) => {
        const takeOver = () => registration.waiting && registration.waiting.postMessage("take over");
        takeOver();
        registration.addEventListener("updatefound", () => {
            const worker = registration.installing;
            if (worker) worker.addEventListener("statechange", () => worker.state === "installed" && takeOver());
        });
    }).catch(() => {});
}

// The scene takes the keyboard at once, the page's caret in it, so that a screen reader starts
// in the game instead of reading the page aloud. Framed in another page, the scene waits for a
// click: it does not take the keyboard of the page around it.
if (window.top === window) {
    scene.focus();
    getSelection().collapse(scene, 0);
}
start();
