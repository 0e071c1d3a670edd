// SPDX-License-Identifier: MIT
// The page's menu bar: the game's menu tree as the WAI-ARIA menubar pattern, the accelerator
// letters underlined, Alt+letter and F10 before the browser, arrows, Home, End, Enter, Escape
// and the access keys in the open menus. Check marks show what the game says (showChecks);
// the menus never toggle one on their own. It knows the browser and nothing of the game.

// The caption's access key ("E&xit": X) underlined.
function captionOf(caption) {
    const text = document.createElement("span");
    const at = caption.indexOf("&");
    if (at < 0 || at + 1 >= caption.length) {
        text.textContent = caption;
        return text;
    }
    const key = document.createElement("u");
    key.textContent = caption[at + 1];
    text.append(caption.slice(0, at), key, caption.slice(at + 2));
    return text;
}

function accessKey(caption) {
    const at = caption.indexOf("&");
    return at >= 0 && at + 1 < caption.length ? caption[at + 1].toLowerCase() : null;
}

export class MenuBar {
    // The menus of `tree` in `bar`; `page` says whether the page takes no choice now
    // (`blocked`), takes the keyboard back (`toScene`) and hears that a menu opened or shut
    // (`changed`), and `choose` is given the name of each item chosen.
    constructor(bar, tree, page, choose) {
        this.bar = bar;
        this.page = page;
        this.choose = choose;
        this.items = []; // every item, in menu order: {element, item, owner, menu, children}
        this.tops = [];
        for (const item of tree) this.tops.push(this.add(bar, item, null, true));
        bar.addEventListener("keydown", (event) => this.key(event));
        document.addEventListener("mousedown", (event) => {
            if (this.open() && !bar.contains(event.target)) this.close(true);
        });
    }

    add(parent, item, owner, top) {
        const holder = document.createElement("div");
        holder.className = top ? "item top-item" : "item";
        const element = document.createElement("div");
        element.className = top ? "top" : "";
        element.tabIndex = -1;
        element.id = item.name;
        element.setAttribute("role", item.option ? "menuitemcheckbox" : "menuitem");
        element.append(captionOf(item.caption));
        holder.append(element);
        parent.append(holder);
        const entry = { element, item, owner, menu: null, children: [] };
        this.items.push(entry);
        if (item.items.length > 0) {
            element.setAttribute("aria-haspopup", "menu");
            element.setAttribute("aria-expanded", "false");
            const menu = document.createElement("div");
            menu.className = "menu";
            menu.setAttribute("role", "menu");
            menu.setAttribute("aria-label", item.caption.replace("&", ""));
            menu.hidden = true;
            holder.append(menu);
            entry.menu = menu;
            for (const child of item.items) entry.children.push(this.add(menu, child, entry, false));
        }
        element.addEventListener("click", (event) => {
            event.stopPropagation();
            this.activate(entry, false);
        });
        element.addEventListener("mouseenter", () => {
            if (this.page.blocked()) return;
            if (top && this.open() && !this.isOpen(entry)) this.openMenu(entry, false);
            if (!top) {
                this.closeBelow(entry.owner);
                if (entry.menu) this.openMenu(entry, false);
                element.focus();
            }
        });
        return entry;
    }

    open() {
        return this.items.some((entry) => this.isOpen(entry));
    }

    isOpen(entry) {
        return entry.menu !== null && !entry.menu.hidden;
    }

    // Shows the check marks, one '1' or '0' an item in menu order.
    showChecks(marks) {
        this.items.forEach((entry, i) => {
            if (entry.item.option) entry.element.setAttribute("aria-checked", marks[i] === "1" ? "true" : "false");
        });
    }

    openMenu(entry, focusFirst) {
        if (!entry.owner) this.close(false);
        this.closeBelow(entry.owner);
        entry.menu.hidden = false;
        entry.element.setAttribute("aria-expanded", "true");
        (focusFirst ? entry.children[0].element : entry.element).focus();
        this.page.changed();
    }

