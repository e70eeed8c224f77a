#pragma once
// The windows that only one may show at a time (a second request while one is up is refused or
// goes to the open one) keep a pointer to the open one. A TOpenWindow marks it for the length of
// its showing, however the showing ends.

template <class Form>
class TOpenWindow {
public:
    TOpenWindow(Form*& openOne, Form& form) : OpenOne(openOne) { OpenOne = &form; }
    ~TOpenWindow() { OpenOne = nullptr; }
    TOpenWindow(const TOpenWindow&) = delete;
    TOpenWindow& operator=(const TOpenWindow&) = delete;

private:
    Form*& OpenOne;
};
