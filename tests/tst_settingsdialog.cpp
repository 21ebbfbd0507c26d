#include "RecordingPrompts.h"
#include "SettingsDialog.h"
#include "shell/Config.h"
#include "shell/Options.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

// The settings dialog on a real settings file.
class TestSettingsDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;
    std::unique_ptr<TConfig> FConfig;
    TRecordingPrompts FPrompts;

private Q_SLOTS:
    void init()
    {
        FConfig
            = std::make_unique<TConfig>(FDir.filePath(QStringLiteral("prog")), FDir.filePath(QStringLiteral("data")));
        FPrompts.Shown.clear();
    }

    // Leaving a number field keeps its digits within the field's range.
    void numberFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("port above") << QStringLiteral("edProxyPort") << QStringLiteral("70000")
                                    << QStringLiteral("65535");
        QTest::newRow("port in range") << QStringLiteral("edProxyPort") << QStringLiteral("8080")
                                       << QStringLiteral("8080");
        QTest::newRow("time-out below") << QStringLiteral("edTimeOut") << QStringLiteral("500")
                                        << QStringLiteral("1000");
        QTest::newRow("time-out above") << QStringLiteral("edReadTimeOut") << QStringLiteral("250000")
                                        << QStringLiteral("100000");
        QTest::newRow("letters dropped") << QStringLiteral("edTimeOut") << QStringLiteral("5a000")
                                         << QStringLiteral("5000");
        QTest::newRow("emptied port") << QStringLiteral("edProxyPort") << QString() << QStringLiteral("0");
    }

    void numberFields()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        TfrmSettings settings(*FConfig, FPrompts);
        QLineEdit *edit = settings.Field(field);
        edit->setText(typed);
        settings.CheckNumValue(edit);
        QCOMPARE(edit->text(), kept);
    }

    // What is shown is what is stored; saving writes it back, splits the viewer program into folder and name,
    // and tells about a new database file once.
    void loadAndSave()
    {
        TViewerOptions &viewer = FConfig->GetOptions<TViewerOptions>();
        viewer.SetPath(QStringLiteral("/opt/viewer/"));
        viewer.SetExeName(QStringLiteral("reader"));
        TfrmSettings settings(*FConfig, FPrompts);
        settings.LoadSetting();
        const QString library = FConfig->GetOptions<TPathOptions>().LibraryPath();
        QVERIFY(library.endsWith(u'/'));
        QCOMPARE(settings.CollectionRoot()->Path(), library);
        QCOMPARE(settings.ViewerPath()->FileName(), QStringLiteral("/opt/viewer/reader"));

        settings.UseIESettings()->setChecked(true);
        QVERIFY(!settings.Field(QStringLiteral("edProxyServer"))->isEnabled());
        QVERIFY(!settings.Field(QStringLiteral("edProxyPassword"))->isEnabled());
        settings.UseIESettings()->setChecked(false);
        QVERIFY(settings.Field(QStringLiteral("edProxyPort"))->isEnabled());

        settings.SaveSettings();
        QVERIFY(FPrompts.Shown.isEmpty()); // the database file did not change
        QCOMPARE(FConfig->GetOptions<TPathOptions>().LibraryPath(), library);

        settings.ViewerPath()->SetFileName(QStringLiteral("/usr/local/bin/okular"));
        settings.Field(QStringLiteral("edProxyServer"))->setText(QStringLiteral("proxy.lan"));
        settings.Field(QStringLiteral("edProxyPort"))->setText(QStringLiteral("3128"));
        settings.Field(QStringLiteral("edProxyPassword"))->setText(QStringLiteral("s%PATH%cret"));
        settings.Field(QStringLiteral("edReadTimeOut"))->setText(QStringLiteral("45000"));
        FPrompts.SetNextFileName(FDir.filePath(QStringLiteral("other.gdb")));
        settings.DBFile()->Browse();
        QCOMPARE(settings.DBFile()->FileName(), FDir.filePath(QStringLiteral("other.gdb")));
        settings.SaveSettings();
        QCOMPARE(FPrompts.Messages(),
            QStringList {
                QStringLiteral("You changed path to DB File. Please, restart the progtam to changes take effect")});
        QCOMPARE(viewer.ExeName(), QStringLiteral("okular"));
        QCOMPARE(viewer.Path(), QStringLiteral("/usr/local/bin/"));
        const TProxyOptions &proxy = FConfig->GetOptions<TProxyOptions>();
        QCOMPARE(proxy.Proxy(), QStringLiteral("proxy.lan"));
        QCOMPARE(proxy.Port(), 3128);
        QCOMPARE(proxy.Pass(), QStringLiteral("s%PATH%cret"));
        QCOMPARE(proxy.ReadTimeOut(), 45000);
        settings.SaveSettings();
        QCOMPARE(FPrompts.Messages().size(), 1); // once per change

        // The help topic follows the page shown.
        settings.Sections()->setCurrentRow(1);
        QCOMPARE(settings.HelpContext(), 133);
        settings.Sections()->setCurrentRow(2);
        QCOMPARE(settings.HelpContext(), 144);
    }

    // The folder browser: a choice replaces the folder, cancelling keeps it.
    void folderSelector()
    {
        TVarnelFolderSelector selector(QStringLiteral("Collection Root Folder"), FPrompts);
        selector.SetPath(QStringLiteral("/home/user/Library/"));
        FPrompts.FileNames.enqueue(QStringList {});
        selector.Browse();
        QCOMPARE(selector.Path(), QStringLiteral("/home/user/Library/"));
        FPrompts.SetNextFileName(QStringLiteral("/data/papers"));
        selector.Browse();
        QCOMPARE(selector.Path(), QStringLiteral("/data/papers"));
        QCOMPARE(FPrompts.Shown.first().Caption, QStringLiteral("Select Folder"));
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
