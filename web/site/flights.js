// SPDX-License-Identifier: MIT
// The page's flights: the recording so far saved as a file or copied as a link, and a flight
// replayed from a file or a link in a fresh game. It knows the browser and the module's calls
// for flights; the page (page.js) gives it the module and says when the module is free.

const MAX_FLIGHT_BYTES = 64 * 1024 * 1024;
const PIECE_BYTES = 64 * 1024; // what the module is given of a flight at a time
// A link's flight is inflated from this many packed bytes at a time: at most about a MiB
// unpacked (deflate packs 1032 to 1 at best).
const LINK_PIECE_BYTES = 1024;
const SLICE_MS = 8; // the longest the page reads a flight before the browser runs again

const $ = (id) => document.getElementById(id);

// What the page gives: the module (`module`), whether a call into it has not returned
// (`busy`: a box may be up), `afterBox(then)` to run `then` once that call has returned, and
// `replayed()` to give the scene the fresh game of a replay.
let page = null;

function message(text) {
    $("message").textContent = text; // always as text, never as markup
}

// The recording so far with its final line. While a box is up the game waits inside the
// handler that opened it, whose end is part of the flight: what the player asks for is done
// once the box is answered and the handler has returned.
function recording(then) {
    const game = page.module();
    if (!game) return;
    if (page.busy()) {
        page.afterBox(() => recording(then));
        message("This waits until the box is answered.");
        return;
    }
    then(game.ccall("vandrel_recording", "string", [], []));
}

function save(text) {
    const now = new Date();
    const digits = (n) => String(n).padStart(2, "0");
    const name = `vandrel-${now.getFullYear()}${digits(now.getMonth() + 1)}${digits(now.getDate())}-` +
        `${digits(now.getHours())}${digits(now.getMinutes())}${digits(now.getSeconds())}.txt`;
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([text], { type: "text/plain" }));
    link.download = name;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
    message(`Saved ${name}.`);
}

// A name as the page shows it, escaped as the module shows every name, so that a name can
// neither hide nor reorder a part of the message.
const shown = (name) => page.module().ccall("vandrel_escaped", "string", ["string"], [name]);

// Resolves once no call into the module is waiting in a box: the page calls it only then.
function idle() {
    return page.busy() ? new Promise((resolve) => page.afterBox(resolve)) : Promise.resolve();
}

// Lets the browser take its events and frames between pieces of a long read.
const breather = () => new Promise((resolve) => setTimeout(resolve));

let reading = null; // the read under way: a newer one stops it

// Reads a flight from `stream` into the module a piece at a time, checked line by line as it
// comes: neither holds it whole, and the browser runs between pieces. Past the largest flight
// it is refused with `tooLarge`, a stream that fails with `unreadable(reason)`, a malformed
// line with the module's reason. True when the module holds the flight, to be replayed.
async function readFlight(name, stream, tooLarge, unreadable) {
    const game = page.module();
    const read = { stopped: false };
    if (reading) reading.stopped = true;
    reading = read;
    const reader = stream.getReader();
    let piece = 0; // the module's memory a piece is copied to
    let begun = false;
    try {
        if (page.busy()) message("This waits until the box is answered.");
        await idle();
        if (read.stopped) return false;
        piece = game._malloc(PIECE_BYTES);
        if (!piece) throw new Error("out of memory");
        game.ccall("vandrel_flight_begin", null, ["string"], [name]);
        begun = true;
        let length = 0;
        let since = performance.now();
        for (;;) {
            let next;
            try {
                next = await reader.read();
            } catch (error) {
                if (!read.stopped) message(unreadable(error.message));
                return false;
            }
            if (read.stopped) return false;
            if (next.done) break;
            length += next.value.length;
            if (length > MAX_FLIGHT_BYTES) {
                message(tooLarge);
                return false;
            }
            for (let at = 0; at < next.value.length; at += PIECE_BYTES) {
                if (performance.now() - since > SLICE_MS) {
                    await breather();
                    since = performance.now();
                }
                await idle();
                if (read.stopped) return false;
                const part = next.value.subarray(at, at + PIECE_BYTES);
                game.HEAPU8.set(part, piece);
                if (!game.ccall("vandrel_flight_more", "number", ["number", "number"], [piece, part.length])) {
                    begun = false;
                    message(game.ccall("vandrel_said", "string", [], []));
                    return false;
                }
            }
        }
        await idle();
        if (read.stopped) return false;
        begun = false;
        if (!game.ccall("vandrel_flight_end", "number", [], [])) {
            message(game.ccall("vandrel_said", "string", [], []));
            return false;
        }
        return true;
    } catch (error) {
        if (!read.stopped) message(`${shown(name)}: cannot read: ${error.message}`);
        return false;
    } finally {
        reader.cancel().catch(() => {});
        if (begun || piece) await idle();
        if (begun && !read.stopped) game.ccall("vandrel_flight_drop", null, [], []);
        if (piece) game._free(piece);
        if (reading === read) reading = null;
    }
}

