/*
 * slidervsk.js: runs the image slider of a page made by Veskaro. Load it after jslib.js.
 *
 * The page hands over its markup (the placeholder of class jsnavbtnslider_placeholder, image k as
 * jsnavbtnslider_image_k, button k as jsnavbtnslider_navbtn_k) and four variables: BbAl, the number
 * of images; bvAl, the length of an automatic cross-fade; bxAl, the length of a change a visitor asks
 * for; bwAl, how long an image stays before the next one comes in. Times are in milliseconds.
 *
 * Each inclusion runs the slider of the block just before it, with the variables as they stand when it
 * runs, and looks for images and buttons only inside that block's placeholder: two sliders pasted into
 * one page each keep their own. (Both still take the class rules of the style sheet linked last.)
 *
 * Beyond that the slider pauses while the pointer rests on it, while it holds the keyboard focus and
 * while the tab is hidden; a play/pause button stops it for good, and it starts stopped for visitors
 * who ask for less motion, to whom it also switches without fading; buttons work from the keyboard,
 * arrow keys and horizontal swipes change the image, and a paused slider tells screen readers what it
 * shows; images whose pictures fail to load are left out; and a slider wider than its container
 * shrinks its pictures to fit while its controls keep a size a finger can hit.
 *
 * An image's picture is the first img inside its element, however wrapped (in its link, in a picture
 * element with other sources). The page may leave later pictures to load lazily and to be decoded apart
 * from painting: each is asked for when its turn comes near, and an image comes in only once its picture
 * has arrived and is decoded, so that a fade never shows half a picture or none.
 */
