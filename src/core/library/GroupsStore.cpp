// The data module's groups, group folders, group membership and citation styles.

#include "DataModule.h"
#include "SqlText.h"
#include "styles/TemplateExtra.h"

#include <QMutexLocker>

using TLock = QMutexLocker<QRecursiveMutex>;

namespace {

// The fields of the open TemplFields result, in result order.
QList<TTemplField> ReadTemplFields(TQuery &query)
{
    QList<TTemplField> fields;
    for (query.First(); !query.Eof(); query.Next()) {
        const QString type = query.AsString(QStringLiteral("TTYPE"));
        fields.append({query.AsInteger(QStringLiteral("ID")), type.isEmpty() ? QChar(u'J') : type.front(),
            query.AsString(QStringLiteral("TVALUE"))});
    }
    return fields;
}

} // namespace

// --- groups ---------------------------------------------------------------------------------------------------

void TdmMain::GetGroups(TGroups &list)
{
    TLock lock(&FLock);
    list.clear();
    Open(QStringLiteral("SELECT * FROM Groups ORDER BY Code descending,ID"));
    for (FQuery.First(); !FQuery.Eof(); FQuery.Next()) {
        auto group = std::make_unique<TGroupRecord>();
        group->ID = FQuery.AsInteger(QStringLiteral("ID"));
        group->Title = FQuery.AsString(QStringLiteral("TITLE"));
        group->Code = FQuery.AsInteger(QStringLiteral("CODE"));
        list.push_back(std::move(group));
    }
}

void TdmMain::AddGroup(const QString &name, int code)
{
    ExecTransaction(QStringLiteral("UPDATE OR INSERT INTO Groups (Title, Code) Values (") + QuotedStr(name)
        + QStringLiteral(",%1) matching (Title)").arg(code));
}

void TdmMain::UpdateGroup(int id, const QString &title)
{
    ExecTransaction(
        QStringLiteral("UPDATE Groups SET Title = ") + QuotedStr(title) + QStringLiteral(" WHERE ID = %1").arg(id));
}

int TdmMain::CountGroupFolders()
{
    TLock lock(&FLock);
    Open(QStringLiteral("SELECT Code FROM Groups WHERE Code > %1 ORDER BY Code").arg(GroupFolderOffset));
    FQuery.Last();
    return FQuery.FirstAsInteger() - GroupFolderOffset;
}

void TdmMain::UpdateGroupFolder(int groupID, int code)
{
    ExecTransaction(
        QStringLiteral("UPDATE Groups SET Code = %1 WHERE ID = %2").arg(code - GroupFolderOffset).arg(groupID));
}

void TdmMain::DeleteGoup(int id)
{
    ExecTransaction(QStringLiteral("DELETE FROM Groups WHERE ID = %1").arg(id));
}

void TdmMain::ClearGoup(int id)
{
    ExecTransaction(QStringLiteral("DELETE FROM GroupList WHERE GID = %1").arg(id));
}

// --- membership -----------------------------------------------------------------------------------------------

bool TdmMain::InGroup(int gid, int pid)
{
    return Run(QStringLiteral("SELECT * FROM GroupList WHERE GID = ? and PID = ?"), {gid, pid}, false).RowCount() > 0;
}

void TdmMain::AddToGroup(int gid, const TPaperRefs &papers)
{
    TLock lock(&FLock);
    int count = OpenInteger(QStringLiteral("SELECT Count(*) FROM GroupList WHERE GID = ?"), {gid});
    RunWrites([&] {
        for (const auto &paper : papers) {
            if (!paper || InGroup(gid, paper->ID))
                continue;
            ++count;
            Run(QStringLiteral("INSERT INTO GroupList (GID, PID, ORD) Values (?, ?, ?)"), {gid, paper->ID, count},
                true);
        }
    });
}

void TdmMain::AddToGroupByName(const QString &group, const QString &paperFileName)
{
    TLock lock(&FLock);
    const QString findGroup = QStringLiteral("SELECT ID FROM Groups WHERE Title = ?");
    int gid = OpenInteger(findGroup, {group});
    int count = 0;
    if (gid != 0) {
        count = OpenInteger(QStringLiteral("SELECT Count(*) FROM GroupList WHERE GID = ?"), {gid});
    } else {
        AddGroup(group, 0);
        gid = OpenInteger(findGroup, {group});
    }
    const int pid = OpenInteger(QStringLiteral("SELECT ID FROM Papers WHERE FileName = ?"), {paperFileName});
    if (pid == 0)
        return; // the group exists now; a file name of no paper gives no member
    RunWrites([&] {
        Run(QStringLiteral("UPDATE OR INSERT INTO GroupList (GID, PID, ORD) Values (?, ?, ?) matching(GID, PID)"),
            {gid, pid, count + 1}, true);
    });
}

void TdmMain::DeleteFromGroup(int gid, const TPaperRefs &papers)
{
    RunWrites([&] {
        for (const auto &paper : papers)
            if (paper)
                Exec(QStringLiteral("DELETE FROM GroupList WHERE GID = %1 and PID = %2").arg(gid).arg(paper->ID));
    });
}

