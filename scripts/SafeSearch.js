// Safe-search scripts: one engine per browser window. The add-on asks
// is_search_page for an address, and annotates a results page with
// reset, set_highlite, set_icons and save_me.
//
// Written for the classic JScript engine: ECMAScript 3 only.

var highlight = false;
var showIcons = true;
var annotatedLinks = [];

var BADGE_CLASS = "quillon-safesearch-badge";
var HIGHLIGHT_COLOR = "#fff3b0";

// The results pages of the major search engines: host pattern, path pattern
// and the query parameter that carries the search terms.
var SEARCH_ENGINES = [
    { name: "google", host: /(^|\.)google\.[a-z]{2,3}(\.[a-z]{2})?$/, path: /^\/(search|webhp)/, query: /[?&#]q=[^&]/ },
    { name: "bing", host: /(^|\.)bing\.com$/, path: /^\/search/, query: /[?&]q=[^&]/ },
    { name: "yahoo", host: /(^|\.)search\.yahoo\.(com|co\.[a-z]{2}|[a-z]{2})$/, path: /^\/(search|yhs\/search)/, query: /[?&]p=[^&]/ },
    { name: "duckduckgo", host: /(^|\.)duckduckgo\.com$/, path: /^\/(html\/?)?$/, query: /[?&]q=[^&]/ },
    { name: "ask", host: /(^|\.)ask\.com$/, path: /^\/web/, query: /[?&]q=[^&]/ },
    { name: "aol", host: /(^|\.)search\.aol\.com$/, path: /^\/aol\/search/, query: /[?&]q=[^&]/ },
    { name: "baidu", host: /(^|\.)baidu\.com$/, path: /^\/s$/, query: /[?&]wd=[^&]/ },
    { name: "yandex", host: /(^|\.)yandex\.(ru|com|ua|by|kz|com\.tr)$/, path: /^\/search/, query: /[?&]text=[^&]/ },
    { name: "ecosia", host: /(^|\.)ecosia\.org$/, path: /^\/search/, query: /[?&]q=[^&]/ }
];

function crack(url) {
    var match = /^(https?):\/\/([^\/?#:@]+)(:\d+)?([^?#]*)(.*)$/i.exec(String(url));
    if (!match)
        return null;
    var path = match[4] === "" ? "/" : match[4];
    return { host: match[2].toLowerCase(), path: path, rest: match[5] };
}

function engineOf(url) {
    var parts = crack(url);
    if (!parts)
        return null;
    for (var i = 0; i < SEARCH_ENGINES.length; i++) {
        var engine = SEARCH_ENGINES[i];
        if (engine.host.test(parts.host) && engine.path.test(parts.path) && engine.query.test(parts.rest))
            return engine;
    }
    return null;
}

// 1 when the address is a results page of a known search engine, else 0.
function is_search_page(url) {
    return engineOf(url) ? 1 : 0;
}

// Takes the badges and highlights off whatever was annotated before.
function reset() {
    for (var i = 0; i < annotatedLinks.length; i++) {
        var entry = annotatedLinks[i];
        try {
            if (entry.badge && entry.badge.parentNode)
                entry.badge.parentNode.removeChild(entry.badge);
            entry.link.style.backgroundColor = entry.oldBackground;
        } catch (e) {
        }
    }
    annotatedLinks = [];
    return true;
}

function set_highlite(flag) {
    highlight = flag ? true : false;
    return true;
}

function set_icons(flag) {
    showIcons = flag ? true : false;
    return true;
}

function hostOf(url) {
    var parts = crack(url);
    return parts ? parts.host : "";
}

function sameSite(host, other) {
    if (host === other)
        return true;
    var a = host.split("."), b = other.split(".");
    // The last two labels stand for the site; the engine's own links stay bare.
    return a.length >= 2 && b.length >= 2 &&
           a[a.length - 1] === b[b.length - 1] && a[a.length - 2] === b[b.length - 2];
}

// A result link leads off the search engine to another site; links to the
// engine's own pages (next page, images, settings) are left alone.
function isResultLink(href, pageHost) {
    var host = hostOf(href);
    return host !== "" && !sameSite(host, pageHost);
}

// Until a rating arrives every result is marked "not yet rated"; the badge
// carries the site name so a later rating can find it.
function annotate(document, link, host) {
    var entry = { link: link, badge: null, oldBackground: "" };
    try {
        entry.oldBackground = link.style.backgroundColor;
    } catch (e) {
    }
    if (showIcons) {
        var badge = document.createElement("span");
        badge.className = BADGE_CLASS;
        badge.title = "Safety rating of " + host + ": not rated yet";
        badge.innerText = "?";
        badge.style.marginLeft = "4px";
        badge.style.padding = "0 4px";
        badge.style.border = "1px solid #808080";
        badge.style.color = "#606060";
        badge.style.fontSize = "80%";
        link.parentNode.insertBefore(badge, link.nextSibling);
        entry.badge = badge;
    }
    if (highlight)
        link.style.backgroundColor = HIGHLIGHT_COLOR;
    annotatedLinks[annotatedLinks.length] = entry;
}

// Marks each result link of the page shown in browser. scriptsFolder ends
// with a backslash; dssServer is the configured rating server (may be empty).
// Returns the number of links marked.
function save_me(browser, scriptsFolder, dssServer) {
    var document = browser.Document;
    var pageUrl = "";
    try {
        pageUrl = document.URL;
    } catch (e) {
        pageUrl = browser.LocationURL;
    }
    if (!engineOf(pageUrl))
        return 0;
    var pageHost = hostOf(pageUrl);
    var links = document.links;
    var count = links.length;
    var marked = 0;
    for (var i = 0; i < count; i++) {
        var link = links.item(i);
        var href = String(link.href);
        if (!isResultLink(href, pageHost))
            continue;
        annotate(document, link, hostOf(href));
        marked++;
    }
    return marked;
}
