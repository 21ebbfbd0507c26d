// Library database benchmarks. Each figure stands beside its floor: the same rows written or read by a plain
// loop of statements on the same connection, measured in the same run.
//
//   bench_library [papers-for-store-and-load] [papers-for-search]

#include "RecordingPrompts.h"
#include "TestRecords.h"
#include "library/DataModule.h"
#include "library/SqlText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

namespace {

const QStringList Words = QString::fromLatin1(
    "thin film carbon graphene oxide growth deposition plasma surface coating wear friction tribology nanotube "
    "polymer composite laser annealing diamond nitride silicon titanium alloy corrosion electrochemical sensor "
    "catalyst membrane hydrogen storage battery electrode lithium ceramic magnetron sputtering vapour phase "
    "epitaxy crystal defect strain stress fracture hardness indentation spectroscopy raman infrared microscopy "
    "diffraction simulation molecular dynamics density functional theory model kinetics thermal conductivity")
                              .split(u' ');
const QStringList LastNames = QString::fromLatin1(
    "Ivanov Petrov Smith Jones Garcia Muller Rossi Kowalski Novak Tanaka Suzuki Chen Wang Li Zhang Kim Park Nguyen "
    "Silva Santos Dubois Martin Bernard Schmidt Fischer Weber Meyer Wagner Becker Hoffmann Larsen Hansen Virtanen")
                                  .split(u' ');

QString Sentence(QRandomGenerator &random, int words)
{
    QStringList picked;
    for (int i = 0; i < words; ++i)
        picked << Words[random.bounded(int(Words.size()))];
    return picked.join(u' ');
}

TPaperRecord MakePaper(QRandomGenerator &random, int jid, int n)
{
    TPaperRecord paper;
    paper.JID = jid;
    paper.PType = u'J';
    paper.Title = Sentence(random, 8) + QStringLiteral(" %1").arg(n);
    paper.Year = 1990 + random.bounded(36);
    paper.Volume = QString::number(random.bounded(1, 600));
    paper.Issue = QString::number(random.bounded(1, 12));
    paper.PS = QString::number(random.bounded(1, 2000));
    paper.PE = QString::number(paper.PS.toInt() + random.bounded(2, 20));
    paper.DOI = QStringLiteral("10.1016/j.bench.%1").arg(n);
    paper.URL = QStringLiteral("https://doi.org/") + paper.DOI;
    paper.Keywords = Sentence(random, 5);
    paper.Abst = Sentence(random, 110); // about 800 characters
    paper.Added = QDate(2026, 1, 1).addDays(random.bounded(340));
    for (int a = 0; a < 3; ++a)
        paper.AuthorList.append(
            {0, QStringLiteral("%1.%2.").arg(QChar(u'A' + random.bounded(26))).arg(QChar(u'A' + random.bounded(26))),
                LastNames[random.bounded(int(LastNames.size()))]});
    return paper;
}

double Milliseconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

void Report(QTextStream &out, const QString &name, double ms, double floorMs, const QString &goal)
{
    out << qSetFieldWidth(44) << Qt::left << name << qSetFieldWidth(0)
        << QStringLiteral("%1 ms   floor %2 ms   ratio %3   %4")
               .arg(ms, 9, 'f', 1)
               .arg(floorMs, 9, 'f', 1)
               .arg(ms / floorMs, 5, 'f', 2)
               .arg(goal)
        << Qt::endl;
}

int Count(TdmMain &dm, const QString &sql)
{
    dm.Open(sql);
    dm.Query().First();
    return dm.Query().FirstAsInteger();
}

// The floor of storing: plain INSERT statements for the same rows in one transaction.
void PlainInserts(TdmMain &dm, const std::vector<TPaperRecord> &papers)
{
    TdmMain::TBatch batch(dm);
    int id = Count(dm, QStringLiteral("SELECT GEN_ID(GEN_PAPERS_ID, 0) FROM RDB$DATABASE"));
    for (const TPaperRecord &paper : papers) {
        ++id;
        dm.Exec(
            QStringLiteral(
                "INSERT INTO Papers (JID, ATYPE, Title, Vol, PY, PS, PE, Issue, Keywords, Abstract, URL, DOI, Folder, "
                "FileName, Ext, Local, Added) values(%1, 'J', ")
                .arg(paper.JID)
            + QuotedStr(paper.Title) + u',' + QuotedStr(paper.Volume) + u',' + QString::number(paper.Year) + u','
            + QuotedStr(paper.PS) + u',' + QuotedStr(paper.PE) + u',' + QuotedStr(paper.Issue) + u','
            + QuotedStr(paper.Keywords) + u',' + QuotedStr(paper.Abst) + u',' + QuotedStr(paper.URL) + u','
            + QuotedStr(paper.DOI) + QStringLiteral(", 'F/', 'NAME', '.pdf', 0, ") + QuotedDate(paper.Added) + u')');
        for (const TAuthorRecord &author : paper.AuthorList)
            dm.Exec(QStringLiteral("INSERT INTO Authors (PID, First, Last) values (%1, ").arg(id)
                + QuotedStr(author.First) + u',' + QuotedStr(author.Last) + u')');
    }
    batch.Commit();
}

void StoreInBatch(TdmMain &dm, std::vector<TPaperRecord> papers)
{
    TdmMain::TBatch batch(dm);
    for (TPaperRecord &paper : papers)
        dm.UpdatePaper(paper);
    batch.Commit();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int storeCount = args.value(1, QStringLiteral("10000")).toInt();
    const int searchCount = args.value(2, QStringLiteral("100000")).toInt();
    QTextStream out(stdout);
    QTemporaryDir dir;
    TRecordingPrompts prompts;
    TdmMain dm(prompts, [&dir]() -> QString { return dir.filePath(QStringLiteral("Library/")); });
    dm.SetDBFileName(dir.filePath(QStringLiteral("bench.gdb")));
    if (!dm.CreateDatabase()) {
        out << "cannot create the database" << Qt::endl;
        return 1;
    }
    QRandomGenerator random(20261209);
    const int floorJournal = AddTestJournal(dm, QStringLiteral("Floor Journal"));
    const int journal = AddTestJournal(dm, QStringLiteral("Bench Journal"));

    // Store: UpdatePaper in batch mode against plain inserts of the same rows.
    std::vector<TPaperRecord> papers;
    for (int i = 0; i < storeCount; ++i)
        papers.push_back(MakePaper(random, journal, i));
    std::vector<TPaperRecord> floorPapers = papers;
    for (TPaperRecord &paper : floorPapers)
        paper.JID = floorJournal;
    const double storeFloor = Milliseconds([&] { PlainInserts(dm, floorPapers); });
    const double store = Milliseconds([&] { StoreInBatch(dm, papers); });
    out << QStringLiteral("library benchmarks: %1 papers with 3 authors each; search over %2 papers")
               .arg(storeCount)
               .arg(searchCount)
        << Qt::endl;
    Report(out, QStringLiteral("store (UpdatePaper, batch mode)"), store, storeFloor,
        QStringLiteral("goal: ratio <= 1.5"));

    // Load a whole journal: GetPapers against the plain reads of its papers, authors and journal.
    double load = 1e300, loadFloor = 1e300;
    for (int round = 0; round < 3; ++round) {
        loadFloor = std::min(loadFloor, Milliseconds([&] {
            dm.Open(QStringLiteral("SELECT * FROM Papers WHERE JID = %1 ORDER BY Vol").arg(journal));
            dm.Open(QStringLiteral(
                "SELECT a.* FROM Authors a JOIN Papers p ON a.PID = p.ID WHERE p.JID = %1 ORDER BY a.PID, a.ID")
                        .arg(journal));
            dm.Open(QStringLiteral("SELECT * FROM Journals WHERE ID = %1").arg(journal));
        }));
        TPapers list;
        load = std::min(load, Milliseconds([&] {
            dm.PreparePaperJID(journal);
            dm.GetPapers(list);
        }));
        if (list.size() != std::size_t(storeCount) || list.front()->AuthorList.size() != 3) {
            out << "GetPapers read " << list.size() << " papers" << Qt::endl;
            return 1;
        }
    }
    Report(out, QStringLiteral("GetPapers of one journal"), load, loadFloor, QStringLiteral("goal: < 150 ms"));

    // Search over a larger library.
    const int more = searchCount - Count(dm, QStringLiteral("SELECT Count(*) FROM Papers"));
    if (more > 0) {
        TdmMain::TBatch batch(dm);
        for (int i = 0; i < more; ++i) {
            TPaperRecord paper = MakePaper(random, journal, storeCount + i);
            dm.UpdatePaper(paper);
        }
        batch.Commit();
    }
    const auto searchFigure = [&](const QString &name, const QString &author, const QString &title,
                                  const QString &floorSql, const QString &goal) {
        double search = 1e300, floor = 1e300;
        for (int round = 0; round < 3; ++round) {
            floor = std::min(floor, Milliseconds([&] { dm.Open(floorSql); }));
            search = std::min(
                search, Milliseconds([&] { dm.Search({}, author, {}, title, {}, {}, {}, {}, {}, {}, {}, -1); }));
        }
        Report(out, name + QStringLiteral(" (%1 rows)").arg(dm.Query().RecordCount()), search, floor, goal);
    };
    searchFigure(QStringLiteral("Search by title words"), {}, QStringLiteral("diamond 4242"),
        QStringLiteral("SELECT * FROM Papers WHERE Title LIKE '%diamond%' AND Title LIKE '%4242%'"),
        QStringLiteral("goal: < 100 ms"));
    searchFigure(QStringLiteral("Search by author"), QStringLiteral("Virtanen"), {},
        QStringLiteral("SELECT distinct * FROM Papers p JOIN Authors a on a.PID = p.Id WHERE a.Last LIKE '%Virtanen%'"),
        QString());
    return 0;
}