void TdmMain::UpdateOrder(int gid, const TPaperRefs &papers)
{
    RunWrites([&] {
        for (const auto &paper : papers)
            if (paper)
                Exec(QStringLiteral("UPDATE GroupList SET Ord = %1 WHERE GID = %2 AND PID = %3")
                         .arg(paper->Ord)
                         .arg(gid)
                         .arg(paper->ID));
    });
}

void TdmMain::UpdateGroups(int oldGID, int newGID, const TPaperRefs &papers)
{
    RunWrites([&] {
        for (const auto &paper : papers) {
            if (!paper)
                continue;
            if (InGroup(newGID, paper->ID))
                Exec(QStringLiteral("DELETE FROM GroupList WHERE GID = %1 and PID = %2").arg(oldGID).arg(paper->ID));
            else
                Exec(QStringLiteral("UPDATE GroupList SET GID = %1 WHERE GID = %2 AND PID = %3")
                         .arg(newGID)
                         .arg(oldGID)
                         .arg(paper->ID));
        }
    });
}

void TdmMain::PreparePaperByGroup(int gid)
{
    Open(QStringLiteral(
        "SELECT p.*, gl.Ord FROM Papers p JOIN GroupList gl on gl.PID = p.ID WHERE gl.GID = %1 ORDER BY Ord")
             .arg(gid));
}

void TdmMain::PreparePaperByInGroupNo(int groupID, int no, TPapers &papers)
{
    TLock lock(&FLock);
    Open(QStringLiteral("SELECT * FROM Papers p JOIN GroupList gl on gl.PID = p.ID WHERE gl.GID = %1 AND gl.ORD = %2")
             .arg(groupID)
             .arg(no));
    GetPapers(papers, false);
}

// --- templates ------------------------------------------------------------------------------------------------

void TdmMain::GetTemplates(TTemplates &list)
{
    TLock lock(&FLock);
    list.clear();
    Open(QStringLiteral("SELECT * FROM Templates ORDER BY Title"));
    for (FQuery.First(); !FQuery.Eof(); FQuery.Next()) {
        auto style = std::make_unique<TTemplateRecord>();
        style->ID = FQuery.AsInteger(QStringLiteral("ID"));
        style->Title = FQuery.AsString(QStringLiteral("TITLE"));
        ReadTemplateExtra(FQuery.AsString(QStringLiteral("EXTRA")), *style);
        list.push_back(std::move(style));
    }
    for (const auto &style : list) {
        Open(QStringLiteral("SELECT * FROM TemplFields WHERE TID = %1;").arg(style->ID));
        style->Fields = ReadTemplFields(FQuery);
    }
    FQuery.Close();
}

void TdmMain::GetTemplateByTitle(const QString &title, TTemplateRecord &style)
{
    TLock lock(&FLock);
    Open(QStringLiteral("SELECT * FROM Templates WHERE Title = ") + QuotedStr(title));
    FQuery.First();
    style.ID = FQuery.AsInteger(QStringLiteral("ID"));
    style.Title = FQuery.AsString(QStringLiteral("TITLE"));
    ReadTemplateExtra(FQuery.AsString(QStringLiteral("EXTRA")), style);
    Open(QStringLiteral("SELECT * FROM TemplFields WHERE TID = %1;").arg(style.ID));
    if (!FQuery.IsEmpty())
        style.Fields = ReadTemplFields(FQuery);
    FQuery.Close();
}

void TdmMain::SetTemplates(const TTemplates &templates)
{
    TLock lock(&FLock);
    for (const auto &style : templates) {
        if (!style)
            break;
        ExecTransaction(QStringLiteral("UPDATE OR INSERT INTO Templates (ID, Title, Extra) Values (%1, ").arg(style->ID)
            + QuotedStr(style->Title) + QStringLiteral(", ") + QuotedStr(TemplateExtraText(*style))
            + QStringLiteral(") matching(ID);"));
        int tid = style->ID;
        if (tid == 0) {
            tid = OpenInteger(QStringLiteral("SELECT id FROM Templates WHERE Title = ?"), {style->Title});
        }
        for (const TTemplField &field : style->Fields)
            ExecTransaction(
                QStringLiteral("UPDATE OR INSERT INTO TemplFields (ID, TID, TType, TValue) Values (%1, %2, ")
                    .arg(field.ID)
                    .arg(tid)
                + QuotedChar(field.TType) + QStringLiteral(", ") + QuotedStr(field.Value)
                + QStringLiteral(") matching(ID, TID);"));
    }
    FQuery.Close();
}

void TdmMain::DeleteTemplate(int id)
{
    ExecTransaction(QStringLiteral("DELETE FROM Templates WHERE ID = %1").arg(id));
}

void TdmMain::DeleteTemplField(int id)
{
    ExecTransaction(QStringLiteral("DELETE FROM TemplFields WHERE ID = %1").arg(id));
}

void TdmMain::ClearTemplates()
{
    TLock lock(&FLock);
    ExecTransaction(QStringLiteral("DELETE FROM Templates"));
    ExecTransaction(QStringLiteral("SET GENERATOR GEN_TEMPLFIELDS_ID TO 0;"));
    ExecTransaction(QStringLiteral("SET GENERATOR GEN_TEMPLATES_ID TO 0;"));
}
