// Safe-search scripts: one engine per browser window. The add-on asks
// is_search_page for an address, and annotates a results page with
// reset, set_highlite, set_icons and save_me.
//
// Ratings come from the rating service's HTTP side (the option "DssServer",
// by default http://127.0.0.1:27491/ratings): one POST with one address a
// line, answered by one line "<verdict> <colour> <host>" per address.
//
// Written for the classic JScript engine: ECMAScript 3 only, no JSON.

var highlight = false;
var showIcons = true;
var annotatedLinks = [];
// Bumped by reset: an answer that arrives for an earlier page is dropped.
var generation = 0;
var pendingRequest = null;

var BADGE_CLASS = "quillon-safesearch-badge";
// The service answers at most this many addresses a request.
var MAX_ADDRESSES = 200;

// What each colour of the verdict vocabulary looks like on the page.
var COLOURS = {
    green: { icon: "badge_green.png", highlight: "#dcf3d6" },
    yellow: { icon: "badge_yellow.png", highlight: "#fff3b0" },
    red: { icon: "badge_red.png", highlight: "#ffd6d6" },
    grey: { icon: "badge_grey.png", highlight: "" },
    darkgrey: { icon: "badge_darkgrey.png", highlight: "" }
};
var VERDICT_TEXTS = {
    CERTIFIED: "certified safe",
    OK: "safe",
    INFO: "use caution",
    UNKNOWN: "not rated",
    WARN: "warning: risky site"
};

