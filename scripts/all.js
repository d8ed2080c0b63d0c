// Page scripts: one engine per top-level page. The add-on pushes what it
// knows about the page and its frames through SendData, asks GetCategory and
// GetReasoning whether the page looks like phishing or fraud, and asks
// IsInterestingForm which forms want personal or payment data.
//
// Written for the classic JScript engine: ECMAScript 3 only (no JSON, no
// Array.prototype.indexOf, no String.prototype.trim, no let/const).

var CATEGORY_NONE = 0;
var CATEGORY_PHISHING = 1;
var CATEGORY_FRAUD = 2;

var FORM_UNINTERESTING = 0;
var FORM_EMAIL = 1;
var FORM_COMMERCE = 2;

// Days a domain counts as freshly registered: phishing sites are used for a
// few days and thrown away, long before honest sites collect any history.
var YOUNG_DOMAIN_DAYS = 30;
// Days within which a domain that hides a brand's name in a longer word and
// fishes for logins counts as made for the purpose: such names are bought
// shortly before a campaign, while a brand's own second domains and honest
// look-alike businesses have years of history.
var RECENT_DOMAIN_DAYS = 180;
// Days after which a registered name that contains a brand, with no login
// word in it, is taken for the brand's own or an honest business.
var ESTABLISHED_DOMAIN_DAYS = 730;

// What the add-on pushed, per document: the start-up values (no browser
// object) and one record per page or frame, keyed by its browser object.
var globalValues = {};
var documents = [];
var lastReason = "";
var sawPasswordForm = false;
var sawPaymentForm = false;

