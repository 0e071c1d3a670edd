// SPDX-License-Identifier: MIT
// The page's flights: the recording so far saved as a file or copied as a link, and a flight
// replayed from a file or a link in a fresh game. It knows the browser and the module's calls
// for flights; the page (page.js) gives it the module and says when the module is free.

const MAX_FLIGHT_BYTES = 64 * 1024 * 1024;

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

// Reads a stream of bytes whole, refusing it once it runs past the largest flight.
async function readAtMost(stream, name) {
    const reader = stream.getReader();
    const parts = [];
    let length = 0;
    for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        length += value.length;
        if (length > MAX_FLIGHT_BYTES) {
            await reader.cancel();
            throw new Error(`${name}: larger than 64 MiB`);
        }
        parts.push(value);
    }
    const bytes = new Uint8Array(length);
    let at = 0;
    for (const part of parts) {
        bytes.set(part, at);
        at += part.length;
    }
    return bytes;
}

// Replays a script in a fresh game; refused with its reason, the game going on as it was.
function replay(name, bytes) {
    const game = page.module();
    if (page.busy() || !game) return false;
    const address = game._malloc(Math.max(bytes.length, 1));
    game.HEAPU8.set(bytes, address);
    const plays = game.ccall("vandrel_replay", "number", ["string", "number", "number"],
        [name, address, bytes.length]);
    game._free(address);
    const said = game.ccall("vandrel_said", "string", [], []);
    if (!plays) {
        message(said);
        return false;
    }
    message(said ? `${said}. Replaying ${name}.` : `Replaying ${name}.`);
    page.replayed();
    return true;
}

async function replayFile(file) {
    if (!file) return;
    try {
        replay(file.name, await readAtMost(file.stream(), file.name));
    } catch (error) {
        message(error.message.startsWith(file.name) ? error.message : `${file.name}: cannot read: ${error.message}`);
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

// Replays the flight of a link; a damaged one, or one that unpacks past the largest flight,
// is refused and nothing plays.
async function replayLink(fragment) {
    let bytes;
    try {
        const packed = new Blob([fromBase64Url(fragment)]).stream();
        bytes = await readAtMost(packed.pipeThrough(new DecompressionStream("deflate-raw")), "link");
    } catch (error) {
        message(error.message.startsWith("link: ") ? "This link's flight is larger than 64 MiB: nothing was replayed."
            : "This link is damaged: it holds no flight, and nothing was replayed.");
        return;
    }
    replay("link", bytes);
}

function linkInAddress() {
    return location.hash.startsWith(LINK_PREFIX) ? location.hash.slice(LINK_PREFIX.length) : null;
}

export class Flights {
    // The flights' buttons, and a recording dropped on the page, for the page `host`.
    constructor(host) {
        page = host;
        $("copy-link").addEventListener("click", () => recording(copy));
        window.addEventListener("hashchange", () => {
            const fragment = linkInAddress();
            if (fragment !== null) replayLink(fragment);
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
        const fragment = linkInAddress();
        if (fragment !== null) await replayLink(fragment);
    }
}
