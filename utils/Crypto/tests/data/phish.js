// Page checks: a category for pages that look like phishing.
var gData = {};

function SendData(name, value, browser, isTop) {
    gData[name] = value;
    return 0;
}

function IsPhishingPage(doc) {
    if (!doc || !doc.forms)
        return 0;
    for (var i = 0; i < doc.forms.length; i++) {
        var action = String(doc.forms[i].action || "");
        if (action.indexOf("http:") == 0 && doc.forms[i].innerHTML.indexOf("password") >= 0)
            return 3;
    }
    return 0;
}