// The results pages of the major search engines: host pattern, path pattern,
// the query parameter that carries the search terms, and how the engine
// wraps a result's address in a redirect link of its own (the parameter
// that holds the real address), when it does.
var SEARCH_ENGINES = [
    { name: "google", host: /(^|\.)google\.[a-z]{2,3}(\.[a-z]{2})?$/, path: /^\/(search|webhp)/, query: /[?&#]q=[^&]/,
      redirect: /^\/url$/, target: /[?&](?:q|url)=([^&]+)/ },
    { name: "bing", host: /(^|\.)bing\.com$/, path: /^\/search/, query: /[?&]q=[^&]/ },
    { name: "yahoo", host: /(^|\.)search\.yahoo\.(com|co\.[a-z]{2}|[a-z]{2})$/, path: /^\/(search|yhs\/search)/, query: /[?&]p=[^&]/,
      redirectHost: /^r\.search\.yahoo\.com$/, target: /\/RU=([^\/]+)\// },
    { name: "duckduckgo", host: /(^|\.)duckduckgo\.com$/, path: /^\/(html\/?)?$/, query: /[?&]q=[^&]/,
      redirect: /^\/l\/?$/, target: /[?&]uddg=([^&]+)/ },
    { name: "ask", host: /(^|\.)ask\.com$/, path: /^\/web/, query: /[?&]q=[^&]/ },
    { name: "aol", host: /(^|\.)search\.aol\.com$/, path: /^\/aol\/search/, query: /[?&]q=[^&]/ },
    { name: "baidu", host: /(^|\.)baidu\.com$/, path: /^\/s$/, query: /[?&]wd=[^&]/ },
    { name: "yandex", host: /(^|\.)yandex\.(ru|com|ua|by|kz|com\.tr)$/, path: /^\/search/, query: /[?&]text=[^&]/ },
    { name: "ecosia", host: /(^|\.)ecosia\.org$/, path: /^\/search/, query: /[?&]q=[^&]/ }
];

// Advertisements: links inside an element whose class or id marks it as an
// ad block, and links to the ad networks' click counters.
var AD_MARK = /(^|[\s_-])(ads?|tads|bottomads|sponsored|commercial)([\s_-]|$)/i;
var AD_HOSTS = /(^|\.)(googleadservices\.com|doubleclick\.net|googlesyndication\.com)$/;
var AD_ANCESTORS = 12;

function crack(url) {
    var match = /^(https?):\/\/([^\/?#:@]+)(:\d+)?([^?#]*)(.*)$/i.exec(String(url));
    if (!match)
        return null;
    var path = match[4] === "" ? "/" : match[4];
    return { scheme: match[1].toLowerCase(), host: match[2].toLowerCase(), path: path, rest: match[5] };
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

// Takes the badges and highlights off whatever was annotated before, and
// forgets a question still on its way.
function reset() {
    generation++;
    // A question still on its way is left alone: the system's request
    // object can crash when aborted or re-pointed while its answer is being
    // delivered. Its answer still comes and is dropped by the generation.
    pendingRequest = null;
    for (var i = 0; i < annotatedLinks.length; i++) {
        var entry = annotatedLinks[i];
        try {
            if (entry.badge && entry.badge.parentNode)
                entry.badge.parentNode.removeChild(entry.badge);
            if (entry.highlighted)
                entry.link.style.backgroundColor = entry.oldBackground;
        } catch (e) {
        }
    }
    annotatedLinks = [];
    return true;
}

function emptyHandler() {
}

function set_highlite(flag) {
    highlight = flag ? true : false;
    return true;
}

function set_icons(flag) {
    showIcons = flag ? true : false;
    return true;
}

function sameSite(host, other) {
    if (host === other)
        return true;
    var a = host.split("."), b = other.split(".");
    // The last two labels stand for the site; the engine's own links stay bare.
    return a.length >= 2 && b.length >= 2 &&
           a[a.length - 1] === b[b.length - 1] && a[a.length - 2] === b[b.length - 2];
}

function decode(text) {
    try {
        return decodeURIComponent(text.replace(/\+/g, " "));
    } catch (e) {
        return "";
    }
}

// The address a result link leads to: the link itself, or the address the
// engine's redirect link carries.
function destinationOf(href, engine) {
    var parts = crack(href);
    if (!parts || !engine.target)
        return href;
    var wrapped = (engine.redirect && engine.host.test(parts.host) && engine.redirect.test(parts.path)) ||
                  (engine.redirectHost && engine.redirectHost.test(parts.host));
    if (!wrapped)
        return href;
    var match = engine.target.exec(parts.path + parts.rest);
    return match ? decode(match[1]) : "";
}

function isInAdBlock(link) {
    var node = link;
    for (var depth = 0; node && depth < AD_ANCESTORS; depth++) {
        try {
            if (AD_MARK.test(String(node.className || "")) || AD_MARK.test(String(node.id || "")))
                return true;
            node = node.parentNode;
        } catch (e) {
            return false;
        }
    }
    return false;
}

function isBadge(link) {
    try {
        return String(link.className || "") === BADGE_CLASS;
    } catch (e) {
        return false;
    }
}

// The page's result links with the site each leads to: links that leave the
// search engine, not advertisements and not the engine's own pages.
function resultLinks(document, engine, pageHost) {
    var results = [];
    var links = document.links;
    var count = links.length;
    for (var i = 0; i < count; i++) {
        var link = links.item(i);
        if (!link || isBadge(link))
            continue;
        var parts = crack(destinationOf(String(link.href), engine));
        if (!parts || sameSite(parts.host, pageHost) || AD_HOSTS.test(parts.host) || isInAdBlock(link))
            continue;
        results[results.length] = { link: link, host: parts.host, address: parts.scheme + "://" + parts.host + "/" };
    }
    return results;
}

// The browser's XML HTTP object.
function newRequest() {
    var names = ["Msxml2.XMLHTTP", "Microsoft.XMLHTTP"];
    for (var i = 0; i < names.length; i++) {
        try {
            return new ActiveXObject(names[i]);
        } catch (e) {
        }
    }
    return null;
}

// "file:///C:/Program%20Files/Quillon/Scripts/" for the folder of the icons.
function folderUrl(folder) {
    var path = String(folder).replace(/\\/g, "/");
    if (path !== "" && path.charAt(path.length - 1) !== "/")
        path += "/";
    return "file:///" + path.replace(/ /g, "%20").replace(/#/g, "%23");
}

function mark(document, result, verdict, colour, iconBase) {
    var look = COLOURS[colour];
    if (!look)
        return false;
    var link = result.link;
    var entry = { link: link, badge: null, highlighted: false, oldBackground: "" };
    if (showIcons) {
        var badge = document.createElement("img");
        badge.className = BADGE_CLASS;
        badge.src = iconBase + look.icon;
        badge.alt = badge.title = "Quillon: " + result.host + ": " + (VERDICT_TEXTS[verdict] || "not rated");
        badge.width = 16;
        badge.height = 16;
        badge.border = 0;
        badge.style.marginLeft = "4px";
        badge.style.verticalAlign = "middle";
        link.parentNode.insertBefore(badge, link.nextSibling);
        entry.badge = badge;
    }
    if (highlight && look.highlight !== "") {
        entry.oldBackground = link.style.backgroundColor;
        link.style.backgroundColor = look.highlight;
        entry.highlighted = true;
    }
    annotatedLinks[annotatedLinks.length] = entry;
    return true;
}

// Applies the service's answer, one line per site asked, to the results.
function applyRatings(document, results, sites, text, iconBase) {
    var lines = String(text).split("\n");
    var ratingOf = {};
    for (var i = 0; i < sites.length && i < lines.length; i++) {
        var fields = lines[i].replace(/\r$/, "").split(" ");
        if (fields.length >= 2 && fields[0] !== "NONE")
            ratingOf[sites[i]] = { verdict: fields[0], colour: fields[1] };
    }
    var marked = 0;
    for (var j = 0; j < results.length; j++) {
        var rating = ratingOf[results[j].address];
        try {
            if (rating && mark(document, results[j], rating.verdict, rating.colour, iconBase))
                marked++;
        } catch (e) {
        }
    }
    return marked;
}

// Asks the service about the results of the page shown in browser and marks
// them when the answer comes. scriptsFolder ends with a backslash and holds
// the badge icons; dssServer is the address of the rating service's HTTP
// side. Returns the number of result links asked about (0 when the page is
// no results page or there is nothing to ask or nobody to ask).
function save_me(browser, scriptsFolder, dssServer) {
    var document = browser.Document;
    var pageUrl = "";
    try {
        pageUrl = document.URL;
    } catch (e) {
        pageUrl = browser.LocationURL;
    }
    var engine = engineOf(pageUrl);
    if (!engine || !dssServer)
        return 0;
    var results = resultLinks(document, engine, crack(pageUrl).host);
    var sites = [];
    var seen = {};
    for (var i = 0; i < results.length && sites.length < MAX_ADDRESSES; i++) {
        if (!seen.hasOwnProperty(results[i].address)) {
            seen[results[i].address] = true;
            sites[sites.length] = results[i].address;
        }
    }
    if (sites.length === 0)
        return 0;
    var request = newRequest();
    if (!request)
        return 0;
    var asked = generation;
    var iconBase = folderUrl(scriptsFolder);
    request.onreadystatechange = function () {
        if (request.readyState !== 4)
            return;
        // Breaks the cycle between the request and this function.
        request.onreadystatechange = emptyHandler;
        if (pendingRequest === request)
            pendingRequest = null;
        if (asked !== generation || request.status !== 200)
            return;
        applyRatings(document, results, sites, request.responseText, iconBase);
    };
    try {
        request.open("POST", String(dssServer), true);
        request.setRequestHeader("Content-Type", "text/plain");
        pendingRequest = request;
        request.send(sites.join("\n") + "\n");
    } catch (e) {
        pendingRequest = null;
        return 0;
    }
    return results.length;
}
