#include "Commands.h"
#include "LibraryFixture.h"
#include "MainWindow.h"
#include "StylesManager.h"
#include "TemplateComposer.h"
#include "library/DataModule.h"
#include "shell/Config.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

// The template composer and the styles manager on a real library.
class TestStylesManager : public QObject, private TLibraryFixture
{
    Q_OBJECT

    TTemplates Styles()
    {
        TTemplates styles;
        FDm->GetTemplates(styles);
        return styles;
    }

    const TTemplateRecord *Style(const TTemplates &styles, const QString &title)
    {
        for (const auto &style : styles)
            if (style->Title == title)
                return style.get();
        return nullptr;
    }

    QTreeWidgetItem *Node(TfrmTemplate &manager, const QString &title)
    {
        const QList<QTreeWidgetItem *> found = manager.Tree()->findItems(title, Qt::MatchExactly | Qt::MatchRecursive);
        return found.value(0);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(OpenLibrary()); }

    // The insert buttons: an element replaces the selection, brackets and codes wrap it; one blank follows.
    void insertButtons_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("caret");
        QTest::newRow("bold around a selection")
            << QStringLiteral("x Ivanov y") << 2 << 6 << 20 << QStringLiteral("x \\b Ivanov\\b0  y") << 4;
        QTest::newRow("empty block") << QString() << 0 << 0 << 4 << QStringLiteral("[] ") << 1;
        QTest::newRow("element replaces")
            << QStringLiteral("a old b") << 2 << 3 << 7 << QStringLiteral("a %pt  b") << 5;
        QTest::newRow("strike") << QStringLiteral("t") << 0 << 1 << 22 << QStringLiteral("\\strike t\\strike0 ") << 7;
        QTest::newRow("authors at the end") << QStringLiteral("x") << 1 << 0 << 1 << QStringLiteral("x%fn ") << 4;
    }

    void insertButtons()
    {
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(int, tag);
        QFETCH(QString, result);
        QFETCH(int, caret);
        const TInsertion done = InsertElement(text, start, length, tag);
        QCOMPARE(done.Text, result);
        QCOMPARE(done.Caret, caret);
    }

    // The preview formats the demo paper; a book switches the demo container; invalid text says so; saving
    // validates.
    void composer()
    {
        TfrmCreateMask composer(FPrompts);
        composer.SetTemplate(QStringLiteral("%fn, %ja %jv [(%ji)] (%jy) %pe."));
        composer.Types()->setCurrentIndex(0);
        composer.Pages()->setCurrentIndex(1);
        QCOMPARE(
            composer.PreviewText(), QStringLiteral("[1] I. Ivanov, P. Petrov, App. Phys. Lett. 512 (1-2) (2012) 147."));
        composer.SetTemplate(QStringLiteral("\\b %pt\\b0"));
        composer.ParseTestTemplate();
        QCOMPARE(composer.PreviewText(), QStringLiteral("[1] New impressive results"));
        composer.Types()->setCurrentIndex(1); // Book
        composer.ParseTestTemplate();
        QCOMPARE(composer.Demo(QStringLiteral("Abbreviation"))->text(), QStringLiteral("AIP Publishing"));
        QCOMPARE(composer.Demo(QStringLiteral("City"))->text(), QStringLiteral("San-Diego"));
        QCOMPARE(composer.DemoLabel(QStringLiteral("Abbreviation"))->text(), QStringLiteral("Publisher"));
        composer.SetTemplate(QStringLiteral("[%jv]"));
        composer.ParseTestTemplate();
        QCOMPARE(composer.PreviewText(), QStringLiteral("Template error!"));

        composer.show();
        FPrompts.Shown.clear();
        composer.SaveMask();
        QCOMPARE(FPrompts.Messages(), QStringList {QStringLiteral("Wrong template format!")});
        QVERIFY(composer.isVisible());
        composer.SetTemplate(QStringLiteral("%pt, %jy."));
        composer.SaveMask();
        QCOMPARE(composer.result(), int(QDialog::Accepted));
    }

    // No style of the active title: nothing chosen, and "Ok" asks for one. A field of an unknown type reads
    // "Paper".
    void openingAndChoosing()
    {
        TTemplates styles = Styles();
        QVERIFY(!styles.empty());
        styles.front()->Fields.append({0, u'Q', QStringLiteral("%pt")});
        TfrmTemplate manager(*FDm, FPrompts);
        manager.FillList(styles, QStringLiteral("No such style"));
        QVERIFY(manager.LastTemplateTitle().isEmpty());
        QTreeWidgetItem *first = manager.Tree()->topLevelItem(0);
        QCOMPARE(first->child(first->childCount() - 1)->text(1), QStringLiteral("Paper"));
        manager.show();
        FPrompts.Shown.clear();
        manager.accept();
        QCOMPARE(FPrompts.Messages(), QStringList {QStringLiteral("Please select template!")});
        manager.Tree()->setCurrentItem(first->child(0));
        QCOMPARE(manager.LastTemplateTitle(), first->text(0));
    }

    // "&Help" opens the styles topic, the composer's "Help" the composer's.
    void helpTopics()
    {
        TfrmTemplate manager(*FDm, FPrompts);
        QList<int> shown;
        manager.SetShowHelp([&shown](int context) { shown << context; });
        for (QPushButton *button : manager.findChildren<QPushButton *>())
            if (button->text() == QStringLiteral("&Help") || button->text() == QStringLiteral("Help"))
                button->click();
        std::sort(shown.begin(), shown.end());
        QCOMPARE(shown, QList<int>({303, 304}));
    }

    // A deletion reaches the library at once, whatever the dialog's end; a new style saved with "Ok" is the
    // chosen one, fields and all.
    void deleteThenCancelAndAddThenOk()
    {
        TfrmTemplate manager(*FDm, FPrompts);
        manager.FillList(Styles(), QStringLiteral("Thin Solid Films"));
        QCOMPARE(manager.LastTemplateTitle(), QStringLiteral("Thin Solid Films"));
        QTreeWidgetItem *style = Node(manager, QStringLiteral("Thin Solid Films"));
        const int fields = style->childCount();
        QVERIFY(fields > 0);
        manager.Tree()->setCurrentItem(style->child(0));
        FPrompts.SetNextAnswer(true);
        manager.Delete();
        manager.reject();
        QCOMPARE(Style(Styles(), QStringLiteral("Thin Solid Films"))->Fields.size(), fields - 1);

        manager.FillList(Styles(), QStringLiteral("Thin Solid Films"));
        FPrompts.SetNextInput(QStringLiteral("My journal style"));
        manager.AddStyle();
        QCOMPARE(manager.LastTemplateTitle(), QStringLiteral("My journal style"));
        manager.RunComposer = [](TfrmCreateMask &composer) {
            composer.SetTemplate(QStringLiteral("%ln %pt (%jy)"));
            composer.Types()->setCurrentIndex(1);
            composer.SaveMask();
            return composer.result() == QDialog::Accepted;
        };
        manager.AddField();
        manager.show();
        manager.accept();
        const TTemplates saved = Styles();
        const TTemplateRecord *added = Style(saved, QStringLiteral("My journal style"));
        QVERIFY(added);
        QCOMPARE(added->NumFormat, QStringLiteral("[%d]"));
        QCOMPARE(added->Fields.size(), 1);
        QCOMPARE(added->Fields.front().TType, QChar(u'B'));
        QCOMPARE(added->Fields.front().Value, QStringLiteral("%ln %pt (%jy)"));
    }

    // Several styles changed: the window makes the chosen style active under its new title.
    void windowTakesTheChosenStyle()
    {
        TfrmMain window(*FConfig, *FDm, FPrompts);
        window.Start(true);
        window.RunStylesManager = [this](TfrmTemplate &manager) {
            QTreeWidgetItem *mine = Node(manager, QStringLiteral("My journal style"));
            manager.Tree()->setCurrentItem(Node(manager, QStringLiteral("Thin Solid Films")));
            FPrompts.SetNextInput(QStringLiteral("Thin Films Renamed"));
            manager.ModifyTemplate();
            manager.Tree()->setCurrentItem(mine);
            FPrompts.SetNextInput(QStringLiteral("Mine"));
            manager.ModifyTemplate();
            manager.Tree()->setCurrentItem(Node(manager, QStringLiteral("Thin Films Renamed")));
            manager.accept();
            return manager.result() == QDialog::Accepted;
        };
        window.Commands()["DatabaseSelectTemplate"]->trigger();
        QCOMPARE(window.Templater().Template()->Title, QStringLiteral("Thin Films Renamed"));
        QCOMPARE(FConfig->GetOptions<TLastOptions>().LastTemplateTitle(), QStringLiteral("Thin Films Renamed"));
        QVERIFY(Style(Styles(), QStringLiteral("Mine")));
    }
};

QTEST_MAIN(TestStylesManager)
#include "tst_stylesmanager.moc"