    // Shuts every menu below `owner` (all of them for null).
    closeBelow(owner) {
        for (const entry of this.items) {
            if (entry.menu && entry.owner === owner) {
                entry.menu.hidden = true;
                entry.element.setAttribute("aria-expanded", "false");
                this.closeBelow(entry);
            }
        }
    }

    // Shuts every menu; the keyboard goes back to the scene with `toScene`.
    close(toScene) {
        this.closeBelow(null);
        if (toScene) this.page.toScene();
        this.page.changed();
    }

    activate(entry, fromKeyboard) {
        if (this.page.blocked()) return; // the box that is up is modal
        if (entry.menu) {
            if (this.isOpen(entry) && !entry.owner) {
                this.close(true);
            } else {
                this.openMenu(entry, fromKeyboard);
            }
            return;
        }
        this.close(true);
        this.choose(entry.item.name);
    }

    top(entry) {
        while (entry.owner) entry = entry.owner;
        return entry;
    }

    siblings(entry) {
        return entry.owner ? entry.owner.children : this.tops;
    }

    // Alt+F, Alt+O and Alt+H open their menus from anywhere in the page, F10 goes to the bar;
    // true when the event was the menus'.
    takes(event) {
        if (event.altKey && !event.ctrlKey && !event.metaKey && event.key.length === 1) {
            const top = this.tops.find((entry) => accessKey(entry.item.caption) === event.key.toLowerCase());
            if (top) {
                event.preventDefault(); // before the browser's own menu takes it
                this.openMenu(top, true);
                return true;
            }
        }
        if (event.key === "F10" && !event.shiftKey && !event.altKey && !event.ctrlKey) {
            event.preventDefault();
            if (this.bar.contains(document.activeElement)) {
                this.close(true);
            } else {
                this.tops[0].element.focus();
                this.page.changed();
            }
            return true;
        }
        return this.bar.contains(document.activeElement);
    }

    key(event) {
        const entry = this.items.find((e) => e.element === document.activeElement);
        if (!entry || event.ctrlKey || event.metaKey) return;
        const inBar = !entry.owner;
        const list = this.siblings(entry);
        const at = list.indexOf(entry);
        const move = (to) => list[(to + list.length) % list.length].element.focus();
        const moveTop = (step) => {
            const tops = this.tops;
            const next = tops[(tops.indexOf(this.top(entry)) + step + tops.length) % tops.length];
            if (this.open()) {
                this.openMenu(next, true);
            } else {
                next.element.focus();
            }
        };
        let handled = true;
        switch (event.key) {
            case "ArrowDown":
                if (inBar) this.openMenu(entry, true); else move(at + 1);
                break;
            case "ArrowUp":
                if (inBar) { this.openMenu(entry, true); entry.children.at(-1).element.focus(); } else move(at - 1);
                break;
            case "ArrowRight":
                if (inBar) move(at + 1);
                else if (entry.menu) this.openMenu(entry, true);
                else moveTop(1);
                break;
            case "ArrowLeft":
                if (inBar) move(at - 1);
                else if (entry.owner.owner) { this.closeBelow(entry.owner.owner); entry.owner.element.focus(); }
                else moveTop(-1);
                break;
            case "Home":
                move(0);
                break;
            case "End":
                move(list.length - 1);
                break;
            case "Enter":
            case " ":
                this.activate(entry, true);
                break;
            case "Escape":
                if (entry.owner && entry.owner.owner) {
                    this.closeBelow(entry.owner.owner);
                    entry.owner.element.focus();
                } else if (entry.owner) {
                    this.closeBelow(null);
                    entry.owner.element.focus();
                } else {
                    this.close(true);
                }
                break;
            case "Tab":
                this.close(false);
                handled = false;
                break;
            default: {
                const key = event.key.toLowerCase();
                const match = list.find((e) => accessKey(e.item.caption) === key);
                if (match && !event.altKey) this.activate(match, true);
                else handled = event.key.length === 1 || event.key === "Alt";
            }
        }
        if (handled) {
            event.preventDefault();
            event.stopPropagation();
        }
    }
}
