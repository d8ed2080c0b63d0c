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

// What the add-on pushed, per document: the start-up values (no browser
// object) and one record per page or frame, keyed by its browser object.
var globalValues = {};
var documents = [];
var lastReason = "";
var sawPasswordForm = false;
var sawPaymentForm = false;

// Brands that phishing pages impersonate most, with the domains they really
// use. A brand name inside a host whose registered domain is none of these is
// the commonest trick: "paypal.com.account-verify.example".
var BRANDS = [
    { name: "paypal", domains: ["paypal.com", "paypal.me", "paypalobjects.com"] },
    { name: "ebay", domains: ["ebay.com", "ebay.co.uk", "ebay.de", "ebay.fr", "ebay.it", "ebay.es", "ebay.ca", "ebay.com.au", "ebayimg.com"] },
    { name: "amazon", domains: ["amazon.com", "amazon.co.uk", "amazon.de", "amazon.fr", "amazon.it", "amazon.es", "amazon.ca", "amazon.co.jp", "amazon.com.au", "amazonaws.com"] },
    { name: "apple", domains: ["apple.com", "icloud.com"] },
    { name: "icloud", domains: ["icloud.com", "apple.com"] },
    { name: "microsoft", domains: ["microsoft.com", "live.com", "msn.com", "office.com", "outlook.com"] },
    { name: "outlook", domains: ["outlook.com", "live.com", "microsoft.com", "office.com"] },
    { name: "hotmail", domains: ["hotmail.com", "live.com", "outlook.com"] },
    { name: "google", domains: ["google.com", "google.co.uk", "google.de", "google.fr", "googleusercontent.com", "gmail.com", "youtube.com"] },
    { name: "gmail", domains: ["gmail.com", "google.com"] },
    { name: "yahoo", domains: ["yahoo.com", "yahoo.co.uk", "yahoo.co.jp", "yimg.com"] },
    { name: "facebook", domains: ["facebook.com", "fb.com", "fbcdn.net"] },
    { name: "netflix", domains: ["netflix.com"] },
    { name: "bankofamerica", domains: ["bankofamerica.com"] },
    { name: "wellsfargo", domains: ["wellsfargo.com"] },
    { name: "chase", domains: ["chase.com", "jpmorganchase.com"] },
    { name: "citibank", domains: ["citibank.com", "citi.com"] },
    { name: "hsbc", domains: ["hsbc.com", "hsbc.co.uk"] },
    { name: "barclays", domains: ["barclays.com", "barclays.co.uk"] },
    { name: "lloydsbank", domains: ["lloydsbank.com", "lloydsbank.co.uk"] },
    { name: "natwest", domains: ["natwest.com"] },
    { name: "americanexpress", domains: ["americanexpress.com"] },
    { name: "mastercard", domains: ["mastercard.com"] },
    { name: "westernunion", domains: ["westernunion.com"] },
    { name: "dhl", domains: ["dhl.com", "dhl.de"] },
    { name: "fedex", domains: ["fedex.com"] },
    { name: "steam", domains: ["steampowered.com", "steamcommunity.com"] },
    { name: "dropbox", domains: ["dropbox.com"] },
    { name: "docusign", domains: ["docusign.com", "docusign.net"] },
    { name: "linkedin", domains: ["linkedin.com"] },
    { name: "instagram", domains: ["instagram.com"] },
    { name: "twitter", domains: ["twitter.com", "x.com"] }
];

// Second-level labels under which a registered domain has three labels
// ("bank.co.uk"), so that "co.uk" is never taken for someone's domain.
var GENERIC_SECOND_LEVELS = ["co", "com", "net", "org", "gov", "ac", "edu", "ne", "or", "go", "gv", "ltd", "plc"];

