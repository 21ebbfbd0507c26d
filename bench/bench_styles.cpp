// Citation-style benchmark: formatting 10,000 papers with a seeded style, beside a floor that builds the same
// lines by hand-written concatenation in the same run.
//
//   bench_styles [papers]

#include "shell/TextUtils.h"
#include "styles/Templater.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <functional>

namespace {

double Milliseconds(const std::function<void()> &work)
{
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = QCoreApplication::arguments().value(1, QStringLiteral("10000")).toInt();
    auto journal = std::make_shared<TJournalRecord>();
    journal->Title = QStringLiteral("Applied Physics Letters");
    journal->Abbrv = QStringLiteral("App. Phys. Lett.");
    std::vector<TPaperRecord> papers(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        TPaperRecord &paper = papers[std::size_t(i)];
        paper.PType = u'J';
        paper.Journal = journal;
        paper.Title = QStringLiteral("Growth of diamond-like carbon films by pulsed laser deposition %1").arg(i);
        paper.Year = 1990 + i % 36;
        paper.Volume = QString::number(100 + i % 400);
        paper.Issue = QString::number(1 + i % 12);
        paper.PS = QString::number(1 + i % 900);
        paper.PE = QString::number(12 + i % 900);
        for (int a = 0; a < 4; ++a)
            paper.AuthorList.append({0, QStringLiteral("Ivan Petrovich"), QStringLiteral("Author%1").arg(a)});
    }
    TTemplateRecord style;
    style.Title = QStringLiteral("Carbon");
    style.Fields = {{1, u'J', QStringLiteral("%ld. %pt. %jd %jy; \\b %jv\\b0[(%ji)]:%ps-%pe.")}};
    style.AuthDelimeter = QStringLiteral(",");
    style.EtAlLimit = 6;
    style.NumFormat = QStringLiteral("[%d]");
    TTemplater templater;
    if (templater.SetTemplate(&style) != TErrorType::ErFine)
        return 1;

    qsizetype sink = 0;
    const double formatted = Milliseconds([&] {
        int number = 0;
        for (const TPaperRecord &paper : papers)
            sink += templater.ParseString(paper, ++number).size();
    });
    const double floor = Milliseconds([&] {
        int number = 0;
        for (const TPaperRecord &paper : papers) {
            QString authors;
            for (const TAuthorRecord &author : paper.AuthorList)
                authors += (authors.isEmpty() ? QString() : QStringLiteral(", ")) + author.Last + u' '
                    + MakeInitials(author.First, false);
            QString abbreviation = journal->Abbrv;
            abbreviation.remove(u'.');
            const QString line = u'[' + QString::number(++number) + QStringLiteral("] ") + authors
                + QStringLiteral(". ") + paper.Title + QStringLiteral(". ") + abbreviation + u' '
                + QString::number(paper.Year) + QStringLiteral("; \\b ") + paper.Volume + QStringLiteral("\\b0(")
                + paper.Issue + QStringLiteral("):") + paper.PS + u'-' + paper.PE + u'.';
            sink += line.size();
        }
    });
    QTextStream out(stdout);
    out << QStringLiteral("style benchmarks: %1 papers, 4 authors each (%2 characters written)").arg(count).arg(sink)
        << Qt::endl;
    out << qSetFieldWidth(44) << Qt::left << QStringLiteral("format references (Carbon style)") << qSetFieldWidth(0)
        << QStringLiteral("%1 ms   floor %2 ms   ratio %3   goal: < 50 ms")
               .arg(formatted, 9, 'f', 1)
               .arg(floor, 9, 'f', 1)
               .arg(formatted / floor, 5, 'f', 2)
        << Qt::endl;
    return 0;
}
