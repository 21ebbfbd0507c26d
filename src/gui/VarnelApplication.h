#pragma once

#include <QApplication>

#include <functional>

// The desktop program's application object: an error raised inside any command or event handler reaches one
// report (a message with its text) and the program goes on, instead of ending the process.
class TVarnelApplication final : public QApplication
{
public:
    TVarnelApplication(int &argc, char **argv);

    // Shows an error's text; by default a message box.
    std::function<void(const QString &text)> ReportError;

    bool notify(QObject *receiver, QEvent *event) override;
};
