#include "PaperListDelegate.h"
#include "PaperListModel.h"
#include "TestRecords.h"
#include "views/PaperCells.h"
#include "views/QuickSearch.h"

#include <QHeaderView>
#include <QTest>
#include <QTreeView>

namespace {

std::unique_ptr<TPaperRecord> Paper(int id, const QString &title, const QDate &added, const TAuthorList &authors = {})
{
    auto paper = std::make_unique<TPaperRecord>();
    paper->ID = id;
    paper->Title = title;
    paper->Added = added;
    paper->AuthorList = authors;
    return paper;
}

QList<int> Ids(const TPaperListModel &model)
{
    QList<int> ids;
    for (int row = 0; row < model.rowCount(); ++row)
        ids << model.Paper(row)->ID;
    return ids;
}

} // namespace

class TestPaperList : public QObject
{
    Q_OBJECT

    std::unique_ptr<TPaperListModel> FModel;

    // Four papers in the journals layout (marker, ID, Authors, Title, Volume, Issue, Pages, Year, Added).
    void Fill()
    {
        TColumns columns(QString{});
        columns.LoadDefaults(TColumns::JournalsSection);
        QList<TColumnDesc> descs;
        for (int i = 0; i < columns.Count(); ++i)
            descs << columns.GetColumn(i);
        FModel->SetColumns(descs);
        TPapers papers;
        papers.push_back(Paper(1, QStringLiteral("b"), QDate(2013, 12, 10), {Author("A.", "Zeta")}));
        papers.push_back(Paper(2, QStringLiteral("a"), QDate(2014, 1, 2)));
        papers.push_back(Paper(3, QStringLiteral("c"), QDate(), {Author("B.", "Alpha")}));
        papers.push_back(Paper(4, QStringLiteral("d"), QDate(2013, 12, 10), {Author("C.", "Mu")}));
        FModel->SetPapers(std::move(papers));
    }

    int Column(int tag) const
    {
        for (int column = 0; column < FModel->columnCount(); ++column)
            if (FModel->Columns()[column].Tag == tag)
                return column;
        return -1;
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void init()
    {
        FModel = std::make_unique<TPaperListModel>();
        Fill();
    }

    void cellTexts_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("issue");
        QTest::addColumn<QString>("text");
        QTest::newRow("issue 0 is blank") << int(pcIssue) << QStringLiteral("0") << QStringLiteral(" ");
        QTest::newRow("empty issue is blank") << int(pcIssue) << QString() << QStringLiteral(" ");
        QTest::newRow("issue") << int(pcIssue) << QStringLiteral("3") << QStringLiteral("3");
        QTest::newRow("pages") << int(pcPages) << QString() << QStringLiteral("12 - 19");
        QTest::newRow("no journal record") << int(pcJournal) << QString() << QString();
        QTest::newRow("year") << int(pcYear) << QString() << QStringLiteral("2012");
    }

    void cellTexts()
    {
        QFETCH(int, tag);
        QFETCH(QString, issue);
        QFETCH(QString, text);
        TPaperRecord paper;
        paper.Issue = issue;
        paper.PS = QStringLiteral("12");
        paper.PE = QStringLiteral("19");
        paper.Year = 2012;
        QCOMPARE(PaperCellText(paper, tag), text);
    }

