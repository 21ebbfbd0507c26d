#include "ListFiles.h"

#include "library/DataModule.h"
#include "shell/PaperFiles.h"
#include "shell/VarnelError.h"

#include <QSet>

namespace {

const QChar Separator(4);

QString Line(const QStringList &fields)
{
    return ListLine(fields) + QStringLiteral("\r\n");
}

} // namespace

QString ListLine(const QStringList &fields)
{
    QString line;
    for (const QString &field : fields)
        line += field + Separator;
    return line;
}

QStringList ListFields(const QString &line)
{
    QStringList fields = line.split(Separator);
    for (QString &field : fields) {
        if (!field.startsWith(u'"'))
            continue;
        QString text;
        for (qsizetype i = 1; i < field.size(); ++i) {
            if (field[i] == u'"') {
                if (i + 1 < field.size() && field[i + 1] == u'"') {
                    text += u'"';
                    ++i;
                    continue;
                }
                break;
            }
            text += field[i];
        }
        field = text;
    }
    return fields;
}

QString StyleListText(TdmMain &dm)
{
    TTemplates styles;
    dm.GetTemplates(styles);
    QString text;
    for (const auto &style : styles) {
        QStringList fields {style->Title};
        for (const TTemplField &field : style->Fields)
            fields << QString(field.TType) << field.Value;
        text += Line(fields);
    }
    return text;
}

TTemplates ReadStyleList(const QStringList &lines)
{
    TTemplates styles;
    for (const QString &line : lines) {
        const QStringList fields = ListFields(line);
        if (fields.size() < 2 || fields[0].isEmpty())
            throw EVarnelError(QStringLiteral("Wrong template list line: \"%1\"").arg(line));
        auto style = std::make_unique<TTemplateRecord>();
        style->Title = fields[0];
        style->AuthDelimeter = QStringLiteral(",");
        style->NumFormat = QStringLiteral("[%d]");
        style->EtAlLimit = 6;
        // Pairs from the second field on, while two fields remain before the final empty one.
        for (qsizetype i = 1; i + 2 < fields.size(); i += 2)
            style->Fields.append({0, fields[i].isEmpty() ? QChar() : fields[i].front(), fields[i + 1]});
        styles.push_back(std::move(style));
    }
    return styles;
}

void ReplaceStyles(TdmMain &dm, const TTemplates &styles)
{
    dm.ClearTemplates();
    dm.SetTemplates(styles);
}

void ImportStyleList(TdmMain &dm, const QStringList &lines)
{
    ReplaceStyles(dm, ReadStyleList(lines));
}

QString GroupFolderListText(TdmMain &dm)
{
    TGroups groups;
    dm.GetGroups(groups);
    QString text;
    for (const auto &group : groups)
        text += Line({group->Title, QString::number(group->Code)});
    return text;
}

void ImportGroupFolderList(TdmMain &dm, const QStringList &lines)
{
    for (const QString &line : lines) {
        const QStringList fields = ListFields(line);
        bool ok = false;
        const int code = fields.value(1).toInt(&ok);
        if (!fields[0].isEmpty() && ok)
            dm.AddGroup(fields[0], code);
    }
}

QString GroupMemberListText(TdmMain &dm)
{
    TGroups groups;
    dm.GetGroups(groups);
    QString text;
    for (const auto &group : groups) {
        TPapers papers;
        dm.PreparePaperByGroup(group->ID);
        dm.GetPapers(papers, true);
        if (papers.empty())
            text += Line({group->Title, QString()});
        for (const auto &paper : papers)
            text += Line({group->Title, paper->FileName.isEmpty() ? PaperFileName(*paper) : paper->FileName});
    }
    return text;
}

void ImportGroupMemberList(TdmMain &dm, const QStringList &lines)
{
    // An empty group's line creates the group only when it is missing: a folder (which holds groups, never
    // papers) keeps the code the group folder list gave it.
    TGroups groups;
    dm.GetGroups(groups);
    QSet<QString> existing;
    for (const auto &group : groups)
        existing.insert(group->Title.toCaseFolded());
    for (const QString &line : lines) {
        const QStringList fields = ListFields(line);
        if (fields[0].isEmpty())
            continue;
        if (fields.value(1).isEmpty()) {
            if (!existing.contains(fields[0].toCaseFolded()))
                dm.AddGroup(fields[0], 0);
        } else {
            dm.AddToGroupByName(fields[0], fields[1]);
        }
    }
}

QString JournalListText(TdmMain &dm)
{
    TJournals journals;
    dm.GetJournals(journals);
    QString text;
    for (const auto &journal : journals) {
        QString comment = journal->Comment;
        comment.replace(QStringLiteral("\r\n"), QStringLiteral("$$$"));
        text += Line({journal->Title, journal->Abbrv, journal->City, journal->URL, journal->Impact, comment});
    }
    return text;
}

void ImportJournalList(TdmMain &dm, const QStringList &lines)
{
    for (const QString &line : lines) {
        if (line.isEmpty())
            continue;
        const QStringList fields = ListFields(line);
        TJournalRecord journal;
        journal.ID = -1;
        journal.Title = fields.value(0);
        journal.Abbrv = fields.value(1);
        journal.City = fields.value(2);
        journal.URL = fields.value(3);
        journal.Impact = fields.value(4);
        journal.Comment = fields.value(5);
        journal.Comment.replace(QStringLiteral("$$$"), QStringLiteral("\r\n"));
        const int existing = dm.GetJournalID(journal.Title);
        const PJournalRecord stored = existing ? dm.GetJournal(existing) : nullptr;
        journal.JType = stored ? stored->JType : QChar(u'J');
        if (!journal.Title.isEmpty())
            dm.UpdateJournal(journal);
    }
}
