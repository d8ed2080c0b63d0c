function IsInterestingForm(form) {
    var html = String(form.innerHTML).toLowerCase();
    if (html.indexOf("e-mail") >= 0 || html.indexOf("email") >= 0)
        return 1;
    if (html.indexOf("card") >= 0)
        return 2;
    return 0;
}