// Words that pages fishing for logins put into their addresses.
var LURE_WORDS = /(login|logon|signin|sign-in|verify|verification|account|update|secure|security|banking|confirm|password|webscr|unlock|suspend)/;

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
    var colon = authority.lastIndexOf(":");
    if (colon >= 0 && authority.charAt(0) !== "[") {
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

// Whether a host names a brand: as a label or a dash-separated word
// ("ebay-login"), spelled across words ("bank-of-america"), or, for names
// long enough not to occur inside ordinary words, glued to another word
// ("paypalsecure"). "purchase" does not name "chase".
function hostNamesBrand(words, brand) {
    for (var i = 0; i < words.length; i++) {
        if (words[i] === brand)
            return true;
        if (brand.length >= 6 && words[i].length > brand.length &&
            (words[i].indexOf(brand) === 0 || words[i].lastIndexOf(brand) === words[i].length - brand.length))
            return true;
        var joined = words[i];
        for (var j = i + 1; j < words.length && joined.length < brand.length; j++) {
            joined += words[j];
            if (joined === brand)
                return true;
        }
    }
    return false;
}

function impersonatedBrand(host) {
    var domain = registeredDomain(host);
    var words = host.split(/[.\-_]/);
    for (var i = 0; i < BRANDS.length; i++) {
        var brand = BRANDS[i];
        if (hostNamesBrand(words, brand.name) && !contains(brand.domains, domain))
            return brand.name;
    }
    return "";
}

// --- Dates ------------------------------------------------------------------

// "03/05/2006" (month/day/year), as the add-on pushes "current_date".
function parseCurrentDate(text) {
    var match = /^(\d{1,2})\/(\d{1,2})\/(\d{4})$/.exec(String(text));
    return match ? new Date(Number(match[3]), Number(match[1]) - 1, Number(match[2])) : null;
}

// "05-Mar-2006", as the add-on pushes "dss_whois_date".
function parseWhoisDate(text) {
    var match = /^(\d{1,2})-([A-Za-z]{3})-(\d{4})$/.exec(String(text));
    if (!match)
        return null;
    var month = MONTHS[match[2].toLowerCase()];
    return month === undefined ? null : new Date(Number(match[3]), month, Number(match[1]));
}

function domainAgeInDays(record) {
    var today = parseCurrentDate(valueOf(record, "current_date"));
    var created = parseWhoisDate(valueOf(record, "dss_whois_date"));
    if (!today || !created)
        return -1;
    return Math.floor((today.getTime() - created.getTime()) / 86400000);
}

// --- The phishing rules --------------------------------------------------------

// Judges one page or frame: { category, reason }. Strong signs alone make a
// page phishing; weaker ones count only together.
function judge(record) {
    var url = valueOf(record, "URL_final");
    if (url === undefined || url === "")
        url = valueOf(record, "URL");
    if (url === undefined || url === "")
        return { category: CATEGORY_NONE, reason: "" };
    var parts = crackUrl(url);
    if (parts.scheme !== "http" && parts.scheme !== "https")
        return { category: CATEGORY_NONE, reason: "" };
    var address = lower(url);
    var lure = LURE_WORDS.test(address);

    // A name before "@" is what the user reads; the host after it is where
    // the browser goes. Honest sites never send people to such addresses.
    if (parts.userinfo !== "" && /[a-z]/.test(parts.userinfo.toLowerCase()))
        return { category: CATEGORY_PHISHING,
                 reason: "The address hides the real site behind the name \"" + parts.userinfo + "\"." };

    // Bank and shop pages are not served from bare addresses; pages that
    // ask for a login there are set up to avoid owning a domain.
    if (isNumericHost(parts.host) && (lure || sawPasswordForm))
        return { category: CATEGORY_PHISHING,
                 reason: "This page asks you to sign in but has no real site name, only a numeric address." };

    // A brand in the host of a domain the brand does not own.
    var brand = impersonatedBrand(parts.host);
    if (brand !== "")
        return { category: CATEGORY_PHISHING,
                 reason: "This site uses the name \"" + brand + "\" but does not belong to it." };

    var weak = [];
    var age = domainAgeInDays(record);
    // Freshly registered domains are where throw-away scam sites live.
    if (age >= 0 && age <= YOUNG_DOMAIN_DAYS)
        weak[weak.length] = "its domain was registered only " + age + " day" + (age === 1 ? "" : "s") + " ago";
    // Anyone can put a page on hosting for user content, under a trusted name.
    if (lower(valueOf(record, "dss_user_content")) === "true")
        weak[weak.length] = "it is hosted among pages that any user can publish";
    // Home connections with changing addresses are where hijacked PCs serve pages.
    if (lower(valueOf(record, "dss_dynamic_ip")) === "true")
        weak[weak.length] = "it is served from a dynamic address";
    // Look-alike international names imitate other sites letter for letter.
    if (/(^|\.)xn--/.test(parts.host))
        weak[weak.length] = "its name uses look-alike international letters";
    if (isNumericHost(parts.host))
        weak[weak.length] = "it has no site name, only a numeric address";
    if (lure)
        weak[weak.length] = "its address uses words that fish for logins";

    var asksForData = sawPasswordForm || sawPaymentForm;
    if (weak.length >= 2 && asksForData) {
        var kind = sawPaymentForm ? CATEGORY_FRAUD : CATEGORY_PHISHING;
        return { category: kind,
                 reason: "This page asks for " + (sawPaymentForm ? "payment details" : "your password") +
                         ", and " + weak.join(", and ") + "." };
    }
    if (weak.length >= 3)
        return { category: CATEGORY_FRAUD, reason: "Be careful: " + weak.join(", ") + "." };
    return { category: CATEGORY_NONE, reason: "" };
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
var PERSONAL_FIELD = /(ssn|social|birth|dob|phone|mobile|surname|lastname|last-name|firstname|first-name|fullname|address|zip|postcode|postal|passport|mother)/;
var SEARCH_FIELD = /^(q|p|query|search|searchterm|keywords?|s|text|wd)$/;

// 2 when the form wants payment data, 1 when it wants an e-mail address, a
// password or other personal data, 0 otherwise (a search box, a newsletter
// with no fields, ...). Decided from the input elements' type, name and id.
function IsInterestingForm(form) {
    var elements = formElements(form);
    var hasCardNumber = false, hasExpiry = false, hasCardCode = false;
    var hasEmail = false, hasPassword = false, personalCount = 0;
    for (var i = 0; i < elements.length; i++) {
        var element = elements[i];
        var type = elementText(element, "type");
        if (type === "hidden" || type === "submit" || type === "button" || type === "image" || type === "reset")
            continue;
        var label = elementText(element, "name") + " " + elementText(element, "id");
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
        if (PERSONAL_FIELD.test(label) && !SEARCH_FIELD.test(elementText(element, "name")))
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