// Brands that phishing pages impersonate most, each with every registered
// domain it really serves its own pages from. A brand's name in an address
// whose registered domain is none of these is the commonest trick
// ("paypal.com.account-verify.example"), so the list must hold the brand's
// sign-in and account domains too: companies often sign people in on a
// domain that is not their main name, and flagging those would teach people
// to ignore the warning.
//   names     words that name the brand in a host or a path
//   domains   registered domains the brand owns and serves its pages from
//   countries the brand also runs national sites: any of its names with a
//             country ending ("amazon.de", "google.com.au") is its own
//   bank      a bank or card company: its name on a bare numeric address
//             gives the page away even without a login word
//   ordinary  names that are also everyday words ("apple", "outlook"): on
//             their own they name a brand only beside a login word or form
//   innocent  everyday words that contain a name ("purchase" holds "chase")
var BRANDS = [
    { names: ["paypal"], countries: true,
      domains: ["paypal.com", "paypal.me", "paypalobjects.com", "paypal-community.com"] },
    { names: ["ebay"], countries: true,
      domains: ["ebay.com", "ebay.co.uk", "ebay.com.au", "ebayimg.com", "ebaystatic.com", "ebayinc.com"] },
    { names: ["amazon"], countries: true,
      domains: ["amazon.com", "amazon.co.uk", "amazon.co.jp", "amazon.com.au", "amazonaws.com",
                "media-amazon.com", "ssl-images-amazon.com", "amazontrust.com", "amazon-adsystem.com"] },
    { names: ["apple", "appleid", "icloud", "itunes"], ordinary: ["apple"], innocent: ["pineapple", "snapple"],
      domains: ["apple.com", "icloud.com", "icloud-content.com", "cdn-apple.com", "mzstatic.com", "itunes.com"] },
    { names: ["microsoft", "microsoftonline", "outlook", "hotmail", "office365", "onedrive"], countries: true,
      ordinary: ["outlook"],
      domains: ["microsoft.com", "microsoftonline.com", "microsoftonline-p.com", "microsoftazuread-sso.com",
                "microsoft365.com", "microsoftstore.com", "live.com", "live.net", "msn.com",
                "office.com", "office.net", "office365.com", "outlook.com", "hotmail.com", "msauth.net",
                "msftauth.net", "windows.net", "windows.com", "azure.com", "azurewebsites.net",
                "sharepoint.com", "onedrive.com", "skype.com", "xbox.com", "bing.com"] },
    { names: ["google", "gmail", "googlemail"], countries: true,
      domains: ["google.com", "google.co.uk", "googlemail.com", "gmail.com", "googleapis.com", "gstatic.com",
                "googleusercontent.com", "withgoogle.com", "youtube.com", "blogger.com", "blogspot.com",
                "appspot.com", "firebaseapp.com", "googlesyndication.com", "googletagmanager.com",
                "googletagservices.com", "google-analytics.com", "googleadservices.com", "googlevideo.com",
                "googlesource.com"] },
    { names: ["yahoo"], countries: true,
      domains: ["yahoo.com", "yahoo.net", "yahoo.co.uk", "yahoo.co.jp", "yimg.com", "yahoo-inc.com"] },
    { names: ["facebook"],
      domains: ["facebook.com", "facebook.net", "fb.com", "fbcdn.net", "facebookmail.com"] },
    { names: ["netflix"], domains: ["netflix.com", "netflix.net", "nflxext.com", "nflximg.net"] },
    { names: ["bankofamerica"], bank: true, domains: ["bankofamerica.com"] },
    { names: ["wellsfargo"], bank: true,
      domains: ["wellsfargo.com", "wellsfargo.net", "wellsfargoadvisors.com", "wf.com"] },
    { names: ["chase"], bank: true, ordinary: ["chase"], innocent: ["purchase", "steeplechase", "paperchase"],
      domains: ["chase.com", "chasecdn.com", "jpmorganchase.com", "jpmorgan.com"] },
    { names: ["citibank"], bank: true, countries: true,
      domains: ["citibank.com", "citi.com", "citibankonline.com"] },
    { names: ["hsbc"], bank: true, countries: true, domains: ["hsbc.com", "hsbc.co.uk", "hsbcnet.com"] },
    { names: ["barclays"], bank: true,
      domains: ["barclays.com", "barclays.co.uk", "barclaycard.co.uk"] },
    { names: ["lloydsbank"], bank: true,
      domains: ["lloydsbank.com", "lloydsbank.co.uk", "lloydsbankinggroup.com"] },
    { names: ["natwest"], bank: true, domains: ["natwest.com", "natwestgroup.com", "nwolb.com"] },
    { names: ["americanexpress"], bank: true, countries: true,
      domains: ["americanexpress.com", "aexp.com", "aexp-static.com"] },
    { names: ["mastercard"], bank: true, countries: true, domains: ["mastercard.com", "mastercard.us", "mastercardconnect.com"] },
    { names: ["westernunion"], countries: true, domains: ["westernunion.com", "wu.com"] },
    { names: ["dhl"], countries: true, domains: ["dhl.com", "dhl.de"] },
    { names: ["fedex"], countries: true, domains: ["fedex.com"] },
    { names: ["steam", "steampowered", "steamcommunity"], ordinary: ["steam"], innocent: ["steamship", "steamer"],
      domains: ["steampowered.com", "steamcommunity.com", "steamstatic.com"] },
    { names: ["dropbox"],
      domains: ["dropbox.com", "dropboxapi.com", "dropboxstatic.com", "dropboxusercontent.com"] },
    { names: ["docusign"], countries: true, domains: ["docusign.com", "docusign.net"] },
    { names: ["linkedin"], domains: ["linkedin.com", "licdn.com"] },
    { names: ["instagram"], domains: ["instagram.com", "cdninstagram.com"] },
    { names: ["twitter"], domains: ["twitter.com", "x.com", "twimg.com", "t.co"] }
];

// Hosts where anyone can publish pages under the host's trusted name: the
// brands' own storage, site builders and blogs. A brand's name there proves
// nothing about who wrote the page, even on the brand's own domain. Matched
// as the whole host or its ending; the service also reports such hosting as
// "dss_user_content".
var USER_CONTENT_HOSTS = ["googleusercontent.com", "blogspot.com", "sites.google.com", "docs.google.com",
                          "storage.googleapis.com", "firebasestorage.googleapis.com", "firebaseapp.com",
                          "appspot.com", "amazonaws.com", "dropboxusercontent.com", "azurewebsites.net",
                          "blob.core.windows.net", "web.core.windows.net", "sharepoint.com"];

// Country endings never taken for a brand's national site: those typed by
// mistake for ".com" and registered by squatters for that reason, and those
// given away free, where most names under a brand are phishing.
var SQUATTED_COUNTRY_ENDINGS = ["cm", "co", "om", "tk", "ml", "ga", "cf", "gq"];