((lib) => {
    'use strict';

    const { on, failed, attrs, number, reducedMotion } = lib;
    const doc = document;

    const NAME = 'jsnavbtnslider_';
    const ACTIVE = NAME + 'navbtn_active';
    const SWIPE_DISTANCE = 30;
    const SHEET_ROW = 18; // the height of the button row as the style sheet places it
    const TARGET = 24; // the smallest control a visitor must be able to hit (WCAG 2.5.8)

    // What the style sheet cannot know, each rule written below the placeholder (the "~" stands for
    // it) so that it outweighs the sheet's rules wherever the page links them. Pictures fill the
    // slider, so that shrinking the slider shrinks them; the buttons keep their width; and a
    // focus ring of black and white shows on every picture and every colour of buttons. Forced colours
    // drop the button colours, so the system's highlight marks the image shown there. The announcements
    // of a paused slider are read out but not shown.
    const RULES = ('~image{right:0;bottom:0;transition-property:opacity}' +
        '~image a,~image img{display:block;width:100%;height:100%}' +
        '~navbtngrp{display:flex;justify-content:flex-end;height:auto;z-index:4}' +
        '~navbtn_outer{width:auto;min-width:30px;height:auto;flex:none}' +
        '~navbtn_inner{line-height:' + (TARGET - 2) + 'px;white-space:nowrap}' +
        '~image a:focus-visible,~navbtn_inner:focus-visible{outline:3px solid #000;outline-offset:-3px}' +
        '~image a:focus-visible img{outline:3px solid #fff;outline-offset:-6px}' +
        '~navbtn_inner:focus-visible{box-shadow:inset 0 0 0 5px #fff}' +
        '@media (forced-colors:active){~navbtn_active{forced-color-adjust:none;color:HighlightText;' +
        'background:Highlight}}' +
        '~live{position:absolute;clip:rect(0 0 0 0)}')
        .split('~').join('.' + NAME + 'placeholder .' + NAME);

    const make = (tag) => doc.createElement(tag);
    const picture = (slide) => slide.querySelector('img');
    const link = (slide) => slide.querySelector('a[href]');
    const shown = (slide) => slide.style.visibility === 'visible';

    // A slide put away takes no room either, so that the browser leaves a picture the page marked to load
    // lazily alone until the show asks for it.
    const hide = (slide) => {
        const style = slide.style;
        style.visibility = 'hidden';
        style.opacity = '0';
        style.display = 'none';
    };

    // The fading. The slides lie stacked in the placeholder, the first one showing. A slide fades in on top
    // of every layer that shows; those stay as they are beneath it until it is fully shown, so that however
    // fast the visitor clicks, a picture covers the page. Only the slide coming in can be reached: the
    // layers beneath are on their way out. Returns cross(from, to, length): from is the slide on top.
    const fading = (slides) => {
        let settleTimer = null;
        slides.forEach((slide, i) => {
            if (i) {
                hide(slide);
            } else {
                slide.style.visibility = 'visible';
                slide.style.opacity = '1';
            }
            slide.style.zIndex = 1;
            slide.inert = !!i;
        });
        return (from, to, length) => {
            const style = slides[to].style;
            clearTimeout(settleTimer);
            slides.forEach((slide, i) => {
                const layer = slide.style;
                if (shown(slide)) {
                    layer.opacity = getComputedStyle(slide).opacity;
                    layer.transitionDuration = '0ms';
                    layer.zIndex = i === from ? 2 : 1;
                }
                slide.inert = i !== to;
            });
            if (!shown(slides[to])) {
                style.opacity = '0';
            }
            style.display = '';
            style.visibility = 'visible';
            style.zIndex = 3;
            void slides[to].offsetWidth; // start the fade from the opacity it has now
            style.transitionDuration = length + 'ms';
            style.opacity = '1';
            settleTimer = setTimeout(() => slides.forEach((slide, i) => i !== to && hide(slide)), length);
        };
    };

    const makeButton = (element, label) => {
        attrs(element, { role: 'button', tabindex: '0', 'aria-label': label });
    };

    // The controls: the buttons of the images; play/pause; previous, "k / n" and next, which take the
    // buttons' place when their row is too long for the slider; and the announcements of a paused slider.
    // stopped says how play/pause starts. What they do comes from the show: choose(i) for button i,
    // move(delta) for previous and next, toggle() for play/pause. Returns [mark, count, pause]:
    // mark(i, say) marks image i as the one shown, and with say announces it; count() leaves out the
    // buttons of pictures that failed and returns how many images can be shown; pause(paused, stopped)
    // shows whether the show moves on by itself and whether the visitor stopped it.
    const controls = (box, buttons, pictures, stopped, choose, move, toggle) => {
        const n = buttons.length;
        const group = box.getElementsByClassName(NAME + 'navbtngrp')[0];
        let play = null;
        let counter = null;
        let compact = false;
        let extras = []; // the wrappers of previous, the counter and next
        let live = null;

        // Adds a control shaped like the buttons before the element at; without a label it only shows text.
        const control = (at, label, click, text) => {
            const outer = make('div');
            const inner = make('div');
            outer.className = NAME + 'navbtn_outer';
            inner.className = NAME + 'navbtn_inner';
            inner.textContent = text || '';
            if (label) {
                makeButton(inner, label);
                on(inner, 'click', click);
            }
            outer.appendChild(inner);
            group.insertBefore(outer, at);
            return inner;
        };

        // The controls come first in the tab order, play/pause ahead of the rest, so that a keyboard user
        // can stop the show before anything moves past; the buttons follow in reading order.
        const arrange = () => {
            buttons.forEach((button) => group.appendChild(button.parentNode));
            if (n > 1) {
                const at = buttons[0].parentNode;
                play = control(at, '-', toggle);
                const previous = control(at, 'Previous image', () => move(-1), '\u2039');
                counter = control(at);
                const following = control(at, 'Next image', () => move(1), '\u203A');
                extras = [previous, counter, following].map((inner) => inner.parentNode);
            }
        };

        const count = () => {
            let usable = 0;
            pictures.forEach((image, i) => {
                const gone = failed(image);
                buttons[i].parentNode.style.display = gone || compact ? 'none' : '';
                usable += gone ? 0 : 1;
            });
            extras.forEach((extra) => (extra.style.display = compact ? '' : 'none'));
            if (group) {
                group.style.display = usable > 1 ? '' : 'none';
            }
            return usable;
        };

        // Shrinks the slider, keeping its proportions, when its container is narrower than it. Only the
        // pictures shrink: the button row keeps its size and its place above the slider's bottom edge,
        // inside the slider, and gives way to the compact controls when it no longer fits. The page's own
        // sizing div shrinks with it; a container of the visitor's page is never resized.
        const fitter = () => {
            const outer = box.parentNode.classList.contains('position_div_as_you_wish') ? box.parentNode : null;
            const holder = (outer || box).parentNode;
            const width = box.offsetWidth;
            const height = box.offsetHeight;
            const below = group ? height - group.offsetTop - SHEET_ROW : 0;
            const original = outer && { width: outer.style.width, height: outer.style.height };
            return () => {
                const style = getComputedStyle(holder);
                const room = holder.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
                const scale = room > 0 && room < width ? room / width : 1;
                const scaledWidth = scale < 1 ? width * scale + 'px' : '';
                const scaledHeight = scale < 1 ? height * scale + 'px' : '';
                box.style.width = scaledWidth;
                box.style.height = scaledHeight;
                if (outer) {
                    outer.style.width = scaledWidth || original.width;
                    outer.style.height = scaledHeight || original.height;
                }
                if (group) {
                    group.style.top = 'auto';
                    // Grown to the touch size below the top the sheet gave it, so that nothing shown before the
                    // script ran moves; only a row the sheet puts at the very bottom is lifted.
                    group.style.bottom =
                        Math.max(0, Math.min(below * scale - (TARGET - SHEET_ROW), height * scale - TARGET)) + 'px';
                    // The row is right-aligned, so a row too long for the slider starts left of it.
                    compact = false;
                    count();
                    compact = !!play && play.parentNode.offsetLeft < 0;
                    count();
                }
            };
        };

        const mark = (current, say) => {
            buttons.forEach((button, i) => {
                button.classList.toggle(ACTIVE, i === current);
                button[i === current ? 'setAttribute' : 'removeAttribute']('aria-current', 'true');
            });
            if (counter) {
                counter.textContent = current + 1 + ' / ' + n;
            }
            if (say && live) {
                const image = pictures[current];
                live.textContent = 'Image ' + (current + 1) + ' of ' + n + (image && image.alt ? ': ' + image.alt : '');
            }
        };

        const pause = (paused, stopped) => {
            if (play) {
                play.textContent = stopped ? '\u25BA' : '\u275A\u275A';
                play.setAttribute('aria-label', stopped ? 'Play slideshow' : 'Pause slideshow');
            }
            if (live) {
                // Announced only while nothing moves on by itself, so that a playing show stays quiet.
                live.setAttribute('aria-live', paused ? 'polite' : 'off');
            }
        };

        buttons.forEach((button, i) => {
            makeButton(button, 'Show image ' + (i + 1));
            on(button, 'click', () => choose(i));
        });
        if (n > 1) {
            live = make('div');
            live.className = NAME + 'live';
            box.appendChild(live);
        }
        const fit = fitter();
        if (group) {
            arrange();
        }
        pause(stopped, stopped);
        mark(0);
        fit();
        on(window, 'resize', fit);
        return [mark, count, pause];
    };

    // The visitor's input beyond the controls' clicks: the pointer resting on the slider and the keyboard
    // focus in it hold the show, which hold(held) reports; arrow keys and horizontal swipes call
    // move(delta, focusButton), which returns false when there is nothing to move to; Enter and Space
    // press the controls.
    const listen = (box, buttons, move, hold) => {
        let hovered = false;
        let focused = false;
        let viaPointer = false;
        let startX = 0;
        let startY = 0;
        let tracking = false;
        const report = () => hold(hovered || focused);
        const hover = (event) => {
            if (event.pointerType !== 'touch') {
                hovered = event.type === 'pointerenter';
                report();
            }
        };
        on(box, 'pointerenter', hover);
        on(box, 'pointerleave', hover);
        // A click focuses a button too, but only focus from the keyboard holds the show.
        on(doc, 'keydown', () => (viaPointer = false), true);
        on(box, 'pointerdown', (event) => {
            viaPointer = true;
            tracking = event.pointerType !== 'mouse';
            startX = event.clientX;
            startY = event.clientY;
        });
        on(box, 'pointercancel', () => (tracking = false));
        // Vertical moves belong to the page's scrolling (touch-action), so only clearly horizontal ones
        // arrive here whole.
        on(box, 'pointerup', (event) => {
            const dx = event.clientX - startX;
            const across = Math.abs(dx);
            if (tracking && across > SWIPE_DISTANCE && across > 2 * Math.abs(event.clientY - startY)) {
                move(dx < 0 ? 1 : -1, false);
            }
            tracking = false;
        });
        on(box, 'focusin', () => {
            focused = !viaPointer;
            report();
        });
        on(box, 'focusout', (event) => {
            if (!box.contains(event.relatedTarget)) {
                focused = false;
                report();
            }
        });
        on(box, 'keydown', (event) => {
            const key = event.key;
            const delta = key === 'ArrowLeft' ? -1 : key === 'ArrowRight' ? 1 : 0;
            if (event.target.getAttribute('role') === 'button' && (key === 'Enter' || key === ' ')) {
                event.preventDefault();
                event.target.click();
            } else if (delta && move(delta, buttons.indexOf(event.target) >= 0)) {
                event.preventDefault();
                focused = true;
                report();
            }
        });
    };

    const start = (box, count, times) => {
        const find = (name) => box.querySelector('#' + NAME + name);
        const slides = [];
        const buttons = [];
        for (let k = 1; k <= count; k++) {
            const slide = find('image_' + k);
            const button = find('navbtn_' + k);
            if (!slide || !button) {
                break;
            }
            slides.push(slide);
            buttons.push(button);
        }
        if (slides.length) {
            if (!doc.getElementById(NAME + 'rules')) {
                const style = make('style');
                style.id = NAME + 'rules';
                style.textContent = RULES;
                doc.head.appendChild(style);
            }
            run(box, slides, buttons, find('firstimage_1'), times);
        }
    };

    // The show: which image is on top, which one comes next and when.
    const run = (box, slides, buttons, first, times) => {
        const n = slides.length;
        const [autoLength, manualLength, wait] = times;
        const pictures = slides.map(picture);
        let current = 0;      // the image on top
        let wanted = 0;       // the image asked for, shown once its picture can be shown whole
        let requests = 0;     // the newest request wins when pictures arrive out of order
        let usable = n;       // images whose pictures have not failed
        let autoTimer = null; // the next automatic change, while one is due
        let held = false;     // by the pointer resting on the slider or the keyboard focus in it
        let stopped = reducedMotion(); // by the play/pause button, or from the start for less motion

        const paused = () => held || stopped || doc.hidden || usable < 2;

        // The picture of the next image is asked for while this one stays, so that it has arrived when its
        // turn comes; not before the page has loaded, which it would hold up.
        const askAhead = () => {
            if (!paused() && doc.readyState === 'complete') {
                lib.fetchNow(pictures[(wanted + 1) % n]);
            }
        };

        const stopTimer = () => {
            clearTimeout(autoTimer);
            autoTimer = null;
        };

        // The next image comes in once this one has been fully shown for the delay.
        const schedule = (transition) => {
            stopTimer();
            if (!paused()) {
                autoTimer = setTimeout(() => go(wanted + 1, autoLength, false, 1), (transition || 0) + wait);
                askAhead();
            }
        };

        const show = (target, length) => {
            const hadFocus = slides[current].contains(doc.activeElement);
            cross(current, target, length);
            current = target;
            mark(target, true);
            // The focus follows the image, to its button when it has no link.
            if (hadFocus) {
                (link(slides[target]) || buttons[target]).focus();
            }
            schedule(length);
        };

        // Shows image index, or the next one in the direction step whose picture has not failed.
        const go = (index, length, focusButton, step) => {
            const wrap = (i) => ((i % n) + n) % n;
            let target = wrap(index);
            for (let tries = 1; tries < n && failed(pictures[target]); tries++) {
                target = wrap(target + step);
            }
            if (failed(pictures[target])) {
                return;
            }
            const request = ++requests;
            wanted = target;
            if (focusButton) {
                buttons[target].focus();
            }
            if (target === current) {
                schedule(0);
                return;
            }
            stopTimer();
            lib.whenShowable(pictures[target], () => {
                if (request !== requests) {
                    return;
                }
                if (failed(pictures[target])) {
                    go(target + step, length, focusButton, step);
                } else {
                    show(target, reducedMotion() ? 0 : length);
                }
            });
        };

        const move = (delta, focusButton) => {
            if (usable > 1) {
                go(wanted + delta, manualLength, focusButton, delta);
            }
            return usable > 1;
        };

        // A change that leaves the show playing keeps the delay that runs, so that a picture arriving does
        // not put off the next image.
        const pauseChanged = () => {
            pause(paused(), stopped);
            if (paused()) {
                stopTimer();
            } else if (wanted === current && !autoTimer) {
                schedule(0);
            }
        };

        // Leaves out the images whose pictures failed; a failed image on top gives way at once.
        const refresh = () => {
            usable = count();
            if (failed(pictures[current])) {
                hide(slides[current]);
                go(current + 1, 0, false, 1);
            }
            pauseChanged();
        };

        attrs(box, { role: 'region', 'aria-roledescription': 'carousel', 'aria-label': 'Slideshow' });
        box.style.touchAction = 'pan-y';
        if (first) {
            first.parentNode.removeChild(first);
        }
        slides.forEach((slide, i) => {
            const image = pictures[i];
            const anchor = slide.querySelector('a');
            // An empty address names the page itself, so a click would reload it; without one the picture
            // is no link, neither clickable nor in the tab order. Browsers drop the blanks around an address.
            if (anchor && !(anchor.getAttribute('href') || '').trim()) {
                anchor.removeAttribute('href');
                anchor.removeAttribute('target');
            }
            const target = link(slide);
            // After the controls, so that they come first in the tab order.
            box.appendChild(slide);
            attrs(slide, { role: 'group', 'aria-roledescription': 'slide', 'aria-label': i + 1 + ' of ' + n });
            // A picture without a description leaves its link without a name, so the link gets one.
            if (target && !target.textContent.trim() && !(image && image.alt.trim())) {
                target.setAttribute('aria-label', 'Image ' + (i + 1));
            }
            if (image) {
                on(image, 'load', refresh);
                on(image, 'error', refresh);
            }
        });
        const cross = fading(slides);
        const [mark, count, pause] = controls(box, buttons, pictures, stopped, (i) => go(i, manualLength, false, 1),
                                              move, () => {
                                                  stopped = !stopped;
                                                  pauseChanged();
                                              });
        listen(box, buttons, move, (byVisitor) => {
            held = byVisitor;
            pauseChanged();
        });
        on(doc, 'visibilitychange', pauseChanged);
        on(window, 'load', askAhead);
        refresh();
    };

    // The page includes the script right after its block, so the last placeholder parsed so far is the
    // block's own. It is claimed at once, so that a second inclusion after the same block starts nothing.
    const all = doc.getElementsByClassName(NAME + 'placeholder');
    const box = all[all.length - 1];
    if (box && !box.jsnavbtnsliderStarted) {
        box.jsnavbtnsliderStarted = true;
        const count = Math.floor(number(window.BbAl, 0));
        const times = [number(window.bvAl, 1000), number(window.bxAl, 500), number(window.bwAl, 2000)];
        lib.whenReady(() => start(box, count, times));
    }
})(jsnavbtnslider);
