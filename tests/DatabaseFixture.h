#pragma once

#include "RecordingPrompts.h"
#include "TestRecords.h"
#include "library/DataModule.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A new library database in a temporary folder, with its library folder beside it.
struct TDatabaseFixture
{
    QTemporaryDir Dir;
    TRecordingPrompts Prompts;
    std::unique_ptr<TdmMain> Dm;
    QString Library = Dir.filePath(QStringLiteral("Library")) + u'/';

    QString DBFileName() const { return Dir.filePath(QStringLiteral("Database/varnel.gdb")); }

    // Creates the database; false (with the prompts' messages) when that failed.
    bool Create()
    {
        Dm = std::make_unique<TdmMain>(Prompts, [this] { return Library; });
        Dm->SetDBFileName(DBFileName());
        return Dm->CreateDatabase();
    }

    // First column of the first row, 0 for no row.
    int Scalar(const QString &sql)
    {
        Dm->Open(sql);
        Dm->Query().First();
        return Dm->Query().FirstAsInteger();
    }

    // Stores a new paper; returns its ID.
    int AddPaper(int jid, const QString &title, const QString &doi = QString(), const TAuthorList &authors = {},
        QChar type = u'J', const QString &volume = QString())
    {
        TPaperRecord paper;
        paper.JID = jid;
        paper.Journal = Dm->GetJournal(jid);
        paper.PType = type;
        paper.Title = title;
        paper.DOI = doi;
        paper.Volume = volume;
        paper.AuthorList = authors;
        return Dm->UpdatePaper(paper);
    }

    int AddJournal(const QString &title, QChar type = u'J') { return AddTestJournal(*Dm, title, type); }

    TPapers LoadPaper(int id)
    {
        TPapers papers;
        Dm->PreparePaper(id);
        Dm->GetPapers(papers);
        return papers;
    }
};