// Second-level labels under which a registered domain has three labels
// ("bank.co.uk"), so that "co.uk" is never taken for someone's domain.
var GENERIC_SECOND_LEVELS = ["co", "com", "net", "org", "gov", "ac", "edu", "ne", "or", "go", "gv", "ltd", "plc"];

// Words that pages fishing for logins put into their addresses.
var LURE_WORDS = /(login|logon|signin|sign-in|verify|verification|account|update|secure|security|banking|confirm|password|webscr|unlock|suspend|billing|authenticat)/;

var MONTHS = { jan: 0, feb: 1, mar: 2, apr: 3, may: 4, jun: 5, jul: 6, aug: 7, sep: 8, oct: 9, nov: 10, dec: 11 };

function contains(list, value) {
    for (var i = 0; i < list.length; i++) {
        if (list[i] === value)
            return true;
    }
    return false;
}

function lower(value) {
    return value === null || value === undefined ? "" : String(value).toLowerCase();
}

// --- Start-up and data exchange --------------------------------------------

function OnLoad() {
    Reset();
}

function Reset() {
    globalValues = {};
    documents = [];
    lastReason = "";
    sawPasswordForm = false;
    sawPaymentForm = false;
}

function recordFor(browser, isTop) {
    for (var i = 0; i < documents.length; i++) {
        if (documents[i].browser === browser && documents[i].isTop === isTop)
            return documents[i];
    }
    var record = { browser: browser, isTop: isTop, values: {} };
    documents[documents.length] = record;
    return record;
}

// Called for every value the add-on pushes (flag: -1 true, 0 false).
function SendData(browser, isTop, name, value) {
    var top = isTop ? true : false;
    if (browser === null || browser === undefined) {
        globalValues[name] = value;
        return;
    }
    var record = recordFor(browser, top);
    // A new address starts a new page in this frame: forget the old facts.
    if (name === "URL")
        record.values = {};
    record.values[name] = value;
}

function valueOf(record, name) {
    if (record.values[name] !== undefined)
        return record.values[name];
    return globalValues[name];
}

// --- Addresses ----------------------------------------------------------------

