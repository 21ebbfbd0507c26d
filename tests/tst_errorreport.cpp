#include "VarnelApplication.h"
#include "shell/VarnelError.h"

#include <QTest>
#include <QTimer>

// An error raised in a handler is reported once and the event loop goes on.
class TestErrorReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void errorsAreReported()
    {
        auto *app = static_cast<TVarnelApplication *>(QCoreApplication::instance());
        QStringList reported;
        app->ReportError = [&reported](const QString &text) { reported << text; };
        QTimer::singleShot(
            0, this, [] { throw EVarnelError(QStringLiteral("The library database is not connected")); });
        bool later = false;
        QTimer::singleShot(10, this, [&later] { later = true; });
        QTRY_VERIFY(later);
        QCOMPARE(reported, QStringList {QStringLiteral("The library database is not connected")});
    }
};

int main(int argc, char *argv[])
{
    TVarnelApplication app(argc, argv);
    TestErrorReport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_errorreport.moc"