// Replays the flight the module has read, in a fresh game.
async function replay(name) {
    await idle();
    const game = page.module();
    if (!game.ccall("vandrel_replay", "number", [], [])) return;
    const note = game.ccall("vandrel_said", "string", [], []);
    message(note ? `${note}. Replaying ${shown(name)}.` : `Replaying ${shown(name)}.`);
    page.replayed();
}

async function replayFile(file) {
    if (!file || !page.module()) return;
    if (file.size > MAX_FLIGHT_BYTES) {
        message(`${shown(file.name)}: larger than 64 MiB`);
        return;
    }
    if (await readFlight(file.name, file.stream(), `${shown(file.name)}: larger than 64 MiB`,
        (reason) => `${shown(file.name)}: cannot read: ${reason}`)) {
        await replay(file.name);
    }
}

// ---- A flight as a link: the recording so far, compressed, in the address's fragment ----

const LINK_PREFIX = "#flight=";

function toBase64Url(bytes) {
    let binary = "";
    for (let i = 0; i < bytes.length; i += 0x8000) {
        binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    }
    return btoa(binary).replaceAll("+", "-").replaceAll("/", "_").replace(/=+$/, "");
}

function fromBase64Url(text) {
    if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1) throw new Error("not base64url");
    const binary = atob(text.replaceAll("-", "+").replaceAll("_", "/"));
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
}

async function copy(text) {
    const compressed = new Blob([text]).stream().pipeThrough(new CompressionStream("deflate-raw"));
    const bytes = new Uint8Array(await new Response(compressed).arrayBuffer());
    const link = location.href.split("#")[0] + LINK_PREFIX + toBase64Url(bytes);
    try {
        await navigator.clipboard.writeText(link);
        message("The link to this flight is copied.");
    } catch {
        message(`Copy this link: ${link}`);
    }
}

// The flight of a link, inflated a small piece of it at a time as it is read, so that a link
// that unpacks to far more than the largest flight is refused before it has unpacked much more.
function inflated(packed) {
    const inflate = new DecompressionStream("deflate-raw");
    const writer = inflate.writable.getWriter();
    (async () => {
        for (let at = 0; at < packed.length; at += LINK_PIECE_BYTES) {
            await writer.write(packed.subarray(at, at + LINK_PIECE_BYTES));
        }
        await writer.close();
    })().catch(() => {}); // the read that stopped says why
    return inflate.readable;
}

const DAMAGED = "This link is damaged: it holds no flight, and nothing was replayed.";

// Replays the flight of a link; a damaged one, or one that unpacks past the largest flight,
// is refused and nothing plays.
async function replayLink(fragment) {
    if (!page.module()) return;
    let packed;
    try {
        packed = fromBase64Url(fragment);
    } catch {
        message(DAMAGED);
        return;
    }
    if (await readFlight("link", inflated(packed), "This link's flight is larger than 64 MiB: nothing was replayed.",
        () => DAMAGED)) {
        await replay("link");
    }
}

// A link is read once: its flight leaves the page's address as it is taken, so that the page
// reloaded ("Start again") starts a fresh game.
function takeLinkFromAddress() {
    if (!location.hash.startsWith(LINK_PREFIX)) return null;
    const fragment = location.hash.slice(LINK_PREFIX.length);
    history.replaceState(history.state, "", location.pathname + location.search);
    return fragment;
}

// A link that arrives while a game is on (the address changed by the player or by a page that
// frames this one) waits for the player to choose it: the page says so, and its button
// replays it.
let offered = null;
const take = document.createElement("button");
take.type = "button";
take.id = "replay-link";
take.textContent = "Replay the link's flight";
take.hidden = true;

function offer(fragment) {
    offered = fragment;
    take.hidden = false;
    message("A link to another flight has arrived: \"Replay the link's flight\" replaces this game with it.");
}

export class Flights {
    // The flights' buttons, and a recording dropped on the page, for the page `host`.
    constructor(host) {
        page = host;
        $("copy-link").addEventListener("click", () => recording(copy));
        $("message").after(take);
        take.addEventListener("click", () => {
            const fragment = offered;
            offered = null;
            take.hidden = true;
            if (fragment !== null) replayLink(fragment);
        });
        window.addEventListener("hashchange", () => {
            const fragment = takeLinkFromAddress();
            if (fragment !== null) offer(fragment);
        });
        $("save").addEventListener("click", () => recording(save));
        $("replay").addEventListener("click", () => $("replay-file").click());
        $("replay-file").addEventListener("change", (event) => {
            replayFile(event.target.files[0]);
            event.target.value = "";
        });
        document.addEventListener("dragover", (event) => {
            event.preventDefault();
            document.body.classList.add("dropping");
        });
        document.addEventListener("dragleave", () => document.body.classList.remove("dropping"));
        document.addEventListener("drop", (event) => {
            event.preventDefault();
            document.body.classList.remove("dropping");
            replayFile(event.dataTransfer.files[0]);
        });
    }

    // The game has started: the flight of a link in the page's address replays.
    async start() {
        const fragment = takeLinkFromAddress();
        if (fragment !== null) await replayLink(fragment);
    }
}
