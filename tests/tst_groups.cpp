#include "DatabaseFixture.h"
#include "styles/TemplateExtra.h"
#include "shell/VarnelError.h"

namespace {

TPapers Refs(const QList<int> &ids)
{
    TPapers papers;
    for (int id : ids) {
        papers.push_back(std::make_unique<TPaperRecord>());
        papers.back()->ID = id;
    }
    return papers;
}

} // namespace

class TestGroups : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TDatabaseFixture> FDb;

    // (PID, ORD) pairs of a group in order.
    QList<QPair<int, int>> Members(int gid)
    {
        QList<QPair<int, int>> members;
        FDb->Dm->Open(QStringLiteral("SELECT PID, ORD FROM GroupList WHERE GID = %1 ORDER BY ORD, PID").arg(gid));
        for (FDb->Dm->Query().First(); !FDb->Dm->Query().Eof(); FDb->Dm->Query().Next())
            members.append({FDb->Dm->Query().AsInteger(0), FDb->Dm->Query().AsInteger(1)});
        return members;
    }

    int GroupID(const QString &title) { return FDb->Scalar(QStringLiteral("SELECT ID FROM Groups WHERE Title = '%1'").arg(title)); }

private Q_SLOTS:
    void init()
    {
        FDb = std::make_unique<TDatabaseFixture>();
        QVERIFY(FDb->Create());
    }

    void groupsAndFolders()
    {
        QCOMPARE(FDb->Dm->CountGroupFolders(), -16777215);
        FDb->Dm->AddGroup(QStringLiteral("Folder A"), 16777216);
        QCOMPARE(FDb->Dm->CountGroupFolders(), 1);
        FDb->Dm->AddGroup(QStringLiteral("Folder B"), 16777217);
        QCOMPARE(FDb->Dm->CountGroupFolders(), 2);
        FDb->Dm->AddGroup(QStringLiteral("Reading"), 0);
        const int reading = GroupID(QStringLiteral("Reading"));
        FDb->Dm->UpdateGroupFolder(reading, 16777217);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Code FROM Groups WHERE ID = %1").arg(reading)), 2);
        // The same title in any letter case updates the code instead of adding a group.
        FDb->Dm->AddGroup(QStringLiteral("READING"), 1);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Groups")), 4);

        TGroups groups;
        FDb->Dm->GetGroups(groups);
        QStringList order;
        for (const auto &group : groups)
            order << group->Title + u':' + QString::number(group->Code);
        QCOMPARE(order, (QStringList{QStringLiteral("Folder B:16777217"), QStringLiteral("Folder A:16777216"),
                                     QStringLiteral("READING:1"), QStringLiteral("Favorites:0")}));

        FDb->Dm->UpdateGroupFolder(reading, 16777215);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Code FROM Groups WHERE ID = %1").arg(reading)), 0);
        FDb->Dm->UpdateGroup(reading, QStringLiteral("Read 'later'"));
        QCOMPARE(GroupID(QStringLiteral("Read ''later''")), reading);
    }

    void membershipOrder()
    {
        QList<int> ids;
        for (int i = 0; i < 5; ++i)
            ids << FDb->AddPaper(1, QStringLiteral("P%1").arg(i));
        FDb->Dm->AddToGroup(1, Refs({ids[0], ids[1]}));
        FDb->Dm->AddToGroup(1, Refs({ids[2], ids[0], ids[3], ids[4]}));
        QCOMPARE(Members(1), (QList<QPair<int, int>>{{ids[0], 1}, {ids[1], 2}, {ids[2], 3}, {ids[3], 4}, {ids[4], 5}}));
        FDb->Dm->AddToGroup(1, Refs({ids[2], ids[3]}));
        QCOMPARE(Members(1).size(), 5);

        // Deleting leaves gaps; reordering rewrites ORD; the group reads in ORD order with it.
        FDb->Dm->DeleteFromGroup(1, Refs({ids[1]}));
        TPapers reordered = Refs({ids[4], ids[0]});
        reordered[0]->Ord = 1;
        reordered[1]->Ord = 2;
        FDb->Dm->UpdateOrder(1, reordered);
        FDb->Dm->PreparePaperByGroup(1);
        TPapers inGroup;
        FDb->Dm->GetPapers(inGroup, true);
        QList<int> order;
        for (const auto &paper : inGroup)
            order << paper->ID << paper->Ord;
        QCOMPARE(order, (QList<int>{ids[4], 1, ids[0], 2, ids[2], 3, ids[3], 4}));

        TPapers atPosition;
        FDb->Dm->PreparePaperByInGroupNo(1, 3, atPosition);
        QCOMPARE(atPosition.size(), std::size_t(1));
        QCOMPARE(atPosition[0]->ID, ids[2]);
        QCOMPARE(atPosition[0]->Title, QStringLiteral("P2"));

        FDb->Dm->ClearGoup(1);
        QVERIFY(Members(1).isEmpty());
    }

    void addToGroupByName()
    {
        const int id = FDb->AddPaper(1, QStringLiteral("Patent"));
        const QString fileName = FDb->LoadPaper(id)[0]->FileName;
        FDb->Dm->AddToGroupByName(QStringLiteral("Restored"), fileName);
        const int gid = GroupID(QStringLiteral("Restored"));
        QVERIFY(gid > 1);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Code FROM Groups WHERE ID = %1").arg(gid)), 0);
        QCOMPARE(Members(gid), (QList<QPair<int, int>>{{id, 1}}));
        // Again: the paper gets the new position instead of a second row.
        FDb->Dm->AddToGroupByName(QStringLiteral("restored"), fileName);
        QCOMPARE(Members(gid), (QList<QPair<int, int>>{{id, 2}}));
    }

    void moveBetweenGroups()
    {
        FDb->Dm->AddGroup(QStringLiteral("Target"), 0);
        const int target = GroupID(QStringLiteral("Target"));
        const int a = FDb->AddPaper(1, QStringLiteral("A"));
        const int b = FDb->AddPaper(1, QStringLiteral("B"));
        FDb->Dm->AddToGroup(1, Refs({a, b}));
        FDb->Dm->AddToGroup(target, Refs({a}));
        FDb->Dm->UpdateGroups(1, target, Refs({a, b}));
        QVERIFY(Members(1).isEmpty());
        QCOMPARE(Members(target), (QList<QPair<int, int>>{{a, 1}, {b, 2}})); // b keeps its old ORD
        FDb->Dm->DeleteGoup(target);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM GroupList")), 0);
    }

    void templates()
    {
        TTemplates styles;
        FDb->Dm->GetTemplates(styles);
        QCOMPARE(styles.size(), std::size_t(4));
        QCOMPARE(styles[0]->Title, QStringLiteral("Carbon")); // by title
        QCOMPARE(styles[0]->AuthDelimeter, QStringLiteral(","));
        QCOMPARE(styles[0]->EtAlLimit, 6);
        QCOMPARE(styles[0]->NumFormat, QStringLiteral("[%d]"));
        QCOMPARE(styles[0]->Fields.size(), 3);

        // A new style's fields go under its new ID although the record keeps ID 0.
        TTemplates fresh;
        fresh.push_back(std::make_unique<TTemplateRecord>());
        fresh[0]->Title = QStringLiteral("Mine");
        fresh[0]->AuthDelimeter = QStringLiteral(";");
        fresh[0]->EtAlLimit = 3;
        fresh[0]->NumFormat = QStringLiteral("%d.");
        fresh[0]->Fields = {{0, u'J', QStringLiteral("%fn 'quoted' %jy")}, {0, u'B', QStringLiteral("%pt")}};
        QCOMPARE(TemplateExtraText(*fresh[0]), QStringLiteral(";\r\n3\r\n%d."));
        FDb->Dm->SetTemplates(fresh);
        QCOMPARE(fresh[0]->ID, 0);
        TTemplateRecord mine;
        FDb->Dm->GetTemplateByTitle(QStringLiteral("Mine"), mine);
        QCOMPARE(mine.ID, 5);
        QCOMPARE(mine.AuthDelimeter, QStringLiteral(";"));
        QCOMPARE(mine.EtAlLimit, 3);
        QCOMPARE(mine.NumFormat, QStringLiteral("%d."));
        QCOMPARE(mine.Fields.size(), 2);
        QCOMPARE(mine.Fields[0].Value, QStringLiteral("%fn 'quoted' %jy"));

        // An empty number format stores two lines, which read back as the three defaults.
        mine.NumFormat.clear();
        mine.EtAlLimit = 2;
        TTemplates edited;
        edited.push_back(std::make_unique<TTemplateRecord>(mine));
        FDb->Dm->SetTemplates(edited);
        TTemplateRecord reread;
        FDb->Dm->GetTemplateByTitle(QStringLiteral("Mine"), reread);
        QCOMPARE(reread.EtAlLimit, 6);
        QCOMPARE(reread.NumFormat, QStringLiteral("[%d]"));
        QCOMPARE(reread.Fields.size(), 2);

        FDb->Dm->DeleteTemplField(reread.Fields[1].ID);
        FDb->Dm->GetTemplateByTitle(QStringLiteral("Mine"), reread);
        QCOMPARE(reread.Fields.size(), 1);
        // Unknown title: 0, "" and the defaults; fields stay as they were.
        TTemplateRecord none;
        none.Fields = {{9, u'J', QStringLiteral("kept")}};
        FDb->Dm->GetTemplateByTitle(QStringLiteral("No such style"), none);
        QCOMPARE(none.ID, 0);
        QCOMPARE(none.NumFormat, QStringLiteral("[%d]"));
        QCOMPARE(none.Fields.size(), 1);
    }

    void clearTemplatesRestartsIds()
    {
        FDb->Dm->ClearTemplates();
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM TemplFields")), 0);
        TTemplates styles;
        for (const char *title : {"One", "Two", "Three", "Four"}) {
            styles.push_back(std::make_unique<TTemplateRecord>());
            styles.back()->Title = QString::fromLatin1(title);
            styles.back()->AuthDelimeter = QStringLiteral(",");
            styles.back()->EtAlLimit = 6;
            styles.back()->NumFormat = QStringLiteral("[%d]");
            styles.back()->Fields = {{0, u'J', QStringLiteral("%pt")}};
        }
        FDb->Dm->SetTemplates(styles);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT ID FROM Templates WHERE Title = 'Four'")), 4);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Max(ID) FROM TemplFields")), 4);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT TID FROM TemplFields WHERE ID = 4")), 4);
        FDb->Dm->DeleteTemplate(4);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM TemplFields")), 3);
    }

    void templateExtra_data()
    {
        QTest::addColumn<QString>("extra");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("format");
        QTest::newRow("three lines") << QStringLiteral(";\r\n3\r\n%d.") << QStringLiteral(";") << 3 << QStringLiteral("%d.");
        QTest::newRow("empty delimiter") << QStringLiteral("\r\n99\r\n[%d]") << QString() << 99 << QStringLiteral("[%d]");
        QTest::newRow("long first line is cut") << QStringLiteral("; and\r\n1\r\n(%d)") << QStringLiteral(";") << 1 << QStringLiteral("(%d)");
        QTest::newRow("none") << QString() << QStringLiteral(",") << 6 << QStringLiteral("[%d]");
        QTest::newRow("two lines") << QStringLiteral(";\r\n3\r\n") << QStringLiteral(",") << 6 << QStringLiteral("[%d]");
        QTest::newRow("four lines") << QStringLiteral(";\r\n3\r\n[%d]\r\nx") << QStringLiteral(",") << 6 << QStringLiteral("[%d]");
    }

    void templateExtra()
    {
        QFETCH(QString, extra);
        QFETCH(QString, delimiter);
        QFETCH(int, limit);
        QFETCH(QString, format);
        TTemplateRecord style;
        ReadTemplateExtra(extra, style);
        QCOMPARE(style.AuthDelimeter, delimiter);
        QCOMPARE(style.EtAlLimit, limit);
        QCOMPARE(style.NumFormat, format);
    }

    void badEtAlLimitFailsTheRead()
    {
        QVERIFY_THROWS_EXCEPTION(EVarnelError, [] {
            TTemplateRecord style;
            ReadTemplateExtra(QStringLiteral(",\r\nsix\r\n[%d]"), style);
        }());
        FDb->Dm->ExecTransaction(QStringLiteral("UPDATE Templates SET Extra = ',' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'x' || "
                                                "ASCII_CHAR(13) || ASCII_CHAR(10) || '[%d]' WHERE ID = 1"));
        TTemplates styles;
        QVERIFY_THROWS_EXCEPTION(EVarnelError, FDb->Dm->GetTemplates(styles));
    }
};

QTEST_GUILESS_MAIN(TestGroups)
#include "tst_groups.moc"
