#include "VarnelApplication.h"

#include "shell/VarnelError.h"

#include <QMessageBox>

TVarnelApplication::TVarnelApplication(int &argc, char **argv)
    : QApplication(argc, argv)
    , ReportError([](const QString &text) { QMessageBox::critical(activeWindow(), QStringLiteral("Varnel"), text); })
{ }

bool TVarnelApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const EVarnelError &error) {
        ReportError(error.Message());
    } catch (const std::exception &error) {
        ReportError(QString::fromLocal8Bit(error.what()));
    }
    return false;
}