// Splits an address into its parts; missing parts are empty strings.
function crackUrl(url) {
    var parts = { scheme: "", userinfo: "", host: "", port: "", path: "" };
    var text = String(url);
    var match = /^([a-zA-Z][a-zA-Z0-9+.\-]*):\/\/([^\/?#]*)(.*)$/.exec(text);
    if (!match)
        return parts;
    parts.scheme = match[1].toLowerCase();
    var authority = match[2];
    parts.path = match[3];
    var at = authority.lastIndexOf("@");
    if (at >= 0) {
        parts.userinfo = authority.substring(0, at);
        authority = authority.substring(at + 1);
    }
    // "[2001:db8::1]:8080": the port follows the closing bracket.
    var colon = authority.lastIndexOf(":");
    if (colon >= 0 && colon > authority.lastIndexOf("]")) {
        parts.port = authority.substring(colon + 1);
        authority = authority.substring(0, colon);
    }
    parts.host = authority.toLowerCase().replace(/\.$/, "");
    return parts;
}

// Dotted quads in decimal, octal or hex, a single 32-bit number, or an IPv6
// literal: browsers accept all of them, people cannot read them.
function isNumericHost(host) {
    if (host.charAt(0) === "[")
        return true;
    if (/^(0x[0-9a-f]+|[0-9]+)$/.test(host))
        return true;
    var labels = host.split(".");
    if (labels.length < 2 || labels.length > 4)
        return false;
    for (var i = 0; i < labels.length; i++) {
        if (!/^(0x[0-9a-f]+|[0-9]+)$/.test(labels[i]))
            return false;
    }
    return true;
}

// The registered domain of a host: its last two labels, or three under a
// generic second level ("shop.example.co.uk" gives "example.co.uk").
function registeredDomain(host) {
    var labels = host.split(".");
    if (labels.length <= 2)
        return host;
    var count = 2;
    var secondLevel = labels[labels.length - 2];
    if (labels[labels.length - 1].length === 2 && contains(GENERIC_SECOND_LEVELS, secondLevel))
        count = 3;
    return labels.slice(labels.length - count).join(".");
}

// The path of an address without its query and fragment, in lower case.
function pathOnly(path) {
    return lower(path).replace(/[?#].*$/, "");
}

// The words of a host or path: its labels, split again at dashes and other
// punctuation ("secure-ebay.example" gives "secure", "ebay", "example").
function wordsOf(text) {
    var words = lower(text).split(/[^a-z0-9]+/);
    var list = [];
    for (var i = 0; i < words.length; i++) {
        if (words[i] !== "")
            list[list.length] = words[i];
    }
    return list;
}

// Whether a host is one where anyone can publish: the host itself or one of
// its parent domains is in USER_CONTENT_HOSTS. Gives the hosting domain
// ("" when none).
function userContentHost(host) {
    for (var i = 0; i < USER_CONTENT_HOSTS.length; i++) {
        var hosting = USER_CONTENT_HOSTS[i];
        if (host === hosting)
            return hosting;
        var suffix = "." + hosting;
        if (host.length > suffix.length && host.lastIndexOf(suffix) === host.length - suffix.length)
            return hosting;
    }
    return "";
}

// Whether a registered domain is one of a brand's national sites: one of its
// names under a country ending, directly or below a generic second level
// ("amazon.de", "google.com.au"), except the endings squatters use for typos.
function isNationalSite(brand, domain) {
    if (!brand.countries)
        return false;
    var match = /^([a-z0-9\-]+)\.(?:([a-z]+)\.)?([a-z]{2})$/.exec(domain);
    if (!match || contains(SQUATTED_COUNTRY_ENDINGS, match[3]) || !contains(brand.names, match[1]))
        return false;
    return match[2] === undefined || match[2] === "" || contains(GENERIC_SECOND_LEVELS, match[2]);
}

function ownsDomain(brand, domain) {
    return contains(brand.domains, domain) || isNationalSite(brand, domain);
}

// The brand that owns a registered domain, or null.
function ownerOf(domain) {
    for (var i = 0; i < BRANDS.length; i++) {
        if (ownsDomain(BRANDS[i], domain))
            return BRANDS[i];
    }
    return null;
}

// Whether words name a brand outright: a word of its own ("ebay-login"), a
// name spelled across words ("bank-of-america"), or, for names long enough
// not to occur inside ordinary words and when glue is allowed, glued to the
// front or the back of another word ("paypalsecure"). "purchase" does not
// name "chase".
function wordsName(words, name, glue) {
    for (var i = 0; i < words.length; i++) {
        var word = words[i];
        if (word === name)
            return true;
        if (glue && name.length >= 6 && word.length > name.length &&
            (word.indexOf(name) === 0 || word.lastIndexOf(name) === word.length - name.length))
            return true;
        var joined = word;
        for (var j = i + 1; j < words.length && joined.length < name.length; j++) {
            joined += words[j];
            if (joined === name)
                return true;
        }
    }
    return false;
}

// Whether a name hides anywhere inside a longer word ("myebaysignin",
// "securechaseonline"). Weak on its own: short names occur by chance, so
// this counts only beside login words on a recently registered domain.
// Everyday words that contain the name do not count.
function wordsHide(words, name, innocent) {
    if (name.length < 4)
        return false;
    for (var i = 0; i < words.length; i++) {
        var word = words[i];
        if (word.length > name.length && word.indexOf(name) >= 0 && !(innocent && contains(innocent, word)))
            return true;
    }
    return false;
}

// Whether a host spells out one of the brand's real domains followed by
// more labels or words: "apple.com-support.example", "paypal.com.verify.example".
// Domains with names of one or two letters ("x.com") occur by chance.
function hostSpellsDomainOf(host, brand) {
    for (var i = 0; i < brand.domains.length; i++) {
        if (brand.domains[i].indexOf(".") < 3)
            continue;
        var at = host.indexOf(brand.domains[i]);
        if (at >= 0 && (at === 0 || host.charAt(at - 1) === ".")) {
            var next = host.charAt(at + brand.domains[i].length);
            if (next === "." || next === "-")
                return true;
        }
    }
    return false;
}

// The name of a brand named outright by words, or "". Names that are also
// everyday words count only when the caller allows them, and only as words
// of their own ("weatheroutlook" is no brand).
function brandNamedBy(words, everydayNames) {
    for (var i = 0; i < BRANDS.length; i++) {
        var brand = BRANDS[i];
        for (var j = 0; j < brand.names.length; j++) {
            var name = brand.names[j];
            var everyday = brand.ordinary ? contains(brand.ordinary, name) : false;
            if (everyday && !everydayNames)
                continue;
            if (wordsName(words, name, !everyday))
                return name;
        }
    }
    return "";
}

// How a host uses a brand that does not own it, or null: { name, hidden,
// ordinary }, hidden when the name only hides inside a longer word,
// ordinary when that name is also an everyday word.
//  - On a brand's own domain nothing is impersonated, unless the host is
//    user-content hosting: then only the part left of the hosting domain,
//    which the user chose, is examined.
//  - A registered name that merely contains a brand, has existed for years
//    and carries no login word is most likely the brand's own second domain
//    or an honest business; phishing names are registered shortly before
//    use and thrown away within weeks. Names in the labels left of the
//    registered domain ("paypalsecure.hacked-shop.example") still count,
//    since old domains do get broken into.
//  - A name that is also an everyday word ("steam-cleaning") counts on a
//    domain known to be older than RECENT_DOMAIN_DAYS only when the page
//    fishes for a login.
function hostImpersonation(host, age, fishing) {
    var everydayNames = fishing || age < 0 || age <= RECENT_DOMAIN_DAYS;
    var domain = registeredDomain(host);
    var hosting = userContentHost(host);
    var examined = host;
    if (hosting !== "")
        examined = host === hosting ? "" : host.substring(0, host.length - hosting.length - 1);
    else if (ownerOf(domain) !== null)
        return null;
    if (examined === "")
        return null;

    var words = wordsOf(examined);
    for (var i = 0; i < BRANDS.length; i++) {
        if (hostSpellsDomainOf(examined, BRANDS[i]))
            return { name: BRANDS[i].names[0], hidden: false, ordinary: false };
    }
    var name = brandNamedBy(words, everydayNames);
    if (name !== "") {
        if (hosting === "" && age > ESTABLISHED_DOMAIN_DAYS && !LURE_WORDS.test(domain.split(".")[0])) {
            var subdomain = examined.substring(0, Math.max(0, examined.length - domain.length));
            if (brandNamedBy(wordsOf(subdomain), everydayNames) === "")
                return null;
        }
        return { name: name, hidden: false, ordinary: false };
    }
    for (var k = 0; k < BRANDS.length; k++) {
        var brand = BRANDS[k];
        for (var n = 0; n < brand.names.length; n++) {
            if (wordsHide(words, brand.names[n], brand.innocent))
                return { name: brand.names[n], hidden: true,
                         ordinary: brand.ordinary ? contains(brand.ordinary, brand.names[n]) : false };
        }
    }
    return null;
}

// The brand whose sign-in page a path holds as a copy, or "": a folder
// named after the brand (give or take two characters: "bank-of-america"),
// then a page file whose name fishes for a login
// ("/paypal/signin.php", "/files/wellsfargo/online/login.htm"). Never on
// a brand's own domain (unless it is user-content hosting), and never
// below the folders where sites put their "sign in with" links
// ("/auth/google/login.php"), which honestly name the brand.
function copiedSignInPage(host, path) {
    if (userContentHost(host) === "" && ownerOf(registeredDomain(host)) !== null)
        return "";
    var segments = path.split("/");
    var page = segments[segments.length - 1];
    if (!/\.(s?html?|php\d?|aspx?|jsp|cgi|pl)$/.test(page) || !LURE_WORDS.test(page))
        return "";
    for (var i = 0; i < segments.length - 1; i++) {
        if (/^(o?auth\d*|sso|connect|social|login|signin|accounts?)$/.test(segments[i]))
            return "";
    }
    for (var j = 0; j < segments.length - 1; j++) {
        var named = brandNamedBy(wordsOf(segments[j]), true);
        if (named !== "" && segments[j].length <= named.length + 2)
            return named;
    }
    return "";
}

// Whether a path names a bank, either one in the table or any word with
// "bank" in it ("/mybank/", "/onlinebanking/").
function pathNamesBank(words) {
    for (var i = 0; i < words.length; i++) {
        if (words[i].indexOf("bank") >= 0)
            return true;
    }
    for (var j = 0; j < BRANDS.length; j++) {
        if (!BRANDS[j].bank)
            continue;
        for (var n = 0; n < BRANDS[j].names.length; n++) {
            if (wordsName(words, BRANDS[j].names[n], true))
                return true;
        }
    }
    return false;
}

// --- Dates ------------------------------------------------------------------

// "03/05/2006" (month/day/year), as the add-on pushes "current_date".
function parseCurrentDate(text) {
    var match = /^(\d{1,2})\/(\d{1,2})\/(\d{4})$/.exec(String(text));
    return match ? new Date(Number(match[3]), Number(match[1]) - 1, Number(match[2])) : null;
}

// "05-Mar-2006", as the add-on pushes "dss_whois_date", or the registry's
// own "2006-03-05" (time of day ignored) as "whois_created" may carry it.
function parseWhoisDate(text) {
    var value = String(text);
    var match = /^(\d{1,2})-([A-Za-z]{3})-(\d{4})$/.exec(value);
    if (match) {
        var month = MONTHS[match[2].toLowerCase()];
        return month === undefined ? null : new Date(Number(match[3]), month, Number(match[1]));
    }
    match = /^(\d{4})-(\d{2})-(\d{2})/.exec(value);
    return match ? new Date(Number(match[1]), Number(match[2]) - 1, Number(match[3])) : null;
}

// Days since the page's domain was registered, or -1 when unknown. Without a
// pushed date the machine's own date serves as today.
function domainAgeInDays(record) {
    var today = parseCurrentDate(valueOf(record, "current_date"));
    if (!today)
        today = new Date();
    var created = parseWhoisDate(valueOf(record, "dss_whois_date"));
    if (!created)
        created = parseWhoisDate(valueOf(record, "whois_created"));
    if (!created)
        return -1;
    return Math.floor((today.getTime() - created.getTime()) / 86400000);
}

// --- The phishing rules --------------------------------------------------------

function finding(category, reason) {
    return { category: category, reason: reason };
}

// Judges one page or frame: { category, reason }. Strong signs alone make a
// page phishing, in this order:
//  1. a name before "@" in the address;
//  2. a numeric host that fishes for a login, or names a brand or a bank in
//     its path;
//  3. user-content hosting whose path names a brand beside a login word or
//     form;
//  4. a brand named in the host of a domain it does not own (its table of
//     domains, its national sites), unless only the registered name of a
//     years-old domain without login words carries it;
//  5. a brand hidden inside a longer word of a domain registered within
//     RECENT_DOMAIN_DAYS, beside login words.
// Weaker signs (a young domain, user content, a dynamic or numeric address,
// an unusual port, look-alike letters, a hidden brand, login words) count
// only together: two beside a password or payment form, or three alone.
function judge(record) {
    var url = valueOf(record, "URL_final");
    if (url === undefined || url === "")
        url = valueOf(record, "URL");
    if (url === undefined || url === "")
        return finding(CATEGORY_NONE, "");
    var parts = crackUrl(url);
    if (parts.scheme !== "http" && parts.scheme !== "https")
        return finding(CATEGORY_NONE, "");
    var address = lower(url);
    var lure = LURE_WORDS.test(address);
    var fishing = lure || sawPasswordForm;
    var pathWords = wordsOf(pathOnly(parts.path));
    var numeric = isNumericHost(parts.host);
    var unusualPort = parts.port !== "" && parts.port !== "80" && parts.port !== "443";
    var age = domainAgeInDays(record);

    // A name before "@" is what the user reads; the host after it is where
    // the browser goes. Honest sites never send people to such addresses.
    if (parts.userinfo !== "" && /[a-z]/.test(parts.userinfo.toLowerCase()))
        return finding(CATEGORY_PHISHING, "The address hides the real site behind the name \"" + parts.userinfo + "\".");

    if (numeric) {
        // Bank and shop pages are not served from bare addresses; pages
        // that ask for a login there are set up to avoid owning a domain.
        if (fishing)
            return finding(CATEGORY_PHISHING,
                           "This page asks you to sign in but has no real site name, only a numeric address.");
        // A bank's or brand's name in the path of a bare address (often on
        // a hand-picked port, "http://192.0.2.1:8080/bank/") is a copied
        // site waiting for its victims: no bank serves from such addresses.
        var named = brandNamedBy(pathWords, false);
        if (named !== "" || pathNamesBank(pathWords))
            return finding(CATEGORY_PHISHING,
                           "This page uses " + (named !== "" ? "the name \"" + named + "\"" : "a bank's name") +
                           " but has no real site name, only a numeric address" +
                           (unusualPort ? " and an unusual port" : "") + ".");
    }

    // Pages that anyone can publish: a brand's name in the path beside a
    // login word or form is a sign-in page copied onto free hosting.
    var hosting = userContentHost(parts.host) !== "" || lower(valueOf(record, "dss_user_content")) === "true" ||
                  /^\/~[^\/]+\//.test(parts.path);
    if (hosting && fishing) {
        var copied = brandNamedBy(pathWords, true);
        if (copied !== "")
            return finding(CATEGORY_PHISHING,
                           "This page is published on hosting that anyone can use, but presents itself as \"" +
                           copied + "\".");
    }

    // A brand's sign-in page file kept in a folder named after the brand on
    // a site the brand does not own: how phishing kits unpack on broken-into
    // sites and free hosting the service does not know.
    var kit = copiedSignInPage(parts.host, pathOnly(parts.path));
    if (kit !== "")
        return finding(CATEGORY_PHISHING,
                       "This page is a copy of the sign-in page of \"" + kit + "\" kept on another site.");

    // A brand in the host of a domain the brand does not own.
    var impersonation = hostImpersonation(parts.host, age, fishing);
    if (impersonation !== null && !impersonation.hidden)
        return finding(CATEGORY_PHISHING,
                       "This site uses the name \"" + impersonation.name + "\" but does not belong to it.");
    // A name hidden in a longer word ("myebaysignin") of a domain registered
    // a few months ago, beside login words: honest businesses do not name
    // themselves after someone else's brand right before asking for logins.
    // Long names that are no everyday words ("mypaypalsecure") do not turn
    // up inside other words by chance and need no date, unless the domain
    // is known to be years old.
    var distinctive = impersonation !== null && impersonation.name.length >= 6 &&
                      !impersonation.ordinary && age <= ESTABLISHED_DOMAIN_DAYS;
    var recent = age >= 0 && age <= RECENT_DOMAIN_DAYS;
    if (impersonation !== null && lure && (recent || distinctive))
        return finding(CATEGORY_PHISHING,
                       "This " + (recent ? "recently registered " : "") + "site hides the name \"" +
                       impersonation.name + "\" in its address and asks you to sign in.");

    var weak = [];
    // Freshly registered domains are where throw-away scam sites live.
    if (age >= 0 && age <= YOUNG_DOMAIN_DAYS)
        weak[weak.length] = "its domain was registered only " + age + " day" + (age === 1 ? "" : "s") + " ago";
    // Anyone can put a page on hosting for user content, under a trusted name.
    if (hosting)
        weak[weak.length] = "it is hosted among pages that any user can publish";
    // Home connections with changing addresses are where hijacked PCs serve pages.
    if (lower(valueOf(record, "dss_dynamic_ip")) === "true")
        weak[weak.length] = "it is served from a dynamic address";
    // Look-alike international names imitate other sites letter for letter.
    if (/(^|\.)xn--/.test(parts.host))
        weak[weak.length] = "its name uses look-alike international letters";
    if (numeric)
        weak[weak.length] = "it has no site name, only a numeric address";
    // Honest sites serve on the standard ports; a hand-picked one often
    // means a program someone started on a machine they broke into.
    if (unusualPort)
        weak[weak.length] = "it is served on an unusual port";
    if (impersonation !== null)
        weak[weak.length] = "its address hides the name \"" + impersonation.name + "\" in another word";
    if (lure)
        weak[weak.length] = "its address uses words that fish for logins";

    var asksForData = sawPasswordForm || sawPaymentForm;
    if (weak.length >= 2 && asksForData) {
        var kind = sawPaymentForm ? CATEGORY_FRAUD : CATEGORY_PHISHING;
        return finding(kind, "This page asks for " + (sawPaymentForm ? "payment details" : "your password") +
                             ", and " + weak.join(", and ") + ".");
    }
    if (weak.length >= 3)
        return finding(CATEGORY_FRAUD, "Be careful: " + weak.join(", ") + ".");
    return finding(CATEGORY_NONE, "");
}

// 0 for an ordinary page, 1 for phishing, 2 for fraud. The top page and every
// frame are judged; the worst finding counts.
function GetCategory() {
    var worst = { category: CATEGORY_NONE, reason: "" };
    for (var i = 0; i < documents.length; i++) {
        var finding = judge(documents[i]);
        if (finding.category === CATEGORY_PHISHING ||
            (finding.category !== CATEGORY_NONE && worst.category === CATEGORY_NONE)) {
            worst = finding;
            if (finding.category === CATEGORY_PHISHING)
                break;
        }
    }
    lastReason = worst.reason;
    return worst.category;
}

function GetReasoning() {
    return lastReason;
}

// --- Forms ------------------------------------------------------------------------

function elementText(element, property) {
    try {
        return lower(element[property]);
    } catch (e) {
        return "";
    }
}

function formElements(form) {
    var list = [];
    var elements;
    try {
        elements = form.elements;
    } catch (e) {
        return list;
    }
    var count = 0;
    try {
        count = elements.length;
    } catch (e) {
        return list;
    }
    for (var i = 0; i < count; i++) {
        try {
            list[list.length] = elements.item(i);
        } catch (e) {
        }
    }
    return list;
}

var CARD_NUMBER = /(^|[^a-z])(cc|card|pan)([^a-z]|$)|card[\-_ ]?(num|no)|cc[\-_ ]?(num|no)|credit[\-_ ]?card/;
var CARD_EXPIRY = /(exp|valid[\-_ ]?thru)/;
var CARD_CODE = /(cvv|cvc|csc|security[\-_ ]?code|card[\-_ ]?code|verification[\-_ ]?(code|value))/;
var EMAIL_FIELD = /(e-?mail|mail)/;
// Fields that say who someone is or where exactly they live. Where someone
// roughly is (a postal code, a town: "address-level2" in autofill hints) is
// not among them: a lone postal-code box with a "go" button finds the
// nearest shop or the weather and asks nothing of the person, and a form
// that does want a person's details has fields from this list besides.
var PERSONAL_FIELD = /(ssn|social|birth|dob|phone|mobile|(^|[^a-z])tel([^a-z]|$)|surname|lastname|last-name|firstname|first-name|fullname|full-name|address(?!-level)|street|passport|mother)/;
var SEARCH_FIELD = /^(q|p|query|search|searchterm|keywords?|s|text|wd)$/;

// 2 when the form wants payment data, 1 when it wants an e-mail address, a
// password or other personal data, 0 otherwise (a search box, a postal-code
// box, a newsletter with no fields, ...). Decided from the input elements'
// type, name, id and autofill hint.
function IsInterestingForm(form) {
    var elements = formElements(form);
    var hasCardNumber = false, hasExpiry = false, hasCardCode = false;
    var hasEmail = false, hasPassword = false, personalCount = 0;
    for (var i = 0; i < elements.length; i++) {
        var element = elements[i];
        var type = elementText(element, "type");
        if (type === "hidden" || type === "submit" || type === "button" || type === "image" || type === "reset")
            continue;
        var label = elementText(element, "name") + " " + elementText(element, "id") + " " +
                    elementText(element, "autocomplete");
        if (type === "password")
            hasPassword = true;
        if (type === "email" || EMAIL_FIELD.test(label))
            hasEmail = true;
        if (CARD_NUMBER.test(label))
            hasCardNumber = true;
        if (CARD_EXPIRY.test(label))
            hasExpiry = true;
        if (CARD_CODE.test(label))
            hasCardCode = true;
        if (SEARCH_FIELD.test(elementText(element, "name")))
            continue;
        if (type === "tel" || PERSONAL_FIELD.test(label))
            personalCount++;
    }
    if (hasCardNumber || (hasExpiry && hasCardCode)) {
        sawPaymentForm = true;
        return FORM_COMMERCE;
    }
    if (hasPassword)
        sawPasswordForm = true;
    if (hasEmail || hasPassword || personalCount > 0)
        return FORM_EMAIL;
    return FORM_UNINTERESTING;
}
