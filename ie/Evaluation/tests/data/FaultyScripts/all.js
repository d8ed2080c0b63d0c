// Page scripts whose data pushes fail for some names, to show that a failed
// push never stops a page from being rated. They flag every page as fraud
// with a category given as text and give no reasoning.
var seen = [];

function OnLoad() {
}

function Reset() {
    seen = [];
}

function SendData(browser, isTop, name, value) {
    if (name === "URL" || name === "URL_final" || name === "dss_code")
        throw new Error("refused " + name);
    seen[seen.length] = name;
}

function GetCategory() {
    return "2";
}

function GetReasoning() {
    return "";
}

function IsInterestingForm(form) {
    return 1;
}