    void modelAnswers()
    {
        QCOMPARE(FModel->rowCount(), 4);
        QCOMPARE(FModel->headerData(Column(pcAuthors), Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Authors"));
        QCOMPARE(FModel->data(FModel->index(2, Column(pcAdded)), Qt::DisplayRole).toString(), QStringLiteral(" "));
        QCOMPARE(FModel->data(FModel->index(0, Column(pcAdded)), Qt::DisplayRole).toString(), QStringLiteral("10.12.13"));
        QCOMPARE(FModel->data(FModel->index(0, Column(pcMarker)), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(FModel->flags(FModel->index(0, Column(pcMarker))) & Qt::ItemIsUserCheckable);
        QVERIFY(!FModel->data(FModel->index(0, Column(pcTitle)), Qt::CheckStateRole).isValid());
        FModel->SetLocal(3, true);
        QVERIFY(FModel->data(FModel->index(2, 0), TPaperListModel::LocalRole).toBool());
    }

    // The library-file marker: a blue bar 25 to 30 pixels into the marker cell of a local paper only.
    void localMarker()
    {
        FModel->SetLocal(3, true);
        QTreeView view;
        view.setModel(FModel.get());
        view.setItemDelegate(new TPaperListDelegate(&view));
        view.header()->resizeSection(Column(pcMarker), 45);
        view.resize(600, 200);
        const QImage image = view.viewport()->grab().toImage();
        const auto markerPixel = [&](int row) {
            const QRect cell = view.visualRect(FModel->index(row, Column(pcMarker)));
            return image.pixelColor(cell.left() + 26, cell.center().y());
        };
        QCOMPARE(markerPixel(2), TPaperListDelegate::MarkerColor);
        QVERIFY(markerPixel(1) != TPaperListDelegate::MarkerColor);
    }

    // The direction flips on every click; the first sorts descending; a reload clears the column, not the
    // direction. Dates sort as their short-date texts; a paper without authors stays where equal items stay.
    void sorting()
    {
        FModel->HeaderClicked(Column(pcTitle));
        QCOMPARE(FModel->SortDirection(), Qt::DescendingOrder);
        QCOMPARE(Ids(*FModel), (QList<int>{4, 3, 1, 2}));
        FModel->HeaderClicked(Column(pcAdded));
        QCOMPARE(FModel->SortDirection(), Qt::AscendingOrder);
        QCOMPARE(Ids(*FModel), (QList<int>{3, 2, 4, 1})); // " ", "02.01.14", "10.12.13" twice, in their order
        Fill();
        QCOMPARE(FModel->SortColumn(), -1);
        FModel->HeaderClicked(Column(pcAuthors));
        QCOMPARE(FModel->SortDirection(), Qt::DescendingOrder);
        QCOMPARE(Ids(*FModel), (QList<int>{1, 2, 4, 3})); // Zeta, (none), Mu, Alpha
    }

    void checks()
    {
        FModel->setData(FModel->index(0, Column(pcMarker)), Qt::Checked, Qt::CheckStateRole);
        FModel->setData(FModel->index(3, Column(pcMarker)), Qt::Checked, Qt::CheckStateRole);
        const auto taken = FModel->CheckedPapers(1);
        QCOMPARE(taken.size(), std::size_t(3));
        QCOMPARE(taken[0]->ID, 1);
        QCOMPARE(taken[1]->ID, 2);
        QCOMPARE(taken[2]->ID, 4);
        QVERIFY(FModel->CheckedPapers(std::nullopt).empty()); // none left checked

        QVERIFY(FModel->CheckAll({0, 2, 3}));
        QCOMPARE(FModel->CheckedPapers(std::nullopt).size(), std::size_t(3));
        QVERIFY(!FModel->CheckAll({1}));
        FModel->UncheckAll();
        QVERIFY(FModel->CheckedPapers(std::nullopt).empty());
        QVERIFY(!FModel->CheckAll({}));
        QCOMPARE(FModel->CheckedPapers(std::nullopt).size(), std::size_t(4));

        const auto ordered = FModel->PapersInListOrder();
        QCOMPARE(ordered[3]->Ord, 4);
        QCOMPARE(FModel->SelectedPapers({3, 0}).front()->ID, 1);
    }

    // Hits A and B in list order: typing finds A, Right finds B, Right again A. Letters outside ASCII match
    // only where the record has them in upper case; a new text without a hit selects nothing.
    void quickSearch()
    {
        TPapers papers;
        papers.push_back(Paper(1, QStringLiteral("Graphene growth"), {}));
        papers.push_back(Paper(2, QStringLiteral("Wear of coatings"), {}, {Author("K.", "ärger")}));
        papers.push_back(Paper(3, QStringLiteral("Oxide"), {}, {Author("G.", "Graphov")}));
        papers.push_back(Paper(4, QStringLiteral("Ärger im Labor"), {}));
        FModel->SetPapers(std::move(papers));
        const auto paper = [this](int row) -> const TPaperRecord * { return FModel->Paper(row); };
        TQuickSearch search;
        QCOMPARE(search.Locate(QStringLiteral("graph"), false, FModel->rowCount(), paper), 0);
        QCOMPARE(search.Locate(QStringLiteral("graph"), true, FModel->rowCount(), paper), 2);
        QCOMPARE(search.Locate(QStringLiteral("graph"), true, FModel->rowCount(), paper), 0);
        QCOMPARE(search.Locate(QStringLiteral("är"), false, FModel->rowCount(), paper), 3);
        QCOMPARE(search.Locate(QStringLiteral("är"), true, FModel->rowCount(), paper), 3);
        QCOMPARE(search.Locate(QStringLiteral("zzz"), false, FModel->rowCount(), paper), -1);
    }
};

QTEST_MAIN(TestPaperList)
#include "tst_paperlist.moc"
