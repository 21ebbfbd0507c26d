#pragma once

#include <QString>

// The progress popup of long operations: a small borderless window centred on the main window, with an image
// and one line of text, kept above the other windows and painted at once on every change.
void ShowInfoPopup(const QString &text);
void SetInfoPopupText(const QString &text);
void HideInfoPopup();
// The popup's text while it is shown; empty when there is none.
QString InfoPopupText();

// Shows the popup for the lifetime of a scope, so that it also goes away when the operation fails.
class TInfoPopupScope final
{
public:
    explicit TInfoPopupScope(const QString &text) { ShowInfoPopup(text); }
    ~TInfoPopupScope() { HideInfoPopup(); }
    TInfoPopupScope(const TInfoPopupScope &) = delete;
    TInfoPopupScope &operator=(const TInfoPopupScope &) = delete;
};

// The busy cursor for the lifetime of a scope; nested ones restore the cursor when the outermost one ends.
class TCursorSaver final
{
public:
    TCursorSaver();
    ~TCursorSaver();
    TCursorSaver(const TCursorSaver &) = delete;
    TCursorSaver &operator=(const TCursorSaver &) = delete;
};
